#pragma once
// The fourteen clubs and what each does to a shot. Constant data, never changed at run time.

#include <cstdint>

namespace physics {

inline constexpr int kClubCount = 14;

// Club indices the rules compare against: 0-3 woods, 4-10 irons, 11 PW, 12 SW, 13 putter.
enum ClubIndex : uint8_t {
    kClubDriver = 0,
    kClubWood3 = 1,
    kClubWood4 = 2,
    kClubWood5 = 3,
    kClubIron3 = 4,
    kClubIron4 = 5,
    kClubIron5 = 6,
    kClubIron6 = 7,
    kClubIron7 = 8,
    kClubIron8 = 9,
    kClubIron9 = 10,
    kClubPitchingWedge = 11,
    kClubSandWedge = 12,
    kClubPutter = 13,
};

struct ClubSpec {
    char name[20];          // shown in the HUD, "Wood 1"
    char nickname[20];      // "Driver"; empty for the putter
    char code[10];          // "W1" ... "SW", "P " for the putter
    float carry;            // nominal carry, yards
    float loft;             // launch elevation of a clean hit, degrees
    float speed;            // launch speed of a perfect hit, yards per second
    float gaugeRate;        // swing gauge speed before lie and option multipliers, units per second
    float powerTolerance;   // power error still counted as clean
    float powerLoss;        // speed fraction lost per unit of power error
    float overPowerFactor;  // speed factor once the power error reaches the tolerance
    float mishitLoss;       // speed fraction lost per unit of error beyond a tolerance
    float impactTolerance;  // impact error still counted as clean
    float curvePerError;    // degrees of sideways deviation per unit of signed impact error
    float mishitLoft;       // launch elevation once the impact error reaches its tolerance, degrees
};

// Swing kinds carried by the shot record; 3 marks a mis-hit.
enum SwingKind : uint8_t {
    kSwingWood = 0,
    kSwingIron = 1,
    kSwingWedge = 2,
    kSwingMishit = 3,
    kSwingPutter = 4,
};

extern const ClubSpec kClubSpecs[kClubCount];
extern const uint32_t kClubSwingKinds[kClubCount];

// index must be 0-13.
const ClubSpec& ClubRow(int club);
uint8_t SwingKindOfClub(int club);

inline bool IsWood(int club) {
    return club <= kClubWood5;
}
inline bool IsIron(int club) {
    return club >= kClubIron3 && club <= kClubIron9;
}
// The clubs with which a player may choose the bite (backspin) shot: 7 to 12.
inline bool BiteOffered(int club) {
    return club >= 7 && club <= 12;
}

}  // namespace physics
