// Kestrix: the engine's own picture of the board when it starts to think.
//
// A Position is rebuilt from the manager's board for every move request. It
// holds the board size, the square delta of every window position along the
// four lines (lineOffset[d][k + 5] = k steps in direction d, k = -5..5), and
// per square the stone. The deltas are plain: a reader that adds them must
// keep to the board itself.
//
// The eight spiral orders list every square once, innermost first; the
// opening rule and the fallback walk the board along one of them, drawn at
// random for each move.
#pragma once

#include <cstdint>

#include "position/types.h"

namespace kestrix {

struct NeighbourOffset {
  int8_t dx;
  int8_t dy;
};

// The squares near a square: distance 1 and 2 along the eight rays, row by
// row.
inline constexpr NeighbourOffset NEIGHBOUR_OFFSETS[16] = {
    {-2, -2}, {0, -2}, {2, -2}, {-1, -1}, {0, -1}, {1, -1}, {-2, 0}, {-1, 0},
    {1, 0},   {2, 0},  {-1, 1}, {0, 1},   {1, 1},  {-2, 2}, {0, 2},  {2, 2}};

struct Cell {
  int32_t stone;
};

struct Position {
  int32_t width;
  int32_t height;
  int32_t cellCount;
  int32_t lineOffset[DIRECTION_COUNT][11];
  Cell cells[MAX_CELLS];
};

void positionInit(Position& position, int32_t width, int32_t height);
bool positionPlace(Position& position, int32_t x, int32_t y, int32_t player);

// Column and row of a square on this position's board.
inline int32_t squareColumn(const Position& position, Square s) {
  return static_cast<int16_t>(s) % position.width;
}
inline int32_t squareRow(const Position& position, Square s) {
  return static_cast<int16_t>(s) / position.width;
}

inline constexpr int32_t SPIRAL_ORDER_COUNT = 8;

struct SpiralOrders {
  int32_t order[SPIRAL_ORDER_COUNT][MAX_CELLS];
};

// Fills the eight orders for a board of this size. The caller seeds the
// random stream (the board set-up does so with the calendar time).
void buildSpiralOrders(SpiralOrders& orders, int32_t width, int32_t height);

}  // namespace kestrix
