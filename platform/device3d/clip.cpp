// Clipping of triangles in homogeneous clip space. The near plane (z = 0) and the far plane (z = w)
// are exact; the sides use a guard band so that only triangles reaching far outside the view are
// cut, the rasteriser trims the rest to the viewport.

#include "platform/device3d/pipeline.h"

namespace platform::device_detail {

namespace {

constexpr int kPlaneCount = 7;

float PlaneDistance(int plane, const ClipVertex& v) {
    switch (plane) {
        case 0:
            return v.z;
        case 1:
            return v.w - v.z;
        case 2:
            return v.x + kGuardBand * v.w;
        case 3:
            return kGuardBand * v.w - v.x;
        case 4:
            return v.y + kGuardBand * v.w;
        case 5:
            return kGuardBand * v.w - v.y;
        default:
            return v.w - kMinClipW;
    }
}

float Mix(float a, float b, float t) {
    return a + (b - a) * t;
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    return {Mix(a.x, b.x, t),   Mix(a.y, b.y, t),   Mix(a.z, b.z, t),   Mix(a.w, b.w, t),
            Mix(a.r, b.r, t),   Mix(a.g, b.g, t),   Mix(a.b, b.b, t),   Mix(a.a, b.a, t),
            Mix(a.sr, b.sr, t), Mix(a.sg, b.sg, t), Mix(a.sb, b.sb, t), Mix(a.fog, b.fog, t),
            Mix(a.u, b.u, t),   Mix(a.v, b.v, t)};
}

// Keeps the part of the polygon on the inside of one plane.
int ClipAgainst(int plane, const ClipVertex* in, int count, ClipVertex* out) {
    int n = 0;
    for (int i = 0; i < count; ++i) {
        const ClipVertex& cur = in[i];
        const ClipVertex& next = in[(i + 1) % count];
        const float dc = PlaneDistance(plane, cur);
        const float dn = PlaneDistance(plane, next);
        if (dc >= 0.0f) {
            out[n++] = cur;
        }
        if ((dc >= 0.0f) != (dn >= 0.0f) && n < kMaxClipVertices) {
            out[n++] = Lerp(cur, next, dc / (dc - dn));
        }
    }
    return n;
}

}  // namespace

int ClipPolygon(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, uint32_t codes,
                ClipVertex* out) {
    ClipVertex buffers[2][kMaxClipVertices];
    buffers[0][0] = a;
    buffers[0][1] = b;
    buffers[0][2] = c;
    int count = 3;
    int current = 0;
    for (int plane = 0; plane < kPlaneCount && count > 0; ++plane) {
        if ((codes & (1u << plane)) == 0) {
            continue;
        }
        count = ClipAgainst(plane, buffers[current], count, buffers[1 - current]);
        current = 1 - current;
    }
    for (int i = 0; i < count; ++i) {
        out[i] = buffers[current][i];
    }
    return count;
}

}  // namespace platform::device_detail
