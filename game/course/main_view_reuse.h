#pragma once
// Keeping the drawn main view: a redraw whose scene has not changed since the last drawing (a
// click that only changed the controls) puts back the saved copy of the view instead of drawing
// it again.

#include <cstdint>

#include "game/course/scene_renderer.h"

namespace course {

// Everything the main view's pixels depend on, as it was when it was last drawn.
struct MainViewFacts {
    const core::FnxModel* model = nullptr;
    int course = 0;
    int hole = 0;
    const platform::DrawSurface* backBuffer = nullptr;
    const platform::DrawSurface* sceneCopy = nullptr;
    const platform::DrawSurface* depth = nullptr;
    uint32_t sceneCopyChange = 0;  // change counts just after the drawing: anything drawn into the
    uint32_t depthChange = 0;      // copy or the depth surface since then forces a new drawing
    platform::Matrix4 world, view, projection;
    platform::DeviceViewport viewport;
    ViewState camera;
    SceneInputs inputs;
    core::FnxVertex flag[4] = {};
};

struct MainViewRecord {
    bool drawn = false;
    MainViewFacts facts;
};

// The facts of a main view drawn now with these inputs (the change counts as they stand).
MainViewFacts GatherMainViewFacts(const present::Display& display, const HoleState& hole,
                                  const ViewState& view, const SceneInputs& inputs);
bool SameMainView(const MainViewFacts& a, const MainViewFacts& b);

// Draws the main view as DrawMainScene does, or restores the saved copy when the record says that
// drawing it again would give the same picture. False when nothing could be drawn.
bool DrawOrRestoreMainScene(present::Display& display, HoleState& hole, ViewState& view,
                            const SceneInputs& inputs, MainViewRecord& record);

}  // namespace course
