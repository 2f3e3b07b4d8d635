#pragma once
// From clip space to the pixels of the render target: the viewport mapping of a vertex.

#include "platform/device3d.h"
#include "platform/device3d/pipeline.h"
#include "platform/device3d/raster.h"

namespace platform::device_detail {

struct Projector {
    float x, y, halfWidth, halfHeight, minZ, depthRange;

    explicit Projector(const DeviceViewport& vp)
        : x(static_cast<float>(vp.x)),
          y(static_cast<float>(vp.y)),
          halfWidth(static_cast<float>(vp.width) * 0.5f),
          halfHeight(static_cast<float>(vp.height) * 0.5f),
          minZ(vp.minZ),
          depthRange(vp.maxZ - vp.minZ) {}

    // The position on screen (snapped) of a vertex that crosses no clip plane; it alone decides
    // whether a triangle may be seen. (The vertex stage does the same four vertices at a time.)
    void Position(const ClipVertex& c, ScreenVertex& v) const {
        const float rhw = 1.0f / c.w;
        v.sx = x + (1.0f + c.x * rhw) * halfWidth;
        v.sy = y + (1.0f - c.y * rhw) * halfHeight;
        v.sz = minZ + c.z * rhw * depthRange;
        v.rhw = rhw;
        SnapToGrid(v);
    }

    // The rest of the screen vertex, once the vertex is shaded.
    static void Shading(const ClipVertex& c, ScreenVertex& v) {
        v.r = c.r * 255.0f;
        v.g = c.g * 255.0f;
        v.b = c.b * 255.0f;
        v.a = c.a * 255.0f;
        v.sr = c.sr * 255.0f;
        v.sg = c.sg * 255.0f;
        v.sb = c.sb * 255.0f;
        v.fog = c.fog;
        v.u = c.u;
        v.v = c.v;
    }

    ScreenVertex operator()(const ClipVertex& c) const {
        ScreenVertex v{};
        Position(c, v);
        Shading(c, v);
        return v;
    }
};

}  // namespace platform::device_detail
