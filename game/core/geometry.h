#pragma once
// Vector products, distances and the segment/triangle tests that terrain and object collision are
// built on. Every product and sum is formed in double precision and the result stored back as a
// float, so that all clients round the same way.

#include "platform/vecmath.h"

namespace core {

using platform::Vec3;

// A point in the ground plane (x, z).
struct PointXZ {
    float x = 0.0f;
    float z = 0.0f;
};

float Dot(Vec3 a, Vec3 b);
// Not normalised.
Vec3 Cross(Vec3 a, Vec3 b);
float Distance3(Vec3 p, Vec3 q);
// Horizontal distance; y is ignored.
float DistanceXZ(Vec3 p, Vec3 q);

// Crossing of segment p-q with the plane of triangle a, b, c. A vertical segment (equal x and z)
// always crosses, at the plane's height under it. Otherwise the crossing is t p + (1 - t) q, and only
// |t| <= 1 is accepted (t = 1 is p, t = 0 is q). A degenerate triangle, a plane that a vertical
// segment cannot cross, and a segment parallel to the plane and off it give no crossing.
bool SegmentPlane(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out);

// Whether p lies inside the triangle, by testing that p is on the centroid's side of every edge.
// A point on an edge counts as inside.
bool PointInTriangleXZ(PointXZ a, PointXZ b, PointXZ c, PointXZ p);

// Crossing of segment p-q with triangle a, b, c: on the plane, no farther from p than q is, and
// inside the triangle's footprint in the ground plane.
bool SegmentTriangle(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out);

// Weights of corners b and c at point p of triangle a, b, c (the weight of a is 1 - wb - wc), found
// in the triangle's own plane. False for a triangle of zero area.
bool BarycentricWeights(Vec3 a, Vec3 b, Vec3 c, Vec3 p, double* wb, double* wc);

// Crossing of segment p-q with triangle a, b, c itself, not its footprint: on the plane, no farther
// from p than q is, and within the triangle's edges. This is the test for upright shapes, whose
// footprint on the ground is a line.
bool SegmentTriangleSolid(Vec3 a, Vec3 b, Vec3 c, Vec3 p, Vec3 q, Vec3* out);

// Which of the three corners lies farthest from the point: 0, 1 or 2, the earlier on a tie.
int FarthestCorner(Vec3 point, Vec3 a, Vec3 b, Vec3 c);

// A distance truncated to whole yards. Positions come from other clients, so a distance that is
// not a number or absurdly large is held at a million yards instead of overflowing.
inline int WholeYards(float yards) {
    if (!(yards < 1.0e6f)) {
        return 1000000;
    }
    return yards > 0.0f ? static_cast<int>(yards) : 0;
}

inline PointXZ GroundPoint(Vec3 v) {
    return {v.x, v.z};
}

}  // namespace core
