#include "session/session.h"

#include <gtest/gtest.h>

#include <memory>

#include "../support/dialogue.h"

namespace kestrix {
namespace {

using testing::CaptureSink;
using testing::Lines;

TEST(SessionBoard, CountsFollowEveryStoneAndTakeback) {
  CaptureSink sink;
  auto session = std::make_unique<Session>(sink);
  setupBoard(*session, 15, 15, true);
  EXPECT_EQ(session->board.count(CELL_EMPTY), 225);
  recordOwnMove(*session, 0, 0);
  recordOpponentMove(*session, 14, 14);
  recordWinningMark(*session, 7, 7);
  recordOpponentMove(*session, 7, 7);  // taken by the mark
  recordWinningMark(*session, 15, 0);  // off the board
  recordOwnMove(*session, 0, -1);
  EXPECT_EQ(session->board.count(CELL_EMPTY), 222);
  takeBack(*session, 7, 7);  // a mark can be taken back too
  takeBack(*session, 0, 0);
  EXPECT_EQ(session->board.count(CELL_EMPTY), 224);
  EXPECT_EQ(session->board.count(CELL_OPPONENT), 1);
  EXPECT_EQ(session->board.count(CELL_OWN) + session->board.count(CELL_WIN_MARK), 0);
  EXPECT_EQ(sink.lines(), (Lines{"OK", "ERROR opponents's move [7,7]", "ERROR winning move [15,0]",
                                 "ERROR my move [0,-1]", "OK", "OK"}));

  // A new size empties the board; RESTART keeps the size.
  setupBoard(*session, 20, 13, true);
  EXPECT_EQ(session->board.count(CELL_EMPTY), 260);
  EXPECT_EQ(session->board.count(CELL_OPPONENT), 0);
  EXPECT_EQ(session->spiralOrders.order[0][259], 0);  // the orders follow the new size
  EXPECT_EQ(session->spiralOrders.order[0][260], 0);
  recordOwnMove(*session, 19, 12);
  clearBoard(*session);
  EXPECT_EQ(session->board.width, 20);
  EXPECT_EQ(session->board.count(CELL_EMPTY), 260);
  EXPECT_EQ(session->board.cells[12][19], CELL_EMPTY);
}

TEST(SessionSettings, RuleNames) {
  EXPECT_STREQ(ruleName(RULE_FREESTYLE), "Freestyle");
  EXPECT_STREQ(ruleName(RULE_STANDARD), "Standard");
  EXPECT_STREQ(ruleName(RULE_RENJU), "Renju");
  EXPECT_STREQ(ruleName(static_cast<RuleIndex>(7)), "Unknown");
}

}  // namespace
}  // namespace kestrix
