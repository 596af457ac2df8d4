#include "protocol/output.h"

#include <gtest/gtest.h>

#include <string>

#include "../support/dialogue.h"

namespace kestrix {
namespace {

using testing::CaptureSink;
using testing::Lines;

TEST(LineWriter, WritesPrefixBlankAndOneWholeLine) {
  CaptureSink sink;
  reply(sink, "OK");
  replyError(sink, "bad TURN parameters");
  replyUnknown(sink, "%s", "");
  replyMessage(sink, "a\rb\nc%s", "\r\nd");
  reply(sink, "%d,%d", 7, -3);
  EXPECT_EQ(sink.lines(),
            (Lines{"OK", "ERROR bad TURN parameters", "UNKNOWN ", "MESSAGE a b c  d", "7,-3"}));
}

TEST(LineWriter, EchoesTheLongestInputLineWholeAndCutsBeyondTheBuffer) {
  CaptureSink sink;
  const std::string longest(1023, 'q');
  replyUnknown(sink, "%s", longest.c_str());
  const std::string huge(5000, 'z');
  replyUnknown(sink, "%s", huge.c_str());
  const Lines lines = sink.lines();
  EXPECT_EQ(lines[0], "UNKNOWN " + longest);
  EXPECT_EQ(lines[1].size(), OUTPUT_LINE_CAPACITY - 2);
  EXPECT_EQ(lines[1].substr(0, 9), "UNKNOWN z");
}

TEST(About, VersionIsTheBuildDateAsEightDigits) {
  char text[VERSION_TEXT_SIZE];
  buildVersion(text, "Jan 15 2020");
  EXPECT_STREQ(text, "20200115");
  buildVersion(text, "Dec  3 2024");  // the compiler pads one-digit days
  EXPECT_STREQ(text, "20241203");
  buildVersion(text, "Sep 30 1999");
  EXPECT_STREQ(text, "19990930");
}

}  // namespace
}  // namespace kestrix
