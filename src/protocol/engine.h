// Kestrix: the engine process as one record, and the command loop over it.
//
// Engine holds the Session (board, settings, clock, search state, table),
// the sink every answer line goes to, and the two events the threads meet
// through: `thinkEvent` (auto-reset) wakes the worker for
// exactly one turn, `idleEvent` (manual-reset, set while no turn runs) is
// what the command thread waits on before anything that changes the board,
// the rule or the table. There is no other lock: the board belongs to
// whichever thread the events say.
//
// Commands arrive one line at a time through handleLine, which remembers in
// `commands` whether it is inside a BOARD list. The process's commandLoop
// reads the lines from a ByteSource, the browser hands them over one by
// one; answers go to an OutputSink, so a test can drive a whole dialogue
// in-process. commandLoop returns the exit status on END or at the end of
// input; stopEngine ends the worker thread (the process does it before it
// exits, tests after each engine). Where no worker thread can be had (the
// browser), a move is played to its end inside the line that asks for it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/event.h"
#include "platform/thread.h"
#include "protocol/line_reader.h"
#include "protocol/output.h"
#include "session/session.h"

namespace kestrix {

// Side of the board that a move request sets up when none was accepted.
inline constexpr int32_t IMPLICIT_BOARD_SIDE = 20;

// Between two lines: inside a BOARD list every line is a stone or DONE.
struct CommandState {
  bool inBoardList = false;
};

struct Engine {
  explicit Engine(OutputSink& sink) : out(sink) {}
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  OutputSink& out;
  Session session;
  CommandState commands;
  Event thinkEvent{EventReset::Auto, false};
  Event idleEvent{EventReset::Manual, true};
  std::atomic<bool> stopping{false};
  ThreadHandle worker;
};

// Starts the worker thread, which builds the shared tables, and sizes the
// transposition table.
void startEngine(Engine& engine);

// Waits for the running turn to end, then ends the worker thread.
void stopEngine(Engine& engine);

enum class CommandFlow { Continue, End };

// One command line (or one line of a BOARD list), without its line end;
// End after END.
CommandFlow handleLine(Engine& engine, const char* line);

// Runs commands until END or the end of input; both wait for the running
// turn, release the table and give exit status 0.
int commandLoop(Engine& engine, ByteSource& input);

}  // namespace kestrix
