#include <emscripten.h>

#include "platform/console.h"

// The page's worker gets every answer line the moment it is written, so a
// line written during a move (a MESSAGE of the search) reaches the page
// while the search goes on. Module.onLine is the worker's.
EM_JS(void, kestrixHandLineToPage, (const char* data, int length),
      { Module["onLine"](UTF8ToString(data, length)); });

namespace kestrix {

void prepareStandardStreams() {}

// The page is no console, and it has no input stream: its lines arrive one
// at a time through the entry point.
bool standardInputIsConsole() {
  return false;
}

size_t readStandardInput(char*, size_t) {
  return 0;
}

void writeStandardOutput(const char* data, size_t length) {
  kestrixHandLineToPage(data, static_cast<int>(length));
}

}  // namespace kestrix
