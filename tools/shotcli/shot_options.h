#pragma once
// The command line of shotcli: which hole, where the ball lies, and how it is struck.

#include <cstdint>
#include <string>

#include "game/physics/gauge.h"
#include "game/physics/wind.h"
#include "platform/vecmath.h"

namespace tools {

struct ShotOptions {
    std::string model;                      // the hole's "HoleData.fnx"
    platform::Vec3 ball{0.0f, 0.0f, 0.0f};  // x, z; y is put on the ground
    platform::Vec3 aim{0.0f, 0.0f, 200.0f};
    platform::Vec3 pin{0.0f, 0.0f, 200.0f};
    bool pinGiven = false;
    int club = 0;
    int lieClass = -1;        // -1: teed on a tee, putting on a green, clean elsewhere
    uint32_t gaugeTopMs = 0;  // first click, ms after the swing started; 0: a perfect swing
    uint32_t gaugeEndMs = 0;  // second click
    physics::SpinChoice spin;
    physics::Wind wind;
    int gameLevel = 0;
    int par = 4;
    int strokes = 1;
    uint32_t seed = 1;
    bool bite = false;
    bool powerShot = false;
    bool everyPoint = true;
};

// Parses argv; on a bad or missing option writes the reason to error and returns false.
bool ParseShotOptions(int argc, char** argv, ShotOptions& options, std::string& error);

extern const char* const kShotUsage;

}  // namespace tools
