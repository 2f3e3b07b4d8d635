// Triangle set-up and coverage: exact spans from integer edge functions on a 1/16-pixel grid with the
// top-left fill rule (pixel centres on integer coordinates), and the planes of the interpolated
// attributes; the span shaders do the per-pixel work.
//
// Coverage is found before any attribute is set up, so triangles that cover no pixel centre (most
// of the far terrain) cost little. Triangles a few pixels wide test every pixel centre of their box;
// larger ones walk their edges down the rows.

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/device3d/raster.h"
#include "platform/device3d/span_scalar.h"
#include "platform/device3d/texel_box.h"

namespace platform::device_detail {

namespace {

// Triangles whose box is at most this many sub-pixels across in both directions are handled in 32
// bits (see EdgeSet); larger ones, which only the guard band around a wide viewport allows, in 64.
constexpr int32_t kMaxExtent32 = 1 << 14;
// Triangles whose box cut to the target is at most this many columns wide have every pixel centre
// of the box tested instead of their edges walked.
constexpr int kMaxScannedColumns = 8;
// Triangles whose box holds at most this many pixel centres each way (most of a distant mesh) have
// them all tested at once.
constexpr int kMaxTinyPixels = 2;

// The attributes interpolated across a triangle, in the order of SpanStart.
enum Attr { kZ, kRhw, kUq, kVq, kR, kG, kB, kA, kFog, kSr, kSg, kSb, kAttrCount };
constexpr int kStartFloats = 2 * kAttrCount;
static_assert(sizeof(SpanStart) == kStartFloats * sizeof(float), "SpanStart is value, step pairs");

template <typename Int>
Int FloorDiv(Int n, Int d) {  // d > 0
    const Int q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

// The part of the fill rule that decides pixel centres exactly on an edge of a clockwise triangle
// (a, b as in EdgeSet): 0 where the edge is a top or left one, which keeps them, 1 where it is a
// bottom or right one, so that an edge shared by two triangles gives its pixels to exactly one.
template <typename Int>
Int EdgeThreshold(Int a, Int b) {
    // Without branches: edges come in every direction, so a branch here is mispredicted often.
    return static_cast<Int>(!((a > 0) | ((a == 0) & (b > 0))));
}

// The three edge functions of a clockwise triangle, relative to the pixel (originX, originY) at the
// top-left corner of its box: E(x, y) = a (16 x - px) + b (16 y - py) for pixel (originX + x,
// originY + y), where (px, py) is the edge's start relative to the origin in sub-pixels. A pixel
// centre is covered where every E - threshold >= 0 (see EdgeThreshold).
//
// Range: with the box at most X sub-pixels across (X = kMaxExtent32 for Int = int32_t), every
// |a|, |b|, px, py, 16 x, 16 y (inside the box) is at most X + 15, so |E| <= 2 (X + 15)^2 + 1 < 2^30
// for X = 2^14; the walkers below stay within the same bound.
template <typename Int>
struct EdgeSet {
    Int a[3], b[3], px[3], py[3], threshold[3];

    // From the snapped positions of the triangle's vertices (v, clockwise).
    EdgeSet(const ScreenVertex* const* v, int32_t originX, int32_t originY) {
        constexpr int kNext[3] = {1, 2, 0};
        for (int i = 0; i < 3; ++i) {
            const int j = kNext[i];
            a[i] = -(Int{v[j]->fy} - v[i]->fy);
            b[i] = Int{v[j]->fx} - v[i]->fx;
            px[i] = Int{v[i]->fx} - (Int{originX} << kSubPixelBits);
            py[i] = Int{v[i]->fy} - (Int{originY} << kSubPixelBits);
            threshold[i] = EdgeThreshold(a[i], b[i]);
        }
    }
    // E - threshold at the centre of pixel (x, y) relative to the origin.
    Int Value(int i, int x, int y) const {
        return a[i] * ((Int{x} << kSubPixelBits) - px[i]) + b[i] * ((Int{y} << kSubPixelBits) - py[i]) -
               threshold[i];
    }
};

// Coverage by testing every pixel centre of the row's part of the box; for boxes at most
// kMaxScannedColumns wide and kMaxExtent32 across.
class ScannedCoverage {
  public:
    ScannedCoverage(const EdgeSet<int32_t>& e, int originX, int originY, int left, int right, int top)
        : left_(left), columns_(right - left + 1) {
        for (int i = 0; i < 3; ++i) {
            row_[i] = e.Value(i, left - originX, top - originY);
            columnStep_[i] = e.a[i] << kSubPixelBits;
            rowStep_[i] = e.b[i] << kSubPixelBits;
        }
        SetColumnSteps();
    }
    // The covered pixels of the next row, [left, right] (empty when left > right).
    void NextRow(int& left, int& right) {
        const uint32_t covered = CoveredColumns();
        for (int i = 0; i < 3; ++i) {
            row_[i] += rowStep_[i];
        }
        // A row's covered pixels are one run: the triangle is convex.
        left = covered != 0 ? left_ + std::countr_zero(covered) : left_ + 1;
        right = covered != 0 ? left_ + 31 - std::countl_zero(covered) : left_;
    }

  private:
    int left_, columns_;
    int32_t row_[3], columnStep_[3], rowStep_[3];

#if defined(__SSE2__)
    __m128i columnOffsets_[3];  // x * columnStep for columns x = 0..3 (within the edge values' range)
    __m128i fourColumns_[3];    // 4 * columnStep

    void SetColumnSteps() {
        for (int i = 0; i < 3; ++i) {
            const __m128i step = _mm_set1_epi32(columnStep_[i]);
            const __m128i twice = _mm_add_epi32(step, step);
            columnOffsets_[i] = _mm_add_epi32(_mm_and_si128(twice, _mm_setr_epi32(0, 0, -1, -1)),
                                              _mm_and_si128(step, _mm_setr_epi32(0, -1, 0, -1)));
            fourColumns_[i] = _mm_add_epi32(twice, twice);
        }
    }

    // Bit x set where column x of the current row is covered: four columns at a time, the sign
    // bit of the or of the three edges set where any of them is negative.
    uint32_t CoveredColumns() const {
        static_assert(kMaxScannedColumns <= 8, "at most two groups of four columns");
        __m128i e[3];
        for (int i = 0; i < 3; ++i) {
            e[i] = _mm_add_epi32(_mm_set1_epi32(row_[i]), columnOffsets_[i]);
        }
        const auto negative = [&e] {
            return static_cast<uint32_t>(
                _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(_mm_or_si128(e[0], e[1]), e[2]))));
        };
        uint32_t outside = negative();
        if (columns_ > 4) {
            for (int i = 0; i < 3; ++i) {
                e[i] = _mm_add_epi32(e[i], fourColumns_[i]);
            }
            outside |= negative() << 4;
        }
        return ~outside & ((1u << columns_) - 1);
    }
#else
    void SetColumnSteps() {}

