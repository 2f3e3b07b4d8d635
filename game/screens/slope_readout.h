#pragma once
// The two slope read-outs at the aim target: across the line of play and along it, as pixel
// offsets for the slope panels' lines.

#include "game/course/terrain_grid.h"

namespace screens {

struct SlopeReadout {
    int across = 0;  // first panel: height difference between the target's right and left
    int along = 0;   // second panel: height difference between short of and beyond the target
};

// anchor and aim give the direction of play (their horizontal parts); target is the aim target.
// The four points 0.03 yards around the target are put on the ground; a point off the terrain
// keeps height 0. A direction of no length leaves both read-outs 0.
SlopeReadout ReadSlopes(const course::TerrainGrid& grid, platform::Vec3 anchor, platform::Vec3 aim,
                        platform::Vec3 target);

}  // namespace screens
