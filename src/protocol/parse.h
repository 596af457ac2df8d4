// Kestrix: reading the manager's words and numbers.
//
// Input is untrusted bytes. Everything here works on unsigned byte values,
// folds case only for the ASCII letters, and saturates every number to the
// 32-bit range instead of overflowing. The helpers follow the shapes managers
// send: a command word, then numbers separated by commas ("TURN 7,8"); a
// BOARD stone line of three numbers ("7,8,1"); INFO fields split by blanks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kestrix {

// The white space of the C locale: blank, tab, LF, VT, FF, CR.
inline bool isSpaceByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b == ' ' || (b >= '\t' && b <= '\r');
}

// ASCII lower case for any byte value; every other byte stays as it is.
inline unsigned char foldByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + ('a' - 'A')) : b;
}

// True when the first words of text and word are equal, ignoring case. A
// word is at most 20 bytes up to the next white space, after leading white
// space; a text without a word matches nothing.
bool matchWord(const char* text, const char* word);

// Leading white space, an optional sign, then digits up to the first other
// byte; 0 when there are no digits. Saturates at INT32_MIN / INT32_MAX.
int32_t parseInt(const char* text);

// Reads up to `count` integers separated by single commas ("7,8" or
// "7, 8": white space may come before a number but not before a comma),
// after skipping the first word when skipFirstWord is set. Returns how many
// were read before the first mismatch; those are stored in values.
int32_t scanCommaInts(const char* text, bool skipFirstWord, int32_t* values, int32_t count);

// The key and the value of an INFO line: its second and third blank-separated
// fields (a run of blanks is one separator). Each field of a line of fewer
// than `capacity` bytes fits its buffer.
inline constexpr size_t INFO_FIELD_CAPACITY = 1024;
struct InfoFields {
  char key[INFO_FIELD_CAPACITY];
  char value[INFO_FIELD_CAPACITY];
};

// False when the line has fewer than three fields.
bool splitInfo(const char* line, InfoFields& fields);

}  // namespace kestrix
