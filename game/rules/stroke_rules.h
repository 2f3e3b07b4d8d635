#pragma once
// Counting strokes and applying the end of a shot to the match record.

#include "game/physics/gauge.h"
#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"
#include "game/rules/match_rules.h"
#include "game/rules/rule_reports.h"

namespace rules {

// A stroke is counted when the turn begins; partners in team play share the count.
void StartStroke(MatchRules& match, const RuleOptions& options, int player);

// The shot record after the simulation arrived: charges for a lost ball and for the power shot,
// relocation, bookkeeping, the team copy, then the hole settlement once everyone is done.
// localSlot is this client's player (-1 for an observer); only the shooter's own client reports
// its charges. Without a world (no hole loaded) the ball stays where it came to rest. A record
// naming no player of the match changes nothing.
RuleReports ShotEnded(MatchRules& match, const RuleOptions& options, physics::ShotInput& shot, int localSlot,
                      physics::SpinChoice& spin, const physics::ShotWorld* world);

}  // namespace rules
