#include "position/pattern_tables.h"

#include <gtest/gtest.h>

#include <string>

#include "support/board_picture.h"

namespace kestrix {
namespace {

// The search reads every byte, so every game and the bench's node total depend
// on them: a new builder must give the bytes of signature 12110216 (FNV-1a).
TEST(PatternTables, TheSameBytesAsTheTablesOfTheSignature) {
  initPatternTables();
  std::string bytes;
  testing::appendBytes(bytes, freestyleLineTable, standardLineTable, renjuLineTable,
                       threatClassTable, moveValueTable, renjuMoveValueTable, freestyleRankTable,
                       standardRankTable, renjuRankTable, rankThreatClassTable, rankMoveValueTable,
                       renjuRankMoveValueTable);
  uint64_t digest = 14695981039346656037u;
  for (const unsigned char byte : bytes) digest = (digest ^ byte) * 1099511628211u;
  EXPECT_EQ(digest, 15831003018066978319u);
}

}  // namespace
}  // namespace kestrix
