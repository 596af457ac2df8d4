#include "threats/forbidden.h"

#include <bit>
#include <cstring>

#include "position/pattern_tables.h"
#include "threats/line_codes.h"

namespace kestrix {

namespace {

// Temporary stones that one test may put down, over all its passes
// together: the last guard against time loss. A stone costs a walk over the
// codes of some 40 cells and back and a look at up to eight open-four
// squares, 0.1 to 0.15 microseconds, so a test ends within some 0.15 ms, as
// it did under the 4096 calls once allowed. The recursion has no clock
// check and the search asks at every Renju node, so the guard keeps even
// 501 nodes of such tests (one clock check apart) at some 75 ms, within the
// 100 ms the move budget holds in reserve. Counting stones, not time, keeps
// the search the same everywhere. The most crowded boards we could build,
// 32 x 32 tiled with small patterns of black stones, settle every square
// within 700 stones; in the positions of real games we bench, one stone has
// always sufficed.
constexpr int32_t STONE_BUDGET = 1 << 10;

// What a test knows of a square: settled either way, or not yet, because
// the depth of the pass or the guard ran out below it.
enum Verdict : uint8_t { ALLOWED = 0, FORBIDDEN = 1, UNSETTLED = 2 };

struct Probe {
  ThreatBoard& board;
  ForbiddenMemo& memo;
  uint64_t stones;  // XOR of the stoneKey of every temporary stone
  int32_t stonesLeft;
};

// A fixed pseudo-random 64-bit key per square (the splitmix64 finaliser).
uint64_t stoneKey(Square s) {
  uint64_t z = s + 0x9E3779B97F4A7C15ULL;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

// The verdict of the square's own lines, as they stand: UNSETTLED when it
// makes two threes or more and nothing else decides, so that the threes
// must be tested. Fills `lines` for that test.
Verdict lineVerdict(const ThreatBoard& board, Square s, LineEntry (&lines)[DIRECTION_COUNT]) {
  const int32_t stone = threatCellOf(board, s).stone;
  if (stone != EMPTY && stone != BLACK) return ALLOWED;
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    lines[d] = renjuLineTable[lineCodeOf(board, s, d, BLACK)];
  }
  for (const LineEntry& line : lines) {
    if (line.lineClass == LINE_FIVE) return ALLOWED;
  }
  int32_t fours = 0;
  int32_t threes = 0;
  for (const LineEntry& line : lines) {
    if (line.lineClass == LINE_FORBIDDEN) return FORBIDDEN;
    fours += isFourClass(line.lineClass);
    threes += isThreeClass(line.lineClass);
  }
  if (fours >= 2) return FORBIDDEN;
  return threes >= 2 ? UNSETTLED : ALLOWED;
}

// The memo keeps settled verdicts only. Within one test the rest of the
// board stays as it is, so a square's verdict is fixed by the set of
// temporary stones around it, and that set by its hash: two different sets
// share a hash with odds of 2^-64, so even over the thousands of verdicts of
// a test and the millions of tests of a game a wrong answer taken from the
// memo is far less likely than a hardware fault. A square and hash have a bucket of
// two entries; a new verdict replaces an entry of an earlier test, or else
// the one that took less work to settle, since losing a verdict that took
// a deep search can cost that search again in every later pass.
ForbiddenMemoEntry* memoBucket(Probe& probe, Square s) {
  const uint64_t index = (probe.stones ^ (s * 0x9E3779B97F4A7C15ULL)) >> (64 - FORBIDDEN_MEMO_BITS);
  return &probe.memo.entries[index & ~uint64_t{1}];
}

void remember(Probe& probe, Square s, Verdict verdict, int32_t stones) {
  ForbiddenMemoEntry* slot = memoBucket(probe, s);
  if (slot[0].stamp == probe.memo.stamp &&
      (slot[1].stamp != probe.memo.stamp || slot[1].work < slot[0].work)) {
    ++slot;
  }
  *slot = {probe.stones, probe.memo.stamp, s, verdict,
           static_cast<uint8_t>(std::bit_width(static_cast<uint32_t>(stones)))};
}

// The verdict on s that its lines or the memo give without putting a stone
// down. Fills `lines` as lineVerdict does.
Verdict knownVerdict(Probe& probe, Square s, LineEntry (&lines)[DIRECTION_COUNT]) {
  const Verdict own = lineVerdict(probe.board, s, lines);
  if (own != UNSETTLED) return own;
  const ForbiddenMemoEntry* bucket = memoBucket(probe, s);
  for (int32_t i = 0; i < 2; ++i) {
    if (bucket[i].stamp == probe.memo.stamp && bucket[i].stones == probe.stones &&
        bucket[i].square == s) {
      return static_cast<Verdict>(bucket[i].forbidden);
    }
  }
  return UNSETTLED;
}

Verdict threesVerdict(Probe& probe, Square s, const LineEntry (&lines)[DIRECTION_COUNT],
                      int32_t depth);

// The verdict on s, recursing at most `depth` temporary stones deep.
Verdict verdictAt(Probe& probe, Square s, int32_t depth) {
  LineEntry lines[DIRECTION_COUNT];
  const Verdict known = knownVerdict(probe, s, lines);
  if (known != UNSETTLED || depth <= 0 || probe.stonesLeft <= 0) return known;
  const int32_t stonesBefore = probe.stonesLeft--;
  const Verdict verdict = threesVerdict(probe, s, lines, depth);
  if (verdict != UNSETTLED) remember(probe, s, verdict, stonesBefore - probe.stonesLeft);
  return verdict;
}

// One three of the stone under test: real once one of its open-four squares
// is known to be allowed and free of fives (a five there would make it a
// four); `open` lists the squares still unsettled.
struct Three {
  bool real;
  int32_t openCount;
  Square open[2];
};

// Puts a temporary stone on s and counts its real threes. First every
// open-four square is judged by what is already known of it; only if that
// leaves the count open are the unsettled ones searched, to depth - 1, so
// a cheap proof is never missed behind a deep one.
Verdict threesVerdict(Probe& probe, Square s, const LineEntry (&lines)[DIRECTION_COUNT],
                      int32_t depth) {
  ThreatBoard& board = probe.board;
  ThreatCell& cell = threatCellOf(board, s);
  // Whether a three can become an open four is judged with the stone on s.
  // Only the codes follow it; the tallies are neither read nor changed here.
  const bool placed = cell.stone == EMPTY;
  if (placed) {
    cell.stone = BLACK;
    addStoneCodes(board, s, BLACK);
    probe.stones ^= stoneKey(s);
  }
  const CellIndex at = board.cellOfSquare[s];
  Three threes[DIRECTION_COUNT];
  int32_t threeCount = 0;
  int32_t real = 0;
  int32_t unsettled = 0;
  for (int32_t d = 0; d < DIRECTION_COUNT; ++d) {
    if (!isThreeClass(lines[d].lineClass)) continue;
    Three& three = threes[threeCount++];
    three = {};
    const int32_t windows[2] = {lines[d].keySquares & 15, lines[d].keySquares >> 4};
    for (const int32_t window : windows) {
      const Square key = board.squareOfCell[at + (window - 5) * LINE_STEP[d]];
      if (key == s || makesFive<RULE_RENJU>(board, key, BLACK)) continue;
      LineEntry keyLines[DIRECTION_COUNT];
      const Verdict verdict = knownVerdict(probe, key, keyLines);
      if (verdict == ALLOWED) {
        three.real = true;
        break;
      }
      if (verdict == UNSETTLED) three.open[three.openCount++] = key;
    }
    real += three.real;
    unsettled += !three.real && three.openCount > 0;
  }
  for (int32_t i = 0; i < threeCount && real < 2 && real + unsettled >= 2; ++i) {
    Three& three = threes[i];
    if (three.real || three.openCount == 0) continue;
    --unsettled;
    int32_t stillOpen = 0;
    for (int32_t j = 0; j < three.openCount && !three.real; ++j) {
      const Verdict verdict = verdictAt(probe, three.open[j], depth - 1);
      three.real = verdict == ALLOWED;
      stillOpen += verdict == UNSETTLED;
    }
    real += three.real;
    unsettled += !three.real && stillOpen > 0;
  }
  if (placed) {
    takeStoneCodes(board, s, BLACK);
    cell.stone = EMPTY;
    probe.stones ^= stoneKey(s);
  }
  if (real >= 2) return FORBIDDEN;
  return real + unsettled >= 2 ? UNSETTLED : ALLOWED;
}

}  // namespace

bool isForbidden(ThreatBoard& board, Square s, int32_t engineSide) {
  LineEntry lines[DIRECTION_COUNT];
  const Verdict own = lineVerdict(board, s, lines);
  if (own != UNSETTLED) return own == FORBIDDEN;

  ForbiddenMemo& memo = board.forbiddenMemo;
  if (++memo.stamp == 0) {
    std::memset(static_cast<void*>(memo.entries), 0, sizeof(memo.entries));
    memo.stamp = 1;
  }
  // Passes to depths 1, 2, 4, ...: a pass leaves unsettled whatever needs
  // a deeper search, and a verdict it settles above such squares holds
  // whichever way they turn out. So a short proof either way is found
  // without first following every long chain of threes to its end, and the
  // settled verdicts of one pass carry into the next. A pass to depth
  // MAX_CELLS is never cut short, as the recursion never nests deeper than
  // the board has empty squares, so only the guard can leave the answer
  // open.
  Probe probe{board, memo, 0, STONE_BUDGET};
  for (int32_t depth = 1; depth <= MAX_CELLS && probe.stonesLeft > 0; depth *= 2) {
    const Verdict verdict = verdictAt(probe, s, depth);
    if (verdict != UNSETTLED) return verdict == FORBIDDEN;
  }
  // Not settled within the guard: assume what is worse for the engine. As
  // black it keeps off the square, so it never risks a forbidden move; as
  // white it lets black play there, so it never counts on a threat being
  // out of black's reach.
  return engineSide == BLACK;
}

}  // namespace kestrix
