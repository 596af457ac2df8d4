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
  for (int32_t s = 0; s < record.position.cellCount; ++s) {
    const ThreatCell& cell = record.threatCells[s];
    if (cell.stone != EMPTY || cell.nearStones == 0) continue;
    if (moveValue<R>(record, static_cast<Square>(s), fiver) == VALUE_FIVE) {
      out[0] = static_cast<Square>(s);
      return 1;
    }
  }
  return 0;
}

// Pivot-and-hole quicksort, descending. Every partition permutes only its
// own range, so ranges that lie wholly at or beyond `limit` can be left
// unsorted without changing the first `limit` entries.
void sortRange(Candidate* candidates, int32_t lo, int32_t hi, int32_t limit) {
  while (lo < hi && lo < limit) {
    const Candidate pivot = candidates[lo];
    int32_t left = lo;  // the hole starts where the pivot was
    int32_t right = hi;
    for (;;) {
      while (right > left && candidates[right].score <= pivot.score) --right;
      if (right == left) break;
      candidates[left] = candidates[right];  // the hole moves to the right end
      ++left;
      while (left < right && candidates[left].score >= pivot.score) ++left;
      if (left == right) break;
      candidates[right] = candidates[left];  // and back to the left end
    }
    candidates[left] = pivot;
    sortRange(candidates, lo, left - 1, limit);
    lo = left + 1;
  }
}

}  // namespace

void sortCandidates(SearchRecord& record, int32_t limit) {
  sortRange(record.candidates, 0, record.candidateCount - 1, limit);
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
  for (int32_t i = 0; i < record.position.cellCount; ++i) {
    const Square s = static_cast<Square>(i);
    const ThreatCell& cell = record.threatCells[s];
    if (cell.stone != EMPTY || cell.nearStones == 0) continue;
    const int32_t a = moveValue<R>(record, s, player);
    const int32_t b = moveValue<R>(record, s, opponent);
    if (a + b == 0) continue;
    if (a == VALUE_OPEN_FOUR) {
      out[0] = s;
      return 1;
    }
    addCandidate(record, s, a, b);
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
