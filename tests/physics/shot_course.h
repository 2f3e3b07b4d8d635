#pragma once
// Hand-built holes for shot tests: flat patches of given surfaces over a base ground. Patches
// added first win where they overlap later ones.

#include <memory>

#include "game/course/course_objects.h"
#include "game/course/terrain_grid.h"
#include "game/physics/ball_flight.h"
#include "game/physics/shot_world.h"
#include "tests/course/model_fixtures.h"

namespace fixtures {

struct ShotCourse {
    core::FnxModel model;
    course::TerrainGrid grid;
    course::CourseObjects objects;
    physics::ShotWorld world;

    // The grid and the world point into the record itself: it stays where it was made.
    ShotCourse() = default;
    ShotCourse(const ShotCourse&) = delete;
    ShotCourse& operator=(const ShotCourse&) = delete;

    ShotCourse& Patch(const char* name, float x0, float z0, float x1, float z1, float y) {
        AddFlatQuad(model, name, x0, z0, x1, z1, y);
        return *this;
    }
    // One surface over the whole grid at y = 1.
    ShotCourse& Flat(const char* surface) { return Patch(surface, -150, -90, 150, 690, 1.0f).Ready(); }
    // Builds the grid and the objects; call once all groups are in.
    ShotCourse& Ready() {
        grid = course::BuildTerrainGrid(model);
        course::PrepareObjects(model, grid, objects);
        world = {&model, &grid, &objects, nullptr};
        return *this;
    }
};

// A shot from `from` toward `target` with the given launch.
inline physics::ShotInput Shot(platform::Vec3 from, platform::Vec3 target, int club, float speed,
                               float elevation) {
    physics::ShotInput shot;
    shot.ballPos = shot.startPos = from;
    shot.aimTarget = target;
    shot.club = static_cast<uint8_t>(club);
    shot.launchSpeed = speed;
    shot.elevation = elevation;
    shot.pinDistance = 100.0f;
    return shot;
}

}  // namespace fixtures
