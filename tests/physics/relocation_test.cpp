#include "game/physics/relocation.h"

#include <gtest/gtest.h>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "tests/physics/shot_course.h"

namespace physics {
namespace {

using fixtures::ShotCourse;

// The shot was played from (0, 0); the ball came to rest at `at` on `kind`.
ShotInput Resting(Vec3 at, uint8_t kind) {
    ShotInput shot;
    shot.startPos = {0, 1, 0};
    shot.startSurface = core::kSurfaceFairway;
    shot.ballPos = at;
    shot.surface = kind;
    return shot;
}

TEST(Relocation, OffAnotherGreenOneYardOntoAllowedGround) {
    ShotCourse course;
    course.Patch("OGR", -10, 100, 10, 120, 1.5f)
        .Patch("BNK", -10, 98.5f, 10, 100, 1.2f)
        .Patch("FWY", -150, -90, 150, 690, 1.0f)
        .Ready();
    ShotInput shot = Resting({0, 1.5f, 110}, core::kSurfaceOtherGreen);
    uint16_t strokes = 2;
    RelocateBall(course.world, 4, shot, strokes);
    EXPECT_EQ(strokes, 2);
    EXPECT_EQ(shot.surface, core::kSurfaceFairway);
    EXPECT_EQ(shot.ballPos.x, 0.0f);
    EXPECT_EQ(shot.ballPos.z, 97.0f);  // first clear at 98, one yard more
    EXPECT_EQ(shot.ballPos.y, 1.0f);
}

TEST(Relocation, WaterCostsAStrokeAndStepsBackInFives) {
    ShotCourse course;
    course.Patch("WTR", -20, 90, 20, 120, 1.0f).Patch("ROU", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Resting({0, 1, 110}, core::kSurfaceWater);
    uint16_t strokes = 3;
    RelocateBall(course.world, 4, shot, strokes);
    EXPECT_EQ(strokes, 4);
    EXPECT_EQ(shot.surface, core::kSurfaceRough);
    EXPECT_EQ(shot.ballPos.z, 80.0f);
    shot = Resting({0, 1, 110}, core::kSurfaceWater);
    strokes = 8;
    RelocateBall(course.world, 4, shot, strokes);
    EXPECT_EQ(strokes, 8);  // never past twice the par
}

TEST(Relocation, CartPathFreeDrop) {
    ShotCourse course;
    course.Patch("WAY", -2, -90, 2, 690, 1.0f)
        .Patch("BNK", -150, 95, 150, 105, 1.0f)
        .Patch("ROU", 2, -90, 150, 690, 1.0f)
        .Patch("OOB", -150, -90, -2, 690, 1.0f)
        .Ready();
    // Tried at angle 0 first: (-sin a, -cos a) points back down the hole; the first ring that
    // reaches rough is 3 yards, toward -x and +x; angle 0 lands on the path, 20 degrees too, ...
    ShotInput shot = Resting({0, 1, 200}, core::kSurfaceCartPath);
    uint16_t strokes = 2;
    RelocateBall(course.world, 4, shot, strokes);
    EXPECT_EQ(shot.surface, core::kSurfaceRough);
    EXPECT_GT(shot.ballPos.x, 2.0f);
    EXPECT_NEAR(core::DistanceXZ(shot.ballPos, {0, 1, 200}), 3.0f, 1e-4f);
    EXPECT_EQ(strokes, 2);

    ShotCourse paved;
    paved.Patch("WAY", -150, -90, 150, 690, 1.0f).Ready();
    shot = Resting({0, 1, 200}, core::kSurfaceCartPath);
    RelocateBall(paved.world, 4, shot, strokes);
    EXPECT_EQ(shot.surface, core::kSurfaceCartPath);  // nowhere to drop: it stays
    EXPECT_EQ(shot.ballPos.z, 200.0f);
}

TEST(Relocation, OutOfBoundsReplaysFromTheStartWithAPenalty) {
    ShotCourse course;
    course.Patch("FWY", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Resting({300, 1, 200}, core::kSurfaceOutOfBounds);
    uint16_t strokes = 1;
    RelocateBall(course.world, 3, shot, strokes);
    EXPECT_EQ(strokes, 2);
    EXPECT_EQ(shot.ballPos.x, 0.0f);
    EXPECT_EQ(shot.surface, core::kSurfaceFairway);
}

TEST(Relocation, NoAllowedGroundBehindTheBallSendsItBackToTheStart) {
    ShotCourse course;
    course.Patch("OGR", -150, -90, 150, 690, 1.0f).Ready();
    ShotInput shot = Resting({0, 1, 200}, core::kSurfaceOtherGreen);
    uint16_t strokes = 1;
    RelocateBall(course.world, 3, shot, strokes);
    EXPECT_EQ(shot.ballPos.z, 0.0f);
    EXPECT_EQ(shot.surface, core::kSurfaceFairway);
}

}  // namespace
}  // namespace physics
