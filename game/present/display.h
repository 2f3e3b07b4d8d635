#pragma once
// The display: the fixed set of drawing surfaces, the picture's presentation with the software
// mouse cursor composed on the way, and the 3D device's place in it. One record per client.

#include <cstdint>

#include "game/present/fni_image.h"
#include "platform/draw_surface.h"

namespace platform {
struct GameWindow;
struct Device3D;
}  // namespace platform

namespace present {

inline constexpr int kCursorFrameCount = 3;
// Failure codes of InitDisplay besides the surface codes of platform/draw_surface.h.
inline constexpr int kDisplayInvalidMode = -4;

// The visible chat input over the picture (when the chat input is a window of its own).
inline constexpr int kChatWindowLeft = 11;
inline constexpr int kChatWindowTop = 570;
inline constexpr int kChatWindowWidth = 403;
inline constexpr int kChatWindowHeight = 20;

struct Display {
    // Settings, made before InitDisplay.
    int windowed = 1;
    int displayWidth = 800;
    int displayHeight = 600;
    int displayBits = 16;
    int useHardware3D = 1;
    int cursorShown = 0;       // the cursor is drawn (and animated) only while set
    int systemChatWindow = 0;  // the chat input is a visible window over the picture
    int mapPanelX = 630;
    int mapPanelY = 10;
    int mapPanelWidth = 160;
    int mapPanelHeight = 300;
    platform::PixelFormat pixelFormat = platform::kRgb565;

    platform::SurfaceRect viewRect{};    // the picture in back-buffer coordinates
    platform::SurfaceRect screenRect{};  // where the picture lies on the primary surface

    platform::GameWindow* window = nullptr;  // nullptr: nothing is shown (tests, tools)
    platform::DrawSurface* primarySurface = nullptr;
    platform::DrawSurface* backBuffer = nullptr;
    platform::DrawSurface* sceneCopySurface = nullptr;
    platform::DrawSurface* mapPanelSurface = nullptr;
    platform::DrawSurface* cursorSurface = nullptr;
    platform::DrawSurface* zBufferSurface = nullptr;
    platform::Device3D* device = nullptr;

    FniImage cursorFrames[kCursorFrameCount];
    int cursorFrame = 0;
    uint32_t cursorFrameTime = 0;
    int16_t cursorX = 0;
    int16_t cursorY = 0;
};

// Creates the surface set, the 3D device and the cursor for the window (which may be nullptr).
// Stops at the first failure and returns its code; what was created stays for ReleaseDisplay.
int InitDisplay(Display& display, platform::GameWindow* window, uint32_t nowMs);
// Releases everything InitDisplay made (any part may be missing) and shows the system cursor.
void ReleaseDisplay(Display& display);
// Restores lost surfaces; their contents are not redrawn.
void RestoreSurfaces(Display& display);

// Presents the back buffer with the cursor. loadingState: the game shows its loading picture, which
// also covers the place of a visible chat window. Restores the surfaces when one was lost.
int PresentFrame(Display& display, bool loadingState);
// Moves the cursor animation on when more than 125 ms passed since the last step.
void AnimateCursor(Display& display, uint32_t nowMs);

// The back buffer from, or into, the copy of the rendered scene.
void RestoreBackground(Display& display);
void RestoreRect(Display& display, const platform::SurfaceRect& rect);
void RestoreArea(Display& display, int x, int y, int width, int height);
void SaveScene(Display& display);

// The 3D device and its depth surface on the back buffer. Returns 0 or a failure code; the
// surfaces it makes are released by ReleaseDisplay, the device by ReleaseSceneDevice.
int CreateSceneDevice(Display& display);
void ReleaseSceneDevice(Display& display);

}  // namespace present
