#include "platform/console.h"

#include <cstdio>

namespace kestrix {

void writeStandardOutput(const char* data, size_t length) {
  // One fwrite under the stream's lock keeps a line whole against the other
  // thread; a write error (the manager has gone) is not ours to report.
  std::fwrite(data, 1, length, stdout);
  std::fflush(stdout);
}

}  // namespace kestrix
