// Micro-benchmarks of the search's innermost work: one stone placed and
// taken back, and the Renju forbidden-move test on crowded boards. The
// start-up cost of the pattern tables is printed before the runs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/random.h"
#include "position/pattern_tables.h"
#include "threats/forbidden.h"
#include "threats/line_codes.h"
#include "threats/stones.h"

namespace kestrix {
namespace {

std::unique_ptr<ThreatBoard> emptyBoard(int32_t width, int32_t height) {
  auto board = std::make_unique<ThreatBoard>();
  initThreatBoard(*board, width, height);
  return board;
}

// Forty stones, alternately black and white, scattered within three cells
// of the centre of a 15 x 15 board: a typical middle game.
template <RuleIndex R>
std::unique_ptr<ThreatBoard> middleGame() {
  auto board = emptyBoard(15, 15);
  RandomStream random;
  for (int32_t placed = 0; placed < 40;) {
    const Square s = static_cast<Square>((4 + random.next() % 7) * 15 + 4 + random.next() % 7);
    if (threatCellOf(*board, s).stone != EMPTY) continue;
    placeStone<R>(*board, s, placed % 2 == 0 ? BLACK : WHITE);
    ++placed;
  }
  return board;
}

template <RuleIndex R>
void placeAndRemove(benchmark::State& state) {
  auto board = middleGame<R>();
  // The squares the search would try: empty, with a stone nearby.
  std::vector<Square> moves;
  for (Square s = 0; s < board->cellCount; ++s) {
    if (threatCellOf(*board, s).stone == EMPTY && nearStonesAt(*board, s) > 0) {
      moves.push_back(s);
    }
  }
  size_t i = 0;
  for (auto _ : state) {
    const Square s = moves[i];
    placeStone<R>(*board, s, (i & 1) ? WHITE : BLACK);
    removeStone<R>(*board, s);
    benchmark::ClobberMemory();
    if (++i == moves.size()) i = 0;
  }
  state.SetLabel(std::to_string(moves.size()) + " moves");
}
BENCHMARK(placeAndRemove<RULE_FREESTYLE>);
BENCHMARK(placeAndRemove<RULE_STANDARD>);
BENCHMARK(placeAndRemove<RULE_RENJU>);

// A board tiled with a small pattern of black stones.
std::unique_ptr<ThreatBoard> tiledBoard(int32_t side, std::initializer_list<std::string_view> tile,
                                        int32_t shift) {
  auto board = emptyBoard(side, side);
  const int32_t height = static_cast<int32_t>(tile.size());
  for (int32_t y = 0; y < side; ++y) {
    const std::string_view row = tile.begin()[y % height];
    const int32_t width = static_cast<int32_t>(row.size());
    for (int32_t x = 0; x < side; ++x) {
      if (row[(x + shift * (y / height)) % width] == 'x') {
        placeStone<RULE_RENJU>(*board, static_cast<Square>(y * side + x), BLACK);
      }
    }
  }
  return board;
}

// The slowest square of the board, by the best of three timings each.
Square slowestSquare(ThreatBoard& board) {
  Square slowest = 0;
  double worst = -1;
  for (Square s = 0; s < board.cellCount; ++s) {
    double elapsed = 1e9;
    for (int32_t i = 0; i < 3; ++i) {
      const auto start = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(isForbidden(board, s));
      elapsed = std::min(
          elapsed, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    if (elapsed > worst) {
      worst = elapsed;
      slowest = s;
    }
  }
  return slowest;
}

void forbiddenWorst(benchmark::State& state, int32_t side,
                    std::initializer_list<std::string_view> tile, int32_t shift) {
  auto board = tiledBoard(side, tile, shift);
  const Square s = slowestSquare(*board);
  for (auto _ : state) benchmark::DoNotOptimize(isForbidden(*board, s));
  state.SetLabel("square (" + std::to_string(s % side) + ", " + std::to_string(s / side) + ")");
}
// Crowded boards with the longest recursions we found: full black rows in
// pairs, and chains of black stones along the diagonals.
BENCHMARK_CAPTURE(forbiddenWorst, board15, 15, {"x", ".", ".", ".", ".", ".", "x"}, 0)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(forbiddenWorst, board22, 22, {"x", ".", ".", ".", ".", ".", "x"}, 0)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(forbiddenWorst, board32, 32, {"..xx..", ".x..x."}, 2)
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace kestrix

int main(int argc, char** argv) {
  const auto start = std::chrono::steady_clock::now();
  kestrix::initPatternTables();
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("pattern tables built in %.1f ms\n", ms);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
