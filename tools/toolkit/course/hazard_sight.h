#pragma once
// Whether a player on the line of play can see the water and bunkers ahead: from viewpoints along
// the line (the game's eye, 8 yards behind the ball and 2.56 yards above it), sample points spread
// over each hazard are tested for a clear line of sight over the ground. A hazard sunk out of
// sight between its banks, or hidden behind a rise from everywhere it could be seen from, is a
// mistake in the hole's description or the ground it makes.

#include <string>
#include <vector>

#include "tools/toolkit/course/hole_field.h"

namespace tools {

struct HazardSight {
    std::string what;       // "water 1", "bunker 3"
    Vec2 bestViewpoint;     // the ball position it is seen best from
    double bestShare = 0;   // share of its sample points seen from there (0-1)
    bool inRange = false;   // whether any viewpoint of the line of play is within range of it
    double leastShare = 0;  // seen less than this, it counts as hidden
};

// Water is flat and must show well; a bunker shows its far face while its floor may hide.
inline constexpr double kLeastVisibleWater = 0.3;
inline constexpr double kLeastVisibleSand = 0.15;

std::vector<HazardSight> HazardSights(const HoleField& field);

// Fails naming the first hidden hazard ("file: water 1 cannot be seen from the line of play..."),
// or when the ground hides the top of the flag from the tee.
bool CheckHazardsVisible(const HoleField& field, std::string& error);

// Whether the upper half of the flag (1.5 to 3 yards above the pin) shows over the ground from the
// game's eye behind the tee.
bool FlagSeenFromTee(const HoleField& field);

}  // namespace tools
