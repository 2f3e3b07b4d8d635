// Vertex processing: transform to clip space, fixed-function lighting in world space and vertex fog.

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

#include "platform/device3d/pipeline.h"
#include "platform/device3d/project.h"

namespace platform::device_detail {

namespace {

float Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vec3 SafeNormalize(Vec3 v) {
    const float len = Length(v);
    return len > 0.0f ? v * (1.0f / len) : Vec3{};
}

// Clamps to 0..1; not-a-number becomes 0. (Written as two selections, which the compiler makes
// branch-free.)
float Saturate(float v) {
    const float above = v > 0.0f ? v : 0.0f;
    return above < 1.0f ? above : 1.0f;
}

ColorValue Mul(const ColorValue& a, const ColorValue& b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a};
}

ColorValue ArgbToColor(uint32_t argb) {
    return {static_cast<float>((argb >> 16) & 0xFF) / 255.0f, static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(argb & 0xFF) / 255.0f, static_cast<float>(argb >> 24) / 255.0f};
}

PreparedLight PrepareLight(const DeviceLight& light, const DeviceMaterial& material) {
    PreparedLight p{};
    p.type = light.type;
    p.position = light.position;
    p.toLight = SafeNormalize(light.direction * -1.0f);
    p.spotAxis = SafeNormalize(light.direction);
    p.diffuse = Mul(light.diffuse, material.diffuse);
    p.ambient = Mul(light.ambient, material.ambient);
    p.specular = Mul(light.specular, material.specular);
    p.range = light.range;
    p.att0 = light.attenuation0;
    p.att1 = light.attenuation1;
    p.att2 = light.attenuation2;
    p.cosHalfTheta = std::cos(light.theta * 0.5f);
    p.cosHalfPhi = std::cos(light.phi * 0.5f);
    p.falloff = light.falloff;
    return p;
}

// Distance attenuation times spot factor of a point or spot light at world position p; also gives
// the unit vector towards the light. Returns 0 when the light does not reach p.
float LocalLightFactor(const PreparedLight& l, Vec3 p, Vec3& toLight) {
    const Vec3 d = l.position - p;
    const float dist = Length(d);
    if (dist > l.range) {
        return 0.0f;
    }
    toLight = dist > 0.0f ? d * (1.0f / dist) : Vec3{0.0f, 1.0f, 0.0f};
    const float denom = l.att0 + l.att1 * dist + l.att2 * dist * dist;
    float factor = denom > 0.0f ? 1.0f / denom : 1.0f;
    if (l.type == kLightSpot) {
        const float rho = -Dot(l.spotAxis, toLight);
        if (rho <= l.cosHalfPhi) {
            return 0.0f;
        }
        if (rho < l.cosHalfTheta) {
            const float t = (rho - l.cosHalfPhi) / (l.cosHalfTheta - l.cosHalfPhi);
            factor *= l.falloff == 1.0f ? t : std::pow(t, l.falloff);
        }
    }
    return factor;
}

#if defined(__SSE2__)
// The colour sums of a vertex being lit: red, green and blue in the first three lanes, each lane
// summing in the order of the scalar form below.
struct ColorLanes {
    __m128 v = _mm_setzero_ps();

    static ColorLanes Of(const ColorValue& c) { return {_mm_loadu_ps(&c.r)}; }
    void Add(const ColorValue& c, float k) {
        v = _mm_add_ps(v, _mm_mul_ps(_mm_loadu_ps(&c.r), _mm_set1_ps(k)));
    }
    // Clamped to 0..1 as Saturate does (maxps gives its second operand for not-a-number).
    void Store(float& r, float& g, float& b) const {
        alignas(16) float out[4];
        _mm_store_ps(out, _mm_min_ps(_mm_max_ps(v, _mm_setzero_ps()), _mm_set1_ps(1.0f)));
        r = out[0];
        g = out[1];
        b = out[2];
    }
};
#else
struct ColorLanes {
    float r = 0.0f, g = 0.0f, b = 0.0f;

