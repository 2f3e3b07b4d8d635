#pragma once
// Setting up a turn on every client once the turn announcement arrived: the shot record gets the
// shooter's ball, the aim, the club and the slope under the ball; the stroke is counted and the
// tee-shot contests are decided.

#include "game/physics/hole_marks.h"
#include "game/physics/shot_input.h"
#include "game/physics/shot_world.h"
#include "game/rules/match_rules.h"

namespace rules {

struct TurnPreparation {
    int nearestWinner = kNoPlayer;  // decided on this turn; the match driver announces it
    int longestWinner = kNoPlayer;
    int gaugeHintMark = 8;  // beginner level: where the gauge mark is drawn
};

// shot holds the turn announcement (player and lie class). A record naming no player of the match
// is left alone.
TurnPreparation PrepareTurn(physics::ShotInput& shot, MatchRules& match, const RuleOptions& options,
                            const physics::HoleMarks& marks, const physics::ShotWorld& world);

// On long holes a ball still short of half the way to the layup point aims there; else at the pin.
platform::Vec3 AimTarget(const physics::HoleMarks& marks, platform::Vec3 pin, platform::Vec3 ball, int par);

}  // namespace rules
