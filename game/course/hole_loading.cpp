// Loading a hole into the 3D device and releasing it again.
#include <cfloat>
#include <cmath>

#include "game/core/game_paths.h"
#include "game/course/fni_texture.h"
#include "game/course/fnx_loader.h"
#include "game/course/hole_state.h"

namespace course {

namespace {

platform::ColorValue ToColor(const core::FnxColor& c) {
    return {c.r, c.g, c.b, c.a};
}

platform::DeviceMaterial DiffuseOnly(float r, float g, float b) {
    platform::DeviceMaterial m;
    m.diffuse = {r, g, b, 0.0f};
    return m;
}

platform::DeviceMaterial ToDeviceMaterial(const core::FnxMaterial& record) {
    platform::DeviceMaterial m;
    m.diffuse = ToColor(record.diffuse);
    m.ambient = ToColor(record.ambient);
    m.specular = ToColor(record.specular);
    m.power = record.power;
    return m;
}

platform::DeviceLight ToDeviceLight(const core::FnxLight& record) {
    platform::DeviceLight light;
    light.type = record.type;
    light.diffuse = ToColor(record.color);
    light.position = {record.position[0], record.position[1], record.position[2]};
    light.direction = {record.direction[0], record.direction[1], record.direction[2]};
    light.range = std::sqrt(FLT_MAX);
    light.attenuation0 = 1.0f;
    if (record.type == platform::kLightSpot) {
        light.theta = record.theta;
        light.phi = record.phi;
        light.falloff = record.falloff;
    }
    return light;
}

// The ball is drawn from the far model's index list into a buffer of the far model's size, whichever
// model's vertices were copied in, so both models must hold a first group of the same size.
bool BallModelsFit(const core::FnxModel& far, const core::FnxModel& near) {
    return !far.groups.empty() && !near.groups.empty() && far.groups[0].vertexCount > 0 &&
           far.groups[0].vertexCount == near.groups[0].vertexCount;
}

FnxModelPtr LoadModel(const char* path, std::string& error) {
    FnxModelPtr model(LoadFnxModel(path));
    if (model == nullptr && error.empty()) {
        error = std::string("The model ") + path + " is missing or damaged.";
    }
    return model;
}

}  // namespace

TexturePicture ResolveTexturePicture(const char* textureName, int course, int hole) {
    TexturePicture picture;
    if (textureName == nullptr || textureName[0] == '\0') {
        return picture;
    }
    if (textureName[0] == 'T') {
        int number = 0;
        for (int i = 1; i <= 3 && textureName[i] >= '0' && textureName[i] <= '9'; ++i) {
            number = number * 10 + (textureName[i] - '0');
        }
        picture.path = core::SceneryPicturePath(number).text;
        picture.honourTransparent = true;
    } else if (textureName[0] == 'B') {
        picture.path = core::HolePicturePath(course, hole, textureName).text;
        picture.honourTransparent = true;
    } else {
        picture.path = core::TexturePicturePath(textureName).text;
    }
    return picture;
}

bool LoadHole(HoleState& hole, platform::Device3D& device, int course, int holeNumber, std::string& error) {
    UnloadHole(hole);
    error.clear();
    hole.course = course;
    hole.hole = holeNumber;
    hole.HoleModel = LoadModel(core::HoleFilePath(course, holeNumber, "HoleData.fnx").text, error);
    hole.BallModel = LoadModel(core::DataPath(core::kFolderImage, "Ball.fnx").text, error);
    hole.NearBallModel = LoadModel(core::DataPath(core::kFolderImage, "SBall.fnx").text, error);
    if (error.empty() && !BallModelsFit(*hole.BallModel, *hole.NearBallModel)) {
        error = "The ball models Image/Ball.fnx and Image/SBall.fnx do not match.";
    }
    if (!error.empty()) {
        UnloadHole(hole);
        return false;
    }

    hole.BallMaterials[0] = DiffuseOnly(0.0f, 0.0f, 1.0f);
    hole.BallMaterials[1] = DiffuseOnly(1.0f, 0.0f, 0.0f);
    hole.BallMaterials[2] = DiffuseOnly(0.9f, 0.9f, 0.9f);
    hole.BallMaterials[3] = DiffuseOnly(1.0f, 1.0f, 0.0f);
    for (int i = 0; i < 4; ++i) {
        hole.FlagQuad[i] = kFlagQuadVertices[i];
    }
    for (int i = 0; i < 6; ++i) {
        hole.FlagIndices[i] = kFlagQuadIndices[i];
    }
    hole.BallVertices = hole.BallModel->groups[0].vertices;

    const core::FnxModel& model = *hole.HoleModel;
    hole.HoleTextures.clear();
    hole.HoleTextures.resize(model.materials.size());
    hole.HoleMaterials.clear();
    for (const core::FnxMaterial& record : model.materials) {
        hole.HoleMaterials.push_back(ToDeviceMaterial(record));
    }

    platform::DeviceMaterial white;
    white.diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    white.ambient = {1.0f, 1.0f, 1.0f, 0.0f};
    platform::SetMaterial(device, white);

    LoadHoleResources(hole, device);
    hole.objects.LastFlagAngle = 0.0f;
    return true;
}

void LoadHoleResources(HoleState& hole, platform::Device3D& device) {
    if (hole.HoleModel == nullptr) {
        return;
    }
    const core::FnxModel& model = *hole.HoleModel;
    for (size_t i = 0; i < model.materials.size() && i < hole.HoleTextures.size(); ++i) {
        const TexturePicture picture =
            ResolveTexturePicture(model.materials[i].textureName, hole.course, hole.hole);
        if (!picture.path.empty()) {
            hole.HoleTextures[i].reset(
                CreateTextureFromFni(device, picture.path.c_str(), picture.honourTransparent));
        }
    }
    hole.FlagTextures[0].reset(
        CreateTextureFromFni(device, core::SceneryPicturePath(kFlagTextureOffGreen).text, true));
    hole.FlagTextures[1].reset(
        CreateTextureFromFni(device, core::SceneryPicturePath(kFlagTextureOnGreen).text, true));

    platform::SetRenderState(device, platform::kRsAmbient, 0);
    platform::SetRenderState(device, platform::kRsZEnable, 1);
    platform::SetRenderState(device, platform::kRsLighting, 1);
    platform::SetRenderState(device, platform::kRsShadeMode, platform::kShadeGouraud);
    platform::SetRenderState(device, platform::kRsDitherEnable, 1);

    platform::SetTextureStageState(device, 0, platform::kTssColorArg1, platform::kTaTexture);
    platform::SetTextureStageState(device, 0, platform::kTssColorArg2, platform::kTaDiffuse);
    platform::SetTextureStageState(device, 0, platform::kTssColorOp, platform::kTopModulate);
    platform::SetTextureStageState(device, 0, platform::kTssAlphaOp, platform::kTopSelectArg1);
    platform::SetTextureStageState(device, 0, platform::kTssAlphaArg1, platform::kTaTexture);

    for (size_t i = 0; i < model.lights.size(); ++i) {
        platform::SetLight(device, static_cast<uint32_t>(i), ToDeviceLight(model.lights[i]));
        platform::LightEnable(device, static_cast<uint32_t>(i), true);
    }
}

void ReleaseHoleTextures(HoleState& hole) {
    for (DeviceTexturePtr& texture : hole.HoleTextures) {
        texture.reset();
    }
    for (DeviceTexturePtr& texture : hole.FlagTextures) {
        texture.reset();
    }
}

void UnloadHole(HoleState& hole) {
    ReleaseHolePreparation(hole);
    ReleaseHoleTextures(hole);
    hole.HoleTextures.clear();
    hole.HoleMaterials.clear();
    hole.HoleModel.reset();
    hole.BallModel.reset();
    hole.NearBallModel.reset();
    hole.BallVertices.clear();
    hole.sky = SkyPicture{};
}

void PrepareHole(HoleState& hole, const float tee[2], const float defaultAim[2], const float pin[2]) {
    ReleaseHolePreparation(hole);
    if (hole.HoleModel == nullptr) {
        return;
    }
    hole.grid = BuildTerrainGrid(*hole.HoleModel);
    PrepareObjects(*hole.HoleModel, hole.grid, hole.objects);
    hole.TeePoint = {tee[0], 0.0f, tee[1]};
    hole.MapPinPoint = {pin[0], 0.0f, pin[1]};
    hole.DefaultAim = {defaultAim[0], 0.0f, defaultAim[1]};
    SeatOnTerrain(hole.grid, hole.TeePoint);
    SeatOnTerrain(hole.grid, hole.MapPinPoint);
    SeatOnTerrain(hole.grid, hole.DefaultAim);
    hole.prepared = true;
}

void ReleaseHolePreparation(HoleState& hole) {
    if (!hole.prepared) {
        return;
    }
    FreeTerrainGrid(hole.grid);
    FreeObjects(hole.objects);
    hole.prepared = false;
}

}  // namespace course
