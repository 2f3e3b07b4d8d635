#include "game/physics/ball_contact.h"

#include <algorithm>
#include <cmath>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "game/physics/club_table.h"
#include "game/physics/lie_table.h"

namespace physics {

namespace {

constexpr float kHalfPi = 3.1415927f / 2.0f;

bool EndsTheShot(uint8_t kind) {
    return kind == core::kSurfaceWater || kind == core::kSurfaceOutOfBounds;
}

float HorizontalSpeed(Vec3 v) {
    return std::sqrt(v.x * v.x + v.z * v.z);
}

// Entering the roll: with backspin chosen, remember the velocity the bite will reverse.
void StartRolling(ShotSimulation& sim) {
    BallState& ball = sim.ball;
    ball.vel.y = 0.0f;
    ball.rolling = 1;
    if (!sim.shot.bite) {
        return;
    }
    float k = 0.0f;
    if (sim.shot.club == kClubPitchingWedge || sim.shot.club == kClubSandWedge) {
        k = std::clamp((90.0f - std::fabs(sim.shot.powerError)) / 90.0f, 0.0f, 1.0f);
    }
    sim.contact.biteVel = ball.vel * k;
    sim.contact.noBite = (sim.facts.gameLevel == 0 && sim.facts.impactError > 6.0f) ||
                         (sim.facts.gameLevel == 1 && sim.facts.impactError > 10.0f);
}

// The cup: a slow ball within its radius drops; a fast one lips out once and curls away.
void TryCup(ShotSimulation& sim, float speed) {
    BallState& ball = sim.ball;
    ContactState& c = sim.contact;
    if (c.lipped) {
        if (c.lipCount < c.lipSteps) {
            ball.vel = platform::TurnAboutVertical(ball.vel, c.lipTurn);
            ++c.lipCount;
        }
        return;
    }
    if (!(core::DistanceXZ(sim.facts.pin, ball.pos) < c.cupRadius)) {
        return;
    }
    if (speed < c.holeSpeed) {
        ball.holed = 1;
        ball.stopped = 1;
        return;
    }
    ball.vel = ball.vel * 0.5f;
    c.lipped = true;
    const Vec3 left = platform::TurnAboutVertical(ball.vel, kHalfPi);
    const Vec3 right = platform::TurnAboutVertical(ball.vel, -kHalfPi);
    c.lipTurn =
        core::DistanceXZ(sim.facts.pin, ball.pos + right) < core::DistanceXZ(sim.facts.pin, ball.pos + left)
            ? -0.2f
            : 0.2f;
    c.lipSteps = 2.0f * c.holeSpeed > HorizontalSpeed(ball.vel) ? 4 : 2;
    ball.vel = platform::TurnAboutVertical(ball.vel, c.lipTurn);
}

// A wedge with backspin that comes to rest rolls back once.
void TryBite(ShotSimulation& sim) {
    BallState& ball = sim.ball;
    ContactState& c = sim.contact;
    if (!ball.stopped || ball.holed || !sim.shot.bite || c.bitten) {
        return;
    }
    c.bitten = true;
    ball.stopped = 0;
    if (!c.noBite) {
        ball.vel.x = -c.biteVel.x;
        ball.vel.z = -c.biteVel.z;
    }
}

// Slope pulls the ball downhill; the surface slows it.
void RollOn(ShotSimulation& sim, const Ground& ground) {
    BallState& ball = sim.ball;
    const float friction = LieRow(ground.kind).friction;
    const Vec3 n = ground.normal;
    float ax = std::sin(std::atan2(n.x, n.y)) * ball.gravity * ball.dt * 1.2f;
    float az = std::sin(std::atan2(n.z, n.y)) * ball.gravity * ball.dt * 1.2f;
    ax -= ax * friction;
    az -= az * friction;
    ball.vel = ball.vel + Vec3{ax, 0.0f, az};
    const float braking = sim.shot.bite && !sim.contact.bitten ? 3.0f : 1.0f;
    ball.vel = ball.vel - ball.vel * ball.dt * friction * braking;
    if (ground.kind == core::kSurfaceBunker) {
        ball.vel = ball.vel * 0.9f;
    }
}

}  // namespace

void SetCupSize(ContactState& contact, int gameLevel, float pinDistance) {
    static constexpr float kRadius[3] = {0.07f, 0.08f, 0.1f};
    static constexpr float kSpeed[3] = {1.5f, 1.875f, 2.25f};
    const int level = std::clamp(gameLevel, 0, 2);
    contact.cupRadius = kRadius[level];
    contact.holeSpeed = kSpeed[level];
    if (pinDistance < 1.0f) {
        contact.cupRadius *= 1.3f;
        contact.holeSpeed *= 1.25f;
    }
}

void ObjectResponse(BallState& ball, TrajectoryPoint& point, uint8_t kind) {
    point.objectKind = kind;
    Vec3& v = ball.vel;
    if (std::fabs(v.x) >= 3.0f || std::fabs(v.y) >= 3.0f || std::fabs(v.z) >= 3.0f) {
        point.objectHit = 1;
    }
    const bool soft = kind == 'E';
    v.y *= soft ? 0.4f : 0.3f;
    v.x *= soft ? 0.2f : 0.1f;
    v.z *= soft ? 0.2f : 0.1f;
}

void GroundContact(ShotSimulation& sim, TrajectoryPoint& point, Vec3 hit, uint8_t kind) {
    BallState& ball = sim.ball;
    ball.surfaceKind = kind;
    if (std::fabs(ball.vel.y) >= 4.0f) {
        point.bounced = 1;
    }
    ball.windStep = {};
    if (EndsTheShot(kind)) {
        if (kind == core::kSurfaceWater) {
            ball.pos = hit + Vec3{0.0f, ball.lift, 0.0f};
        }
        ball.stopped = 1;
        return;
    }
    const LieSpec& lie = LieRow(kind);
    ball.vel.y = std::fabs(ball.vel.y) * lie.bounce;
    ball.vel.x *= lie.skid;
    ball.vel.z *= lie.skid;
    if (sim.shot.club > kClubIron8) {
        ball.vel = ball.vel * 0.7f;
    }
    ball.pos = hit + Vec3{0.0f, ball.lift, 0.0f};
    if (std::fabs(ball.vel.y) < 1.0f) {
        StartRolling(sim);
    }
}

void RollStep(ShotSimulation& sim) {
    BallState& ball = sim.ball;
    ball.pos = ball.prevPos + ball.vel * ball.dt;
    Ground ground;
    if (!GroundAt(sim.world, ball.pos.x, ball.pos.z, &ground)) {
        return;  // over a gap: the ball runs on untouched
    }
    ball.pos.y = ground.point.y + ball.lift;
    ball.surfaceKind = ground.kind;
    if (EndsTheShot(ground.kind)) {
        ball.stopped = 1;
    }
    const float speed = HorizontalSpeed(ball.vel);
    if (speed < 0.5f) {
        ball.stopped = 1;
    }
    TryCup(sim, speed);
    TryBite(sim);
    if (!ball.stopped) {
        RollOn(sim, ground);
    }
}

}  // namespace physics
