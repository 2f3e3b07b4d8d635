#include <gtest/gtest.h>

#include <bit>
#include <cstring>

#include "game/shell/lobby/game_snapshot.h"
#include "game/shell/lobby/shot_input_wire.h"

namespace {

using physics::ShotInput;
using shell::GameSnapshot;

// Hand-made little-endian bytes, written at explicit offsets so that the tests do not share the
// code under test's idea of the layout.
void PutU32(uint8_t* bytes, size_t offset, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}
void PutF32(uint8_t* bytes, size_t offset, float v) {
    PutU32(bytes, offset, std::bit_cast<uint32_t>(v));
}
uint32_t GetU32(const uint8_t* bytes, size_t offset) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= static_cast<uint32_t>(bytes[offset + i]) << (8 * i);
    }
    return v;
}
float GetF32(const uint8_t* bytes, size_t offset) {
    return std::bit_cast<float>(GetU32(bytes, offset));
}

ShotInput SampleShot() {
    ShotInput s;
    s.player = 3;
    s.pinDistance = 187.25f;
    s.surface = 1;
    s.startSurface = 3;
    s.lieClass = physics::kLieRough;
    s.club = 13;
    s.swingKind = 4;
    s.aimTarget = {1.5f, 2.5f, 3.5f};
    s.ballPos = {-4.0f, 0.25f, 99.0f};
    s.startPos = {7.0f, 8.0f, 9.0f};
    s.powerError = 12.5f;
    s.powerShot = 1;
    s.bite = 1;
    s.launchSpeed = 114.1f;
    s.elevation = 70.0f;
    s.curveRate = -45.0f;
    s.push = 13.5f;
    s.wind = {-0.6f, 0.0f, 0.5f};
    s.finished = 1;
    s.limitReached = 1;
    s.slopeForward = -0.5f;
    s.slopeSide = 0.125f;
    s.playerMark = {10.0f, 11.0f, 12.0f};
    return s;
}

TEST(ShotInputWire, FieldsSitAtTheirOffsets) {
    uint8_t bytes[physics::kShotInputWireSize];
    std::memset(bytes, 0xCD, sizeof bytes);
    shell::PackShotInput(SampleShot(), bytes);

    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(GetF32(bytes, 1), 187.25f);
    EXPECT_EQ(bytes[5], 1);
    EXPECT_EQ(bytes[6], 3);
    EXPECT_EQ(bytes[7], physics::kLieRough);
    EXPECT_EQ(bytes[8], 13);
    EXPECT_EQ(bytes[9], 4);
    EXPECT_EQ(GetF32(bytes, 10), 1.5f);
    EXPECT_EQ(GetF32(bytes, 18), 3.5f);
    EXPECT_EQ(GetF32(bytes, 22), -4.0f);
    EXPECT_EQ(GetF32(bytes, 30), 99.0f);
    EXPECT_EQ(GetF32(bytes, 34), 7.0f);
    EXPECT_EQ(GetF32(bytes, 46), 12.5f);
    EXPECT_EQ(bytes[50], 1);
    EXPECT_EQ(bytes[51], 1);
    EXPECT_EQ(GetF32(bytes, 52), 114.1f);
    EXPECT_EQ(GetF32(bytes, 56), 70.0f);
    EXPECT_EQ(GetF32(bytes, 60), -45.0f);
    EXPECT_EQ(GetF32(bytes, 64), 13.5f);
    EXPECT_EQ(GetF32(bytes, 68), -0.6f);
    EXPECT_EQ(GetF32(bytes, 76), 0.5f);
    EXPECT_EQ(bytes[80], 1);
    EXPECT_EQ(bytes[81], 1);
    EXPECT_EQ(GetF32(bytes, 82), -0.5f);
    EXPECT_EQ(GetF32(bytes, 86), 0.125f);
    EXPECT_EQ(GetF32(bytes, 90), 10.0f);
    EXPECT_EQ(GetF32(bytes, 98), 12.0f);
}

TEST(ShotInputWire, ReadsHandMadeBytesAndRoundTrips) {
    uint8_t bytes[physics::kShotInputWireSize] = {};
    bytes[0] = 2;
    PutF32(bytes, 1, 3.0f);
    bytes[8] = 7;
    PutF32(bytes, 26, 42.0f);  // ballPos.y
    PutF32(bytes, 64, -12.0f);
    PutF32(bytes, 94, 5.0f);  // playerMark.y
    const ShotInput s = shell::UnpackShotInput(bytes);
    EXPECT_EQ(s.player, 2);
    EXPECT_EQ(s.pinDistance, 3.0f);
    EXPECT_EQ(s.club, 7);
    EXPECT_EQ(s.ballPos.y, 42.0f);
    EXPECT_EQ(s.push, -12.0f);
    EXPECT_EQ(s.playerMark.y, 5.0f);

    uint8_t again[physics::kShotInputWireSize];
    shell::PackShotInput(shell::UnpackShotInput(bytes), again);
    EXPECT_EQ(std::memcmp(bytes, again, sizeof bytes), 0);
}

