#include <algorithm>
#include <cstring>

#include "platform/console.h"
#include "protocol/engine.h"
#include "protocol/parse.h"
#include "session/move_choice.h"

namespace kestrix {

size_t StandardInputSource::read(char* buffer, size_t capacity) {
  return readStandardInput(buffer, capacity);
}

int LineReader::nextByte() {
  if (begin_ == end_) {
    if (ended_) return -1;
    end_ = source_.read(buffer_, sizeof(buffer_));
    begin_ = 0;
    if (end_ == 0) {
      ended_ = true;  // never asked again: a closed pipe stays closed
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[begin_++]);
}

bool LineReader::next(char (&line)[LINE_CAPACITY]) {
  size_t length = 0;
  bool any = false;
  bool carriageReturn = false;  // a CR held back until we know what follows
  auto keep = [&](char c) {
    if (length < LINE_CAPACITY - 1) line[length++] = c;
  };
  for (;;) {
    const int c = nextByte();
    if (c < 0) break;
    any = true;
    if (c == '\n') break;
    if (carriageReturn) keep('\r');
    carriageReturn = c == '\r';
    if (!carriageReturn) keep(static_cast<char>(c));
  }
  line[length] = '\0';
  return any;
}

namespace {

void workerMain(void* argument) {
  Engine& engine = *static_cast<Engine*>(argument);
  for (;;) {
    engine.thinkEvent.wait();
    if (engine.stopping.load(std::memory_order_relaxed)) return;
    playTurn(engine.session);
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
  playTurn(engine.session);
  engine.idleEvent.set();
}

// Sets up the 20 x 20 board before a board command when no size was ever
// accepted, also after a refused START or RECTSTART: a board of no cells
// would have no square to play.
void ensureBoard(Engine& engine) {
  if (!engine.boardReady || engine.session.board.width == 0) {
    setupBoard(engine.session, IMPLICIT_BOARD_SIDE, IMPLICIT_BOARD_SIDE, false);
  }
  engine.boardReady = true;
}

enum class Flow { Continue, End };

// BOARD: the listed stones are the whole position, so the board is emptied
// first; the list ends with DONE. Every other line of the list is a stone,
// never a command.
Flow readBoardList(Engine& engine, LineReader& reader) {
  Session& session = engine.session;
  emptyBoard(session);
  char line[LINE_CAPACITY];
  while (reader.next(line)) {
    if (matchWord(line, "DONE")) {
      startThinking(engine);
      return Flow::Continue;
    }
    int32_t stone[3] = {0, 0, 0};
    const int32_t who = scanCommaInts(line, false, stone, 3) == 3 ? stone[2] : 0;
    switch (who) {
      case 1:
        recordOwnMove(session, stone[0], stone[1]);
        break;
      case 2:
        recordOpponentMove(session, stone[0], stone[1]);
        break;
      case 3:
        recordWinningMark(session, stone[0], stone[1]);
        break;
      default:
        replyError(session.out, "x,y,who or DONE expected after BOARD");
        break;
    }
  }
  return Flow::End;  // the input ended inside the list
}

// The first three blank-separated fields of an INFO line; a run of blanks
// counts as one separator.
struct InfoFields {
  char key[LINE_CAPACITY];
  char value[LINE_CAPACITY];
};

bool splitInfo(const char* line, InfoFields& fields) {
  char command[LINE_CAPACITY];
  char* targets[3] = {command, fields.key, fields.value};
  const char* p = line;
  for (char* target : targets) {
    while (*p == ' ') ++p;
    if (*p == '\0') return false;
    size_t length = 0;
    while (*p != '\0' && *p != ' ') target[length++] = *p++;
    target[length] = '\0';
  }
  return true;
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
    settings.max_memory = value;
    ttResize(session.table, static_cast<uint32_t>(value));
  } else if (matchWord(key, "time_left")) {
    changeTimeSetting(session, settings.time_left, value);
  } else if (matchWord(key, "game_type")) {
    settings.game_type = value;
  } else if (matchWord(key, "rule")) {
    waitForIdle(engine);
    setRule(session, value);
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
  replyError(engine.session.out, "%s", error);
  return false;
}

Flow handleCommand(Engine& engine, LineReader& reader, const char* line) {
  Session& session = engine.session;
  int32_t xy[2] = {0, 0};
  if (matchWord(line, "END")) {
    return Flow::End;
  } else if (matchWord(line, "START")) {
    int32_t size = 0;
    if (scanCommaInts(line, true, &size, 1) != 1) {
      replyError(session.out, "bad START parameter");
      return Flow::Continue;
    }
    waitForIdle(engine);
    setupBoard(session, size, size, true);
    engine.boardReady = true;
  } else if (matchWord(line, "TURN")) {
    if (!scanPair(engine, line, xy, "bad TURN parameters")) return Flow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    recordOpponentMove(session, xy[0], xy[1]);
    startThinking(engine);
  } else if (matchWord(line, "BEGIN")) {
    waitForIdle(engine);
    ensureBoard(engine);
    startThinking(engine);
  } else if (matchWord(line, "BOARD")) {
    waitForIdle(engine);
    ensureBoard(engine);
    return readBoardList(engine, reader);
  } else if (matchWord(line, "INFO")) {
    handleInfo(engine, line);
  } else if (matchWord(line, "ABOUT")) {
    aboutReply(session.out);
  } else if (matchWord(line, "RECTSTART")) {
    if (!scanPair(engine, line, xy, "bad RECTSTART parameters")) return Flow::Continue;
    waitForIdle(engine);
    setupBoard(session, xy[0], xy[1], true);
    engine.boardReady = true;
  } else if (matchWord(line, "RESTART")) {
    waitForIdle(engine);
    ensureBoard(engine);
    clearBoard(session);
  } else if (matchWord(line, "TAKEBACK")) {
    if (!scanPair(engine, line, xy, "bad TAKEBACK parameters")) return Flow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    takeBack(session, xy[0], xy[1]);
  } else if (matchWord(line, "PLAY")) {
    if (!scanPair(engine, line, xy, "bad PLAY parameters")) return Flow::Continue;
    waitForIdle(engine);
    ensureBoard(engine);
    recordOwnMove(session, xy[0], xy[1]);
    reply(session.out, "%d,%d", xy[0], xy[1]);
  } else {
    replyUnknown(session.out, "%s", line);
  }
  return Flow::Continue;
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
}

void stopEngine(Engine& engine) {
  if (!engine.worker.running) return;
  waitForIdle(engine);
  engine.stopping.store(true, std::memory_order_relaxed);
  engine.thinkEvent.set();
  joinThread(engine.worker);
}

int commandLoop(Engine& engine, ByteSource& input) {
  LineReader reader(input);
  char line[LINE_CAPACITY];
  while (reader.next(line)) {
    if (handleCommand(engine, reader, line) == Flow::End) break;
  }
  // END and the end of input alike: the running move is finished and
  // written first, then the table goes.
  waitForIdle(engine);
  ttRelease(engine.session.table);
  return 0;
}

}  // namespace kestrix
