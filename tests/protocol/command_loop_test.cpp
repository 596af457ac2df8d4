#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../support/dialogue.h"
#include "platform/memory.h"

namespace kestrix {
namespace {

using testing::EngineTest;
using testing::isMoveLine;
using testing::Lines;

const Lines IMPLICIT_BOARD = {
    "MESSAGE Width: 20, Height: 20, Rule: Freestyle",
    "MESSAGE max_memory = 367001600, timeout_turn = 5000, timeout_match = 86400000"};

class CommandLoop : public EngineTest {
 protected:
  // Every count of the manager's board; the empty cells are what is left.
  void expectStones(int32_t own, int32_t opponent, int32_t marks) {
    const SessionBoard& board = session().board;
    EXPECT_EQ(board.count(CELL_OWN), own);
    EXPECT_EQ(board.count(CELL_OPPONENT), opponent);
    EXPECT_EQ(board.count(CELL_WIN_MARK), marks);
    EXPECT_EQ(board.count(CELL_EMPTY), board.width * board.height - own - opponent - marks);
  }
};

TEST_F(CommandLoop, RecognisesWordsInAnyCaseAndAnswersParseErrors) {
  const Lines lines =
      run("start 15\nStart 15\nSTARTX 15\n\nSTART\nSTART x\nRECTSTART 20\nTURN 10 10\n"
          "TURN 10 ,10\nTAKEBACK 3\nPLAY\nABOUTS\nEND\n");
  EXPECT_EQ(lines, (Lines{"OK", "OK", "UNKNOWN STARTX 15", "UNKNOWN ", "ERROR bad START parameter",
                          "ERROR bad START parameter", "ERROR bad RECTSTART parameters",
                          "ERROR bad TURN parameters", "ERROR bad TURN parameters",
                          "ERROR bad TAKEBACK parameters", "ERROR bad PLAY parameters",
                          "UNKNOWN ABOUTS"}));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(session().board.count(CELL_OPPONENT), 0);  // the bad TURNs recorded nothing
}

TEST_F(CommandLoop, BoardSizesAndTheirRefusals) {
  const Lines lines =
      run("START 20,15\nRECTSTART 20,15\nRECTSTART 5,32\nRECTSTART 4,10\nRECTSTART 4,40\n"
          "RECTSTART 33,5\nSTART 33\nEND\n");
  EXPECT_EQ(lines, (Lines{"OK", "OK", "OK", "ERROR Minimal board size is 5*5",
                          "ERROR Minimal board size is 5*5", "ERROR Maximal board size is 32*32",
                          "ERROR Maximal board size is 32*32"}));
  EXPECT_EQ(session().board.width, 5);
  EXPECT_EQ(session().board.height, 32);
}

TEST_F(CommandLoop, MoveRequestsBeforeAnyStartSetUpTheImplicitBoard) {
  moveQuickly();
  const Lines lines = run("BEGIN\nEND\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), IMPLICIT_BOARD);
  EXPECT_TRUE((std::set<std::string>{"9,9", "10,9", "9,10", "10,10"}.count(lines[2])));
}

TEST_F(CommandLoop, ImplicitBoardDescribesTheCurrentSettingsOnce) {
  const Lines lines =
      run("INFO rule 4\nINFO timeout_turn 1000\nINFO max_memory 83886080\nRESTART\nRESTART\n");
  EXPECT_EQ(lines, (Lines{"MESSAGE Width: 20, Height: 20, Rule: Renju",
                          "MESSAGE max_memory = 83886080, timeout_turn = 1000, timeout_match = "
                          "86400000",
                          "OK", "OK"}));
}

// A refused size before any accepted one leaves no board to play on: the
// move request sets up the implicit one. Once a size was accepted, a refused
// one keeps the board and its stones.
TEST_F(CommandLoop, RefusedStartKeepsTheBoardOrLeavesTheImplicitOne) {
  moveQuickly();
  const Lines lines = run("START 4\nTURN 3,3\nSTART 15\nTURN 7,7\nSTART 4\nTURN 0,0\nEND\n");
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "ERROR Minimal board size is 5*5");
  EXPECT_EQ(Lines(lines.begin() + 1, lines.begin() + 3), IMPLICIT_BOARD);
  EXPECT_TRUE(isMoveLine(lines[3]));
  EXPECT_EQ(lines[4], "OK");
  EXPECT_EQ(lines[6], "ERROR Minimal board size is 5*5");
  EXPECT_EQ(session().board.width, 15);
  expectStones(2, 2, 0);
}

TEST_F(CommandLoop, TurnOntoATakenCellIsRefusedButStillPlayed) {
  const Lines lines = run("START 15\nBOARD\n7,7,3\nDONE\nTURN 7,7\nEND\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], "ERROR opponents's move [7,7]");
  EXPECT_TRUE(isMoveLine(lines[3]));
  expectStones(2, 0, 1);
}

TEST_F(CommandLoop, BoardListsReportBadLinesAndEndOnDoneInAnyCase) {
  const Lines lines =
      run("START 15\nBOARD\n5,5\n5,5,4\nEND\nhello\n1,1,1\n2,2,2\n3,3,3\n1,1,2\n40,0,2\ndOnE\n"
          "ABOUT x\n");
  const std::string expected = "ERROR x,y,who or DONE expected after BOARD";
  ASSERT_GE(lines.size(), 9u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 7),
            (Lines{"OK", expected, expected, expected, expected, "ERROR opponents's move [1,1]",
                   "ERROR opponents's move [40,0]"}));
  // The END inside the list was a bad stone line: the engine played and
  // carried on with ABOUT.
  EXPECT_TRUE(isMoveLine(lines[7]) || isMoveLine(lines[8]));
  expectStones(2, 1, 1);
}

TEST_F(CommandLoop, TakebackPlayAndRestart) {
  const Lines lines =
      run("START 15\nPLAY 3,3\nPLAY 3,3\nPLAY 15,0\nTAKEBACK 3,4\nTAKEBACK -1,0\nTAKEBACK 3,3\n"
          "TAKEBACK 3,3\nPLAY 1,1\nTURN 2,2\nRESTART\nEND\n");
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 11),
            (Lines{"OK", "3,3", "ERROR my move [3,3]", "3,3", "ERROR my move [15,0]", "15,0",
                   "ERROR There is no chess at [3,4].", "ERROR bad coordinates [-1,0]", "OK",
                   "ERROR There is no chess at [3,3].", "1,1"}));
  EXPECT_TRUE(isMoveLine(lines[11]));
  EXPECT_EQ(lines[12], "OK");
  EXPECT_EQ(session().board.width, 15);
  expectStones(0, 0, 0);
}

