// A hole played on the null sound output with the built-in player, recording every sound that
// starts: the background loop, the swing button, the club meeting the ball, the landings and the
// cup, in the order a player hears them.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/shell/match/replay_sounds.h"
#include "game/shell/view/sounds.h"
#include "tests/shell/match_table.h"

namespace {

using present::GameSound;

bool IsImpact(GameSound id) {
    return id == GameSound::Wood || id == GameSound::Iron || id == GameSound::Pitch ||
           id == GameSound::SPitch || id == GameSound::Send || id == GameSound::Putt;
}

bool IsLanding(GameSound id) {
    return id == GameSound::DnGreen || id == GameSound::DnSand || id == GameSound::DnTree ||
           id == GameSound::DnWater;
}

class MatchSounds : public MatchTable {};

TEST_F(MatchSounds, AHoleIsHeardFromTeeToCup) {
    Seat({.players = 1});
    shell::Client& ann = C(0);
    shell::InitSoundSystem(ann);
    if (!ann.sound.enabled) {
        GTEST_SKIP() << "no sound output, not even the null one";
    }
    std::vector<GameSound> played;
    ann.sound.onPlay = [&played](GameSound id) { played.push_back(id); };
    ann.matchExtras.autoplay.enabled = true;
    ann.matchExtras.autoplay.rand.Seed(5);
    for (uint32_t t = 0; t < 3600 * 1000 && !AllEnded(); t += 20) {
        Tick(20);
    }
    ASSERT_TRUE(AllEnded());

    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.front(), GameSound::Background);  // the hole's loop starts as it loads
    const auto impacts = std::count_if(played.begin(), played.end(), IsImpact);
    const auto buttons = std::count(played.begin(), played.end(), GameSound::ButtonOv);
    const int strokes = ann.match.rules.players[0].strokes;
    EXPECT_GE(impacts, 1);
    EXPECT_LE(impacts, strokes);
    EXPECT_GE(buttons, impacts);  // every swing starts with a click on the swing button
    EXPECT_GE(std::count_if(played.begin(), played.end(), IsLanding), 1);
    // The ball drops into the cup once, after the last stroke's impact.
    ASSERT_EQ(std::count(played.begin(), played.end(), GameSound::DnHole), 1);
    const auto cup = std::find(played.begin(), played.end(), GameSound::DnHole);
    EXPECT_EQ(std::find_if(cup, played.end(), IsImpact), played.end());
    const int par = ann.match.rules.par;
    const bool praised = std::find_if(cup, played.end(), [](GameSound id) {
                             return id == GameSound::Good || id == GameSound::VeryGood;
                         }) != played.end();
    EXPECT_EQ(praised, strokes <= par) << strokes << " strokes on a par " << par;
    for (GameSound id : played) {
        EXPECT_NE(static_cast<uint32_t>(id), 15u);
        EXPECT_LE(static_cast<uint32_t>(id), 16u);
    }
}

physics::ShotInput Shot(int club, float speed, int startSurface = core::kSurfaceFairway) {
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
        EXPECT_EQ(shell::ImpactSound(Shot(club, 60.0f, core::kSurfaceBunker)), GameSound::Send) << club;
    }
    EXPECT_EQ(shell::ImpactSound(Shot(0, 60.0f, core::kSurfaceRough)), GameSound::Wood);
}

}  // namespace
