// Kestrix: the Renju forbidden-move test.
//
// True when a black stone on s (empty, or holding the black stone in
// question) is an overline, a double four or a real double three, and makes
// no five. A three is real only if one of its open-four squares is free of
// fives and not itself forbidden, which the test settles by calling itself
// with a temporary stone. The record is left bit for bit as it was.
#pragma once

#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

bool isForbidden(SearchRecord& record, Square s);

}  // namespace kestrix
