#include "tools/holeview/result_screens.h"

#include <cmath>
#include <cstring>

#include "game/core/surface_kind.h"
#include "game/course/camera.h"
#include "game/screens/hud_draw.h"
#include "game/screens/scoreboard.h"
#include "game/screens/shot_result.h"
#include "game/shell/launch/language.h"
#include "platform/png_file.h"
#include "tools/toolkit/code_page.h"

namespace holeview {
namespace {

struct SamplePlayer {
    const char* name;
    int level;
    int strokes;
    int toPar;
    int points;
    int balance;
};

constexpr SamplePlayer kPlayers[4] = {
    {"Ann", 12, 3, -2, 3, 1520}, {"Bob", 5, 4, 1, 1, 780}, {"Cho", 17, 5, 0, 2, 0}, {"Dee", 9, 4, 3, 0, 990}};
// Names of full length (12 bytes in the language's code page), the widest letters of each script.
constexpr const char* kLongNames[3] = {"WWWWWWWWWWWW", "훯훯훯훯훯훯", "鬱鬱鬱鬱鬱鬱"};
constexpr SamplePlayer kExtremes[4] = {{"", 17, 10, 99, 99999, 99999},
                                       {"", 0, 2, -12, -5, -99999},
                                       {"", 8, 1, 0, 0, 0},
                                       {"", 3, 9, 145, 12, 12345}};

int SurfaceOfCode(const std::string& code) {
    for (int kind = 0; kind < core::kSurfaceKindCount; ++kind) {
        if (code == core::kSurfaceCodes[kind]) {
            return kind;
        }
    }
    return -1;
}

std::string InLanguage(const char* utf8, const std::string& language) {
    std::string out;
    std::string error;
    return tools::ConvertForLanguage(utf8, language, out, error) ? out : std::string(utf8);
}

std::string NameOf(const SceneChoice& choice, int slot) {
    if (!choice.extreme) {
        return kPlayers[slot].name;
    }
    const int script = choice.language == "KOR" ? 1 : choice.language == "JPN" ? 2 : 0;
    return InLanguage(kLongNames[script], choice.language);
}

bool BoardModeOf(const std::string& name, screens::BoardMode& mode) {
    if (name == "stroke") {
        mode = screens::BoardMode::StrokePlay;
    } else if (name == "skins") {
        mode = screens::BoardMode::Skins;
    } else if (name == "vegas") {
        mode = screens::BoardMode::Vegas;
    } else {
        return false;
    }
    return true;
}

screens::ScoreboardView SampleBoard(const SceneChoice& choice, screens::BoardMode mode) {
    screens::ScoreboardView board;
    board.mode = mode;
    board.nearLongest = choice.nearLongest;
    board.courseName = InLanguage(choice.language == "KOR"   ? "브라이트리 링크스"
                                  : choice.language == "JPN" ? "ブライトリー・リンクス"
                                                             : "Brightlea Links",
                                  choice.language);
    board.firstHole = 1;
    board.lastHole = 9;
    board.hole = choice.lastHole ? 9 : 4;
    board.par = choice.par;
    board.playerCount = choice.players;
    for (int slot = 0; slot < choice.players; ++slot) {
        const SamplePlayer& sample = choice.extreme ? kExtremes[slot] : kPlayers[slot];
        screens::BoardPlayer& player = board.players[slot];
        player.name = NameOf(choice, slot);
        player.strokes = sample.strokes;
        player.toPar = sample.toPar;
        player.points = sample.points;
        player.balance = sample.balance;
    }
    if (choice.nearLongest || choice.extreme) {
        board.nearestPlayer = choice.players > 1 ? 1 : 0;
        board.longestPlayer = choice.players > 3 ? 3 : -1;
    }
    return board;
}

// Everything a canvas needs, kept together for one picture.
struct Canvas {
    screens::HudSprites sprites;
    screens::HudState state;
    screens::HudView view;
    present::TextFont text;
    std::string face;
    std::string fixedFace;