    static ColorLanes Of(const ColorValue& c) { return {c.r, c.g, c.b}; }
    void Add(const ColorValue& c, float k) {
        r += c.r * k;
        g += c.g * k;
        b += c.b * k;
    }
    void Store(float& outR, float& outG, float& outB) const {
        outR = Saturate(r);
        outG = Saturate(g);
        outB = Saturate(b);
    }
};
#endif

// p, the world position, is only read when s.needsPosition.
void LightVertex(const VertexStage& s, Vec3 p, Vec3 n, ClipVertex& out) {
    ColorLanes c = ColorLanes::Of(s.baseColor), specular;
    for (const PreparedLight& l : s.lights) {
        Vec3 toLight = l.toLight;
        const float factor = l.type == kLightDirectional ? 1.0f : LocalLightFactor(l, p, toLight);
        if (factor <= 0.0f) {
            continue;
        }
        c.Add(l.ambient, factor);
        const float nDotL = Dot(n, toLight);
        if (nDotL <= 0.0f) {
            continue;
        }
        c.Add(l.diffuse, nDotL * factor);
        if (s.specular) {
            const Vec3 half = SafeNormalize(SafeNormalize(s.eye - p) + toLight);
            const float nDotH = Dot(n, half);
            if (nDotH > 0.0f) {
                specular.Add(l.specular, std::pow(nDotH, s.power) * factor);
            }
        }
    }
    c.Store(out.r, out.g, out.b);
    out.a = Saturate(s.materialAlpha);
    specular.Store(out.sr, out.sg, out.sb);
}

float FogFactor(const VertexStage& s, float eyeZ) {
    float f = 1.0f;
    switch (s.fogMode) {
        case kFogLinear:
            if (s.fogEnd != s.fogStart) {
                f = (s.fogEnd - eyeZ) / (s.fogEnd - s.fogStart);
            } else {
                f = eyeZ < s.fogStart ? 1.0f : 0.0f;
            }
            break;
        case kFogExp:
            f = std::exp(-s.fogDensity * eyeZ);
            break;
        case kFogExp2:
            f = std::exp(-(s.fogDensity * eyeZ) * (s.fogDensity * eyeZ));
            break;
        default:
            break;
    }
    return Saturate(f);
}

float StateFloat(const Device3D& d, uint32_t state) {
    return std::bit_cast<float>(d.renderStates[state]);
}

}  // namespace

Matrix4 InverseMatrix(const Matrix4& m, bool* ok) {
    // Gauss-Jordan elimination with partial pivoting, in double for accuracy.
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) {
                pivot = r;
            }
        }
        if (std::fabs(a[pivot][col]) < 1e-12) {
            if (ok != nullptr) {
                *ok = false;
            }
            return IdentityMatrix();
        }
        for (int j = 0; j < 8; ++j) {
            std::swap(a[col][j], a[pivot][j]);
        }
        const double inv = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j) {
            a[col][j] *= inv;
        }
        for (int r = 0; r < 4; ++r) {
            if (r != col && a[r][col] != 0.0) {
                const double f = a[r][col];
                for (int j = 0; j < 8; ++j) {
                    a[r][j] -= f * a[col][j];
                }
            }
        }
    }
    Matrix4 out;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            out.m[i][j] = static_cast<float>(a[i][j + 4]);
        }
    }
    if (ok != nullptr) {
        *ok = true;
    }
    return out;
}

void PrepareVertexStage(const Device3D& d, VertexStage& s) {
    s.world = d.world;
    const Matrix4 worldView = d.world * d.view;
    s.worldViewProjection = worldView * d.projection;
    for (int i = 0; i < 4; ++i) {
        s.viewZ[i] = worldView.m[i][2];
    }
    s.lighting = d.renderStates[kRsLighting] != 0;
    s.specular = d.renderStates[kRsSpecularEnable] != 0;
    // The inverses are only read when lighting (normals) and for highlights (the eye).
    if (s.lighting) {
        const Matrix4 worldInverse = InverseMatrix(d.world, nullptr);
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                s.normalMatrix[i][j] = worldInverse.m[i][j];
            }
        }
    }
    if (s.lighting && s.specular) {
        const Matrix4 viewInverse = InverseMatrix(d.view, nullptr);
        s.eye = {viewInverse.m[3][0], viewInverse.m[3][1], viewInverse.m[3][2]};
    }
    s.normalize = d.renderStates[kRsNormalizeNormals] != 0;
    const DeviceMaterial& m = d.material;
    const ColorValue ambient = ArgbToColor(d.renderStates[kRsAmbient]);
    s.baseColor = {m.emissive.r + ambient.r * m.ambient.r, m.emissive.g + ambient.g * m.ambient.g,
                   m.emissive.b + ambient.b * m.ambient.b, 0.0f};
    s.materialAlpha = m.diffuse.a;
    s.power = m.power;
    s.lights.clear();
    for (size_t i = 0; i < d.lights.size(); ++i) {
        if (d.lightEnabled[i] != 0) {
            s.lights.push_back(PrepareLight(d.lights[i], m));
        }
    }

    s.needsPosition = s.specular || std::any_of(s.lights.begin(), s.lights.end(), [](const PreparedLight& l) {
                          return l.type != kLightDirectional;
                      });

    s.fog = d.renderStates[kRsFogEnable] != 0;
    // Table (per-pixel) fog is approximated per vertex with the same formula.
    s.fogMode = d.renderStates[kRsFogTableMode] != kFogNone ? d.renderStates[kRsFogTableMode]
                                                            : d.renderStates[kRsFogVertexMode];
    s.fogStart = StateFloat(d, kRsFogStart);
    s.fogEnd = StateFloat(d, kRsFogEnd);
    s.fogDensity = StateFloat(d, kRsFogDensity);
}

