#include "game/course/main_view_reuse.h"

#include <cstring>

namespace course {

namespace {

bool SameMatrix(const platform::Matrix4& a, const platform::Matrix4& b) {
    return std::memcmp(&a, &b, sizeof(a)) == 0;
}

bool SameViewport(const platform::DeviceViewport& a, const platform::DeviceViewport& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.minZ == b.minZ &&
           a.maxZ == b.maxZ;
}

bool SameCamera(const ViewState& a, const ViewState& b) {
    return SamePoint(a.CameraAnchor, b.CameraAnchor) && SamePoint(a.CameraAim, b.CameraAim) &&
           SamePoint(a.lastBack, b.lastBack);
}

bool SameBall(const PlayerBall& a, const PlayerBall& b) {
    return SamePoint(a.position, b.position) && a.colour == b.colour && a.slotState == b.slotState &&
           a.holed == b.holed;
}

// A new member of SceneInputs must join the comparison below.
static_assert(sizeof(SceneInputs) == 12 + 4 + 12 + 4 * 4 + kPlayerBalls * sizeof(PlayerBall) + 4,
              "compare every member of SceneInputs in SameInputs");

bool SameInputs(const SceneInputs& a, const SceneInputs& b) {
    for (int i = 0; i < kPlayerBalls; ++i) {
        if (!SameBall(a.balls[i], b.balls[i])) {
            return false;
        }
    }
    return SamePoint(a.startPos, b.startPos) && a.surface == b.surface && a.startSurface == b.startSurface &&
           SamePoint(a.pinPosition, b.pinPosition) && a.skyIndex == b.skyIndex &&
           a.playerCount == b.playerCount && a.currentPlayer == b.currentPlayer && a.teamPlay == b.teamPlay &&
           a.GreenGridOn == b.GreenGridOn;
}

uint32_t ChangeCount(const platform::DrawSurface* surface) {
    return surface != nullptr ? surface->changeCount : 0;
}

}  // namespace

MainViewFacts GatherMainViewFacts(const present::Display& display, const HoleState& hole,
                                  const ViewState& view, const SceneInputs& inputs) {
    MainViewFacts f;
    f.model = hole.HoleModel.get();
    f.course = hole.course;
    f.hole = hole.hole;
    f.backBuffer = display.backBuffer;
    f.sceneCopy = display.sceneCopySurface;
    f.sceneCopyChange = ChangeCount(display.sceneCopySurface);
    if (display.device != nullptr) {
        const platform::Device3D& device = *display.device;
        f.depth = device.depth;
        f.depthChange = ChangeCount(device.depth);
        f.world = device.world;
        f.view = device.view;
        f.projection = device.projection;
        f.viewport = device.viewport;
    }
    f.camera = view;
    f.inputs = inputs;
    std::memcpy(f.flag, hole.objects.FlagVertices, sizeof(f.flag));
    return f;
}

bool SameMainView(const MainViewFacts& a, const MainViewFacts& b) {
    return a.model == b.model && a.course == b.course && a.hole == b.hole && a.backBuffer == b.backBuffer &&
           a.sceneCopy == b.sceneCopy && a.depth == b.depth && a.sceneCopyChange == b.sceneCopyChange &&
           a.depthChange == b.depthChange && SameMatrix(a.world, b.world) && SameMatrix(a.view, b.view) &&
           SameMatrix(a.projection, b.projection) && SameViewport(a.viewport, b.viewport) &&
           SameCamera(a.camera, b.camera) && SameInputs(a.inputs, b.inputs) &&
           std::memcmp(a.flag, b.flag, sizeof(a.flag)) == 0;
}

bool DrawOrRestoreMainScene(present::Display& display, HoleState& hole, ViewState& view,
                            const SceneInputs& inputs, MainViewRecord& record) {
    if (record.drawn && display.sceneCopySurface != nullptr &&
        SameMainView(record.facts, GatherMainViewFacts(display, hole, view, inputs))) {
        present::RestoreBackground(display);
        return true;
    }
    record.drawn = DrawMainScene(display, hole, view, inputs);
    record.facts = GatherMainViewFacts(display, hole, view, inputs);
    return record.drawn;
}

}  // namespace course
