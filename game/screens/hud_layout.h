#pragma once
// Where every control lies, which of them a view offers, and what a point in the picture hits.
// Pure: the rectangles come from the layout table and the pictures' sizes.

#include "game/screens/hud_sprites.h"
#include "game/screens/hud_state.h"
#include "game/screens/hud_view.h"

namespace screens {

struct HudHit {
    HudControl control = HudControl::None;
    int index = -1;  // the club of ClubEntry, the row of MacroRow

    bool operator==(const HudHit&) const = default;
};

struct HudRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// 1 when left <= x < left + width and top <= y < top + height.
bool HitTest(int x, int y, int left, int top, int width, int height);
inline bool HitTest(int x, int y, const HudRect& rect) {
    return HitTest(x, y, rect.left, rect.top, rect.width, rect.height);
}

// Top-left corner where a button's picture is drawn (the layout table), or (0, 0) for controls
// without a picture of their own.
void ControlOrigin(HudControl control, int& x, int& y);
// The hit rectangle of a control (index: club or macro row). Empty when the control's picture is
// missing.
HudRect ControlRect(const HudSprites& sprites, HudControl control, int index);
// The centre of a control's hit rectangle, for the built-in player. False when it has no area.
bool ControlCentre(const HudSprites& sprites, HudControl control, int index, int& x, int& y);

// Whether the view offers the control now (buttons shown and live).
bool ControlOffered(const HudState& state, const HudView& view, HudControl control);

// The club entry of the open pop-up under the point, -1 when none: the first rectangle that
// holds it, skipping the putter on the tee and every club but the putter on the green.
int HoveredClub(int lieClass, int x, int y);
// The pop-up's club rectangles in picture coordinates.
HudRect ClubEntryRect(int club);

// What a click at (x, y) would hit, tried in the order the clicks are handled: the quick-chat
// menu and button, bite, spin steps, toggles, give, power shot, close, shot, club, map panel and
// the 3D view above the control bar. With the club pop-up open only its entries count.
HudHit HitTestHud(const HudState& state, const HudSprites& sprites, const HudView& view, int x, int y);

// One spin choice moved by delta within 0-4.
void StepSpin(int& value, int delta);

}  // namespace screens