    // Bit x set where column x of the current row is covered.
    uint32_t CoveredColumns() const {
        int32_t e0 = row_[0], e1 = row_[1], e2 = row_[2];
        uint32_t covered = 0;
        for (int x = 0; x < columns_; ++x) {
            // The sign bit of the or is set when any of the three is negative.
            covered |= static_cast<uint32_t>((e0 | e1 | e2) >= 0) << x;
            e0 += columnStep_[0];
            e1 += columnStep_[1];
            e2 += columnStep_[2];
        }
        return covered;
    }
#endif
};

// A triangle on the snapped grid, turned clockwise.
struct SnappedTriangle {
    const ScreenVertex* v[3];
    int64_t area2;  // twice the snapped area, in 1/256 pixels

    // false when the snapped triangle has no area.
    bool Set(const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
        v[0] = &a;
        v[1] = &b;
        v[2] = &c;
        area2 =
            (int64_t{b.fx} - a.fx) * (int64_t{c.fy} - a.fy) - (int64_t{c.fx} - a.fx) * (int64_t{b.fy} - a.fy);
        if (area2 == 0) {
            return false;
        }
        if (area2 < 0) {
            std::swap(v[1], v[2]);
            area2 = -area2;
        }
        return true;
    }
};

#if defined(__SSE2__)
// Coverage of a box of at most kMaxTinyPixels pixel centres each way and kMaxExtent32 sub-pixels
// across, every pixel centre tested at once. With the vertices relative to the box's first pixel
// centre, (rx, ry), EdgeSet's E of the edge from vertex i to vertex j there is rx_i ry_j - rx_j ry_i,
// and its a, b are ry_i - ry_j, rx_j - rx_i. Every vertex and pixel centre lies within the box, so
// rx and ry fit 16 bits and the sums of two products 32 (EdgeSet's range): one multiply-add of
// 16-bit lanes gives the three edges.
class TinyCoverage {
  public:
    TinyCoverage(const SnappedTriangle& t, const TriangleBox& box) : left_(box.left), top_(box.top) {
        static_assert(kMaxTinyPixels == 2, "four pixels, two to a row");
        const __m128i origin = _mm_setr_epi32(box.left << kSubPixelBits, box.top << kSubPixelBits, 0, 0);
        static_assert(offsetof(ScreenVertex, fy) == offsetof(ScreenVertex, fx) + sizeof(int32_t));
        const auto snapped = [&t](int i) {  // fx, fy, 0, 0
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&t.v[i]->fx));
        };
        const __m128i v0 = _mm_unpacklo_epi64(snapped(0), snapped(1));
        const __m128i v2 = snapped(2);
        // rx0, ry0, rx1, ry1, rx2, ry2, 0, 0; and the same from the next vertex on.
        const __m128i from =
            _mm_packs_epi32(_mm_sub_epi32(v0, _mm_unpacklo_epi64(origin, origin)), _mm_sub_epi32(v2, origin));
        const __m128i to = _mm_shuffle_epi32(from, _MM_SHUFFLE(3, 0, 2, 1));
        // ry_j, -rx_j against rx_i, ry_i.
        const __m128i swapped =
            _mm_shufflehi_epi16(_mm_shufflelo_epi16(to, _MM_SHUFFLE(2, 3, 0, 1)), _MM_SHUFFLE(2, 3, 0, 1));
        const __m128i e =
            _mm_madd_epi16(from, _mm_mullo_epi16(swapped, _mm_setr_epi16(1, -1, 1, -1, 1, -1, 1, -1)));
        // Per edge a (upper half) and -b (lower half): a << 16 | (-b & 0xFFFF) exceeds 0x8000 just
        // where a > 0 or a = 0 < b, the edges whose threshold is 0 (|b| <= 2^14).
        const __m128i edge = _mm_sub_epi16(from, to);
        const __m128i keeps = _mm_cmpgt_epi32(edge, _mm_set1_epi32(0x8000));
        const __m128i threeEdges = _mm_setr_epi32(-1, -1, -1, 0);
        const __m128i topLeft =
            _mm_and_si128(_mm_sub_epi32(_mm_add_epi32(e, _mm_set1_epi32(-1)), keeps), threeEdges);
        const __m128i column = _mm_slli_epi32(_mm_srai_epi32(edge, 16), kSubPixelBits);
        const __m128i row =
            _mm_sub_epi32(_mm_setzero_si128(), _mm_srai_epi32(_mm_slli_epi32(edge, 16), 16 - kSubPixelBits));
        const auto covers = [](__m128i values) {
            return static_cast<uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(values)) == 0);
        };
        // Two bits a row, the left pixel's first; pixels outside the box are not covered.
        uint32_t covered = covers(topLeft) | covers(_mm_add_epi32(topLeft, column)) << 1 |
                           covers(_mm_add_epi32(topLeft, row)) << 2 |
                           covers(_mm_add_epi32(_mm_add_epi32(topLeft, column), row)) << 3;
        covered &= box.right > box.left ? 0xFu : 0x5u;
        covered &= box.bottom > box.top ? 0xFu : 0x3u;
        covered_ = covered;
    }
    bool Empty() const { return covered_ == 0; }
    // Whether exactly one pixel is covered, and which (x, y).
    bool OnePixel(int& x, int& y) const {
        if ((covered_ & (covered_ - 1)) != 0) {
            return false;
        }
        const int bit = std::countr_zero(covered_);
        x = left_ + (bit & 1);
        y = top_ + (bit >> 1);
        return true;
    }
    // The covered pixels of the next row, [left, right] (empty when left > right).
    void NextRow(int& left, int& right) {
        static constexpr int kFirst[4] = {1, 0, 1, 0}, kLast[4] = {0, 0, 1, 1};
        const uint32_t row = covered_ & 3u;
        covered_ >>= 2;
        left = left_ + kFirst[row];
        right = left_ + kLast[row];
    }

  private:
    int left_, top_;
    uint32_t covered_;
};
#endif

