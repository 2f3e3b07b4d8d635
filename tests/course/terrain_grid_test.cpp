#include "game/course/terrain_grid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "game/core/geometry.h"
#include "game/core/surface_kind.h"
#include "tests/course/model_fixtures.h"

namespace course {
namespace {

using fixtures::AddFlatQuad;
using fixtures::AddGroup;
using fixtures::V;

std::vector<TerrainCellEntry> CellEntries(const TerrainGrid& grid, int cell) {
    return {grid.entries.begin() + grid.cellStart[cell], grid.entries.begin() + grid.cellStart[cell + 1]};
}

TEST(TerrainGrid, SurfaceKindsFromGroupNames) {
    core::FnxModel model;
    for (const char* name : {"fwy_left", "BAK01", "gre", "Oob", "OGR2", "WAYx", "cart"}) {
        AddGroup(model, name, {}, {});
    }
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 0), core::kSurfaceFairway);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 1), core::kSurfaceNone);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 2), core::kSurfaceGreen);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 3), core::kSurfaceOutOfBounds);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 4), core::kSurfaceOtherGreen);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 5), core::kSurfaceCartPath);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 6), core::kSurfaceNone);
    EXPECT_EQ(core::SurfaceKindOfGroup(model, 7), core::kSurfaceNone);  // the group count
    EXPECT_EQ(core::SurfaceKindOfGroup(model, -1), core::kSurfaceNone);
}

TEST(TerrainGrid, CellsAtTheBounds) {
    EXPECT_EQ(TerrainCellOf(-200.0f, -100.0f), 0);
    EXPECT_EQ(TerrainCellOf(199.9f, 699.9f), 3199);
    EXPECT_EQ(TerrainCellOf(5.0f, 12.0f), 460);
    EXPECT_EQ(TerrainCellOf(200.0f, 0.0f), -1);
    EXPECT_EQ(TerrainCellOf(0.0f, 700.0f), -1);
    EXPECT_EQ(TerrainCellOf(-200.001f, 0.0f), -1);
    EXPECT_EQ(TerrainCellOf(std::nanf(""), 0.0f), -1);
    // The largest float below 200 must not round into a column past the last.
    EXPECT_EQ(TerrainCellOf(std::nextafter(200.0f, 0.0f), std::nextafter(700.0f, 0.0f)), 3199);
}

TEST(TerrainGrid, TrianglesAreListedInEveryCellTheyOverlapInModelOrder) {
    core::FnxModel model;
    AddGroup(model, "FWY", {V(5, 3, 5), V(5, 4, 25), V(25, 2, 5)}, {0, 1, 2});   // straddles cells
    AddGroup(model, "BAK", {V(1, 50, 1), V(1, 50, 9), V(9, 50, 1)}, {0, 1, 2});  // backdrop: not terrain
    AddGroup(model, "RST", {V(1, 50, 1), V(1, 50, 9), V(9, 50, 1)}, {0, 1, 2});
    AddGroup(model, "SSTa", {V(1, 50, 1), V(1, 50, 9), V(9, 50, 1)}, {0, 1, 2});
    AddGroup(model, "rst", {V(1, 7, 1), V(1, 7, 9), V(9, 7, 1), V(9, 7, 9)}, {0, 1, 2, 1, 2, 3, 0, 1, 9});
    AddGroup(model, "GRE", {V(1, 9, 1), V(1, 9, 1), V(9, 9, 1)}, {0, 1, 2});  // two equal corners
    const TerrainGrid grid = BuildTerrainGrid(model);
    const int cell = TerrainCellOf(5, 5);
    const auto entries = CellEntries(grid, cell);
    ASSERT_EQ(entries.size(), 3u);  // FWY, then the lower-case "rst" group (terrain), its first triangle
    EXPECT_EQ(entries[0].group, 0);
    EXPECT_EQ(entries[1].group, 4);
    EXPECT_EQ(entries[1].first, 0);
    EXPECT_EQ(entries[2].first, 3);
    EXPECT_EQ(grid.CellTopY[cell], 7.0f);
    for (const auto& [x, z] :
         {std::pair{15.0f, 5.0f}, {5.0f, 15.0f}, {15.0f, 15.0f}, {25.0f, 5.0f}, {5.0f, 25.0f}}) {
        const int c = TerrainCellOf(x, z);
        ASSERT_EQ(CellEntries(grid, c).size(), 1u) << x << "," << z;
        EXPECT_EQ(grid.CellTopY[c], 4.0f);
    }
    EXPECT_EQ(CellEntries(grid, TerrainCellOf(25, 25)).size(), 0u);  // the footprint's corner misses it
    // Six cells under the footprint, two more that its long edge touches at a corner, and two
    // triangles of the "rst" group.
    EXPECT_EQ(grid.entries.size(), 10u);
}

