#include "protocol/parse.h"

#include <limits>

namespace kestrix {

namespace {

constexpr int32_t MAX_WORD = 20;

// Start and length of the first word of text, at most MAX_WORD bytes.
int32_t firstWord(const char*& text) {
  while (*text != '\0' && isSpaceByte(*text)) ++text;
  int32_t length = 0;
  while (length < MAX_WORD && text[length] != '\0' && !isSpaceByte(text[length])) ++length;
  return length;
}

// One integer at p: white space, sign, at least one digit. Advances p past
// it and returns true, or returns false without a number.
bool scanInt(const char*& p, int32_t& value) {
  const char* q = p;
  while (*q != '\0' && isSpaceByte(*q)) ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (*q < '0' || *q > '9') return false;
  // Accumulate towards the limit of the number's own sign and stop there.
  const int64_t limit = negative ? -int64_t{std::numeric_limits<int32_t>::min()}
                                 : int64_t{std::numeric_limits<int32_t>::max()};
  int64_t magnitude = 0;
  for (; *q >= '0' && *q <= '9'; ++q) {
    if (magnitude < limit) {
      magnitude = magnitude * 10 + (*q - '0');
      if (magnitude > limit) magnitude = limit;
    }
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  p = q;
  return true;
}

}  // namespace

bool matchWord(const char* text, const char* word) {
  if (text == nullptr || word == nullptr) return false;
  const int32_t textLength = firstWord(text);
  const int32_t wordLength = firstWord(word);
  if (textLength == 0 || wordLength == 0 || textLength != wordLength) return false;
  for (int32_t i = 0; i < textLength; ++i) {
    if (foldByte(text[i]) != foldByte(word[i])) return false;
  }
  return true;
}

int32_t parseInt(const char* text) {
  int32_t value = 0;
  return scanInt(text, value) ? value : 0;
}

int32_t scanCommaInts(const char* text, bool skipFirstWord, int32_t* values, int32_t count) {
  const char* p = text;
  if (skipFirstWord) {
    while (*p != '\0' && isSpaceByte(*p)) ++p;
    if (*p == '\0') return 0;
    while (*p != '\0' && !isSpaceByte(*p)) ++p;
  }
  int32_t read = 0;
  while (read < count) {
    if (read > 0) {
      if (*p != ',') break;
      ++p;
    }
    if (!scanInt(p, values[read])) break;
    ++read;
  }
  return read;
}

bool splitInfo(const char* line, InfoFields& fields) {
  char command[INFO_FIELD_CAPACITY];
  char* targets[3] = {command, fields.key, fields.value};
  const char* p = line;
  for (char* target : targets) {
    while (*p == ' ') ++p;
    if (*p == '\0') return false;
    size_t length = 0;
    while (*p != '\0' && *p != ' ' && length < INFO_FIELD_CAPACITY - 1) target[length++] = *p++;
    target[length] = '\0';
    while (*p != '\0' && *p != ' ') ++p;  // beyond the capacity: dropped
  }
  return true;
}

}  // namespace kestrix
