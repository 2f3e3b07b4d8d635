#include "game/physics/shot_ranges.h"

#include <gtest/gtest.h>

#include <limits>

namespace physics {
namespace {

ShotInput Launched() {
    ShotInput s;
    s.ballPos = s.startPos = {0, 5, -20};
    s.aimTarget = {10, 6, 230};
    s.pinDistance = 380.0f;
    s.launchSpeed = 114.1f;
    s.elevation = 10.0f;
    s.push = -3.0f;
    s.curveRate = 4.0f;
    s.wind = {-1.8f, 0.0f, 1.5f};  // the strongest wind straight across and along
    s.powerError = 2.0f;
    s.slopeForward = 0.1f;
    return s;
}

TEST(ShotRanges, EveryValueALaunchMakesPassesAndNothingElse) {
    EXPECT_TRUE(ShotValuesInRange(ShotInput{}));  // a turn's record before the swing
    EXPECT_TRUE(ShotValuesInRange(Launched()));
    ShotInput s = Launched();
    s.launchSpeed = kMaxLaunchSpeed;
    s.elevation = kMaxElevation;
    s.push = -kMaxSideAngle;
    EXPECT_TRUE(ShotValuesInRange(s));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const auto refused = [](void (*change)(ShotInput&, float), float v) {
        ShotInput bad = Launched();
        change(bad, v);
        return !ShotValuesInRange(bad);
    };
    const auto speed = [](ShotInput& r, float v) { r.launchSpeed = v; };
    EXPECT_TRUE(refused(speed, 1.9e-39f));  // a denormal: finite, slower than any launch
    EXPECT_TRUE(refused(speed, -1.0f));
    EXPECT_TRUE(refused(speed, kMaxLaunchSpeed * 1.01f));
    EXPECT_TRUE(refused(speed, nan));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.elevation = v; }, 70.5f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.curveRate = v; }, 46.0f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.push = v; }, -46.0f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.wind.y = v; }, -2.0e13f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.wind.x = v; }, 1.9f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.ballPos.x = v; }, 300.0f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.aimTarget.z = v; }, 745.0f + kCourseMargin));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.startPos.y = v; }, 1e30f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.slopeSide = v; }, 2.0f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.powerError = v; }, -1.0f));
    EXPECT_TRUE(refused([](ShotInput& r, float v) { r.playerMark.x = v; }, nan));
    // Not launched: the launch fields must all still be 0.
    EXPECT_TRUE(refused(speed, 0.0f));
    // A ball that left the course by one step still has a place.
    s = Launched();
    s.ballPos = {215.0f, 3.0f, 710.0f};
    EXPECT_TRUE(ShotValuesInRange(s));
}

}  // namespace
}  // namespace physics
