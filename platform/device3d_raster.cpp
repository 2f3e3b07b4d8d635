// Triangle rasterisation: exact coverage from integer edge functions on a 1/16-pixel grid with the
// top-left fill rule (pixel centres on integer coordinates), then per pixel: depth test,
// perspective-correct texturing, colour combination, alpha test, specular, fog, blending, ordered
// dithering into 16-bit targets, and the depth write.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "platform/device3d_pipeline.h"

namespace platform::device_detail {

namespace {

constexpr int kSubPixelBits = 4;
constexpr float kSubPixels = 16.0f;
// Vertices further out than this (in pixels) are refused; the guard band keeps real ones far inside.
constexpr float kMaxCoordinate = 1.0e6f;

// Quantisation of an 8-bit channel to 5 or 6 bits: rows 0-15 dithered by the 4 x 4 ordered matrix,
// row 16 plain truncation.
struct QuantTables {
    uint8_t to5[17][256];
    uint8_t to6[17][256];
};

constexpr QuantTables MakeQuantTables() {
    QuantTables t{};
    for (int d = 0; d <= 16; ++d) {
        for (int v = 0; v < 256; ++v) {
            if (d == 16) {
                t.to5[d][v] = static_cast<uint8_t>(v >> 3);
                t.to6[d][v] = static_cast<uint8_t>(v >> 2);
            } else {
                t.to5[d][v] = static_cast<uint8_t>((v * 31 * 32 + (2 * d + 1) * 255) / (255 * 32));
                t.to6[d][v] = static_cast<uint8_t>((v * 63 * 32 + (2 * d + 1) * 255) / (255 * 32));
            }
        }
    }
    return t;
}

constexpr QuantTables kQuant = MakeQuantTables();
constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

enum class TargetKind { k565, k555, k32, k24 };

TargetKind KindOf(const PixelFormat& f) {
    if (f.bitsPerPixel == 16) {
        return f.greenMask == 0x07E0 ? TargetKind::k565 : TargetKind::k555;
    }
    return f.bitsPerPixel == 32 ? TargetKind::k32 : TargetKind::k24;
}

bool Compare(uint32_t func, uint32_t value, uint32_t reference) {
    switch (func) {
        case kCmpNever:
            return false;
        case kCmpLess:
            return value < reference;
        case kCmpEqual:
            return value == reference;
        case kCmpLessEqual:
            return value <= reference;
        case kCmpGreater:
            return value > reference;
        case kCmpNotEqual:
            return value != reference;
        case kCmpGreaterEqual:
            return value >= reference;
        default:
            return true;
    }
}

struct Rgba {
    int r, g, b, a;
};

Rgba ReadTarget(TargetKind kind, const uint8_t* p) {
    switch (kind) {
        case TargetKind::k565: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            const int r = v >> 11, g = (v >> 5) & 63, b = v & 31;
            return {r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2, 255};
        }
        case TargetKind::k555: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            const int r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
            return {r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2, 255};
        }
        case TargetKind::k32:
            return {p[2], p[1], p[0], 255};
        default:
            return {p[2], p[1], p[0], 255};
    }
}

void WriteTarget(TargetKind kind, uint8_t* p, const Rgba& c, int ditherRow) {
    switch (kind) {
        case TargetKind::k565: {
            const auto v =
                static_cast<uint16_t>(kQuant.to5[ditherRow][c.r] << 11 | kQuant.to6[ditherRow][c.g] << 5 |
                                      kQuant.to5[ditherRow][c.b]);
            std::memcpy(p, &v, 2);
            break;
        }
        case TargetKind::k555: {
            const auto v =
                static_cast<uint16_t>(kQuant.to5[ditherRow][c.r] << 10 | kQuant.to5[ditherRow][c.g] << 5 |
                                      kQuant.to5[ditherRow][c.b]);
            std::memcpy(p, &v, 2);
            break;
        }
        case TargetKind::k32: {
            const uint32_t v = static_cast<uint32_t>(c.r) << 16 | static_cast<uint32_t>(c.g) << 8 |
                               static_cast<uint32_t>(c.b);
            std::memcpy(p, &v, 4);
            break;
        }
        case TargetKind::k24:
            p[0] = static_cast<uint8_t>(c.b);
            p[1] = static_cast<uint8_t>(c.g);
            p[2] = static_cast<uint8_t>(c.r);
            break;
    }
}

