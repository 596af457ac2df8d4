// Kestrix in a web page: the entry points the page's worker calls. Command
// lines go to the same command handling as the engine process's, and answer
// lines come back through the browser's console as they are written; a move
// runs to its end inside the call that asks for it. Beside them, the rules'
// verdicts on moves, from the same library, so that the page never judges a
// shape itself.
#include <cstdint>
#include <cstring>
#include <memory>

#include "protocol/engine.h"
#include "threats/judge.h"

namespace {

using namespace kestrix;

Engine& engine() {
  static StandardOutputSink out;
  static const std::unique_ptr<Engine> engine = [] {
    auto made = std::make_unique<Engine>(out);
    startEngine(*made);
    return made;
  }();
  return *engine;
}

// The board to judge: cells[y * width + x] is 0 empty, 1 black, 2 white;
// `rule` is the manager's INFO rule value.
ThreatBoard& loadBoard(int32_t width, int32_t height, int32_t rule, const uint8_t* cells) {
  static const std::unique_ptr<ThreatBoard> board = std::make_unique<ThreatBoard>();
  judgeLoad(*board, ruleFromManager(rule), width, height, cells);
  return *board;
}

}  // namespace

extern "C" {

// One command line without its line end; 0 once it was END.
int kestrix_line(const char* text) {
  char line[LINE_CAPACITY] = {};
  std::strncpy(line, text, LINE_CAPACITY - 1);
  return handleLine(engine(), line) == CommandFlow::End ? 0 : 1;
}

// The MoveVerdict of a stone of `colour` on (x, y); for a five, its ends go
// to five[0..3] as x0, y0, x1, y1.
int kestrix_judge(int32_t width, int32_t height, int32_t rule, const uint8_t* cells, int32_t x,
                  int32_t y, int32_t colour, int32_t* five) {
  ThreatBoard& board = loadBoard(width, height, rule, cells);
  FiveLine line{};
  const MoveVerdict verdict = judgeMove(board, ruleFromManager(rule), x, y, colour, line);
  const int32_t ends[4] = {line.x0, line.y0, line.x1, line.y1};
  std::memcpy(five, ends, sizeof(ends));
  return verdict;
}

// The MoveVerdict of a stone of `colour` on every square, into
// verdicts[y * width + x].
void kestrix_judge_all(int32_t width, int32_t height, int32_t rule, const uint8_t* cells,
                       int32_t colour, uint8_t* verdicts) {
  ThreatBoard& board = loadBoard(width, height, rule, cells);
  FiveLine line{};
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      verdicts[y * width + x] = judgeMove(board, ruleFromManager(rule), x, y, colour, line);
    }
  }
}

}  // extern "C"
