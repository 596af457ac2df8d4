#include "protocol/line_reader.h"

#include "platform/console.h"

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

}  // namespace kestrix
