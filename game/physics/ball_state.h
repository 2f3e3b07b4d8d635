#pragma once
// The state of the ball while a shot is simulated, and the stored path the replay walks.

#include <cstdint>

#include "platform/vecmath.h"

namespace physics {

using platform::Vec3;

inline constexpr int kTrajectoryCapacity = 300;
// Steps the simulation may take (point 0 is the start, the last point repeats the final one).
inline constexpr int kMaxShotSteps = 298;
inline constexpr uint8_t kNoSurface = 255;

struct BallState {
    float drag = 0.0f;  // fraction of horizontal speed lost per second of flight
    Vec3 prevPos;       // position before the current step
    Vec3 pos;           // current position, yards
    float dt = 0.0f;    // seconds per step
    Vec3 aimDir;        // horizontal unit vector from the start toward the aim target
    Vec3 vel;           // yards per second
    Vec3 windStep;      // wind * dt, added every flight step until the first ground contact
    float horizSpeed = 0.0f;
    float elevationRad = 0.0f;
    float gravity = 0.0f;  // yards per second squared
    float pushRad = 0.0f;
    float curveStep = 0.0f;  // turn of the velocity per flight step, radians
    float lift = 0.0f;       // height at which the ball is kept above the ground
    uint8_t rolling = 0;
    uint8_t stopped = 0;
    uint8_t holed = 0;
    uint8_t surfaceKind = 0;  // surface kind of the last ground contact
};

struct TrajectoryPoint {
    Vec3 pos;
    int32_t screen[2] = {0, 0};  // filled from the camera after the simulation
    uint8_t visible = 0;         // likewise
    uint8_t bounced = 0;         // this step hit the ground with a vertical speed of 4 or more
    uint8_t objectHit = 0;       // this step hit an object with some speed component of 3 or more
    uint8_t objectKind = 0;      // attribute letter of the object hit, 0 when none
    uint8_t surface = 0;         // surface kind here; kNoSurface for the start point
    float scale = 1.0f;          // projection scale, 1.0 when not visible
};

struct ShotTrajectory {
    TrajectoryPoint points[kTrajectoryCapacity];
    int trajectoryCount = 0;  // index of the last valid point
    // The ball ends holed or in water: the last point must not be shown, wherever the camera is.
    uint8_t hiddenAtEnd = 0;
};

}  // namespace physics
