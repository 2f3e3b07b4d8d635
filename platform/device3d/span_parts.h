#pragma once
// Pieces shared by the scalar span shaders and the SSE2 ones, so that both give the same pixels:
// the fixed-point steppers of colours, fog and depth, the perspective runs of texture coordinates,
// and the state the vectorised shaders cover.

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/device3d/pipeline.h"
#include "platform/device3d/span.h"

namespace platform::device_detail {

// A value stepped per pixel in 16.16 fixed point. Unsigned arithmetic keeps the (unused) step past
// the span's end well defined whatever the gradient.
struct Stepper {
    uint32_t value;
    uint32_t step;

    [[gnu::always_inline]] static uint32_t ToFixed(float v) {
        const float clamped = v > 16384.0f ? 16384.0f : (v < -16384.0f ? -16384.0f : (v == v ? v : 0.0f));
        return static_cast<uint32_t>(static_cast<int32_t>(clamped * 65536.0f));
    }
    // Starts half a unit up, so that Get rounds to the nearest whole value.
    [[gnu::always_inline]] Stepper(float start, float delta)
        : value(ToFixed(start) + 0x8000u), step(ToFixed(delta)) {}
    // A stepper read once, whose whole part is Stepper(start, 0).Get(max) without the clamp: start is
    // limited to 0 .. max + 1/4 (not-a-number to 0), which rounds to the same whole values within
    // 0 .. max and to max above, and spares ToFixed's limits.
    [[gnu::always_inline]] static Stepper ReadOnce(float start, int max) {
        const float limited = std::min(std::max(0.0f, start), static_cast<float>(max) + 0.25f);
        Stepper once(0.0f, 0.0f);
        once.value = static_cast<uint32_t>(static_cast<int32_t>(limited * 65536.0f)) + 0x8000u;
        return once;
    }
    void Next() { value += step; }
    // The whole part, clamped to 0 .. max unless the caller knows it lies there (kClamp false).
    template <bool kClamp = true>
    int Get(int max) const {
        const int whole = static_cast<int32_t>(value) >> 16;
        if constexpr (!kClamp) {
            return whole;
        }
        return whole < 0 ? 0 : (whole > max ? max : whole);
    }
    // Whether the whole part stays within 0 .. max over the next count values: both ends inside and
    // no wrap of the 32-bit value in between.
    bool StaysWithin(int count, int max) const {
        const int64_t first = static_cast<int32_t>(value);
        const int64_t last = first + int64_t{static_cast<int32_t>(step)} * (count - 1);
        const int64_t top = int64_t{max} << 16 | 0xFFFF;
        return first >= 0 && first <= top && last >= 0 && last <= top;
    }
};

// Depth (0..1) stepped per pixel as the 16-bit depth value with kFraction bits below it, rounded to
// the nearest value and clamped to 0..0xFFFF when read. 64 bits, so that no gradient overflows; the
// vector shaders step the same values in 32-bit lanes where a span's values fit (FitsLanes).
struct DepthRamp {
    static constexpr int kFraction = 14;
    static constexpr double kScale = 65535.0 * (1 << kFraction);
    static constexpr int64_t kLimit = int64_t{1} << 40;

    int64_t value;
    int64_t step;

    // floor(v * kScale + offset), limited to +-kLimit; not-a-number gives 0.
    [[gnu::always_inline]] static int64_t ToFixed(double v, double offset) {
        const double exact = v * kScale + offset;
        if (!(exact > -static_cast<double>(kLimit))) {
            return exact == exact ? -kLimit : 0;
        }
        if (!(exact < static_cast<double>(kLimit))) {
            return kLimit;
        }
        const auto whole = static_cast<int64_t>(exact);  // towards zero
        return static_cast<double>(whole) > exact ? whole - 1 : whole;
    }
    [[gnu::always_inline]] DepthRamp(float z, float dz)
        : value(ToFixed(z, 1 << (kFraction - 1))), step(ToFixed(dz, 0.0)) {}
    // A ramp that is only read at its first value.
    [[gnu::always_inline]] explicit DepthRamp(float z) : value(ToFixed(z, 1 << (kFraction - 1))), step(0) {}
    // The ramp from z whose step, DepthRamp(z, dz).step, is known already.
    static DepthRamp WithStep(float z, int64_t step) {
        DepthRamp ramp(z);
        ramp.step = step;
        return ramp;
    }

