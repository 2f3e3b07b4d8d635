#pragma once
// The hole the benchmarks run on: the demo course's largest hole model when the data set has been
// built, otherwise a synthetic rolling course of about the same size.

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>

#include "game/core/surface_kind.h"
#include "game/course/fnx_loader.h"
#include "game/course/terrain_grid.h"
#include "tests/course/model_fixtures.h"

namespace benchhole {

inline size_t TriangleCount(const core::FnxModel& model) {
    size_t count = 0;
    for (const core::FnxGroup& g : model.groups) {
        count += g.indices.size() / 3;
    }
    return count;
}

inline std::shared_ptr<core::FnxModel> LargestHole(std::string* name) {
    std::shared_ptr<core::FnxModel> best;
    std::error_code ec;
    const std::filesystem::path map = std::filesystem::path(BRIGHTLEA_GAMEDATA_DIR) / "Map";
    for (auto it = std::filesystem::recursive_directory_iterator(map, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (it->path().filename() != "HoleData.fnx") {
            continue;
        }
        std::shared_ptr<core::FnxModel> model(course::LoadFnxModel(it->path().string()),
                                              course::FreeFnxModel);
        if (model && (!best || TriangleCount(*model) > TriangleCount(*best))) {
            best = model;
            *name = it->path().string();
        }
    }
    if (best) {
        return best;
    }
    *name = "synthetic course";
    auto model = std::make_shared<core::FnxModel>();
    const auto hills = [](float x, float z) {
        return 5.0f + 3.0f * std::sin(x * 0.05f) * std::cos(z * 0.03f);
    };
    fixtures::AddHeightfield(*model, "ROU", -200.0f, -100.0f, 200.0f, 300.0f, 100, hills);
    fixtures::AddHeightfield(*model, "FWY", -200.0f, 300.0f, 200.0f, 700.0f, 100, hills);
    fixtures::AddHeightfield(*model, "GRE", -20.0f, 500.0f, 20.0f, 540.0f, 40,
                             [&](float x, float z) { return hills(x, z) + 0.01f; });
    return model;
}

// The middle of the first group of the given surface kind, on the ground; fallback when the hole
// has no such group or no ground there.
inline platform::Vec3 MiddleOf(const core::FnxModel& model, const course::TerrainGrid& grid,
                               core::SurfaceKind kind, platform::Vec3 fallback) {
    for (size_t g = 0; g < model.groups.size(); ++g) {
        const core::FnxGroup& group = model.groups[g];
        if (core::SurfaceKindOfGroup(model, static_cast<int>(g)) != kind || group.vertices.empty()) {
            continue;
        }
        platform::Vec3 sum;
        for (const core::FnxVertex& v : group.vertices) {
            sum = sum + platform::Vec3{v.x, v.y, v.z};
        }
        platform::Vec3 middle = sum * (1.0f / static_cast<float>(group.vertices.size()));
        if (course::SeatOnTerrain(grid, middle)) {
            return middle;
        }
    }
    course::SeatOnTerrain(grid, fallback);
    return fallback;
}

}  // namespace benchhole
