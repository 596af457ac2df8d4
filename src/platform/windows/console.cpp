#include "platform/console.h"

#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace kestrix {

void prepareStandardStreams() {
  // Input in binary mode: the command loop strips the CR itself, and a ^Z
  // byte inside a line is not taken for the end of input. Output stays in
  // text mode, so every answer ends in CRLF as managers on Windows expect.
  _setmode(_fileno(stdin), _O_BINARY);
}

bool standardInputIsConsole() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

size_t readStandardInput(char* buffer, size_t capacity) {
  const unsigned int chunk = capacity > 65536 ? 65536u : static_cast<unsigned int>(capacity);
  const int got = _read(_fileno(stdin), buffer, chunk);
  return got > 0 ? static_cast<size_t>(got) : 0;
}

}  // namespace kestrix
