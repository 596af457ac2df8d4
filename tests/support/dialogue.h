// Test support: drive an Engine in-process and capture what it answers.
//
// CaptureSink records every line (without its newline). StringSource feeds
// a fixed input in pieces of a chosen size; PipeSource is fed by the test
// while the command loop runs on another thread.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/engine.h"

namespace kestrix::testing {

using Lines = std::vector<std::string>;

inline bool isMoveLine(const std::string& line) {
  const size_t comma = line.find(',');
  if (comma == std::string::npos || comma == 0 || comma + 1 == line.size()) return false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (i != comma && (line[i] < '0' || line[i] > '9')) return false;
  }
  return true;
}

class CaptureSink final : public OutputSink {
 public:
  void write(const char* line, size_t length) override {
    std::lock_guard<std::mutex> lock(mutex_);
    EXPECT_TRUE(length > 0 && line[length - 1] == '\n');
    lines_.emplace_back(line, length - 1);
  }
  Lines lines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  void clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.clear();
  }

 private:
  std::mutex mutex_;
  Lines lines_;
};

class StringSource final : public ByteSource {
 public:
  StringSource(std::string data, size_t piece) : data_(std::move(data)), piece_(piece) {}
  size_t read(char* buffer, size_t capacity) override {
    const size_t n = std::min({piece_, capacity, data_.size() - position_});
    std::memcpy(buffer, data_.data() + position_, n);
    position_ += n;
    return n;
  }

 private:
  std::string data_;
  size_t piece_;
  size_t position_ = 0;
};

class PipeSource final : public ByteSource {
 public:
  void send(const std::string& text, bool close = false) {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    closed_ = closed_ || close;
    changed_.notify_all();
  }
  size_t read(char* buffer, size_t capacity) override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !bytes_.empty(); });
    size_t n = 0;
    for (; n < capacity && !bytes_.empty(); ++n, bytes_.pop_front()) buffer[n] = bytes_.front();
    return n;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<char> bytes_;
  bool closed_ = false;
};

// An engine with a running worker. run() plays a whole input through the
// command loop and returns every line answered; startLive() runs the loop
// on its own thread, fed through send() and sync().
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { startEngine(*engine); }
  void TearDown() override {
    if (live.joinable()) finishLive();
  }
  // Searched moves in a few milliseconds, for tests that judge answers, not
  // play. (time_left shows in no answer line.)
  void moveQuickly() { engine->session.settings.time_left = 1000; }

  Lines run(const std::string& input, size_t piece = 4096) {
    StringSource source(input, piece);
    status = commandLoop(*engine, source);
    return sink.lines();
  }

  void startLive() {
    live = std::thread([this] { status = commandLoop(*engine, pipe); });
  }
  void send(const std::string& text) { pipe.send(text); }
  // Sends text, then ABOUT, and waits for the ABOUT answer: everything sent
  // before it has been handled by then.
  void sync(const std::string& text) {
    const auto abouts = [this] {
      size_t count = 0;
      for (const std::string& line : sink.lines()) count += line.rfind("name=", 0) == 0;
      return count;
    };
    const size_t before = abouts();
    pipe.send(text + "ABOUT\n");
    for (int i = 0; i < 2000 && abouts() == before; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_GT(abouts(), before);
  }
  void finishLive() {
    pipe.send("", true);
    live.join();
  }

  Session& session() { return engine->session; }

  CaptureSink sink;  // outlives the engine, whose worker writes to it
  std::unique_ptr<Engine> engine = std::make_unique<Engine>(sink);
  PipeSource pipe;
  std::thread live;
  int status = -1;
};

}  // namespace kestrix::testing
