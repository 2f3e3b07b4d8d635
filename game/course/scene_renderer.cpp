// Drawing the main view, the map and the inset from the loaded hole.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "game/core/game_paths.h"
#include "game/course/scene_renderer.h"
#include "game/present/fni_image.h"

namespace course {

namespace {

constexpr uint32_t kFullAmbient = 0x00FFFFFF;

bool StartsWith(const char* name, const char* prefix) {
    return std::strncmp(name, prefix, 3) == 0;
}

bool IsBackdrop(const core::FnxGroup& group) {
    return StartsWith(group.name, "BAK");
}

void DrawGroup(platform::Device3D& device, const core::FnxGroup& group) {
    platform::DrawIndexedPrimitive(device, platform::kPrimitiveTriangleList,
                                   platform::kVertexFormatPositionNormalTex1, group.vertices.data(),
                                   group.vertexCount, group.indices.data(), group.indexCount);
}

// The group's material and texture. A group without a material keeps the material in effect and
// draws untextured; a material without a texture keeps whatever texture is bound.
void UseGroupMaterial(platform::Device3D& device, const HoleState& hole, const core::FnxGroup& group) {
    if (group.materialIndex == core::kNoMaterial || group.materialIndex >= hole.HoleMaterials.size()) {
        platform::SetTexture(device, 0, nullptr);
        return;
    }
    platform::SetMaterial(device, hole.HoleMaterials[group.materialIndex]);
    if (group.materialIndex < hole.HoleTextures.size() && hole.HoleTextures[group.materialIndex] != nullptr) {
        platform::SetTexture(device, 0, hole.HoleTextures[group.materialIndex].get());
    }
}

void SetUnlit(platform::Device3D& device, bool unlit) {
    platform::SetRenderState(device, platform::kRsAmbient, unlit ? kFullAmbient : 0);
    platform::SetRenderState(device, platform::kRsLighting, unlit ? 0 : 1);
}

void SetSceneFog(platform::Device3D& device) {
    platform::SetRenderState(device, platform::kRsFogEnable, 1);
    platform::SetRenderState(device, platform::kRsFogColor, 0xFFFFFF);
    platform::SetRenderState(device, platform::kRsFogTableMode, platform::kFogNone);
    platform::SetRenderState(device, platform::kRsFogVertexMode, platform::kFogLinear);
    platform::SetRenderState(device, platform::kRsFogStart, platform::FloatState(1.0f));
    platform::SetRenderState(device, platform::kRsFogEnd, platform::FloatState(1500.0f));
}

// Every group in model order; objects near the viewer are left out when cull is asked for.
void DrawHoleGroups(platform::Device3D& device, const HoleState& hole, ViewState& view, bool cull) {
    const core::FnxModel& model = *hole.HoleModel;
    for (size_t g = 0; g < model.groups.size(); ++g) {
        const core::FnxGroup& group = model.groups[g];
        UseGroupMaterial(device, hole, group);
        SetObjectBlending(device, IsBackdrop(group) || IsObjectGroup(group));
        bool visible = true;
        if (IsObjectGroup(group)) {
            SetTextureFiltering(device, false);
            visible = !cull || ObjectInView(hole, view, static_cast<int>(g));
        } else {
            SetTextureFiltering(device, true);
        }
        if (!visible) {
            continue;
        }
        if (IsBackdrop(group)) {
            SetUnlit(device, true);
        }
        DrawGroup(device, group);
        if (IsBackdrop(group)) {
            SetUnlit(device, false);
        }
    }
}

// The ball model's triangles over the ball vertices, moved to where the ball lies.
void DrawBallAt(platform::Device3D& device, HoleState& hole, const core::FnxModel* source, Vec3 at) {
    if (hole.BallModel == nullptr || hole.BallModel->groups.empty() || source == nullptr ||
        source->groups.empty()) {
        return;
    }
    const core::FnxGroup& far = hole.BallModel->groups[0];
    const core::FnxGroup& from = source->groups[0];
    std::vector<core::FnxVertex>& vertices = hole.BallVertices;
    const int count = std::min<int>(from.vertexCount, static_cast<int>(vertices.size()));
    CopyTranslated(from.vertices.data(), count, vertices.data(), at.x, at.y, at.z);
    platform::DrawIndexedPrimitive(
        device, platform::kPrimitiveTriangleList, platform::kVertexFormatPositionNormalTex1, vertices.data(),
        static_cast<uint32_t>(vertices.size()), far.indices.data(), far.indexCount);
}

const platform::DeviceMaterial& WhiteBall(const HoleState& hole) {
    return hole.BallMaterials[2];
}

// The balls of the other players; inset: always the far model, lifted a little more.
void DrawOtherBalls(platform::Device3D& device, HoleState& hole, const SceneInputs& inputs, bool inset) {
    for (int slot = 0; slot < kPlayerBalls; ++slot) {
        if (!ShowsOtherBall(inputs, hole.TeePoint, slot)) {
            continue;
        }
        const PlayerBall& ball = inputs.balls[slot];
        platform::SetMaterial(device,
                              ball.slotState == 2 ? hole.BallMaterials[ball.colour & 3] : WhiteBall(hole));
        Vec3 at = ball.position;
        if (inset) {
            at.y += 0.05f;
            DrawBallAt(device, hole, hole.BallModel.get(), at);
        } else if (UsesFarBall(ball.position, inputs.startPos)) {
            at.y += 0.02f;
            DrawBallAt(device, hole, hole.BallModel.get(), at);
        } else {
            at.y += 0.01f;
            DrawBallAt(device, hole, hole.NearBallModel.get(), at);
        }
    }
}

void DrawFlagUnlit(platform::Device3D& device, const HoleState& hole, const SceneInputs& inputs) {
    SetUnlit(device, true);
    DrawFlag(device, hole, inputs);
    SetUnlit(device, false);
}

// Every view ends with no texture bound, so that the hole's textures can be released at any time
// without the device keeping hold of one.
void LeaveNoTexture(platform::Device3D& device) {
    SetObjectBlending(device, false);
    platform::SetTexture(device, 0, nullptr);
}

}  // namespace

void DrawFlag(platform::Device3D& device, const HoleState& hole, const SceneInputs& inputs) {
    SetObjectBlending(device, true);
    platform::SetTexture(device, 0,
                         hole.FlagTextures[inputs.startSurface == core::kSurfaceGreen ? 1 : 0].get());
    platform::DrawIndexedPrimitive(device, platform::kPrimitiveTriangleList,
                                   platform::kVertexFormatPositionNormalTex1, hole.objects.FlagVertices, 4,
                                   hole.FlagIndices, 6);
}

bool DrawMainScene(present::Display& display, HoleState& hole, ViewState& view, const SceneInputs& inputs) {
    if (display.device == nullptr || display.backBuffer == nullptr || hole.HoleModel == nullptr) {
        return false;
    }
    platform::Device3D& device = *display.device;
    SetSceneFog(device);
    ClearToSky(device, *display.backBuffer, hole.sky, inputs.skyIndex, kSkyClearColor);
    if (platform::BeginScene(device) != platform::kDeviceOk) {
        return false;
    }
    DrawHoleGroups(device, hole, view, true);
    SetObjectBlending(device, false);
    platform::SetTexture(device, 0, nullptr);
    platform::SetMaterial(device, WhiteBall(hole));
    DrawOtherBalls(device, hole, inputs, false);
    DrawFlagUnlit(device, hole, inputs);
    LeaveNoTexture(device);
    platform::EndScene(device);
    if (inputs.GreenGridOn) {
        DrawGreenGrid(display, hole, view, inputs);
    }
    present::SaveScene(display);
    return true;
}

bool DrawMapScene(platform::Device3D& device, const HoleState& hole) {
    if (hole.HoleModel == nullptr) {
        return false;
    }
    platform::SetRenderState(device, platform::kRsFogEnable, 0);
    const platform::SurfaceRect panel{630, 10, 790, 310};
    platform::Clear(device, &panel, 1, platform::kClearTarget | platform::kClearZBuffer, kMapClearColor,
                    1.0f);
    if (platform::BeginScene(device) != platform::kDeviceOk) {
        return false;
    }
    SetTextureFiltering(device, true);
    for (const core::FnxGroup& group : hole.HoleModel->groups) {
        if (IsBackdrop(group) || IsObjectGroup(group)) {
            continue;
        }
        UseGroupMaterial(device, hole, group);
        SetObjectBlending(device, false);
        DrawGroup(device, group);
    }
    LeaveNoTexture(device);
    platform::EndScene(device);
    return true;
}

bool DrawInsetScene(platform::Device3D& device, HoleState& hole, const SceneInputs& inputs, Vec3 ball) {
    if (hole.HoleModel == nullptr) {
        return false;
    }
    SetSceneFog(device);
    const platform::SurfaceRect inset{550, 410, 786, 586};
    platform::Clear(device, &inset, 1, platform::kClearTarget | platform::kClearZBuffer, kSkyClearColor,
                    1.0f);
    if (platform::BeginScene(device) != platform::kDeviceOk) {
        return false;
    }
    ViewState unused;
    DrawHoleGroups(device, hole, unused, false);
    DrawFlagUnlit(device, hole, inputs);
    SetObjectBlending(device, false);
    SetTextureFiltering(device, true);
    platform::SetTexture(device, 0, nullptr);
    platform::SetMaterial(device, WhiteBall(hole));
    DrawBallAt(device, hole, hole.BallModel.get(), ball);
    DrawOtherBalls(device, hole, inputs, true);
    LeaveNoTexture(device);
    platform::EndScene(device);
    return true;
}

}  // namespace course
