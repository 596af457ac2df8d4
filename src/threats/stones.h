// Kestrix: placing and removing stones on the search's own board.
//
// placeStone and removeStone keep, for every square, the line codes of both
// players and the count of stones nearby, and for every player the threat
// tallies (patternScore, classCount), exactly up to date. They are the
// engine's innermost loop. One template serves all rules; the rule only
// chooses the line table that scores a stone (lineTableFor).
//
// Neither touches the Zobrist key: the search folds keys itself.
#pragma once

#include <cstdint>

#include "position/types.h"
#include "threats/search_record.h"

namespace kestrix {

template <RuleIndex R>
void placeStone(SearchRecord& record, Square s, int32_t player);

template <RuleIndex R>
void removeStone(SearchRecord& record, Square s);

using PlaceStoneFn = void (*)(SearchRecord&, Square, int32_t);
extern const PlaceStoneFn placeStoneByRule[RULE_COUNT];

}  // namespace kestrix
