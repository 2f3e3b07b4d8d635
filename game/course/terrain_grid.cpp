#include "game/course/terrain_grid.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "game/core/geometry.h"
#include "game/core/square_overlap.h"

namespace course {

namespace {

using Grid = TerrainGrid;

// More than the cells across the grid's diagonal (about 90).
constexpr float kMaxWalkSteps = 200.0f;

// Column (or row) of a coordinate, unclamped but kept within a few cells of the grid so that it
// always fits an int.
int CellLine(float v, float lo, int count) {
    const double line = std::floor((double(v) - lo) / Grid::CellSize);
    return static_cast<int>(std::clamp(line, -1.0, double(count)));
}

Vec3 Corner(const core::FnxGroup& group, uint16_t index) {
    const core::FnxVertex& v = group.vertices[index];
    return {v.x, v.y, v.z};
}

bool TriangleIndicesValid(const core::FnxGroup& group, size_t first) {
    const size_t n = group.vertices.size();
    return first + 2 < group.indices.size() && group.indices[first] < n && group.indices[first + 1] < n &&
           group.indices[first + 2] < n;
}

bool OverGrid(Vec3 p) {
    return p.x >= Grid::MinX && p.x <= Grid::MaxX && p.z >= Grid::MinZ && p.z <= Grid::MaxZ;
}

// Cuts the segment a-b to its part over the grid (nothing lies beside it), so that walking it
// takes at most a grid's width of cells however long it was; false when none of it is over the
// grid. An end over the grid stays exactly as given.
bool ClipToGridPlane(Vec3& a, Vec3& b) {
    if (OverGrid(a) && OverGrid(b)) {
        return true;
    }
    const double ax = a.x, az = a.z, dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    double t0 = 0.0, t1 = 1.0;
    // Keeps the part of the segment where p * t <= q.
    const auto keep = [&](double p, double q) {
        if (p == 0.0) {
            return q >= 0.0;
        }
        const double r = q / p;
        if (p < 0.0) {
            t0 = std::max(t0, r);
        } else {
            t1 = std::min(t1, r);
        }
        return t0 <= t1;
    };
    if (!keep(-dx, ax - Grid::MinX) || !keep(dx, Grid::MaxX - ax) || !keep(-dz, az - Grid::MinZ) ||
        !keep(dz, Grid::MaxZ - az)) {
        return false;
    }
    const Vec3 from = a;
    const auto at = [&](double t) {
        return Vec3{static_cast<float>(from.x + dx * t), static_cast<float>(from.y + dy * t),
                    static_cast<float>(from.z + dz * t)};
    };
    if (t0 > 0.0) {
        a = at(t0);
    }
    if (t1 < 1.0) {
        b = at(t1);
    }
    return true;
}

bool SameCorner(Vec3 a, Vec3 b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

bool IsTerrainGroup(const core::FnxGroup& group) {
    return std::strncmp(group.name, "BAK", 3) != 0 && std::strncmp(group.name, "RST", 3) != 0 &&
           std::strncmp(group.name, "SST", 3) != 0;
}

struct PendingEntry {
    int cell;
    TerrainCellEntry entry;
};

// Lists the triangle in every cell its footprint overlaps and raises those cells' tops.
void InsertTriangle(Grid& grid, std::vector<PendingEntry>& pending, uint16_t groupIndex, uint16_t first,
                    Vec3 a, Vec3 b, Vec3 c) {
    const double minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    const double minZ = std::min({a.z, b.z, c.z}), maxZ = std::max({a.z, b.z, c.z});
    if (!std::isfinite(minX + maxX + minZ + maxZ)) {
        return;
    }
    const auto line = [](double v, double lo, bool up, int count) {
        const double cells = (v - lo) / Grid::CellSize;
        return static_cast<int>(std::clamp(up ? std::ceil(cells) : std::floor(cells), 0.0, double(count)));
    };
    const int c0 = line(minX, Grid::MinX, false, Grid::Columns),
              c1 = line(maxX, Grid::MinX, true, Grid::Columns);
    const int r0 = line(minZ, Grid::MinZ, false, Grid::Rows), r1 = line(maxZ, Grid::MinZ, true, Grid::Rows);
    for (int r = r0; r < r1; ++r) {
        for (int col = c0; col < c1; ++col) {
            const float x = Grid::MinX + Grid::CellSize * col;
            const float z = Grid::MinZ + Grid::CellSize * r;
            if (!core::TriangleOverlapsSquare({x, 0.0f, z}, {x + Grid::CellSize, 0.0f, z + Grid::CellSize}, a,
                                              b, c)) {
                continue;
            }
            const int cell = Grid::Columns * r + col;
            pending.push_back({cell, {groupIndex, first}});
            float& top = grid.CellTopY[cell];
            top = std::max({top, a.y, b.y, c.y});
        }
    }
}

void InsertGroup(Grid& grid, std::vector<PendingEntry>& pending, uint16_t groupIndex) {
    const core::FnxGroup& group = grid.model->groups[groupIndex];
    for (size_t first = 0; first + 2 < group.indices.size(); first += 3) {
        if (!TriangleIndicesValid(group, first)) {
            continue;
        }
        const Vec3 a = Corner(group, group.indices[first]);
        const Vec3 b = Corner(group, group.indices[first + 1]);
        const Vec3 c = Corner(group, group.indices[first + 2]);
        if (SameCorner(a, b) || SameCorner(b, c) || SameCorner(a, c)) {
            continue;
        }
        InsertTriangle(grid, pending, groupIndex, static_cast<uint16_t>(first), a, b, c);
    }
}

struct TriangleCorners {
    Vec3 a, b, c;
};

TriangleCorners CornersOf(const Grid& grid, const TerrainCellEntry& entry) {
    const core::FnxGroup& group = grid.model->groups[entry.group];
    return {Corner(group, group.indices[entry.first]), Corner(group, group.indices[entry.first + 1]),
            Corner(group, group.indices[entry.first + 2])};
}

Vec3 NormalOf(const Grid& grid, const TerrainCellEntry& entry, int corner) {
    const core::FnxGroup& group = grid.model->groups[entry.group];
    const core::FnxVertex& v = group.vertices[group.indices[entry.first + corner]];
    return {v.nx, v.ny, v.nz};
}

bool IsFinite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

struct CellCrossing {
    const TerrainCellEntry* entry = nullptr;  // none: no triangle of the cell is crossed
    TriangleCorners corners;
    Vec3 point;
};

// The first triangle listed in the cell that segment p-q crosses.
CellCrossing FirstCrossingInCell(const Grid& grid, int cell, Vec3 p, Vec3 q) {
    CellCrossing found;
    for (uint32_t e = grid.cellStart[cell]; e < grid.cellStart[cell + 1]; ++e) {
        found.corners = CornersOf(grid, grid.entries[e]);
        const TriangleCorners& t = found.corners;
        if (core::SegmentTriangle(t.a, t.b, t.c, p, q, &found.point)) {
            found.entry = &grid.entries[e];
            break;
        }
    }
    return found;
}

}  // namespace

TerrainGrid BuildTerrainGrid(const core::FnxModel& model) {
    Grid grid;
    grid.model = &model;
    grid.CellTopY.assign(Grid::CellCount, 0.0f);
    std::vector<PendingEntry> pending;
    const size_t groupCount = std::min<size_t>(model.groups.size(), UINT16_MAX + 1);
    for (size_t g = 0; g < groupCount; ++g) {
        if (IsTerrainGroup(model.groups[g])) {
            InsertGroup(grid, pending, static_cast<uint16_t>(g));
        }
    }
    // Counting sort by cell; stable, so each cell keeps the insertion order.
    grid.cellStart.assign(Grid::CellCount + 1, 0);
    for (const PendingEntry& p : pending) {
        ++grid.cellStart[p.cell + 1];
    }
    for (int i = 0; i < Grid::CellCount; ++i) {
        grid.cellStart[i + 1] += grid.cellStart[i];
    }
    grid.entries.resize(pending.size());
    std::vector<uint32_t> fill(grid.cellStart.begin(), grid.cellStart.end() - 1);
    for (const PendingEntry& p : pending) {
        grid.entries[fill[p.cell]++] = p.entry;
    }
    return grid;
}

void FreeTerrainGrid(TerrainGrid& grid) {
    grid = TerrainGrid{};
}

int TerrainCellOf(float x, float z) {
    if (!(x >= Grid::MinX && x < Grid::MaxX && z >= Grid::MinZ && z < Grid::MaxZ)) {
        return -1;
    }
    // A coordinate a hair below the upper bound can still round onto it; keep it in the last cell.
    const int column = std::min(CellLine(x, Grid::MinX, Grid::Columns), Grid::Columns - 1);
    const int row = std::min(CellLine(z, Grid::MinZ, Grid::Rows), Grid::Rows - 1);
    return Grid::Columns * row + column;
}

bool TerrainHeightAt(const TerrainGrid& grid, Vec3& p, Vec3* normal, int* group) {
    const int cell = TerrainCellOf(p.x, p.z);
    if (cell < 0 || grid.cellStart.empty()) {
        return false;
    }
    const CellCrossing ground = FirstCrossingInCell(grid, cell, {p.x, 200.0f, p.z}, {p.x, 0.0f, p.z});
    if (!ground.entry) {
        return false;
    }
    p = ground.point;
    if (normal) {
        const TriangleCorners& t = ground.corners;
        *normal = NormalOf(grid, *ground.entry, core::FarthestCorner(ground.point, t.a, t.b, t.c));
    }
    if (group) {
        *group = ground.entry->group;
    }
    return true;
}

bool SeatOnTerrain(const TerrainGrid& grid, Vec3& p) {
    return TerrainHeightAt(grid, p, nullptr, nullptr);
}

bool TerrainHasCell(const TerrainGrid& grid, Vec3 p) {
    const int cell = TerrainCellOf(p.x, p.z);
    return cell >= 0 && !grid.CellTopY.empty() && grid.CellTopY[cell] != 0.0f;
}

bool TerrainSegmentHit(const TerrainGrid& grid, Vec3 start, Vec3 end, Vec3* hit, Vec3* normal, int* group) {
    if (grid.cellStart.empty() || !IsFinite(start) || !IsFinite(end) || !ClipToGridPlane(start, end)) {
        return false;
    }
    const Vec3 dir = platform::Normalize(end - start);
    const float total = platform::Length(end - start);
    // Each step advances one cell. Over the grid a segment is at most a grid's diagonal wide, so a
    // longer one is steep: its steps grow so that there are never more than kMaxWalkSteps, and each
    // still moves less than a cell sideways, so no cell it crosses is missed.
    const float stepLength = std::max(Grid::CellSize, total / kMaxWalkSteps);
    const double maxSteps = double(total) / stepLength + 2.0;
    Vec3 cur = start;
    for (double step = 0; step < maxSteps; ++step) {
        if (SameCorner(cur, end)) {
            return false;
        }
        Vec3 next = cur + dir * stepLength;
        if (platform::Length(next - start) >= total || SameCorner(next, cur)) {
            next = end;
        }
        const int colA = CellLine(cur.x, Grid::MinX, Grid::Columns),
                  colB = CellLine(next.x, Grid::MinX, Grid::Columns);
        const int rowA = CellLine(cur.z, Grid::MinZ, Grid::Rows),
                  rowB = CellLine(next.z, Grid::MinZ, Grid::Rows);
        const int r0 = std::max(std::min(rowA, rowB), 0), r1 = std::min(std::max(rowA, rowB), Grid::Rows - 1);
        const int c0 = std::max(std::min(colA, colB), 0),
                  c1 = std::min(std::max(colA, colB), Grid::Columns - 1);
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                const int cell = Grid::Columns * r + c;
                const float top = grid.CellTopY[cell];
                if (top < next.y && top < cur.y) {
                    continue;
                }
                const CellCrossing crossing = FirstCrossingInCell(grid, cell, next, cur);
                if (!crossing.entry) {
                    continue;
                }
                if (hit) {
                    *hit = crossing.point;
                }
                if (normal) {
                    const TriangleCorners& t = crossing.corners;
                    *normal = platform::Normalize(core::Cross(t.b - t.a, t.c - t.a));
                }
                if (group) {
                    *group = crossing.entry->group;
                }
                return true;
            }
        }
        cur = next;
        if (!(platform::Length(cur - start) < total)) {
            return false;
        }
    }
    return false;
}

}  // namespace course
