#pragma once
// A play screen's surfaces without a window and a fixed view of the local player's turn in a
// four-player match, shared by the HUD tests and benchmarks.

#include <cstring>

#include "game/present/display.h"
#include "game/present/draw_primitives.h"
#include "game/screens/hud_view.h"
#include "platform/draw_surface.h"

namespace hud_sample {

// The back buffer, the scene copy (sky, hills and fairway bands standing for a rendered view) and
// the map panel as memory surfaces.
inline bool MakeSurfaces(present::Display& display) {
    display.backBuffer = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    display.sceneCopySurface = platform::CreateDrawSurface(800, 600, platform::kRgb565);
    display.mapPanelSurface = platform::CreateDrawSurface(160, 300, platform::kRgb565);
    if (display.backBuffer == nullptr || display.sceneCopySurface == nullptr ||
        display.mapPanelSurface == nullptr) {
        return false;
    }
    platform::SetSourceColorKey(*display.mapPanelSurface, 0);
    for (int band = 0; band < 20; ++band) {
        const uint32_t colour = band < 8 ? 0x6090D0 + band * 0x040404 : 0x208020 + (band - 8) * 0x020602;
        present::FillRect(*display.sceneCopySurface, {0, band * 30, 800, band * 30 + 30}, colour);
    }
    present::FillRect(*display.mapPanelSurface, {10, 10, 150, 290}, 0x30A040);
    return true;
}

inline void ReleaseSurfaces(present::Display& display) {
    platform::ReleaseDrawSurface(display.backBuffer);
    platform::ReleaseDrawSurface(display.sceneCopySurface);
    platform::ReleaseDrawSurface(display.mapPanelSurface);
    display.backBuffer = display.sceneCopySurface = display.mapPanelSurface = nullptr;
}

// A fixed view of the local player's turn: four players, wind, a target in the view.
inline screens::HudView SampleView() {
    screens::HudView view;
    view.localTurn = true;
    view.turnActive = true;
    view.club = 5;
    view.lieClass = 1;
    view.lieNameText = "Fairway";
    view.biteOffered = false;
    view.powerShotShown = true;
    view.powerShotAllowance = 3;
    view.windDirection = 0.5f;
    view.windSpeed = 1.8f;
    view.playerCount = 4;
    const char* names[4] = {"Ann", "Bob", "Cho", "Dee"};
    for (int slot = 0; slot < 4; ++slot) {
        screens::HudPlayerBar& bar = view.players[slot];
        bar.present = true;
        std::strncpy(bar.name, names[slot], sizeof bar.name - 1);
        bar.colourIndex = slot;
        bar.level = 3 * slot;
        bar.strokes = 2;
        bar.scoreToPar = slot - 1;
        bar.ready = slot != 3;
        bar.balance = 1000 + 10 * slot;
        bar.character = slot;
        bar.gender = slot % 2 == 1;
        bar.mapX = 700 + 6 * slot;
        bar.mapY = 250 - 5 * slot;
    }
    view.courseName = "Test Links";
    view.holeName = "Hole 3";
    view.par = 4;
    view.strokeNumber = 2;
    view.distanceToHole = 143.0f;
    view.targetProjected = true;
    view.targetScreenX = 420;
    view.targetScreenY = 300;
    view.targetDepth = 40.0f;
    view.targetDistance = 140.0f;
    view.mapTargetX = 710;
    view.mapTargetY = 90;
    view.mapPinX = 705;
    view.mapPinY = 60;
    view.showSlopes = true;
    view.slopeAcross = 5;
    view.slopeAlong = -3;
    view.slopeTitles[0] = "Across";
    view.slopeTitles[1] = "Along";
    view.chat[14] = {"Ann: nice shot!", 0xFFFFFF};
    view.nowMs = 5000;
    return view;
}

}  // namespace hud_sample
