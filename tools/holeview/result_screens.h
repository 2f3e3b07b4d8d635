#pragma once
// The shot-result banner and the end-of-hole scoreboard drawn over a rendered hole view for a match
// state chosen on the command line.

#include <string>

#include "game/course/hole_state.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "tools/holeview/play_scene.h"

namespace holeview {

// Writes OUT_banner.png when the choice asks for a banner and OUT_board.png when it asks for a
// board (outStem is OUT without ".png"). ball and aim are the viewpoint's points; the banner's ball
// comes to rest at the aim point. False with error on a bad choice or a failed write.
bool WriteResultScreens(present::Display& display, course::HoleState& hole, course::ViewState& view,
                        const course::SceneInputs& inputs, course::Vec3 ball, course::Vec3 aim,
                        const SceneChoice& choice, const std::string& outStem, std::string& error);

}  // namespace holeview
