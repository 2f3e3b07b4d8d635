// holeview GAME_DIRECTORY COURSE HOLE OUT.png [tee|aim|green|putt|all|BX,BZ:AX,AZ]
// Renders one hole of a data set through the game's own hole loading and scene renderer, headless:
// OUT.png is the main view from behind the ball (at the tee looking at the default aim point, at the
// aim point looking at the pin (halfway to the pin on a hole that aims straight at it), 30 yards
// short of the green, on the green (with the slope grid), or from ball (BX, BZ) towards
// (AX, AZ)); OUT_map.png is the hole map panel and OUT_inset.png the inset view of a ball halfway
// along its flight. "all" writes the tee, fairway (aim), approach (green) and green (putt) views
// as OUT_tee.png, OUT_fairway.png, OUT_approach.png and OUT_green.png. The artists' preview and
// the renderer's visual check.
// HUD options after the view (--language, --players, --club, --lie, --menu CLUB, --gauge FRAME,
// --hover CONTROL, --wind DIR,SPEED, --beginner, --macro-menu, --score-strip) also write
// OUT_play.png: the full play screen with the HUD in that state. --banner and --board add the
// shot-result banner (OUT_banner.png) and the scoreboard (OUT_board.png) for a chosen match state.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "game/core/game_paths.h"
#include "game/core/surface_kind.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "game/shell/launch/launch_files.h"
#include "platform/png_file.h"
#include "tools/holeview/play_screen.h"
#include "tools/holeview/result_screens.h"
#include "tools/toolkit/output_file.h"

namespace holeview {
namespace {

using course::Vec3;

int Fail(const std::string& message) {
    std::fprintf(stderr, "holeview: %s\n", message.c_str());
    return 1;
}

Vec3 Seated(const course::HoleState& hole, float x, float z) {
    Vec3 p{x, 0.0f, z};
    course::SeatOnTerrain(hole.grid, p);
    return p;
}

struct Viewpoint {
    Vec3 ball;
    Vec3 aim;
};

bool ChooseViewpoint(const course::HoleState& hole, const std::string& from, Viewpoint& out) {
    const Vec3 tee = hole.TeePoint, aim = hole.DefaultAim, pin = hole.MapPinPoint;
    float bx = 0, bz = 0, ax = 0, az = 0;
    if (from == "tee") {
        out = {tee, aim};
    } else if (from == "aim") {
        // A hole that aims straight at the pin (a par 3) is seen from halfway along.
        const bool straight = aim.x == pin.x && aim.z == pin.z;
        out = {straight ? Seated(hole, (tee.x + pin.x) / 2, (tee.z + pin.z) / 2) : aim, pin};
    } else if (from == "green" || from == "putt") {
        // Back from the pin towards the default aim, or towards the tee where the two coincide:
        // 30 yards short of the green, or on the green 6 yards from the pin.
        const Vec3 toward = (aim.x == pin.x && aim.z == pin.z) ? tee : aim;
        const Vec3 back = platform::Normalize(Vec3{toward.x - pin.x, 0, toward.z - pin.z});
        const float distance = from == "green" ? 30.0f : 6.0f;
        out = {Seated(hole, pin.x + back.x * distance, pin.z + back.z * distance), pin};
    } else if (std::sscanf(from.c_str(), "%f,%f:%f,%f", &bx, &bz, &ax, &az) == 4) {
        out = {Seated(hole, bx, bz), Seated(hole, ax, az)};
    } else {
        return false;
    }
    return true;
}

uint8_t SurfaceUnder(const course::HoleState& hole, Vec3 p) {
    int group = -1;
    if (!course::TerrainHeightAt(hole.grid, p, nullptr, &group)) {
        return 0;
    }
    const int kind = static_cast<int>(core::SurfaceKindOfGroup(*hole.HoleModel, group));
    return kind < 0 ? 0 : static_cast<uint8_t>(kind);
}

bool WriteArea(platform::DrawSurface& from, const platform::SurfaceRect& area, const std::string& path) {
    platform::DrawSurface* part =
        platform::CreateDrawSurface(area.right - area.left, area.bottom - area.top, from.format);
    if (part == nullptr) {
        return false;
    }
    platform::CopyRect(*part, 0, 0, from, area, false);
    const bool written = platform::WritePng(*part, path.c_str()) == 0;
    platform::ReleaseDrawSurface(part);
    return written;
}

std::string WithSuffix(const std::string& png, const char* suffix) {
    const std::string stem = png.size() > 4 && png.ends_with(".png") ? png.substr(0, png.size() - 4) : png;
    return stem + suffix + ".png";
}

// The game draws each hole's sky at random from the sky pictures; the viewer takes them in turn.
int SkyOfHole(int holeNumber) {
    int count = 0;
    char name[32];
    for (;; ++count) {
        std::snprintf(name, sizeof name, "Sky/Sky%02d.fni", count);
        if (!std::filesystem::exists(name)) {
            break;
        }
    }
    return count == 0 ? 0 : std::max(holeNumber - 1, 0) % count;
}

// The main view (and the play screen when HUD options were given), the map panel and the inset
// from one viewpoint.
int RenderView(present::Display& display, course::HoleState& hole, int skyIndex, const std::string& from,
               const std::string& out, const SceneChoice* hudChoice) {
    Viewpoint viewpoint;
    if (!ChooseViewpoint(hole, from, viewpoint)) {
        return Fail("unknown view '" + from + "'");
    }
    int result = 0;
    course::SceneInputs inputs;
    inputs.startPos = viewpoint.ball;
    inputs.surface = inputs.startSurface = SurfaceUnder(hole, viewpoint.ball);
    inputs.pinPosition = hole.MapPinPoint;
    inputs.playerCount = 1;
    inputs.skyIndex = skyIndex;
    inputs.GreenGridOn = inputs.startSurface == core::kSurfaceGreen;
    course::ViewState view;
    course::ResetView(display, hole, view, inputs, viewpoint.ball, viewpoint.aim);
    course::DrawMainScene(display, hole, view, inputs);
    const bool mainWritten = platform::WritePng(*display.backBuffer, out.c_str()) == 0;
    std::string hudError;
    if (hudChoice != nullptr && !WritePlayScreen(display, hole, view, viewpoint.ball, viewpoint.aim,
                                                 *hudChoice, WithSuffix(out, "_play"), hudError)) {
        result = Fail(hudError);
    }
    const std::string stem = WithSuffix(out, "");
    if (hudChoice != nullptr &&
        !WriteResultScreens(display, hole, view, inputs, viewpoint.ball, viewpoint.aim, *hudChoice,
                            stem.substr(0, stem.size() - 4), hudError)) {
        result = Fail(hudError);
    }
    present::RestoreBackground(display);
    const bool mapWritten =
        platform::WritePng(*display.mapPanelSurface, WithSuffix(out, "_map").c_str()) == 0;
    Vec3 flying = (viewpoint.ball + viewpoint.aim) * 0.5f;
    flying.y += 12.0f;
    course::PlaceInsetCamera(*display.device, view, flying, inputs.startSurface == core::kSurfaceGreen);
    course::DrawInsetScene(*display.device, hole, inputs, flying);
    const bool insetWritten = WriteArea(*display.backBuffer, {550, 410, 786, 586}, WithSuffix(out, "_inset"));
    if (!mainWritten || !mapWritten || !insetWritten) {
        result = Fail("cannot write the pictures next to " + out);
    }
    return result;
}

int Render(const std::string& out, int courseNumber, int holeNumber, const std::string& from,
           const SceneChoice* hudChoice) {
    std::vector<uint8_t> bytes;
    std::string error;
    shell::HoleSettings settings;
    const std::string iniPath = core::HoleFilePath(courseNumber, holeNumber, "Hole.ini").text;
    if (!tools::ReadWholeFile(iniPath, bytes, error) || !shell::ParseHoleSettings(bytes, settings)) {
        return Fail(iniPath + ": no readable hole settings");
    }
    present::Display display;
    if (present::InitDisplay(display, nullptr, 0) != 0) {
        present::ReleaseDisplay(display);
        return Fail("cannot make the display");
    }
    course::HoleState hole;
    if (!course::LoadHole(hole, *display.device, courseNumber, holeNumber, error)) {
        present::ReleaseDisplay(display);
        return Fail(error);
    }
    course::PrepareHole(hole, settings.tee, settings.defaultAim, settings.pin);
    using Views = std::vector<std::pair<std::string, std::string>>;
    const Views views = from == "all" ? Views{{"tee", WithSuffix(out, "_tee")},
                                              {"aim", WithSuffix(out, "_fairway")},
                                              {"green", WithSuffix(out, "_approach")},
                                              {"putt", WithSuffix(out, "_green")}}
                                      : Views{{from, out}};
    int result = 0;
    for (const auto& [view, path] : views) {
        if (result == 0) {
            result = RenderView(display, hole, SkyOfHole(holeNumber), view, path, hudChoice);
        }
    }
    course::UnloadHole(hole);
    present::ReleaseDisplay(display);
    return result;
}

}  // namespace
}  // namespace holeview

