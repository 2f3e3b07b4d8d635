#include "tools/toolkit/course/hole_preview.h"

#include "game/core/surface_kind.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tools {
namespace {

struct Colour {
    uint8_t r, g, b;
};

// TEE, FWY, GRE, ROU, BNK, WAY, WTR, OOB, OGR
constexpr Colour kKindColours[9] = {{120, 200, 90}, {95, 170, 60},   {140, 225, 110},
                                    {45, 100, 35},  {230, 210, 150}, {170, 160, 145},
                                    {50, 100, 170}, {90, 80, 60},    {110, 190, 150}};

struct Canvas {
    RgbaImage image;
    float minX = 0;
    float maxZ = 0;

    bool Pixel(float x, float z, int& px, int& py) const {
        px = static_cast<int>(std::floor(x - minX));
        py = static_cast<int>(std::floor(maxZ - z));
        return px >= 0 && py >= 0 && px < image.width && py < image.height;
    }
    void Put(int px, int py, Colour c) {
        if (px < 0 || py < 0 || px >= image.width || py >= image.height) {
            return;
        }
        uint8_t* p = &image.rgba[(static_cast<size_t>(py) * image.width + px) * 4];
        p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = 255;
    }
    void Disc(float x, float z, float radius, Colour c) {
        int cx = 0, cy = 0;
        Pixel(x, z, cx, cy);
        const int r = std::max(1, static_cast<int>(std::lround(radius)));
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                if (dx * dx + dy * dy <= r * r) {
                    Put(cx + dx, cy + dy, c);
                }
            }
        }
    }
};

void FillTriangle(Canvas& canvas, const core::FnxVertex& a, const core::FnxVertex& b,
                  const core::FnxVertex& c, Colour colour) {
    const float ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
    const float vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
    float nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length <= 0) {
        return;
    }
    nx /= length, ny /= length, nz /= length;
    // Light from the upper left of the picture, strongly exaggerated so that gentle slopes show.
    const float shade = std::clamp(0.75f + 6.0f * (-0.5f * nx + 0.5f * nz), 0.35f, 1.3f);
    const Colour shaded{static_cast<uint8_t>(std::min(255.0f, colour.r * shade)),
                        static_cast<uint8_t>(std::min(255.0f, colour.g * shade)),
                        static_cast<uint8_t>(std::min(255.0f, colour.b * shade))};
    const float minX = std::min({a.x, b.x, c.x}), maxX = std::max({a.x, b.x, c.x});
    const float minZ = std::min({a.z, b.z, c.z}), maxZ = std::max({a.z, b.z, c.z});
    const float area = (b.x - a.x) * (c.z - a.z) - (c.x - a.x) * (b.z - a.z);
    for (float z = std::floor(minZ) + 0.5f; z <= maxZ; z += 1) {
        for (float x = std::floor(minX) + 0.5f; x <= maxX; x += 1) {
            const float w0 = ((b.x - x) * (c.z - z) - (c.x - x) * (b.z - z)) / area;
            const float w1 = ((c.x - x) * (a.z - z) - (a.x - x) * (c.z - z)) / area;
            const float w2 = 1 - w0 - w1;
            if (w0 < -1e-4f || w1 < -1e-4f || w2 < -1e-4f) {
                continue;
            }
            int px = 0, py = 0;
            if (canvas.Pixel(x, z, px, py)) {
                canvas.Put(px, py, shaded);
            }
        }
    }
}

void Cross(Canvas& canvas, float x, float z, Colour c) {
    int px = 0, py = 0;
    canvas.Pixel(x, z, px, py);
    for (int d = -4; d <= 4; ++d) {
        canvas.Put(px + d, py, c);
        canvas.Put(px, py + d, c);
    }
}

}  // namespace

RgbaImage DrawHolePreview(const core::FnxModel& model, const shell::HoleSettings& settings) {
    float minX = 1e9f, maxX = -1e9f, minZ = 1e9f, maxZ = -1e9f;
    for (const core::FnxGroup& g : model.groups) {
        for (const core::FnxVertex& v : g.vertices) {
            minX = std::min(minX, v.x), maxX = std::max(maxX, v.x);
            minZ = std::min(minZ, v.z), maxZ = std::max(maxZ, v.z);
        }
    }
    Canvas canvas;
    canvas.minX = std::floor(minX);
    canvas.maxZ = std::ceil(maxZ);
    canvas.image = MakeRgbaImage(static_cast<int>(std::ceil(maxX) - canvas.minX) + 1,
                                 static_cast<int>(canvas.maxZ - std::floor(minZ)) + 1);
    for (const core::FnxGroup& g : model.groups) {
        const int kind = core::SurfaceKindOfName(g.name);
        if (kind < 0) {
            continue;
        }
        for (size_t t = 0; t + 2 < g.indices.size(); t += 3) {
            FillTriangle(canvas, g.vertices[g.indices[t]], g.vertices[g.indices[t + 1]],
                         g.vertices[g.indices[t + 2]], kKindColours[kind]);
        }
    }
    for (const core::FnxGroup& g : model.groups) {
        const bool tree = std::strncmp(g.name, "RST", 3) == 0;
        const bool fixed = std::strncmp(g.name, "SST", 3) == 0;
        if (!tree && !fixed) {
            continue;
        }
        if (tree) {
            const float width = std::fabs(g.vertices[1].x - g.vertices[0].x);
            canvas.Disc((g.vertices[0].x + g.vertices[1].x) / 2, g.vertices[0].z, width / 2, {20, 55, 20});
            continue;
        }
        for (size_t v = 0; v < g.vertices.size(); v += 20) {
            canvas.Disc(g.vertices[v].x, g.vertices[v].z, 1, {250, 250, 250});
        }
    }
    Cross(canvas, settings.tee[0], settings.tee[1], {255, 255, 255});
    Cross(canvas, settings.defaultAim[0], settings.defaultAim[1], {255, 230, 0});
    canvas.Disc(settings.pin[0], settings.pin[1], 2, {230, 30, 30});
    return canvas.image;
}

}  // namespace tools