// Blend factor (0..255) of one channel.
int BlendFactor(uint32_t factor, int srcChannel, int srcAlpha, int destChannel) {
    switch (factor) {
        case kBlendZero:
            return 0;
        case kBlendSrcColor:
            return srcChannel;
        case kBlendInvSrcColor:
            return 255 - srcChannel;
        case kBlendSrcAlpha:
            return srcAlpha;
        case kBlendInvSrcAlpha:
            return 255 - srcAlpha;
        case kBlendInvDestAlpha:  // the target has no alpha: destination alpha is 1
            return 0;
        case kBlendDestColor:
            return destChannel;
        case kBlendInvDestColor:
            return 255 - destChannel;
        default:  // one, destination alpha
            return 255;
    }
}

int BlendChannel(const PixelState& s, int src, int srcAlpha, int dest) {
    const int v = src * BlendFactor(s.srcBlend, src, srcAlpha, dest) +
                  dest * BlendFactor(s.destBlend, src, srcAlpha, dest);
    return std::min(255, (v + 127) / 255);
}

int ToByte(float v) {
    if (!(v > 0.0f)) {
        return 0;
    }
    return v >= 254.5f ? 255 : static_cast<int>(v + 0.5f);
}

int Modulate(int a, int b) {
    return (a * (b + 1)) >> 8;
}

int Pick(ColorSource source, int diffuse, int texel) {
    switch (source) {
        case ColorSource::kTexture:
            return texel;
        case ColorSource::kModulate:
            return Modulate(texel, diffuse);
        case ColorSource::kWhite:
            return 255;
        default:
            return diffuse;
    }
}

// The attributes interpolated across a triangle, in the order of the arrays below.
enum Attr { kZ, kRhw, kUq, kVq, kR, kG, kB, kA, kFog, kSr, kSg, kSb, kAttrCount };

struct Plane {
    float dx, dy;
};

struct EdgeFunction {
    int64_t a, b, c;  // E(px, py) = a px + b py + c in 1/16 pixels; covered where E >= threshold
    int64_t threshold;
};

