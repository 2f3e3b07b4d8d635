#pragma once
// Per-pixel operations of the software 3D device shared by the span shaders and Clear: comparison
// functions, reading and writing target pixels (with ordered dithering into 16-bit targets),
// blending and depth quantisation.

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/device3d/pipeline.h"

namespace platform::device_detail {

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

inline constexpr QuantTables kQuant = MakeQuantTables();
inline constexpr uint8_t kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

enum class TargetKind { k565, k555, k32, k24 };

inline TargetKind KindOf(const PixelFormat& f) {
    if (f.bitsPerPixel == 16) {
        return f.greenMask == 0x07E0 ? TargetKind::k565 : TargetKind::k555;
    }
    return f.bitsPerPixel == 32 ? TargetKind::k32 : TargetKind::k24;
}

inline bool Compare(uint32_t func, uint32_t value, uint32_t reference) {
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

inline Rgba ReadTarget(TargetKind kind, const uint8_t* p) {
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

inline void WriteTarget(TargetKind kind, uint8_t* p, const Rgba& c, int ditherRow) {
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
inline int BlendFactor(uint32_t factor, int srcChannel, int srcAlpha, int destChannel) {
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

inline int BlendChannel(const PixelState& s, int src, int srcAlpha, int dest) {
    const int v = src * BlendFactor(s.srcBlend, src, srcAlpha, dest) +
                  dest * BlendFactor(s.destBlend, src, srcAlpha, dest);
    return std::min(255, (v + 127) / 255);
}

// Depth 0..1 as stored in the 16-bit depth surface (0xFFFF far).
inline uint16_t QuantizeDepth(float z) {
    if (!(z > 0.0f)) {
        return 0;
    }
    return z >= 1.0f ? 0xFFFF : static_cast<uint16_t>(z * 65535.0f + 0.5f);
}

// A colour as a pixel value of the format, without dithering.
inline uint32_t PackColor(const PixelFormat& format, uint32_t r, uint32_t g, uint32_t b) {
    uint8_t bytes[4] = {};
    WriteTarget(KindOf(format), bytes,
                Rgba{static_cast<int>(r), static_cast<int>(g), static_cast<int>(b), 255}, 16);
    uint32_t v = 0;
    std::memcpy(&v, bytes, 4);
    return v;
}

}  // namespace platform::device_detail