// Walks one edge down the rows without dividing per row. For an edge that is not horizontal,
// bound = floor((-a px + b (16 y - py) - threshold) / d) with d = 16 |a| is the first covered column
// (negated) of a left edge or the last covered column of a right edge, relative to the origin; it
// is kept as quotient and remainder and stepped row by row (|bound| stays within the box, the
// remainder below d).
template <typename Int>
struct EdgeWalker {
    enum Kind { kHorizontal, kLeft, kRight } kind;
    Int bound, remainder, divisor, stepWhole, stepRemainder;
    Int value, valueStep;  // a horizontal edge's E - threshold on the current row, and its change

    // Starts at row y relative to the origin; the step is only worked out when there is a next row.
    EdgeWalker(const EdgeSet<Int>& e, int i, int y, int rows) {
        const Int a = e.a[i], b = e.b[i];
        kind = a > 0 ? kLeft : (a < 0 ? kRight : kHorizontal);
        value = b * ((Int{y} << kSubPixelBits) - e.py[i]) - e.threshold[i];
        valueStep = b << kSubPixelBits;
        if (kind == kHorizontal) {
            bound = remainder = divisor = stepWhole = stepRemainder = 0;
            return;
        }
        divisor = (a > 0 ? a : -a) << kSubPixelBits;
        const Int m = value - a * e.px[i];
        bound = FloorDiv(m, divisor);
        remainder = m - bound * divisor;
        stepWhole = rows > 1 ? FloorDiv(Int{b << kSubPixelBits}, divisor) : 0;
        stepRemainder = (b << kSubPixelBits) - stepWhole * divisor;
    }
    // Narrows [left, right] (relative to the origin) to this row's pixels inside the edge, then
    // steps to the next row.
    void CutAndStep(Int& left, Int& right) {
        if (kind == kLeft) {
            left = std::max(left, -bound);
        } else if (kind == kRight) {
            right = std::min(right, bound);
        } else {
            if (value < 0) {
                right = left - 1;
            }
            value += valueStep;
            return;
        }
        bound += stepWhole;
        remainder += stepRemainder;
        // The carry without a branch: it follows the edge's slope, which no predictor learns.
        const bool carry = remainder >= divisor;
        bound += static_cast<Int>(carry);
        remainder -= carry ? divisor : 0;
    }
};

