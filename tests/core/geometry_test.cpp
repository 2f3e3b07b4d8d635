#include "game/core/geometry.h"

#include <gtest/gtest.h>

#include <random>

#include "game/core/segment_mesh.h"
#include "game/core/square_overlap.h"

namespace core {
namespace {

TEST(Geometry, ProductsAreFormedInDoublePrecision) {
    // 4097 * 4097 is not a float: single-precision products would cancel to 0.
    EXPECT_EQ(Cross({0, 4097, 4096}, {0, 4098, 4097}).x, 1.0f);
    EXPECT_EQ(Dot({4097, -4096, 0}, {4097, 4098, 0}), 1.0f);
    EXPECT_EQ(Distance3({1, 2, 3}, {4, 6, 3}), 5.0f);
    EXPECT_EQ(DistanceXZ({1, 100, 3}, {4, -7, 7}), 5.0f);
    EXPECT_EQ(FarthestCorner({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}), 0);
    EXPECT_EQ(FarthestCorner({0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, 2}), 1);
    EXPECT_EQ(FarthestCorner({0, 0, 0}, {1, 0, 0}, {0, 2, 0}, {0, 0, 3}), 2);
}

// A slope rising along x: y = 1 + x / 2 over the triangle (0,0)-(0,10)-(10,0) in x, z.
const Vec3 kA{0, 1, 0}, kB{0, 1, 10}, kC{10, 6, 0};

TEST(Geometry, VerticalProbeTakesThePlaneHeightWithinItsLength) {
    Vec3 out;
    ASSERT_TRUE(SegmentPlane(kA, kB, kC, {4, 200, 2}, {4, 0, 2}, &out));
    EXPECT_FLOAT_EQ(out.y, 3.0f);
    // The plane is crossed even far outside the probe; the distance test of SegmentTriangle limits it.
    ASSERT_TRUE(SegmentTriangle(kA, kB, kC, {4, 200, 2}, {4, 0, 2}, &out));
    EXPECT_FLOAT_EQ(out.y, 3.0f);
    EXPECT_FALSE(
        SegmentTriangle(kA, kB, kC, {4, 2, 2}, {4, 2.5f, 2}, &out));       // plane 1 below, probe 0.5 long
    EXPECT_TRUE(SegmentTriangle(kA, kB, kC, {4, 2, 2}, {4, 1, 2}, &out));  // plane 1 below, probe 1 long
}

TEST(Geometry, SlantedSegmentCrossingsFollowTheParameterConvention) {
    const Vec3 flatA{0, 0, 0}, flatB{0, 0, 10}, flatC{10, 0, 0};
    Vec3 out;
    // t = 1 is p, t = 0 is q: a segment ending exactly on the plane crosses at its end.
    ASSERT_TRUE(SegmentTriangle(flatA, flatB, flatC, {1, 2, 1}, {2, 0, 2}, &out));
    EXPECT_EQ(out.x, 2.0f);
    EXPECT_EQ(out.y, 0.0f);
    ASSERT_TRUE(SegmentTriangle(flatA, flatB, flatC, {1, 2, 1}, {3, -2, 3}, &out));
    EXPECT_FLOAT_EQ(out.x, 2.0f);
    // The plane lies beyond q: rejected by the distance test (t < 0) or by |t| > 1.
    EXPECT_FALSE(SegmentTriangle(flatA, flatB, flatC, {1, 4, 1}, {2, 2, 2}, &out));
    EXPECT_FALSE(SegmentPlane(flatA, flatB, flatC, {1, 4, 1}, {2, 3, 2}, &out));
    // Over the plane but outside the footprint.
    EXPECT_FALSE(SegmentTriangle(flatA, flatB, flatC, {8, 2, 8}, {8, -2, 8}, &out));
}

TEST(Geometry, DegenerateAndParallelCasesGiveNoCrossing) {
    Vec3 out{7, 7, 7};
    EXPECT_FALSE(SegmentPlane({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {0, 5, 0}, {0, -5, 0}, &out));  // zero area
    EXPECT_FALSE(
        SegmentPlane({0, 0, 0}, {0, 5, 0}, {5, 0, 0}, {1, 5, 0}, {1, -5, 0}, &out));  // wall, vertical probe
    EXPECT_FALSE(
        SegmentTriangle({0, 0, 0}, {0, 0, 10}, {10, 0, 0}, {1, 1, 1}, {2, 1, 2}, &out));  // parallel, above
    EXPECT_EQ(out.x, 7.0f);
    // A segment lying in the plane meets it at its end.
    ASSERT_TRUE(SegmentTriangle({0, 0, 0}, {0, 0, 10}, {10, 0, 0}, {1, 0, 1}, {2, 0, 2}, &out));
    EXPECT_EQ(out.x, 2.0f);
}

TEST(Geometry, PointInTriangleEdgesAndCorners) {
    const PointXZ a{0, 0}, b{0, 10}, c{10, 0};
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {2, 2}));
    EXPECT_TRUE(PointInTriangleXZ(c, b, a, {2, 2}));  // winding does not matter
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {5, 5}));  // on the slanted edge
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {5, 0}));  // on the edge along x (slope 0)
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {0, 5}));  // on the edge along z
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {0, 0}));  // corners
    EXPECT_TRUE(PointInTriangleXZ(a, b, c, {10, 0}));
    EXPECT_FALSE(PointInTriangleXZ(a, b, c, {-0.01f, 5}));
    EXPECT_FALSE(PointInTriangleXZ(a, b, c, {5.01f, 5}));
    EXPECT_FALSE(PointInTriangleXZ(a, b, c, {-1, 2}));
}

