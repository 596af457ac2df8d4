#include "threats/forbidden.h"

#include "position/pattern_tables.h"
#include "threats/line_codes.h"

namespace kestrix {

namespace {

// Calls that one test may make, itself and all its recursion together. A
// real game never comes near: the worst crowded boards we could build took
// about 500 calls on 15 x 15 and 11000 on 22 x 22. Boards of 32 x 32 tiled
// with small patterns of black stones took millions (over a second). The
// recursion has no clock check and the search asks at every Renju node, so
// the budget keeps even 501 nodes of such calls (one clock check apart)
// within the 100 ms the move budget holds in reserve. Counting calls, not
// time, keeps the search the same everywhere.
constexpr int32_t CALL_BUDGET = 1 << 12;

struct Probe {
  SearchRecord& record;
  int32_t callsLeft;
};

bool makesFive(const SearchRecord& record, Square s) {
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    if (renjuLineTable[lineCodeOf(record, s, d, BLACK)].lineClass == LINE_FIVE) return true;
  }
  return false;
}

bool forbiddenAt(Probe& probe, Square s);

// A square that turns a three into an open four counts only if black may
// really play there: it must make no five (the three would then be a four)
// and must not itself be forbidden.
bool opensFour(Probe& probe, Square s, Square key) {
  return key != s && !makesFive(probe.record, key) && !forbiddenAt(probe, key);
}

bool forbiddenAt(Probe& probe, Square s) {
  if (--probe.callsLeft < 0) return false;
  SearchRecord& record = probe.record;
  ThreatCell& cell = threatCell(record, s);
  if (cell.stone != EMPTY && cell.stone != BLACK) return false;

  // The lines as they stand before any temporary stone is put down.
  LineEntry lines[DIRECTION_COUNT];
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d)
    lines[d] = renjuLineTable[lineCodeOf(record, s, d, BLACK)];

  for (const LineEntry& line : lines) {
    if (line.lineClass == LINE_FIVE) return false;
  }
  int32_t fours = 0;
  int32_t threes = 0;
  for (const LineEntry& line : lines) {
    if (line.lineClass == LINE_FORBIDDEN) return true;
    fours += isFourClass(line.lineClass);
    threes += isThreeClass(line.lineClass);
  }
  if (fours >= 2) return true;
  if (threes < 2) return false;

  // Whether a three can become an open four is judged with the stone on s,
  // so put it there for the rest of the call. Only the codes follow it; the
  // tallies are neither read nor changed here.
  const bool placed = cell.stone == EMPTY;
  if (placed) {
    cell.stone = BLACK;
    addStoneCodes(record, s, BLACK);
  }
  const Position& position = record.position;
  int32_t realThrees = 0;
  for (int32_t d = 0; d < DIRECTION_COUNT && realThrees < 2; ++d) {
    if (!isThreeClass(lines[d].lineClass)) continue;
    const Square first = static_cast<Square>(s + position.lineOffset[d][lines[d].keySquares & 15]);
    const Square second = static_cast<Square>(s + position.lineOffset[d][lines[d].keySquares >> 4]);
    if (opensFour(probe, s, first) || opensFour(probe, s, second)) ++realThrees;
  }
  if (placed) {
    takeStoneCodes(record, s, BLACK);
    cell.stone = EMPTY;
  }
  return realThrees == 2;
}

}  // namespace

bool isForbidden(SearchRecord& record, Square s) {
  Probe probe{record, CALL_BUDGET};
  const bool forbidden = forbiddenAt(probe, s);
  if (probe.callsLeft >= 0) return forbidden;
  // Not settled within the budget: assume what is worse for the engine. As
  // black it keeps off the square, so it never risks a forbidden move; as
  // white it lets black play there, so it never counts on a threat being
  // out of black's reach.
  return record.sideToMove == BLACK;
}

}  // namespace kestrix
