// The course view on the demo course: loading and preparing each hole, the main view from the tee,
// the map panel and the inset view of a ball in flight.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include "game/core/game_paths.h"
#include "game/course/main_view_reuse.h"
#include "game/course/scene_renderer.h"
#include "game/present/display.h"
#include "game/shell/launch/launch_files.h"

namespace {

// The demo course's game directory as the current directory, and a display to draw on.
struct Stage {
    present::Display display;
    bool ready = false;
    Stage() {
        std::error_code ec;
        std::filesystem::current_path(BRIGHTLEA_GAMEDATA_DIR, ec);
        ready = !ec && present::InitDisplay(display, nullptr, 0) == 0;
    }
};

Stage& TheStage() {
    static Stage stage;
    return stage;
}

bool ReadSettings(int hole, shell::HoleSettings& settings) {
    const std::string path = core::HoleFilePath(1, hole, "Hole.ini").text;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    std::vector<uint8_t> bytes(4096);
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
    std::fclose(file);
    return shell::ParseHoleSettings(bytes, settings);
}

// One hole loaded, prepared and seen from its tee.
struct LoadedHole {
    course::HoleState hole;
    course::ViewState view;
    course::SceneInputs inputs;
    bool loaded = false;
    explicit LoadedHole(int number) {
        Stage& stage = TheStage();
        shell::HoleSettings settings;
        std::string error;
        if (!stage.ready || !ReadSettings(number, settings) ||
            !course::LoadHole(hole, *stage.display.device, 1, number, error)) {
            return;
        }
        course::PrepareHole(hole, settings.tee, settings.defaultAim, settings.pin);
        inputs.startPos = hole.TeePoint;
        inputs.pinPosition = hole.MapPinPoint;
        inputs.playerCount = 1;
        course::ResetView(stage.display, hole, view, inputs, hole.TeePoint, hole.DefaultAim);
        loaded = true;
    }
    ~LoadedHole() { course::UnloadHole(hole); }
};

void BM_LoadAndPrepareHole(benchmark::State& state) {
    const int number = static_cast<int>(state.range(0));
    for (auto _ : state) {
        LoadedHole loaded(number);
        if (!loaded.loaded) {
            state.SkipWithError("the demo course is not built");
            return;
        }
        benchmark::DoNotOptimize(loaded.hole.grid.entries.data());
    }
}
BENCHMARK(BM_LoadAndPrepareHole)->DenseRange(1, 9)->Unit(benchmark::kMillisecond);

void BM_DrawMainScene(benchmark::State& state) {
    LoadedHole loaded(static_cast<int>(state.range(0)));
    if (!loaded.loaded) {
        state.SkipWithError("the demo course is not built");
        return;
    }
    Stage& stage = TheStage();
    for (auto _ : state) {
        course::PlaceMainCamera(*stage.display.device, loaded.view, 800, 600);
        course::DrawMainScene(stage.display, loaded.hole, loaded.view, loaded.inputs);
    }
}
BENCHMARK(BM_DrawMainScene)->Arg(1)->Arg(5)->Arg(9)->Unit(benchmark::kMillisecond);

// A play-screen redraw after a click that changed only the controls: the saved view is put back.
void BM_RestoreUnchangedMainScene(benchmark::State& state) {
    LoadedHole loaded(static_cast<int>(state.range(0)));
    if (!loaded.loaded) {
        state.SkipWithError("the demo course is not built");
        return;
    }
    Stage& stage = TheStage();
    course::MainViewRecord record;
    course::PlaceMainCamera(*stage.display.device, loaded.view, 800, 600);
    for (auto _ : state) {
        course::DrawOrRestoreMainScene(stage.display, loaded.hole, loaded.view, loaded.inputs, record);
    }
}
BENCHMARK(BM_RestoreUnchangedMainScene)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_RenderMapPanel(benchmark::State& state) {
    LoadedHole loaded(static_cast<int>(state.range(0)));
    if (!loaded.loaded) {
        state.SkipWithError("the demo course is not built");
        return;
    }
    for (auto _ : state) {
        course::RenderMapPanel(TheStage().display, loaded.hole, loaded.view, loaded.inputs);
    }
}
BENCHMARK(BM_RenderMapPanel)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_DrawInsetScene(benchmark::State& state) {
    LoadedHole loaded(static_cast<int>(state.range(0)));
    if (!loaded.loaded) {
        state.SkipWithError("the demo course is not built");
        return;
    }
    platform::Device3D& device = *TheStage().display.device;
    course::Vec3 ball = (loaded.hole.TeePoint + loaded.hole.DefaultAim) * 0.5f;
    ball.y += 12.0f;
    for (auto _ : state) {
        course::PlaceInsetCamera(device, loaded.view, ball, false);
        course::DrawInsetScene(device, loaded.hole, loaded.inputs, ball);
    }
}
BENCHMARK(BM_DrawInsetScene)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace
