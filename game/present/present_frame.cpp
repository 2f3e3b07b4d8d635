#include "game/present/display.h"
#include "game/present/present_plan.h"
#include "platform/window.h"

namespace present {

namespace {

using platform::SurfaceRect;

// Copies a rectangle of the back buffer to the same place of the picture on the primary surface.
int CopyToScreen(Display& d, const SurfaceRect& r) {
    return platform::CopyRect(*d.primarySurface, d.screenRect.left + r.left, d.screenRect.top + r.top,
                              *d.backBuffer, r, false);
}

// Composes the cursor over the picture under it in the cursor surface and copies that to the
// screen, so the back buffer never holds the cursor.
int PresentCursor(Display& d, const PresentPlan& plan) {
    const SurfaceRect& k = plan.cursor;
    if (k.left >= k.right || k.top >= k.bottom) {
        return 0;
    }
    platform::DrawSurface& cursor = *d.cursorSurface;
    const int sourceTop = plan.cursorSourceTop;
    if (int r = platform::CopyRect(cursor, 0, sourceTop, *d.backBuffer, k, false); r != 0) {
        return r;
    }
    if (d.cursorShown != 0) {
        const SurfaceRect frameRect{0, 0, k.right - k.left, sourceTop + k.bottom - k.top};
        DrawFni(cursor, d.cursorFrames[d.cursorFrame % kCursorFrameCount], 0, 0, &frameRect);
    }
    const SurfaceRect part{0, sourceTop, k.right - k.left, sourceTop + k.bottom - k.top};
    return platform::CopyRect(*d.primarySurface, d.screenRect.left + k.left, d.screenRect.top + k.top, cursor,
                              part, false);
}

int Present(Display& d, bool loadingState) {
    if (d.primarySurface == nullptr || d.backBuffer == nullptr) {
        return 0;
    }
    const int width = d.viewRect.right - d.viewRect.left;
    const int height = d.viewRect.bottom - d.viewRect.top;
    const bool haveCursor = d.cursorSurface != nullptr;
    const int frameWidth = haveCursor ? d.cursorFrames[0].width : 0;
    const int frameHeight = haveCursor ? d.cursorFrames[0].height : 0;
    PresentPlan plan;
    if (d.systemChatWindow != 0) {
        plan =
            PlanChatWindowPresent(width, height, d.cursorX, d.cursorY, frameWidth, frameHeight, loadingState);
    } else if (d.cursorShown == 0 || !haveCursor) {
        plan.strips[plan.stripCount++] = d.viewRect;
    } else {
        plan = PlanCursorPresent(width, height, d.cursorX, d.cursorY, frameWidth, frameHeight);
    }
    for (int i = 0; i < plan.stripCount; ++i) {
        if (int r = CopyToScreen(d, plan.strips[i]); r != 0) {
            return r;
        }
    }
    if (haveCursor) {
        if (int r = PresentCursor(d, plan); r != 0) {
            return r;
        }
    }
    if (d.window != nullptr) {
        platform::ShowPicture(*d.window, *d.primarySurface);
    }
    return 0;
}

}  // namespace

int PresentFrame(Display& display, bool loadingState) {
    const int result = Present(display, loadingState);
    if (result == platform::kSurfaceLost) {
        RestoreSurfaces(display);
    }
    return result;
}

}  // namespace present