TEST(Geometry, SquareOverlap) {
    const Vec3 lo{0, 0, 0}, hi{10, 0, 10};
    EXPECT_TRUE(TriangleOverlapsSquare(lo, hi, {5, 0, 5}, {50, 0, 50}, {50, 0, 60}));      // a corner inside
    EXPECT_TRUE(TriangleOverlapsSquare(lo, hi, {-50, 0, -50}, {50, 0, -50}, {0, 0, 80}));  // square inside
    EXPECT_TRUE(TriangleOverlapsSquare(lo, hi, {-5, 0, 4}, {15, 0, 5}, {-5, 0, 6}));  // edges pass through
    EXPECT_FALSE(TriangleOverlapsSquare(lo, hi, {20, 0, 20}, {30, 0, 20}, {20, 0, 30}));
    // An axis-parallel triangle edge never counts as crossing, and the triangle edge's own extent is
    // not checked: the line of a short edge far away still "crosses" the square's left side.
    EXPECT_FALSE(SegmentsCrossXZ({0, 0}, {0, 10}, {-5, 5}, {15, 5}));
    EXPECT_TRUE(SegmentsCrossXZ({0, 0}, {0, 10}, {100, 105}, {101, 106}));
}

// Exact test in double precision: p strictly inside the triangle.
bool StrictlyInside(PointXZ a, PointXZ b, PointXZ c, double px, double pz) {
    const auto side = [&](PointXZ u, PointXZ v) {
        return (double(v.x) - u.x) * (pz - u.z) - (double(v.z) - u.z) * (px - u.x);
    };
    const double s0 = side(a, b), s1 = side(b, c), s2 = side(c, a);
    return (s0 > 0 && s1 > 0 && s2 > 0) || (s0 < 0 && s1 < 0 && s2 < 0);
}

TEST(Geometry, SquareOverlapNeverMissesARealOverlap) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> coord(-30.0f, 40.0f);
    int overlaps = 0;
    for (int n = 0; n < 3000; ++n) {
        const Vec3 a{coord(rng), 0, coord(rng)}, b{coord(rng), 0, coord(rng)}, c{coord(rng), 0, coord(rng)};
        bool real = false;
        for (int i = 0; i <= 20 && !real; ++i) {
            for (int j = 0; j <= 20 && !real; ++j) {
                real = StrictlyInside(GroundPoint(a), GroundPoint(b), GroundPoint(c), i * 0.5, j * 0.5);
            }
        }
        if (real) {
            ++overlaps;
            EXPECT_TRUE(TriangleOverlapsSquare({0, 0, 0}, {10, 0, 10}, a, b, c)) << n;
        }
    }
    EXPECT_GT(overlaps, 100);
}

