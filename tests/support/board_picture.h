// Test support: positions drawn as text.
//
// One line per row, top row first: 'x' a black stone, 'o' a white stone,
// '#' a NEUTRAL mark, anything else empty; blank lines are skipped. The board
// is as wide as the longest row and as high as the number of rows, unless a
// larger size is given: the picture then covers its top-left corner.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

// A record whose Position holds the pictured stones; its search state is not
// built yet.
std::unique_ptr<SearchRecord> recordFromPicture(std::string_view picture, int32_t sideToMove,
                                                int32_t width = 0, int32_t height = 0);

inline Square squareAt(const SearchRecord& record, int32_t x, int32_t y) {
  return static_cast<Square>(y * record.position.width + x);
}

std::string squareName(const SearchRecord& record, Square s);

}  // namespace kestrix
