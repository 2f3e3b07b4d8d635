#include "game/physics/shot_ranges.h"

#include <cmath>

#include "game/course/terrain_grid.h"
#include "game/physics/wind.h"

namespace physics {

namespace {

constexpr float kHalfTurn = 1.5707964f;  // a slope can rise or fall at most straight up
constexpr float kMaxPinDistance = 2000.0f;

bool Within(float v, float lo, float hi) {
    return v >= lo && v <= hi;  // false for NaN
}

bool LaunchInRange(const ShotInput& s) {
    if (s.launchSpeed == 0.0f) {
        return s.elevation == 0.0f && s.curveRate == 0.0f && s.push == 0.0f;
    }
    return Within(s.launchSpeed, kMinLaunchSpeed, kMaxLaunchSpeed) &&
           Within(s.elevation, 0.0f, kMaxElevation) && Within(s.curveRate, -kMaxSideAngle, kMaxSideAngle) &&
           Within(s.push, -kMaxSideAngle, kMaxSideAngle);
}

// The launch turns the match wind (at most kMaxWindSpeed) into 0.6 of it across and 0.5 along.
bool WindInRange(Vec3 w) {
    return w.y == 0.0f && Within(w.x, -0.6f * kMaxWindSpeed, 0.6f * kMaxWindSpeed) &&
           Within(w.z, -0.5f * kMaxWindSpeed, 0.5f * kMaxWindSpeed);
}

}  // namespace

bool OnCoursePlane(Vec3 p) {
    using Grid = course::TerrainGrid;
    return Within(p.x, Grid::MinX - kCourseMargin, Grid::MaxX + kCourseMargin) &&
           Within(p.z, Grid::MinZ - kCourseMargin, Grid::MaxZ + kCourseMargin) &&
           Within(p.y, -kMaxHeight, kMaxHeight);
}

bool ShotValuesInRange(const ShotInput& s) {
    const bool finiteMark =
        std::isfinite(s.playerMark.x) && std::isfinite(s.playerMark.y) && std::isfinite(s.playerMark.z);
    return LaunchInRange(s) && WindInRange(s.wind) && OnCoursePlane(s.aimTarget) &&
           OnCoursePlane(s.ballPos) && OnCoursePlane(s.startPos) &&
           Within(s.pinDistance, 0.0f, kMaxPinDistance) && std::isfinite(s.powerError) &&
           s.powerError >= 0.0f && Within(s.slopeForward, -kHalfTurn, kHalfTurn) &&
           Within(s.slopeSide, -kHalfTurn, kHalfTurn) && finiteMark;
}

}  // namespace physics
