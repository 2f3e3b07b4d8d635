#pragma once
// What stands on and around the ground of a hole: trees and bushes (upright "RST" pictures that the
// game turns towards the viewer), boundary stakes and the tee sign (fixed "SST" objects), the
// backdrop of hills and tree lines ("BAK", drawn unlit), and the lights.

#include <cstdint>
#include <string>

#include "game/core/fnx_model.h"
#include "tools/toolkit/course/terrain_mesh.h"

namespace tools {

// Material indices of the pictures the scenery uses.
struct SceneryMaterials {
    uint16_t trees[6] = {};  // by scenery picture number 1-5
    uint16_t stake = 0;
    uint16_t signWood = 0;
    uint16_t backdropHills = 0;
    uint16_t backdropTreeLine = 0;
    uint16_t backdropClouds = core::kNoMaterial;  // none: the hole has no cloud ring
};

// Fails (with a message naming the description's line) when a tree stands where it cannot: off
// the meshed ground, in water, a bunker, on a tee or a green.
bool AppendTrees(const HoleField& field, const TerrainRegion& region, const SceneryMaterials& materials,
                 core::FnxModel& model, std::string& error);
void AppendStakes(const HoleField& field, const TerrainRegion& region, const SceneryMaterials& materials,
                  core::FnxModel& model);
void AppendTeeSign(const HoleField& field, const SceneryMaterials& materials, core::FnxModel& model);
void AppendBackdrop(const HoleField& field, const SceneryMaterials& materials, core::FnxModel& model);
// A sun from behind the tee and a weaker, cooler fill light from the other side, so that slopes
// read clearly with no ambient light.
void AppendLights(core::FnxModel& model);

}  // namespace tools