template <typename Int>
class WalkedCoverage {
  public:
    WalkedCoverage(const EdgeSet<Int>& e, int originX, int originY, int left, int right, int top, int rows)
        : originX_(originX),
          left_(left - originX),
          right_(right - originX),
          walkers_{EdgeWalker<Int>(e, 0, top - originY, rows), EdgeWalker<Int>(e, 1, top - originY, rows),
                   EdgeWalker<Int>(e, 2, top - originY, rows)} {}
    void NextRow(int& left, int& right) {
        Int l = left_, r = right_;
        for (EdgeWalker<Int>& w : walkers_) {
            w.CutAndStep(l, r);
        }
        if (l > r) {
            left = originX_ + 1;
            right = originX_;
            return;
        }
        // Both lie inside the box, so they fit an int.
        left = static_cast<int>(l) + originX_;
        right = static_cast<int>(r) + originX_;
    }

  private:
    int originX_;
    Int left_, right_;
    EdgeWalker<Int> walkers_[3];
};

// Twice the triangle's area in texels of the full-size texture.
float TexelArea2(const PixelState& s, const ScreenVertex* const* v) {
    const float du1 = v[1]->u - v[0]->u, dv1 = v[1]->v - v[0]->v;
    const float du2 = v[2]->u - v[0]->u, dv2 = v[2]->v - v[0]->v;
    return std::fabs(du1 * dv2 - du2 * dv1) * s.sampler.widthF * s.sampler.heightF;
}

bool UseBilinear(const PixelState& s, float texelArea2, float screenArea2) {
    if (s.bilinearMag == s.bilinearMin) {
        return s.bilinearMag;
    }
    return texelArea2 > screenArea2 ? s.bilinearMin : s.bilinearMag;
}

// The state whose texture copy has at most about four texels per pixel.
const PixelState& MipState(const PixelState& state, const SpanShaders& shaders, float texelArea2,
                           float screenArea2) {
    const int level = MipLevel(texelArea2, screenArea2, shaders.mipCount);
    return level == 0 ? state : shaders.mipStates[level - 1];
}

uint32_t UsedAttributes(const PixelState& s) {
    uint32_t used = 1u << kZ | 1u << kR | 1u << kG | 1u << kB | 1u << kA;
    if (s.textured) {
        used |= 1u << kRhw | 1u << kUq | 1u << kVq;
    }
    if (s.fog) {
        used |= 1u << kFog;
    }
    if (s.specular) {
        used |= 1u << kSr | 1u << kSg | 1u << kSb;
    }
    return used;
}

