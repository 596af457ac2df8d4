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
#include "search/search_record.h"
#include "threats/stones.h"
#include "threats/threat_board.h"

namespace kestrix::testing {

// A search record whose Position holds the pictured stones.
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
      const size_t stone = std::string_view(".xo#").find(rows[y][x]);
      if (stone >= 1 && stone <= 3)
        positionPlace(record->position, int32_t(x), int32_t(y), int32_t(stone));
    }
  }
  record->sideToMove = sideToMove;
  return record;
}

// The threat board of the pictured stones under rule R.
template <RuleIndex R>
std::unique_ptr<ThreatBoard> boardFromPicture(std::string_view picture, int32_t width = 0,
                                              int32_t height = 0) {
  initPatternTables();
  auto board = std::make_unique<ThreatBoard>();
  fillThreatBoard<R>(*board, recordFromPicture(picture, BLACK, width, height)->position);
  return board;
}

// width x height squares tiled with `tile`, each band of rows shifted by `shift`.
inline std::string tiledPicture(int32_t width, int32_t height,
                                const std::vector<std::string_view>& tile, size_t shift = 0) {
  std::string picture;
  for (size_t y = 0; y < size_t(height); ++y, picture += '\n') {
    const std::string_view row = tile[y % tile.size()];
    for (size_t x = 0; x < size_t(width); ++x) {
      picture += row[(x + y / tile.size() * shift) % row.size()];
    }
  }
  return picture;
}

// The name "x,y" of a square on a board or Position.
template <typename Board>
std::string squareName(const Board& board, Square s) {
  return s == NO_SQUARE ? "none"
                        : std::to_string(s % board.width) + "," + std::to_string(s / board.width);
}

// The bytes of each part in turn, after those already in `bytes`.
inline void appendBytes(std::string& bytes, const auto&... parts) {
  (bytes.append(reinterpret_cast<const char*>(&parts), sizeof(parts)), ...);
}

// The bytes of everything on a board that the stone operations may change.
inline void snapshot(const ThreatBoard& b, std::string& bytes) {
  bytes.clear();
  appendBytes(bytes, b.playerThreats, b.nearEmpty, b.lineCode, b.lineStone, b.nearStones, b.cells);
}

}  // namespace kestrix::testing
