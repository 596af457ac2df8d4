#include "search/movegen.h"

namespace kestrix {

namespace {

// Appends an empty square with worth a for the player and b for the
// opponent. Threats are ranked by the stronger side, the defence winning a
// tie; positional worth counts own chances double.
inline void addCandidate(SearchRecord& record, Square s, int32_t a, int32_t b) {
  int32_t score;
  if (a > VALUE_THREAT_THRESHOLD || b > VALUE_THREAT_THRESHOLD) {
    score = a > b ? a + 4 : b;
  } else {
    score = 2 * a + b;
  }
  record.candidates[record.candidateCount++] = Candidate{static_cast<int16_t>(score), s};
}

int32_t takeBest(SearchRecord& record, Square* out, int32_t capacity) {
  sortCandidates(record, capacity);
  const int32_t count = record.candidateCount < capacity ? record.candidateCount : capacity;
  for (int32_t i = 0; i < count; ++i) out[i] = record.candidates[i].square;
  return count;
}

inline int32_t fourStones(const SearchRecord& record, int32_t player) {
  const int32_t* counts = record.playerThreats[player].classCount;
  return counts[THREAT_OPEN_FOUR] + counts[THREAT_FOUR_THREE] + counts[THREAT_FOUR];
}

// The first empty square near stones where `fiver` completes five.
template <RuleIndex R>
int32_t firstFiveSquare(const SearchRecord& record, int32_t fiver, Square* out) {
  int32_t count = 0;
  forEachNearEmpty(record, [&](Square s) {
    if (moveValue<R>(record, s, fiver) != VALUE_FIVE) return false;
    out[0] = s;
    count = 1;
    return true;
  });
  return count;
}

// The candidates' order is that of a quicksort, descending, with the first
// entry of a range as pivot: its slot becomes a hole; from the right end the
// scan looks for an entry scoring above the pivot and moves it into the
// hole, then from the left for one scoring below and moves it into the new
// hole, and so on until the scans meet, where the pivot goes; the left part
// is sorted the same way, then the right. Ties keep whatever places this
// leaves them, and the search depends on that order.
//
// The scans amount to a chain: the k-th entry above the pivot counted from
// the right trades places with the k-th entry below it counted from the
// left, until they would cross; entries equal to the pivot never move. This
// computes that chain from the lists of both kinds, gathered in one pass
// without branches, which costs far fewer mispredicted jumps than the scans
// themselves. Every partition permutes only its own range, so ranges wholly
// at or beyond `limit` are left unsorted without changing the first `limit`
// entries.
void sortRange(Candidate* candidates, int32_t lo, int32_t hi, int32_t limit, int16_t* scratch) {
  int16_t* below = scratch;              // ascending positions of entries below the pivot
  int16_t* above = scratch + MAX_CELLS;  // ascending positions of entries above it
  while (lo < hi && lo < limit) {
    const Candidate pivot = candidates[lo];
    int32_t belowCount = 0;
    int32_t aboveCount = 0;
    for (int32_t j = lo + 1; j <= hi; ++j) {
      const int16_t score = candidates[j].score;
      below[belowCount] = static_cast<int16_t>(j);
      belowCount += score < pivot.score;
      above[aboveCount] = static_cast<int16_t>(j);
      aboveCount += score > pivot.score;
    }
    int32_t hole = lo;
    for (int32_t k = 0; k < aboveCount; ++k) {
      const int32_t from = above[aboveCount - 1 - k];  // from the right
      if (from <= hole) break;
      candidates[hole] = candidates[from];
      hole = from;
      if (k >= belowCount || below[k] > from) break;
      candidates[hole] = candidates[below[k]];
      hole = below[k];
    }
    candidates[hole] = pivot;
    sortRange(candidates, lo, hole - 1, limit, scratch);
    lo = hole + 1;
  }
}

}  // namespace

void sortCandidates(SearchRecord& record, int32_t limit) {
  int16_t scratch[2 * MAX_CELLS];
  sortRange(record.candidates, 0, record.candidateCount - 1, limit, scratch);
}

template <RuleIndex R>
int32_t generateRootMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity) {
  const int32_t opponent = opponentOf(player);
  record.candidateCount = 0;
  Square blockSquare = NO_SQUARE;
  Square fourSquare = NO_SQUARE;
  for (int32_t i = 0; i < record.position.cellCount; ++i) {
    const Square s = static_cast<Square>(i);
    if (record.threatCells[s].stone != EMPTY) continue;
    const int32_t a = moveValue<R>(record, s, player);
    const int32_t b = moveValue<R>(record, s, opponent);
    if (a + b == 0) continue;
    if (a == VALUE_FIVE) {
      out[0] = s;
      return 1;
    }
    if (b == VALUE_FIVE) {
      blockSquare = s;  // the last one in square order is kept
    } else if (a == VALUE_OPEN_FOUR) {
      fourSquare = s;
    } else {
      addCandidate(record, s, a, b);
    }
  }
  if (blockSquare != NO_SQUARE || fourSquare != NO_SQUARE) {
    out[0] = blockSquare != NO_SQUARE ? blockSquare : fourSquare;
    return 1;
  }
  return takeBest(record, out, capacity);
}

template <RuleIndex R>
int32_t generateMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity) {
  const int32_t opponent = opponentOf(player);
  if (fourStones(record, player) > 0) return firstFiveSquare<R>(record, player, out);
  if (fourStones(record, opponent) > 0) return firstFiveSquare<R>(record, opponent, out);
  record.candidateCount = 0;
  Square openFour = NO_SQUARE;
  forEachNearEmpty(record, [&](Square s) {
    const int32_t a = moveValue<R>(record, s, player);
    const int32_t b = moveValue<R>(record, s, opponent);
    if (a + b == 0) return false;
    if (a == VALUE_OPEN_FOUR) {
      openFour = s;
      return true;
    }
    addCandidate(record, s, a, b);
    return false;
  });
  if (openFour != NO_SQUARE) {
    out[0] = openFour;
    return 1;
  }
  return takeBest(record, out, capacity);
}

template int32_t generateRootMoves<RULE_FREESTYLE>(SearchRecord&, int32_t, Square*, int32_t);
template int32_t generateRootMoves<RULE_STANDARD>(SearchRecord&, int32_t, Square*, int32_t);
template int32_t generateRootMoves<RULE_RENJU>(SearchRecord&, int32_t, Square*, int32_t);
template int32_t generateMoves<RULE_FREESTYLE>(SearchRecord&, int32_t, Square*, int32_t);
template int32_t generateMoves<RULE_STANDARD>(SearchRecord&, int32_t, Square*, int32_t);
template int32_t generateMoves<RULE_RENJU>(SearchRecord&, int32_t, Square*, int32_t);

}  // namespace kestrix
