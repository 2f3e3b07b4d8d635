#include "tools/toolkit/ground_coverage.h"

#include <cstdio>

#include "game/course/terrain_grid.h"

namespace tools {

namespace {

void Probe(const course::TerrainGrid& grid, float x, float z, size_t most,
           std::vector<std::string>& uncovered) {
    course::Vec3 p{x, 0.0f, z};
    if (uncovered.size() < most && !course::TerrainHeightAt(grid, p, nullptr, nullptr)) {
        char text[48];
        std::snprintf(text, sizeof text, "(%.2f, %.2f)", x, z);
        uncovered.push_back(text);
    }
}

}  // namespace

std::vector<std::string> UncoveredGround(const core::FnxModel& model, const std::vector<GroundPoint>& also,
                                         size_t most) {
    using Grid = course::TerrainGrid;
    course::TerrainGrid grid = course::BuildTerrainGrid(model);
    std::vector<std::string> uncovered;
    for (const GroundPoint& point : also) {
        Probe(grid, point.x, point.z, most, uncovered);
    }
    // Five probes a side per cell, the last just inside the cell's far edges.
    constexpr float kOffsets[5] = {0.0f, 2.5f, 5.0f, 7.5f, 9.99f};
    for (int row = 0; row < Grid::Rows && uncovered.size() < most; ++row) {
        for (int column = 0; column < Grid::Columns && uncovered.size() < most; ++column) {
            for (float dz : kOffsets) {
                for (float dx : kOffsets) {
                    Probe(grid, Grid::MinX + column * Grid::CellSize + dx,
                          Grid::MinZ + row * Grid::CellSize + dz, most, uncovered);
                }
            }
        }
    }
    course::FreeTerrainGrid(grid);
    return uncovered;
}

}  // namespace tools
