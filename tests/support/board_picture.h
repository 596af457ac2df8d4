// Test support: positions drawn as text, one line per row, top row first:
// 'x' black, 'o' white, '#' a NEUTRAL mark, anything else empty; blank lines
// are skipped. The board is as large as the picture, or as given.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "position/pattern_tables.h"
#include "position/position.h"
#include "threats/line_codes.h"
#include "threats/search_record.h"
#include "threats/stones.h"

namespace kestrix::testing {

// A record whose Position holds the pictured stones (no search board).
inline std::unique_ptr<SearchRecord> recordFromPicture(std::string_view picture,
                                                       int32_t sideToMove = BLACK,
                                                       int32_t width = 0, int32_t height = 0) {
  std::vector<std::string_view> rows;
  for (size_t start = 0, end; start < picture.size(); start = end + 1) {
    end = std::min(picture.find('\n', start), picture.size());
    if (end > start) rows.push_back(picture.substr(start, end - start));
  }
  for (const std::string_view row : rows) width = std::max(width, static_cast<int32_t>(row.size()));
  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, width, std::max(height, static_cast<int32_t>(rows.size())));
  for (size_t y = 0; y < rows.size(); ++y) {
    for (size_t x = 0; x < rows[y].size(); ++x) {
      const char c = rows[y][x];
      const int32_t stone = c == 'x' ? BLACK : c == 'o' ? WHITE : c == '#' ? NEUTRAL : EMPTY;
      if (stone != EMPTY) positionPlace(record->position, int32_t(x), int32_t(y), stone);
    }
  }
  record->sideToMove = sideToMove;
  return record;
}

// The search board of the record's Position under rule R, built stone by
// stone as a search builds it (the Zobrist key aside).
template <RuleIndex R>
void buildSearchBoard(SearchRecord& record) {
  initPatternTables();
  initLineCodes(record);
  for (int32_t s = 0; s < record.position.cellCount; ++s) {
    const int32_t stone = record.position.cells[s].stone;
    if (stone != EMPTY) placeStone<R>(record, static_cast<Square>(s), stone);
  }
}

inline Square squareAt(const SearchRecord& record, int32_t x, int32_t y) {
  return static_cast<Square>(y * record.position.width + x);
}

inline std::string squareName(const SearchRecord& record, Square s) {
  const int32_t width = record.position.width;
  return s == NO_SQUARE ? "none" : std::to_string(s % width) + "," + std::to_string(s / width);
}

// The bytes of everything on a record that the stone operations may change,
// into a buffer the caller keeps, so that long runs allocate nothing.
inline void snapshot(const SearchRecord& r, std::string& bytes) {
  bytes.clear();
  const auto add = [&](const auto& part) {
    bytes.append(reinterpret_cast<const char*>(&part), sizeof(part));
  };
  add(r.playerThreats), add(r.nearEmpty), add(r.lineCode);
  add(r.lineStone), add(r.nearStones), add(r.threatBoard);
}

}  // namespace kestrix::testing
