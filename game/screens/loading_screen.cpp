#include "game/screens/loading_screen.h"

#include <cstdio>

#include "game/present/draw_primitives.h"

namespace screens {

void ShowLoadingScreen(present::Display& display, core::Rand15& rand, bool firstHole, uint32_t nowMs) {
    if (display.backBuffer == nullptr) {
        return;
    }
    present::FillSurface(*display.backBuffer, 0x000000);
    char path[32];
    if (firstHole) {
        std::snprintf(path, sizeof path, "Image/Main_start.fni");
    } else {
        rand.Seed(nowMs);
        std::snprintf(path, sizeof path, "Image/Main_%02d.fni", rand.Next() % 3);
    }
    present::FniImage picture;
    present::LoadFni(picture, path, true);
    present::DrawFni(*display.backBuffer, picture, 0, 0, nullptr);
    present::FreeFni(picture);
}

}  // namespace screens
