// Kestrix: the engine process as one record, and the command loop over it.
//
// Engine holds the Session (board, settings, clock, search state, table),
// `boardReady`, and the two events the threads meet through: `thinkEvent`
// (auto-reset) wakes the worker for exactly one turn, `idleEvent`
// (manual-reset, set while no turn runs) is what the command thread waits on
// before anything that changes the board, the rule or the table. There is no
// other lock: the board belongs to whichever thread the events say.
//
// Input comes from a ByteSource and answers go to the Session's OutputSink,
// so a test can drive a whole dialogue in-process. commandLoop returns the
// exit status on END or at the end of input; stopEngine ends the worker
// thread (the process does it before it exits, tests after each engine).
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "platform/event.h"
#include "platform/thread.h"
#include "protocol/output.h"
#include "session/session.h"

namespace kestrix {

// Where command bytes come from: standard input in the process, a string
// or a pipe of the test's own in tests. read() returns 0 at the end.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual size_t read(char* buffer, size_t capacity) = 0;
};

class StandardInputSource final : public ByteSource {
 public:
  size_t read(char* buffer, size_t capacity) override;
};

// A command line holds at most 1023 bytes; the rest of a longer line is
// dropped, never read as another command.
inline constexpr size_t LINE_CAPACITY = 1024;

// Splits the byte stream into lines at LF, dropping a CR right before the
// LF. A last line without LF still counts as a line.
class LineReader {
 public:
  explicit LineReader(ByteSource& source) : source_(source) {}
  // The next line as a NUL-terminated text; false at the end of input.
  bool next(char (&line)[LINE_CAPACITY]);

 private:
  int nextByte();

  ByteSource& source_;
  char buffer_[4096];
  size_t begin_ = 0;
  size_t end_ = 0;
  bool ended_ = false;
};

// Side of the board that a move request sets up when none was accepted.
inline constexpr int32_t IMPLICIT_BOARD_SIDE = 20;

struct Engine {
  explicit Engine(OutputSink& out) : session(out) {}
  ~Engine();
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  Session session;
  bool boardReady = false;
  Event thinkEvent{EventReset::Auto, false};
  Event idleEvent{EventReset::Manual, true};
  std::atomic<bool> stopping{false};
  ThreadHandle worker;
};

// Starts the worker thread, then draws the keys and sizes the table.
void startEngine(Engine& engine);

// Waits for the running turn to end, then ends the worker thread.
void stopEngine(Engine& engine);

// Runs commands until END or the end of input; both wait for the running
// turn, release the table and give exit status 0.
int commandLoop(Engine& engine, ByteSource& input);

}  // namespace kestrix