    void Next() { value += step; }
    static uint16_t Quantize(int64_t fixed) {
        const int64_t whole = fixed >> kFraction;
        return static_cast<uint16_t>(whole < 0 ? 0 : (whole > 0xFFFF ? 0xFFFF : whole));
    }
    uint16_t Get() const { return Quantize(value); }
    // Whether the next count values fit in 32 bits.
    bool FitsLanes(int count) const {
        const int64_t last = value + step * (count - 1);
        return value >= INT32_MIN && value <= INT32_MAX && last >= INT32_MIN && last <= INT32_MAX;
    }
};

// Texture coordinates are exact every this many pixels and linear in between.
inline constexpr int kPerspectiveRun = 8;

// The perspective-correct ends of the runs of a span: one division by w per run. A shader may skip
// runs; the coordinates where a run begins are the same whether the run before was begun or not.
class PerspectiveRuns {
  public:
    PerspectiveRuns(const SpanStart& st, bool bilinear) : st_(st), offset_(bilinear ? 0.5f : 0.0f) {}

    // Sets the walk up for the run of n pixels that begins done pixels into the span.
    [[gnu::always_inline]] void Begin(const Sampler& sampler, int done, int n, TexelWalk& walk) {
        float u0 = uEnd_, v0 = vEnd_;
        if (done != end_) {
            At(done, u0, v0);
        }
        end_ = done + n;
        At(end_, uEnd_, vEnd_);
        walk.Restart(sampler, offset_, u0, v0, uEnd_, vEnd_, n);
    }

    // Sets the walk up for a span of one pixel: no step, so nothing past the pixel is worked out.
    [[gnu::always_inline]] void BeginOne(const Sampler& sampler, TexelWalk& walk) {
#if defined(__SSE2__)
        // At(0) for both coordinates in one division.
        walk.StartAt(sampler, offset_,
                     _mm_div_ps(_mm_setr_ps(st_.uq, st_.vq, 0.0f, 0.0f), _mm_set1_ps(st_.q)));
#else
        float u0, v0;
        At(0, u0, v0);
        walk.StartAt(sampler, offset_, u0, v0);
#endif
    }

  private:
    [[gnu::always_inline]] void At(int pixel, float& u, float& v) const {
        if (pixel == 0) {
            u = st_.uq / st_.q;
            v = st_.vq / st_.q;
            return;
        }
        const auto to = static_cast<float>(pixel);
        const float w = 1.0f / (st_.q + st_.dq * to);
        u = (st_.uq + st_.duq * to) * w;
        v = (st_.vq + st_.dvq * to) * w;
    }

    const SpanStart& st_;
    float offset_;
    int end_ = -1;
    float uEnd_ = 0.0f, vEnd_ = 0.0f;
};

// Modulation of two 0..255 channels, as the texture stage does it.
inline int Modulate(int a, int b) {
    return (a * (b + 1)) >> 8;
}

// Source-alpha blending, the one the game uses, without the general factor table.
inline int BlendSourceAlpha(int src, int alpha, int dest) {
    const int v = src * alpha + dest * (255 - alpha) + 128;
    return (v + (v >> 8)) >> 8;
}

// A 16-bit 565 target with depth, tested less-or-equal; the texture times the diffuse colour, the
// texture's alpha (when blending, source alpha over the target); no specular. Every textured
// triangle of a hole is drawn this way.
bool IsCommonState(const RasterTarget& target, const PixelState& state);

// The row shaders eight pixels at a time, for textured triangles in the common state; they give the
// same pixels as the scalar ones.
RowShader ChooseVectorRowShader(const RasterTarget& target, const PixelState& state, bool bilinear);

}  // namespace platform::device_detail
