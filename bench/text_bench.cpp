#include <benchmark/benchmark.h>

#include "game/present/text.h"
#include "platform/draw_surface.h"

namespace {

void BM_DrawHudLine(benchmark::State& state) {
    platform::DrawSurface* s = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    present::TextFont font;
    present::SetTextFont(font, "Arial", 8, 16, true);
    for (auto _ : state) {
        present::DrawTextAt(font, *s, 400, 280, 0xFFFF00, "Waiting for the other players...",
                            present::kAlignCenter);
        benchmark::ClobberMemory();
    }
    platform::ReleaseDrawSurface(s);
}
BENCHMARK(BM_DrawHudLine);

void BM_DrawKoreanLine(benchmark::State& state) {
    platform::DrawSurface* s = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    present::TextFont font;
    font.codePage = platform::CodePage::Korean949;
    present::SetTextFont(font, "\xB1\xBC\xB8\xB2\xC3\xBC", 8, 16, false);
    for (auto _ : state) {
        present::DrawTextAt(font, *s, 10, 570, 0xFFFFFF, "\xB0\xA1\xB3\xAA\xB4\xD9 Hole 3",
                            present::kAlignLeft);
        benchmark::ClobberMemory();
    }
    platform::ReleaseDrawSurface(s);
}
BENCHMARK(BM_DrawKoreanLine);

void BM_BoldTextWidth(benchmark::State& state) {
    present::TextFont font;
    present::SetTextFont(font, "Arial", 8, 16, true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(present::TextWidth(font, "Longest drive: 287 yd"));
    }
}
BENCHMARK(BM_BoldTextWidth);

}  // namespace
