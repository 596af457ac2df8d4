// Test support: positions drawn as text, and search records built from them.
//
// One line per row, top row first: 'x' a black stone, 'o' a white stone,
// '#' a NEUTRAL mark, anything else empty; blank lines are skipped. The board
// is as wide as the longest row and as high as the number of rows, unless a
// larger size is given: the picture then covers its top-left corner.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "position/pattern_tables.h"
#include "position/types.h"
#include "threats/line_codes.h"
#include "threats/search_record.h"
#include "threats/stones.h"

namespace kestrix::testing {

// A record whose Position holds the pictured stones; its search board is
// not built.
std::unique_ptr<SearchRecord> recordFromPicture(std::string_view picture,
                                                int32_t sideToMove = BLACK, int32_t width = 0,
                                                int32_t height = 0);

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

std::string squareName(const SearchRecord& record, Square s);

// A byte copy of everything on a record that the stone operations may change.
// Kept and refilled by the caller, so that long runs allocate nothing.
struct Snapshot {
  std::string bytes;

  template <typename Visit>
  static void forEachPart(const SearchRecord& record, Visit&& visit) {
    visit(record.playerThreats, sizeof(record.playerThreats));
    visit(record.nearEmpty, sizeof(record.nearEmpty));
    visit(record.lineCode, sizeof(record.lineCode));
    visit(record.lineStone, sizeof(record.lineStone));
    visit(record.nearStones, sizeof(record.nearStones));
    visit(record.threatBoard, sizeof(record.threatBoard));
  }
  void take(const SearchRecord& record) {
    bytes.clear();
    forEachPart(record, [&](const void* part, size_t size) {
      bytes.append(static_cast<const char*>(part), size);
    });
  }
  bool matches(const SearchRecord& record) const {
    size_t at = 0;
    bool same = true;
    forEachPart(record, [&](const void* part, size_t size) {
      same = same && std::memcmp(bytes.data() + at, part, size) == 0;
      at += size;
    });
    return same;
  }
};

}  // namespace kestrix::testing
