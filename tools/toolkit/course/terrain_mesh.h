#pragma once
// Turns the ground of a hole into terrain groups: a regular triangle grid over the region around
// the line of play, whose points near the edge of an area are moved onto that edge (so greens,
// bunkers and fairways get smooth outlines rather than steps), and whose triangles are sorted into
// groups by surface kind ("GRE01", "FWY01", ...).

#include <cstdint>
#include <vector>

#include "game/course/fnx_model.h"
#include "tools/toolkit/course/hole_field.h"

namespace tools {

struct TerrainRegion {
    Vec2 min;  // extent of the meshed ground
    Vec2 max;
    double spacing = 2.5;
    double reach = 0;  // ground is meshed this far from the line of play
};

// The region: the line of play widened by the out-of-bounds corridor and a margin, kept inside the
// game's terrain grid.
TerrainRegion MakeTerrainRegion(const HoleField& field);

// Appends the terrain groups; materialOfKind gives the material index of each surface kind (0-8).
void AppendTerrainGroups(const HoleField& field, const TerrainRegion& region,
                         const uint16_t materialOfKind[9], course::FnxModel& model);

// Whether a ground-plan point is covered by the meshed ground.
bool InsideRegion(const HoleField& field, const TerrainRegion& region, Vec2 p);

}  // namespace tools
