// Kestrix: the process's standard streams.
//
// Input is read as raw bytes in whatever pieces the pipe delivers, so that
// the command loop, not the runtime, decides what a line is (a CR before the
// LF, over-long lines, stray NUL bytes). Output goes through stdout in text
// mode: each answer is handed over whole, newline included, and flushed, so
// on Windows it ends in CRLF and lines from two threads never mix.
#pragma once

#include <cstddef>

namespace kestrix {

// Sets the streams up for the dialogue: binary standard input on Windows,
// and on POSIX a closed output pipe no longer kills the process.
void prepareStandardStreams();

// True when standard input is an interactive console rather than a pipe
// from a manager.
bool standardInputIsConsole();

// Reads up to `capacity` bytes of standard input; returns how many were read,
// 0 at the end of input or on an error that cannot be retried.
size_t readStandardInput(char* buffer, size_t capacity);

// Writes `length` bytes to standard output in one call and flushes them.
void writeStandardOutput(const char* data, size_t length);

}  // namespace kestrix
