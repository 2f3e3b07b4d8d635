#include "tools/toolkit/course/hazard_sight.h"

#include <gtest/gtest.h>

#include "tools/toolkit/course/hole_builder.h"
#include "tools/toolkit/course/terrain_mesh.h"

namespace {

// A par 4 with a creek across the fairway at 200 yards; PLACE is replaced by hills or nothing.
const char* const kCreekHole = R"({
  "name": "Creek", "par": 4, "tee": [0, 0], "aim": [0, 230], "pin": [0, 340], "corridor": 60,
  "ground": {"base": 10, "waves": 0, "hills": [PLACE]},
  "fairways": [{"line": [[0, 30], [0, 320]], "width": 30}],
  "green": {"at": [0, 342], "radius": 14},
  "water": [{"outline": [[-80, 196], [80, 196], [80, 208], [-80, 208]]}],
  "bunkers": [{"at": [20, 330], "radius": [5, 4]}],
  "backdrop": {"hills": "Bhills.fni", "treeline": "Btrees.fni"}
})";

tools::HoleDescription Parse(const std::string& hills) {
    std::string text = kCreekHole;
    text.replace(text.find("PLACE"), 5, hills);
    tools::HoleDescription hole;
    std::string error;
    EXPECT_TRUE(tools::ParseHoleDescription("creek.json", text, hole, error)) << error;
    return hole;
}

TEST(HazardSight, ACreekOnOpenGroundShowsAndItsBunkerFaceToo) {
    const tools::HoleDescription hole = Parse("");
    const tools::HoleField field = tools::MakeHoleField(hole);
    const std::vector<tools::HazardSight> sights = tools::HazardSights(field);
    ASSERT_EQ(sights.size(), 2u);
    EXPECT_EQ(sights[0].what, "water 1");
    EXPECT_TRUE(sights[0].inRange);
    EXPECT_GT(sights[0].bestShare, 0.8);
    EXPECT_GE(sights[1].bestShare, tools::kLeastVisibleSand);
    std::string error;
    EXPECT_TRUE(tools::CheckHazardsVisible(field, error)) << error;
}

TEST(HazardSight, ACreekBehindARiseIsRefusedWithItsName) {
    // A creek at the bottom of a deep hollow lies out of sight below the hollow's rim.
    const tools::HoleDescription hole = Parse(R"({"at": [0, 202], "radius": 30, "height": -7})");
    tools::BuiltHole built;
    std::string error;
    EXPECT_FALSE(tools::BuildHole(hole, built, error));
    EXPECT_EQ(error.rfind("creek.json: water 1 cannot be seen from the line of play", 0), 0u) << error;
}

TEST(HazardSight, AHillBetweenTeeAndGreenThatHidesTheFlagIsRefused) {
    EXPECT_TRUE(tools::FlagSeenFromTee(tools::MakeHoleField(Parse(""))));
    const tools::HoleDescription hole = Parse(R"({"at": [0, 120], "radius": 50, "height": 12})");
    EXPECT_FALSE(tools::FlagSeenFromTee(tools::MakeHoleField(hole)));
    tools::BuiltHole built;
    std::string error;
    EXPECT_FALSE(tools::BuildHole(hole, built, error));
    EXPECT_EQ(error, "creek.json: the ground hides the flag from the tee");
}

TEST(TerrainMesh, LinesAreFineAroundPlayCoarseOutsideAndMeetTheEnds) {
    const std::vector<double> lines = tools::MeshLines(-245, 245, -100.37, 99.63, 2.5, 10);
    EXPECT_EQ(lines.front(), -245);
    EXPECT_EQ(lines.back(), 245);
    bool sawFineStart = false;
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const double gap = lines[i + 1] - lines[i];
        EXPECT_GT(gap, 0);
        const bool fine = lines[i] >= -100.37 - 1e-9 && lines[i + 1] <= 99.63 + 1e-9;
        EXPECT_LE(gap, (fine ? 2.5 : 10) + 1e-9) << lines[i];
        sawFineStart |= lines[i] == -100.37;
    }
    EXPECT_TRUE(sawFineStart);
    // A fine part reaching past the ends is cut to them.
    EXPECT_EQ(tools::MeshLines(0, 10, -5, 20, 2.5, 10), (std::vector<double>{0, 2.5, 5, 7.5, 10}));
}

}  // namespace
