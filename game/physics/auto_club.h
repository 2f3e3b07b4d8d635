#pragma once
// Beginner help: the club is chosen for the player from the distance to the pin, and a mark on
// the gauge shows how far to swing the short clubs.

#include <cstdint>

namespace physics {

// The club for a ball pinDistance yards from the pin; currentClub when no rule picks one.
uint8_t AutomaticClub(uint8_t surface, uint8_t lieClass, float pinDistance, uint8_t currentClub);

// 1-8 along the gauge: scaled by distance for PW, SW and the putter, 8 (full) for the others.
int GaugeHintMark(int club, float pinDistance);

}  // namespace physics
