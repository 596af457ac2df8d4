// Test support: drive an Engine in-process and capture what it answers.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "protocol/engine.h"

namespace kestrix::testing {

using Lines = std::vector<std::string>;

// Two stones each, nothing forced: the engine deepens for its whole budget.
inline const std::string OPEN_POSITION = "BOARD\n7,7,1\n8,8,2\n6,8,1\n8,6,2\nDONE\n";

// "x,y", two numbers without sign.
inline bool isMoveLine(const std::string& line) {
  const size_t comma = line.find(',');
  return comma != 0 && comma != std::string::npos && comma + 1 < line.size() &&
         line.rfind(',') == comma && line.find_first_not_of("0123456789,") == std::string::npos;
}

// Every line written, without its newline.
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
  size_t count(bool (*such)(const std::string&)) {
    const Lines all = lines();
    return static_cast<size_t>(std::count_if(all.begin(), all.end(), such));
  }

 private:
  std::mutex mutex_;
  Lines lines_;
};

// Bytes handed out in pieces of at most `piece`, until closed.
class PipeSource final : public ByteSource {
 public:
  explicit PipeSource(size_t piece = 4096) : piece_(piece) {}
  void send(const std::string& text, bool close = false) {
    std::lock_guard<std::mutex> lock(mutex_);
    bytes_ += text;
    closed_ = closed_ || close;
    changed_.notify_all();
  }
  size_t read(char* buffer, size_t capacity) override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || at_ < bytes_.size(); });
    const size_t n = std::min({piece_, capacity, bytes_.size() - at_});
    std::memcpy(buffer, bytes_.data() + at_, n);
    at_ += n;
    return n;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string bytes_;
  size_t piece_, at_ = 0;
  bool closed_ = false;
};

// An engine with its worker: run() plays a whole input through the command
// loop; startLive() runs the loop on a thread of its own, fed through `pipe`.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override { startEngine(*engine); }
  void TearDown() override {
    if (live.joinable()) pipe.send("", true), live.join();
  }
  // The lines answered to this input alone.
  Lines run(const std::string& input, size_t piece = 4096) {
    PipeSource source(piece);
    source.send(input, true);
    const size_t before = sink.lines().size();
    status = commandLoop(*engine, source);
    const Lines all = sink.lines();
    return Lines(all.begin() + before, all.end());
  }
  void startLive() {
    live = std::thread([this] { status = commandLoop(*engine, pipe); });
  }
  // Waits, 20 s at most, for n lines of a kind; returns the ms taken.
  int64_t waitFor(size_t n, bool (*such)(const std::string&)) {
    const auto start = std::chrono::steady_clock::now();
    const auto taken = [&] { return std::chrono::steady_clock::now() - start; };
    while (sink.count(such) < n && taken() < std::chrono::seconds(20)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_GE(sink.count(such), n);
    return std::chrono::duration_cast<std::chrono::milliseconds>(taken()).count();
  }
  // Sends text and ABOUT, and waits until the ABOUT is answered.
  void sync(const std::string& text) {
    const auto isAbout = [](const std::string& line) { return line.starts_with("name="); };
    const size_t abouts = sink.count(isAbout);
    pipe.send(text + "ABOUT\n");
    waitFor(abouts + 1, isAbout);
  }
  Session& session() { return engine->session; }

  CaptureSink sink;  // outlives the engine, whose worker writes to it
  std::unique_ptr<Engine> engine = std::make_unique<Engine>(sink);
  PipeSource pipe;
  std::thread live;
  int status = -1;
};

}  // namespace kestrix::testing