int64_t FloorDiv(int64_t n, int64_t d) {  // d > 0
    const int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

EdgeFunction MakeEdge(int64_t px, int64_t py, int64_t qx, int64_t qy) {
    EdgeFunction e;
    e.a = -(qy - py);
    e.b = qx - px;
    e.c = (qy - py) * px - (qx - px) * py;
    const bool topLeft = e.a > 0 || (e.a == 0 && e.b > 0);
    e.threshold = topLeft ? 0 : 1;
    return e;
}

// Narrows [left, right] to the pixels of row y inside one edge.
void CutSpan(const EdgeFunction& e, int y, int& left, int& right) {
    const int64_t k = e.b * (int64_t{y} << kSubPixelBits) + e.c;
    const int64_t a16 = e.a << kSubPixelBits;
    if (e.a > 0) {
        left = static_cast<int>(std::max<int64_t>(left, -FloorDiv(k - e.threshold, a16)));
    } else if (e.a < 0) {
        right = static_cast<int>(std::min<int64_t>(right, FloorDiv(k - e.threshold, -a16)));
    } else if (k < e.threshold) {
        right = left - 1;
    }
}

struct Triangle {
    float x0, y0;  // snapped position of the first vertex, pixels
    float base[kAttrCount];
    Plane plane[kAttrCount];
    int attrCount;
};

void Gather(const ScreenVertex& v, float* out) {
    out[kZ] = v.sz;
    out[kRhw] = v.rhw;
    out[kUq] = v.u * v.rhw;
    out[kVq] = v.v * v.rhw;
    out[kR] = v.r;
    out[kG] = v.g;
    out[kB] = v.b;
    out[kA] = v.a;
    out[kFog] = v.fog * 256.0f;
    out[kSr] = v.sr;
    out[kSg] = v.sg;
    out[kSb] = v.sb;
}

bool UseBilinear(const PixelState& s, const ScreenVertex* v, float screenArea2) {
    if (s.bilinearMag == s.bilinearMin) {
        return s.bilinearMag;
    }
    const float du1 = v[1].u - v[0].u, dv1 = v[1].v - v[0].v;
    const float du2 = v[2].u - v[0].u, dv2 = v[2].v - v[0].v;
    const float texelArea2 = std::fabs(du1 * dv2 - du2 * dv1) * static_cast<float>(s.sampler.width) *
                             static_cast<float>(s.sampler.height);
    return texelArea2 > screenArea2 ? s.bilinearMin : s.bilinearMag;
}

struct SpanContext {
    const RasterTarget* target;
    const PixelState* state;
    TargetKind kind;
    int bytesPerPixel;
    bool bilinear;
};

void ShadePixel(const SpanContext& ctx, const float* at, int x, int y, uint8_t* colorPixel,
                uint16_t* depthPixel) {
    const PixelState& s = *ctx.state;
    const uint16_t zq = QuantizeDepth(at[kZ]);
    if (s.zTest && depthPixel != nullptr && !Compare(s.zFunc, zq, *depthPixel)) {
        return;
    }
    uint32_t texel = 0xFFFFFFFFu;
    if (s.textured) {
        const float w = 1.0f / at[kRhw];
        const float u = at[kUq] * w, v = at[kVq] * w;
        texel = ctx.bilinear ? SampleBilinear(s.sampler, u, v) : SamplePoint(s.sampler, u, v);
    }
    const int dr = ToByte(at[kR]), dg = ToByte(at[kG]), db = ToByte(at[kB]), da = ToByte(at[kA]);
    Rgba c{Pick(s.colorSource, dr, static_cast<int>((texel >> 16) & 0xFF)),
           Pick(s.colorSource, dg, static_cast<int>((texel >> 8) & 0xFF)),
           Pick(s.colorSource, db, static_cast<int>(texel & 0xFF)),
           Pick(s.alphaSource, da, static_cast<int>(texel >> 24))};
    if (s.alphaTest && !Compare(s.alphaFunc, static_cast<uint32_t>(c.a), s.alphaRef)) {
        return;
    }
    if (s.specular) {
        c.r = std::min(255, c.r + ToByte(at[kSr]));
        c.g = std::min(255, c.g + ToByte(at[kSg]));
        c.b = std::min(255, c.b + ToByte(at[kSb]));
    }
    if (s.fog) {
        const int f = at[kFog] >= 255.5f ? 256 : ToByte(at[kFog]);
        c.r = (c.r * f + s.fogColor[0] * (256 - f)) >> 8;
        c.g = (c.g * f + s.fogColor[1] * (256 - f)) >> 8;
        c.b = (c.b * f + s.fogColor[2] * (256 - f)) >> 8;
    }
    if (s.blend) {
        const Rgba d = ReadTarget(ctx.kind, colorPixel);
        c.r = BlendChannel(s, c.r, c.a, d.r);
        c.g = BlendChannel(s, c.g, c.a, d.g);
        c.b = BlendChannel(s, c.b, c.a, d.b);
    }
    WriteTarget(ctx.kind, colorPixel, c, s.dither ? kBayer[y & 3][x & 3] : 16);
    if (s.zWrite && depthPixel != nullptr) {
        *depthPixel = zq;
    }
}

void DrawSpan(const SpanContext& ctx, const Triangle& tri, int y, int left, int right) {
    const RasterTarget& t = *ctx.target;
    float at[kAttrCount];
    const float ox = static_cast<float>(left) - tri.x0;
    const float oy = static_cast<float>(y) - tri.y0;
    for (int i = 0; i < tri.attrCount; ++i) {
        at[i] = tri.base[i] + tri.plane[i].dx * ox + tri.plane[i].dy * oy;
    }
    uint8_t* colorRow = t.color + static_cast<std::ptrdiff_t>(y) * t.colorPitch;
    uint16_t* depthRow = t.depth != nullptr
                             ? reinterpret_cast<uint16_t*>(t.depth + static_cast<std::ptrdiff_t>(y) * t.depthPitch)
                             : nullptr;
    for (int x = left; x <= right; ++x) {
        ShadePixel(ctx, at, x, y, colorRow + x * ctx.bytesPerPixel,
                   depthRow != nullptr ? depthRow + x : nullptr);
        for (int i = 0; i < tri.attrCount; ++i) {
            at[i] += tri.plane[i].dx;
        }
    }
}

}  // namespace

