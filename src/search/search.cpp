#include "search/search.h"

#include <cstddef>
#include <cstring>

#include "search/movegen.h"
#include "threats/forbidden.h"
#include "threats/stones.h"

namespace kestrix {

namespace {

// Clock reads are rationed to one per this many nodes.
inline constexpr uint32_t CLOCK_CHECK_INTERVAL = 501;

// Moves list[i] to the front, shifting the entries before it up by one.
inline void moveToFront(Square* list, int32_t i) {
  const Square m = list[i];
  for (; i > 0; --i) list[i] = list[i - 1];
  list[0] = m;
}

}  // namespace

template <RuleIndex R>
void prepareSearch(SearchRecord& record) {
  std::memset(static_cast<void*>(&record.bestMove), 0,
              offsetof(SearchRecord, board) - offsetof(SearchRecord, bestMove));
  fillThreatBoard<R>(record.board, record.position);
  const Position& position = record.position;
  for (int32_t i = 0; i < position.cellCount; ++i) {
    const int32_t stone = position.cells[i].stone;
    if (stone != EMPTY) record.searchKey ^= zobristKey(stone, static_cast<Square>(i));
  }
  record.bestMove = NO_SQUARE;
}

namespace {

// The static value for player, to move, from the threat tallies alone: a
// decided position's WIN_SCORE or LOSS_SCORE, else the pattern scores'
// difference. Inline, as the leaves, most of the nodes, call it.
inline int32_t evaluateTallies(const PlayerThreats (&tallies)[4], int32_t player) {
  const PlayerThreats& own = tallies[player];
  const PlayerThreats& opp = tallies[opponentOf(player)];
  const int32_t* ownCount = own.classCount;
  const int32_t* oppCount = opp.classCount;
  // The order of the tests matters: the first that holds decides.
  if (oppCount[THREAT_FIVE] > 0) return LOSS_SCORE;
  if (fourStones(own) > 0) return WIN_SCORE;  // a five is ours to make now
  if (oppCount[THREAT_OPEN_FOUR] > 0) return LOSS_SCORE;
  if (ownCount[THREAT_DOUBLE_THREE] + ownCount[THREAT_OPEN_THREE] > 0 &&
      oppCount[THREAT_FOUR_THREE] + oppCount[THREAT_FOUR] == 0) {
    return WIN_SCORE;
  }
  if (oppCount[THREAT_FOUR_THREE] + oppCount[THREAT_DOUBLE_THREE] > 0 &&
      ownCount[THREAT_DOUBLE_THREE] + ownCount[THREAT_OPEN_THREE] + ownCount[THREAT_CLOSED_THREE] ==
          0) {
    return LOSS_SCORE;
  }
  return own.patternScore - opp.patternScore;
}

}  // namespace

namespace {

// The clock, read once every CLOCK_CHECK_INTERVAL calls (each rule keeps
// its own count, across searches). The first iteration always finishes
// here, so that there is a move to play.
template <RuleIndex R>
inline void checkClock(const SearchContext& context) {
  uint32_t& counter = context.record.clockCheckCounter[R];
  if (++counter < CLOCK_CHECK_INTERVAL) return;
  counter = 0;
  if (context.record.iterationDepth >= 2 && timeIsUp(context.clock)) throw SearchTimeout{};
}

// The forbidden-move test's poll (SearchContext::forbiddenClock).
void pollForbiddenClock(const void* clock) {
  if (timeIsUp(*static_cast<const MoveClock*>(clock))) throw SearchTimeout{};
}

// alphaBeta at depth 0 for the move m of `mover`, the key already folded
// in, without putting the stone on the board: the same steps, counted as a
// node the same way, with the tallies placeStone would leave. Most nodes are
// leaves, and a leaf needs only those tallies.
template <RuleIndex R>
int32_t leafValue(SearchContext& context, Square m, int32_t mover) {
  SearchRecord& record = context.record;
  ++record.nodeCount;
  checkClock<R>(context);
  if constexpr (R == RULE_RENJU) {
    // The test answers the same for an empty square as for one holding the
    // black stone; a white stone is never forbidden.
    if (mover == BLACK && isForbidden(record.board, m, &context.forbiddenClock)) return WIN_SCORE;
  }
  PlayerThreats tallies[4];
  tallyAfterPlacing<R>(record.board, m, mover, tallies);
  const int32_t value = evaluateTallies(tallies, opponentOf(mover));
  ttStore(context.tt, record.searchKey, 0, value, BOUND_EXACT, nullptr, 0);
  return value;
}

}  // namespace

template <RuleIndex R>
int32_t alphaBeta(SearchContext& context, int32_t depth, int32_t alpha, int32_t beta,
                  [[maybe_unused]] Square lastMove, int32_t player) {
  SearchRecord& record = context.record;
  TranspositionTable& tt = context.tt;
  ++record.nodeCount;

  // Step 1. The clock
  checkClock<R>(context);

  // Step 2. Under Renju, a forbidden black stone loses on the spot
  if constexpr (R == RULE_RENJU) {
    if (isForbidden(record.board, lastMove, &context.forbiddenClock)) return WIN_SCORE;
  }

  // Step 3. Decided positions and leaves take the static value
  const int32_t staticValue = evaluateTallies(record.board.playerThreats, player);
  if (staticValue == WIN_SCORE || staticValue == LOSS_SCORE || depth <= 0) {
    ttStore(tt, record.searchKey, static_cast<int8_t>(depth), staticValue, BOUND_EXACT, nullptr, 0);
    return staticValue;
  }

  // Step 4. The moves: the table's list when this position was seen before,
  // else generated. No move at all loses.
  Square list[INNER_MOVES];
  int32_t count = ttProbeMoves(tt, record.searchKey, list);
  if (count <= 0) {
    count = generateMoves<R>(record.board, record.candidates, player, list, INNER_MOVES, &tt,
                             record.searchKey);
  }
  if (count <= 0) return LOSS_SCORE;

  // The children's entries are known now; start loading them before the
  // probes below need them.
  for (int32_t i = 0; i < count; ++i) {
    if (list[i] < MAX_CELLS) ttPrefetch(tt, record.searchKey ^ zobristKey(player, list[i]));
  }

  // Step 5. Search the moves in order, principal variation style: once a
  // move has raised alpha, the others are first tried with a null window
  // and searched again with the full one only if they beat it. Each child
  // is answered by the table when it can be, and a child at depth 0 is
  // judged without putting its stone down.
  const int32_t opponent = opponentOf(player);
  const int8_t childDepth = static_cast<int8_t>(depth - 1);
  int32_t best = LOSS_SCORE;
  uint8_t bound = BOUND_UPPER;
  bool pvFound = false;

  for (int32_t i = 0; i < count; ++i) {
    const Square m = list[i];
    // A list from the table may belong to another position with the same
    // index: skip what is not an empty square of this board.
    if (static_cast<int16_t>(m) < 0 || m >= record.board.cellCount ||
        threatCellOf(record.board, m).stone != EMPTY) {
      continue;
    }
    const uint64_t moveKey = zobristKey(player, m);
    record.searchKey ^= moveKey;
    int32_t v = 0;
    if (pvFound) {
      bool searched = false;
      int32_t r = ttProbe(tt, record.searchKey, childDepth, -alpha - 1, -alpha);
      if (r != TT_MISS) {
        v = -r;
        searched = true;
        if (alpha < v && v < beta) {
          r = ttProbe(tt, record.searchKey, childDepth, -beta, -alpha);
          searched = r != TT_MISS;
          if (searched) v = -r;
        }
      }
      if (!searched && childDepth <= 0) {
        v = -leafValue<R>(context, m, player);
        // The re-search of a leaf gives the same value. The call is made
        // all the same, so that the leaf is counted again as every
        // re-searched child is: the bench's node total records it.
        if (alpha < v && v < beta) v = -leafValue<R>(context, m, player);
      } else if (!searched) {
        // The child's first probe is usually of its stored first move: that
        // entry loads while the stone goes down.
        ttPrefetchFirstReply(tt, record.searchKey, opponent);
        pushStone<R>(record.board, m, player);
        v = -alphaBeta<R>(context, childDepth, -alpha - 1, -alpha, m, opponent);
        if (alpha < v && v < beta)
          v = -alphaBeta<R>(context, childDepth, -beta, -alpha, m, opponent);
        popStone<R>(record.board, m);
      }
    } else {
      const int32_t r = ttProbe(tt, record.searchKey, childDepth, -beta, -alpha);
      if (r != TT_MISS) {
        v = -r;
      } else if (childDepth <= 0) {
        v = -leafValue<R>(context, m, player);
      } else {
        ttPrefetchFirstReply(tt, record.searchKey, opponent);  // as above
        pushStone<R>(record.board, m, player);
        v = -alphaBeta<R>(context, childDepth, -beta, -alpha, m, opponent);
        popStone<R>(record.board, m);
      }
    }
    record.searchKey ^= moveKey;

    // Step 6. Judge the child's value: a win ends the node with the winning
    // move first in its stored list; a lost move is dropped from the list
    // for good; a cut-off stores a lower bound; a new best moves to the
    // front.
    if (v == WIN_SCORE) {
      moveToFront(list, i);
      ttStore(tt, record.searchKey, static_cast<int8_t>(depth), WIN_SCORE, BOUND_EXACT, list,
              count);
      return WIN_SCORE;
    }
    if (v == LOSS_SCORE) list[i] = NO_SQUARE;
    if (v >= beta) {
      ttStore(tt, record.searchKey, static_cast<int8_t>(depth), v, BOUND_LOWER, list, count);
      return v;
    }
    if (v > best) {
      best = v;
      if (v > alpha) {
        moveToFront(list, i);
        pvFound = true;
        bound = BOUND_EXACT;
        alpha = v;
      }
    }
  }

  // Step 7. Store the result with the reordered list
  ttStore(tt, record.searchKey, static_cast<int8_t>(depth), best, bound, list, count);
  return best;
}

namespace {

// Position of m among the first count entries of list, or -1.
int32_t findMove(const Square* list, int32_t count, Square m) {
  for (int32_t j = 0; j < count; ++j) {
    if (list[j] == m) return j;
  }
  return -1;
}

// One root move at depth d: the table first, under the same windows as a
// search would use, then the search itself.
template <RuleIndex R>
int32_t searchRootMove(SearchContext& context, Square m, int32_t d, int32_t alpha, bool pvFound,
                       int32_t player) {
  SearchRecord& record = context.record;
  const int8_t childDepth = static_cast<int8_t>(d - 1);
  const int32_t opponent = opponentOf(player);
  const uint64_t key = record.searchKey;
  if (pvFound) {
    int32_t r = ttProbe(context.tt, key, childDepth, -alpha - 1, -alpha);
    if (r != TT_MISS) {
      const int32_t v = -r;
      if (v <= alpha || v >= WIN_SCORE) return v;
      r = ttProbe(context.tt, key, childDepth, LOSS_SCORE, -alpha);
      if (r != TT_MISS) return -r;
    }
  } else {
    const int32_t r = ttProbe(context.tt, key, childDepth, LOSS_SCORE, -alpha);
    if (r != TT_MISS) return -r;
  }
  pushStone<R>(record.board, m, player);
  int32_t v;
  if (pvFound) {
    v = -alphaBeta<R>(context, childDepth, -alpha - 1, -alpha, m, opponent);
    if (alpha < v && v < WIN_SCORE)
      v = -alphaBeta<R>(context, childDepth, LOSS_SCORE, -alpha, m, opponent);
  } else {
    v = -alphaBeta<R>(context, childDepth, LOSS_SCORE, -alpha, m, opponent);
  }
  popStone<R>(record.board, m);
  return v;
}

// Tells the observer, if any, about the iteration of depth d that found
// `score` with root move m. The line after m is read from the table without
// writing it, so a search observed and one not observed visit the same
// nodes.
template <RuleIndex R>
void reportIteration(const SearchContext& context, int32_t d, int32_t score, Square m) {
  if (context.observer.iterationDone == nullptr || m == NO_SQUARE) return;
  const SearchRecord& record = context.record;
  IterationReport report;
  report.depth = d;
  report.score = score;
  report.nodes = record.nodeCount;
  report.elapsedMs = clockMs() - context.clock.moveStartTime.load(std::memory_order_relaxed);
  report.line[0] = m;
  report.lineLength = 1;
  int32_t mover = record.sideToMove;
  uint64_t key = record.searchKey ^ zobristKey(mover, m);
  while (report.lineLength < d && report.lineLength < MAX_SEARCH_DEPTH) {
    const Square reply = ttFirstMove(context.tt, key);
    if (reply >= record.board.cellCount || threatCellOf(record.board, reply).stone != EMPTY ||
        findMove(report.line, report.lineLength, reply) >= 0) {
      break;
    }
    report.line[report.lineLength++] = reply;
    mover = opponentOf(mover);
    key ^= zobristKey(mover, reply);
  }
  context.observer.iterationDone(context.observer.context, report);
}

// Iterative deepening over the root moves; returns the move to play. Leaves
// through SearchTimeout when the clock runs out inside an iteration.
//
// The root keeps two lists: rootMoves, searched in this iteration, and
// nextRootMoves, its copy reordered as results come in, which the next
// iteration searches. A move that improves alpha goes to the front of the
// next list; a lost move goes to its end and out of the live part for good.
template <RuleIndex R>
Square deepen(SearchContext& context, int32_t maxDepth) {
  SearchRecord& record = context.record;
  const int32_t player = record.sideToMove;
  const int32_t generated = generateRootMoves<R>(record.board, record.candidates, player,
                                                 record.rootMoves, MAX_ROOT_MOVES);
  record.rootMoveCount = generated;
  record.iterationDepth = 1;
  for (;;) {
    const int32_t d = record.iterationDepth;

    // Step 1. Start the iteration's clock and its copy of the list
    record.iterationStartTime = clockMs();
    record.nextRootMoveCount = record.rootMoveCount;
    std::memcpy(record.nextRootMoves, record.rootMoves, sizeof(record.rootMoves));

    // Step 2. No move, or a single one, needs no search
    if (record.rootMoveCount <= 0) return record.bestMove;
    if (record.rootMoveCount == 1) {
      record.bestMove = record.rootMoves[0];
      return record.bestMove;
    }

    // Step 3. Search every root move to depth d
    int32_t alpha = LOSS_SCORE;
    bool pvFound = false;
    record.iterationBest = NO_SQUARE;
    for (int32_t i = 0; i < record.rootMoveCount; ++i) {
      const Square m = record.rootMoves[i];
      const uint64_t moveKey = zobristKey(player, m);
      record.searchKey ^= moveKey;
      const int32_t v = searchRootMove<R>(context, m, d, alpha, pvFound, player);
      record.searchKey ^= moveKey;
      if (v >= WIN_SCORE) {
        record.bestMove = m;
        reportIteration<R>(context, d, WIN_SCORE, m);
        return m;
      }
      if (v == LOSS_SCORE) {
        int32_t j = findMove(record.nextRootMoves, record.nextRootMoveCount, m);
        if (j >= 0) {
          for (; j + 1 < record.nextRootMoveCount; ++j) {
            record.nextRootMoves[j] = record.nextRootMoves[j + 1];
            record.nextRootMoves[j + 1] = m;
          }
          --record.nextRootMoveCount;
        }
        continue;
      }
      if (v > alpha) {
        record.iterationBest = m;
        const int32_t j = findMove(record.nextRootMoves, record.nextRootMoveCount, m);
        if (j > 0) moveToFront(record.nextRootMoves, j);
        alpha = v;
        pvFound = true;
      }
    }

    // Step 4. Every move lost: keep the previous iteration's move
    if (record.iterationBest == NO_SQUARE) {
      reportIteration<R>(context, d, LOSS_SCORE, record.bestMove);
      return record.bestMove;
    }
    record.bestMove = record.iterationBest;
    reportIteration<R>(context, d, alpha, record.iterationBest);

    // Step 5. Stop when the next iteration, which should take at least
    // twice as long as this one, would not fit in the time left
    if (2 * (clockMs() - record.iterationStartTime) >= timeRemaining(context.clock)) {
      return record.bestMove;
    }

    // Step 6. Narrow the list for the next iteration and go one ply deeper
    record.nextRootMoveCount = narrowedRootCount(record.nextRootMoveCount, d, generated);
    record.rootMoveCount = record.nextRootMoveCount;
    std::memcpy(record.rootMoves, record.nextRootMoves, sizeof(record.rootMoves));
    if (++record.iterationDepth > maxDepth) return record.bestMove;
  }
}

// The move when the clock runs out in the first iteration, which only the
// forbidden-move test can do (under Renju, black to move, while it tests a
// root move): a move that is legal without that test's answer. First the
// root move that leads so far, which was searched to the end, its own test
// included, and not lost; else, on the board rebuilt without the temporary
// and searched stones, the first root move whose own lines settle the test
// as allowed, and then the first such square of the board. So no square
// is played that a finished test would call forbidden while a square with a
// settled answer exists (NO_SQUARE only when every empty square needs a
// test). And no time is lost: the test gives up within one poll, some 30
// microseconds, of the deadline, and these need no temporary stone, so they
// take microseconds more, well inside the turn limit's reserve.
template <RuleIndex R>
Square firstIterationMove(SearchRecord& record) {
  if (record.iterationBest != NO_SQUARE) return record.iterationBest;
  ThreatBoard& board = record.board;
  fillThreatBoard<R>(board, record.position);
  const bool black = record.sideToMove == BLACK;
  for (int32_t i = 0; i < record.rootMoveCount; ++i) {
    if (!black || allowedByItsLines(board, record.rootMoves[i])) return record.rootMoves[i];
  }
  for (int32_t i = 0; i < board.cellCount; ++i) {
    const Square s = static_cast<Square>(i);
    if (threatCellOf(board, s).stone == EMPTY && (!black || allowedByItsLines(board, s))) return s;
  }
  return NO_SQUARE;
}

}  // namespace

// A search to depth d has at most d of its stones on the board at once.
static_assert(MAX_SEARCH_DEPTH <= MAX_PUSHED_STONES);

template <RuleIndex R>
Square searchRoot(SearchRecord& record, TranspositionTable& tt, const MoveClock& clock,
                  int32_t maxDepth, const SearchObserver& observer) {
  prepareSearch<R>(record);
  SearchContext context{record, tt, clock, ForbiddenPoll{pollForbiddenClock, &clock}, observer};
  try {
    return deepen<R>(context, maxDepth < MAX_SEARCH_DEPTH ? maxDepth : MAX_SEARCH_DEPTH);
  } catch (const SearchTimeout&) {
    // The interrupted iteration's results are dropped; the stones it left on
    // the board are rebuilt by the next prepareSearch.
    if (record.iterationDepth == 1) record.bestMove = firstIterationMove<R>(record);
    return record.bestMove;
  }
}

Square searchRoot(RuleIndex rule, SearchRecord& record, TranspositionTable& tt,
                  const MoveClock& clock, int32_t maxDepth, const SearchObserver& observer) {
  return withRule(
      rule, [&](auto tag) { return searchRoot<tag.rule>(record, tt, clock, maxDepth, observer); });
}

#define KESTRIX_INSTANTIATE(R)                                                                 \
  template void prepareSearch<R>(SearchRecord&);                                               \
  template int32_t alphaBeta<R>(SearchContext&, int32_t, int32_t, int32_t, Square, int32_t);   \
  template Square searchRoot<R>(SearchRecord&, TranspositionTable&, const MoveClock&, int32_t, \
                                const SearchObserver&);
KESTRIX_EACH_RULE(KESTRIX_INSTANTIATE)
#undef KESTRIX_INSTANTIATE

}  // namespace kestrix
