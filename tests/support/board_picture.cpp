#include "support/board_picture.h"

#include <cstring>

#include "position/position.h"

namespace kestrix {

std::unique_ptr<SearchRecord> recordFromPicture(std::initializer_list<const char*> rows,
                                                int32_t sideToMove) {
  auto record = std::make_unique<SearchRecord>();
  const int32_t width = static_cast<int32_t>(std::strlen(*rows.begin()));
  const int32_t height = static_cast<int32_t>(rows.size());
  positionInit(record->position, width, height);
  int32_t y = 0;
  for (const char* row : rows) {
    for (int32_t x = 0; x < width && row[x] != '\0'; ++x) {
      const char c = row[x];
      const int32_t stone = c == 'x' ? BLACK : c == 'o' ? WHITE : c == '#' ? NEUTRAL : EMPTY;
      if (stone != EMPTY) positionPlace(record->position, x, y, stone);
    }
    ++y;
  }
  record->sideToMove = sideToMove;
  return record;
}

void putStone(SearchRecord& record, int32_t x, int32_t y, int32_t stone) {
  positionPlace(record.position, x, y, stone);
}

std::string squareName(const SearchRecord& record, Square s) {
  if (s == NO_SQUARE) return "none";
  return std::to_string(s % record.position.width) + "," +
         std::to_string(s / record.position.width);
}

}  // namespace kestrix