#if defined(__SSE2__)
namespace {

// One coordinate of four vertices in each register.
struct FourPositions {
    __m128 x, y, z, w;
};

// ClipCode of four positions: the same sums and comparisons ("not greater or equal" holds for
// not-a-number as ClipCode's tests fail for it), one code in each 32-bit lane.
[[gnu::always_inline]] inline __m128i ClipCodesOfFour(const FourPositions& p) {
    const __m128 zero = _mm_setzero_ps();
    const __m128 band = _mm_mul_ps(_mm_set1_ps(kGuardBand), p.w);
    const auto outside = [](__m128 v, __m128 limit, int bit) {
        return _mm_and_si128(_mm_castps_si128(_mm_cmpnge_ps(v, limit)), _mm_set1_epi32(bit));
    };
    __m128i codes = _mm_or_si128(outside(p.z, zero, 1), outside(_mm_sub_ps(p.w, p.z), zero, 2));
    codes = _mm_or_si128(codes, outside(_mm_add_ps(p.x, band), zero, 4));
    codes = _mm_or_si128(codes, outside(_mm_sub_ps(band, p.x), zero, 8));
    codes = _mm_or_si128(codes, outside(_mm_add_ps(p.y, band), zero, 16));
    codes = _mm_or_si128(codes, outside(_mm_sub_ps(band, p.y), zero, 32));
    codes = _mm_or_si128(codes, outside(p.w, _mm_set1_ps(kMinClipW), 64));
    codes = _mm_or_si128(codes, outside(_mm_add_ps(p.x, p.w), zero, 0x100));
    codes = _mm_or_si128(codes, outside(_mm_sub_ps(p.w, p.x), zero, 0x200));
    codes = _mm_or_si128(codes, outside(_mm_add_ps(p.y, p.w), zero, 0x400));
    return _mm_or_si128(codes, outside(_mm_sub_ps(p.w, p.y), zero, 0x800));
}

// RoundToInt of four values.
[[gnu::always_inline]] inline __m128i RoundFour(__m128 v) {
    const __m128 t = _mm_add_ps(v, _mm_set1_ps(0.5f));
    const __m128i i = _mm_cvttps_epi32(t);
    // One less where the conversion (towards zero) went above t: the compare gives -1 there.
    return _mm_add_epi32(i, _mm_castps_si128(_mm_cmpgt_ps(_mm_cvtepi32_ps(i), t)));
}

// The matrix entries and the viewport mapping of a draw, each in all four lanes.
struct FourLanes {
    __m128 m[4][4];
    __m128 x, y, halfWidth, halfHeight, minZ, depthRange;

