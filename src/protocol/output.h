// Kestrix: every line the engine says to the manager.
//
// One writer formats a line into a buffer on the caller's stack: the kind
// word ("UNKNOWN", "ERROR", "MESSAGE"; none for plain answers), one blank,
// the text, then the newline. CR and LF inside the text become blanks, so an
// echoed input line cannot split the answer. The finished line goes to the
// sink in one call, which keeps lines from the command thread and the worker
// whole. The buffer holds the kind word plus the longest input line, so an
// UNKNOWN echo is never cut.
#pragma once

#include <cstddef>

namespace kestrix {

// Where answer lines go: standard output in the process, a capture in tests.
// write() receives one whole line including its final '\n' and must pass it
// on in one piece.
class OutputSink {
 public:
  virtual ~OutputSink() = default;
  virtual void write(const char* line, size_t length) = 0;
};

class StandardOutputSink final : public OutputSink {
 public:
  void write(const char* line, size_t length) override;
};

// The longest input line (1023 bytes) behind the longest kind word, with
// room for the newline and the terminator.
inline constexpr size_t OUTPUT_LINE_CAPACITY = 1024 + 16;

#if defined(__GNUC__)
#define KESTRIX_PRINTF(format_index) __attribute__((format(printf, format_index, format_index + 1)))
#else
#define KESTRIX_PRINTF(format_index)
#endif

void reply(OutputSink& out, const char* format, ...) KESTRIX_PRINTF(2);
void replyUnknown(OutputSink& out, const char* format, ...) KESTRIX_PRINTF(2);
void replyError(OutputSink& out, const char* format, ...) KESTRIX_PRINTF(2);
void replyMessage(OutputSink& out, const char* format, ...) KESTRIX_PRINTF(2);

// The warning written when a person, not a manager, started the engine.
void consoleWarning(OutputSink& out);

// Eight digits YYYYMMDD from a compiler date text "Mmm dd yyyy".
inline constexpr size_t VERSION_TEXT_SIZE = 10;
void buildVersion(char (&text)[VERSION_TEXT_SIZE], const char* buildDate);

// The ABOUT answer: name, version (the build date), author, country, email.
void aboutReply(OutputSink& out);

}  // namespace kestrix
