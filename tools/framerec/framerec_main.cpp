// framerec GAME_DIRECTORY OUT_DIRECTORY [HOLE...]
// Draws the main view (from the tee towards the default aim point), the map panel and the inset
// view of a ball in flight of each hole of course 1 (holes 1, 5 and 9 unless named) through the
// game's own scene code, with a FrameRecorder watching the device, and writes every device call of
// each view as OUT_DIRECTORY/holeN_main.frame, holeN_map.frame and holeN_inset.frame.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "game/shell/launch/launch_files.h"
#include "platform/device3d.h"
#include "tools/toolkit/output_file.h"

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "framerec: %s\n", message.c_str());
    return 1;
}

// Records what draw does on the display's device into path.
bool RecordView(present::Display& display, const std::function<void()>& draw, const std::string& path,
                std::string& error) {
    platform::FrameRecorder recorder(*display.device);
    draw();
    recorder.Stop();
    if (recorder.Recording().calls.empty()) {
        error = "nothing was recorded for " + path;
        return false;
    }
    return platform::WriteFrameRecording(recorder.Recording(), path, error);
}

bool RecordHole(present::Display& display, int number, const std::filesystem::path& out, std::string& error) {
    std::vector<uint8_t> bytes;
    shell::HoleSettings settings;
    const std::string iniPath = core::HoleFilePath(1, number, "Hole.ini").text;
    if (!tools::ReadWholeFile(iniPath, bytes, error) || !shell::ParseHoleSettings(bytes, settings)) {
        error = iniPath + ": no readable hole settings";
        return false;
    }
    course::HoleState hole;
    if (!course::LoadHole(hole, *display.device, 1, number, error)) {
        return false;
    }
    course::PrepareHole(hole, settings.tee, settings.defaultAim, settings.pin);
    course::SceneInputs inputs;
    inputs.startPos = hole.TeePoint;
    inputs.pinPosition = hole.MapPinPoint;
    inputs.playerCount = 1;
    course::ViewState view;
    course::ResetView(display, hole, view, inputs, hole.TeePoint, hole.DefaultAim);
    // A first frame makes the sky picture ready, as it is for every frame after the first in play.
    course::DrawMainScene(display, hole, view, inputs);
    course::Vec3 flying = (hole.TeePoint + hole.DefaultAim) * 0.5f;
    flying.y += 12.0f;
    const std::string stem = (out / ("hole" + std::to_string(number))).string();
    const bool recorded = RecordView(
                              display, [&] { course::DrawMainScene(display, hole, view, inputs); },
                              stem + "_main.frame", error) &&
                          RecordView(
                              display, [&] { course::RenderMapPanel(display, hole, view, inputs); },
                              stem + "_map.frame", error) &&
                          RecordView(
                              display,
                              [&] {
                                  course::PlaceInsetCamera(*display.device, view, flying, false);
                                  course::DrawInsetScene(*display.device, hole, inputs, flying);
                              },
                              stem + "_inset.frame", error);
    course::UnloadHole(hole);
    return recorded;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: framerec GAME_DIRECTORY OUT_DIRECTORY [HOLE...]\n", stderr);
        return 2;
    }
    std::vector<int> holes;
    for (int i = 3; i < argc; ++i) {
        holes.push_back(std::atoi(argv[i]));
    }
    if (holes.empty()) {
        holes = {1, 5, 9};
    }
    std::error_code ec;
    const std::filesystem::path out = std::filesystem::absolute(argv[2]);
    std::filesystem::create_directories(out, ec);
    std::filesystem::current_path(argv[1], ec);  // the game's paths are relative to its directory
    if (ec) {
        return Fail(std::string("no game directory ") + argv[1]);
    }
    present::Display display;
    if (present::InitDisplay(display, nullptr, 0) != 0) {
        present::ReleaseDisplay(display);
        return Fail("cannot make the display");
    }
    int result = 0;
    for (const int number : holes) {
        std::string error;
        if (!RecordHole(display, number, out, error)) {
            result = Fail("hole " + std::to_string(number) + ": " + error);
            break;
        }
    }
    present::ReleaseDisplay(display);
    return result;
}
