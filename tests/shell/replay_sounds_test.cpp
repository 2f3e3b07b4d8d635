// The sounds of a replay: which club sound a shot starts with, what the ball's touches sound like,
// and the praise for a holed ball.
#include <gtest/gtest.h>

#include "game/core/surface_kind.h"
#include "game/shell/replay_sounds.h"

namespace {

using present::GameSound;

physics::ShotInput Shot(int club, float speed, int startSurface = course::kSurfaceFairway) {
    physics::ShotInput shot;
    shot.club = static_cast<uint8_t>(club);
    shot.launchSpeed = speed;
    shot.startSurface = static_cast<uint8_t>(startSurface);
    return shot;
}

TEST(ReplaySounds, ImpactFollowsTheClubUnlessTheShotIsSoftOrFromSand) {
    const GameSound byClub[14] = {GameSound::Wood,   GameSound::Wood, GameSound::Wood, GameSound::Wood,
                                  GameSound::Iron,   GameSound::Iron, GameSound::Iron, GameSound::Iron,
                                  GameSound::Iron,   GameSound::Iron, GameSound::Iron, GameSound::Pitch,
                                  GameSound::SPitch, GameSound::Putt};
    for (int club = 0; club < 14; ++club) {
        EXPECT_EQ(shell::ImpactSound(Shot(club, 5.0f)), byClub[club]) << club;
        EXPECT_EQ(shell::ImpactSound(Shot(club, 4.99f)), GameSound::Send) << club;
        EXPECT_EQ(shell::ImpactSound(Shot(club, 60.0f, course::kSurfaceBunker)), GameSound::Send) << club;
    }
    EXPECT_EQ(shell::ImpactSound(Shot(0, 60.0f, course::kSurfaceRough)), GameSound::Wood);
}

TEST(ReplaySounds, TouchesSoundByWhatTheBallMeets) {
    physics::TrajectoryPoint point;
    EXPECT_TRUE(shell::ContactSounds(point).empty());

    point.objectHit = 1;
    point.objectKind = 'T';
    EXPECT_EQ(shell::ContactSounds(point), std::vector<GameSound>{GameSound::DnTree});
    point.objectKind = 'E';  // a bush
    EXPECT_EQ(shell::ContactSounds(point), std::vector<GameSound>{GameSound::DnGreen});

    point = physics::TrajectoryPoint{};
    point.bounced = 1;
    const std::pair<int, std::vector<GameSound>> grounds[] = {
        {course::kSurfaceBunker, {GameSound::DnSand}},
        {course::kSurfaceWater, {}},
        {course::kSurfaceGreen, {GameSound::DnGreen}},
        {course::kSurfaceFairway, {GameSound::DnGreen}},
        {course::kSurfaceCartPath, {GameSound::DnGreen}}};
    for (const auto& [surface, sounds] : grounds) {
        point.surface = static_cast<uint8_t>(surface);
        EXPECT_EQ(shell::ContactSounds(point), sounds) << surface;
    }
    // A tree and the ground at the same point: both are heard.
    point.objectHit = 1;
    point.objectKind = 'T';
    point.surface = course::kSurfaceRough;
    EXPECT_EQ(shell::ContactSounds(point), (std::vector<GameSound>{GameSound::DnTree, GameSound::DnGreen}));
    // A touch too soft to bounce makes no sound.
    point = physics::TrajectoryPoint{};
    point.objectKind = 'T';
    point.surface = course::kSurfaceBunker;
    EXPECT_TRUE(shell::ContactSounds(point).empty());
}

TEST(ReplaySounds, HoledBallIsPraisedAtParOrBetter) {
    EXPECT_EQ(shell::HoledSounds(5, 4), std::vector<GameSound>{GameSound::DnHole});
    EXPECT_EQ(shell::HoledSounds(4, 4), (std::vector<GameSound>{GameSound::DnHole, GameSound::Good}));
    EXPECT_EQ(shell::HoledSounds(1, 3), (std::vector<GameSound>{GameSound::DnHole, GameSound::VeryGood}));
}

}  // namespace
