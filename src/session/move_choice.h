// Kestrix: choosing the engine's move.
//
// A turn runs on the worker: it fixes the budget, rebuilds the Position from
// the manager's board with the stones coloured by their counts (the side
// with fewer stones moved second), asks chooseMove for a square and records
// it on the board. chooseMove is a cascade: the opening rule while at most
// two stones stand, then the search of the current rule, then the first
// empty square of a randomly drawn spiral order.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "session/session.h"

namespace kestrix {

// The engine's move in the manager's coordinates; `played` is false when
// the board had no empty cell.
struct TurnMove {
  bool played;
  int32_t x;
  int32_t y;
};

// One engine move, on the worker. The move is on the board when this
// returns, so the manager may answer it as soon as it is written.
TurnMove playTurn(Session& session);

Square chooseMove(Session& session);
Square openingMove(Session& session);
Square fallbackMove(Session& session);

// Draws which of the eight spiral orders the next walk follows.
void pickSpiralOrder(Session& session);
inline int32_t spiralSquare(const Session& session, int32_t i) {
  return session.spiralOrders.order[session.currentOrder][i];
}

}  // namespace kestrix