TEST(GameSnapshotWire, FieldsSitAtTheirOffsets) {
    GameSnapshot s;
    s.windDirection = 1.25f;
    s.windSpeed = 3.0f;
    s.shot = SampleShot();
    s.pin = {5.0f, 0.0f, 300.0f};
    s.skyIndex = 9;
    s.gameState = 6;
    s.teamPlay = 1;
    s.playerCount = 4;
    s.currentHole = 17;
    s.currentShooter = 2;
    s.nearHolder = -1;
    s.longestHolder = 3;
    s.driverSlot = 0;
    s.shotCounter = 11;
    s.ballPot = -7;
    s.currentPin = {1.0f, 2.0f, 3.0f};
    s.holeReference = {4.0f, 5.0f, 6.0f};
    s.mapOffsetFirst[1] = -20;
    s.mapOffsetSecond[0] = 30;
    s.teamLastShooter[0] = 1;
    s.teamLastShooter[1] = 3;
    s.balls[3] = 1000;
    s.characterType[1] = 7;
    s.colour[2] = 5;
    s.level[3] = 6;
    s.sexFlag[0] = 1;
    std::strcpy(s.names[1], "Twelve_chars");
    s.turnOrder[0] = 3;
    s.holeStrokes[3] = 0x1234;
    s.totalOverPar[1] = -4;
    s.totalStrokes[2] = 77;
    s.ballPos[3] = {8.0f, 9.0f, 10.0f};
    s.lastClub[2] = 12;
    s.ready[1] = 1;
    s.lie[3] = 7;
    s.previousLie[0] = 5;
    s.holedOut[3] = 1;
    s.slotVector[0] = {0.0f, 1.0f, 0.0f};
    s.strokesPerHole[1][17] = 8;
    s.timeOuts[3] = 2;
    s.concedeVotes[0] = 1;

    uint8_t b[shell::kGameSnapshotWireSize];
    std::memset(b, 0xCD, sizeof b);
    shell::PackGameSnapshot(s, b);

    EXPECT_EQ(GetF32(b, 0), 1.25f);
    EXPECT_EQ(GetF32(b, 4), 3.0f);
    EXPECT_EQ(b[8], 3);                   // shot.player
    EXPECT_EQ(GetF32(b, 8 + 98), 12.0f);  // shot.playerMark.z
    EXPECT_EQ(GetF32(b, 118), 300.0f);
    EXPECT_EQ(b[122], 9);
    EXPECT_EQ(GetU32(b, 123), 6u);
    EXPECT_EQ(b[127], 1);
    EXPECT_EQ(GetU32(b, 128), 4u);
    EXPECT_EQ(GetU32(b, 132), 17u);
    EXPECT_EQ(GetU32(b, 136), 2u);
    EXPECT_EQ(GetU32(b, 140), 0xFFFFFFFFu);
    EXPECT_EQ(GetU32(b, 144), 3u);
    EXPECT_EQ(GetU32(b, 152), 11u);
    EXPECT_EQ(static_cast<int32_t>(GetU32(b, 156)), -7);
    EXPECT_EQ(GetF32(b, 160), 1.0f);
    EXPECT_EQ(GetF32(b, 180), 6.0f);
    EXPECT_EQ(static_cast<int32_t>(GetU32(b, 188)), -20);
    EXPECT_EQ(GetU32(b, 192), 30u);
    EXPECT_EQ(b[200], 1);
    EXPECT_EQ(b[201], 3);
    EXPECT_EQ(GetU32(b, 214), 1000u);
    EXPECT_EQ(b[219], 7);
    EXPECT_EQ(b[224], 5);
    EXPECT_EQ(b[229], 6);
    EXPECT_EQ(b[230], 1);
    EXPECT_EQ(std::memcmp(b + 247, "Twelve_chars\0", 13), 0);
    EXPECT_EQ(b[286], 3);
    EXPECT_EQ(b[296], 0x34);
    EXPECT_EQ(b[297], 0x12);
    EXPECT_EQ(static_cast<int32_t>(GetU32(b, 302)), -4);
    EXPECT_EQ(GetU32(b, 322), 77u);
    EXPECT_EQ(GetF32(b, 366), 8.0f);
    EXPECT_EQ(b[380], 12);
    EXPECT_EQ(GetU32(b, 386), 1u);
    EXPECT_EQ(b[401], 7);
    EXPECT_EQ(b[402], 5);
    EXPECT_EQ(GetU32(b, 418), 1u);
    EXPECT_EQ(GetF32(b, 426), 1.0f);
    EXPECT_EQ(b[470 + 18 + 17], 8);
    EXPECT_EQ(b[545], 2);
    EXPECT_EQ(b[546], 1);
    EXPECT_EQ(b[549], 0);

    uint8_t again[shell::kGameSnapshotWireSize];
    shell::PackGameSnapshot(shell::UnpackGameSnapshot(b), again);
    EXPECT_EQ(std::memcmp(b, again, sizeof b), 0);
}

TEST(GameSnapshotWire, NamesFillingTheirFieldAreCut) {
    uint8_t b[shell::kGameSnapshotWireSize] = {};
    std::memset(b + 234, 'x', 52);  // four names without a terminating NUL
    const GameSnapshot s = shell::UnpackGameSnapshot(b);
    for (const auto& name : s.names) {
        EXPECT_EQ(std::strlen(name), 12u);
    }
}

TEST(GameSnapshotWire, IndicesOutsideTheSlotsAreRefused) {
    GameSnapshot s;
    s.playerCount = 2;
    EXPECT_TRUE(shell::SnapshotIndicesValid(s));
    auto refused = [&](auto change) {
        GameSnapshot bad = s;
        change(bad);
        return !shell::SnapshotIndicesValid(bad);
    };
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.playerCount = 0; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.playerCount = 5; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.currentShooter = -1; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.nearHolder = 4; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.longestHolder = -2; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.turnOrder[3] = 200; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.shot.player = 4; }));
    EXPECT_TRUE(refused([](GameSnapshot& g) { g.teamLastShooter[1] = 9; }));
}

}  // namespace
