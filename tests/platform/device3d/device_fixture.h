#pragma once
// The fixture of the device's tests that draw through the public interface: a small target, its
// depth surface and a device, with helpers to place vertices by pixel and read pixels back.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/device3d.h"

namespace platform {

// A device over a 32-bit target (exact 8-bit channels) and a depth surface, lighting off, no depth
// test unless a test turns it on; vertices given in pixels map straight to the screen.
class DeviceTest : public testing::Test {
  protected:
    void SetUp() override { Make(16, 16, kXrgb8888); }
    void TearDown() override { Free(); }

    void Make(int width, int height, const PixelFormat& format) {
        Free();
        target = CreateDrawSurface(width, height, format);
        depth = CreateDrawSurface(width, height, kDepth16);
        device = CreateDevice3D(*target, DeviceKind::kSoftware);
        ASSERT_EQ(SetRenderTarget(*device, *target, depth), kDeviceOk);
        SetRenderState(*device, kRsLighting, 0);
        Clear(*device, nullptr, 0, kClearTarget | kClearZBuffer, 0, 1.0f);
    }
    void Free() {
        ReleaseDevice3D(device);
        ReleaseDrawSurface(target);
        ReleaseDrawSurface(depth);
        device = nullptr;
        target = depth = nullptr;
    }

    // A vertex at pixel (sx, sy) of the whole-target viewport with depth z, under identity transforms.
    DeviceVertex Pixel(float sx, float sy, float z = 0.5f, float u = 0, float v = 0) const {
        const float w = static_cast<float>(target->width), h = static_cast<float>(target->height);
        return {sx * 2.0f / w - 1.0f, 1.0f - sy * 2.0f / h, z, 0, 0, -1, u, v};
    }

    void Draw(const std::vector<DeviceVertex>& v, std::vector<uint16_t> idx = {}) {
        if (idx.empty()) {
            for (size_t i = 0; i < v.size(); ++i) {
                idx.push_back(static_cast<uint16_t>(i));
            }
        }
        ASSERT_EQ(BeginScene(*device), kDeviceOk);
        EXPECT_EQ(DrawIndexedPrimitive(*device, kPrimitiveTriangleList, kVertexFormatPositionNormalTex1,
                                       v.data(), static_cast<uint32_t>(v.size()), idx.data(),
                                       static_cast<uint32_t>(idx.size())),
                  kDeviceOk);
        ASSERT_EQ(EndScene(*device), kDeviceOk);
    }

    uint32_t Rgb(int x, int y) const { return ReadPixelRgb(*target, x, y); }
    uint16_t Depth(int x, int y) const {
        LockedPixels px;
        LockSurface(*depth, px);
        uint16_t v;
        std::memcpy(&v, px.bits + y * px.pitch + x * 2, 2);
        UnlockSurface(*depth);
        return v;
    }
    int CountLit() const {
        int n = 0;
        for (int y = 0; y < target->height; ++y) {
            for (int x = 0; x < target->width; ++x) {
                n += Rgb(x, y) != 0 ? 1 : 0;
            }
        }
        return n;
    }

    // The camera projection: w = z + 1, depth z / (z + 1), unit scales.
    void CameraProjection() {
        Matrix4 p;
        p.m[0][0] = 1;
        p.m[1][1] = 1;
        p.m[2][2] = 1;
        p.m[2][3] = 1;
        p.m[3][3] = 1;
        SetTransform(*device, TransformType::kProjection, p);
    }

    // Additive blending of 0x33 red: a pixel's red channel counts how often it was drawn.
    void AddRedOnEveryDraw() {
        SetRenderState(*device, kRsAlphaBlendEnable, 1);
        SetRenderState(*device, kRsSrcBlend, kBlendOne);
        SetRenderState(*device, kRsDestBlend, kBlendOne);
        SetRenderState(*device, kRsLighting, 1);
        DeviceMaterial m;
        m.emissive = {0.2f, 0, 0, 1};
        SetMaterial(*device, m);
    }

    DrawSurface* target = nullptr;
    DrawSurface* depth = nullptr;
    Device3D* device = nullptr;
};

}  // namespace platform
