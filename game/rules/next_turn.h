#pragma once
// The match driver's step between two turns: after the hole is over it only asks for the next
// hole; otherwise it places the pin at the first stroke, picks the shooter, draws his lie, moves
// the wind and announces the turn. Everything drawn travels in the announcements.

#include "game/physics/hole_marks.h"
#include "game/physics/pin_placement.h"
#include "game/physics/shot_input.h"
#include "game/physics/wind.h"
#include "game/rules/match_rules.h"

namespace rules {

struct DriverView {
    const physics::ShotWorld* world = nullptr;
    int skyCount = 0;
    physics::Wind wind;              // as last announced
    int8_t lastContactSurface = -1;  // last ground contact of the most recent simulated shot
    int localSlot = 0;
    int skippedPlayer = kNoPlayer;  // the last shooter who ran out of time
};

struct TurnAnnouncement {
    bool holeOver = false;   // announce the next hole instead of a turn
    bool pinPlaced = false;  // announce the pin and sky
    physics::PinChoice pin;
    physics::Wind wind;       // announce the wind
    physics::ShotInput turn;  // announce the turn: the current record with shooter and lie class
};

// current is the shot record as it stands; the new pin is applied to match.pin and marks at once.
TurnAnnouncement NextTurnStep(MatchRules& match, const RuleOptions& options, physics::HoleMarks& marks,
                              const physics::ShotInput& current, const DriverView& view, core::Rand15& rand);

}  // namespace rules
