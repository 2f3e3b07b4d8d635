// The 3D device renders into the back buffer with a depth surface of the picture's size: the
// device is made for the back buffer (the hardware kind first when asked for, the software kind
// once as the fallback), the depth format is the first one of the back buffer's depth or else of
// 16 bits, and the depth surface is attached as the device's render target pair.
#include "game/present/display.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/device3d.h"

namespace present {

namespace {

const platform::PixelFormat* FindDepthFormat(const std::vector<platform::PixelFormat>& formats, int bits) {
    for (const platform::PixelFormat& f : formats) {
        if (f.bitsPerPixel == bits) {
            return &f;
        }
    }
    return nullptr;
}

}  // namespace

int CreateSceneDevice(Display& display) {
    if (display.backBuffer == nullptr) {
        return platform::kSurfaceInvalidParams;
    }
    platform::DrawSurface& back = *display.backBuffer;
    if (display.useHardware3D != 0) {
        display.device = platform::CreateDevice3D(back, platform::DeviceKind::kHardware);
    }
    if (display.device == nullptr) {
        display.device = platform::CreateDevice3D(back, platform::DeviceKind::kSoftware);
    }
    if (display.device == nullptr) {
        return platform::kDeviceInvalidCall;
    }
    // The views are drawn by up to four threads, each drawing its own rows.
    platform::SetDeviceThreads(*display.device,
                               static_cast<int>(std::min(4u, std::thread::hardware_concurrency())));
    const std::vector<platform::PixelFormat> formats = platform::EnumZBufferFormats(*display.device);
    const platform::PixelFormat* depthFormat = FindDepthFormat(formats, back.format.bitsPerPixel);
    if (depthFormat == nullptr) {
        depthFormat = FindDepthFormat(formats, 16);
    }
    if (depthFormat == nullptr) {
        return kDisplayInvalidMode;
    }
    display.zBufferSurface =
        platform::CreateDrawSurface(display.displayWidth, display.displayHeight, *depthFormat);
    if (display.zBufferSurface == nullptr) {
        return platform::kSurfaceOutOfMemory;
    }
    return platform::SetRenderTarget(*display.device, back, display.zBufferSurface);
}

void ReleaseSceneDevice(Display& display) {
    platform::ReleaseDevice3D(display.device);
    display.device = nullptr;
}

}  // namespace present