TEST(TerrainGrid, HeightNormalAndGroupUnderAPoint) {
    core::FnxModel model;
    AddGroup(model, "GRE", {{0, 2, 0, 1, 0, 0, 0, 0}, {0, 2, 10, 0, 1, 0, 0, 0}, {10, 7, 0, 0, 0, 1, 0, 0}},
             {0, 1, 2});
    AddFlatQuad(model, "ROU", -50, -50, 50, 50, 1.0f);  // under the green and around it
    const TerrainGrid grid = BuildTerrainGrid(model);
    Vec3 p{2, 99, 1}, normal;
    int group = -1;
    ASSERT_TRUE(TerrainHeightAt(grid, p, &normal, &group));
    EXPECT_FLOAT_EQ(p.y, 3.0f);
    EXPECT_EQ(group, 0);  // overlapping groups: the first in the model wins
    // Distances to the corners: sqrt(4+1+1), sqrt(4+1+81), sqrt(64+16+1): B is the farthest.
    EXPECT_EQ(normal.y, 1.0f);
    p = {30, 99, 30};
    ASSERT_TRUE(TerrainHeightAt(grid, p, &normal, &group));
    EXPECT_EQ(p.y, 1.0f);
    EXPECT_EQ(group, 1);
    EXPECT_TRUE(TerrainHasCell(grid, p));
    p = {100, 99, 100};  // over the grid, no terrain
    EXPECT_FALSE(SeatOnTerrain(grid, p));
    EXPECT_FALSE(TerrainHasCell(grid, p));
    p = {250, 99, 0};
    EXPECT_FALSE(SeatOnTerrain(grid, p));
    EXPECT_EQ(p.y, 99.0f);
}

TEST(TerrainGrid, ProbesAlongSharedEdgesFindGround) {
    core::FnxModel model;
    fixtures::AddHeightfield(model, "FWY", -20, -20, 20, 20, 4,
                             [](float x, float z) { return 3.0f + x * 0.1f + z * 0.05f; });
    const TerrainGrid grid = BuildTerrainGrid(model);
    for (float x = -20.0f; x < 20.0f; x += 2.5f) {
        for (float z = -20.0f; z < 20.0f; z += 2.5f) {
            Vec3 p{x, 0, z};
            ASSERT_TRUE(SeatOnTerrain(grid, p)) << x << "," << z;
            EXPECT_NEAR(p.y, 3.0f + x * 0.1f + z * 0.05f, 1e-5f);
        }
    }
}

TEST(TerrainGrid, GroundAtOrBelowZeroIsNoGround) {
    core::FnxModel model;
    AddFlatQuad(model, "WTR", -50, -50, 50, 50, 0.0f);
    AddFlatQuad(model, "FWY", 60, 60, 70, 70, -3.0f);
    const TerrainGrid grid = BuildTerrainGrid(model);
    Vec3 p{5, 10, 5};
    EXPECT_TRUE(SeatOnTerrain(grid, p));    // the probe ends exactly on it
    EXPECT_FALSE(TerrainHasCell(grid, p));  // but the cell's top is 0
    p = {65, 10, 65};
    EXPECT_FALSE(SeatOnTerrain(grid, p));
}

