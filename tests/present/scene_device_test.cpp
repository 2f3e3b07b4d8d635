#include <gtest/gtest.h>

#include "game/present/display.h"
#include "platform/device3d.h"

namespace {

// The device draws into the back buffer with a 16-bit depth surface of the picture's size, whatever
// the back buffer's depth, and with either device kind.
TEST(SceneDevice, PairsTheBackBufferWithASixteenBitDepthSurface) {
    for (const platform::PixelFormat& format : {platform::kRgb565, platform::kXrgb8888}) {
        for (int hardware : {0, 1}) {
            present::Display display;
            display.displayWidth = 32;
            display.displayHeight = 24;
            display.useHardware3D = hardware;
            display.backBuffer = platform::CreateDrawSurface(32, 24, format);
            ASSERT_EQ(present::CreateSceneDevice(display), 0);
            ASSERT_NE(display.device, nullptr);
            ASSERT_NE(display.zBufferSurface, nullptr);
            EXPECT_EQ(display.zBufferSurface->format.bitsPerPixel, 16);
            EXPECT_EQ(display.zBufferSurface->width, 32);
            EXPECT_EQ(display.device->target, display.backBuffer);
            EXPECT_EQ(display.device->depth, display.zBufferSurface);
            EXPECT_EQ(platform::GetCaps(*display.device).kind,
                      hardware != 0 ? platform::DeviceKind::kHardware : platform::DeviceKind::kSoftware);

            platform::Clear(*display.device, nullptr, 0, platform::kClearTarget, 0x00FF0000, 1.0f);
            EXPECT_EQ(platform::ReadPixelRgb(*display.backBuffer, 31, 23), 0xFF0000u);

            present::ReleaseSceneDevice(display);
            EXPECT_EQ(display.device, nullptr);
            present::ReleaseDisplay(display);
        }
    }
}

TEST(SceneDevice, RefusesToStartWithoutABackBuffer) {
    present::Display display;
    EXPECT_NE(present::CreateSceneDevice(display), 0);
    EXPECT_EQ(display.device, nullptr);
}

}  // namespace
