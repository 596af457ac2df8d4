// Kestrix: the root search, one instantiation per rule.
//
// searchRoot prepares the search's own board from the Position in the
// record, generates the root moves once and deepens an alpha-beta search
// over them until a win or loss is proven, the next iteration would not fit
// in the time left, maxDepth is done, or the clock runs out inside an
// iteration; it returns the move of the last finished iteration, or
// NO_SQUARE when it found none.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "search/tt.h"
#include "session/move_clock.h"
#include "threats/search_record.h"

namespace kestrix {

inline constexpr int32_t WIN_SCORE = 2000000000;
inline constexpr int32_t LOSS_SCORE = -2000000000;
inline constexpr int32_t MAX_SEARCH_DEPTH = 99;

template <RuleIndex R>
Square searchRoot(SearchRecord& record, TranspositionTable& tt, const MoveClock& clock,
                  int32_t maxDepth = MAX_SEARCH_DEPTH);

using SearchRootFn = Square (*)(SearchRecord&, TranspositionTable&, const MoveClock&, int32_t);
extern const SearchRootFn searchRootByRule[RULE_COUNT];

}  // namespace kestrix
