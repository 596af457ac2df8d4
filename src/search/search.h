// Kestrix: evaluation, alpha-beta and the root search, one instantiation per
// rule.
//
// Scores are from the view of the side to move: WIN_SCORE it wins, LOSS_SCORE
// it loses, anything between is the difference of the two players' pattern
// scores. A win in one and a win in five score the same; the threat tallies
// make won and lost positions exact, so there is no quiescence search.
//
// searchRoot prepares the search's board from the Position in the record,
// generates the root moves once and deepens over them until a win or loss
// is proven, the next iteration would not fit in the time left, maxDepth is
// done, or the clock runs out inside an iteration; it returns the move of
// the last finished iteration, or NO_SQUARE. The node count reads the clock
// from the second iteration on, so the first one, a few hundred nodes,
// always finishes but for the forbidden-move test: that reads the clock in
// every iteration, and a first iteration it cuts short plays a move that
// needs no test (firstIterationMove in search.cpp).
#pragma once

#include <cstdint>

#include "position/rule.h"
#include "position/types.h"
#include "search/move_clock.h"
#include "search/search_record.h"
#include "search/tt.h"
#include "threats/forbidden.h"

namespace kestrix {

inline constexpr int32_t WIN_SCORE = 2000000000;
inline constexpr int32_t LOSS_SCORE = -2000000000;
inline constexpr int32_t MAX_SEARCH_DEPTH = 99;
inline constexpr int32_t INNER_MOVES = 16;
// The table keeps an inner node's whole list, and ttProbeMoves fills one.
static_assert(TT_MOVES == INNER_MOVES);

// What the root search knows after a finished iteration, for a manager that
// shows the engine thinking: the iteration's depth and best score (WIN_SCORE
// or LOSS_SCORE when proven), the nodes and milliseconds of the move so far,
// and the principal line: the best root move, then the best replies the
// table holds, as far as they go, at most `depth` moves.
struct IterationReport {
  int32_t depth;
  int32_t score;
  int64_t nodes;
  int64_t elapsedMs;
  int32_t lineLength;
  Square line[MAX_SEARCH_DEPTH];
};

// Called after every finished iteration, and after the one that proves a
// win; never when the root has a single move or none. Without a function
// the search reports nothing and works exactly as it would otherwise.
struct SearchObserver {
  void (*iterationDone)(void* context, const IterationReport& report) = nullptr;
  void* context = nullptr;
};

// Everything a search reads or writes besides its arguments. forbiddenClock
// is the poll the search hands the forbidden-move test: it throws
// SearchTimeout once the move's time is spent, in any iteration.
struct SearchContext {
  SearchRecord& record;
  TranspositionTable& tt;
  const MoveClock& clock;
  ForbiddenPoll forbiddenClock;
  const SearchObserver& observer;
};

// Rebuilds the search state of the record (the threat board, the key) from
// its Position under rule R.
template <RuleIndex R>
void prepareSearch(SearchRecord& record);

// Score of the node for `player`, who is to move; lastMove is the square of
// the stone that led here (only Renju reads it). Throws SearchTimeout when
// the clock runs out from the second iteration on.
template <RuleIndex R>
int32_t alphaBeta(SearchContext& context, int32_t depth, int32_t alpha, int32_t beta,
                  Square lastMove, int32_t player);

struct SearchTimeout {};

// The root list narrows over this many iterations: after iteration d the
// next keeps (ROOT_NARROWING_DEPTHS - d) / ROOT_NARROWING_DEPTHS of the
// generated moves, and one more. From that depth on, and once it holds no
// more than ROOT_KEPT_WHOLE moves, it keeps what it has.
inline constexpr int32_t ROOT_NARROWING_DEPTHS = 20;
inline constexpr int32_t ROOT_KEPT_WHOLE = 3;

// Size of the root list after iteration d, when `generated` moves were
// generated: the deeper the iteration, the fewer moves survive into the next
// one.
inline int32_t narrowedRootCount(int32_t count, int32_t d, int32_t generated) {
  if (count <= ROOT_KEPT_WHOLE || d >= ROOT_NARROWING_DEPTHS) return count;
  const int32_t keep = (ROOT_NARROWING_DEPTHS - d) * generated / ROOT_NARROWING_DEPTHS + 1;
  return keep < count ? keep : count;
}

template <RuleIndex R>
Square searchRoot(SearchRecord& record, TranspositionTable& tt, const MoveClock& clock,
                  int32_t maxDepth = MAX_SEARCH_DEPTH, const SearchObserver& observer = {});

// The same for a rule chosen at run time: the one place where the manager's
// rule picks a search family.
Square searchRoot(RuleIndex rule, SearchRecord& record, TranspositionTable& tt,
                  const MoveClock& clock, int32_t maxDepth = MAX_SEARCH_DEPTH,
                  const SearchObserver& observer = {});

}  // namespace kestrix
