#pragma once
// A test scene for the 3D device: a hilly, lit, textured and fogged terrain of 160 x 160 cells
// (51,200 triangles) with a few hundred alpha-tested tree billboards, seen from the main camera
// (800 x 600) or the inset camera (236 x 176 at 550, 410).

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/device3d.h"

namespace scene_demo {

using platform::DeviceVertex;
using platform::Vec3;

inline float Height(float x, float z) {
    return 3.0f * std::sin(x * 0.05f) * std::cos(z * 0.04f) + 1.5f * std::sin(z * 0.11f + 1.0f) +
           0.02f * (z > 0 ? z : 0);
}

inline Vec3 NormalAt(float x, float z) {
    const float e = 0.1f;
    const float dx = (Height(x + e, z) - Height(x - e, z)) / (2 * e);
    const float dz = (Height(x, z + e) - Height(x, z - e)) / (2 * e);
    return platform::Normalize(Vec3{-dx, 1.0f, -dz});
}

inline uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

// Writes 0xAARRGGBB texels into a 16-bit texture surface.
template <typename Texel>
void FillTexture(platform::DeviceTexture& tex, Texel texel) {
    platform::LockedPixels px;
    platform::LockSurface(*tex.surface, px);
    const platform::PixelFormat& f = px.format;
    for (int y = 0; y < px.height; ++y) {
        for (int x = 0; x < px.width; ++x) {
            const uint32_t c = texel(x, y);
            uint32_t v = 0;
            if (f.greenMask == 0x07E0) {
                v = ((c >> 19) & 31) << 11 | ((c >> 10) & 63) << 5 | ((c >> 3) & 31);
            } else {
                v = ((c >> 19) & 31) << 10 | ((c >> 11) & 31) << 5 | ((c >> 3) & 31);
                v |= (c >> 24) >= 128 ? f.alphaMask : 0;
            }
            const auto v16 = static_cast<uint16_t>(v);
            std::memcpy(px.bits + y * px.pitch + x * 2, &v16, 2);
        }
    }
    platform::UnlockSurface(*tex.surface);
}

struct Scene {
    std::vector<DeviceVertex> terrain;
    std::vector<uint16_t> terrainIndices;
    std::vector<DeviceVertex> trees;
    std::vector<uint16_t> treeIndices;
    platform::DeviceTexture* grass = nullptr;
    platform::DeviceTexture* tree = nullptr;
    Vec3 ball;

