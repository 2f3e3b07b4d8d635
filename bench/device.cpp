// Rendering speed of the software 3D device on the test scene: the full 800 x 600 main view and the
// 236 x 176 inset. With --png=<file> it also saves the main view with the inset drawn over it.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/device_scene.h"
#include "platform/png_file.h"

namespace {

struct Rig {
    platform::DrawSurface* target = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    platform::DrawSurface* depth = platform::CreateDrawSurface(800, 600, platform::kDepth16);
    platform::Device3D* device = platform::CreateDevice3D(*target, platform::DeviceKind::kSoftware);
    scene_demo::Scene scene;

    Rig() {
        platform::SetRenderTarget(*device, *target, depth);
        scene_demo::SetUpDevice(*device);
    }
    ~Rig() {
        platform::ReleaseDevice3D(device);
        platform::ReleaseDrawSurface(target);
        platform::ReleaseDrawSurface(depth);
    }
    double Triangles() const {
        return static_cast<double>(scene.terrainIndices.size() + scene.treeIndices.size()) / 3.0;
    }
};

void BM_MainView(benchmark::State& state) {
    Rig rig;
    scene_demo::PlaceMainCamera(*rig.device, rig.scene);
    for (auto _ : state) {
        scene_demo::DrawScene(*rig.device, rig.scene);
    }
    state.counters["triangles/s"] = benchmark::Counter(
        rig.Triangles() * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MainView)->Unit(benchmark::kMillisecond);

void BM_InsetView(benchmark::State& state) {
    Rig rig;
    scene_demo::PlaceInsetCamera(*rig.device, rig.scene);
    for (auto _ : state) {
        scene_demo::DrawScene(*rig.device, rig.scene);
    }
    state.counters["triangles/s"] = benchmark::Counter(
        rig.Triangles() * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_InsetView)->Unit(benchmark::kMillisecond);

bool SavePicture(const std::string& path) {
    Rig rig;
    scene_demo::PlaceMainCamera(*rig.device, rig.scene);
    scene_demo::DrawScene(*rig.device, rig.scene);
    scene_demo::PlaceInsetCamera(*rig.device, rig.scene);
    scene_demo::DrawScene(*rig.device, rig.scene);
    return platform::WritePng(*rig.target, path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--png=", 6) == 0) {
            if (!SavePicture(argv[i] + 6)) {
                std::fprintf(stderr, "cannot write %s\n", argv[i] + 6);
                return 1;
            }
            return 0;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
