// kestrix-bench: fixed positions searched to fixed depths.
//
// Every search starts from a wiped table of the size the engine gets at
// start-up and runs without a time limit, so the node counts depend only on
// the search itself. Their total is the signature of the search's behaviour:
// a change meant to keep behaviour keeps it, on every platform and build.
//
// Usage: kestrix-bench [--expect SIGNATURE]
// With --expect, the exit status is 1 when the total differs.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/clock.h"
#include "position/pattern_tables.h"
#include "position/position.h"
#include "position/rule.h"
#include "search/search.h"
#include "search/search_record.h"
#include "search/tt.h"

namespace {

using namespace kestrix;

struct BenchPosition {
  const char* name;
  int32_t width;
  int32_t height;
  RuleIndex rule;
  int32_t depth;
  // Moves in the order played, black first: "x,y x,y ...".
  const char* moves;
};

#include "bench_positions.inc"

// 2^19 entries: what the engine's start-up sizing for 50 MiB leaves beside
// the process. Fixed here, because the sizing depends on the process.
constexpr int32_t BENCH_TABLE_BITS = 19;

bool setUp(SearchRecord& record, const BenchPosition& bench) {
  positionInit(record.position, bench.width, bench.height);
  int32_t stones = 0;
  for (const char* p = bench.moves; *p != '\0';) {
    int32_t x = 0, y = 0, used = 0;
    if (std::sscanf(p, " %d,%d%n", &x, &y, &used) != 2) break;
    if (!positionPlace(record.position, x, y, stones % 2 == 0 ? BLACK : WHITE)) return false;
    ++stones;
    p += used;
  }
  record.sideToMove = stones % 2 == 0 ? BLACK : WHITE;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int64_t expected = -1;
  if (argc == 3 && std::strcmp(argv[1], "--expect") == 0) {
    expected = std::strtoll(argv[2], nullptr, 10);
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: kestrix-bench [--expect SIGNATURE]\n");
    return 2;
  }

  initPatternTables();
  initZobristKeys();
  auto record = std::make_unique<SearchRecord>();
  auto tt = std::make_unique<TranspositionTable>();
  ttAllocate(*tt, BENCH_TABLE_BITS);
  MoveClock clock;

  std::printf("%-22s %-9s %5s %5s %12s %8s %10s %7s\n", "position", "rule", "size", "depth",
              "nodes", "ms", "nodes/s", "move");
  int64_t totalNodes = 0;
  int64_t totalMs = 0;
  for (const BenchPosition& bench : BENCH_POSITIONS) {
    if (!setUp(*record, bench)) {
      std::fprintf(stderr, "bad move list in %s\n", bench.name);
      return 2;
    }
    clock.moveStartTime = clockMs();
    clock.moveTimeBudget = INT32_MAX;  // no time limit
    ttClear(*tt);
    const int64_t start = clockMs();
    const Square move = searchRoot(bench.rule, *record, *tt, clock, bench.depth);
    const int64_t ms = clockMs() - start;
    const int64_t nodes = record->nodeCount;
    totalNodes += nodes;
    totalMs += ms;
    char size[24];
    std::snprintf(size, sizeof(size), "%dx%d", bench.width, bench.height);
    char moveText[24] = "none";
    if (move != NO_SQUARE) {
      std::snprintf(moveText, sizeof(moveText), "%d,%d", move % bench.width, move / bench.width);
    }
    std::printf("%-22s %-9s %5s %5d %12" PRId64 " %8" PRId64 " %10" PRId64 " %7s\n", bench.name,
                ruleName(bench.rule), size, bench.depth, nodes, ms,
                nodes * 1000 / (ms > 0 ? ms : 1), moveText);
  }
  std::printf("\nSignature (total nodes): %" PRId64 "\n", totalNodes);
  std::printf("Total time: %" PRId64 " ms, %" PRId64 " nodes/s\n", totalMs,
              totalNodes * 1000 / (totalMs > 0 ? totalMs : 1));
  if (expected >= 0 && expected != totalNodes) {
    std::printf("Signature differs from the expected %" PRId64 "\n", expected);
    return 1;
  }
  return 0;
}
