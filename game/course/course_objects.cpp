#include "game/course/course_objects.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/core/geometry.h"
#include "game/core/segment_mesh.h"

namespace course {

namespace {

constexpr float kPi = 3.1415927f;

bool IsUpright(const core::FnxGroup& group) {
    return std::strncmp(group.name, "RST", 3) == 0;
}

uint8_t AttributeOf(const core::FnxGroup& group) {
    const void* end = std::memchr(group.name, 0, sizeof(group.name));
    const size_t length = end ? static_cast<const char*>(end) - group.name : sizeof(group.name);
    return length == 0 ? 0 : static_cast<uint8_t>(group.name[length - 1]);
}

Vec3 PositionOf(const core::FnxVertex& v) {
    return {v.x, v.y, v.z};
}

core::FnxVertex Turned(const core::FnxVertex& v, float angle) {
    const Vec3 p = platform::TurnAboutVertical(PositionOf(v), angle);
    const Vec3 n = platform::TurnAboutVertical({v.nx, v.ny, v.nz}, angle);
    return {p.x, p.y, p.z, n.x, n.y, n.z, v.u, v.v};
}

// Writes the vertices of `from` turned by angle about the vertical through centre into `to`, which
// may be the same group. Only x and z change.
void TurnGroup(const core::FnxGroup& from, core::FnxGroup& to, Vec3 centre, float angle) {
    for (size_t i = 0; i < from.vertices.size(); ++i) {
        const core::FnxVertex& v = from.vertices[i];
        core::FnxVertex turned =
            Turned({v.x - centre.x, v.y, v.z - centre.z, v.nx, v.ny, v.nz, v.u, v.v}, angle);
        turned.x += centre.x;
        turned.z += centre.z;
        to.vertices[i] = turned;
    }
}

void PrepareObject(core::FnxGroup& group, const TerrainGrid& grid, Vec3& centre, ObjectBounds& bounds) {
    Vec3 lo{1000.0f, 1000.0f, 1000.0f}, hi{-1000.0f, -1000.0f, -1000.0f};
    for (const core::FnxVertex& v : group.vertices) {
        lo = {std::min(lo.x, v.x), std::min(lo.y, v.y), std::min(lo.z, v.z)};
        hi = {std::max(hi.x, v.x), std::max(hi.y, v.y), std::max(hi.z, v.z)};
    }
    centre = {(lo.x + hi.x) / 2.0f, lo.y, (lo.z + hi.z) / 2.0f};
    float dy = 0.0f;
    if (IsUpright(group)) {
        Vec3 ground = centre;
        if (SeatOnTerrain(grid, ground)) {
            centre.y = ground.y;
            dy = ground.y - lo.y;
        }
    }
    bounds.maxCorner = {hi.x, hi.y + dy, hi.z};
    bounds.minCorner = {lo.x, lo.y + dy, lo.z};
    bounds.radius = core::DistanceXZ(centre, bounds.minCorner);
    bounds.attribute = AttributeOf(group);
    if (dy != 0.0f) {
        for (core::FnxVertex& v : group.vertices) {
            v.y += dy;
        }
    }
}

// Texture coordinates at a point of a triangle, interpolated from its corners.
void TextureCoordinatesAt(const core::FnxVertex& a, const core::FnxVertex& b, const core::FnxVertex& c,
                          Vec3 point, float* u, float* v) {
    double wb = 0.0, wc = 0.0;
    core::BarycentricWeights(PositionOf(a), PositionOf(b), PositionOf(c), point, &wb, &wc);
    const double wa = 1.0 - wb - wc;
    *u = static_cast<float>(wa * a.u + wb * b.u + wc * c.u);
    *v = static_cast<float>(wa * a.v + wb * b.v + wc * c.v);
}

}  // namespace

bool IsObjectGroup(const core::FnxGroup& group) {
    return IsUpright(group) || std::strncmp(group.name, "SST", 3) == 0;
}

void PrepareObjects(core::FnxModel& model, const TerrainGrid& grid, CourseObjects& objects) {
    const size_t count = model.groups.size();
    objects.isObject.assign(count, 0);
    objects.centres.assign(count, Vec3{});
    objects.bounds.assign(count, ObjectBounds{});
    objects.LastFlagAngle = 0.0f;
    for (size_t g = 0; g < count; ++g) {
        if (IsObjectGroup(model.groups[g])) {
            objects.isObject[g] = 1;
            PrepareObject(model.groups[g], grid, objects.centres[g], objects.bounds[g]);
        }
    }
}

void FreeObjects(CourseObjects& objects) {
    objects = CourseObjects{};
}

float ViewAngle(Vec3 cameraAnchor, Vec3 cameraAim, float fallback) {
    const Vec3 d = platform::Normalize({cameraAim.x - cameraAnchor.x, 0.0f, cameraAim.z - cameraAnchor.z});
    if (!std::isfinite(d.x) || !std::isfinite(d.z)) {
        return fallback;  // a viewer looking straight down keeps the last angle
    }
    if (d.z != 0.0f) {
        return std::atan2(d.x, d.z);
    }
    return d.x > 0.0f ? 0.0f : kPi;
}

void TurnObjectsToView(core::FnxModel& model, CourseObjects& objects, Vec3 cameraAnchor, Vec3 cameraAim,
                       Vec3 flagPosition) {
    const float angle = ViewAngle(cameraAnchor, cameraAim, objects.LastFlagAngle);
    for (int i = 0; i < 4; ++i) {
        core::FnxVertex v = Turned(kFlagQuadVertices[i], angle);
        v.x += flagPosition.x;
        v.y += flagPosition.y;
        v.z += flagPosition.z;
        objects.FlagVertices[i] = v;
    }
    if (angle == objects.LastFlagAngle) {
        return;
    }
    const float delta = angle - objects.LastFlagAngle;
    objects.LastFlagAngle = angle;
    for (size_t g = 0; g < model.groups.size() && g < objects.isObject.size(); ++g) {
        if (objects.isObject[g] && IsUpright(model.groups[g])) {
            TurnGroup(model.groups[g], model.groups[g], objects.centres[g], delta);
        }
    }
}

void FaceObjects(core::FnxModel& model, const core::FnxModel& seated, const CourseObjects& objects,
                 float angle) {
    const size_t count = std::min({model.groups.size(), seated.groups.size(), objects.isObject.size()});
    for (size_t g = 0; g < count; ++g) {
        if (objects.isObject[g] && IsUpright(seated.groups[g]) &&
            model.groups[g].vertices.size() == seated.groups[g].vertices.size()) {
            TurnGroup(seated.groups[g], model.groups[g], objects.centres[g], angle);
        }
    }
}

bool ObjectSegmentHit(const core::FnxModel& model, const CourseObjects& objects, const TexelOpacity& opacity,
                      Vec3 p, Vec3 q, ObjectHit* hit) {
    for (size_t g = 0; g < model.groups.size() && g < objects.isObject.size(); ++g) {
        if (!objects.isObject[g]) {
            continue;
        }
        const ObjectBounds& bounds = objects.bounds[g];
        if (!(core::DistanceXZ(p, objects.centres[g]) <= bounds.radius)) {
            continue;
        }
        const auto withinHeight = [&](float y) { return bounds.minCorner.y <= y && y <= bounds.maxCorner.y; };
        if (!withinHeight(p.y) && !withinHeight(q.y)) {
            continue;
        }
        const core::FnxGroup& group = model.groups[g];
        core::MeshHit meshHit;
        if (!core::SegmentMesh(group.vertices, group.indices, p, q, &meshHit)) {
            continue;
        }
        float u = 0.0f, v = 0.0f;
        TextureCoordinatesAt(group.vertices[meshHit.index[0]], group.vertices[meshHit.index[1]],
                             group.vertices[meshHit.index[2]], meshHit.point, &u, &v);
        if (opacity && !opacity(group.materialIndex, u, v)) {
            continue;  // the ball passes through transparent parts
        }
        if (hit) {
            *hit = {meshHit.point, meshHit.normal, bounds.attribute};
        }
        return true;
    }
    return false;
}

}  // namespace course
