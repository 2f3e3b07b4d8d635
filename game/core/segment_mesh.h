#pragma once
// Nearest crossing of a segment with an indexed triangle mesh (a model group's vertex and index
// arrays, read in place). Meshes of any shape are met where their triangles really are, upright
// pictures included.

#include <cstdint>
#include <span>

#include "game/core/fnx_model.h"
#include "game/core/geometry.h"

namespace core {

struct MeshHit {
    Vec3 point;              // the crossing nearest to the segment's start
    Vec3 normal;             // stored normal of the hit triangle's vertex farthest from the point
    float distance = 0;      // from the segment's start to the point
    uint16_t index[3] = {};  // the hit triangle's vertex indices
};

// Tests the triangles in index order and keeps the crossing strictly nearest to p (the earlier
// triangle on a tie). Triangles with an index outside the vertex array are ignored. Returns false,
// leaving *hit untouched, when nothing is crossed.
bool SegmentMesh(std::span<const core::FnxVertex> vertices, std::span<const uint16_t> indices, Vec3 p, Vec3 q,
                 MeshHit* hit);

}  // namespace core
