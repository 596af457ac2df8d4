// Kestrix: the rules of the game, in one place.
//
// Each rule is a RuleIndex. The search's stone handling, move generation
// and alpha-beta are written once as templates over it and instantiated
// once per rule, so that a search never asks which rule it plays under.
// A rule known only at run time (the manager's INFO rule) becomes a template
// argument through withRule, and through nothing else.
//
// Adding a rule means extending RuleIndex, RULE_COUNT, RULE_NAMES and
// KESTRIX_EACH_RULE below, ruleFromManager if managers can ask for it, and
// giving it its tables in position/pattern_tables. A rule left out of one of
// these does not compile: the counts are checked below, withRule's switch
// names every rule (-Wswitch, an error in the CI builds), and the choice of
// tables names every rule it knows.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <iterator>

namespace kestrix {

enum RuleIndex : int32_t {
  RULE_FREESTYLE = 0,  // five or more in a row wins
  RULE_STANDARD = 1,   // exactly five wins
  RULE_RENJU = 2,      // exactly five, and black may not overline, double four or double three
};
inline constexpr int32_t RULE_COUNT = 3;

// The names the engine describes a board with, and the benchmark prints.
inline constexpr const char* RULE_NAMES[] = {"Freestyle", "Standard", "Renju"};
static_assert(std::size(RULE_NAMES) == RULE_COUNT);

inline const char* ruleName(RuleIndex rule) {
  return RULE_NAMES[rule];
}

// The manager's INFO rule value: bit 4 is Renju, else bit 1 is exactly
// five, else free-style. Other bits mean nothing to us.
inline constexpr RuleIndex ruleFromManager(int32_t value) {
  return (value & 4) != 0 ? RULE_RENJU : (value & 1) != 0 ? RULE_STANDARD : RULE_FREESTYLE;
}

// Applies X to every rule: the one list that explicit instantiations and
// withRule are written from.
#define KESTRIX_EACH_RULE(X) X(RULE_FREESTYLE) X(RULE_STANDARD) X(RULE_RENJU)

#define KESTRIX_COUNT_RULE(R) +1
static_assert(0 KESTRIX_EACH_RULE(KESTRIX_COUNT_RULE) == RULE_COUNT);
#undef KESTRIX_COUNT_RULE

template <RuleIndex R>
struct RuleTag {
  static constexpr RuleIndex rule = R;
};

// Calls body(RuleTag<R>{}) for the rule R that `rule` holds, and returns
// what it returns.
template <typename Body>
decltype(auto) withRule(RuleIndex rule, Body&& body) {
#define KESTRIX_RULE_CASE(R) \
  case R:                    \
    return body(RuleTag<R>{});
  switch (rule) { KESTRIX_EACH_RULE(KESTRIX_RULE_CASE) }
#undef KESTRIX_RULE_CASE
  // A RuleIndex comes from ruleFromManager or from the names above, so this
  // is never reached; playing on under some other rule would be a worse
  // fault than stopping.
  std::abort();
}

}  // namespace kestrix
