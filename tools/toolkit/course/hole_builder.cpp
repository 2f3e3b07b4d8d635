#include "tools/toolkit/course/hole_builder.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "tools/toolkit/course/hazard_sight.h"
#include "tools/toolkit/course/hole_field.h"
#include "tools/toolkit/course/scenery.h"
#include "tools/toolkit/course/terrain_mesh.h"

namespace tools {
namespace {

uint16_t AddMaterial(core::FnxModel& model, const char* name, const std::string& texture) {
    core::FnxMaterial m;
    std::snprintf(m.name, sizeof m.name, "%s", name);
    m.ambient = {1, 1, 1, 1};
    m.diffuse = {1, 1, 1, 1};
    m.specular = {0, 0, 0, 1};
    m.power = 0;
    std::snprintf(m.textureName, sizeof m.textureName, "%s", texture.c_str());
    model.materials.push_back(m);
    return static_cast<uint16_t>(model.materials.size() - 1);
}

double LengthOfPlay(const HoleDescription& hole) {
    const std::vector<Vec2> line = LineOfPlay(hole);
    double length = 0;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        length += Length(line[i + 1] - line[i]);
    }
    return length;
}

}  // namespace

bool BuildHole(const HoleDescription& hole, BuiltHole& built, std::string& error) {
    BuiltHole result;
    core::FnxModel& model = result.model;
    std::memcpy(model.magic, "FNX3DF", 6);

    GroundMaterials ground;
    for (int kind = 0; kind < 9; ++kind) {
        char name[20];
        std::snprintf(name, sizeof name, "ground%s", core::kSurfaceCodes[kind]);
        ground.sunny[kind] = AddMaterial(model, name, hole.groundTextures[kind]);
    }
    for (int kind = 0; kind < 9; ++kind) {
        char name[20];
        std::snprintf(name, sizeof name, "shade%s", core::kSurfaceCodes[kind]);
        ground.shaded[kind] = hole.shadedTextures[kind].empty()
                                  ? ground.sunny[kind]
                                  : AddMaterial(model, name, hole.shadedTextures[kind]);
    }
    SceneryMaterials scenery;
    for (int picture = 1; picture <= 5; ++picture) {
        char texture[12];
        std::snprintf(texture, sizeof texture, "T%03d.fni", picture);
        scenery.trees[picture] = AddMaterial(model, "tree", texture);
    }
    scenery.stake = AddMaterial(model, "stake", "T010.fni");
    scenery.signWood = AddMaterial(model, "sign", "T011.fni");
    scenery.backdropHills = AddMaterial(model, "hills", hole.backdropHills);
    scenery.backdropTreeLine = AddMaterial(model, "treeline", hole.backdropTreeLine);
    result.holeTextures = {hole.backdropHills, hole.backdropTreeLine};
    if (!hole.backdropClouds.empty()) {
        scenery.backdropClouds = AddMaterial(model, "clouds", hole.backdropClouds);
        result.holeTextures.push_back(hole.backdropClouds);
    }

    const HoleField field = MakeHoleField(hole);
    if (!CheckHazardsVisible(field, error)) {
        return false;
    }
    const TerrainRegion region = MakeTerrainRegion(field);
    AppendTerrainGroups(field, region, ground, model);
    AppendBackdrop(field, scenery, model);
    AppendTeeSign(field, scenery, model);
    AppendStakes(field, region, scenery, model);
    if (!AppendTrees(field, region, scenery, model, error)) {
        return false;
    }
    AppendLights(model);
    model.materialCount = static_cast<uint16_t>(model.materials.size());
    model.groupCount = static_cast<uint16_t>(model.groups.size());
    model.lightCount = static_cast<uint16_t>(model.lights.size());

    shell::HoleSettings& settings = result.settings;
    std::snprintf(settings.name, sizeof settings.name, "%s", hole.name.c_str());
    settings.length = static_cast<uint16_t>(std::lround(LengthOfPlay(hole)));
    settings.tee[0] = static_cast<float>(hole.tee.x);
    settings.tee[1] = static_cast<float>(hole.tee.z);
    settings.defaultAim[0] = static_cast<float>(hole.aim.x);
    settings.defaultAim[1] = static_cast<float>(hole.aim.z);
    settings.pin[0] = static_cast<float>(hole.pin.x);
    settings.pin[1] = static_cast<float>(hole.pin.z);
    settings.par = static_cast<uint8_t>(hole.par);
    built = std::move(result);
    return true;
}

}  // namespace tools
