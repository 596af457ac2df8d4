#include "threats/stones.h"

namespace kestrix {

template void placeStone<RULE_FREESTYLE>(SearchRecord&, Square, int32_t);
template void placeStone<RULE_STANDARD>(SearchRecord&, Square, int32_t);
template void placeStone<RULE_RENJU>(SearchRecord&, Square, int32_t);
template void removeStone<RULE_FREESTYLE>(SearchRecord&, Square);
template void removeStone<RULE_STANDARD>(SearchRecord&, Square);
template void removeStone<RULE_RENJU>(SearchRecord&, Square);

const PlaceStoneFn placeStoneByRule[RULE_COUNT] = {
    &placeStone<RULE_FREESTYLE>, &placeStone<RULE_STANDARD>, &placeStone<RULE_RENJU>};

}  // namespace kestrix
