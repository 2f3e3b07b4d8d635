#include "game/present/present_plan.h"

#include <algorithm>

#include "game/present/display.h"

namespace present {

namespace {

using platform::SurfaceRect;

void Add(PresentPlan& plan, const SurfaceRect& r) {
    plan.strips[plan.stripCount++] = r;
}

}  // namespace

SurfaceRect CutCursorRect(int width, int height, int cursorX, int cursorY, int frameWidth, int frameHeight) {
    const int cw = std::max(0, std::min(frameWidth, width - cursorX));
    const int ch = std::max(0, std::min(frameHeight, height - cursorY));
    return {cursorX, cursorY, cursorX + cw, cursorY + ch};
}

PresentPlan PlanCursorPresent(int width, int height, int cursorX, int cursorY, int frameWidth,
                              int frameHeight) {
    PresentPlan plan;
    const SurfaceRect k = CutCursorRect(width, height, cursorX, cursorY, frameWidth, frameHeight);
    if (cursorY > 0) {
        Add(plan, {0, 0, width, cursorY});
    }
    if (cursorY + frameHeight < height) {
        Add(plan, {0, cursorY + frameHeight, width, height});
    }
    if (cursorX > 0) {
        Add(plan, {0, k.top, cursorX, k.bottom});
    }
    if (cursorX + frameWidth < width) {
        Add(plan, {cursorX + frameWidth, k.top, width, k.bottom});
    }
    plan.cursor = k;
    return plan;
}

PresentPlan PlanChatWindowPresent(int width, int height, int kx, int ky, int frameWidth, int frameHeight,
                                  bool loadingState) {
    PresentPlan plan;
    const int cl = kChatWindowLeft;
    const int ct = kChatWindowTop;
    const int cr = cl + kChatWindowWidth;
    const int cb = ct + kChatWindowHeight;
    const int kr = kx + frameWidth;
    const int kb = ky + frameHeight;
    if (ky != 0) {
        Add(plan, {0, 0, width, std::min(ky, ct)});
    }
    if (kx != 0 && ky < ct) {
        Add(plan, {0, ky, kx, std::min(kb, ct)});
    }
    if (kr < width && ky < ct) {
        Add(plan, {kr, ky, width, std::min(kb, ct)});
    }
    if (kb < ct) {
        Add(plan, {0, kb, width, ct});
    }
    Add(plan, {cr, ct, width, height});
    Add(plan, {0, ct, cl, cb});
    Add(plan, {0, cb, cr, height});
    if (loadingState) {
        Add(plan, {cl, ct, cr, cb});
    }
    SurfaceRect k = CutCursorRect(width, height, kx, ky, frameWidth, frameHeight);
    if (kx < cr) {
        if (k.top < ct) {
            k.bottom = std::min(k.bottom, ct);
        } else if (k.top < cb) {
            plan.cursorSourceTop = cb - k.top;
            k.top = std::min(cb, k.bottom);
        }
    }
    plan.cursor = k;
    return plan;
}

}  // namespace present
