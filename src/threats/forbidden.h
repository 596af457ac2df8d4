// Kestrix: the Renju forbidden-move test.
//
// True when a black stone on s (empty, or holding the black stone in
// question) is an overline, a double four or a real double three, and makes
// no five. A three is real only if one of its open-four squares is free of
// fives and not itself forbidden, which the test settles by calling itself
// with a temporary stone. The board is left bit for bit as it was, but for
// the memo.
//
// Each level of the recursion fills one more empty square, so it is never
// deeper than the board has empty squares, at 100 to 400 bytes of stack a
// level (optimised to sanitized builds). Followed depth first, its work can
// grow exponentially on large boards crowded with interlocking threes, so
// the test searches in passes of growing depth, keeps the verdicts it has
// settled in the record's memo, and puts down at most a fixed number of
// temporary stones. A square it cannot settle within them counts as
// whatever is worse for engineSide (forbidden when the engine plays black,
// allowed when it plays white; see STONE_BUDGET). The answer never depends
// on the memo's contents before the test.
#pragma once

#include "position/types.h"
#include "threats/threat_board.h"

namespace kestrix {

bool isForbidden(ThreatBoard& board, Square s, int32_t engineSide = BLACK);

}  // namespace kestrix
