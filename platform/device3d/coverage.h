#pragma once
// Coverage of a triangle on the snapped grid: the pixel centres of each row it covers, from integer
// edge functions on a 1/16-pixel grid with the top-left fill rule (pixel centres on integer
// coordinates). Tiny boxes have every pixel centre tested at once, narrow ones every pixel centre of
// a row, larger ones walk their edges down the rows.
//
// A part of raster.cpp, the only file that includes it: it stays in an unnamed namespace, the file's
// own, so that the compiler inlines it into the rasteriser, which runs it for every triangle, as
// freely as code written in the file itself.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/device3d/raster.h"

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

}  // namespace

}  // namespace platform::device_detail