TEST(TerrainGrid, SegmentWalk) {
    core::FnxModel model;
    AddFlatQuad(model, "FWY", -150, -50, 150, 600, 2.0f);
    // A steep bank across the hole: z = 99 + y / 15 over a thin footprint.
    AddGroup(model, "OOB", {V(0, 0, 99), V(0, 30, 101), V(10, 0, 99)}, {0, 1, 2});
    const TerrainGrid grid = BuildTerrainGrid(model);
    Vec3 hit, normal;
    int group = -1;
    EXPECT_FALSE(TerrainSegmentHit(grid, {3, 5, 3}, {3, 5, 3}, &hit, &normal, &group));
    EXPECT_FALSE(
        TerrainSegmentHit(grid, {3, 40, 3}, {60, 35, 300}, &hit, &normal, &group));  // above every cell
    ASSERT_TRUE(TerrainSegmentHit(grid, {3, 6, 3}, {4, 0, 4}, &hit, &normal, &group));
    EXPECT_EQ(group, 0);
    EXPECT_FLOAT_EQ(hit.y, 2.0f);
    EXPECT_FLOAT_EQ(hit.x, 3.0f + 4.0f / 6.0f);
    EXPECT_FLOAT_EQ(normal.y, 1.0f);  // the face normal, normalised
    // A long low flight runs into the wall, many cells from its start.
    ASSERT_TRUE(TerrainSegmentHit(grid, {2, 10, 30}, {2, 10, 130}, &hit, &normal, &group));
    EXPECT_EQ(group, 1);
    EXPECT_NEAR(hit.z, 99.0f + 10.0f / 15.0f, 1e-4f);
    EXPECT_NEAR(normal.z, -15.0f / std::sqrt(226.0f), 1e-6f);
    // Leaving the grid, or lying wholly outside it, is harmless.
    EXPECT_FALSE(TerrainSegmentHit(grid, {190, 10, 650}, {260, 9, 800}, &hit, &normal, &group));
    EXPECT_FALSE(TerrainSegmentHit(grid, {-1e30f, 10, 0}, {1e30f, 9, 0}, &hit, &normal, &group));
    EXPECT_FALSE(TerrainSegmentHit(grid, {0, 10, 0}, {std::nanf(""), 9, 0}, &hit, &normal, &group));
    // A segment from far off the grid is walked only where it lies over the grid, and still meets
    // the ground there: y falls by 1 every 10 yards along z, from 5000 yards before the grid.
    ASSERT_TRUE(TerrainSegmentHit(grid, {3, 500, -5000}, {3, -500, 5000}, &hit, &normal, &group));
    EXPECT_EQ(group, 0);
    EXPECT_NEAR(hit.y, 2.0f, 1e-4f);
    EXPECT_NEAR(hit.z, -20.0f, 1e-3f);
    ASSERT_TRUE(TerrainSegmentHit(grid, {-1e6f, 102, 20}, {1e6f, -98, 20}, &hit, &normal, &group));
    EXPECT_NEAR(hit.x, 0.0f, 0.1f);  // a very shallow path: float steps of its height
    // A fall of 2e10 yards is walked in long steps and still meets the fairway.
    ASSERT_TRUE(TerrainSegmentHit(grid, {3, 1e10f, 3}, {3.5f, -1e10f, 3}, &hit, &normal, &group));
    EXPECT_NEAR(hit.y, 2.0f, 1e-3f);
}

// The first triangle in model order whose footprint holds the probe: what the grid must agree with.
bool BruteForceHeight(const core::FnxModel& model, Vec3& p, int* group) {
    for (size_t g = 0; g < model.groups.size(); ++g) {
        const core::FnxGroup& grp = model.groups[g];
        for (size_t i = 0; i + 2 < grp.indices.size(); i += 3) {
            const auto at = [&](int k) {
                const core::FnxVertex& v = grp.vertices[grp.indices[i + k]];
                return Vec3{v.x, v.y, v.z};
            };
            Vec3 out;
            if (core::SegmentTriangle(at(0), at(1), at(2), {p.x, 200, p.z}, {p.x, 0, p.z}, &out)) {
                p = out;
                *group = static_cast<int>(g);
                return true;
            }
        }
    }
    return false;
}

