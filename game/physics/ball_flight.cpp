#include "game/physics/ball_flight.h"

#include <cmath>

#include "game/core/surface_kind.h"
#include "game/physics/ball_contact.h"
#include "game/physics/club_table.h"

namespace physics {

namespace {

constexpr float kPi = 3.1415927f;

float FiniteOrZero(float v) {
    return std::isfinite(v) ? v : 0.0f;
}

Vec3 FiniteOrZero(Vec3 v) {
    return {FiniteOrZero(v.x), FiniteOrZero(v.y), FiniteOrZero(v.z)};
}

// One component of the horizontal launch velocity: |h| shared out by the aim direction, with the
// sign of the component (0 for a zero component).
float ShareOfSpeed(float h, float mine, float other) {
    const float share = std::sqrt(h * h / (other * other / (mine * mine) + 1.0f));
    return mine < 0.0f ? -share : share;
}

void FlightStep(ShotSimulation& sim, TrajectoryPoint& point) {
    BallState& ball = sim.ball;
    ball.pos = ball.prevPos + ball.vel * ball.dt;
    if (sim.world.objects) {
        course::ObjectHit object;
        if (course::ObjectSegmentHit(*sim.world.model, *sim.world.objects, sim.world.opacity, ball.prevPos,
                                     ball.pos, &object)) {
            ObjectResponse(ball, point, object.attribute);
        }
    }
    Vec3 hit;
    int group = -1;
    if (course::TerrainSegmentHit(*sim.world.grid, ball.prevPos, ball.pos, &hit, nullptr, &group)) {
        GroundContact(sim, point, hit, BallSurfaceOfGroup(sim.world, group));
    }
    if (ball.stopped || ball.rolling) {
        return;
    }
    // Gravity, curve, drag and wind, in this order, after the move.
    ball.vel.y -= ball.gravity * ball.dt;
    ball.vel = platform::TurnAboutVertical(ball.vel, ball.curveStep);
    ball.vel.x += -ball.vel.x * ball.dt * ball.drag;
    ball.vel.z += -ball.vel.z * ball.dt * ball.drag;
    ball.vel = ball.vel + ball.windStep;
}

bool ReachesTheLimit(const ShotFacts& facts, uint8_t surface) {
    const int limit = 2 * facts.par;
    const bool lost = surface == core::kSurfaceWater || surface == core::kSurfaceOutOfBounds;
    return facts.strokes >= limit || (facts.strokes == limit - 1 && lost);
}

}  // namespace

BallState InitBall(const ShotInput& shot) {
    BallState ball;
    ball.dt = 0.05f;
    const float launchSpeed = FiniteOrZero(shot.launchSpeed);
    if (shot.pinDistance < 5.0f && 0.2f * ClubRow(kClubPutter).speed > launchSpeed) {
        ball.dt = 0.06f;  // a slow short putt
    }
    ball.drag = 0.4f;
    ball.lift = 0.01f;
    ball.gravity = 10.7f;
    ball.aimDir =
        platform::Normalize({shot.aimTarget.x - shot.ballPos.x, 0.0f, shot.aimTarget.z - shot.ballPos.z});
    if (!std::isfinite(ball.aimDir.x) || !std::isfinite(ball.aimDir.z)) {
        ball.aimDir = {0.0f, 0.0f, 1.0f};  // aimed at the ball itself: play along the hole
    }
    ball.pos = ball.prevPos = shot.ballPos + Vec3{0.0f, ball.lift, 0.0f};
    ball.elevationRad = FiniteOrZero(shot.elevation) * kPi / 180.0f;
    ball.horizSpeed = std::cos(ball.elevationRad) * launchSpeed;
    ball.pushRad = FiniteOrZero(shot.push) * kPi / 180.0f;
    ball.curveStep = FiniteOrZero(shot.curveRate) * kPi / 180.0f * ball.dt;
    ball.windStep = FiniteOrZero(shot.wind) * ball.dt;
    ball.vel.x = ShareOfSpeed(ball.horizSpeed, ball.aimDir.x, ball.aimDir.z);
    ball.vel.z = ShareOfSpeed(ball.horizSpeed, ball.aimDir.z, ball.aimDir.x);
    ball.vel.y = std::sin(ball.elevationRad) * launchSpeed;
    ball.vel = platform::TurnAboutVertical(ball.vel, ball.pushRad);
    if (shot.club == kClubPutter) {
        ball.rolling = 1;  // a putt never flies
    }
    return ball;
}

BallState SimulateShot(const ShotWorld& world, const ShotFacts& facts, ShotInput& shot,
                       ShotTrajectory& trajectory) {
    ShotSimulation sim{world, facts, shot, InitBall(shot), {}};
    SetCupSize(sim.contact, facts.gameLevel, shot.pinDistance);
    BallState& ball = sim.ball;

    trajectory = ShotTrajectory{};
    TrajectoryPoint* points = trajectory.points;
    points[0].pos = ball.pos;
    points[0].surface = kNoSurface;
    int i = 1;
    for (; i <= kMaxShotSteps; ++i) {
        TrajectoryPoint& point = points[i];
        point = TrajectoryPoint{};
        ball.prevPos = ball.pos;
        if (ball.rolling) {
            RollStep(sim);
        } else {
            FlightStep(sim, point);
        }
        if (!course::TerrainHasCell(*world.grid, ball.pos)) {
            ball.stopped = 1;
            ball.surfaceKind = core::kSurfaceOutOfBounds;
        }
        point.pos = ball.pos;
        point.surface = ball.surfaceKind;
        if (ball.stopped) {
            break;
        }
    }
    if (i > kMaxShotSteps) {
        i = kMaxShotSteps;  // still moving: the ball simply stops where it is
    }

    TrajectoryPoint& last = points[i];
    Vec3 ground = last.pos;
    if (course::SeatOnTerrain(*world.grid, ground)) {
        last.pos.y = ground.y + ball.lift;
    }
    points[i + 1] = last;
    points[i + 1].bounced = 0;
    points[i + 1].objectHit = 0;
    trajectory.trajectoryCount = i + 1;
    trajectory.hiddenAtEnd = ball.holed || last.surface == core::kSurfaceWater;

    shot.surface = last.surface;
    shot.ballPos = last.pos;
    shot.finished = ball.holed;
    shot.limitReached = 0;
    if (!ball.holed && ReachesTheLimit(facts, last.surface)) {
        shot.finished = 1;
        shot.limitReached = 1;
    }
    return ball;
}

}  // namespace physics