uint16_t QuantizeDepth(float z) {
    if (!(z > 0.0f)) {
        return 0;
    }
    return z >= 1.0f ? 0xFFFF : static_cast<uint16_t>(z * 65535.0f + 0.5f);
}

uint32_t PackColor(const PixelFormat& format, uint32_t r, uint32_t g, uint32_t b) {
    uint8_t bytes[4] = {};
    WriteTarget(KindOf(format), bytes,
                Rgba{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b), 255}, 16);
    uint32_t v = 0;
    std::memcpy(&v, bytes, 4);
    return v;
}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const ScreenVertex& a,
                       const ScreenVertex& b, const ScreenVertex& c) {
    ScreenVertex v[3] = {a, b, c};
    int64_t sx[3], sy[3];
    for (int i = 0; i < 3; ++i) {
        if (!(std::fabs(v[i].sx) < kMaxCoordinate && std::fabs(v[i].sy) < kMaxCoordinate)) {
            return;
        }
        sx[i] = std::llround(v[i].sx * kSubPixels);
        sy[i] = std::llround(v[i].sy * kSubPixels);
    }
    int64_t area2 = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
    if (area2 == 0) {
        return;
    }
    if (area2 < 0) {
        std::swap(v[1], v[2]);
        std::swap(sx[1], sx[2]);
        std::swap(sy[1], sy[2]);
        area2 = -area2;
    }
    const EdgeFunction edges[3] = {MakeEdge(sx[0], sy[0], sx[1], sy[1]), MakeEdge(sx[1], sy[1], sx[2], sy[2]),
                                   MakeEdge(sx[2], sy[2], sx[0], sy[0])};

    const int64_t minY = std::min({sy[0], sy[1], sy[2]});
    const int64_t maxY = std::max({sy[0], sy[1], sy[2]});
    const int64_t minX = std::min({sx[0], sx[1], sx[2]});
    const int64_t maxX = std::max({sx[0], sx[1], sx[2]});
    const int top = static_cast<int>(std::max<int64_t>(target.top, -FloorDiv(-minY, 16)));
    const int bottom = static_cast<int>(std::min<int64_t>(target.bottom - 1, FloorDiv(maxY, 16)));
    const int left = static_cast<int>(std::max<int64_t>(target.left, -FloorDiv(-minX, 16)));
    const int right = static_cast<int>(std::min<int64_t>(target.right - 1, FloorDiv(maxX, 16)));
    if (top > bottom || left > right) {
        return;
    }

    Triangle tri;
    tri.attrCount = state.specular ? kAttrCount : kSr;
    float attrs[3][kAttrCount];
    for (int i = 0; i < 3; ++i) {
        Gather(v[i], attrs[i]);
    }
    // Attribute planes go through the exact vertex positions; only coverage uses the snapped grid.
    const float x0 = v[0].sx, y0 = v[0].sy;
    const float x1 = v[1].sx - x0, y1 = v[1].sy - y0;
    const float x2 = v[2].sx - x0, y2 = v[2].sy - y0;
    const float area = x1 * y2 - x2 * y1;
    if (area == 0.0f) {
        return;
    }
    tri.x0 = x0;
    tri.y0 = y0;
    for (int i = 0; i < tri.attrCount; ++i) {
        const float d1 = attrs[1][i] - attrs[0][i], d2 = attrs[2][i] - attrs[0][i];
        tri.base[i] = attrs[0][i];
        tri.plane[i] = {(d1 * y2 - d2 * y1) / area, (d2 * x1 - d1 * x2) / area};
    }

    SpanContext ctx{&target, &state, KindOf(target.format), target.format.bitsPerPixel / 8,
                    state.textured && UseBilinear(state, v, static_cast<float>(area2) / 256.0f)};
    for (int y = top; y <= bottom; ++y) {
        int spanLeft = left, spanRight = right;
        for (const EdgeFunction& e : edges) {
            CutSpan(e, y, spanLeft, spanRight);
        }
        if (spanLeft <= spanRight) {
            DrawSpan(ctx, tri, y, spanLeft, spanRight);
        }
    }
}

}  // namespace platform::device_detail
