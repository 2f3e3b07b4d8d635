#include "game/core/segment_mesh.h"

#include <algorithm>

namespace core {

namespace {

// An axis-aligned box around the region where a crossing with segment p-q can lie: the segment
// itself, and for a vertical segment the probe's reach above and below p. The margin covers the
// rounding of the crossing and the inside test.
struct Box {
    Vec3 lo, hi;
};

constexpr float kBoxMargin = 0.01f;

Box SegmentReach(Vec3 p, Vec3 q) {
    const float reach = Distance3(p, q) + kBoxMargin;
    return {{std::min(p.x, q.x) - kBoxMargin, std::min(p.y, q.y) - reach, std::min(p.z, q.z) - kBoxMargin},
            {std::max(p.x, q.x) + kBoxMargin, std::max(p.y, q.y) + reach, std::max(p.z, q.z) + kBoxMargin}};
}

bool TriangleMisses(const Box& box, const Vec3 corner[3]) {
    const auto below = [](float a, float b, float c, float lo) { return a < lo && b < lo && c < lo; };
    const auto above = [](float a, float b, float c, float hi) { return a > hi && b > hi && c > hi; };
    return below(corner[0].x, corner[1].x, corner[2].x, box.lo.x) ||
           above(corner[0].x, corner[1].x, corner[2].x, box.hi.x) ||
           below(corner[0].y, corner[1].y, corner[2].y, box.lo.y) ||
           above(corner[0].y, corner[1].y, corner[2].y, box.hi.y) ||
           below(corner[0].z, corner[1].z, corner[2].z, box.lo.z) ||
           above(corner[0].z, corner[1].z, corner[2].z, box.hi.z);
}

Vec3 PositionOf(const core::FnxVertex& v) {
    return {v.x, v.y, v.z};
}
Vec3 NormalOf(const core::FnxVertex& v) {
    return {v.nx, v.ny, v.nz};
}

}  // namespace

bool SegmentMesh(std::span<const core::FnxVertex> vertices, std::span<const uint16_t> indices, Vec3 p, Vec3 q,
                 MeshHit* hit) {
    float best = Distance3(p, q);
    bool found = false;
    const Box reach = SegmentReach(p, q);
    for (size_t first = 0; first + 2 < indices.size(); first += 3) {
        const uint16_t i[3] = {indices[first], indices[first + 1], indices[first + 2]};
        if (i[0] >= vertices.size() || i[1] >= vertices.size() || i[2] >= vertices.size()) {
            continue;
        }
        const Vec3 corner[3] = {PositionOf(vertices[i[0]]), PositionOf(vertices[i[1]]),
                                PositionOf(vertices[i[2]])};
        if (TriangleMisses(reach, corner)) {
            continue;  // cheap rejection of the many triangles far from the segment
        }
        Vec3 crossing;
        if (!SegmentTriangleSolid(corner[0], corner[1], corner[2], p, q, &crossing)) {
            continue;
        }
        const float distance = Distance3(p, crossing);
        if (!(distance < best)) {
            continue;
        }
        best = distance;
        found = true;
        const int farthest = FarthestCorner(crossing, corner[0], corner[1], corner[2]);
        hit->point = crossing;
        hit->normal = NormalOf(vertices[i[farthest]]);
        hit->distance = distance;
        for (int k = 0; k < 3; ++k) {
            hit->index[k] = i[k];
        }
    }
    return found;
}

}  // namespace core