    FourLanes(const VertexStage& s, const Projector& to)
        : x(_mm_set1_ps(to.x)),
          y(_mm_set1_ps(to.y)),
          halfWidth(_mm_set1_ps(to.halfWidth)),
          halfHeight(_mm_set1_ps(to.halfHeight)),
          minZ(_mm_set1_ps(to.minZ)),
          depthRange(_mm_set1_ps(to.depthRange)) {
        for (int i = 0; i < 4; ++i) {
            for (int j = 0; j < 4; ++j) {
                m[i][j] = _mm_set1_ps(s.worldViewProjection.m[i][j]);
            }
        }
    }
};

// Projector::Position of four vertices (the same float operations in the same order); also stores
// their snapped points and gives the mask of the usable ones.
[[gnu::always_inline]] inline __m128 ProjectFour(const FourLanes& to, const FourPositions& p,
                                                 ScreenVertex* out, SnappedPoint* snapped) {
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 rhw = _mm_div_ps(one, p.w);
    __m128 sx = _mm_add_ps(to.x, _mm_mul_ps(_mm_add_ps(one, _mm_mul_ps(p.x, rhw)), to.halfWidth));
    __m128 sy = _mm_add_ps(to.y, _mm_mul_ps(_mm_sub_ps(one, _mm_mul_ps(p.y, rhw)), to.halfHeight));
    __m128 sz = _mm_add_ps(to.minZ, _mm_mul_ps(_mm_mul_ps(p.z, rhw), to.depthRange));
    // SnapToGrid: usable while both |sx| and |sy| are below the limit (not for not-a-number).
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF));
    const __m128 limit = _mm_set1_ps(kMaxCoordinate);
    const __m128 usable = _mm_and_ps(_mm_cmplt_ps(_mm_and_ps(sx, magnitude), limit),
                                     _mm_cmplt_ps(_mm_and_ps(sy, magnitude), limit));
    const __m128 subPixels = _mm_set1_ps(kSubPixels);
    const __m128i fx = _mm_and_si128(RoundFour(_mm_mul_ps(sx, subPixels)), _mm_castps_si128(usable));
    const __m128i fy = _mm_and_si128(RoundFour(_mm_mul_ps(sy, subPixels)), _mm_castps_si128(usable));
    const __m128i fixedLow = _mm_unpacklo_epi32(fx, fy), fixedHigh = _mm_unpackhi_epi32(fx, fy);
    const int usableBits = _mm_movemask_ps(usable);
    _MM_TRANSPOSE4_PS(sx, sy, sz, rhw);
    _mm_storeu_ps(&out[0].sx, sx);
    _mm_storeu_ps(&out[1].sx, sy);
    _mm_storeu_ps(&out[2].sx, sz);
    _mm_storeu_ps(&out[3].sx, rhw);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out[0].fx), fixedLow);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out[1].fx), _mm_srli_si128(fixedLow, 8));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out[2].fx), fixedHigh);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(&out[3].fx), _mm_srli_si128(fixedHigh, 8));
    out[0].usable = (usableBits & 1) != 0;
    out[1].usable = (usableBits & 2) != 0;
    out[2].usable = (usableBits & 4) != 0;
    out[3].usable = (usableBits & 8) != 0;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(snapped), fixedLow);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(snapped + 2), fixedHigh);
    return usable;
}

// TransformVertices for four vertices.
[[gnu::always_inline]] inline void TransformFour(const FourLanes& lanes, const DeviceVertex* in,
                                                 ClipVertex* out, uint16_t* codes, ScreenVertex* screen,
                                                 SnappedPoint* snapped) {
    __m128 x = _mm_loadu_ps(&in[0].x), y = _mm_loadu_ps(&in[1].x), z = _mm_loadu_ps(&in[2].x),
           normalX = _mm_loadu_ps(&in[3].x);
    _MM_TRANSPOSE4_PS(x, y, z, normalX);
    // Each coordinate summed in the order of the scalar form.
    const auto& m = lanes.m;
    const auto sum = [&](int j) {
        return _mm_add_ps(
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, m[0][j]), _mm_mul_ps(y, m[1][j])), _mm_mul_ps(z, m[2][j])),
            m[3][j]);
    };
    const FourPositions p{sum(0), sum(1), sum(2), sum(3)};
    __m128i packed = ClipCodesOfFour(p);
    const __m128i noPlane =
        _mm_cmpeq_epi32(_mm_and_si128(packed, _mm_set1_epi32(kClipPlaneBits)), _mm_setzero_si128());
    // Only vertices that cross no clip plane are projected (often none of the four, in the parts of a
    // mesh behind the camera or beyond the guard band).
    if (_mm_movemask_epi8(noPlane) != 0) {
        const __m128 usable = ProjectFour(lanes, p, screen, snapped);
        // kUnusableBit where the vertex crosses no clip plane and is not usable.
        packed = _mm_or_si128(packed, _mm_and_si128(_mm_andnot_si128(_mm_castps_si128(usable), noPlane),
                                                    _mm_set1_epi32(kUnusableBit)));
    }
    _mm_storel_epi64(reinterpret_cast<__m128i*>(codes), _mm_packs_epi32(packed, packed));
    __m128 px = p.x, py = p.y, pz = p.z, pw = p.w;
    _MM_TRANSPOSE4_PS(px, py, pz, pw);
    _mm_storeu_ps(&out[0].x, px);
    _mm_storeu_ps(&out[1].x, py);
    _mm_storeu_ps(&out[2].x, pz);
    _mm_storeu_ps(&out[3].x, pw);
}

}  // namespace

