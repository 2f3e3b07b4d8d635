// Drawing speed of pictures and of presenting a frame with the software cursor.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "game/present/display.h"
#include "game/present/draw_primitives.h"
#include "tests/present/fni_bytes.h"

namespace {

// A picture with some structure: bands of colours and transparent holes, like HUD art.
std::vector<uint8_t> Pattern(int w, int h, uint8_t transparent) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool hole = ((x / 24) + (y / 16)) % 5 == 0;
            px[static_cast<size_t>(y) * w + x] =
                hole ? transparent : static_cast<uint8_t>(1 + (x * 7 + y * 3) % 200);
        }
    }
    return px;
}

std::vector<fni_bytes::Color> Palette() {
    std::vector<fni_bytes::Color> palette(256);
    for (int i = 0; i < 256; ++i) {
        palette[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3), 0};
    }
    return palette;
}

present::FniImage Picture(int w, int h, bool keepCompressed) {
    const auto bytes = fni_bytes::File(static_cast<uint16_t>(w), static_cast<uint16_t>(h), 0, Palette(),
                                       fni_bytes::Encode(Pattern(w, h, 0), w, 0));
    present::FniImage image;
    present::LoadFniFromBytes(image, bytes.data(), bytes.size(), keepCompressed);
    return image;
}

void BM_DrawFullScreenCompressed(benchmark::State& state) {
    platform::DrawSurface* target = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    const present::FniImage image = Picture(800, 600, true);
    for (auto _ : state) {
        present::DrawFni(*target, image, 0, 0, nullptr);
        benchmark::ClobberMemory();
    }
    platform::ReleaseDrawSurface(target);
}
BENCHMARK(BM_DrawFullScreenCompressed)->Unit(benchmark::kMicrosecond);

void BM_DrawExpandedSprite(benchmark::State& state) {
    platform::DrawSurface* target = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    const present::FniImage image = Picture(64, 64, false);
    const platform::SurfaceRect part{0, 0, 64, 64};
    for (auto _ : state) {
        present::DrawFni(*target, image, 790, 300, &part);  // cut at the right edge
        present::DrawFni(*target, image, 400, 300, nullptr);
        benchmark::ClobberMemory();
    }
    platform::ReleaseDrawSurface(target);
}
BENCHMARK(BM_DrawExpandedSprite)->Unit(benchmark::kMicrosecond);

void BM_PresentWithCursor(benchmark::State& state) {
    // The display loads its cursor pictures from Image/ of the current folder.
    const auto dir = std::filesystem::temp_directory_path() / "brightlea_bench_present";
    std::filesystem::create_directories(dir / "Image");
    const auto bytes = fni_bytes::File(32, 32, 0, Palette(), fni_bytes::Encode(Pattern(32, 32, 0), 32, 0));
    for (const char* name : {"Mouse00.fni", "Mouse01.fni", "Mouse02.fni"}) {
        std::ofstream(dir / "Image" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    present::Display display;
    present::InitDisplay(display, nullptr, 0);
    std::filesystem::current_path(previous);
    present::FillSurface(*display.backBuffer, 0x336699);
    display.cursorShown = 1;
    display.cursorX = 300;
    display.cursorY = 200;
    for (auto _ : state) {
        present::PresentFrame(display, false);
        benchmark::ClobberMemory();
    }
    present::ReleaseDisplay(display);
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PresentWithCursor)->Unit(benchmark::kMicrosecond);

}  // namespace
