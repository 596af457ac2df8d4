#include "protocol/output.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "platform/build_date.h"
#include "platform/console.h"

namespace kestrix {

void StandardOutputSink::write(const char* line, size_t length) {
  writeStandardOutput(line, length);
}

namespace {

void writeLine(OutputSink& out, const char* prefix, const char* format, va_list arguments) {
  char buffer[OUTPUT_LINE_CAPACITY];
  size_t length = std::strlen(prefix);
  std::memcpy(buffer, prefix, length);
  if (length > 0) buffer[length++] = ' ';
  // Leave one byte for the newline behind the terminator's place.
  const size_t room = sizeof(buffer) - length - 1;
  const int written = std::vsnprintf(buffer + length, room, format, arguments);
  if (written > 0) {
    const size_t text = static_cast<size_t>(written);
    length += text < room ? text : room - 1;  // vsnprintf cut the text to fit
  }
  for (size_t i = 0; i < length; ++i) {
    if (buffer[i] == '\r' || buffer[i] == '\n') buffer[i] = ' ';
  }
  buffer[length++] = '\n';
  out.write(buffer, length);
}

}  // namespace

#define KESTRIX_DEFINE_WRITER(name, prefix)             \
  void name(OutputSink& out, const char* format, ...) { \
    va_list arguments;                                  \
    va_start(arguments, format);                        \
    writeLine(out, prefix, format, arguments);          \
    va_end(arguments);                                  \
  }

KESTRIX_DEFINE_WRITER(reply, "")
KESTRIX_DEFINE_WRITER(replyUnknown, "UNKNOWN")
KESTRIX_DEFINE_WRITER(replyError, "ERROR")
KESTRIX_DEFINE_WRITER(replyMessage, "MESSAGE")

#undef KESTRIX_DEFINE_WRITER

void consoleWarning(OutputSink& out) {
  replyMessage(out, "%s%s%s",
               "Gomoku AI should not be started directly. Please install gomoku manager (",
               "https://sourceforge.net/projects/piskvork",
               "). Then enter path to this exe file in players settings.");
}

void buildVersion(char (&text)[VERSION_TEXT_SIZE], const char* buildDate) {
  static constexpr char MONTHS[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  char month[4] = {};
  int day = 0;
  int year = 0;
  int monthIndex = 0;
  if (std::sscanf(buildDate, "%3s %d %d", month, &day, &year) == 3) {
    const char* found = std::strstr(MONTHS, month);
    if (found != nullptr && std::strlen(month) == 3) {
      monthIndex = static_cast<int>(found - MONTHS) / 3;
    }
  }
  // The compiler's date is a plain calendar date, so it is written as it
  // stands; no time zone can move it to another day.
  if (year < 0 || year > 9999) year = 0;
  if (day < 0 || day > 31) day = 0;
  if (monthIndex < 0 || monthIndex > 11) monthIndex = 0;
  std::snprintf(text, VERSION_TEXT_SIZE, "%04d%02d%02d", year, monthIndex + 1, day);
}

void aboutReply(OutputSink& out) {
  char version[VERSION_TEXT_SIZE];
  buildVersion(version, buildDateText());
  // Some managers split this line on commas and '=': no value may hold one.
  reply(out,
        "name=\"Kestrix\", version=\"%s\", author=\"Kestrix developers\", "
        "country=\"International\", email=\"kestrix@example.org\"",
        version);
}

}  // namespace kestrix
