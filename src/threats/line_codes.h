// Kestrix: the line codes of the threat board, and how a stone changes
// them.
//
// Every square carries, per direction and player, the line code of the ten
// cells around it on that line (the digits and their weights are those of
// the pattern tables): digit 0 empty, 1 the player's own stone, 2 blocked
// (the other player, a NEUTRAL mark or off the board).
//
// A stone on q changes the codes of the cells within five of q along the
// four lines. From a cell at distance k on the positive side, q lies at -k
// (weight 3^(2k-2)); from a cell on the negative side it lies at +k (weight
// 3^(2k-1)). In the line arrays these cells are the five slots on either
// side of q's slot; border slots take the change like any other, and
// nothing reads their codes.
#pragma once

#include <array>
#include <cstdint>

#include "position/pattern_tables.h"
#include "position/types.h"
#include "threats/threat_board.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrix {

// Digit that a stone of code s (row) writes into the view of player p
// (column, BLACK or WHITE).
inline constexpr int32_t SLOT_DIGIT[4][4] = {
    {0, 0, 0, 0}, {0, 1, 2, 0}, {0, 2, 1, 0}, {0, 2, 2, 0}};

// What a stone of code s on slot q adds to the codes of the slots q + k,
// k = -5..6: lanes[2 * (k + 5)] to BLACK's view, the next lane to WHITE's.
// Slot q itself and slot q + 6 take 0; they round the run up to three
// vectors of eight lanes.
struct alignas(16) CodeShift {
  uint16_t lanes[24];
};

inline constexpr auto CODE_SHIFT = [] {
  std::array<CodeShift, 4> shifts{};
  for (int32_t s = BLACK; s <= NEUTRAL; ++s) {
    for (int32_t k = -5; k <= 5; ++k) {
      const int32_t weight = DIGIT_WEIGHT[5 - k];
      shifts[s].lanes[2 * (k + 5)] = static_cast<uint16_t>(SLOT_DIGIT[s][BLACK] * weight);
      shifts[s].lanes[2 * (k + 5) + 1] = static_cast<uint16_t>(SLOT_DIGIT[s][WHITE] * weight);
    }
  }
  return shifts;
}();

// Adds (Sign +1) or subtracts (Sign -1) the change of a stone of code s to
// the codes around `codes`, the slot of its square in one direction's array:
// the same sums as adding each lane on its own, with 16-bit wrap-around.
template <int32_t Sign>
inline void shiftLineCodes(uint16_t (*codes)[2], int32_t s) {
  const uint16_t* shift = CODE_SHIFT[s].lanes;
  uint16_t* first = codes[-5];
#if defined(__SSE2__)
  for (int32_t i = 0; i < 3; ++i) {
    __m128i* at = reinterpret_cast<__m128i*>(first + 8 * i);
    const __m128i amount = _mm_load_si128(reinterpret_cast<const __m128i*>(shift + 8 * i));
    const __m128i now = _mm_loadu_si128(at);
    _mm_storeu_si128(at, Sign > 0 ? _mm_add_epi16(now, amount) : _mm_sub_epi16(now, amount));
  }
#else
  for (int32_t i = 0; i < 24; ++i) first[i] = static_cast<uint16_t>(first[i] + Sign * shift[i]);
#endif
}

// Bit k + 5 set for every k in -5..5 other than 0 where stones[k] holds
// `stone`: the stones of that code around a slot of one direction's array.
// Reads the slots from -5 to +10.
inline uint32_t stonesAround(const uint8_t* stones, int32_t stone) {
  constexpr uint32_t AROUND = 0x7ff & ~(uint32_t{1} << 5);
#if defined(__SSE2__)
  const __m128i slots = _mm_loadu_si128(reinterpret_cast<const __m128i*>(stones - 5));
  const __m128i same = _mm_cmpeq_epi8(slots, _mm_set1_epi8(static_cast<char>(stone)));
  return static_cast<uint32_t>(_mm_movemask_epi8(same)) & AROUND;
#else
  uint32_t bits = 0;
  for (int32_t k = -5; k <= 5; ++k) bits |= uint32_t{stones[k] == stone} << (k + 5);
  return bits & AROUND;
#endif
}

// Change of every code within five cells of q when a stone of code s
// (BLACK, WHITE or NEUTRAL) is put on q or taken from it. The stone fields
// are the caller's business.
void addStoneCodes(ThreatBoard& board, Square q, int32_t s);
void takeStoneCodes(ThreatBoard& board, Square q, int32_t s);

}  // namespace kestrix
