#include "protocol/parse.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace kestrix {
namespace {

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