// Four floats worked on together; SSE2 where the compiler offers it.
struct Quad {
#if defined(__SSE2__)
    __m128 v;
    static Quad Load(const float* p) {
        return {_mm_loadu_ps(p)};
    }
    static Quad Set(float a, float b, float c, float d) {
        return {_mm_setr_ps(a, b, c, d)};
    }
    // first[0], first[1], second[0] * scale, second[1] * scale.
    static Quad PairAndScaledPair(const float* first, const float* second, float scale) {
        const auto pair = [](const float* p) {
            return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
        };
        return {_mm_movelh_ps(pair(first), _mm_mul_ps(pair(second), _mm_set1_ps(scale)))};
    }
    static Quad Splat(float a) {
        return {_mm_set1_ps(a)};
    }
    // Lanes whose bit (lowest lane first) in bits is set keep their value, the others become zero.
    Quad Keep(uint32_t bits) const {
        const __m128i lane = _mm_setr_epi32(1, 2, 4, 8);
        const __m128i kept =
            _mm_cmpeq_epi32(_mm_and_si128(_mm_set1_epi32(static_cast<int>(bits)), lane), lane);
        return {_mm_and_ps(v, _mm_castsi128_ps(kept))};
    }
    friend Quad operator+(Quad a, Quad b) {
        return {_mm_add_ps(a.v, b.v)};
    }
    friend Quad operator-(Quad a, Quad b) {
        return {_mm_sub_ps(a.v, b.v)};
    }
    friend Quad operator*(Quad a, Quad b) {
        return {_mm_mul_ps(a.v, b.v)};
    }
    // value0, step0, value1, step1, value2, step2, value3, step3 into out[0..7].
    static void StoreInterleaved(Quad value, Quad step, float* out) {
        _mm_storeu_ps(out, _mm_unpacklo_ps(value.v, step.v));
        _mm_storeu_ps(out + 4, _mm_unpackhi_ps(value.v, step.v));
    }
    void Store(float* out) const {
        _mm_storeu_ps(out, v);
    }
#else
    float v[4];
    static Quad Load(const float* p) {
        return {{p[0], p[1], p[2], p[3]}};
    }
    static Quad Set(float a, float b, float c, float d) {
        return {{a, b, c, d}};
    }
    static Quad PairAndScaledPair(const float* first, const float* second, float scale) {
        return {{first[0], first[1], second[0] * scale, second[1] * scale}};
    }
    static Quad Splat(float a) {
        return {{a, a, a, a}};
    }
    Quad Keep(uint32_t bits) const {
        Quad r{};
        for (int i = 0; i < 4; ++i) {
            r.v[i] = (bits >> i & 1u) != 0 ? v[i] : 0.0f;
        }
        return r;
    }
    template <typename Op>
    static Quad Each(Quad a, Quad b, Op op) {
        return {{op(a.v[0], b.v[0]), op(a.v[1], b.v[1]), op(a.v[2], b.v[2]), op(a.v[3], b.v[3])}};
    }
    friend Quad operator+(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x + y; });
    }
    friend Quad operator-(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x - y; });
    }
    friend Quad operator*(Quad a, Quad b) {
        return Each(a, b, [](float x, float y) { return x * y; });
    }
    static void StoreInterleaved(Quad value, Quad step, float* out) {
        for (int i = 0; i < 4; ++i) {
            out[2 * i] = value.v[i];
            out[2 * i + 1] = step.v[i];
        }
    }
    void Store(float* out) const {
        std::memcpy(out, v, sizeof v);
    }
#endif
};

constexpr int kQuads = kAttrCount / 4;

// A vertex's attributes in SpanStart order, four at a time: z, 1/w, u/w, v/w (quad 0); the diffuse
// colour (1); fog (in 256ths) and the specular colour (2).
Quad Gather(const ScreenVertex& v, int quad) {
    static_assert(offsetof(ScreenVertex, a) == offsetof(ScreenVertex, r) + 3 * sizeof(float));
    static_assert(offsetof(ScreenVertex, rhw) == offsetof(ScreenVertex, sz) + sizeof(float));
    static_assert(offsetof(ScreenVertex, v) == offsetof(ScreenVertex, u) + sizeof(float));
    switch (quad) {
        case 0:  // sz, rhw, u * rhw, v * rhw
            return Quad::PairAndScaledPair(&v.sz, &v.u, v.rhw);
        case 1:
            return Quad::Load(&v.r);
        default:
            return Quad::Set(v.fog * 256.0f, v.sr, v.sg, v.sb);
    }
}

// A triangle's exact vertex positions as the planes of its attributes use them (only coverage uses
// the snapped grid): the first vertex, the other two relative to it and one over twice the area.
struct PlaneFrame {
    float x0 = 0.0f, y0 = 0.0f;
    Quad x1, y1, x2, y2, invArea;

