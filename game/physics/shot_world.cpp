#include "game/physics/shot_world.h"

#include "game/core/surface_kind.h"

namespace physics {

uint8_t BallSurfaceOfGroup(const ShotWorld& world, int group) {
    const core::SurfaceKind kind = core::SurfaceKindOfGroup(*world.model, group);
    return static_cast<uint8_t>(kind == core::kSurfaceNone ? core::kSurfaceRough : kind);
}

bool GroundAt(const ShotWorld& world, float x, float z, Ground* ground) {
    Vec3 p{x, 0.0f, z};
    Vec3 normal;
    int group = -1;
    if (!course::TerrainHeightAt(*world.grid, p, &normal, &group)) {
        return false;
    }
    *ground = {p, normal, BallSurfaceOfGroup(world, group)};
    return true;
}

}  // namespace physics
