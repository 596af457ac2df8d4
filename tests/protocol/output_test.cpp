#include "protocol/output.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/dialogue.h"

namespace kestrix {
namespace {

using testing::CaptureSink;
using testing::Lines;

TEST(LineWriter, WritesPrefixBlankAndOneWholeLineCutBeyondTheBuffer) {
  CaptureSink sink;
  reply(sink, "OK");
  replyError(sink, "bad TURN parameters");
  replyMessage(sink, "a\rb\nc%s", "\r\nd");
  reply(sink, "%d,%d", 7, -3);
  const std::string longest(1023, 'q'), huge(5000, 'z');
  replyUnknown(sink, "%s", longest.c_str());
  replyUnknown(sink, "%s", huge.c_str());
  Lines lines = sink.lines();
  EXPECT_EQ(lines[5].size(), OUTPUT_LINE_CAPACITY - 2);
  EXPECT_EQ(lines[5].substr(0, 9), "UNKNOWN z");
  lines.pop_back();
  EXPECT_EQ(lines, (Lines{"OK", "ERROR bad TURN parameters", "MESSAGE a b c  d", "7,-3",
                          "UNKNOWN " + longest}));
}

TEST(About, VersionIsTheBuildDateAsEightDigits) {
  char text[VERSION_TEXT_SIZE];
  buildVersion(text, "Jan 15 2020");
  EXPECT_STREQ(text, "20200115");
  buildVersion(text, "Dec  3 2024");  // one-digit days are padded
  EXPECT_STREQ(text, "20241203");
}

}  // namespace
}  // namespace kestrix
