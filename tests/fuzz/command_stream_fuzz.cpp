// kestrix-fuzz-commands: bytes through the command loop, a fresh Engine per
// input; traps on a line that is not one whole answer, a move not the engine's
// to play, or "ERROR No space" with room left. Each read hands over one line
// after lowering the time settings (110 ms a turn, 3 s left), the clock runs
// 25 times fast (fast_clock.cpp), and the input ends after a dozen moves.
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <regex>
#include <string_view>
#include <thread>
#include <utility>

#include "protocol/engine.h"
#include "protocol/output.h"
#include "session/time_budget.h"

namespace {

using namespace kestrix;

class CheckingSink final : public OutputSink {
 public:
  explicit CheckingSink(std::thread::id commandThread) : commandThread_(commandThread) {}
  Session* session = nullptr;
  std::atomic<int32_t> workerAnswers{0};

  void write(const char* line, size_t length) override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (length == 0 || length > OUTPUT_LINE_CAPACITY || line[length - 1] != '\n') fail();
    const std::string_view text(line, length - 1);
    if (text.find_first_of(std::string_view("\n\r\0", 3)) != std::string_view::npos) fail();
    // "x,y" with integers of any sign: a move or the echo of PLAY.
    static const std::regex PAIR("-?[0-9]+,-?[0-9]+");
    const bool pair = std::regex_match(text.begin(), text.end(), PAIR);
    if (std::this_thread::get_id() == commandThread_) {
      for (const char* start : {"ERROR ", "MESSAGE ", "UNKNOWN ", "name=\"Kestrix\", version=\""}) {
        if (text.starts_with(start)) return;
      }
      if (text != "OK" && !pair) fail();
      return;
    }
    if (text.starts_with("MESSAGE depth ")) return;  // show_detail's iterations
    // The worker writes one line per turn, after recording the move on the
    // board it was given: the move, or "No space" on a full board.
    const SessionBoard& board = session->board;
    workerAnswers.fetch_add(1);
    if (pair) {
      const int64_t x = std::strtoll(line, nullptr, 10);  // the '\n' ends the second number
      const int64_t y = std::strtoll(line + text.find(',') + 1, nullptr, 10);
      if (x < 0 || x >= board.width || y < 0 || y >= board.height) fail();
      if (board.cells[y][x] != CELL_OWN) fail();
    } else if (text != "ERROR No space" || board.count(CELL_EMPTY) != 0) {
      fail();  // a refused own move, or anything else
    }
  }

 private:
  [[noreturn]] static void fail() { __builtin_trap(); }
  const std::thread::id commandThread_;
  std::mutex mutex_;
};

class FuzzInput final : public ByteSource {
 public:
  FuzzInput(std::string_view data, Engine& engine, const CheckingSink& sink)
      : data_(data), engine_(engine), sink_(sink) {}

  size_t read(char* buffer, size_t capacity) override {
    SessionSettings& settings = engine_.session.settings;
    for (const auto& [setting, most] :
         {std::pair{&settings.timeout_turn, 110}, std::pair{&settings.time_left, 3000}}) {
      if (setting->load() > most) changeTimeSetting(engine_.session, *setting, most);
    }
    if (sink_.workerAnswers.load() >= 12) return 0;
    const size_t end = data_.find('\n');
    const size_t n = std::min(end == data_.npos ? data_.size() : end + 1, capacity);
    std::memcpy(buffer, data_.data(), n);
    data_.remove_prefix(n);
    return n;
  }

 private:
  std::string_view data_;
  Engine& engine_;
  const CheckingSink& sink_;
};

}  // namespace

// Tables above 32 MB are refused, which saves the time of poisoning their
// shadow and drives the table's halving on a failed allocation.
extern "C" const char* __asan_default_options() {
  return "max_allocation_size_mb=32:allocator_may_return_null=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckingSink sink(std::this_thread::get_id());
  auto engine = std::make_unique<Engine>(sink);
  sink.session = &engine->session;
  startEngine(*engine);
  FuzzInput input(std::string_view(reinterpret_cast<const char*>(data), size), *engine, sink);
  if (commandLoop(*engine, input) != 0) __builtin_trap();
  stopEngine(*engine);
  return 0;
}
