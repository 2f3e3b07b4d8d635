#pragma once
// A small hole written to disk the way the data set lays it out, for tests that load holes: a flat
// fairway with a green, lit by one directional light, and a four-sided ball in both ball files.

#include <filesystem>
#include <string>

#include "tests/course/model_fixtures.h"
#include "tools/toolkit/fnx_writer.h"

namespace fixtures {

inline FnxModel SmallBall() {
    FnxModel ball;
    AddGroup(ball, "BALL", {V(0, 0, 0), V(0.1f, 0, 0), V(0, 0.1f, 0), V(0, 0, 0.1f)},
             {0, 1, 2, 0, 2, 3, 0, 3, 1, 1, 3, 2});
    return ball;
}

inline FnxModel SmallHole() {
    FnxModel hole;
    AddFlatQuad(hole, "FWY01", -50.0f, -20.0f, 50.0f, 170.0f, 1.0f);
    AddFlatQuad(hole, "GRE01", -15.0f, 170.0f, 15.0f, 200.0f, 1.05f);
    core::FnxLight sun;
    sun.type = 3;
    sun.direction[1] = -1.0f;
    sun.direction[2] = 0.3f;
    sun.color = {1.0f, 1.0f, 1.0f, 1.0f};
    hole.lights.push_back(sun);
    hole.lightCount = 1;
    return hole;
}

// Writes Map/Club_<course>/Hole_<hole>/HoleData.fnx, Image/Ball.fnx and Image/SBall.fnx under root.
inline void WriteHoleFiles(const std::filesystem::path& root, int course, int hole,
                           const FnxModel& model = SmallHole()) {
    char folder[64];
    std::snprintf(folder, sizeof(folder), "Map/Club_%02d/Hole_%02d", course, hole);
    std::filesystem::create_directories(root / folder);
    std::filesystem::create_directories(root / "Image");
    tools::WriteFnxModel(model, (root / folder / "HoleData.fnx").string());
    tools::WriteFnxModel(SmallBall(), (root / "Image" / "Ball.fnx").string());
    tools::WriteFnxModel(SmallBall(), (root / "Image" / "SBall.fnx").string());
}

}  // namespace fixtures
