#include <algorithm>
#include <cstdio>
#include <cstring>

#include "protocol/engine.h"
#include "protocol/parse.h"
#include "session/move_choice.h"
#include "session/time_budget.h"

namespace kestrix {

namespace {

// The engine's move as the manager reads it: "x,y", or the ERROR of a full
// board.
void playAndAnswer(Engine& engine) {
  const TurnMove move = playTurn(engine.session);
  if (move.played) {
    reply(engine.out, "%d,%d", move.x, move.y);
  } else {
    replyError(engine.out, "No space");
  }
}

void workerMain(void* argument) {
  Engine& engine = *static_cast<Engine*>(argument);
  // The tables first, while the command thread answers START and INFO,
  // which need none of them: the first move then finds them ready.
  buildSharedTables();
  for (;;) {
    engine.thinkEvent.wait();
    if (engine.stopping.load(std::memory_order_relaxed)) return;
    playAndAnswer(engine);
    engine.idleEvent.set();
  }
}

void waitForIdle(Engine& engine) {
  engine.idleEvent.wait();
}

void startThinking(Engine& engine) {
  engine.idleEvent.reset();
  if (engine.worker.running) {
    engine.thinkEvent.set();
    return;
  }
  // Without a worker (the system refused the thread) the move is still
  // played, only on this thread.
  playAndAnswer(engine);
  engine.idleEvent.set();
}

// With show_detail on, each finished iteration of a search as one line:
// "MESSAGE depth D score S nodes N time T pv X,Y X,Y ...", the score from
// the engine's view, or win / loss when proven.
void showIteration(void* context, const IterationReport& report) {
  Engine& engine = *static_cast<Engine*>(context);
  const Position& position = engine.session.record.position;
  char text[OUTPUT_LINE_CAPACITY];
  int length = std::snprintf(text, sizeof(text), "depth %d score ", report.depth);
  if (report.score == WIN_SCORE || report.score == LOSS_SCORE) {
    length += std::snprintf(text + length, sizeof(text) - length, "%s",
                            report.score == WIN_SCORE ? "win" : "loss");
  } else {
    length += std::snprintf(text + length, sizeof(text) - length, "%d", report.score);
  }
  length +=
      std::snprintf(text + length, sizeof(text) - length, " nodes %lld time %lld pv",
                    static_cast<long long>(report.nodes), static_cast<long long>(report.elapsedMs));
  // At most 99 squares of at most six bytes: the line always fits.
  for (int32_t i = 0; i < report.lineLength; ++i) {
    length +=
        std::snprintf(text + length, sizeof(text) - length, " %d,%d",
                      squareColumn(position, report.line[i]), squareRow(position, report.line[i]));
  }
  replyMessage(engine.out, "%s", text);
}

// START and RECTSTART: "OK", or why the size was refused.
void answerSetup(Engine& engine, int32_t width, int32_t height) {
  switch (setupBoard(engine.session, width, height)) {
    case BoardSetup::Done:
      reply(engine.out, "OK");
      break;
    case BoardSetup::TooSmall:
      replyError(engine.out, "Minimal board size is %d*%d", MIN_BOARD_SIDE, MIN_BOARD_SIDE);
      break;
    case BoardSetup::TooLarge:
      replyError(engine.out, "Maximal board size is %d*%d", MAX_BOARD_SIDE, MAX_BOARD_SIDE);
      break;
  }
}

// Sets up the 20 x 20 board before a board command when no size was ever
// accepted, also after a refused START or RECTSTART: a board of no cells
// would have no square to play. The manager hears of it in two MESSAGE lines.
void ensureBoard(Engine& engine) {
  Session& session = engine.session;
  if (session.board.width == 0) {
    setupBoard(session, IMPLICIT_BOARD_SIDE, IMPLICIT_BOARD_SIDE);
    const SessionSettings& settings = session.settings;
    replyMessage(engine.out, "Width: %d, Height: %d, Rule: %s", IMPLICIT_BOARD_SIDE,
                 IMPLICIT_BOARD_SIDE, ruleName(settings.ruleIndex));
    replyMessage(engine.out, "max_memory = %d, timeout_turn = %d, timeout_match = %d",
                 settings.max_memory, settings.timeout_turn.load(std::memory_order_relaxed),
                 settings.timeout_match.load(std::memory_order_relaxed));
  }
}

// Records a stone, or says why it cannot stand there; the refusal names
// whose stone it was.
void placeOrRefuse(Engine& engine, int32_t x, int32_t y, uint8_t value) {
  static constexpr const char* REFUSAL[4] = {"", "my move [%d,%d]", "opponents's move [%d,%d]",
                                             "winning move [%d,%d]"};
  if (!recordStone(engine.session, x, y, value)) replyError(engine.out, REFUSAL[value], x, y);
}

// One line of a BOARD list: DONE ends the list and asks for the move; any
// other line is a stone, never a command.
void boardListLine(Engine& engine, const char* line) {
  if (matchWord(line, "DONE")) {
    engine.commands.inBoardList = false;
    startThinking(engine);
    return;
  }
  int32_t stone[3] = {0, 0, 0};
  const int32_t who = scanCommaInts(line, false, stone, 3) == 3 ? stone[2] : 0;
  if (who >= CELL_OWN && who <= CELL_WIN_MARK) {
    placeOrRefuse(engine, stone[0], stone[1], static_cast<uint8_t>(who));
  } else {
    replyError(engine.out, "x,y,who or DONE expected after BOARD");
  }
}

void handleInfo(Engine& engine, const char* line) {
  InfoFields fields;
  if (!splitInfo(line, fields)) return;
  Session& session = engine.session;
  SessionSettings& settings = session.settings;
  const char* key = fields.key;
  const int32_t value = parseInt(fields.value);
  if (matchWord(key, "timeout_turn")) {
    changeTimeSetting(session, settings.timeout_turn, value);
  } else if (matchWord(key, "timeout_match")) {
    changeTimeSetting(session, settings.timeout_match, value);
  } else if (matchWord(key, "max_memory")) {
    waitForIdle(engine);
    // The limit covers the shared tables too, so the table is sized once
    // they are in memory (the worker may still be building them).
    buildSharedTables();
    settings.max_memory = value;
    ttResize(session.table, static_cast<uint32_t>(value));
  } else if (matchWord(key, "time_left")) {
    changeTimeSetting(session, settings.time_left, value);
  } else if (matchWord(key, "game_type")) {
    settings.game_type = value;
  } else if (matchWord(key, "rule")) {
    waitForIdle(engine);
    settings.ruleIndex = ruleFromManager(value);
  } else if (matchWord(key, "show_detail")) {
    settings.show_detail.store(value != 0, std::memory_order_relaxed);
  } else if (matchWord(key, "folder")) {
    // Kept for completeness; nothing reads it. Cut to the capacity.
    const size_t length = std::min(std::strlen(fields.value), size_t{FOLDER_CAPACITY - 1});
    std::memcpy(settings.folder, fields.value, length);
    settings.folder[length] = '\0';
  }
}

// Reads the two comma-separated numbers after the command word; writes the
// command's parse error and returns false when they are not there.
bool scanPair(Engine& engine, const char* line, int32_t (&xy)[2], const char* error) {
  if (scanCommaInts(line, true, xy, 2) == 2) return true;
  replyError(engine.out, "%s", error);
  return false;
}

CommandFlow handleCommand(Engine& engine, const char* line) {
  Session& session = engine.session;
  int32_t xy[2] = {0, 0};
  if (matchWord(line, "END")) {
    return CommandFlow::End;
  } else if (matchWord(line, "START")) {
    int32_t size = 0;
    if (scanCommaInts(line, true, &size, 1) != 1) {
      replyError(engine.out, "bad START parameter");
      return CommandFlow::Continue;
    }
    waitForIdle(engine);
    answerSetup(engine, size, size);
  } else if (matchWord(line, "TURN")) {
    if (!scanPair(engine, line, xy, "bad TURN parameters")) return CommandFlow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    placeOrRefuse(engine, xy[0], xy[1], CELL_OPPONENT);
    startThinking(engine);
  } else if (matchWord(line, "BEGIN")) {
    waitForIdle(engine);
    ensureBoard(engine);
    startThinking(engine);
  } else if (matchWord(line, "BOARD")) {
    // The listed stones are the whole position: the board is emptied first.
    waitForIdle(engine);
    ensureBoard(engine);
    clearBoard(session);
    engine.commands.inBoardList = true;
  } else if (matchWord(line, "INFO")) {
    handleInfo(engine, line);
  } else if (matchWord(line, "ABOUT")) {
    aboutReply(engine.out);
  } else if (matchWord(line, "RECTSTART")) {
    if (!scanPair(engine, line, xy, "bad RECTSTART parameters")) return CommandFlow::Continue;
    waitForIdle(engine);
    answerSetup(engine, xy[0], xy[1]);
  } else if (matchWord(line, "RESTART")) {
    waitForIdle(engine);
    ensureBoard(engine);
    clearBoard(session);
    reply(engine.out, "OK");
  } else if (matchWord(line, "TAKEBACK")) {
    if (!scanPair(engine, line, xy, "bad TAKEBACK parameters")) return CommandFlow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    switch (takeBack(session, xy[0], xy[1])) {
      case TakeBack::Done:
        reply(engine.out, "OK");
        break;
      case TakeBack::OffBoard:
        replyError(engine.out, "bad coordinates [%d,%d]", xy[0], xy[1]);
        break;
      case TakeBack::NoStone:
        replyError(engine.out, "There is no chess at [%d,%d].", xy[0], xy[1]);
        break;
    }
  } else if (matchWord(line, "PLAY")) {
    if (!scanPair(engine, line, xy, "bad PLAY parameters")) return CommandFlow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    // The move is echoed even when the board refuses it: the manager waits
    // for the echo.
    placeOrRefuse(engine, xy[0], xy[1], CELL_OWN);
    reply(engine.out, "%d,%d", xy[0], xy[1]);
  } else {
    replyUnknown(engine.out, "%s", line);
  }
  return CommandFlow::Continue;
}

}  // namespace

Engine::~Engine() {
  stopEngine(*this);
}

void startEngine(Engine& engine) {
  if (!engine.worker.running) {
    engine.stopping.store(false, std::memory_order_relaxed);
    startThread(engine.worker, workerMain, &engine, WORKER_STACK_BYTES);
  }
  initSession(engine.session);
  engine.session.detailObserver = SearchObserver{showIteration, &engine};
}

void stopEngine(Engine& engine) {
  if (!engine.worker.running) return;
  waitForIdle(engine);
  engine.stopping.store(true, std::memory_order_relaxed);
  engine.thinkEvent.set();
  joinThread(engine.worker);
}

CommandFlow handleLine(Engine& engine, const char* line) {
  if (engine.commands.inBoardList) {
    boardListLine(engine, line);
    return CommandFlow::Continue;
  }
  return handleCommand(engine, line);
}

int commandLoop(Engine& engine, ByteSource& input) {
  LineReader reader(input);
  char line[LINE_CAPACITY];
  while (reader.next(line)) {
    if (handleLine(engine, line) == CommandFlow::End) break;
  }
  // END and the end of input alike: the running move is finished and
  // written first, then the table goes.
  waitForIdle(engine);
  ttRelease(engine.session.table);
  return 0;
}

}  // namespace kestrix
