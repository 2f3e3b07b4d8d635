#pragma once
// The HUD's own state: hover and pressed flags, the view toggles, the club pop-up's phase and the
// marker positions. The match flow changes it only through the functions of hud_controls.h.

#include <cstdint>

namespace screens {

enum class HudControl : uint8_t {
    None,
    Shot,
    Close,
    Give,
    GolferToggle,
    GridToggle,
    PowerShot,
    Bite,
    Chat,
    BackspinDown,
    BackspinUp,
    SidespinLeft,
    SidespinRight,
    Club,
    ClubEntry,  // index: the club 0-13
    MacroRow,   // index: the row 0-7
    MapPanel,
    View3D,
    Count
};
inline constexpr int kHudControlCount = static_cast<int>(HudControl::Count);

enum class ClubMenuPhase : uint8_t { Closed, Opening, Open, Closing };

// The two bar-area modes: the other players' bars, or the current player's score strip.
enum class BarMode : uint8_t { Players, ScoreStrip };

struct HudState {
    bool hover[kHudControlCount] = {};
    HudControl pressedStep = HudControl::None;  // the spin step button shown pressed
    uint32_t stepPressMs = 0;                   // when it was clicked
    bool golferOn = true;
    bool gridOn = false;
    // A toggle pressed while it is not the local player's turn is hidden until the controls are
    // drawn on the local player's turn, or until 4000 ms after the press.
    bool golferHidden = false;
    bool gridHidden = false;
    uint32_t golferPressMs = 0;
    uint32_t gridPressMs = 0;
    ClubMenuPhase menuPhase = ClubMenuPhase::Closed;
    int menuFrame = 0;
    uint32_t menuFrameMs = 0;
    int hoveredClub = -1;
    bool menuDrawn = false;  // the pop-up (which reaches left of the control area) is on the picture
    bool macroMenuOpen = false;
    int hoveredMacroRow = -1;
    // Target marker on the 3D view: top-left and frame; shown only when placed inside the picture.
    bool targetShown = false;
    int targetX = 0;
    int targetY = 0;
    int targetFrame = 0;
    int ballFrame = 0;
    int highlightFrame = 0;
    BarMode barMode = BarMode::Players;
    int lastGaugeFrame = -1;
    int guideIndex = 8;  // beginner arrow position along the gauge arc
    uint32_t lastOverlayMs = 0;
    int lastReplayStep = -1;     // the replay step last drawn  // the last per-frame redraw of the controls
    bool targetClicked = false;  // the aim target was set by a click on the map or the view
    uint32_t targetClickMs = 0;
};

}  // namespace screens
