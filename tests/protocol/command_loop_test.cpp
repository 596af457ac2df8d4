#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>

#include "../support/dialogue.h"
#include "session/time_budget.h"

namespace kestrix {
namespace {

using testing::EngineTest;
using testing::isMoveLine;
using testing::Lines;
using testing::OPEN_POSITION;
using CommandsWhileThinking = EngineTest;

const std::string IMPLICIT_BOARD =
    "MESSAGE Width: 20, Height: 20, Rule: Freestyle\n"
    "MESSAGE max_memory = 367001600, timeout_turn = 5000, timeout_match = 86400000";

// An input, its answers ("*" any move, "a|b" either) and the own, opponent
// and mark stones left on the manager's board.
struct Dialogue {
  const char* what;
  std::string input, answers;
  std::array<int32_t, 3> stones;
};

class CommandLoop : public EngineTest {
 protected:
  // A fresh engine, quick searches, the input in pieces of 7 bytes.
  void expect(const Dialogue& dialogue) {
    engine = std::make_unique<Engine>(sink);
    startEngine(*engine);
    session().settings.time_left = 1000;
    const Lines lines = run(dialogue.input, 7);
    std::istringstream answers(dialogue.answers);
    size_t i = 0;
    bool same = true;
    for (std::string line; std::getline(answers, line); ++i) {
      same = same && i < lines.size() &&
             (line == "*" ? testing::isMoveLine(lines[i])
                          : ("|" + line + "|").find("|" + lines[i] + "|") != std::string::npos);
    }
    EXPECT_TRUE(same && i == lines.size()) << dialogue.what << ":\n"
                                           << ::testing::PrintToString(lines);
    EXPECT_EQ(status, 0) << dialogue.what;
    const SessionBoard& board = session().board;
    const auto [own, opponent, marks] = dialogue.stones;
    EXPECT_EQ(
        (std::array{board.count(CELL_OWN), board.count(CELL_OPPONENT), board.count(CELL_WIN_MARK),
                    board.count(CELL_EMPTY)}),
        (std::array{own, opponent, marks, board.width * board.height - own - opponent - marks}))
        << dialogue.what;
  }
};

TEST_F(CommandLoop, Dialogues) {
  const std::string head(1023, 'a');
  // clang-format off
  const Dialogue dialogues[] = {
      {"words in any case; parse errors",
       "start 15\nStart 15\nSTARTX 15\n\nSTART\nSTART x\nRECTSTART 20\nTURN 10 10\nTURN 10 ,10\n"
       "TAKEBACK 3\nPLAY\nABOUTS\nEND\n",
       "OK\nOK\nUNKNOWN STARTX 15\nUNKNOWN \nERROR bad START parameter\n"
       "ERROR bad START parameter\nERROR bad RECTSTART parameters\nERROR bad TURN parameters\n"
       "ERROR bad TURN parameters\nERROR bad TAKEBACK parameters\nERROR bad PLAY parameters\n"
       "UNKNOWN ABOUTS",
       {0, 0, 0}},
      {"board sizes and their refusals; a refused size keeps the board",
       "START 20,15\nRECTSTART 20,15\nRECTSTART 5,32\nRECTSTART 4,10\nRECTSTART 4,40\n"
       "RECTSTART 33,5\nSTART 33\nPLAY 4,31\nSTART 32\nEND\n",
       "OK\nOK\nOK\nERROR Minimal board size is 5*5\nERROR Minimal board size is 5*5\n"
       "ERROR Maximal board size is 32*32\nERROR Maximal board size is 32*32\n4,31\nOK",
       {0, 0, 0}},
      {"a move request before any board sets up the implicit one, described once",
       "INFO rule 4\nINFO timeout_turn 1000\nINFO max_memory 83886080\nBEGIN\nRESTART\n",
       "MESSAGE Width: 20, Height: 20, Rule: Renju\n"
       "MESSAGE max_memory = 83886080, timeout_turn = 1000, timeout_match = 86400000\n"
       "9,9|10,9|9,10|10,10\nOK", {0, 0, 0}},
      {"a refused size before any accepted one leaves the implicit board",
       "START 4\nTURN 3,3\nSTART 15\nTURN 7,7\nSTART 4\nTURN 0,0\nEND\n",
       "ERROR Minimal board size is 5*5\n" + IMPLICIT_BOARD +
           "\n*\nOK\n*\nERROR Minimal board size is 5*5\n*",
       {2, 2, 0}},
      {"TURN onto a taken cell is refused but still played",
       "START 15\nBOARD\n7,7,3\nDONE\nTURN 7,7\nEND\n",
       "OK\n*\nERROR opponents's move [7,7]\n*", {2, 0, 1}},
      {"a BOARD list reports bad lines, takes END as one and ends on DONE in any case",
       "START 15\nBOARD\n5,5\n5,5,4\nEND\nhello\n1,1,1\n2,2,2\n3,3,3\n1,1,2\n40,0,2\ndOnE\nEND\n",
       "OK\nERROR x,y,who or DONE expected after BOARD\n"
       "ERROR x,y,who or DONE expected after BOARD\nERROR x,y,who or DONE expected after BOARD\n"
       "ERROR x,y,who or DONE expected after BOARD\nERROR opponents's move [1,1]\n"
       "ERROR opponents's move [40,0]\n*",
       {2, 1, 1}},
      {"BOARD is the whole position: an undo sent as BOARD",
       "START 15\nBOARD\n7,7,1\n8,8,2\n9,9,1\nDONE\nBOARD\n7,7,1\n8,8,2\nDONE\nEND\n",
       "OK\n*\n*", {2, 1, 0}},
      {"TAKEBACK, PLAY and RESTART",
       "START 15\nPLAY 3,3\nPLAY 3,3\nPLAY 15,0\nTAKEBACK 3,4\nTAKEBACK -1,0\nTAKEBACK 3,3\n"
       "TAKEBACK 3,3\nPLAY 1,1,5\nTURN 2,2,9\nRESTART\nEND\n",
       "OK\n3,3\nERROR my move [3,3]\n3,3\nERROR my move [15,0]\n15,0\n"
       "ERROR There is no chess at [3,4].\nERROR bad coordinates [-1,0]\nOK\n"
       "ERROR There is no chess at [3,3].\n1,1\n*\nOK",
       {0, 0, 0}},
      {"commands behind a move request wait for it, in order",
       "START 15\nINFO timeout_turn 500\n" + OPEN_POSITION +
           "INFO time_left 100000\nTAKEBACK 7,7\nTURN 9,9\nRESTART\nPLAY 1,1\nEND\n",
       "OK\n*\nOK\n*\nOK\n1,1", {1, 0, 0}},
      {"the end of input ends like END, a last line without LF included", "START 15\nBEGIN",
       "OK\n7,7", {1, 0, 0}},
      {"the end of input inside a BOARD list plays no move", "START 15\nBOARD\n7,7,1\n", "OK",
       {1, 0, 0}},
      {"bytes, not text: long lines, CR, high bytes, NUL, huge numbers",
       "START 15\r\n" + head + "START 20\r\n\xc0\xff\x80 7\r\n" + std::string(1, '\0') +
           "\nTURN 99999999999,0\nSTART 4294967311\nTURN 1\r,1\n",
       "OK\nUNKNOWN " + head + "\nUNKNOWN \xc0\xff\x80 7\nUNKNOWN \n" +
           "ERROR opponents's move [2147483647,0]\n*\nERROR Maximal board size is 32*32\n" +
           "ERROR bad TURN parameters",
       {1, 0, 0}},
  };
  // clang-format on
  for (const Dialogue& dialogue : dialogues) expect(dialogue);
}

TEST_F(CommandLoop, InfoKeys) {
  // The settings a time key leaves, and the budget made from them at once: a
  // match limit caps the time left, 0 means none; no value, no change.
  const struct {
    const char* input;
    int32_t timeoutTurn, timeLeft;
  } keys[] = {
      {"INFO   timeout_turn   2000 ms\n", 2000, 86400000},
      {"INFO timeout_turn 100000\nINFO time_left 60000\n", 100000, 60000},
      {"INFO timeout_match 10000\n", 5000, 10000},
      {"INFO timeout_match 0\nINFO time_left 2147483647\n", 5000, INT32_MAX},
      {"INFO timeout_turn -2147483648\n", INT32_MIN, 86400000},
      {"INFO timeout_turn\nINFO colour 5\nINFO time_left -2147483648\n", 5000, INT32_MIN},
  };
  for (const auto& key : keys) {
    engine = std::make_unique<Engine>(sink);
    startEngine(*engine);
    run(std::string("START 15\n") + key.input);
    const SessionSettings& settings = session().settings;
    EXPECT_EQ(
        (std::array{settings.timeout_turn.load(), settings.time_left.load(),
                    session().clock.moveTimeBudget.load()}),
        (std::array{key.timeoutTurn, key.timeLeft, moveBudget(225, key.timeLeft, key.timeoutTurn)}))
        << key.input;
  }
  // Bit 4 is Renju, else bit 1 exactly five; INFO has no answer.
  const std::string rules = "FSFSRRRRFSFSR";
  for (int value = 0; value <= 12; ++value) {
    EXPECT_TRUE(run("info RULE " + std::to_string(value) + "\n").empty());
    EXPECT_EQ("FSR"[session().settings.ruleIndex], rules[value]) << value;
  }
}

// Time keys that arrive while the worker searches, or as it starts (also run
// under the thread sanitizer): their effect on the running search.
TEST_F(CommandsWhileThinking, AboutAndTimeKeysAreAnsweredAtOnce) {
  startLive();
  pipe.send("START 15\nINFO timeout_turn 60000\n" + OPEN_POSITION);
  sync("");  // ABOUT, answered while the search runs on a 59.9 s budget
  EXPECT_EQ(sink.count(isMoveLine), 0u);
  EXPECT_EQ(session().clock.moveTimeBudget.load(), 59900);
  // A shorter turn limit ends the running search, measured from its start.
  pipe.send("INFO timeout_turn 700\n");
  EXPECT_LT(waitFor(1, isMoveLine), 5000);
}

// A time key in the same write as the move request is read while the worker
// wakes up or has just started its clock: the turn ends on the new limit.
TEST_F(CommandsWhileThinking, TimeKeysRightAfterTurnReachThatTurn) {
  startLive();
  pipe.send("START 15\nINFO timeout_turn 300\n");
  sync(OPEN_POSITION);
  waitFor(1, isMoveLine);
  sync("TAKEBACK " + sink.lines().back() + "\n");
  const std::string keys[3] = {"INFO timeout_turn 300\n", "INFO time_left 1000\n",
                               "INFO timeout_match 2000\n"};
  for (size_t round = 0; round < 12; ++round) {
    pipe.send("INFO timeout_turn 60000\nINFO timeout_match 0\nINFO time_left 2147483647\n");
    const std::string turn = std::to_string(round % 2 == 0 ? 0 : 14) + "," + std::to_string(round);
    pipe.send("TURN " + turn + "\n" + keys[round % 3]);
    EXPECT_LT(waitFor(round + 2, isMoveLine), 5000) << round;
    const std::string engineMove = sink.lines().back();
    ASSERT_TRUE(isMoveLine(engineMove));
    sync("TAKEBACK " + engineMove + "\nTAKEBACK " + turn + "\n");
  }
  EXPECT_EQ(session().board.count(CELL_EMPTY), 221);
}

}  // namespace
}  // namespace kestrix