TEST_F(CommandLoop, InfoTimeKeysChangeTheBudgetAtOnce) {
  run("START 15\nINFO timeout_turn 2000\n");
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 1900);
  run("INFO timeout_turn 100000\nINFO time_left 60000\n");
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 60000 / 19);
  run("INFO timeout_match 10000\n");
  EXPECT_EQ(session().settings.time_left.load(), 10000);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 10000 / 19);
  // Without a value, or with a key nobody knows, INFO changes nothing.
  const Lines lines = run("INFO timeout_turn\nINFO colour 5\nINFO game_type 1\n");
  EXPECT_EQ(session().settings.timeout_turn.load(), 100000);
  EXPECT_EQ(session().settings.game_type, 1);
  EXPECT_EQ(lines, (Lines{"OK"}));
}

TEST_F(CommandLoop, InfoMaxMemoryResizesTheTable) {
  startLive();
  sync("INFO max_memory 1000\n");
  EXPECT_EQ(session().table.sizeBytes, 48u);
  EXPECT_EQ(session().settings.max_memory, 1000);
  // Room for a 48 MiB table besides what the process holds already (a
  // lot under the sanitizers, after many tests in one process).
  const std::string limit = std::to_string(residentMemoryBytes() + (64 << 20));
  sync("INFO max_memory " + limit + "\n");
  const TTEntry* block = session().table.entries;
  EXPECT_GE(session().table.sizeBytes, uint64_t{16} << 20);
  EXPECT_LE(session().table.sizeBytes, std::stoull(limit));
  sync("INFO max_memory " + limit + "\n");  // the same limit keeps the same block
  EXPECT_EQ(session().table.entries, block);
}

