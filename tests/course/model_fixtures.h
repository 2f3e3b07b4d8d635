#pragma once
// Small hole models built in memory for terrain, object and shot tests.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "game/core/fnx_model.h"

namespace fixtures {

using core::FnxGroup;
using core::FnxModel;
using core::FnxVertex;

inline FnxVertex V(float x, float y, float z, float u = 0.0f, float v = 0.0f) {
    return {x, y, z, 0.0f, 1.0f, 0.0f, u, v};
}

inline FnxGroup& AddGroup(FnxModel& model, const std::string& name, std::vector<FnxVertex> vertices,
                          std::vector<uint16_t> indices, uint16_t material = core::kNoMaterial) {
    FnxGroup group;
    std::strncpy(group.name, name.c_str(), sizeof(group.name) - 1);
    group.vertexCount = static_cast<uint16_t>(vertices.size());
    group.indexCount = static_cast<uint16_t>(indices.size());
    group.materialIndex = material;
    group.vertices = std::move(vertices);
    group.indices = std::move(indices);
    model.groups.push_back(std::move(group));
    model.groupCount = static_cast<uint16_t>(model.groups.size());
    return model.groups.back();
}

// A flat square from (x0, z0) to (x1, z1) at height y, two triangles wound so that the face normal
// points up.
inline FnxGroup& AddFlatQuad(FnxModel& model, const std::string& name, float x0, float z0, float x1, float z1,
                             float y) {
    return AddGroup(model, name, {V(x0, y, z0), V(x0, y, z1), V(x1, y, z1), V(x1, y, z0)},
                    {0, 1, 2, 0, 2, 3});
}

// Ground y = f(x, z) sampled on a regular lattice and split into triangles, with vertex normals set
// from the slope.
template <typename Height>
FnxGroup& AddHeightfield(FnxModel& model, const std::string& name, float x0, float z0, float x1, float z1,
                         int steps, Height height) {
    std::vector<FnxVertex> vertices;
    std::vector<uint16_t> indices;
    const float dx = (x1 - x0) / steps, dz = (z1 - z0) / steps;
    for (int j = 0; j <= steps; ++j) {
        for (int i = 0; i <= steps; ++i) {
            const float x = x0 + dx * i, z = z0 + dz * j;
            FnxVertex v = V(x, height(x, z), z);
            const float sx = (height(x + 0.5f, z) - height(x - 0.5f, z)),
                        sz = (height(x, z + 0.5f) - height(x, z - 0.5f));
            const float len = std::sqrt(sx * sx + 1.0f + sz * sz);
            v.nx = -sx / len;
            v.ny = 1.0f / len;
            v.nz = -sz / len;
            vertices.push_back(v);
        }
    }
    const int row = steps + 1;
    for (int j = 0; j < steps; ++j) {
        for (int i = 0; i < steps; ++i) {
            const auto at = [&](int a, int b) { return static_cast<uint16_t>(b * row + a); };
            indices.insert(indices.end(), {at(i, j), at(i, j + 1), at(i + 1, j + 1), at(i, j),
                                           at(i + 1, j + 1), at(i + 1, j)});
        }
    }
    return AddGroup(model, name, std::move(vertices), std::move(indices));
}

// A random hilly terrain: several groups of triangles over irregularly placed vertices, some of
// them overlapping in plan, all above y = 0.
inline FnxModel RandomTerrain(uint32_t seed, int groups = 4, int trianglesPerGroup = 300) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> x(-210.0f, 210.0f), z(-110.0f, 710.0f), y(0.5f, 40.0f),
        size(1.0f, 60.0f), unit(-1.0f, 1.0f);
    FnxModel model;
    const char* names[] = {"FWY01", "ROU02", "GRE03", "BNK04", "TEE05", "WTR06"};
    for (int g = 0; g < groups; ++g) {
        std::vector<FnxVertex> vertices;
        std::vector<uint16_t> indices;
        for (int t = 0; t < trianglesPerGroup; ++t) {
            const float cx = x(rng), cz = z(rng), s = size(rng);
            for (int k = 0; k < 3; ++k) {
                FnxVertex v = V(cx + s * unit(rng), y(rng), cz + s * unit(rng));
                v.nx = unit(rng);
                v.nz = unit(rng);
                vertices.push_back(v);
                indices.push_back(static_cast<uint16_t>(vertices.size() - 1));
            }
        }
        AddGroup(model, names[g % 6], std::move(vertices), std::move(indices));
    }
    return model;
}

}  // namespace fixtures
