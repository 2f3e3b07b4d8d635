#pragma once
// A play screen without a window: the back buffer, the scene copy (a fixed pattern standing for a
// rendered view) and the map panel as memory surfaces, the HUD pictures from the built data set,
// and a view of the local player's turn in a four-player match.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "game/present/display.h"
#include "game/present/draw_primitives.h"
#include "game/screens/hud_draw.h"
#include "platform/draw_surface.h"
#include "tests/screens/hud_sample.h"

namespace hud_fixture {

inline std::vector<uint32_t> ReadPixels(platform::DrawSurface& surface) {
    std::vector<uint32_t> pixels(static_cast<size_t>(surface.width) * surface.height, 0);
    platform::LockedPixels locked;
    if (platform::LockSurface(surface, locked) != 0) {
        return pixels;
    }
    const int bytes = locked.format.bitsPerPixel / 8;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            std::memcpy(&pixels[static_cast<size_t>(y) * surface.width + x],
                        locked.bits + y * locked.pitch + x * bytes, static_cast<size_t>(bytes));
        }
    }
    platform::UnlockSurface(surface);
    return pixels;
}

inline int CountDifferencesIn(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                              const platform::SurfaceRect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const size_t i = static_cast<size_t>(y) * 800 + x;
            count += (i < a.size() && i < b.size() && a[i] != b[i]) ? 1 : 0;
        }
    }
    return count;
}

inline int CountDifferences(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    return CountDifferencesIn(a, b, {0, 0, 800, 600});
}

class HudScreen : public ::testing::Test {
  protected:
    HudScreen() : canvas_{display_, text_, "Arial", "Courier New", sprites_, state_, view_} {}

    void SetUp() override {
        ASSERT_TRUE(hud_sample::MakeSurfaces(display_));
        screens::LoadHudSprites(sprites_, BRIGHTLEA_GAMEDATA_DIR, "ENG", false);
        if (screens::Picture(sprites_, screens::HudPicture::Shot).width == 0) {
            GTEST_SKIP() << "the data set with the HUD pictures is not built";
        }
        for (int slot = 0; slot < 4; ++slot) {
            screens::LoadGolferSet(sprites_, view_.players[slot].gender, view_.players[slot].character);
        }
    }

    void TearDown() override {
        screens::FreeHudSprites(sprites_);
        hud_sample::ReleaseSurfaces(display_);
    }

    screens::HudCanvas& Canvas() { return canvas_; }
    void Draw() { screens::DrawHud(canvas_); }
    std::vector<uint32_t> Pixels() { return ReadPixels(*display_.backBuffer); }
    std::vector<uint32_t> SceneCopy() { return ReadPixels(*display_.sceneCopySurface); }

    // The same HUD drawn from a fresh state and a blank back buffer.
    std::vector<uint32_t> CleanDraw() {
        const screens::HudState kept = state_;
        screens::HudState fresh;
        std::memcpy(fresh.hover, kept.hover, sizeof fresh.hover);
        fresh.menuPhase = kept.menuPhase;
        fresh.hoveredClub = kept.hoveredClub;
        state_ = fresh;
        present::FillSurface(*display_.backBuffer, 0x000000);
        Draw();
        std::vector<uint32_t> pixels = Pixels();
        state_ = kept;
        return pixels;
    }

    present::Display display_;
    present::TextFont text_;
    screens::HudSprites sprites_;
    screens::HudState state_;
    screens::HudView view_ = hud_sample::SampleView();
    screens::HudCanvas canvas_;
};

}  // namespace hud_fixture
