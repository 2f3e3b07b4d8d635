#pragma once
// The match driver's step between two turns: after the hole is over it only asks for the next
// hole; otherwise it places the pin at the first stroke, picks the shooter, draws his lie, moves
// the wind and announces the turn. Everything drawn travels in the announcements.

#include "game/physics/hole_marks.h"
#include "game/physics/pin_placement.h"
#include "game/physics/shot_input.h"
#include "game/physics/wind.h"
#include "game/rules/match_rules.h"

namespace physics {

struct DriverView {
    const ShotWorld* world = nullptr;
    int skyCount = 0;
    Wind wind;                       // as last announced
    int8_t lastContactSurface = -1;  // last ground contact of the most recent simulated shot
    int localSlot = 0;
    int skippedPlayer = kNoPlayer;  // the last shooter who ran out of time
};

struct TurnAnnouncement {
    bool holeOver = false;   // announce the next hole instead of a turn
    bool pinPlaced = false;  // announce the pin and sky
    PinChoice pin;
    Wind wind;       // announce the wind
    ShotInput turn;  // announce the turn: the current record with shooter and lie class
};

// current is the shot record as it stands; the new pin is applied to match.pin and marks at once.
TurnAnnouncement NextTurnStep(MatchRules& match, const RuleOptions& options, HoleMarks& marks,
                              const ShotInput& current, const DriverView& view, Rand15& rand);

}  // namespace physics