    // false when the exact positions give no area (the snapped ones did).
    bool Set(const ScreenVertex* const* v) {
        x0 = v[0]->sx;
        y0 = v[0]->sy;
        const float fx1 = v[1]->sx - x0, fy1 = v[1]->sy - y0;
        const float fx2 = v[2]->sx - x0, fy2 = v[2]->sy - y0;
        const float area = fx1 * fy2 - fx2 * fy1;
        if (area == 0.0f) {
            return false;
        }
        invArea = Quad::Splat(1.0f / area);
        x1 = Quad::Splat(fx1);
        y1 = Quad::Splat(fy1);
        x2 = Quad::Splat(fx2);
        y2 = Quad::Splat(fy2);
        return true;
    }
    // The steps across x and y of four attributes from their values at the three vertices.
    void Steps(Quad at0, Quad at1, Quad at2, Quad& dx, Quad& dy) const {
        const Quad d1 = at1 - at0, d2 = at2 - at0;
        dx = (d1 * y2 - d2 * y1) * invArea;
        dy = (d2 * x1 - d1 * x2) * invArea;
    }
    // Pixel (x, y) relative to the first vertex.
    Quad OffsetX(int x) const { return Quad::Splat(static_cast<float>(x) - x0); }
    Quad OffsetY(int y) const { return Quad::Splat(static_cast<float>(y) - y0); }
};

// Four attributes' start values at offset (ox, oy) from the first vertex, and their steps across
// x, into quad q of start.
void StoreStart(Quad base, Quad dx, Quad dy, Quad ox, Quad oy, int q, SpanStart& start) {
    float out[8];
    Quad::StoreInterleaved(base + dx * ox + dy * oy, dx, out);
    std::memcpy(reinterpret_cast<unsigned char*>(&start) + q * sizeof out, out, sizeof out);
}

// The planes of the attributes the span shader reads: at pixel (x, y) an attribute is
// base + dx (x - x0) + dy (y - y0). Attributes the shader does not read stay zero.
struct Planes {
    float x0 = 0.0f, y0 = 0.0f;  // exact position of the first vertex, pixels
    Quad base[kQuads], dx[kQuads], dy[kQuads];

    // false when the exact positions give no area (the snapped ones did).
    bool Set(const ScreenVertex* const* v, uint32_t used) {
        PlaneFrame frame;
        if (!frame.Set(v)) {
            return false;
        }
        x0 = frame.x0;
        y0 = frame.y0;
        const auto plane = [&](int q) {
            const uint32_t read = used >> (4 * q) & 0xFu;
            if (read == 0) {  // not set up at all
                base[q] = dx[q] = dy[q] = Quad::Splat(0.0f);
                return;
            }
            base[q] = Gather(*v[0], q);
            frame.Steps(base[q], Gather(*v[1], q), Gather(*v[2], q), dx[q], dy[q]);
            if (read != 0xFu) {  // most draws read every attribute of the quads they read at all
                base[q] = base[q].Keep(read);
                dx[q] = dx[q].Keep(read);
                dy[q] = dy[q].Keep(read);
            }
        };
        static_assert(kQuads == 3);
        plane(0);
        plane(1);
        plane(2);
        return true;
    }

    // The planes of 1 / w, u / w and v / w.
    TexturePlanes Texture() const {
        float value[4], across[4], down[4];  // z, 1 / w, u / w, v / w
        base[0].Store(value);
        dx[0].Store(across);
        dy[0].Store(down);
        return {x0,        y0,      value[1], across[1], down[1], value[2],
                across[2], down[2], value[3], across[3], down[3]};
    }

    // The span's start values on row y from its first pixel. Written in place: a SpanStart returned
    // by value was copied once more before every span.
    void Start(int y, int left, SpanStart& start) const {
        const Quad ox = Quad::Splat(static_cast<float>(left) - x0),
                   oy = Quad::Splat(static_cast<float>(y) - y0);
        for (int q = 0; q < kQuads; ++q) {
            StoreStart(base[q], dx[q], dy[q], ox, oy, q, start);
        }
    }
};

// The attributes of the draws whose start values OnePixelStart sets up: quads 0 and 1 whole (depth,
// texture and diffuse colour), nothing of quad 2 (fog and specular).
constexpr uint32_t kFirstTwoQuads = 0xFFu;

