// Test helpers: search records built the way the search builds them, from
// an empty board or from a picture of one.
#pragma once

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "position/line_codes.h"
#include "position/pattern_tables.h"
#include "position/position.h"
#include "threats/search_record.h"
#include "threats/stones.h"

namespace kestrix::testing {

inline std::unique_ptr<SearchRecord> emptyRecord(int32_t width, int32_t height) {
  initPatternTables();
  auto record = std::make_unique<SearchRecord>();
  positionInit(record->position, width, height);
  initLineCodes(*record);
  return record;
}

struct PictureBoard {
  std::unique_ptr<SearchRecord> record;
  Square marked[10] = {};  // the squares drawn as digits
};

// Rows top first: 'x' BLACK, 'o' WHITE, '#' NEUTRAL, '.' empty, a digit an
// empty square the test refers to. Stones go down row by row under `rule`.
inline PictureBoard boardFromPicture(RuleIndex rule, std::initializer_list<std::string_view> rows) {
  PictureBoard board;
  board.record =
      emptyRecord(static_cast<int32_t>(rows.begin()->size()), static_cast<int32_t>(rows.size()));
  Square s = 0;
  for (std::string_view row : rows) {
    for (char c : row) {
      const int32_t stone = c == 'x' ? BLACK : c == 'o' ? WHITE : c == '#' ? NEUTRAL : EMPTY;
      if (stone != EMPTY) placeStoneByRule[rule](*board.record, s, stone);
      if (c >= '0' && c <= '9') board.marked[c - '0'] = s;
      ++s;
    }
  }
  return board;
}

// The part of the record that stone operations may change.
struct RecordSnapshot {
  ThreatCell cells[MAX_CELLS];
  PlayerThreats threats[4];

  explicit RecordSnapshot(const SearchRecord& record) {
    std::memcpy(cells, record.threatCells, sizeof(cells));
    std::memcpy(threats, record.playerThreats, sizeof(threats));
  }
  bool matches(const SearchRecord& record) const {
    return std::memcmp(cells, record.threatCells, sizeof(cells)) == 0 &&
           std::memcmp(threats, record.playerThreats, sizeof(threats)) == 0;
  }
};

}  // namespace kestrix::testing