namespace {

constexpr const char* kHoleviewHelp =
    "usage: holeview GAME_DIRECTORY COURSE HOLE OUT.png [VIEW] [HUD options]\n"
    "Draws a hole of a game directory with the game's own hole loading and renderer: the main view\n"
    "(OUT.png), the map panel (OUT_map.png) and the inset view (OUT_inset.png).\n"
    "  VIEW   tee (default): from the tee toward the aim point; aim: from the aim point toward\n"
    "         the pin; green: 30 yards short of the pin; putt: on the green 6 yards from the pin;\n"
    "         all: the four views above, each to its own file;\n"
    "         BX,BZ:AX,AZ: the ball at BX,BZ aiming at AX,AZ (yards)\n"
    "  With any HUD option the full play screen is also written (OUT_play.png):\n"
    "  --players N --language ENG|KOR|JPN --club N --lie N --menu N --gauge N --hover CONTROL\n"
    "  --wind DIRECTION,SPEED --from X,Z --beginner --macro-menu --score-strip\n"
    "  Result screens (with the HUD options above): --banner TEE|FWY|GRE|ROU|BNK|WAY|WTR|OOB|OGR|holed\n"
    "  (OUT_banner.png; --par N --strokes N --shot-yards Y --played-from CODE) and\n"
    "  --board stroke|skins|vegas (OUT_board.png; --near-longest --last-hole --no-header);\n"
    "  --extreme: names of full length, five-digit and negative balances\n"
    "example: holeview build/gamedata 1 1 /tmp/hole1.png tee\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::fputs(kHoleviewHelp, stdout);
        return 0;
    }
    if (argc < 5) {
        std::fputs(kHoleviewHelp, stderr);
        return 2;
    }
    // The game's paths are relative to the game directory.
    using namespace holeview;
    const std::string out = std::filesystem::absolute(argv[4]).string();
    std::error_code ec;
    std::filesystem::current_path(argv[1], ec);
    if (ec) {
        return Fail(std::string("no game directory ") + argv[1]);
    }
    SceneChoice choice;
    const bool withHud = argc > 6;
    std::string error;
    if (withHud && !ParseChoice(argc, argv, 6, choice, error)) {
        return Fail(error);
    }
    return Render(out, std::atoi(argv[2]), std::atoi(argv[3]), argc > 5 ? argv[5] : "tee",
                  withHud ? &choice : nullptr);
}
