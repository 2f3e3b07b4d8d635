#pragma once
// The side contests once every tee shot is played: nearest to the pin on par 3 holes, longest
// drive on par 5 holes.

#include "game/rules/match_rules.h"

namespace rules {

// Both run while the turn after the last tee shot is prepared, after that turn's stroke was
// counted for shooter. They set and return the winner, or kNoPlayer when there is no contest or no
// candidate; the match driver announces a winner.
int CheckNearest(MatchRules& match, const RuleOptions& options, int shooter);
int CheckLongest(MatchRules& match, const RuleOptions& options, int shooter);

}  // namespace rules
