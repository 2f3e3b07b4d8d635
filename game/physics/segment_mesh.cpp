#include "game/physics/segment_mesh.h"

namespace physics {

namespace {

Vec3 PositionOf(const course::FnxVertex& v) {
    return {v.x, v.y, v.z};
}
Vec3 NormalOf(const course::FnxVertex& v) {
    return {v.nx, v.ny, v.nz};
}

}  // namespace

bool SegmentMesh(std::span<const course::FnxVertex> vertices, std::span<const uint16_t> indices, Vec3 p,
                 Vec3 q, MeshHit* hit) {
    float best = Distance3(p, q);
    bool found = false;
    for (size_t first = 0; first + 2 < indices.size(); first += 3) {
        const uint16_t i[3] = {indices[first], indices[first + 1], indices[first + 2]};
        if (i[0] >= vertices.size() || i[1] >= vertices.size() || i[2] >= vertices.size()) {
            continue;
        }
        const Vec3 corner[3] = {PositionOf(vertices[i[0]]), PositionOf(vertices[i[1]]),
                                PositionOf(vertices[i[2]])};
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

}  // namespace physics
