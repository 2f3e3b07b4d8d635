#pragma once
// The uniform grid over the ground plane that indexes a hole's terrain triangles, and the queries
// the ball, the hole preparation and the green overlay ask of the terrain: the ground under a point,
// whether a point lies over terrain, and the first terrain triangle a moving ball meets.
//
// The grid reads the hole model's vertex and index arrays in place: the model must outlive the grid,
// and its terrain groups must not move while the grid exists.

#include <cstdint>
#include <vector>

#include "game/core/fnx_model.h"
#include "platform/vecmath.h"

namespace course {

using platform::Vec3;

// One triangle listed in a cell: indices first, first + 1 and first + 2 of the group.
struct TerrainCellEntry {
    uint16_t group = 0;
    uint16_t first = 0;
};

struct TerrainGrid {
    static constexpr float MinX = -200.0f;
    static constexpr float MaxX = 200.0f;
    static constexpr float MinZ = -100.0f;
    static constexpr float MaxZ = 700.0f;
    static constexpr float CellSize = 10.0f;
    static constexpr uint16_t Columns = 40;  // (MaxX - MinX) / CellSize
    static constexpr uint16_t Rows = 80;     // (MaxZ - MinZ) / CellSize
    static constexpr int CellCount = Columns * Rows;

    const core::FnxModel* model = nullptr;
    // The triangles of cell i are entries[cellStart[i]] .. entries[cellStart[i + 1] - 1], in the order
    // they were inserted: groups in model order, triangles in index order.
    std::vector<uint32_t> cellStart;
    std::vector<TerrainCellEntry> entries;
    // Per cell the highest y of any corner of a triangle listed there; 0 when nothing above 0 is.
    std::vector<float> CellTopY;
};

// Indexes every terrain group of the model (all but "BAK", "RST" and "SST" groups).
TerrainGrid BuildTerrainGrid(const core::FnxModel& model);
void FreeTerrainGrid(TerrainGrid& grid);

// Cell index (Columns * row + column) of a point, or -1 outside the grid.
int TerrainCellOf(float x, float z);

// The ground under (p.x, p.z): the first listed triangle of its cell that a vertical probe from
// y = 200 down to y = 0 crosses. On success p.y becomes the ground height, and the normal is the
// vertex normal of the triangle's corner farthest from the ground point. Either output may be null.
bool TerrainHeightAt(const TerrainGrid& grid, Vec3& p, Vec3* normal, int* group);
bool SeatOnTerrain(const TerrainGrid& grid, Vec3& p);
// Whether p lies inside the grid over a cell that holds terrain above y = 0.
bool TerrainHasCell(const TerrainGrid& grid, Vec3 p);
// The first terrain triangle met walking from start to end in steps of one cell; the normal is the
// triangle's face normal as wound in the model. Cells outside the grid count as empty.
bool TerrainSegmentHit(const TerrainGrid& grid, Vec3 start, Vec3 end, Vec3* hit, Vec3* normal, int* group);

}  // namespace course
