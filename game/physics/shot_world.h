#pragma once
// What a shot is simulated against: the hole's terrain and objects, and the few match facts the
// bounce, roll and stroke limit read.

#include <cstdint>

#include "game/course/course_objects.h"
#include "game/course/terrain_grid.h"
#include "platform/vecmath.h"

namespace physics {

using platform::Vec3;

struct ShotWorld {
    const core::FnxModel* model = nullptr;
    const course::TerrainGrid* grid = nullptr;
    const course::CourseObjects* objects = nullptr;  // none: the hole has no objects
    course::TexelOpacity opacity;                    // none: every object is solid
};

struct ShotFacts {
    int32_t gameLevel = 0;     // GAMELEVEL 0-2
    int32_t par = 4;           // the hole's par
    int32_t strokes = 0;       // the shooter's strokes on this hole, this one included
    Vec3 pin;                  // the cup
    float impactError = 0.0f;  // the shooter's impact error E2; a poor impact cancels the bite
};

struct Ground {
    Vec3 point;   // on the ground
    Vec3 normal;  // vertex normal there
    uint8_t kind = 0;
};

// Surface kind of a terrain group for the ball: terrain of no known kind behaves as rough.
uint8_t BallSurfaceOfGroup(const ShotWorld& world, int group);
// The ground under (x, z), or false when there is none.
bool GroundAt(const ShotWorld& world, float x, float z, Ground* ground);

}  // namespace physics