// The start values of a triangle's one pixel (x, y) for a draw that reads kFirstTwoQuads: what
// Planes::Set and Start give, worked out the same way, without keeping the planes (most triangles
// of a distant mesh cover one pixel). false when the exact positions give no area.
bool OnePixelStart(const ScreenVertex* const* v, int x, int y, SpanStart& start) {
    PlaneFrame frame;
    if (!frame.Set(v)) {
        return false;
    }
    const Quad ox = frame.OffsetX(x), oy = frame.OffsetY(y);
    const auto quad = [&](int q) {
        const Quad at0 = Gather(*v[0], q);
        Quad dx, dy;
        frame.Steps(at0, Gather(*v[1], q), Gather(*v[2], q), dx, dy);
        StoreStart(at0, dx, dy, ox, oy, q, start);
    };
    quad(0);
    quad(1);
    const Quad zero = Quad::Splat(0.0f);
    StoreStart(zero, zero, zero, zero, zero, 2, start);
    return true;
}

// What a triangle is shaded with once it is known to cover a pixel: the planes of its attributes,
// whether its texture is sampled bilinearly and the state with the copy of the texture it reads.
struct TriangleShading {
    Planes planes;
    bool bilinear = false;
    const PixelState* drawn = nullptr;

    // false when the triangle draws nothing after all (no area at its exact positions). Inline in the
    // row loops: a call costs the many small triangles of the map panel.
    [[gnu::always_inline]] bool Set(const PixelState& state, const SpanShaders& shaders,
                                    const ScreenVertex* const* v, int64_t snappedArea2) {
        if (!planes.Set(v, shaders.attributes)) {
            return false;
        }
        ChooseTexture(state, shaders, v, snappedArea2);
        return true;
    }
    // Sets bilinear and drawn only.
    void ChooseTexture(const PixelState& state, const SpanShaders& shaders, const ScreenVertex* const* v,
                       int64_t snappedArea2) {
        drawn = &state;
        if (state.textured) {
            const float texelArea2 = TexelArea2(state, v);
            const float screenArea2 = static_cast<float>(snappedArea2) / 256.0f;
            bilinear = UseBilinear(state, texelArea2, screenArea2);
            drawn = &MipState(state, shaders, texelArea2, screenArea2);
        }
    }
};

// Whether every texel that rows[0 .. count) of a triangle read lies in a transparent block of the
// texture (see ReadsOnlyClearBlocks). Out of line: only alpha-tested draws come here.
[[gnu::noinline]] bool ReadsOnlyClearBlocks(const TriangleShading& shading, const SpanRow* rows, int count) {
    int left = rows[0].left, right = rows[0].right;
    for (int i = 1; i < count; ++i) {
        left = std::min(left, rows[i].left);
        right = std::max(right, rows[i].right);
    }
    return ReadsOnlyClearBlocks(shading.drawn->sampler, shading.bilinear, shading.planes.Texture(), left,
                                right, rows[0].y, rows[count - 1].y);
}

// Shades the covered rows of a triangle, kRowBatch rows to a shader call; the planes are only set up
// once a row of the target turns out to be covered.
constexpr int kRowBatch = 16;
constexpr int kNarrowRow = 4, kNarrowRows = 4;

template <typename Coverage>
void ShadeRows(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
               const ScreenVertex* const* v, int64_t snappedArea2, const TriangleBox& box,
               Coverage& coverage) {
    // A few short rows cost less one by one than with the set-up that the vector shaders share
    // among a triangle's rows.
    const bool narrow = box.right - box.left < kNarrowRow - 1 && box.bottom - box.top < kNarrowRows - 1;
    TriangleShading shading;
    RowShader shade = nullptr;
    SpanRow rows[kRowBatch];
    int queued = 0;
    // A batch of rows that reads only transparent texels is dropped where the alpha test drops them
    // (most of a backdrop's sky).
    const auto shadeBatch = [&] {
        if (!shaders.dropsTransparent || !ReadsOnlyClearBlocks(shading, rows, queued)) {
            shade(target, *shading.drawn, rows, queued);
        }
        queued = 0;
    };
    for (int y = box.top; y <= box.bottom; ++y) {
        int left, right;
        coverage.NextRow(left, right);
        if (left > right) {
            continue;
        }
        if (shade == nullptr) {
            if (!shading.Set(state, shaders, v, snappedArea2)) {
                return;
            }
            shade = narrow ? (shading.bilinear ? shaders.narrowBilinear : shaders.narrowPoint)
                           : (shading.bilinear ? shaders.bilinear : shaders.point);
        }
        SpanRow& row = rows[queued];
        shading.planes.Start(y, left, row.start);
        row.y = y;
        row.left = left;
        row.right = right;
        if (++queued == kRowBatch) {
            shadeBatch();
        }
    }
    if (queued > 0) {
        shadeBatch();
    }
}

