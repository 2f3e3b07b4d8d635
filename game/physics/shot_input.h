#pragma once
// The shot record every client simulates the same ball from. In memory it is a plain record; on the
// wire it is 102 packed little-endian bytes (see the lobby link's pack and unpack functions).

#include <cstdint>

#include "platform/vecmath.h"

namespace physics {

using platform::Vec3;

inline constexpr int kShotInputWireSize = 102;

enum LieClass : uint8_t {
    kLieTeed = 0,
    kLieClean = 1,
    kLieFairwayBad = 2,
    kLieRough = 3,
    kLieDeepRough = 4,
    kLieSand = 5,
    kLieBuriedSand = 6,
    kLiePutting = 7,
};

struct ShotInput {
    uint8_t player = 0;         // shooting player's slot 0-3
    float pinDistance = 0.0f;   // yards from the ball to the pin at the start of the turn
    uint8_t surface = 0;        // surface kind under the ball; overwritten with the resting surface
    uint8_t startSurface = 0;   // surface kind at the start of the turn
    uint8_t lieClass = 0;       // LieClass
    uint8_t club = 0;           // 0-13
    uint8_t swingKind = 0;      // 0 woods, 1 irons, 2 PW/SW, 3 mis-hit, 4 putter
    Vec3 aimTarget;             // the point aimed at
    Vec3 ballPos;               // start position; overwritten with the resting position
    Vec3 startPos;              // start position (kept)
    float powerError = 0.0f;    // gauge power error
    uint8_t powerShot = 0;      // 1: power shot chosen
    uint8_t bite = 0;           // 1: backspin (bite) shot chosen
    float launchSpeed = 0.0f;   // yards per second
    float elevation = 0.0f;     // degrees, 0-70
    float curveRate = 0.0f;     // degrees per second of flight, -45..45
    float push = 0.0f;          // degrees off the aim line, -45..45
    Vec3 wind;                  // yards per second, y = 0
    uint8_t finished = 0;       // 1: this player's hole is over
    uint8_t limitReached = 0;   // 1: ended by the stroke limit
    float slopeForward = 0.0f;  // radians along the aim line, positive uphill toward the target
    float slopeSide = 0.0f;     // radians across the aim line
    Vec3 playerMark;            // copied from the shooter's player record; not read by the shot model
};

}  // namespace physics
