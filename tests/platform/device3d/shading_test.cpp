// How the pixels of a triangle are shaded: depth, lighting, fog, alpha test and blending.

#include <gtest/gtest.h>

#include <vector>

#include "tests/platform/device3d/device_fixture.h"

namespace platform {
namespace {

TEST_F(DeviceTest, WritesCameraDepthAndTestsLessOrEqual) {
    CameraProjection();
    SetRenderState(*device, kRsZEnable, 1);
    // A wall facing the viewer at view depth z covers the centre; depth there is z / (z + 1).
    auto wall = [&](float z, float red) {
        DeviceMaterial m;
        m.emissive = {red, 0, 0, 1};
        SetRenderState(*device, kRsLighting, 1);
        SetMaterial(*device, m);
        const float s = z + 1;  // so the wall spans the view at any depth
        Draw({{-s, s, z, 0, 0, -1, 0, 0},
              {s, s, z, 0, 0, -1, 0, 0},
              {-s, -s, z, 0, 0, -1, 0, 0},
              {s, -s, z, 0, 0, -1, 0, 0}},
             {0, 1, 2, 2, 1, 3});
    };
    wall(3.0f, 1.0f);
    EXPECT_EQ(Depth(8, 8), 49151);  // 0.75 * 65535
    EXPECT_EQ(Rgb(8, 8), 0xFF0000u);
    wall(7.0f, 0.5f);  // behind: hidden
    EXPECT_EQ(Rgb(8, 8), 0xFF0000u);
    EXPECT_EQ(Depth(8, 8), 49151);
    wall(3.0f, 0.5f);  // equal depth passes
    EXPECT_EQ(Rgb(8, 8), 0x800000u);
    wall(1.0f, 0.25f);
    EXPECT_EQ(Depth(8, 8), 32768);  // 0.5 * 65535, rounded
    EXPECT_EQ(Rgb(8, 8), 0x400000u);
}

TEST_F(DeviceTest, LightsByDirectionalLightAndAmbient) {
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsAmbient, 0x00202020);
    DeviceMaterial m;
    m.diffuse = {0.5f, 1.0f, 0.25f, 1.0f};
    m.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    SetMaterial(*device, m);
    DeviceLight sun;
    sun.type = kLightDirectional;
    sun.diffuse = {1.0f, 0.5f, 1.0f, 1.0f};
    sun.direction = {0.0f, -2.0f, 0.0f};  // shining straight down; length does not matter
    ASSERT_EQ(SetLight(*device, 0, sun), kDeviceOk);
    LightEnable(*device, 0, true);
    auto litWith = [&](float nx, float ny, float nz) {
        std::vector<DeviceVertex> v = {Pixel(0, 0), Pixel(16, 0), Pixel(0, 16)};
        for (DeviceVertex& p : v) {
            p.nx = nx;
            p.ny = ny;
            p.nz = nz;
        }
        Draw(v);
        return Rgb(2, 2);
    };
    // N . L = 0.8: colour = diffuse x light x 0.8 + ambient 32/255.
    EXPECT_EQ(litWith(0.6f, 0.8f, 0.0f), 0x868653u);
    EXPECT_EQ(litWith(0.0f, -1.0f, 0.0f), 0x202020u);  // facing away: ambient only
    LightEnable(*device, 0, false);
    EXPECT_EQ(litWith(0.0f, 1.0f, 0.0f), 0x202020u);
    SetRenderState(*device, kRsLighting, 0);
    EXPECT_EQ(litWith(0.0f, -1.0f, 0.0f), 0xFFFFFFu);  // unlit: white
}

TEST_F(DeviceTest, PointLightsAndHighlightsDependOnWhereTheVertexIs) {
    // Under identity transforms a vertex's world position is its clip position; the camera sits at
    // the origin looking along +z and every normal faces it.
    SetRenderState(*device, kRsLighting, 1);
    DeviceMaterial m;
    m.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    m.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    m.power = 20.0f;
    SetMaterial(*device, m);
    // A point light just in front of the top-left corner reaches only the triangle there.
    DeviceLight bulb;
    bulb.type = kLightPoint;
    bulb.diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    bulb.position = {-0.75f, 0.75f, 0.0f};
    bulb.range = 0.8f;
    bulb.attenuation0 = 1.0f;
    ASSERT_EQ(SetLight(*device, 0, bulb), kDeviceOk);
    LightEnable(*device, 0, true);
    Draw({Pixel(1, 1), Pixel(4, 1), Pixel(1, 4), Pixel(11, 11), Pixel(14, 11), Pixel(11, 14)});
    EXPECT_GT(Rgb(2, 2) >> 16, 0xD0u);
    EXPECT_EQ(Rgb(12, 12), 0u);
    // A highlight from a light behind the camera: strongest where the view meets the surface
    // straight on (the centre), weak towards the corners.
    Clear(*device, nullptr, 0, kClearTarget, 0, 1.0f);
    DeviceLight sun;
    sun.type = kLightDirectional;
    sun.specular = {1.0f, 1.0f, 1.0f, 1.0f};
    sun.direction = {0.0f, 0.0f, 1.0f};
    ASSERT_EQ(SetLight(*device, 0, sun), kDeviceOk);
    SetRenderState(*device, kRsSpecularEnable, 1);
    m.diffuse = {0.0f, 0.0f, 0.0f, 1.0f};
    SetMaterial(*device, m);
    Draw({Pixel(8, 8), Pixel(0, 0), Pixel(16, 0), Pixel(16, 16), Pixel(0, 16)},
         {0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4, 1});
    EXPECT_GT(Rgb(8, 8) >> 16, 0xE0u);
    EXPECT_LT(Rgb(1, 1) >> 16, 0x40u);
}

TEST_F(DeviceTest, LinearVertexFogByViewDepth) {
    CameraProjection();
    SetRenderState(*device, kRsFogEnable, 1);
    SetRenderState(*device, kRsFogColor, 0x000000);
    SetRenderState(*device, kRsFogVertexMode, kFogLinear);
    SetRenderState(*device, kRsFogStart, FloatState(1.0f));
    SetRenderState(*device, kRsFogEnd, FloatState(1500.0f));
    auto fogged = [&](float z) {
        const float s = z + 1;
        Draw({{-s, s, z, 0, 0, -1, 0, 0}, {s, s, z, 0, 0, -1, 0, 0}, {-s, -s, z, 0, 0, -1, 0, 0}});
        return Rgb(4, 4) & 0xFF;
    };
    EXPECT_EQ(fogged(751.0f), 127u);  // (1500 - 751) / 1499 of white
    EXPECT_EQ(fogged(0.5f), 255u);    // nearer than the start: no fog
    EXPECT_EQ(fogged(1600.0f), 0u);   // beyond the end: all fog colour
}

TEST_F(DeviceTest, AlphaTestAtReferenceEightKeepsColourAndDepthOfRejectedPixels) {
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsZEnable, 1);
    SetRenderState(*device, kRsAlphaTestEnable, 1);
    SetRenderState(*device, kRsAlphaRef, 8);
    SetRenderState(*device, kRsAlphaFunc, kCmpGreaterEqual);
    SetTextureStageState(*device, 0, kTssAlphaArg1, kTaDiffuse);
    auto drawWithAlpha = [&](float alpha) {
        DeviceMaterial m;
        m.emissive = {1, 1, 1, 0};
        m.diffuse = {0, 0, 0, alpha};
        SetMaterial(*device, m);
        Draw({Pixel(0, 0, 0.25f), Pixel(16, 0, 0.25f), Pixel(0, 16, 0.25f)});
    };
    drawWithAlpha(7.0f / 255.0f);
    EXPECT_EQ(Rgb(2, 2), 0u);
    EXPECT_EQ(Depth(2, 2), 0xFFFF);
    drawWithAlpha(8.0f / 255.0f);
    EXPECT_EQ(Rgb(2, 2), 0xFFFFFFu);
    EXPECT_EQ(Depth(2, 2), 16384);
}

TEST_F(DeviceTest, BlendsSourceAlphaOverTheTarget) {
    const SurfaceRect all{0, 0, 16, 16};
    Clear(*device, &all, 1, kClearTarget, 0x00FF0000, 1.0f);
    SetRenderState(*device, kRsLighting, 1);
    SetRenderState(*device, kRsAlphaBlendEnable, 1);
    SetRenderState(*device, kRsSrcBlend, kBlendSrcAlpha);
    SetRenderState(*device, kRsDestBlend, kBlendInvSrcAlpha);
    SetTextureStageState(*device, 0, kTssAlphaArg1, kTaDiffuse);
    DeviceMaterial m;
    m.emissive = {1, 1, 1, 0};
    m.diffuse = {0, 0, 0, 128.0f / 255.0f};
    SetMaterial(*device, m);
    Draw({Pixel(0, 0), Pixel(16, 0), Pixel(0, 16)});
    EXPECT_EQ(Rgb(2, 2), 0xFF8080u);
    EXPECT_EQ(Rgb(15, 15), 0xFF0000u);
}

}  // namespace
}  // namespace platform