TEST(TerrainGrid, ProbeAgreesWithABruteForceSearch) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> x(-205.0f, 205.0f), z(-105.0f, 705.0f);
    int found = 0;
    for (uint32_t seed = 1; seed <= 4; ++seed) {
        const core::FnxModel model = fixtures::RandomTerrain(seed);
        const TerrainGrid grid = BuildTerrainGrid(model);
        for (int n = 0; n < 3000; ++n) {
            Vec3 viaGrid{x(rng), 0, z(rng)};
            Vec3 viaAll = viaGrid;
            int groupGrid = -1, groupAll = -1;
            const bool inGrid = TerrainCellOf(viaGrid.x, viaGrid.z) >= 0;
            const bool all = BruteForceHeight(model, viaAll, &groupAll) && inGrid;
            ASSERT_EQ(TerrainHeightAt(grid, viaGrid, nullptr, &groupGrid), all) << seed << " " << n;
            if (all) {
                ++found;
                EXPECT_EQ(groupGrid, groupAll);
                EXPECT_EQ(viaGrid.y, viaAll.y);
            }
        }
    }
    EXPECT_GT(found, 1000);
}

struct Crossing {
    bool found = false;
    float along = 0.0f;  // distance from the segment's start
};

Crossing NearestCrossing(const core::FnxModel& model, Vec3 s, Vec3 e) {
    Crossing best;
    for (const core::FnxGroup& grp : model.groups) {
        for (size_t i = 0; i + 2 < grp.indices.size(); i += 3) {
            const auto at = [&](int k) {
                const core::FnxVertex& v = grp.vertices[grp.indices[i + k]];
                return Vec3{v.x, v.y, v.z};
            };
            Vec3 out;
            if (core::SegmentTriangle(at(0), at(1), at(2), e, s, &out) && TerrainCellOf(out.x, out.z) >= 0) {
                const float along = core::Distance3(s, out);
                if (!best.found || along < best.along) {
                    best = {true, along};
                }
            }
        }
    }
    return best;
}

TEST(TerrainGrid, SegmentWalkFindsTheFirstCrossingOfABruteForceSearch) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> x(-190.0f, 190.0f), z(-90.0f, 690.0f), y(0.0f, 45.0f),
        step(-8.0f, 8.0f), longStep(-60.0f, 60.0f);
    int hits = 0;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const core::FnxModel model = fixtures::RandomTerrain(seed, 3, 400);
        const TerrainGrid grid = BuildTerrainGrid(model);
        for (int n = 0; n < 4000; ++n) {
            const bool isLong = n % 4 == 0;
            const Vec3 s{x(rng), y(rng), z(rng)};
            Vec3 e = isLong ? Vec3{s.x + longStep(rng), y(rng), s.z + longStep(rng)}
                            : Vec3{s.x + step(rng), s.y + step(rng), s.z + step(rng)};
            // Crossings beyond the grid are not indexed; keep the segments inside it.
            e.x = std::clamp(e.x, -199.0f, 199.0f);
            e.z = std::clamp(e.z, -99.0f, 699.0f);
            const Crossing expected = NearestCrossing(model, s, e);
            Vec3 hit;
            const bool found = TerrainSegmentHit(grid, s, e, &hit, nullptr, nullptr);
            ASSERT_EQ(found, expected.found)
                << seed << " " << n << " " << s.x << "," << s.y << "," << s.z << " -> " << e.x << "," << e.y
                << "," << e.z << " " << expected.along;
            if (!found) {
                continue;
            }
            ++hits;
            // The walk reports the first crossing met in the first one-cell step that has any.
            const float along = core::Distance3(s, hit);
            EXPECT_GE(along, expected.along - 1e-3f);
            EXPECT_LE(along, expected.along + TerrainGrid::CellSize + 1e-3f);
        }
    }
    EXPECT_GT(hits, 1000);
}

}  // namespace
}  // namespace course
