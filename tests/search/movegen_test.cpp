#include "search/movegen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "search/search.h"

namespace kestrix {
namespace {

// The first `limit` candidates best first, every entry kept, nothing read past
// the list (alone on the heap); the order of equal scores is the bench's to guard.
TEST(SortCandidates, PutsTheBestFirstOnListsUpToTheWholeBoard) {
  auto candidates = std::make_unique<CandidateList>();
  std::vector<Candidate> input, best;
  uint32_t seed = 12345;
  for (int round = 0; round < 400; ++round) {
    // Few distinct scores make many ties; some lists are a 32 x 32 root's.
    const int32_t count = round % 40 == 0 ? MAX_CELLS - round : 1 + round % 150;
    input.resize(count);
    for (int32_t i = 0; i < count; ++i) {
      seed = seed * 1103515245u + 12345u;
      input[i] = Candidate{int16_t((seed >> 16) % (1 + round % 23)), Square(i)};
    }
    best = input;
    std::stable_sort(best.begin(), best.end(),
                     [](Candidate a, Candidate b) { return a.score > b.score; });
    for (const int32_t limit : {INNER_MOVES, MAX_CELLS}) {
      candidates->count = count;
      std::copy(input.begin(), input.end(), candidates->entries);
      sortCandidates(*candidates, limit);
      std::vector<bool> seen(count);
      for (int32_t i = 0; i < count; ++i) {
        const Candidate c = candidates->entries[i];
        ASSERT_FALSE(seen[c.square]) << "round " << round << ": " << c.square << " twice";
        seen[c.square] = true;
        ASSERT_TRUE(i >= limit || c.score == best[i].score) << "round " << round << ", place " << i;
      }
    }
  }
}

}  // namespace
}  // namespace kestrix
