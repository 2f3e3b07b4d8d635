#pragma once
// Who plays next: tee order at the start of a hole, then the ball farthest from the pin; in team
// play the two sides alternate their players.

#include "game/rules/match_rules.h"

namespace rules {

// Called by the match driver after the previous shot ended. skippedPlayer is the last shooter who
// ran out of time (kNoPlayer if none): he plays last unless everyone else has finished. At the
// first turn of a hole it also fixes match.teeOrder.
int NextShooter(MatchRules& match, const RuleOptions& options, int localSlot, int skippedPlayer);

}  // namespace rules
