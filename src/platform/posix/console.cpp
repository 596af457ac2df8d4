#include "platform/console.h"

#include <cerrno>
#include <csignal>

#include <unistd.h>

namespace kestrix {

void prepareStandardStreams() {
  // A manager that closes its end of the pipe must not kill us mid-turn.
  std::signal(SIGPIPE, SIG_IGN);
}

bool standardInputIsConsole() {
  return isatty(STDIN_FILENO) == 1;
}

size_t readStandardInput(char* buffer, size_t capacity) {
  for (;;) {
    const ssize_t got = read(STDIN_FILENO, buffer, capacity);
    if (got >= 0) return static_cast<size_t>(got);
    if (errno != EINTR) return 0;
  }
}

}  // namespace kestrix
