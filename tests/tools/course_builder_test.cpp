#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "game/core/surface_kind.h"
#include "game/course/fnx_loader.h"
#include "game/course/terrain_grid.h"
#include "tools/toolkit/course/ball_model.h"
#include "tools/toolkit/course/hole_builder.h"
#include "tools/toolkit/fnx_writer.h"
#include "tools/toolkit/ground_coverage.h"

namespace {

// A small par 3: a tee, a short fairway, a green with a bunker, a pond, a few trees.
const char* const kSmallHole = R"({
  "name": "Test hole",
  "par": 3,
  "tee": [0, 0],
  "pin": [0, 120],
  "corridor": 40,
  "ground": {"base": 3, "waves": 1.5, "hills": [{"at": [30, 60], "radius": 30, "height": -6}]},
  "fairways": [{"line": [[0, 60], [0, 100]], "width": 20}],
  "green": {"at": [0, 122], "radius": [12, 10], "contours": [{"at": [3, 124], "radius": 4, "height": 0.2}]},
  "bunkers": [{"at": [16, 120], "radius": [4, 6]}],
  "water": [{"at": [0, 35], "radius": [15, 8]}],
  "trees": [
    {"kind": "oak", "at": [-25, 60], "height": 10},
    {"kind": "bush", "line": [[25, 10], [25, 30]], "spacing": 10, "height": 1.5}
  ],
  "backdrop": {"hills": "Bhills.fni", "treeline": "Btrees.fni"}
})";

tools::BuiltHole BuildSmallHole() {
    tools::HoleDescription hole;
    std::string error;
    EXPECT_TRUE(tools::ParseHoleDescription("small.json", kSmallHole, hole, error)) << error;
    tools::BuiltHole built;
    EXPECT_TRUE(tools::BuildHole(hole, built, error)) << error;
    return built;
}

bool IsTerrain(const core::FnxGroup& g) {
    return std::strncmp(g.name, "BAK", 3) != 0 && std::strncmp(g.name, "RST", 3) != 0 &&
           std::strncmp(g.name, "SST", 3) != 0;
}

TEST(CourseBuilder, TerrainGroupsAreNamedByTheKindsTheHoleHolds) {
    const tools::BuiltHole built = BuildSmallHole();
    std::set<std::string> codes;
    for (const core::FnxGroup& g : built.model.groups) {
        if (IsTerrain(g)) {
            codes.insert(std::string(g.name, 3));
        }
    }
    EXPECT_EQ(codes, (std::set<std::string>{"TEE", "FWY", "GRE", "ROU", "BNK", "WTR", "OOB"}));
}

TEST(CourseBuilder, TerrainCoversTheWholeGridAboveGroundAndFacesUp) {
    const tools::BuiltHole built = BuildSmallHole();
    // A ball anywhere in the terrain grid finds ground, even far out of bounds, and so do the
    // whole-yard points the game seats on the ground.
    const std::vector<tools::GroundPoint> seated = {{0, 0}, {0, 120}, {20, 120}, {-40, 60}};
    EXPECT_EQ(tools::UncoveredGround(built.model, seated, 5), std::vector<std::string>{});
    for (const core::FnxGroup& g : built.model.groups) {
        ASSERT_EQ(g.vertexCount, g.vertices.size());
        ASSERT_EQ(g.indexCount, g.indices.size());
        if (!IsTerrain(g)) {
            continue;
        }
        for (size_t t = 0; t < g.indices.size(); t += 3) {
            const core::FnxVertex& a = g.vertices[g.indices[t]];
            const core::FnxVertex& b = g.vertices[g.indices[t + 1]];
            const core::FnxVertex& c = g.vertices[g.indices[t + 2]];
            EXPECT_GT(a.y, 0.0f);
            // (B - A) x (C - A), the face normal the ball bounces off, must point up.
            const float ny = (b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z);
            EXPECT_GT(ny, 0.0f) << g.name << " triangle " << t / 3;
        }
    }
}

TEST(CourseBuilder, WaterIsFlatAndTheGreenGentle) {
    const tools::BuiltHole built = BuildSmallHole();
    for (const core::FnxGroup& g : built.model.groups) {
        float lo = 1e9f, hi = -1e9f;
        for (const core::FnxVertex& v : g.vertices) {
            lo = std::min(lo, v.y), hi = std::max(hi, v.y);
        }
        if (std::strncmp(g.name, "WTR", 3) == 0) {
            EXPECT_NEAR(hi - lo, 0.0f, 1e-4f);
        }
        if (std::strncmp(g.name, "GRE", 3) == 0) {
            EXPECT_LT(hi - lo, 1.0f);
        }
    }
}

TEST(CourseBuilder, ObjectsCarryTheirAttributeLetter) {
    const tools::BuiltHole built = BuildSmallHole();
    int trees = 0, bushes = 0, backdrops = 0, fixed = 0;
    for (const core::FnxGroup& g : built.model.groups) {
        const std::string name = g.name;
        if (name.rfind("RSToak", 0) == 0) {
            EXPECT_EQ(name.back(), 'T');
            ++trees;
        } else if (name.rfind("RSTbush", 0) == 0) {
            EXPECT_EQ(name.back(), 'E');
            ++bushes;
        } else if (name.rfind("BAK", 0) == 0) {
            ++backdrops;
        } else if (name.rfind("SST", 0) == 0) {
            EXPECT_EQ(name.back(), 'S');
            ++fixed;
        }
        EXPECT_LT(name.size(), 17u);
    }
    EXPECT_EQ(trees, 1);
    EXPECT_EQ(bushes, 3);
    EXPECT_EQ(backdrops, 2);
    EXPECT_GT(fixed, 10);  // the tee sign and the boundary stakes, each its own object
    EXPECT_EQ(built.holeTextures, (std::vector<std::string>{"Bhills.fni", "Btrees.fni"}));
}

TEST(CourseBuilder, SettingsAndModelSurviveTheirFileFormats) {
    const tools::BuiltHole built = BuildSmallHole();
    EXPECT_STREQ(built.settings.name, "Test hole");
    EXPECT_EQ(built.settings.par, 3);
    EXPECT_EQ(built.settings.length, 120);
    EXPECT_EQ(built.settings.defaultAim[1], built.settings.pin[1]);  // a par 3 aims at the pin
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(tools::EncodeFnxModel(built.model, bytes));
    core::FnxModel loaded;
    ASSERT_TRUE(course::ParseFnxModel(bytes.data(), bytes.size(), loaded));
    EXPECT_EQ(loaded.groups.size(), built.model.groups.size());
    EXPECT_EQ(loaded.lights.size(), 2u);
    EXPECT_EQ(loaded.lights[0].type, 3u);
}

