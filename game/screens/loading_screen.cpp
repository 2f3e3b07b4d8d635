#include "game/screens/loading_screen.h"

#include <cstdio>

#include "game/present/draw_primitives.h"

namespace present {

void ShowLoadingScreen(Display& display, physics::Rand15& rand, bool firstHole, uint32_t nowMs) {
    if (display.backBuffer == nullptr) {
        return;
    }
    FillSurface(*display.backBuffer, 0x000000);
    char path[32];
    if (firstHole) {
        std::snprintf(path, sizeof path, "Image/Main_start.fni");
    } else {
        rand.Seed(nowMs);
        std::snprintf(path, sizeof path, "Image/Main_%02d.fni", rand.Next() % 3);
    }
    FniImage picture;
    LoadFni(picture, path, true);
    DrawFni(*display.backBuffer, picture, 0, 0, nullptr);
    FreeFni(picture);
}

}  // namespace present
