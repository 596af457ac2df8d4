// Kestrix: the manager's commands as lines.
//
// Input is read as raw bytes from a ByteSource (standard input in the
// process, a string or a pipe of the test's own in tests) and split into
// lines here, not by the runtime: a line ends at LF, a CR right before the
// LF is dropped, a line longer than a command can be is cut and its tail
// skipped up to the LF (so the tail never comes back as a command of its
// own), and a last line without LF still counts.
#pragma once

#include <cstddef>

namespace kestrix {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to `capacity` bytes; 0 at the end of input.
  virtual size_t read(char* buffer, size_t capacity) = 0;
};

class StandardInputSource final : public ByteSource {
 public:
  size_t read(char* buffer, size_t capacity) override;
};

// A command line holds at most 1023 bytes.
inline constexpr size_t LINE_CAPACITY = 1024;

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

}  // namespace kestrix
