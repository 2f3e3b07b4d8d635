#include "game/screens/hud_controls.h"

#include <algorithm>
#include <cmath>

namespace screens {
namespace {

constexpr uint32_t kMenuFrameMs = 1000 / 15;
constexpr uint32_t kToggleRearmMs = 4000;
constexpr int kMaxGaugeFrame = 120;

}  // namespace

bool UpdateHudHover(HudState& state, const HudSprites& sprites, const HudView& view, int x, int y) {
    bool changed = false;
    if (state.menuPhase == ClubMenuPhase::Open) {
        const int club = HoveredClub(view.lieClass, x, y);
        changed = club != state.hoveredClub;
        state.hoveredClub = club;
        return changed;
    }
    if (state.macroMenuOpen) {
        int row = -1;
        for (int r = 0; r < kHudMacroRows && row < 0; ++r) {
            row = HitTest(x, y, ControlRect(sprites, HudControl::MacroRow, r)) ? r : -1;
        }
        changed = row != state.hoveredMacroRow;
        state.hoveredMacroRow = row;
    }
    for (int i = 1; i < kHudControlCount; ++i) {
        const auto control = static_cast<HudControl>(i);
        if (control == HudControl::ClubEntry || control == HudControl::MacroRow ||
            control == HudControl::View3D) {
            continue;
        }
        const bool over =
            ControlOffered(state, view, control) && HitTest(x, y, ControlRect(sprites, control, -1));
        changed = changed || over != state.hover[i];
        state.hover[i] = over;
    }
    return changed;
}

void OpenClubMenu(HudState& state, uint32_t nowMs) {
    state.menuPhase = ClubMenuPhase::Opening;
    state.menuFrame = 0;
    state.menuFrameMs = nowMs;
    state.hoveredClub = -1;
}

void CloseClubMenu(HudState& state, uint32_t nowMs) {
    if (state.menuPhase == ClubMenuPhase::Closed || state.menuPhase == ClubMenuPhase::Closing) {
        return;  // a click while it folds away must not start the folding again
    }
    state.menuPhase = ClubMenuPhase::Closing;
    state.menuFrame = kClubMenuFrames - 1;
    state.menuFrameMs = nowMs;
}

bool AdvanceClubMenu(HudState& state, uint32_t nowMs) {
    const bool animating =
        state.menuPhase == ClubMenuPhase::Opening || state.menuPhase == ClubMenuPhase::Closing;
    if (!animating || nowMs - state.menuFrameMs < kMenuFrameMs) {
        return false;
    }
    state.menuFrameMs = nowMs;
    if (state.menuPhase == ClubMenuPhase::Opening) {
        if (++state.menuFrame >= kClubMenuFrames) {
            state.menuPhase = ClubMenuPhase::Open;
            state.menuFrame = kClubMenuFrames - 1;
        }
    } else if (--state.menuFrame < 0) {
        state.menuPhase = ClubMenuPhase::Closed;
        state.menuFrame = 0;
        state.hoveredClub = -1;
    }
    return true;
}

void PressToggle(HudState& state, HudControl toggle, bool localTurn, uint32_t nowMs) {
    const bool golfer = toggle == HudControl::GolferToggle;
    if (!golfer && toggle != HudControl::GridToggle) {
        return;
    }
    bool& on = golfer ? state.golferOn : state.gridOn;
    on = !on;
    if (!localTurn) {
        (golfer ? state.golferHidden : state.gridHidden) = true;
        (golfer ? state.golferPressMs : state.gridPressMs) = nowMs;
        state.hover[static_cast<int>(toggle)] = false;
    }
}

void RearmToggles(HudState& state, bool localTurn, uint32_t nowMs) {
    if (state.golferHidden && (localTurn || nowMs - state.golferPressMs >= kToggleRearmMs)) {
        state.golferHidden = false;
    }
    if (state.gridHidden && (localTurn || nowMs - state.gridPressMs >= kToggleRearmMs)) {
        state.gridHidden = false;
    }
}

int GaugeFrame(uint32_t startMs, uint32_t topMs, uint32_t nowMs, uint32_t rate, bool falling) {
    // Differences of clock times stay right across the clock's wrap; a gauge that has fallen past
    // its start shows frame 0 instead of wrapping round to a full gauge.
    const int64_t risen = static_cast<uint32_t>(topMs - startMs);
    const int64_t elapsed =
        falling ? risen - static_cast<uint32_t>(nowMs - topMs) : static_cast<uint32_t>(nowMs - startMs);
    int64_t frame = elapsed * static_cast<int64_t>(rate) / 1000;
    if (!falling) {
        frame += 1;
    }
    return static_cast<int>(std::clamp<int64_t>(frame, 0, kMaxGaugeFrame));
}

bool WindCell(float viewHeading, float windDirection, float windSpeed, int& column, int& row) {
    if (!(windSpeed >= 0.4f)) {
        return false;
    }
    constexpr float kTwoPi = 6.2831855f;
    float angle = viewHeading + 1.5707964f + windDirection;
    if (angle < 0.0f) {
        angle += kTwoPi;
    } else if (angle >= kTwoPi) {
        angle -= kTwoPi;
    }
    row = std::clamp(static_cast<int>(16.0f * angle / kTwoPi), 0, 15);
    column = std::min(static_cast<int>(windSpeed * 1.6666666f), 4);
    return true;
}

void NoteTargetClicked(HudState& state, uint32_t nowMs) {
    state.targetClicked = true;
    state.targetClickMs = nowMs;
}

namespace {

constexpr uint32_t kSlopeShowMs = 3000;
constexpr uint32_t kStepPressMs = 150;

// The slope panels stay for kSlopeShowMs after the player clicks a target off the green.
bool SlopeTimerRunning(const HudState& state, uint32_t nowMs) {
    return state.targetClicked && nowMs - state.targetClickMs < kSlopeShowMs;
}

}  // namespace

bool SlopesShown(const HudState& state, bool onGreen, bool observer, uint32_t nowMs) {
    if (observer) {
        return false;
    }
    return onGreen || SlopeTimerRunning(state, nowMs);
}

void PressStep(HudState& state, HudControl step, uint32_t nowMs) {
    state.pressedStep = step;
    state.stepPressMs = nowMs;
}

bool StepReleased(HudState& state, uint32_t nowMs) {
    if (state.pressedStep == HudControl::None || nowMs - state.stepPressMs < kStepPressMs) {
        return false;
    }
    state.pressedStep = HudControl::None;
    return true;
}

bool SlopesRunOut(HudState& state, uint32_t nowMs) {
    if (!state.targetClicked || SlopeTimerRunning(state, nowMs)) {
        return false;
    }
    state.targetClicked = false;
    return true;
}

int TargetFrame(float depth) {
    if (!(depth < 100.0f)) {
        return 8;
    }
    return std::clamp(static_cast<int>(9.0f * depth / 100.0f), 0, 8);
}

}  // namespace screens
