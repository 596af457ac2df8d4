// Kestrix: the small vocabulary every subsystem shares.
//
// A square is a cell's index y * width + x on the board in play, held in 16
// bits. Stone codes double as player codes: BLACK moved first, WHITE second,
// NEUTRAL is a winning-line mark from the manager that blocks both players.
// The opponent of BLACK or WHITE is the code XOR 3.
#pragma once

#include <cstdint>

namespace kestrix {

using Square = uint16_t;

// No move, or an empty list slot. As a signed 16-bit number it is negative,
// which is how move lists recognise it.
inline constexpr Square NO_SQUARE = 0x8080;

inline constexpr int32_t EMPTY = 0;
inline constexpr int32_t BLACK = 1;
inline constexpr int32_t WHITE = 2;
inline constexpr int32_t NEUTRAL = 3;

inline constexpr int32_t opponentOf(int32_t player) {
  return player ^ 3;
}

inline constexpr int32_t MIN_BOARD_SIDE = 5;
inline constexpr int32_t MAX_BOARD_SIDE = 32;
inline constexpr int32_t MAX_CELLS = MAX_BOARD_SIDE * MAX_BOARD_SIDE;

// Line directions; every per-direction array in the engine uses this order.
enum Direction : int32_t {
  DIR_HORIZONTAL = 0,    // (1, 0)
  DIR_VERTICAL = 1,      // (0, 1)
  DIR_ANTIDIAGONAL = 2,  // (-1, 1)
  DIR_DIAGONAL = 3,      // (1, 1)
};
inline constexpr int32_t DIRECTION_COUNT = 4;
inline constexpr int32_t DIRECTION_DX[DIRECTION_COUNT] = {1, 0, -1, 1};
inline constexpr int32_t DIRECTION_DY[DIRECTION_COUNT] = {0, 1, 1, 1};

// Whether (x, y) lies on a board of this size.
inline constexpr bool onBoard(int32_t x, int32_t y, int32_t width, int32_t height) {
  return x >= 0 && x < width && y >= 0 && y < height;
}

}  // namespace kestrix
