#pragma once
// Turns the ground of a hole into terrain groups: a triangle grid over the whole land of the hole
// (the game's terrain grid and a margin around it, so that no ball can fall through the world and
// no view sees its edge), fine around the line of play and coarse far from it. Points near the edge
// of an area are moved onto that edge (so greens, bunkers and fairways get smooth outlines rather
// than steps), and the triangles are sorted into groups by surface kind ("GRE01", "FWY01", ...);
// ground in a tree's shade gets a darker picture of its kind.

#include <cstdint>
#include <vector>

#include "game/core/fnx_model.h"
#include "tools/toolkit/course/hole_field.h"

namespace tools {

// The game's terrain grid, whose every cell the land covers.
inline constexpr double kTerrainGridMinX = -200, kTerrainGridMaxX = 200;
inline constexpr double kTerrainGridMinZ = -100, kTerrainGridMaxZ = 700;

struct TerrainRegion {
    Vec2 min;  // extent of the land (beyond the terrain grid on every side)
    Vec2 max;
    Vec2 fineMin;  // extent of the finely meshed ground around the line of play
    Vec2 fineMax;
    double spacing = 2.5;
    double coarseSpacing = 10;
};

// The region: the land around the terrain grid, and the line of play widened by the
// out-of-bounds corridor and a margin for the fine mesh.
TerrainRegion MakeTerrainRegion(const HoleField& field);

// Grid line positions from lo to hi: `fine` apart between fineLo and fineHi, at most `coarse`
// apart outside; both ends and the fine part's ends are included exactly.
std::vector<double> MeshLines(double lo, double hi, double fineLo, double fineHi, double fine, double coarse);

// Material indices of the ground pictures by surface kind (0-8), in the sun and in shade.
struct GroundMaterials {
    uint16_t sunny[9] = {};
    uint16_t shaded[9] = {};
};

// Appends the terrain groups.
void AppendTerrainGroups(const HoleField& field, const TerrainRegion& region,
                         const GroundMaterials& materials, core::FnxModel& model);

// Whether a ground-plan point is covered by the land.
bool InsideRegion(const TerrainRegion& region, Vec2 p);

}  // namespace tools
