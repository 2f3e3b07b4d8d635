// The HUD's redraws: the complete HUD after a new view, the control area after a hover change and
// the per-frame swing gauge.
#include <benchmark/benchmark.h>

#include "game/screens/hud_draw.h"
#include "tests/screens/hud_sample.h"

namespace {

struct HudBench {
    present::Display display;
    present::TextFont text;
    screens::HudSprites sprites;
    screens::HudState state;
    screens::HudView view = hud_sample::SampleView();
    screens::HudCanvas canvas{display, text, "Arial", "Courier New", sprites, state, view};
    bool ready = false;

    HudBench() {
        ready = hud_sample::MakeSurfaces(display);
        screens::LoadHudSprites(sprites, BRIGHTLEA_GAMEDATA_DIR, "ENG", false);
        for (int slot = 0; slot < 4; ++slot) {
            screens::LoadGolferSet(sprites, view.players[slot].gender, view.players[slot].character);
        }
    }
    ~HudBench() {
        screens::FreeHudSprites(sprites);
        hud_sample::ReleaseSurfaces(display);
    }
};

void BM_FullHudRedraw(benchmark::State& run) {
    HudBench bench;
    if (!bench.ready) {
        run.SkipWithError("no surfaces");
        return;
    }
    for (auto _ : run) {
        screens::DrawHud(bench.canvas);
    }
}
BENCHMARK(BM_FullHudRedraw)->Unit(benchmark::kMicrosecond);

void BM_ControlAreaRedraw(benchmark::State& run) {
    HudBench bench;
    screens::DrawHud(bench.canvas);
    int i = 0;
    for (auto _ : run) {
        bench.state.hover[static_cast<int>(screens::HudControl::Club)] = (++i % 2) == 0;
        screens::DrawControls(bench.canvas, true);
    }
}
BENCHMARK(BM_ControlAreaRedraw)->Unit(benchmark::kMicrosecond);

void BM_SwingGaugeFrame(benchmark::State& run) {
    HudBench bench;
    bench.view.swinging = true;
    screens::DrawHud(bench.canvas);
    int frame = 0;
    for (auto _ : run) {
        frame = (frame + 1) % screens::kGaugeFrames;
        screens::DrawSwingGauge(bench.canvas, frame);
    }
}
BENCHMARK(BM_SwingGaugeFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