// Points well inside the bunker and the green find that ground through the game's own probe, and
// points just outside the bunker do not: no triangle of the rough reaches into the sand as a wedge.
TEST(CourseBuilder, AreasHaveCleanEdgesWithoutWedgesOfOtherGround) {
    tools::HoleDescription hole;
    std::string error;
    ASSERT_TRUE(tools::ParseHoleDescription("small.json", kSmallHole, hole, error)) << error;
    const tools::BuiltHole built = BuildSmallHole();
    const course::TerrainGrid grid = course::BuildTerrainGrid(built.model);
    const auto kindAt = [&](double x, double z) {
        course::Vec3 p{static_cast<float>(x), 0.0f, static_cast<float>(z)};
        int group = -1;
        course::TerrainHeightAt(grid, p, nullptr, &group);
        return core::SurfaceKindOfGroup(built.model, group);
    };
    int checked = 0;
    for (double z = 100; z <= 140; z += 0.5) {
        for (double x = -20; x <= 30; x += 0.5) {
            const double bunker = tools::SignedDistance(hole.bunkers[0].outline, {x, z});
            const double green = tools::SignedDistance(hole.green.outline, {x, z});
            if (bunker < -0.8) {
                EXPECT_EQ(kindAt(x, z), core::kSurfaceBunker) << x << ", " << z;
                ++checked;
            } else if (green < -0.8 && bunker > 0.8) {
                EXPECT_EQ(kindAt(x, z), core::kSurfaceGreen) << x << ", " << z;
                ++checked;
            } else if (bunker > 1.2) {
                EXPECT_NE(kindAt(x, z), core::kSurfaceBunker) << x << ", " << z;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

// A tall tree shades the ground beside it (a darker picture of the same kind, which also marks it
// on the map panel); the clouds named by the description ring the hole beyond the backdrop.
TEST(CourseBuilder, TreesShadeTheGroundAndCloudsRingTheHole) {
    std::string text = kSmallHole;
    text.replace(text.find(R"("treeline": "Btrees.fni")"), 24,
                 R"("treeline": "Btrees.fni", "clouds": "Bclouds.fni")");
    tools::HoleDescription hole;
    std::string error;
    ASSERT_TRUE(tools::ParseHoleDescription("clouds.json", text, hole, error)) << error;
    tools::BuiltHole built;
    ASSERT_TRUE(tools::BuildHole(hole, built, error)) << error;
    int shaded = 0;
    bool clouds = false;
    for (const core::FnxGroup& g : built.model.groups) {
        const std::string texture = built.model.materials[g.materialIndex].textureName;
        shaded += texture.rfind("Shade", 0) == 0 ? 1 : 0;
        if (std::strcmp(g.name, "BAKclouds") == 0) {
            clouds = true;
            for (const core::FnxVertex& v : g.vertices) {  // far outside the terrain grid
                EXPECT_TRUE(std::fabs(v.x) > 260.0f || v.z < -160.0f || v.z > 760.0f) << v.x << ", " << v.z;
            }
        }
    }
    EXPECT_GT(shaded, 0);
    EXPECT_TRUE(clouds);
    EXPECT_EQ(built.holeTextures, (std::vector<std::string>{"Bhills.fni", "Btrees.fni", "Bclouds.fni"}));
}

std::string DescriptionError(const std::string& text) {
    tools::HoleDescription hole;
    std::string error;
    EXPECT_FALSE(tools::ParseHoleDescription("bad.json", text, hole, error));
    return error;
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

TEST(HoleDescription, ProblemsNameTheFileAndLine) {
    EXPECT_EQ(DescriptionError(Replace(kSmallHole, R"("radius": [12, 10])", R"("radius": [12, -10])")),
              "bad.json:9: expected a number from 1 to 150 (green/radius/1)");
    EXPECT_EQ(DescriptionError(Replace(kSmallHole, R"("kind": "oak")", R"("kind": "palm")")),
              "bad.json:13: unknown kind \"palm\" (oak, pine, poplar, bush or shrub) (trees/0/kind)");
    EXPECT_EQ(DescriptionError(Replace(kSmallHole, R"("tee": [0, 0],)", "")),
              "bad.json:1: \"tee\" is missing");
    EXPECT_EQ(DescriptionError(Replace(kSmallHole, R"("pin": [0, 120])", R"("pin": [0, 140])")),
              "bad.json:5: the pin must lie on the green, at least 3 yards inside its edge (pin)");
    EXPECT_EQ(DescriptionError(Replace(kSmallHole, R"("tee": [0, 0])", R"("tee": [0, -120])")),
              "bad.json:4: expected a number from -100 to 700 (tee/1)");
    EXPECT_EQ(DescriptionError(Replace(Replace(kSmallHole, R"("tee": [0, 0])", R"("tee": [0, -65])"),
                                       R"("corridor": 40,)",
                                       R"("corridor": 40, "tee_box": {"at": [0, -65], "radius": 6},)")),
              "bad.json:4: the tee is too close to the edge of the ground: the view from behind it needs 30 "
              "yards of "
              "room (tee)");
    EXPECT_NE(DescriptionError(Replace(kSmallHole, R"("par": 3,)", R"("par": 3)")).find("bad.json: "),
              std::string::npos);
}

TEST(HoleDescription, TreesOnTheGreenOrInWaterAreRefused) {
    tools::HoleDescription hole;
    std::string error;
    const std::string text = Replace(kSmallHole, R"("at": [-25, 60])", R"("at": [2, 118])");
    ASSERT_TRUE(tools::ParseHoleDescription("trees.json", text, hole, error)) << error;
    tools::BuiltHole built;
    EXPECT_FALSE(tools::BuildHole(hole, built, error));
    EXPECT_EQ(error, "trees.json:13: a oak at (2.0, 118.0) would stand on GRE");
}

TEST(BallModels, NearAndFarShareTheirTriangles) {
    const core::FnxModel far = tools::MakeBallModel(0.06f);
    const core::FnxModel near = tools::MakeBallModel(0.025f);
    ASSERT_EQ(far.groups.size(), 1u);
    EXPECT_EQ(far.groups[0].vertexCount, near.groups[0].vertexCount);
    EXPECT_EQ(far.groups[0].indices, near.groups[0].indices);
    EXPECT_EQ(far.groups[0].materialIndex, core::kNoMaterial);
    for (const core::FnxVertex& v : near.groups[0].vertices) {
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 0.025f, 1e-5f);
    }
}

}  // namespace
