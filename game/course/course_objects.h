#pragma once
// The hole's objects: groups named "RST..." (upright pictures set down on the terrain and turned to
// face the viewer) and "SST..." (fixed shapes). Both stop the ball where their texture is opaque.
// The flag turns to the viewer with the "RST" objects.

#include <cstdint>
#include <functional>
#include <vector>

#include "game/core/fnx_model.h"
#include "game/course/flag_quad.h"
#include "game/course/terrain_grid.h"

namespace course {

struct ObjectBounds {
    Vec3 maxCorner;
    Vec3 minCorner;
    float radius = 0.0f;    // horizontal distance from the object's centre to minCorner
    uint8_t attribute = 0;  // the last character of the group's name, handed to the ball physics
};

// Per group of the hole model; only object groups have their entries filled.
struct CourseObjects {
    std::vector<uint8_t> isObject;
    // x, z: the middle of the object's extent; y: the ground there ("RST") or the lowest vertex ("SST").
    std::vector<Vec3> centres;
    std::vector<ObjectBounds> bounds;
    core::FnxVertex FlagVertices[4] = {};  // the flag, turned and moved to the pin
    float LastFlagAngle = 0.0f;            // the view angle the "RST" objects are turned to
};

bool IsObjectGroup(const core::FnxGroup& group);

// Measures every object and sets each "RST" object down so that its lowest point touches the ground
// under its middle (one with no ground there stays as modelled). Moves vertices of the model.
void PrepareObjects(core::FnxModel& model, const TerrainGrid& grid, CourseObjects& objects);
void FreeObjects(CourseObjects& objects);

// Turns the flag (placed at flagPosition) and the "RST" objects to face a viewer at cameraAnchor
// looking at cameraAim. "RST" vertices are turned in place by the change of angle since last time.
void TurnObjectsToView(core::FnxModel& model, CourseObjects& objects, Vec3 cameraAnchor, Vec3 cameraAim,
                       Vec3 flagPosition);

// The angle TurnObjectsToView turns to for a viewer at cameraAnchor looking at cameraAim; fallback
// when the viewer looks straight down.
float ViewAngle(Vec3 cameraAnchor, Vec3 cameraAim, float fallback);

// Sets every "RST" object of model to its form in seated (the same hole as prepared, never turned)
// turned by angle: the result depends on the angle alone, not on how the objects were turned before.
void FaceObjects(core::FnxModel& model, const core::FnxModel& seated, const CourseObjects& objects,
                 float angle);

// Whether the texture of a material is opaque at texture coordinates (u, v). An implementation
// treats a material without a texture as opaque.
using TexelOpacity = std::function<bool(uint16_t materialIndex, float u, float v)>;

struct ObjectHit {
    Vec3 point;
    Vec3 normal;
    uint8_t attribute = 0;
};

// The first object in model order whose triangles the segment p-q meets at an opaque texel. Objects
// are only tested when p lies within their radius and p or q lies within their height.
bool ObjectSegmentHit(const core::FnxModel& model, const CourseObjects& objects, const TexelOpacity& opacity,
                      Vec3 p, Vec3 q, ObjectHit* hit);

}  // namespace course
