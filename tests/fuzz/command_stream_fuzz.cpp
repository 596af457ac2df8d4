// kestrix-fuzz-commands: arbitrary bytes through the whole command loop.
//
// Each input is one manager session in a fresh Engine with its worker
// thread: the bytes are the manager's side of the pipe, and every answer line
// is checked as it is written. A line that is not one whole, well-formed
// answer, a move the engine was not entitled to play, or an "ERROR No space"
// on a board that still has room stops the run with a trap, as does anything
// the sanitizers catch.
//
// Keeping executions short without touching the engine: the input is handed
// over one line per read, and before every read the harness lowers the time
// settings the way a manager's INFO lines would (turn limit 110 ms, 3 s of
// match time), so every budget the engine computes is its 10 ms floor, and
// the fuzz build's clock runs 25 times fast (fast_clock.cpp). The input is
// cut off after a dozen engine moves.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "protocol/engine.h"
#include "protocol/output.h"
#include "session/session.h"
#include "session/time_budget.h"

namespace {

using namespace kestrix;

constexpr int32_t FUZZ_TURN_LIMIT_MS = 110;
constexpr int32_t FUZZ_TIME_LEFT_MS = 3000;
constexpr int32_t FUZZ_MOVES_PER_INPUT = 12;

[[noreturn]] void fail() {
  __builtin_trap();
}

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// An optional minus sign and at least one digit, starting at text[i];
// advances i past it.
bool readNumber(const char* text, size_t length, size_t& i) {
  if (i < length && text[i] == '-') ++i;
  const size_t digits = i;
  while (i < length && isDigit(text[i])) ++i;
  return i > digits;
}

// "x,y" with integers of any sign: a move or the echo of PLAY.
bool isPairLine(const char* text, size_t length, int64_t& x, int64_t& y) {
  size_t i = 0;
  if (!readNumber(text, length, i) || i >= length || text[i] != ',') return false;
  const size_t comma = i++;
  if (!readNumber(text, length, i) || i != length) return false;
  x = std::strtoll(text, nullptr, 10);
  y = std::strtoll(text + comma + 1, nullptr, 10);
  return true;
}

bool startsWith(const char* text, size_t length, const char* prefix) {
  const size_t n = std::strlen(prefix);
  return length >= n && std::memcmp(text, prefix, n) == 0;
}

// Every line either thread writes, checked against the answers a manager
// can expect, and the worker's moves against the board it played on.
class CheckingSink final : public OutputSink {
 public:
  explicit CheckingSink(std::thread::id commandThread) : commandThread_(commandThread) {}

  void attach(Session& session) { session_ = &session; }
  int32_t workerAnswers() const { return workerAnswers_.load(std::memory_order_relaxed); }

  void write(const char* line, size_t length) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (length == 0 || length > OUTPUT_LINE_CAPACITY || line[length - 1] != '\n') fail();
    const size_t textLength = length - 1;
    // One line: no line end, carriage return or NUL inside it.
    if (std::memchr(line, '\n', textLength) != nullptr) fail();
    if (std::memchr(line, '\r', textLength) != nullptr) fail();
    if (std::memchr(line, '\0', textLength) != nullptr) fail();
    if (std::this_thread::get_id() == commandThread_) {
      checkCommandAnswer(line, textLength);
    } else {
      checkWorkerAnswer(line, textLength);
      workerAnswers_.fetch_add(1, std::memory_order_relaxed);
    }
  }

 private:
  static void checkCommandAnswer(const char* text, size_t length) {
    int64_t x = 0, y = 0;
    if (length == 2 && std::memcmp(text, "OK", 2) == 0) return;
    if (isPairLine(text, length, x, y)) return;
    if (startsWith(text, length, "ERROR ") || startsWith(text, length, "MESSAGE ")) return;
    if (startsWith(text, length, "UNKNOWN ")) return;
    if (startsWith(text, length, "name=\"Kestrix\", version=\"")) return;
    fail();
  }

  // The worker writes exactly one line per turn, after it has recorded the
  // move on the board it was given: the move, or "No space" on a full board.
  void checkWorkerAnswer(const char* text, size_t length) const {
    const SessionBoard& board = session_->board;
    int64_t x = 0, y = 0;
    if (isPairLine(text, length, x, y)) {
      if (x < 0 || x >= board.width || y < 0 || y >= board.height) fail();
      if (board.cells[y][x] != CELL_OWN) fail();
      return;
    }
    if (length == 14 && std::memcmp(text, "ERROR No space", 14) == 0) {
      if (board.count(CELL_EMPTY) != 0) fail();
      return;
    }
    fail();  // a refused own move, or anything else
  }

  const std::thread::id commandThread_;
  Session* session_ = nullptr;
  std::mutex mutex_;
  std::atomic<int32_t> workerAnswers_{0};
};

// The input one line at a time; between lines the time settings are lowered
// as a manager would lower them.
class FuzzInput final : public ByteSource {
 public:
  FuzzInput(const uint8_t* data, size_t size, Engine& engine, const CheckingSink& sink)
      : data_(data), size_(size), engine_(engine), sink_(sink) {}

  size_t read(char* buffer, size_t capacity) override {
    keepTurnsShort();
    if (sink_.workerAnswers() >= FUZZ_MOVES_PER_INPUT) return 0;
    const size_t left = size_ - position_;
    const uint8_t* end = static_cast<const uint8_t*>(std::memchr(data_ + position_, '\n', left));
    size_t n = end == nullptr ? left : static_cast<size_t>(end - (data_ + position_)) + 1;
    n = std::min(n, capacity);
    std::memcpy(buffer, data_ + position_, n);
    position_ += n;
    return n;
  }

 private:
  void keepTurnsShort() {
    Session& session = engine_.session;
    SessionSettings& settings = session.settings;
    if (settings.timeout_turn.load() > FUZZ_TURN_LIMIT_MS) {
      changeTimeSetting(session, settings.timeout_turn, FUZZ_TURN_LIMIT_MS);
    }
    if (settings.time_left.load() > FUZZ_TIME_LEFT_MS) {
      changeTimeSetting(session, settings.time_left, FUZZ_TIME_LEFT_MS);
    }
  }

  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
  Engine& engine_;
  const CheckingSink& sink_;
};

}  // namespace

// ASan poisons the shadow of a heap block when it is handed out and again
// when it is freed, which for a table of hundreds of megabytes took most of
// the fuzzer's time. Allocations above 32 MB are refused instead, so every
// large max_memory also drives the table's halving on a failed allocation.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=32:allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckingSink sink(std::this_thread::get_id());
  auto engine = std::make_unique<Engine>(sink);
  sink.attach(engine->session);
  startEngine(*engine);
  FuzzInput input(data, size, *engine, sink);
  if (commandLoop(*engine, input) != 0) fail();
  stopEngine(*engine);
  return 0;
}
