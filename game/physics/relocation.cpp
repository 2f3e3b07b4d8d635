#include "game/physics/relocation.h"

#include <cmath>

#include "game/core/surface_kind.h"

namespace physics {

namespace {

constexpr float kPi = 3.1415927f;
// More steps than it takes to cross the whole grid one yard at a time.
constexpr int kMaxBackSteps = 1000;

bool Forbidden(uint8_t kind) {
    return kind == core::kSurfaceBunker || kind == core::kSurfaceWater || kind == core::kSurfaceOutOfBounds ||
           kind == core::kSurfaceOtherGreen;
}

void AddPenaltyStroke(int par, uint16_t& strokes) {
    if (strokes < 2 * par) {
        ++strokes;
    }
}

void BackToStart(ShotInput& shot) {
    shot.ballPos = shot.startPos;
    shot.surface = shot.startSurface;
}

// Steps back toward where the shot was played from until the ground is allowed there and also one
// step further on. A walk that finds no such ground before leaving the course goes back to the start.
void StepBackToAllowedGround(const ShotWorld& world, float stepLength, ShotInput& shot) {
    const Vec3 back =
        platform::Normalize({shot.startPos.x - shot.ballPos.x, 0.0f, shot.startPos.z - shot.ballPos.z});
    if (!std::isfinite(back.x) || !std::isfinite(back.z)) {
        BackToStart(shot);
        return;
    }
    Vec3 at = shot.ballPos;
    bool allowedBefore = false;
    for (int step = 0; step < kMaxBackSteps; ++step) {
        at = at + back * stepLength;
        Ground ground;
        if (!GroundAt(world, at.x, at.z, &ground)) {
            if (course::TerrainCellOf(at.x, at.z) < 0) {
                break;
            }
            allowedBefore = false;  // a gap in the ground is no place for a ball
            continue;
        }
        const bool allowed = !Forbidden(ground.kind);
        if (allowed && allowedBefore) {
            shot.ballPos = ground.point;
            shot.surface = ground.kind;
            return;
        }
        allowedBefore = allowed;
    }
    BackToStart(shot);
}

// A free drop off a cart path: the nearest rough or fairway on rings of 3 to 19 yards.
void FreeDrop(const ShotWorld& world, ShotInput& shot) {
    for (int radius = 3; radius <= 19; ++radius) {
        for (int degrees = 0; degrees < 360; degrees += 20) {
            const float a = static_cast<float>(degrees) * kPi / 180.0f;
            const float r = static_cast<float>(radius);
            Ground ground;
            if (!GroundAt(world, shot.ballPos.x + r * -std::sin(a), shot.ballPos.z + r * -std::cos(a),
                          &ground)) {
                continue;
            }
            if (ground.kind == core::kSurfaceRough || ground.kind == core::kSurfaceFairway) {
                shot.ballPos = ground.point;
                shot.surface = ground.kind;
                return;
            }
        }
    }
}

}  // namespace

void RelocateBall(const ShotWorld& world, int par, ShotInput& shot, uint16_t& strokes) {
    if (shot.surface == core::kSurfaceOtherGreen) {
        StepBackToAllowedGround(world, 1.0f, shot);
    }
    if (shot.surface == core::kSurfaceWater) {
        AddPenaltyStroke(par, strokes);
        StepBackToAllowedGround(world, 5.0f, shot);
    }
    if (shot.surface == core::kSurfaceCartPath) {
        FreeDrop(world, shot);
    }
    if (shot.surface == core::kSurfaceOutOfBounds) {
        AddPenaltyStroke(par, strokes);
        BackToStart(shot);
    }
}

}  // namespace physics
