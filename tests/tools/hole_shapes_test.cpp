#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tools/toolkit/course/hole_builder.h"
#include "tools/toolkit/course/hole_field.h"
#include "tools/toolkit/course/json_lines.h"
#include "tools/toolkit/course/shapes.h"

namespace {

TEST(Shapes, SignedDistanceIsNegativeInsideAndMeasuresYardsOutside) {
    tools::Shape ellipse;
    ellipse.centre = {10, 20};
    ellipse.radiusA = 8;
    ellipse.radiusB = 4;
    ellipse.angleDegrees = 90;  // turned: the long axis now runs along z
    EXPECT_LT(tools::SignedDistance(ellipse, {10, 20}), 0);
    EXPECT_NEAR(tools::SignedDistance(ellipse, {10, 30}), 2, 1e-9);
    EXPECT_NEAR(tools::SignedDistance(ellipse, {16, 20}), 2, 1e-9);

    tools::Shape square;
    square.kind = tools::ShapeKind::Outline;
    square.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_NEAR(tools::SignedDistance(square, {5, 5}), -5, 1e-9);
    EXPECT_NEAR(tools::SignedDistance(square, {13, 5}), 3, 1e-9);

    // A ribbon that widens from 10 to 30 yards along its line.
    tools::Shape ribbon;
    ribbon.kind = tools::ShapeKind::Ribbon;
    ribbon.points = {{0, 0}, {0, 100}};
    ribbon.widths = {10, 30};
    EXPECT_NEAR(tools::SignedDistance(ribbon, {5, 0}), 0, 1e-9);
    EXPECT_NEAR(tools::SignedDistance(ribbon, {15, 100}), 0, 1e-9);
    EXPECT_NEAR(tools::SignedDistance(ribbon, {20, 50}), 10, 1e-9);
}

TEST(JsonLines, ValuesKnowTheirLinesAndMissingOnesTheirParents) {
    tools::JsonDocument doc;
    std::string error;
    ASSERT_TRUE(
        tools::ParseJsonWithLines("{\n  \"a\": [\n    [1, 2],\n    {\"b\": 3}\n  ]\n}\n", doc, error));
    EXPECT_EQ(tools::LineOf(doc, "/a"), 2);
    EXPECT_EQ(tools::LineOf(doc, "/a/0"), 3);
    EXPECT_EQ(tools::LineOf(doc, "/a/1/b"), 4);
    EXPECT_EQ(tools::LineOf(doc, "/a/1/missing"), 4);
    EXPECT_FALSE(tools::ParseJsonWithLines("{\n  \"a\": [1,\n}", doc, error));
    EXPECT_NE(error.find("line 3"), std::string::npos) << error;
}

const char* const kHole = R"({
  "name": "Shapes", "par": 4, "tee": [0, 0], "aim": [0, 200], "pin": [10, 300], "corridor": 50,
  "ground": {"base": 12, "tilt": [0, 0.02], "waves": 0.5},
  "fairways": [{"line": [[0, 40], [0, 260]], "width": 30}],
  "green": {"at": [10, 302], "radius": [15, 11], "angle": 25, "tilt": [0.01, 0]},
  "bunkers": [{"at": [-12, 290], "radius": [5, 3], "depth": 1.0}],
  "backdrop": {"hills": "Bhills.fni", "treeline": "Btrees.fni"}
})";

TEST(HoleGround, StaysAboveTheLowestGroundWithAFlatTeeAndASunkenBunker) {
    tools::HoleDescription hole;
    std::string error;
    ASSERT_TRUE(tools::ParseHoleDescription("shapes.json", kHole, hole, error)) << error;
    const tools::HoleField field = tools::MakeHoleField(hole);
    for (double z = -60; z <= 380; z += 7) {
        for (double x = -80; x <= 80; x += 7) {
            EXPECT_GE(tools::GroundHeight(field, {x, z}), 1.0);
        }
    }
    EXPECT_NEAR(tools::GroundHeight(field, {2, 3}), tools::GroundHeight(field, {-2, -4}), 1e-9);
    EXPECT_LT(tools::GroundHeight(field, {-12, 290}), tools::GroundHeight(field, {-12, 280}) - 0.5);
    // The green keeps its own gentle tilt: one hundredth of a yard per yard across.
    EXPECT_NEAR(tools::GroundHeight(field, {14, 302}) - tools::GroundHeight(field, {6, 302}), 0.08, 1e-6);
}

TEST(HoleGround, GreenTrianglesFollowTheGreensOutline) {
    tools::HoleDescription hole;
    std::string error;
    ASSERT_TRUE(tools::ParseHoleDescription("shapes.json", kHole, hole, error)) << error;
    tools::BuiltHole built;
    ASSERT_TRUE(tools::BuildHole(hole, built, error)) << error;
    double area = 0;
    for (const core::FnxGroup& g : built.model.groups) {
        if (std::strncmp(g.name, "GRE", 3) != 0) {
            continue;
        }
        // Points near the edge were moved onto it: most corners of the green lie on its outline, and
        // none sticks out by half a grid step (no staircase of whole cells).
        int onEdge = 0;
        int outside = 0;
        for (const core::FnxVertex& v : g.vertices) {
            const double d = tools::SignedDistance(hole.green.outline, {v.x, v.z});
            EXPECT_LT(d, 1.25) << v.x << ", " << v.z;
            onEdge += std::fabs(d) < 0.05;
            outside += d >= 0.05;
        }
        // A triangle reaching over the edge goes to the kind covering most of it, which leaves a
        // few corners just outside.
        EXPECT_GT(onEdge, 8 * outside);
        for (size_t t = 0; t < g.indices.size(); t += 3) {
            const core::FnxVertex& a = g.vertices[g.indices[t]];
            const core::FnxVertex& b = g.vertices[g.indices[t + 1]];
            const core::FnxVertex& c = g.vertices[g.indices[t + 2]];
            area += 0.5 * ((b.z - a.z) * (c.x - a.x) - (b.x - a.x) * (c.z - a.z));
        }
    }
    // And the green covers about the area of its ellipse (pi x 15 x 11).
    EXPECT_NEAR(area, 3.14159265 * 15 * 11, 15.0);
}

}  // namespace
