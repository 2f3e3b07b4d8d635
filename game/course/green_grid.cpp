// The slope grid over the green: 17 x 17 points a yard apart, starting at the ball and running
// towards the aim, each coloured by its height against the ball. The lines lie on the ground and
// pass behind whatever stands nearer the viewer (the flagstick, its cup, an object, a rise of the
// green) rather than being painted over it.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "game/course/scene_renderer.h"
#include "game/present/draw_primitives.h"

namespace course {

namespace {

constexpr int kGridSize = 17;
// A line's pixel shows unless the drawn surface there is this much nearer the eye than the line.
constexpr float kDepthTolerance = 0.15f;

struct GridPoint {
    bool shown = false;
    Vec3 world;
    int pixel[2] = {};
    int level = 0;
};

struct GridCanvas {
    platform::DrawSurface& surface;
    const platform::Device3D& device;
    const HoleState& hole;
    Vec3 eye;
};

int HeightLevel(float y, float ballY) {
    const int level = static_cast<int>((y - ballY) * 20.0f) + 5;
    return level < 0 ? 0 : (level > 10 ? 10 : level);
}

// Whether the ground point p is the nearest thing drawn at its pixel.
bool InFront(const GridCanvas& canvas, Vec3 p, int pixel[2]) {
    if (!ProjectToScreen(canvas.device, p, nullptr, pixel, nullptr)) {
        return false;
    }
    Vec3 drawn;
    if (!ScreenToWorldByDepth(canvas.device, pixel[0], pixel[1], drawn)) {
        return true;
    }
    return platform::Length(drawn - canvas.eye) >= platform::Length(p - canvas.eye) - kDepthTolerance;
}

// The line from one grid point to the next, pixel by pixel along the ground between them, in the
// colour of its end point; the end point itself is left to the next line, as a drawn line does.
void Line(const GridCanvas& canvas, const GridPoint& from, const GridPoint& to, const uint32_t colors[11]) {
    if (!from.shown || !to.shown) {
        return;
    }
    const int steps = std::max(std::abs(to.pixel[0] - from.pixel[0]), std::abs(to.pixel[1] - from.pixel[1]));
    for (int k = 0; k < steps; ++k) {
        const float t = static_cast<float>(k) / static_cast<float>(steps);
        Vec3 p = from.world + (to.world - from.world) * t;
        SeatOnTerrain(canvas.hole.grid, p);
        int pixel[2] = {};
        if (InFront(canvas, p, pixel)) {
            present::DrawLine(canvas.surface, pixel[0], pixel[1], pixel[0] + 1, pixel[1], colors[to.level]);
        }
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
            point.world = p;
            point.level = HeightLevel(p.y, c.y);
        }
    }
    ViewState eyeView = view;
    const GridCanvas canvas{*display.backBuffer, *display.device, hole, MainCameraEye(eyeView)};
    for (int r = 0; r < kGridSize; ++r) {
        for (int col = 1; col < kGridSize; ++col) {
            Line(canvas, points[r][col - 1], points[r][col], colors);
        }
    }
    for (int col = 0; col < kGridSize; ++col) {
        for (int r = 1; r < kGridSize; ++r) {
            Line(canvas, points[r - 1][col], points[r][col], colors);
        }
    }
}

}  // namespace course
