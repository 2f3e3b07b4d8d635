#include "game/present/display.h"

#include <cstdio>

#include "platform/window.h"

namespace present {

namespace {

using platform::DrawSurface;

void Release(DrawSurface*& surface) {
    platform::ReleaseDrawSurface(surface);
    surface = nullptr;
}

int Create(DrawSurface*& surface, int width, int height, const platform::PixelFormat& format) {
    surface = platform::CreateDrawSurface(width, height, format);
    return surface != nullptr ? 0 : platform::kSurfaceOutOfMemory;
}

void LoadCursorFrames(Display& display) {
    for (int i = 0; i < kCursorFrameCount; ++i) {
        char path[32];
        std::snprintf(path, sizeof path, "Image/Mouse%02d.fni", i);
        LoadFni(display.cursorFrames[i], path, false);
    }
}

}  // namespace

int InitDisplay(Display& display, platform::GameWindow* window, uint32_t nowMs) {
    const int width = display.displayWidth;
    const int height = display.displayHeight;
    const platform::PixelFormat& format = display.pixelFormat;
    display.window = window;
    if (format.bitsPerPixel <= 8) {
        return kDisplayInvalidMode;
    }
    if (int r = Create(display.primarySurface, width, height, format); r != 0) {
        return r;
    }
    display.viewRect = {0, 0, width, height};
    display.screenRect = {0, 0, width, height};
    if (int r = Create(display.backBuffer, width, height, format); r != 0) {
        return r;
    }
    if (int r = Create(display.sceneCopySurface, width, height, format); r != 0) {
        return r;
    }
    if (int r = CreateSceneDevice(display); r != 0) {
        return r;
    }
    LoadCursorFrames(display);
    display.cursorFrameTime = nowMs;
    const FniImage& first = display.cursorFrames[0];
    // Without cursor pictures the system cursor stays visible, so the player can still point.
    const bool haveCursor = first.width > 0 && first.height > 0;
    if (haveCursor) {
        if (int r = Create(display.cursorSurface, first.width, first.height, format); r != 0) {
            return r;
        }
    }
    if (int r = Create(display.mapPanelSurface, display.mapPanelWidth, display.mapPanelHeight, format);
        r != 0) {
        return r;
    }
    platform::SetSourceColorKey(*display.mapPanelSurface, 0);
    display.cursorX = static_cast<int16_t>(width / 2);
    display.cursorY = static_cast<int16_t>(height / 2);
    if (window != nullptr) {
        platform::SetSystemCursorVisible(!haveCursor);
    }
    return 0;
}

void ReleaseDisplay(Display& display) {
    ReleaseSceneDevice(display);
    Release(display.backBuffer);
    Release(display.sceneCopySurface);
    Release(display.mapPanelSurface);
    Release(display.zBufferSurface);
    Release(display.cursorSurface);
    Release(display.primarySurface);
    for (FniImage& frame : display.cursorFrames) {
        FreeFni(frame);
    }
    if (display.window != nullptr) {
        platform::SetSystemCursorVisible(true);
    }
}

void RestoreSurfaces(Display& display) {
    for (DrawSurface* s : {display.primarySurface, display.backBuffer, display.sceneCopySurface,
                           display.zBufferSurface, display.cursorSurface}) {
        if (s != nullptr && platform::IsSurfaceLost(*s)) {
            platform::RestoreSurface(*s);
        }
    }
}

void AnimateCursor(Display& display, uint32_t nowMs) {
    if (display.cursorShown != 0 && nowMs - display.cursorFrameTime > 125) {
        display.cursorFrameTime = nowMs;
        display.cursorFrame = (display.cursorFrame + 1) % kCursorFrameCount;
    }
}

void RestoreBackground(Display& display) {
    RestoreRect(display, {0, 0, display.displayWidth, display.displayHeight});
}

void RestoreRect(Display& display, const platform::SurfaceRect& rect) {
    if (display.backBuffer != nullptr && display.sceneCopySurface != nullptr) {
        platform::CopyRect(*display.backBuffer, rect.left, rect.top, *display.sceneCopySurface, rect, false);
    }
}

void RestoreArea(Display& display, int x, int y, int width, int height) {
    RestoreRect(display, {x, y, x + width, y + height});
}

void SaveScene(Display& display) {
    if (display.backBuffer != nullptr && display.sceneCopySurface != nullptr) {
        platform::CopyRect(*display.sceneCopySurface, 0, 0, *display.backBuffer,
                           {0, 0, display.backBuffer->width, display.backBuffer->height}, false);
    }
}

}  // namespace present
