#pragma once
// Money at the end of a hole: antes into the pot, stroke play and skins winners at the last hole,
// Vegas payments between every pair of players on every hole, and who reports what.

#include "game/rules/match_rules.h"
#include "game/rules/rule_reports.h"

namespace rules {

// Does nothing until every player's hole is over, and settles each hole once.
void SettleHole(MatchRules& match, const RuleOptions& options, int localSlot, RuleReports& reports);

}  // namespace rules
