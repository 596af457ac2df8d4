// Test support: positions drawn as text.
//
// One string per row, top row first: 'x' a black stone, 'o' a white stone,
// '#' a NEUTRAL mark, anything else empty. The board is as wide as the rows
// and as high as their number.
#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

std::unique_ptr<SearchRecord> recordFromPicture(std::initializer_list<const char*> rows,
                                                int32_t sideToMove);

// Puts a stone on the record's Position (not on its search board).
void putStone(SearchRecord& record, int32_t x, int32_t y, int32_t stone);

inline Square squareAt(const SearchRecord& record, int32_t x, int32_t y) {
  return static_cast<Square>(y * record.position.width + x);
}

std::string squareName(const SearchRecord& record, Square s);

}  // namespace kestrix
