#pragma once
// The map panel as it was last drawn. The panel shows the terrain from above, framed from the tee to
// the pin (or over the pin on the green), so a new ball position or aim leaves its picture as it was:
// a view reset that changes none of these facts keeps the panel and its pin and tee positions
// instead of drawing the map again.

#include <cstdint>

#include "platform/vecmath.h"

namespace platform {
struct Device3D;
struct DrawSurface;
}  // namespace platform

namespace core {
struct FnxModel;
}  // namespace core

namespace course {

struct MapPanelFacts {
    const core::FnxModel* model = nullptr;
    int course = 0;
    int hole = 0;
    const platform::Device3D* device = nullptr;
    const platform::DrawSurface* backBuffer = nullptr;
    const platform::DrawSurface* panel = nullptr;
    uint32_t panelChange = 0;  // the panel's change count just after drawing: anything drawn into it
                               // since forces a new drawing
    platform::Vec3 tee;
    platform::Vec3 mapPin;  // the hole's pin point, which frames the map
    platform::Vec3 pin;     // the match's pin, whose position on the panel is kept
    bool onGreen = false;
};

struct MapPanelRecord {
    bool drawn = false;
    MapPanelFacts facts;
};

bool SameMapPanel(const MapPanelFacts& a, const MapPanelFacts& b);

}  // namespace course