    explicit Canvas(const SceneChoice& choice) {
        screens::LoadHudSprites(sprites, "", choice.language, false);
        FillSampleView(choice, view);
        view.localTurn = false;
        text.codePage = present::TextCodePageForLanguage(choice.language.c_str());
        const char* hudFace = shell::HudFaceForLanguage(choice.language.c_str());
        face = hudFace != nullptr ? hudFace : "Arial";
        fixedFace = choice.language == "ENG" ? "Courier New" : face;
        const screens::HudPlayerBar& shooter = view.players[0];
        screens::LoadGolferSet(sprites, shooter.gender, shooter.character);
        screens::LoadSwingSheet(sprites, shooter.gender, screens::ClubPose(choice.club), shooter.character);
    }
    ~Canvas() { screens::FreeHudSprites(sprites); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    screens::HudCanvas For(present::Display& display) {
        return {display, text, face.c_str(), fixedFace.c_str(), sprites, state, view};
    }
};

// The scene layer as the replay leaves it: the golfer's last swing frame, the ball where it came
// to rest (unless holed or in water), the inset of the resting ball.
void DrawScene(present::Display& display, course::HoleState& hole, course::ViewState& view,
               const course::SceneInputs& inputs, Canvas& canvas, course::Vec3 rest, int restSurface,
               int startSurface, float yards) {
    screens::ResultScene scene;
    scene.picture.swingFrame = 1000;  // past the sheet's end: its last frame
    int pixel[2] = {};
    const bool lost = restSurface == core::kSurfaceWater;
    if (!lost && course::ProjectToScreen(*display.device, rest, nullptr, pixel, nullptr)) {
        scene.picture.ballShown = true;
        scene.picture.ballX = pixel[0];
        scene.picture.ballY = pixel[1];
        scene.picture.ballSize = 5;
    }
    scene.insetFrame = screens::InsetFramed(yards, restSurface, startSurface);
    screens::HudCanvas hud = canvas.For(display);
    screens::DrawResultScene(hud, scene);
    if (scene.insetFrame) {
        course::PlaceInsetCamera(*display.device, view, rest, startSurface == core::kSurfaceGreen);
        course::DrawInsetScene(*display.device, hole, inputs, rest);
        course::PlaceMainCamera(*display.device, view, display.displayWidth, display.displayHeight);
    }
}

bool Write(present::Display& display, const std::string& path, std::string& error) {
    if (platform::WritePng(*display.backBuffer, path.c_str()) != 0) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

bool WriteResultScreens(present::Display& display, course::HoleState& hole, course::ViewState& view,
                        const course::SceneInputs& inputs, course::Vec3 ball, course::Vec3 aim,
                        const SceneChoice& choice, const std::string& outStem, std::string& error) {
    const int startSurface = SurfaceOfCode(choice.fromSurface);
    if (startSurface < 0) {
        error = "--played-from takes a surface code such as FWY";
        return false;
    }
    if (!choice.banner.empty()) {
        const bool holed = choice.banner == "holed";
        const int restSurface = holed ? core::kSurfaceGreen : SurfaceOfCode(choice.banner);
        if (restSurface < 0) {
            error = "--banner takes a surface code (TEE, FWY, GRE, ROU, BNK, WAY, WTR, OOB, OGR) or holed";
            return false;
        }
        Canvas canvas(choice);
        DrawScene(display, hole, view, inputs, canvas, holed ? hole.MapPinPoint : aim, restSurface,
                  startSurface, choice.shotYards);
        screens::ShotResultView banner;
        const std::string name = NameOf(choice, 0);
        banner.shooterName = name.c_str();
        banner.shooterLevel = choice.extreme ? 17 : kPlayers[0].level;
        banner.outcome = {holed, restSurface, startSurface, choice.par, choice.strokes, choice.shotYards};
        screens::HudCanvas hud = canvas.For(display);
        screens::DrawShotResultBanner(hud, banner);
        if (!Write(display, outStem + "_banner.png", error)) {
            return false;
        }
    }
    if (!choice.board.empty()) {
        screens::BoardMode mode;
        if (!BoardModeOf(choice.board, mode)) {
            error = "--board takes stroke, skins or vegas";
            return false;
        }
        Canvas canvas(choice);
        DrawScene(display, hole, view, inputs, canvas, aim, core::kSurfaceGreen, startSurface,
                  std::hypot(aim.x - ball.x, aim.z - ball.z));
        screens::HudCanvas hud = canvas.For(display);
        const screens::ScoreboardView board = SampleBoard(choice, mode);
        if (choice.noHeader) {
            screens::DrawScoreboardTable(
                hud, screens::LayOutScoreboard(board, 0, 0, display.backBuffer->width), present::FniImage{});
        } else {
            screens::DrawScoreboardScreen(hud, board);
        }
        if (!Write(display, outStem + "_board.png", error)) {
            return false;
        }
    }
    return true;
}

}  // namespace holeview
