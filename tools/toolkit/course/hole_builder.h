#pragma once
// Builds everything of one hole from its description: the model "HoleData.fnx" (terrain,
// scenery, backdrop, lights, materials), the settings "Hole.ini", and the names of the hole
// textures ("B...") the model uses.

#include <string>
#include <vector>

#include "game/core/fnx_model.h"
#include "tools/toolkit/course/hole_description.h"
#include "tools/toolkit/data_files.h"

namespace tools {

struct BuiltHole {
    core::FnxModel model;
    shell::HoleSettings settings;
    std::vector<std::string> holeTextures;
};

bool BuildHole(const HoleDescription& hole, BuiltHole& built, std::string& error);

}  // namespace tools
