// The slope grid over the green: 17 x 17 points a yard apart, starting at the ball and running
// towards the aim, each coloured by its height against the ball.
#include <cmath>

#include "game/course/scene_renderer.h"
#include "game/present/draw_primitives.h"

namespace course {

namespace {

constexpr int kGridSize = 17;

struct GridPoint {
    bool shown = false;
    int pixel[2] = {};
    int level = 0;
};

int HeightLevel(float y, float ballY) {
    const int level = static_cast<int>((y - ballY) * 20.0f) + 5;
    return level < 0 ? 0 : (level > 10 ? 10 : level);
}

void Line(platform::DrawSurface& surface, const GridPoint& from, const GridPoint& to,
          const uint32_t colors[11]) {
    if (from.shown && to.shown) {
        present::DrawLine(surface, from.pixel[0], from.pixel[1], to.pixel[0], to.pixel[1], colors[to.level]);
    }
}

}  // namespace

void DrawGreenGrid(present::Display& display, const HoleState& hole, const ViewState& view,
                   const SceneInputs& inputs) {
    if (display.device == nullptr || display.backBuffer == nullptr || !hole.prepared) {
        return;
    }
    uint32_t colors[11];
    GreenGridColors(colors);
    const Vec3 c = inputs.startPos;
    const float a =
        std::atan2(view.CameraAim.z - view.CameraAnchor.z, view.CameraAim.x - view.CameraAnchor.x);
    const float b = a + 3.1415927f / 2.0f;
    static_assert(kGridSize == 17);
    GridPoint points[kGridSize][kGridSize];
    for (int r = 0; r < kGridSize; ++r) {
        const float sx = c.x + static_cast<float>(r) * std::cos(a);
        const float sz = c.z + static_cast<float>(r) * std::sin(a);
        for (int col = 0; col < kGridSize; ++col) {
            const float offset = static_cast<float>(kGridSize / 2 - col);
            Vec3 p{sx + offset * std::cos(b), 0.0f, sz + offset * std::sin(b)};
            GridPoint& point = points[r][col];
            // Points with no ground under them or behind the viewer are left out with their lines.
            if (!SeatOnTerrain(hole.grid, p) ||
                !ProjectToScreen(*display.device, p, nullptr, point.pixel, nullptr)) {
                continue;
            }
            point.shown = true;
            point.level = HeightLevel(p.y, c.y);
        }
    }
    for (int r = 0; r < kGridSize; ++r) {
        for (int col = 1; col < kGridSize; ++col) {
            Line(*display.backBuffer, points[r][col - 1], points[r][col], colors);
        }
    }
    for (int col = 0; col < kGridSize; ++col) {
        for (int r = 1; r < kGridSize; ++r) {
            Line(*display.backBuffer, points[r - 1][col], points[r][col], colors);
        }
    }
}

}  // namespace course
