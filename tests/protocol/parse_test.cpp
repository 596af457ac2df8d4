#include "protocol/parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kestrix {
namespace {

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
    EXPECT_FALSE(matchWord(text.c_str(), (same + "y").c_str())) << b;
    EXPECT_EQ(matchWord(text.c_str(), flipped.c_str()), letter) << b;
  }
}

TEST(ParseInt, FollowsAtoiAndSaturates) {
  const std::pair<const char*, int32_t> cases[] = {
      // clang-format off
      {"  -12abc", -12}, {"+7", 7}, {"abc", 0}, {"-", 0}, {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX}, {"99999999999999999999999", INT32_MAX},
      {"-2147483648", INT32_MIN}, {"-99999999999999999999999", INT32_MIN},
      // clang-format on
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(parseInt(text), value) << text;
}

}  // namespace
}  // namespace kestrix
