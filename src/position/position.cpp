#include "position/position.h"

#include <cstring>

namespace kestrix {

void positionInit(Position& position, int32_t width, int32_t height) {
  std::memset(&position, 0, sizeof(position));
  position.width = width;
  position.height = height;
  position.cellCount = width * height;
  for (int32_t k = -5; k <= 5; ++k) {
    position.lineOffset[DIR_HORIZONTAL][k + 5] = k;
    position.lineOffset[DIR_VERTICAL][k + 5] = k * width;
    position.lineOffset[DIR_ANTIDIAGONAL][k + 5] = k * (width - 1);
    position.lineOffset[DIR_DIAGONAL][k + 5] = k * (width + 1);
  }
}

bool positionPlace(Position& position, int32_t x, int32_t y, int32_t player) {
  if (!onBoard(x, y, position.width, position.height)) return false;
  const Square s = static_cast<Square>(y * position.width + x);
  if (position.cells[s].stone != EMPTY || player == EMPTY) return false;
  position.cells[s].stone = player;
  return true;
}

namespace {

struct SpiralStart {
  bool right;      // start in the right-hand column
  bool bottom;     // start in the bottom row
  int8_t dx, dy;   // first direction
  bool clockwise;  // turning sense, with y growing downwards
};

constexpr SpiralStart SPIRAL_STARTS[SPIRAL_ORDER_COUNT] = {
    {false, false, 1, 0, true},  {false, false, 0, 1, false}, {true, false, 0, 1, true},
    {true, false, -1, 0, false}, {false, true, 0, -1, true},  {false, true, 1, 0, false},
    {true, true, -1, 0, true},   {true, true, 0, -1, false}};

}  // namespace

void buildSpiralOrders(SpiralOrders& orders, int32_t width, int32_t height) {
  std::memset(&orders, 0, sizeof(orders));
  const int32_t cellCount = width * height;
  for (int32_t t = 0; t < SPIRAL_ORDER_COUNT; ++t) {
    const SpiralStart& start = SPIRAL_STARTS[t];
    bool listed[MAX_CELLS] = {};
    int32_t x = start.right ? width - 1 : 0;
    int32_t y = start.bottom ? height - 1 : 0;
    int32_t dx = start.dx;
    int32_t dy = start.dy;
    for (int32_t i = 0; i < cellCount; ++i) {
      const int32_t s = y * width + x;
      listed[s] = true;
      // The walk is stored reversed, so that entry 0 is the innermost square.
      orders.order[t][cellCount - 1 - i] = s;
      if (i + 1 == cellCount) break;
      auto blocked = [&](int32_t nx, int32_t ny) {
        return !onBoard(nx, ny, width, height) || listed[ny * width + nx];
      };
      if (blocked(x + dx, y + dy)) {
        const int32_t odx = dx;
        if (start.clockwise) {
          dx = -dy;
          dy = odx;
        } else {
          dx = dy;
          dy = -odx;
        }
      }
      x += dx;
      y += dy;
    }
  }
}

}  // namespace kestrix
