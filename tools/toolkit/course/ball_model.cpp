#include "tools/toolkit/course/ball_model.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace tools {

core::FnxModel MakeBallModel(float radius) {
    constexpr int kRings = 8;
    constexpr int kSegments = 12;
    constexpr double kPi = 3.14159265358979323846;
    core::FnxModel model;
    std::memcpy(model.magic, "FNX3DF", 6);
    core::FnxGroup group;
    std::snprintf(group.name, sizeof group.name, "ball");
    group.materialIndex = core::kNoMaterial;
    for (int r = 0; r <= kRings; ++r) {
        const double polar = kPi * r / kRings;
        for (int s = 0; s <= kSegments; ++s) {
            const double azimuth = 2 * kPi * s / kSegments;
            const double nx = std::sin(polar) * std::cos(azimuth);
            const double ny = std::cos(polar);
            const double nz = std::sin(polar) * std::sin(azimuth);
            group.vertices.push_back({static_cast<float>(nx * radius), static_cast<float>(ny * radius),
                                      static_cast<float>(nz * radius), static_cast<float>(nx),
                                      static_cast<float>(ny), static_cast<float>(nz),
                                      static_cast<float>(s) / kSegments, static_cast<float>(r) / kRings});
        }
    }
    // Clockwise seen from outside, the way the device draws front faces.
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSegments; ++s) {
            const auto a = static_cast<uint16_t>(r * (kSegments + 1) + s);
            const auto b = static_cast<uint16_t>(a + 1);
            const auto c = static_cast<uint16_t>(a + kSegments + 1);
            const auto d = static_cast<uint16_t>(c + 1);
            for (uint16_t i : {a, b, c, c, b, d}) {
                group.indices.push_back(i);
            }
        }
    }
    group.vertexCount = static_cast<uint16_t>(group.vertices.size());
    group.indexCount = static_cast<uint16_t>(group.indices.size());
    model.groups.push_back(std::move(group));
    model.groupCount = 1;
    return model;
}

}  // namespace tools
