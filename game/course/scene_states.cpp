// The device states the scene switches between groups, and the small rules of what is drawn.
#include <cstring>

#include "game/core/geometry.h"
#include "game/course/scene_renderer.h"

namespace course {

void SetObjectBlending(platform::Device3D& device, bool on) {
    if ((platform::GetRenderState(device, platform::kRsAlphaBlendEnable) != 0) == on) {
        return;
    }
    if (!on) {
        platform::SetRenderState(device, platform::kRsAlphaBlendEnable, 0);
        platform::SetRenderState(device, platform::kRsAlphaTestEnable, 0);
        return;
    }
    if ((platform::GetCaps(device).alphaCmpCaps & platform::kCmpCapsGreaterEqual) != 0) {
        platform::SetRenderState(device, platform::kRsAlphaRef, 8);
        platform::SetRenderState(device, platform::kRsAlphaTestEnable, 1);
        platform::SetRenderState(device, platform::kRsAlphaFunc, platform::kCmpGreaterEqual);
    }
    platform::SetRenderState(device, platform::kRsAlphaBlendEnable, 1);
    platform::SetRenderState(device, platform::kRsSrcBlend, platform::kBlendSrcAlpha);
    platform::SetRenderState(device, platform::kRsDestBlend, platform::kBlendInvSrcAlpha);
}

void SetTextureFiltering(platform::Device3D& device, bool linear) {
    const uint32_t filter = linear ? platform::kFilterLinear : platform::kFilterPoint;
    platform::SetTextureStageState(device, 0, platform::kTssMinFilter, filter);
    platform::SetTextureStageState(device, 0, platform::kTssMagFilter, filter);
}

bool ObjectInView(const HoleState& hole, ViewState& view, int group) {
    if (group < 0 || static_cast<size_t>(group) >= hole.objects.centres.size()) {
        return true;
    }
    Vec3 eye = MainCameraEye(view);
    eye.y = view.CameraAnchor.y;
    return !(core::DistanceXZ(hole.objects.centres[static_cast<size_t>(group)], eye) < 8.0f);
}

void CopyTranslated(const core::FnxVertex* source, int count, core::FnxVertex* destination, float x, float y,
                    float z) {
    for (int i = 0; i < count; ++i) {
        destination[i] = source[i];
        destination[i].x += x;
        destination[i].y += y;
        destination[i].z += z;
    }
}

bool ShowsOtherBall(const SceneInputs& inputs, Vec3 tee, int slot) {
    if (slot < 0 || slot >= kPlayerBalls || slot >= inputs.playerCount || slot == inputs.currentPlayer) {
        return false;
    }
    // Slots 0 and 1 play as one team, 2 and 3 as the other.
    if (inputs.teamPlay && slot / 2 == inputs.currentPlayer / 2) {
        return false;
    }
    const PlayerBall& ball = inputs.balls[slot];
    const bool atTee = ball.position.x == tee.x && ball.position.y == tee.y && ball.position.z == tee.z;
    return !atTee && !ball.holed;
}

bool UsesFarBall(Vec3 ball, Vec3 startPos) {
    return core::DistanceXZ(ball, startPos) >= 10.0f;
}

void GreenGridColors(uint32_t colors[11]) {
    float f = 0.7f;
    for (int k = 0; k < 11; ++k) {
        f = f + 0.05f;
        const auto red = static_cast<uint32_t>(151.0f * f);
        const auto green = static_cast<uint32_t>(171.0f * f);
        const auto blue = static_cast<uint32_t>(134.0f * f);
        colors[k] = red << 16 | green << 8 | blue;
    }
}

}  // namespace course
