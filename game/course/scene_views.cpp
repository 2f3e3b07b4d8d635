// Moving the views: the map panel, a new ball position or aim, and a re-created display.
#include "game/course/scene_renderer.h"
#include "game/present/draw_primitives.h"

namespace course {

namespace {

MapPanelFacts GatherMapPanelFacts(const present::Display& display, const HoleState& hole,
                                  const SceneInputs& inputs) {
    MapPanelFacts f;
    f.model = hole.HoleModel.get();
    f.course = hole.course;
    f.hole = hole.hole;
    f.device = display.device;
    f.backBuffer = display.backBuffer;
    f.panel = display.mapPanelSurface;
    f.panelChange = display.mapPanelSurface != nullptr ? display.mapPanelSurface->changeCount : 0;
    f.tee = hole.TeePoint;
    f.mapPin = hole.MapPinPoint;
    f.pin = inputs.pinPosition;
    f.onGreen = inputs.surface == core::kSurfaceGreen;
    return f;
}

// Draws the map panel unless the last drawing was made from the same facts.
void RefreshMapPanel(present::Display& display, const HoleState& hole, ViewState& view,
                     const SceneInputs& inputs) {
    if (view.mapPanel.drawn &&
        SameMapPanel(view.mapPanel.facts, GatherMapPanelFacts(display, hole, inputs))) {
        return;
    }
    RenderMapPanel(display, hole, view, inputs);
}

}  // namespace

bool SameMapPanel(const MapPanelFacts& a, const MapPanelFacts& b) {
    return a.model == b.model && a.course == b.course && a.hole == b.hole && a.device == b.device &&
           a.backBuffer == b.backBuffer && a.panel == b.panel && a.panelChange == b.panelChange &&
           SamePoint(a.tee, b.tee) && SamePoint(a.mapPin, b.mapPin) && SamePoint(a.pin, b.pin) &&
           a.onGreen == b.onGreen;
}

void RenderMapPanel(present::Display& display, const HoleState& hole, ViewState& view,
                    const SceneInputs& inputs) {
    if (display.device == nullptr || display.backBuffer == nullptr) {
        return;
    }
    platform::Device3D& device = *display.device;
    const bool onGreen = inputs.surface == core::kSurfaceGreen;
    PlaceMapCamera(device, hole.TeePoint, hole.MapPinPoint, onGreen);
    DrawMapScene(device, hole);
    if (display.mapPanelSurface != nullptr) {
        platform::CopyRect(*display.mapPanelSurface, 0, 0, *display.backBuffer, {630, 10, 790, 310}, false);
    }
    ProjectToScreen(device, inputs.pinPosition, nullptr, view.MapPinPos, nullptr);
    Vec3 tee = hole.TeePoint;
    if (onGreen) {
        tee.y = hole.MapPinPoint.y;
    }
    ProjectToScreen(device, tee, nullptr, view.MapTeePos, nullptr);
    if (display.mapPanelSurface != nullptr) {
        present::DrawFrame(*display.mapPanelSurface, {0, 0, 159, 299}, 0x202020);
        present::DrawFrame(*display.mapPanelSurface, {1, 1, 158, 298}, 0x202020);
    }
    view.mapPanel = {true, GatherMapPanelFacts(display, hole, inputs)};
}

void ResetView(present::Display& display, HoleState& hole, ViewState& view, const SceneInputs& inputs,
               Vec3 ballPos, Vec3 aimTarget) {
    view.CameraAnchor = ballPos;
    view.CameraAim = aimTarget;
    RefreshMapPanel(display, hole, view, inputs);
    if (display.device != nullptr) {
        PlaceMainCamera(*display.device, view, display.displayWidth, display.displayHeight);
    }
    if (hole.HoleModel != nullptr && hole.prepared) {
        TurnObjectsToView(*hole.HoleModel, hole.objects, view.CameraAnchor, view.CameraAim,
                          inputs.pinPosition);
    }
}

void RebuildSceneResources(present::Display& display, HoleState& hole, ViewState& view,
                           const SceneInputs& inputs) {
    if (display.device == nullptr || hole.HoleModel == nullptr) {
        return;
    }
    ReleaseHoleTextures(hole);
    LoadHoleResources(hole, *display.device);
    RenderMapPanel(display, hole, view, inputs);
    PlaceMainCamera(*display.device, view, display.displayWidth, display.displayHeight);
    if (hole.prepared) {
        TurnObjectsToView(*hole.HoleModel, hole.objects, view.CameraAnchor, view.CameraAim,
                          inputs.pinPosition);
    }
    DrawMainScene(display, hole, view, inputs);
}

}  // namespace course
