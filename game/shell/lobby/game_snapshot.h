#pragma once
// The record that brings an observer who joins a running match up to date: the wind, the current
// shot, the pin and every per-slot item of the match. On the wire it is 550 packed little-endian
// bytes.

#include <cstdint>

#include "game/physics/shot_input.h"
#include "platform/vecmath.h"

namespace shell {

inline constexpr int kGameSnapshotWireSize = 550;
inline constexpr int kSnapshotSlots = 4;
inline constexpr int kSnapshotNameSize = 13;
inline constexpr int kSnapshotHoles = 18;
inline constexpr int kSnapshotNamesOffset = 234;

struct GameSnapshot {
    float windDirection = 0.0f;  // radians
    float windSpeed = 0.0f;
    physics::ShotInput shot;
    platform::Vec3 pin;  // the announced pin
    uint8_t skyIndex = 0;
    int32_t gameState = 0;
    uint8_t teamPlay = 0;
    int32_t playerCount = 0;
    int32_t currentHole = 0;
    int32_t currentShooter = 0;
    int32_t nearHolder = -1;
    int32_t longestHolder = -1;
    int32_t driverSlot = 0;
    int32_t shotCounter = 0;
    int32_t ballPot = 0;
    platform::Vec3 currentPin;
    platform::Vec3 holeReference;
    int32_t mapOffsetFirst[2] = {};
    int32_t mapOffsetSecond[2] = {};
    uint8_t teamLastShooter[2] = {};
    int32_t balls[kSnapshotSlots] = {};
    uint8_t characterType[kSnapshotSlots] = {};
    uint8_t colour[kSnapshotSlots] = {};
    uint8_t level[kSnapshotSlots] = {};
    uint8_t sexFlag[kSnapshotSlots] = {};
    char names[kSnapshotSlots][kSnapshotNameSize] = {};
    uint8_t turnOrder[kSnapshotSlots] = {};
    uint16_t holeStrokes[kSnapshotSlots] = {};
    int32_t totalOverPar[kSnapshotSlots] = {};
    int32_t totalStrokes[kSnapshotSlots] = {};
    platform::Vec3 ballPos[kSnapshotSlots];
    uint8_t lastClub[kSnapshotSlots] = {};
    int32_t ready[kSnapshotSlots] = {};
    uint8_t lie[kSnapshotSlots] = {};
    uint8_t previousLie[kSnapshotSlots] = {};
    int32_t holedOut[kSnapshotSlots] = {};
    platform::Vec3 slotVector[kSnapshotSlots];  // (0, 1, 0) at each hole start
    uint8_t strokesPerHole[kSnapshotSlots][kSnapshotHoles] = {};
    uint8_t timeOuts[kSnapshotSlots] = {};
    uint8_t concedeVotes[kSnapshotSlots] = {};
};

void PackGameSnapshot(const GameSnapshot& snapshot, uint8_t out[kGameSnapshotWireSize]);
// Reads a snapshot from 550 bytes. Names are always NUL-terminated afterwards (a name that fills
// its 13-byte field is cut to 12 characters).
GameSnapshot UnpackGameSnapshot(const uint8_t in[kGameSnapshotWireSize]);

// True when each of the four 13-byte name fields of the wire bytes holds a terminating NUL.
bool SnapshotWireNamesTerminated(const uint8_t in[kGameSnapshotWireSize]);

// True when every count and slot number in the snapshot can be used as an index into the
// four-slot tables, so that applying it cannot reach outside them. A snapshot from another client
// is not trusted blindly.
bool SnapshotIndicesValid(const GameSnapshot& snapshot);

}  // namespace shell
