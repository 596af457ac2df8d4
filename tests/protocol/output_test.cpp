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

TEST(About, FieldsAreQuotedAndValuesHoldNoSeparators) {
  CaptureSink sink;
  aboutReply(sink);
  const std::string line = sink.lines().at(0);
  const char* keys[5] = {"name", "version", "author", "country", "email"};
  std::string values[5];
  size_t at = 0;
  for (int field = 0; field < 5; ++field) {
    const std::string head = std::string(field == 0 ? "" : ", ") + keys[field] + "=\"";
    ASSERT_EQ(line.compare(at, head.size(), head), 0) << line;
    at += head.size();
    const size_t close = line.find('"', at);
    ASSERT_NE(close, std::string::npos) << line;
    values[field] = line.substr(at, close - at);
    at = close + 1;
    EXPECT_FALSE(values[field].empty());
    // Some managers split the line on commas and '='.
    EXPECT_EQ(values[field].find_first_of(",="), std::string::npos) << values[field];
  }
  EXPECT_EQ(at, line.size());
  EXPECT_EQ(values[0], "Kestrix");
  EXPECT_EQ(values[1].size(), 8u);
  EXPECT_EQ(values[1].find_first_not_of("0123456789"), std::string::npos);
  EXPECT_NE(values[4].find('@'), std::string::npos);
}

}  // namespace
}  // namespace kestrix