void TransformVertices(const VertexStage& s, const Projector& to, const DeviceVertex* in, uint32_t count,
                       ClipVertex* out, uint16_t* codes, ScreenVertex* screen, SnappedPoint* snapped) {
    const FourLanes lanes(s, to);
    uint32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        TransformFour(lanes, in + i, out + i, codes + i, screen + i, snapped + i);
    }
    if (i == count) {
        return;
    }
    // The last one to three vertices, through copies.
    DeviceVertex lastIn[4] = {};
    ClipVertex lastOut[4] = {};
    uint16_t lastCodes[4] = {};
    ScreenVertex lastScreen[4] = {};
    SnappedPoint lastSnapped[4] = {};
    const uint32_t left = count - i;
    std::copy(in + i, in + count, lastIn);
    TransformFour(lanes, lastIn, lastOut, lastCodes, lastScreen, lastSnapped);
    for (uint32_t k = 0; k < left; ++k) {
        out[i + k].x = lastOut[k].x;
        out[i + k].y = lastOut[k].y;
        out[i + k].z = lastOut[k].z;
        out[i + k].w = lastOut[k].w;
        codes[i + k] = lastCodes[k];
        screen[i + k] = lastScreen[k];
        snapped[i + k] = lastSnapped[k];
    }
}
#else
void TransformVertices(const VertexStage& s, const Projector& to, const DeviceVertex* in, uint32_t count,
                       ClipVertex* out, uint16_t* codes, ScreenVertex* screen, SnappedPoint* snapped) {
    const auto& m = s.worldViewProjection.m;
    for (uint32_t i = 0; i < count; ++i) {
        const DeviceVertex& v = in[i];
        ClipVertex& o = out[i];
        o.x = v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0];
        o.y = v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1];
        o.z = v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2];
        o.w = v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + m[3][3];
        codes[i] = static_cast<uint16_t>(ClipCode(o));
        if ((codes[i] & kClipPlaneBits) == 0) {
            to.Position(o, screen[i]);
            snapped[i] = {screen[i].fx, screen[i].fy};
            codes[i] = static_cast<uint16_t>(codes[i] | (screen[i].usable ? 0u : kUnusableBit));
        }
    }
}
#endif

void ShadeVertex(const VertexStage& s, const DeviceVertex& v, ClipVertex& o) {
    o.u = v.u;
    o.v = v.v;
    if (s.lighting) {
        const auto& w = s.world.m;
        const auto& nm = s.normalMatrix;
        const Vec3 p = s.needsPosition ? Vec3{v.x * w[0][0] + v.y * w[1][0] + v.z * w[2][0] + w[3][0],
                                              v.x * w[0][1] + v.y * w[1][1] + v.z * w[2][1] + w[3][1],
                                              v.x * w[0][2] + v.y * w[1][2] + v.z * w[2][2] + w[3][2]}
                                       : Vec3{};
        Vec3 n{v.nx * nm[0][0] + v.ny * nm[0][1] + v.nz * nm[0][2],
               v.nx * nm[1][0] + v.ny * nm[1][1] + v.nz * nm[1][2],
               v.nx * nm[2][0] + v.ny * nm[2][1] + v.nz * nm[2][2]};
        if (s.normalize) {
            n = SafeNormalize(n);
        }
        LightVertex(s, p, n, o);
    } else {
        o.r = o.g = o.b = o.a = 1.0f;
        o.sr = o.sg = o.sb = 0.0f;
    }
    if (s.fog) {
        const float eyeZ = v.x * s.viewZ[0] + v.y * s.viewZ[1] + v.z * s.viewZ[2] + s.viewZ[3];
        o.fog = FogFactor(s, eyeZ);
    } else {
        o.fog = 1.0f;
    }
}

}  // namespace platform::device_detail