    Scene() {
        const int cells = 160;
        const float size = 2.5f, x0 = -200.0f, z0 = -20.0f;
        for (int j = 0; j <= cells; ++j) {
            for (int i = 0; i <= cells; ++i) {
                const float x = x0 + static_cast<float>(i) * size, z = z0 + static_cast<float>(j) * size;
                const Vec3 n = NormalAt(x, z);
                terrain.push_back({x, Height(x, z), z, n.x, n.y, n.z, x / 10.0f, z / 10.0f});
            }
        }
        for (int j = 0; j < cells; ++j) {
            for (int i = 0; i < cells; ++i) {
                const auto a = static_cast<uint16_t>(j * (cells + 1) + i);
                const auto b = static_cast<uint16_t>(a + 1), c = static_cast<uint16_t>(a + cells + 1),
                           d = static_cast<uint16_t>(c + 1);
                // Clockwise as seen from above with z running up the screen.
                terrainIndices.insert(terrainIndices.end(), {c, d, a, a, d, b});
            }
        }
        for (int k = 0; k < 300; ++k) {
            const float x = static_cast<float>(static_cast<int>(Hash(k * 2u + 1) % 300u) - 150);
            const float z = 12.0f + static_cast<float>(Hash(k * 2u + 2) % 360u);
            if (std::fabs(x) < 12.0f) {
                continue;  // keep the fairway open
            }
            const float y = Height(x, z), w = 3.0f, h = 8.0f;
            const auto base = static_cast<uint16_t>(trees.size());
            trees.push_back({x - w, y + h, z, 0, 0, -1, 0, 0});
            trees.push_back({x + w, y + h, z, 0, 0, -1, 1, 0});
            trees.push_back({x - w, y, z, 0, 0, -1, 0, 1});
            trees.push_back({x + w, y, z, 0, 0, -1, 1, 1});
            treeIndices.insert(treeIndices.end(),
                               {base, static_cast<uint16_t>(base + 1), static_cast<uint16_t>(base + 2),
                                static_cast<uint16_t>(base + 2), static_cast<uint16_t>(base + 1),
                                static_cast<uint16_t>(base + 3)});
        }
        grass = platform::CreateDeviceTexture(256, 256, platform::kRgb565);
        FillTexture(*grass, [](int x, int y) {
            const uint32_t n = Hash(static_cast<uint32_t>(y * 256 + x)) % 40u;
            const uint32_t stripe = ((x / 32) % 2) * 18u;
            return 0xFF000000u | (40u + n / 2) << 16 | (120u + n + stripe) << 8 | (30u + n / 3);
        });
        tree = platform::CreateDeviceTexture(64, 128, platform::kArgb1555);
        FillTexture(*tree, [](int x, int y) -> uint32_t {
            const float dx = (static_cast<float>(x) - 31.5f) / 30.0f,
                        dy = (static_cast<float>(y) - 50.0f) / 48.0f;
            if (dx * dx + dy * dy < 1.0f) {
                const uint32_t n = Hash(static_cast<uint32_t>(y * 64 + x)) % 50u;
                return 0xFF000000u | (20u + n / 3) << 16 | (80u + n) << 8 | 25u;
            }
            if (y >= 90 && x >= 28 && x <= 35) {
                return 0xFF5A3C1Eu;
            }
            return 0x00FF00FFu;  // transparent
        });
        ball = {0.0f, Height(0.0f, 0.0f), 0.0f};
    }
    ~Scene() {
        platform::ReleaseDeviceTexture(grass);
        platform::ReleaseDeviceTexture(tree);
    }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
};

inline platform::Matrix4 LookAt(Vec3 eye, Vec3 at) {
    const Vec3 d = platform::Normalize(at - eye);
    Vec3 u = Vec3{0, 1, 0} - d * d.y;
    u = platform::Normalize(u);
    const Vec3 r{u.y * d.z - u.z * d.y, u.z * d.x - u.x * d.z, u.x * d.y - u.y * d.x};
    platform::Matrix4 m;
    m.m[0][0] = r.x;
    m.m[0][1] = u.x;
    m.m[0][2] = d.x;
    m.m[1][0] = r.y;
    m.m[1][1] = u.y;
    m.m[1][2] = d.y;
    m.m[2][0] = r.z;
    m.m[2][1] = u.z;
    m.m[2][2] = d.z;
    m.m[3][0] = -(eye.x * r.x + eye.y * r.y + eye.z * r.z);
    m.m[3][1] = -(eye.x * u.x + eye.y * u.y + eye.z * u.z);
    m.m[3][2] = -(eye.x * d.x + eye.y * d.y + eye.z * d.z);
    m.m[3][3] = 1;
    return m;
}

inline platform::Matrix4 Projection(float sx, float sy) {
    platform::Matrix4 p;
    p.m[0][0] = sx;
    p.m[1][1] = sy;
    p.m[2][2] = 1;
    p.m[2][3] = 1;
    p.m[3][3] = 1;
    return p;
}

// The states a loaded hole leaves on the device, with a sun and a fill light.
inline void SetUpDevice(platform::Device3D& d) {
    using namespace platform;
    SetRenderState(d, kRsAmbient, 0);
    SetRenderState(d, kRsZEnable, 1);
    SetRenderState(d, kRsLighting, 1);
    SetRenderState(d, kRsShadeMode, kShadeGouraud);
    SetRenderState(d, kRsDitherEnable, 1);
    SetTextureStageState(d, 0, kTssColorArg1, kTaTexture);
    SetTextureStageState(d, 0, kTssColorArg2, kTaDiffuse);
    SetTextureStageState(d, 0, kTssColorOp, kTopModulate);
    SetTextureStageState(d, 0, kTssAlphaOp, kTopSelectArg1);
    SetTextureStageState(d, 0, kTssAlphaArg1, kTaTexture);
    DeviceLight sun;
    sun.type = kLightDirectional;
    sun.diffuse = {1.0f, 0.95f, 0.85f, 1.0f};
    sun.direction = {0.4f, -1.0f, 0.6f};
    sun.attenuation0 = 1;
    SetLight(d, 0, sun);
    LightEnable(d, 0, true);
    DeviceLight fill = sun;
    fill.diffuse = {0.35f, 0.35f, 0.45f, 1.0f};
    fill.direction = {-0.4f, -0.5f, -0.6f};
    SetLight(d, 1, fill);
    LightEnable(d, 1, true);
    DeviceMaterial white;
    white.diffuse = {1, 1, 1, 1};
    white.ambient = {1, 1, 1, 1};
    SetMaterial(d, white);
}

inline void DrawGroup(platform::Device3D& d, const std::vector<DeviceVertex>& v,
                      const std::vector<uint16_t>& i) {
    platform::DrawIndexedPrimitive(
        d, platform::kPrimitiveTriangleList, platform::kVertexFormatPositionNormalTex1, v.data(),
        static_cast<uint32_t>(v.size()), i.data(), static_cast<uint32_t>(i.size()));
}

// Draws the scene into the current viewport: clear, terrain (bilinear), then the trees (point
// sampled, alpha tested at 8 and blended).
inline void DrawScene(platform::Device3D& d, const Scene& s) {
    using namespace platform;
    SetRenderState(d, kRsFogEnable, 1);
    SetRenderState(d, kRsFogColor, 0xFFFFFF);
    SetRenderState(d, kRsFogTableMode, kFogNone);
    SetRenderState(d, kRsFogVertexMode, kFogLinear);
    SetRenderState(d, kRsFogStart, FloatState(1.0f));
    SetRenderState(d, kRsFogEnd, FloatState(1500.0f));
    const DeviceViewport vp = GetViewport(d);
    const SurfaceRect r{vp.x, vp.y, vp.x + vp.width, vp.y + vp.height};
    Clear(d, &r, 1, kClearTarget | kClearZBuffer, 0x00D0E0FF, 1.0f);
    BeginScene(d);
    SetTextureStageState(d, 0, kTssMinFilter, kFilterLinear);
    SetTextureStageState(d, 0, kTssMagFilter, kFilterLinear);
    SetTexture(d, 0, s.grass);
    DrawGroup(d, s.terrain, s.terrainIndices);
    SetRenderState(d, kRsAlphaRef, 8);
    SetRenderState(d, kRsAlphaTestEnable, 1);
    SetRenderState(d, kRsAlphaFunc, kCmpGreaterEqual);
    SetRenderState(d, kRsAlphaBlendEnable, 1);
    SetRenderState(d, kRsSrcBlend, kBlendSrcAlpha);
    SetRenderState(d, kRsDestBlend, kBlendInvSrcAlpha);
    SetTextureStageState(d, 0, kTssMinFilter, kFilterPoint);
    SetTextureStageState(d, 0, kTssMagFilter, kFilterPoint);
    SetTexture(d, 0, s.tree);
    DrawGroup(d, s.trees, s.treeIndices);
    SetRenderState(d, kRsAlphaBlendEnable, 0);
    SetRenderState(d, kRsAlphaTestEnable, 0);
    SetTexture(d, 0, nullptr);
    EndScene(d);
}

inline void PlaceMainCamera(platform::Device3D& d, const Scene& s) {
    using namespace platform;
    const Vec3 eye{s.ball.x, s.ball.y + 2.56f, s.ball.z - 8.0f};
    const Vec3 at{s.ball.x, s.ball.y + 2.16f, s.ball.z};
    SetTransform(d, TransformType::kWorld, IdentityMatrix());
    SetTransform(d, TransformType::kView, LookAt(eye, at));
    SetTransform(d, TransformType::kProjection, Projection(2.38648f, 3.26042f));
    SetViewport(d, {0, 0, 800, 600, 0.0f, 1.0f});
}

inline void PlaceInsetCamera(platform::Device3D& d, const Scene& s) {
    using namespace platform;
    const Vec3 p{s.ball.x + 3.0f, s.ball.y + 25.0f, s.ball.z + 120.0f};  // a ball in flight
    const Vec3 eye{p.x, p.y + 3.0f, p.z - 5.0f};
    SetTransform(d, TransformType::kWorld, IdentityMatrix());
    SetTransform(d, TransformType::kView, LookAt(eye, p));
    SetTransform(d, TransformType::kProjection, Projection(1.55557f, 1.55557f));
    SetViewport(d, {550, 410, 236, 176, 0.0f, 1.0f});
}

}  // namespace scene_demo
