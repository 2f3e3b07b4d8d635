#pragma once
// The full play screen: the HUD in a chosen state drawn over the hole view that was just rendered.

#include <string>

#include "game/course/hole_state.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "tools/holeview/play_scene.h"

namespace holeview {

// Draws the HUD over the rendered view (the scene copy holds it) and writes the picture to path.
// ball and aim are the viewpoint's points. Returns false and fills error when writing fails.
bool WritePlayScreen(present::Display& display, const course::HoleState& hole, const course::ViewState& view,
                     course::Vec3 ball, course::Vec3 aim, const SceneChoice& choice, const std::string& path,
                     std::string& error);

}  // namespace holeview
