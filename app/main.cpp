// pbrain-kestrix: the engine process a gomoku manager starts.
#include <memory>

#include "platform/console.h"
#include "protocol/engine.h"
#include "protocol/output.h"

int main() {
  using namespace kestrix;
  prepareStandardStreams();
  StandardOutputSink out;
  StandardInputSource in;
  auto engine = std::make_unique<Engine>(out);
  if (standardInputIsConsole()) consoleWarning(out);
  startEngine(*engine);
  const int status = commandLoop(*engine, in);
  stopEngine(*engine);
  return status;
}
