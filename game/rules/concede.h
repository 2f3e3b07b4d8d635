#pragma once
// Conceding the last short putt of a hole: when the other players may vote, and what a vote does.

#include "game/physics/shot_input.h"
#include "game/rules/match_rules.h"

namespace rules {

inline constexpr float kGiveDistance = 1.0f;

// Whether the local player may concede the current shooter's putt: the give button is live.
bool GiveAllowed(const MatchRules& match, const RuleOptions& options, int localSlot,
                 const physics::ShotInput& current);

struct ConcedeOutcome {
    bool announceGiver = false;  // the shooter's client shows who conceded
    bool conceded = false;       // every other player conceded: the ball is holed, send the shot end
};

// A concede vote from voter arrived; every client records it. On the shooter's own client, before
// the swing started, enough votes hole the ball at the pin with this turn's stroke counted.
// concedeAllowed is the match flow's once-per-hole permission.
ConcedeOutcome ApplyConcedeVote(MatchRules& match, const RuleOptions& options, int voter, int localSlot,
                                bool swingStarted, bool concedeAllowed, physics::ShotInput& current);

}  // namespace rules
