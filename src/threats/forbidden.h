// Kestrix: the Renju forbidden-move test.
//
// True when a black stone on s (empty, or holding the black stone in
// question) is an overline, a double four or a real double three, and makes
// no five. A three is real only if one of its open-four squares is free of
// fives and not itself forbidden, which the test settles by calling itself
// with a temporary stone. The answer depends on the board alone, and the
// board is left bit for bit as it was, but for the memo.
//
// Each level of the recursion fills one more empty square, so it is never
// deeper than the board has empty squares, at 100 to 400 bytes of stack a
// level (optimised to sanitized builds). Followed depth first, its work can
// grow exponentially on large boards crowded with interlocking threes, so
// the test searches in passes of growing depth and keeps the verdicts it
// has settled in the board's memo. It has no bound of its own: on the
// hardest boards we built, long columns of black pairs on 27 to 32 rows, it
// puts down up to some 2,100 temporary stones for one square, in under
// 0.2 ms.
//
// A caller with a clock to keep passes a ForbiddenPoll. The test calls it
// every FORBIDDEN_POLL_STONES temporary stones, and the poll may throw to
// abandon the test: the temporary stones then stay on the board, which the
// caller must build again before it asks anything else of it (the search
// does so before every search).
#pragma once

#include <cstdint>

#include "position/types.h"
#include "threats/threat_board.h"

namespace kestrix {

struct ForbiddenPoll {
  void (*poll)(const void* context);
  const void* context;
};

// Some 30 microseconds of temporary stones between polls.
inline constexpr uint32_t FORBIDDEN_POLL_STONES = 256;

bool isForbidden(ThreatBoard& board, Square s, const ForbiddenPoll* poll = nullptr);

// Whether the four lines through the empty square s, as they stand, let a
// black stone go there without a temporary stone's help: it makes five, or
// it makes fewer than two threes and no overline or double four.
bool allowedByItsLines(const ThreatBoard& board, Square s);

}  // namespace kestrix
