#pragma once
// The footprint test used to sort terrain triangles into the cells of the terrain grid. It may
// report an overlap that is not there (a triangle edge is tested as an unbounded line against the
// square's edges), which only adds candidate triangles to a cell; it never misses a real overlap.

#include "game/core/geometry.h"

namespace core {

// Whether the lines through the two segments cross at a point of segment s (the square edge). The
// extent of segment t (the triangle edge) is not checked. Lines of equal slope never cross; a segment
// with equal x counts as slope 0 here.
bool SegmentsCrossXZ(PointXZ s0, PointXZ s1, PointXZ t0, PointXZ t1);

// Whether triangle a, b, c overlaps the square [lo.x, hi.x] x [lo.z, hi.z] in the ground plane.
bool TriangleOverlapsSquare(Vec3 lo, Vec3 hi, Vec3 a, Vec3 b, Vec3 c);

}  // namespace core