TEST(Geometry, UprightTrianglesAreMetOnlyWithinTheirEdges) {
    // A picture standing in the plane z = 10, x from 0 to 4, y from 0 to 6. Its footprint on the
    // ground is a line, so the footprint test cannot bound it; the solid test does.
    const Vec3 a{0, 0, 10}, b{4, 0, 10}, c{0, 6, 10};
    Vec3 out;
    ASSERT_TRUE(SegmentTriangleSolid(a, b, c, {1, 2, 9}, {1, 2, 11}, &out));
    EXPECT_FLOAT_EQ(out.z, 10.0f);
    EXPECT_TRUE(SegmentTriangleSolid(a, b, c, {0, 3, 9}, {0, 3, 11}, &out));     // on an edge
    EXPECT_FALSE(SegmentTriangleSolid(a, b, c, {30, 2, 9}, {30, 2, 11}, &out));  // beside it
    EXPECT_FALSE(SegmentTriangleSolid(a, b, c, {1, 20, 9}, {1, 20, 11}, &out));  // above it
    EXPECT_FALSE(SegmentTriangleSolid(a, b, c, {3, 5, 9}, {3, 5, 11}, &out));    // past the slanted edge
    EXPECT_FALSE(SegmentTriangleSolid(a, b, c, {1, 2, 8}, {1, 2, 9}, &out));     // short of it
}

TEST(Geometry, SegmentMeshTakesTheNearestCrossingAndTheFarthestCornersNormal) {
    using core::FnxVertex;
    std::vector<FnxVertex> v = {
        {0, 0, 0, 1, 0, 0, 0, 0}, {0, 0, 10, 0, 1, 0, 0, 0}, {10, 0, 0, 0, 0, 1, 0, 0},  // floor at y 0
        {0, 5, 0, 2, 0, 0, 0, 0}, {0, 5, 10, 0, 2, 0, 0, 0}, {10, 5, 0, 0, 0, 2, 0, 0},  // shelf at y 5
        {0, 5, 0, 3, 0, 0, 0, 0}, {0, 5, 10, 0, 3, 0, 0, 0}, {10, 5, 0, 0, 0, 3, 0, 0},  // same shelf again
    };
    std::vector<uint16_t> idx = {0, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1, 99};
    MeshHit hit;
    ASSERT_TRUE(SegmentMesh(v, idx, {1, 9, 1}, {1, -1, 1}, &hit));
    EXPECT_EQ(hit.point.y, 5.0f);
    EXPECT_EQ(hit.distance, 4.0f);
    EXPECT_EQ(hit.index[0], 3);  // the earlier of two equal crossings
    // Corners at distance sqrt(1+1), sqrt(1+81), sqrt(81+1) from (1, 5, 1): the second one wins the tie.
    EXPECT_EQ(hit.normal.y, 2.0f);
    MeshHit untouched;
    EXPECT_FALSE(SegmentMesh(v, idx, {20, 9, 20}, {20, -1, 20}, &untouched));
    EXPECT_EQ(untouched.point.x, 0.0f);
}

TEST(Geometry, SegmentMeshAgreesWithTestingEveryTriangle) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<float> coord(-20.0f, 20.0f), step(-6.0f, 6.0f);
    std::vector<core::FnxVertex> v;
    std::vector<uint16_t> idx;
    for (int n = 0; n < 600; ++n) {
        const float x = coord(rng), y = coord(rng), z = coord(rng);
        const bool upright = n % 2 == 0;  // pictures standing in a plane of constant z, like objects
        for (int k = 0; k < 3; ++k) {
            v.push_back({x + step(rng), y + step(rng), upright ? z : z + step(rng), 0, 1, 0, 0, 0});
            idx.push_back(static_cast<uint16_t>(v.size() - 1));
        }
    }
    int hits = 0;
    for (int n = 0; n < 4000; ++n) {
        const Vec3 p{coord(rng), coord(rng), coord(rng)};
        const bool vertical = n % 5 == 0;
        const Vec3 q = vertical ? Vec3{p.x, p.y + step(rng), p.z}
                                : Vec3{p.x + step(rng), p.y + step(rng), p.z + step(rng)};
        float best = Distance3(p, q);
        int expected = -1;
        for (size_t i = 0; i < idx.size(); i += 3) {
            const auto at = [&](size_t k) { return Vec3{v[idx[k]].x, v[idx[k]].y, v[idx[k]].z}; };
            Vec3 out;
            if (SegmentTriangleSolid(at(i), at(i + 1), at(i + 2), p, q, &out) && Distance3(p, out) < best) {
                best = Distance3(p, out);
                expected = static_cast<int>(i);
            }
        }
        MeshHit hit;
        ASSERT_EQ(SegmentMesh(v, idx, p, q, &hit), expected >= 0) << n;
        if (expected >= 0) {
            ++hits;
            EXPECT_EQ(hit.index[0], idx[expected]);
            EXPECT_EQ(hit.distance, best);
        }
    }
    EXPECT_GT(hits, 200);
}

}  // namespace
}  // namespace core
