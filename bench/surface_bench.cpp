#include <benchmark/benchmark.h>

#include "platform/draw_surface.h"

namespace {

void BM_FillFullPicture(benchmark::State& state) {
    platform::DrawSurface* s = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    for (auto _ : state) {
        platform::ColorFill(*s, nullptr, 0x1234);
        benchmark::ClobberMemory();
    }
    platform::ReleaseDrawSurface(s);
}
BENCHMARK(BM_FillFullPicture);

}  // namespace
