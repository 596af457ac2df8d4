#include "protocol/parse.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrix {
namespace {

TEST(MatchWord, ComparesWholeFirstWordsIgnoringAsciiCase) {
  EXPECT_TRUE(matchWord("start 15", "START"));
  EXPECT_TRUE(matchWord(" \tStArT", "start"));
  EXPECT_TRUE(matchWord("done\r", "DONE"));
  EXPECT_FALSE(matchWord("STARTX 15", "START"));
  EXPECT_FALSE(matchWord("STAR 15", "START"));
  EXPECT_FALSE(matchWord("", "START"));
  EXPECT_FALSE(matchWord("   ", "START"));
  EXPECT_FALSE(matchWord(nullptr, "START"));
  // Only the first 20 bytes of a word take part.
  EXPECT_TRUE(matchWord("abcdefghijklmnopqrstXYZ", "ABCDEFGHIJKLMNOPQRST"));
}

TEST(MatchWord, FoldsOnlyAsciiLettersOverEveryByteValue) {
  for (int b = 1; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    if (isSpaceByte(byte)) continue;
    const bool letter = (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
    const std::string text{byte, 'x'};
    const std::string same{byte, 'X'};
    // Bytes 0x20 apart are upper and lower case only among the ASCII
    // letters; Latin-1 capitals and small letters, for one, stay apart.
    const std::string flipped{static_cast<char>(b ^ 0x20), 'x'};
    EXPECT_TRUE(matchWord(text.c_str(), same.c_str())) << b;
    EXPECT_EQ(matchWord(text.c_str(), flipped.c_str()), letter) << b;
  }
}

TEST(ParseInt, FollowsAtoiAndSaturates) {
  EXPECT_EQ(parseInt("  -12abc"), -12);
  EXPECT_EQ(parseInt("+7"), 7);
  EXPECT_EQ(parseInt("abc"), 0);
  EXPECT_EQ(parseInt("-"), 0);
  EXPECT_EQ(parseInt("2147483647"), INT32_MAX);
  EXPECT_EQ(parseInt("2147483648"), INT32_MAX);
  EXPECT_EQ(parseInt("99999999999999999999999"), INT32_MAX);
  EXPECT_EQ(parseInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(parseInt("-99999999999999999999999"), INT32_MIN);
}

TEST(ScanCommaInts, NeedsTheCommaRightAfterANumber) {
  int32_t v[3] = {};
  EXPECT_EQ(scanCommaInts("TURN 10,11", true, v, 2), 2);
  EXPECT_EQ(v[0], 10);
  EXPECT_EQ(v[1], 11);
  EXPECT_EQ(scanCommaInts("TURN 10, -11", true, v, 2), 2);
  EXPECT_EQ(v[1], -11);
  EXPECT_EQ(scanCommaInts("TURN 10 10", true, v, 2), 1);
  EXPECT_EQ(scanCommaInts("TURN 10 ,10", true, v, 2), 1);
  EXPECT_EQ(scanCommaInts("TURN", true, v, 2), 0);
  EXPECT_EQ(scanCommaInts("TURN x,1", true, v, 2), 0);
  EXPECT_EQ(scanCommaInts("START 20,15", true, v, 1), 1);
  EXPECT_EQ(v[0], 20);
  EXPECT_EQ(scanCommaInts("7,8,2", false, v, 3), 3);
  EXPECT_EQ(v[2], 2);
  EXPECT_EQ(scanCommaInts("5,5", false, v, 3), 2);
  EXPECT_EQ(scanCommaInts("99999999999,-99999999999,1", false, v, 3), 3);
  EXPECT_EQ(v[0], INT32_MAX);
  EXPECT_EQ(v[1], INT32_MIN);
}

}  // namespace
}  // namespace kestrix
