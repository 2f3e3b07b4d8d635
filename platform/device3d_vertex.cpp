// Vertex processing: transform to clip space, fixed-function lighting in world space and vertex fog.

#include <algorithm>
#include <bit>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#include <xmmintrin.h>
#endif

#include "platform/device3d_pipeline.h"

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

#if defined(__SSE2__)
// ClipCode of the position x, y, z, w in the lanes of p. The same sums as ClipCode, four at a time;
// "not greater or equal" holds for not-a-number as ClipCode's tests fail for it.
uint32_t ClipCodeLanes(__m128 p) {
    const __m128 zero = _mm_setzero_ps();
    const __m128 w = _mm_shuffle_ps(p, p, _MM_SHUFFLE(3, 3, 3, 3));
    const __m128 band = _mm_mul_ps(_mm_set1_ps(kGuardBand), w);
    // x, -x, y, -y: the sides against the guard band (bits 2-5) and against the view (bits 8-11).
    const __m128 sides =
        _mm_xor_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(1, 1, 0, 0)), _mm_setr_ps(0.0f, -0.0f, 0.0f, -0.0f));
    const auto outside = [](__m128 v, __m128 limit) {
        return static_cast<uint32_t>(_mm_movemask_ps(_mm_cmpnge_ps(v, limit)));
    };
    const uint32_t guard = outside(_mm_add_ps(band, sides), zero);
    const uint32_t view = outside(_mm_add_ps(w, sides), zero);
    // z, w - z and w (against kMinClipW): bits 0, 1 and 6.
    const __m128 depth =
        _mm_add_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(3, 3, 3, 2)),
                   _mm_and_ps(_mm_xor_ps(_mm_shuffle_ps(p, p, _MM_SHUFFLE(2, 2, 2, 2)), _mm_set1_ps(-0.0f)),
                              _mm_castsi128_ps(_mm_setr_epi32(0, -1, 0, 0))));
    const uint32_t near = outside(depth, _mm_setr_ps(0.0f, 0.0f, kMinClipW, 0.0f));
    return (near & 3u) | (near & 4u) << 4 | guard << 2 | view << 8;
}
#endif

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
void TransformVertices(const VertexStage& s, const DeviceVertex* in, uint32_t count, ClipVertex* out,
                       uint16_t* codes) {
    // One vertex at a time with x, y, z, w in the lanes: each lane does the scalar sum in its order.
    const auto& m = s.worldViewProjection.m;
    const __m128 row0 = _mm_loadu_ps(m[0]), row1 = _mm_loadu_ps(m[1]), row2 = _mm_loadu_ps(m[2]),
                 row3 = _mm_loadu_ps(m[3]);
    for (uint32_t i = 0; i < count; ++i) {
        const __m128 v = _mm_loadu_ps(&in[i].x);  // x, y, z, nx
        const __m128 x = _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 0, 0, 0));
        const __m128 y = _mm_shuffle_ps(v, v, _MM_SHUFFLE(1, 1, 1, 1));
        const __m128 z = _mm_shuffle_ps(v, v, _MM_SHUFFLE(2, 2, 2, 2));
        const __m128 p = _mm_add_ps(
            _mm_add_ps(_mm_add_ps(_mm_mul_ps(x, row0), _mm_mul_ps(y, row1)), _mm_mul_ps(z, row2)), row3);
        _mm_storeu_ps(&out[i].x, p);
        codes[i] = static_cast<uint16_t>(ClipCodeLanes(p));
    }
}
#else
void TransformVertices(const VertexStage& s, const DeviceVertex* in, uint32_t count, ClipVertex* out,
                       uint16_t* codes) {
    const auto& m = s.worldViewProjection.m;
    for (uint32_t i = 0; i < count; ++i) {
        const DeviceVertex& v = in[i];
        ClipVertex& o = out[i];
        o.x = v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0];
        o.y = v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1];
        o.z = v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2];
        o.w = v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + m[3][3];
        codes[i] = static_cast<uint16_t>(ClipCode(o));
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
