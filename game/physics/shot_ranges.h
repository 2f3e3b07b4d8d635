#pragma once
// The values a shot record can hold when a client of this game made it: launch fields within what
// the launch produces, the wind within what the match draws, positions on or just beside the
// course. A record from a peer is checked against them before it is stored or simulated.

#include "game/physics/shot_input.h"

namespace physics {

inline constexpr float kMinLaunchSpeed = 0.005f;
inline constexpr float kMaxSwingSpeed = 200.0f;                  // before the power shot
inline constexpr float kMaxLaunchSpeed = kMaxSwingSpeed * 1.4f;  // the strongest power shot
inline constexpr float kMaxElevation = 70.0f;
inline constexpr float kMaxSideAngle = 45.0f;  // push and curve rate, either way
// A ball at rest may lie one step past the course's edge (the step that left it), so positions
// get a margin beyond the terrain grid.
inline constexpr float kCourseMargin = 50.0f;
inline constexpr float kMaxHeight = 1000.0f;

// Whether every float of the record is finite and within its range. A record not launched yet
// (launch speed 0) passes with its launch fields at 0.
bool ShotValuesInRange(const ShotInput& shot);

// Whether p lies on the course's plane, within the margin beside it.
bool OnCoursePlane(Vec3 p);

}  // namespace physics