// Shades a triangle that covers the one pixel (x, y): straight through the pixel shader, without
// queueing a row (most triangles of a distant mesh cover one pixel or none). The pixel shader of
// opaque textured triangles in the common state without fog, the map's, is compiled in here (with
// everything else this calls), so that the start values go to it in registers.
[[gnu::flatten]] void ShadeOnePixel(const RasterTarget& target, const PixelState& state,
                                    const SpanShaders& shaders, const SnappedTriangle& t, int x, int y) {
    TriangleShading shading;
    SpanStart start;
    if (shaders.attributes == kFirstTwoQuads) {
        if (!OnePixelStart(t.v, x, y, start)) {
            return;
        }
        shading.ChooseTexture(state, shaders, t.v, t.area2);
    } else {
        if (!shading.Set(state, shaders, t.v, t.area2)) {
            return;
        }
        shading.planes.Start(y, x, start);
    }
    if (shaders.opaqueCommon && shading.bilinear) {
        ShadePixel<true, true, false, false, false, true>(target, *shading.drawn, start, y, x, x);
        return;
    }
    (shading.bilinear ? shaders.pixelBilinear : shaders.pixelPoint)(target, *shading.drawn, start, y, x, x);
}

// Draws a triangle whose box is narrower than kMaxScannedColumns. (Not inline: RasterizeTriangle
// would then grow too large for GCC to keep ShadeOnePixel, the map's path, in it.)
[[gnu::noinline]] void ScanTriangle(const RasterTarget& target, const PixelState& state,
                                    const SpanShaders& shaders, const SnappedTriangle& t,
                                    const TriangleBox& box, int originX, int originY) {
    const EdgeSet<int32_t> edges(t.v, originX, originY);
    ScannedCoverage coverage(edges, originX, originY, box.left, box.right, box.top);
    ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
}

template <typename Int>
void WalkTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                  const SnappedTriangle& t, const TriangleBox& box, int originX, int originY) {
    const EdgeSet<Int> edges(t.v, originX, originY);
    WalkedCoverage<Int> coverage(edges, originX, originY, box.left, box.right, box.top,
                                 box.bottom - box.top + 1);
    ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
}

}  // namespace

SpanShaders::SpanShaders(const RasterTarget& target, const PixelState& state)
    : point(ChooseRowShader(target, state, false)),
      bilinear(ChooseRowShader(target, state, true)),
      narrowPoint(ChooseScalarRowShader(target, state, false)),
      narrowBilinear(ChooseScalarRowShader(target, state, true)),
      pixelPoint(ChoosePixelShader(target, state, false)),
      pixelBilinear(ChoosePixelShader(target, state, true)),
      opaqueCommon(state.textured && IsCommonState(target, state) && !state.fog && !state.alphaTest &&
                   !state.blend),
      dropsTransparent(DropsTransparentTexels(state)),
      attributes(UsedAttributes(state)) {}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c,
                       const TriangleBox& box) {
    SnappedTriangle t;
    if (!t.Set(a, b, c)) {
        return;
    }
    // The box's top-left pixel corner is the origin of the edge functions.
    const int originX = box.minX >> kSubPixelBits, originY = box.minY >> kSubPixelBits;
    if (box.maxX - box.minX > kMaxExtent32 || box.maxY - box.minY > kMaxExtent32) {
        WalkTriangle<int64_t>(target, state, shaders, t, box, originX, originY);
        return;
    }
#if defined(__SSE2__)
    if (box.right - box.left < kMaxTinyPixels && box.bottom - box.top < kMaxTinyPixels) {
        TinyCoverage coverage(t, box);
        if (coverage.Empty()) {
            return;
        }
        int x, y;
        if (coverage.OnePixel(x, y)) {
            ShadeOnePixel(target, state, shaders, t, x, y);
        } else {
            ShadeRows(target, state, shaders, t.v, t.area2, box, coverage);
        }
        return;
    }
#endif
    if (box.right - box.left < kMaxScannedColumns) {
        ScanTriangle(target, state, shaders, t, box, originX, originY);
    } else {
        WalkTriangle<int32_t>(target, state, shaders, t, box, originX, originY);
    }
}

void RasterizeTriangle(const RasterTarget& target, const PixelState& state, const SpanShaders& shaders,
                       const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
    TriangleBox box;
    if (FindTriangleBox(target, a, b, c, box)) {
        RasterizeTriangle(target, state, shaders, a, b, c, box);
    }
}

}  // namespace platform::device_detail
