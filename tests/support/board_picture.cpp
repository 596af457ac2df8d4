#include "support/board_picture.h"

#include <algorithm>
#include <vector>

#include "position/position.h"

namespace kestrix::testing {

std::unique_ptr<SearchRecord> recordFromPicture(std::string_view picture, int32_t sideToMove,
                                                int32_t width, int32_t height) {
  std::vector<std::string_view> rows;
  for (size_t start = 0; start < picture.size();) {
    size_t end = picture.find('\n', start);
    if (end == std::string_view::npos) end = picture.size();
    if (end > start) rows.push_back(picture.substr(start, end - start));
    start = end + 1;
  }
  for (const std::string_view row : rows) width = std::max(width, static_cast<int32_t>(row.size()));
  height = std::max(height, static_cast<int32_t>(rows.size()));

  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, width, height);
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      const char c = rows[y][x];
      const int32_t stone = c == 'x' ? BLACK : c == 'o' ? WHITE : c == '#' ? NEUTRAL : EMPTY;
      if (stone != EMPTY) {
        positionPlace(record->position, static_cast<int32_t>(x), static_cast<int32_t>(y), stone);
      }
    }
  }
  record->sideToMove = sideToMove;
  return record;
}

std::string squareName(const SearchRecord& record, Square s) {
  if (s == NO_SQUARE) return "none";
  return std::to_string(s % record.position.width) + "," +
         std::to_string(s / record.position.width);
}

}  // namespace kestrix::testing