TEST_F(CommandLoop, InfoRuleValuesAndFolder) {
  const RuleIndex expected[13] = {RULE_FREESTYLE, RULE_STANDARD, RULE_FREESTYLE, RULE_STANDARD,
                                  RULE_RENJU,     RULE_RENJU,    RULE_RENJU,     RULE_RENJU,
                                  RULE_FREESTYLE, RULE_STANDARD, RULE_FREESTYLE, RULE_STANDARD,
                                  RULE_RENJU};
  for (int value = 0; value <= 12; ++value) {
    run("INFO rule " + std::to_string(value) + "\n");
    EXPECT_EQ(session().settings.ruleIndex, expected[value]) << value;
  }
  // A run of blanks separates two fields like one blank; the value ends at
  // the next blank.
  run("INFO   folder    C:\\My Games\n");
  EXPECT_STREQ(session().settings.folder, "C:\\My");
  run("info RULE 1\n");
  EXPECT_EQ(session().settings.ruleIndex, RULE_STANDARD);
}

// What managers send at the edges: no match limit, undo as a whole board,
// and lines that are not clean text.

TEST_F(CommandLoop, MatchLimitZeroMeansNoLimit) {
  run("START 15\nINFO timeout_match 0\nINFO time_left 2147483647\n");
  EXPECT_EQ(session().settings.time_left.load(), INT32_MAX);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 4900);
  run("INFO timeout_match -5\n");
  EXPECT_EQ(session().settings.time_left.load(), INT32_MAX);
}

TEST_F(CommandLoop, BoardListIsTheWholePosition) {
  moveQuickly();
  // An undo sent as BOARD: the stone at 9,9 is gone, and the stones the
  // engine already knew are not refused.
  const Lines lines =
      run("START 15\nBOARD\n7,7,1\n8,8,2\n9,9,1\nDONE\nBOARD\n7,7,1\n8,8,2\nDONE\nEND\n");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "OK");
  EXPECT_TRUE(isMoveLine(lines[1]));
  EXPECT_TRUE(isMoveLine(lines[2]));
  EXPECT_EQ(session().board.cells[9][9], CELL_EMPTY);
  expectStones(2, 1, 0);
}

TEST_F(CommandLoop, InputIsBytesNotTrustedText) {
  std::string input = "START 15\r\n";
  // A line of 3000 bytes: cut at 1023, and its tail is not a second command.
  const std::string head(1023, 'a');
  input += head + "START 20\r\n";
  input += "\xc0\xff\x80 7\r\n";
  input += "TURN 99999999999,0\n";
  input += "START 4294967311\n";  // 15 once wrapped to 32 bits
  input += "TURN 1\r,1\n";        // a CR inside a line is not a line end
  const Lines lines = run(input, 7);
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "OK");
  EXPECT_EQ(lines[1], "UNKNOWN " + head);
  EXPECT_EQ(lines[2], "UNKNOWN \xc0\xff\x80 7");
  EXPECT_EQ(lines[3], "ERROR opponents's move [2147483647,0]");
  EXPECT_TRUE(isMoveLine(lines[4]));
  EXPECT_EQ(lines[5], "ERROR Maximal board size is 32*32");
  EXPECT_EQ(lines[6], "ERROR bad TURN parameters");
  EXPECT_EQ(session().board.width, 15);
}

TEST_F(CommandLoop, EndOfInputEndsLikeEnd) {
  // The last line has no newline; it is run once, its move is written, and
  // the loop ends with status 0.
  Lines lines = run("START 15\nBEGIN");
  EXPECT_EQ(lines, (Lines{"OK", "7,7"}));
  EXPECT_EQ(status, 0);
  EXPECT_EQ(session().table.entries, &session().table.builtIn);  // released
}

TEST_F(CommandLoop, EndOfInputInsideABoardListEndsWithoutAMove) {
  const Lines lines = run("START 15\nBOARD\n7,7,1\n");
  EXPECT_EQ(lines, (Lines{"OK"}));
  EXPECT_EQ(status, 0);
}

TEST_F(CommandLoop, BudgetOfExtremeSettingsNeitherWrapsNorOverflows) {
  run("START 15\nINFO timeout_turn -2147483648\n");
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 100);
  run("INFO time_left -2147483648\n");
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 10);
}

TEST(EngineLifetime, StartsAndStopsItsWorkerRepeatedly) {
  for (int round = 0; round < 3; ++round) {
    testing::CaptureSink sink;
    auto engine = std::make_unique<Engine>(sink);
    startEngine(*engine);
    ASSERT_TRUE(engine->worker.running);
    testing::StringSource input("START 5\nBEGIN\nTURN 0,0\n");
    EXPECT_EQ(commandLoop(*engine, input), 0);
    stopEngine(*engine);
    EXPECT_FALSE(engine->worker.running);
    EXPECT_EQ(sink.lines().size(), 3u);
  }
}

}  // namespace
}  // namespace kestrix
