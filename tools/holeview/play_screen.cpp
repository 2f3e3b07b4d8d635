#include "tools/holeview/play_screen.h"

#include <cmath>

#include "game/course/camera.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_draw.h"
#include "game/screens/map_aim.h"
#include "game/shell/launch/language.h"
#include "platform/png_file.h"

namespace holeview {
namespace {

float Yards(course::Vec3 a, course::Vec3 b) {
    return std::hypot(a.x - b.x, a.z - b.z);
}

}  // namespace

bool WritePlayScreen(present::Display& display, const course::HoleState& hole, const course::ViewState& view,
                     course::Vec3 ball, course::Vec3 aim, const SceneChoice& choice, const std::string& path,
                     std::string& error) {
    screens::HudSprites sprites;
    screens::LoadHudSprites(sprites, "", choice.language, false);
    screens::HudView hud;
    FillSampleView(choice, hud);
    hud.holeName = "Hole";
    hud.distanceToHole = Yards(ball, hole.MapPinPoint);
    hud.targetDistance = Yards(ball, aim);
    int pixel[2] = {};
    float depth = 0.0f;
    if (display.device != nullptr && course::ProjectToScreen(*display.device, aim, nullptr, pixel, &depth)) {
        hud.targetProjected = true;
        hud.targetScreenX = pixel[0];
        hud.targetScreenY = pixel[1];
        hud.targetDepth = depth;
    }
    hud.viewHeading =
        std::atan2(view.CameraAim.x - view.CameraAnchor.x, view.CameraAim.z - view.CameraAnchor.z);
    hud.mapPinX = screens::kMapPanelX + view.MapPinPos[0];
    hud.mapPinY = screens::kMapPanelY + view.MapPinPos[1];
    screens::MapFrame frame;
    if (screens::MakeMapFrame(view.MapTeePos, hole.TeePoint.x, hole.TeePoint.z, view.MapPinPos,
                              hole.MapPinPoint.z, frame)) {
        screens::CourseToMap(frame, aim.x, aim.z, hud.mapTargetX, hud.mapTargetY);
        for (int slot = 0; slot < hud.playerCount; ++slot) {
            // Other players' balls a little beside and behind the shooter's.
            const float side = slot == 0 ? 0.0f : 6.0f * static_cast<float>(slot) - 12.0f;
            screens::CourseToMap(frame, ball.x + side, ball.z - 4.0f * static_cast<float>(slot),
                                 hud.players[slot].mapX, hud.players[slot].mapY);
        }
    }
    const screens::HudPlayerBar& shooter = hud.players[0];
    screens::LoadGolferSet(sprites, shooter.gender, shooter.character);

    screens::HudState state;
    state.barMode = choice.scoreStrip ? screens::BarMode::ScoreStrip : screens::BarMode::Players;
    state.macroMenuOpen = choice.macroMenu;
    state.hoveredMacroRow = choice.macroMenu ? 2 : -1;
    if (choice.menuClub >= 0) {
        state.menuPhase = screens::ClubMenuPhase::Open;
        state.hoveredClub = choice.menuClub;
    }
    const screens::HudControl hovered = HoverControl(choice.hover);
    if (hovered != screens::HudControl::None) {
        state.hover[static_cast<int>(hovered)] = true;
    }
    present::TextFont text;
    text.codePage = present::TextCodePageForLanguage(choice.language.c_str());
    const char* face = shell::HudFaceForLanguage(choice.language.c_str());
    face = face != nullptr ? face : "Arial";
    const char* fixedFace = choice.language == "ENG" ? "Courier New" : face;
    screens::HudCanvas canvas{display, text, face, fixedFace, sprites, state, hud};
    screens::DrawHud(canvas);
    if (choice.gauge >= 0) {
        screens::DrawSwingGauge(canvas, choice.gauge);
    }
    const bool written = platform::WritePng(*display.backBuffer, path.c_str()) == 0;
    screens::FreeHudSprites(sprites);
    if (!written) {
        error = "cannot write " + path;
    }
    return written;
}

}  // namespace holeview
