#include "search/movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "search/search.h"

namespace kestrix {
namespace {

// The quicksort as it is usually written, with a hole and two scans; the
// generators' sort must leave every candidate where this one does.
void holeAndScanSort(Candidate* c, int32_t lo, int32_t hi) {
  while (lo < hi) {
    const Candidate pivot = c[lo];
    int32_t left = lo;
    int32_t right = hi;
    for (;;) {
      while (right > left && c[right].score <= pivot.score) --right;
      if (right == left) break;
      c[left++] = c[right];
      while (left < right && c[left].score >= pivot.score) ++left;
      if (left == right) break;
      c[right] = c[left];
    }
    c[left] = pivot;
    holeAndScanSort(c, lo, left - 1);
    lo = left + 1;
  }
}

TEST(SortCandidates, LeavesEveryCandidateWhereTheHoleAndScanQuicksortDoes) {
  auto candidates = std::make_unique<CandidateList>();
  std::vector<Candidate> input, expected;
  uint32_t seed = 12345;
  for (int round = 0; round < 400; ++round) {
    // Few distinct scores make many ties, which is where sorts differ. Some
    // lists are as long as a 32 x 32 root's.
    const int32_t count = round % 40 == 0 ? MAX_CELLS - round : 1 + round % 150;
    const int32_t spread = 1 + round % 23;
    input.resize(count);
    for (int32_t i = 0; i < count; ++i) {
      seed = seed * 1103515245u + 12345u;
      input[i] = Candidate{static_cast<int16_t>((seed >> 16) % spread), static_cast<Square>(i)};
    }
    expected = input;
    holeAndScanSort(expected.data(), 0, count - 1);
    for (const int32_t limit : {INNER_MOVES, MAX_CELLS}) {
      candidates->count = count;
      std::copy(input.begin(), input.end(), candidates->entries);
      sortCandidates(*candidates, limit);
      for (int32_t i = 0; i < std::min(count, limit); ++i) {
        ASSERT_EQ(candidates->entries[i].square, expected[i].square)
            << "round " << round << ", limit " << limit << ", place " << i;
      }
    }
  }
}

}  // namespace
}  // namespace kestrix
