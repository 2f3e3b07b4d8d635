#pragma once
// The HUD state's changes: hover, the club pop-up's phases, the view toggles, and the swing
// gauge's frame.

#include <cstdint>

#include "game/screens/hud_layout.h"

namespace screens {

// Sets the hover flags (and, with the pop-up open, the hovered club; with the quick-chat menu
// open, the hovered row) for the point. True when any of them changed, so the controls need a redraw.
bool UpdateHudHover(HudState& state, const HudSprites& sprites, const HudView& view, int x, int y);

// The club pop-up: opening and closing each run three frames, one every 1000/15 ms.
void OpenClubMenu(HudState& state, uint32_t nowMs);
void CloseClubMenu(HudState& state, uint32_t nowMs);
// Moves the animation on; true when the frame or phase changed.
bool AdvanceClubMenu(HudState& state, uint32_t nowMs);

// A view toggle flipped by a click. Off the local player's turn the toggle is hidden until it is
// offered again (RearmToggles).
void PressToggle(HudState& state, HudControl toggle, bool localTurn, uint32_t nowMs);
// Offers hidden toggles again on the local player's turn, or 4000 ms after their press.
void RearmToggles(HudState& state, bool localTurn, uint32_t nowMs);

// The gauge frame at time now for a swing started at startMs rising at rate units per second; once
// falling (after the power click at topMs) it runs back symmetrically. Always within 0-120.
int GaugeFrame(uint32_t startMs, uint32_t topMs, uint32_t nowMs, uint32_t rate, bool falling);

// The wind sheet cell for the camera heading and the wind (radians, speed): column = strength
// 0-4, row = direction 0-15. False when the wind is calm (below 0.4): "NoWind" is shown instead.
bool WindCell(float viewHeading, float windDirection, float windSpeed, int& column, int& row);

// The aim target was set by a click: the slope panels show for the next 3000 ms.
void NoteTargetClicked(HudState& state, uint32_t nowMs);
// Whether the slope panels show: within 3000 ms of a target click, or always on the green; never
// for an observer.
bool SlopesShown(const HudState& state, bool onGreen, bool observer, uint32_t nowMs);
// True once, at the first call 3000 ms or more after a target click: the panels must be taken away.
bool SlopesRunOut(HudState& state, uint32_t nowMs);
// A spin step button was clicked: it shows pressed for a moment (a click has no release here).
void PressStep(HudState& state, HudControl step, uint32_t nowMs);
// True once, when the pressed step button is to be drawn released again.
bool StepReleased(HudState& state, uint32_t nowMs);

// The target marker's frame for the view depth w: trunc(9 w / 100) below 100, else 8.
int TargetFrame(float depth);

}  // namespace screens
