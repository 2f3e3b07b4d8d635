#include "game/screens/slope_readout.h"

#include <gtest/gtest.h>

#include "tests/course/model_fixtures.h"

namespace screens {
namespace {

// A plane rising half a yard per yard to the right (+x) and a quarter per yard away (+z).
core::FnxModel TiltedGround() {
    core::FnxModel model;
    fixtures::AddHeightfield(model, "FWY", -40, -40, 40, 40, 8,
                             [](float x, float z) { return 10.0f + 0.5f * x + 0.25f * z; });
    return model;
}

TEST(SlopeReadout, AcrossAndAlongTheLineOfPlay) {
    const core::FnxModel model = TiltedGround();
    const course::TerrainGrid grid = course::BuildTerrainGrid(model);
    const platform::Vec3 target{3.0f, 0.0f, 5.0f};
    // Playing up +z: the target's right (-x, the direction turned by -90 degrees) lies lower, and
    // the ground beyond it higher.
    SlopeReadout s = ReadSlopes(grid, {0, 0, -20}, {0, 0, 20}, target);
    EXPECT_NEAR(s.across, -60, 1);
    EXPECT_NEAR(s.along, -30, 1);
    // Playing the other way turns both round.
    s = ReadSlopes(grid, {0, 0, 20}, {0, 0, -20}, target);
    EXPECT_NEAR(s.across, 60, 1);
    EXPECT_NEAR(s.along, 30, 1);
    // Playing along +x the slopes swap panels.
    s = ReadSlopes(grid, {-20, 0, 5}, {20, 0, 5}, target);
    EXPECT_NEAR(s.across, 30, 1);
    EXPECT_NEAR(s.along, -60, 1);
}

TEST(SlopeReadout, NoDirectionOrNoGroundGivesLevelReadouts) {
    const core::FnxModel model = TiltedGround();
    const course::TerrainGrid grid = course::BuildTerrainGrid(model);
    SlopeReadout s = ReadSlopes(grid, {1, 5, 1}, {1, 9, 1}, {3, 0, 5});
    EXPECT_EQ(s.across, 0);
    EXPECT_EQ(s.along, 0);
    s = ReadSlopes(grid, {0, 0, 0}, {0, 0, 10}, {150, 0, 300});  // off the terrain
    EXPECT_EQ(s.across, 0);
    EXPECT_EQ(s.along, 0);
}

}  // namespace
}  // namespace screens
