#include "search/movegen.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrix {

namespace {

// Writes at `next` and steps past it the candidate for an empty square with
// worth a for the player and b for the opponent; returns its score. Threats
// are ranked by the stronger side, the defence winning a tie; positional
// worth counts own chances double. (The generators count their candidates
// in a local pointer, which the compiler keeps in a register, and set
// candidateCount once at the end.)
inline int32_t addCandidate(Candidate*& next, Square s, int32_t a, int32_t b) {
  int32_t score;
  if (a > VALUE_THREAT_THRESHOLD || b > VALUE_THREAT_THRESHOLD) {
    score = a > b ? a + 4 : b;
  } else {
    score = 2 * a + b;
  }
  *next++ = Candidate{static_cast<int16_t>(score), s};
  return score;
}

int32_t takeBest(CandidateList& candidates, Square* out, int32_t capacity) {
  sortCandidates(candidates, capacity);
  const int32_t count = candidates.count < capacity ? candidates.count : capacity;
  for (int32_t i = 0; i < count; ++i) out[i] = candidates.entries[i].square;
  return count;
}

// The first empty square near stones where `fiver` completes five.
template <RuleIndex R>
int32_t firstFiveSquare(const ThreatBoard& board, int32_t fiver, Square* out) {
  int32_t count = 0;
  forEachNearEmpty(board, [&](CellIndex c) {
    if (moveValueAtCell<R>(board, c, fiver) != VALUE_FIVE) return false;
    out[0] = board.squareOfCell[c];
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
// left, until they would cross; entries equal to the pivot never move. The
// partitions below find both kinds as bit masks over the range, built
// without branches, and walk the chain with bit scans, which costs far fewer
// mispredicted jumps than the scans themselves. Every partition permutes
// only its own range, so ranges wholly at or beyond `limit` are left
// unsorted without changing the first `limit` entries.
constexpr int32_t MASK_WORDS = MAX_CELLS / 64;

// Bit i of above (below) tells whether range[i] scores above (below) the
// pivot, for i < length <= 64; the bits beyond are 0. Eight candidates a
// step: their scores, the low halves of their 32 bits, are packed into
// eight 16-bit lanes and compared at once. The last step may read up to
// seven entries past the range, which the candidate array has room for;
// their bits are cut off.
inline void scoreMasks(const Candidate* range, int32_t length, int16_t pivot, uint64_t& above,
                       uint64_t& below) {
  static_assert(sizeof(Candidate) == 4 && offsetof(Candidate, score) == 0);
  uint64_t a = 0;
  uint64_t b = 0;
  int32_t i = 0;
#if defined(__SSE2__)
  const __m128i pivots = _mm_set1_epi16(pivot);
  for (; i < length; i += 8) {
    __m128i low;
    __m128i high;
    std::memcpy(&low, range + i, sizeof(low));
    std::memcpy(&high, range + i + 4, sizeof(high));
    // Sign-extend each score to 32 bits, so that packing keeps it exactly.
    low = _mm_srai_epi32(_mm_slli_epi32(low, 16), 16);
    high = _mm_srai_epi32(_mm_slli_epi32(high, 16), 16);
    const __m128i scores = _mm_packs_epi32(low, high);
    // Both comparisons packed into one vector: the low eight bytes say
    // above, the high eight below.
    const uint32_t both = static_cast<uint32_t>(_mm_movemask_epi8(
        _mm_packs_epi16(_mm_cmpgt_epi16(scores, pivots), _mm_cmplt_epi16(scores, pivots))));
    a |= uint64_t{both & 0xff} << i;
    b |= uint64_t{both >> 8} << i;
  }
#else
  for (; i < length; ++i) {
    a |= uint64_t{range[i].score > pivot} << i;
    b |= uint64_t{range[i].score < pivot} << i;
  }
#endif
  const uint64_t inRange = length == 64 ? ~uint64_t{0} : (uint64_t{1} << length) - 1;
  above = a & inRange;
  below = b & inRange;
}

// Partitions candidates[lo..hi] around candidates[lo] for ranges longer
// than 129 entries (root lists), a word of masks per 64 entries after the
// pivot; returns the pivot's place. Kept out of line, so that its masks do
// not sit in every frame of the sort's recursion.
[[gnu::noinline]] int32_t partitionWide(Candidate* candidates, int32_t lo, int32_t hi) {
  uint64_t above[MASK_WORDS];  // bit i: entry lo + 1 + 64 * word + i scores above the pivot
  uint64_t below[MASK_WORDS];  // ... scores below it
  const Candidate pivot = candidates[lo];
  const int32_t length = hi - lo;
  const int32_t words = (length + 63) >> 6;
  for (int32_t w = 0; w < words; ++w) {
    const int32_t rest = length - 64 * w;
    scoreMasks(candidates + lo + 1 + 64 * w, rest < 64 ? rest : 64, pivot.score, above[w],
               below[w]);
  }
  int32_t hole = lo;
  int32_t aboveWord = words - 1;  // taken from the right
  int32_t belowWord = 0;          // taken from the left
  for (;;) {
    while (aboveWord >= 0 && above[aboveWord] == 0) --aboveWord;
    if (aboveWord < 0) break;
    const int32_t aboveBit = 63 - std::countl_zero(above[aboveWord]);
    above[aboveWord] &= ~(uint64_t{1} << aboveBit);
    const int32_t from = lo + 1 + (aboveWord << 6) + aboveBit;
    if (from <= hole) break;
    candidates[hole] = candidates[from];
    hole = from;
    while (belowWord < words && below[belowWord] == 0) ++belowWord;
    if (belowWord == words) break;
    const int32_t belowBit = std::countr_zero(below[belowWord]);
    below[belowWord] &= below[belowWord] - 1;
    const int32_t to = lo + 1 + (belowWord << 6) + belowBit;
    if (to > from) break;
    candidates[hole] = candidates[to];
    hole = to;
  }
  candidates[hole] = pivot;
  return hole;
}

// The same partition for 66 to 129 entries, the length of most inner
// lists: the walk of partitionWide with its two words of masks in
// registers, the bits of the second word counting from 64. `hole` and the
// bit positions count from lo + 1, the pivot's own slot being -1.
[[gnu::noinline]] int32_t partitionTwoWords(Candidate* candidates, int32_t lo, int32_t hi) {
  const Candidate pivot = candidates[lo];
  Candidate* range = candidates + lo + 1;
  uint64_t aboveLow;
  uint64_t belowLow;
  uint64_t aboveHigh;
  uint64_t belowHigh;
  scoreMasks(range, 64, pivot.score, aboveLow, belowLow);
  scoreMasks(range + 64, hi - lo - 64, pivot.score, aboveHigh, belowHigh);
  int32_t hole = -1;
  for (;;) {
    int32_t from;  // the highest bit left of the above mask
    if (aboveHigh != 0) {
      from = 127 - std::countl_zero(aboveHigh);
      aboveHigh &= ~(uint64_t{1} << (from - 64));
    } else if (aboveLow != 0) {
      from = 63 - std::countl_zero(aboveLow);
      aboveLow &= ~(uint64_t{1} << from);
    } else {
      break;
    }
    if (from <= hole) break;
    range[hole] = range[from];
    hole = from;
    int32_t to;  // the lowest bit left of the below mask
    if (belowLow != 0) {
      to = std::countr_zero(belowLow);
      belowLow &= belowLow - 1;
    } else if (belowHigh != 0) {
      to = 64 + std::countr_zero(belowHigh);
      belowHigh &= belowHigh - 1;
    } else {
      break;
    }
    if (to > from) break;
    range[hole] = range[to];
    hole = to;
  }
  range[hole] = pivot;
  return lo + 1 + hole;
}

// The same partition; returns the pivot's place. Ranges of up to 65 entries
// fit one word of masks after the pivot, and the walk then keeps it in a
// register, counted as in partitionTwoWords.
inline int32_t partition(Candidate* candidates, int32_t lo, int32_t hi) {
  const int32_t length = hi - lo;
  if (length > 128) return partitionWide(candidates, lo, hi);
  if (length > 64) return partitionTwoWords(candidates, lo, hi);
  const Candidate pivot = candidates[lo];
  Candidate* range = candidates + lo + 1;
  uint64_t above;
  uint64_t below;
  scoreMasks(range, length, pivot.score, above, below);
  int32_t hole = -1;
  while (above != 0) {
    const int32_t from = 63 - std::countl_zero(above);
    if (from <= hole) break;
    above &= ~(uint64_t{1} << from);
    range[hole] = range[from];
    hole = from;
    if (below == 0) break;
    const int32_t to = std::countr_zero(below);
    if (to > from) break;
    below &= below - 1;
    range[hole] = range[to];
    hole = to;
  }
  range[hole] = pivot;
  return lo + 1 + hole;
}

void sortRange(Candidate* candidates, int32_t lo, int32_t hi, int32_t limit) {
  while (lo < hi && lo < limit) {
    int32_t hole = lo;
    if (hi == lo + 1) {
      // Two entries: the second moves before the pivot only when above it.
      if (candidates[hi].score > candidates[lo].score) {
        std::swap(candidates[lo], candidates[hi]);
        hole = hi;
      }
    } else {
      hole = partition(candidates, lo, hi);
    }
    if (hole - 1 > lo) sortRange(candidates, lo, hole - 1, limit);
    lo = hole + 1;
  }
}

}  // namespace

void sortCandidates(CandidateList& candidates, int32_t limit) {
  sortRange(candidates.entries, 0, candidates.count - 1, limit);
}

template <RuleIndex R>
int32_t generateRootMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity) {
  const ThreatBoard& board = record.board;
  const int32_t opponent = opponentOf(player);
  Candidate* next = record.candidates.entries;
  Square blockSquare = NO_SQUARE;
  Square fourSquare = NO_SQUARE;
  for (int32_t i = 0; i < board.cellCount; ++i) {
    const Square s = static_cast<Square>(i);
    const CellIndex c = board.cellOfSquare[s];
    if (board.cells[c].stone != EMPTY) continue;
    int32_t worth[3];
    moveValuesAtCell<R>(board, c, worth);
    const int32_t a = worth[player];
    const int32_t b = worth[opponent];
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
      addCandidate(next, s, a, b);
    }
  }
  record.candidates.count = static_cast<int32_t>(next - record.candidates.entries);
  if (blockSquare != NO_SQUARE || fourSquare != NO_SQUARE) {
    out[0] = blockSquare != NO_SQUARE ? blockSquare : fourSquare;
    return 1;
  }
  return takeBest(record.candidates, out, capacity);
}

template <RuleIndex R>
int32_t generateMoves(SearchRecord& record, int32_t player, Square* out, int32_t capacity,
                      const TranspositionTable* tt) {
  const ThreatBoard& board = record.board;
  const int32_t opponent = opponentOf(player);
  if (fourStones(board.playerThreats[player]) > 0) return firstFiveSquare<R>(board, player, out);
  if (fourStones(board.playerThreats[opponent]) > 0) {
    return firstFiveSquare<R>(board, opponent, out);
  }
  Candidate* next = record.candidates.entries;
  Square openFour = NO_SQUARE;
  int32_t topScore = INT32_MIN;
  Square topSquare = NO_SQUARE;
  forEachNearEmpty(board, [&](CellIndex c) {
    int32_t worth[3];
    moveValuesAtCell<R>(board, c, worth);
    const int32_t a = worth[player];
    const int32_t b = worth[opponent];
    if (a + b == 0) return false;
    const Square s = board.squareOfCell[c];
    if (a == VALUE_OPEN_FOUR) {
      openFour = s;
      return true;
    }
    // The first square of the highest score, kept without a jump.
    const int32_t score = addCandidate(next, s, a, b);
    topSquare = score > topScore ? s : topSquare;
    topScore = score > topScore ? score : topScore;
    return false;
  });
  record.candidates.count = static_cast<int32_t>(next - record.candidates.entries);
  if (openFour != NO_SQUARE) {
    out[0] = openFour;
    return 1;
  }
  // The best-scored square is most likely searched first: start loading its
  // table entry while the candidates are sorted.
  if (tt != nullptr && topSquare != NO_SQUARE) {
    ttPrefetch(*tt, record.searchKey ^ zobristKey(player, topSquare));
  }
  return takeBest(record.candidates, out, capacity);
}

#define KESTRIX_INSTANTIATE(R)                                                     \
  template int32_t generateRootMoves<R>(SearchRecord&, int32_t, Square*, int32_t); \
  template int32_t generateMoves<R>(SearchRecord&, int32_t, Square*, int32_t,      \
                                    const TranspositionTable*);
KESTRIX_EACH_RULE(KESTRIX_INSTANTIATE)
#undef KESTRIX_INSTANTIATE

}  // namespace kestrix
