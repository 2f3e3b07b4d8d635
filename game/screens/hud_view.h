#pragma once
// What the HUD shows, gathered by the shell from the match state before each redraw. The HUD reads
// only this record (and its own state), so the screens never depend on how the match keeps its data.

#include <cstdint>

namespace screens {

inline constexpr int kHudPlayers = 4;
inline constexpr int kHudClubs = 14;
inline constexpr int kHudMacroRows = 8;
inline constexpr int kHudChatLines = 15;
// The lie class values with their own rules in the club pop-up.
inline constexpr int kLieTeed = 0;
inline constexpr int kLieDivot = 2;
inline constexpr int kLiePutting = 7;
inline constexpr int kPutter = 13;

struct HudPlayerBar {
    bool present = false;
    char name[32] = {};
    int colourIndex = 0;  // 0 blue, 1 red, 2 white, 3 yellow
    int level = 0;        // 0-based level (badge row = levels - 1 - level)
    int strokes = 0;      // strokes on this hole
    int scoreToPar = 0;   // total over par so far
    bool ready = false;   // has acted on this hole (no "waiting" badge)
    int balance = 0;      // point balance
    bool gender = false;  // true: the "W" golfer
    int character = 0;    // 0-7
    // Map position of the ball in picture coordinates; shown when inside the panel.
    int mapX = 0;
    int mapY = 0;
};

struct HudChatLine {
    const char* text = nullptr;  // nullptr: an empty line
    uint32_t colour = 0xFFFFFF;
};

struct HudView {
    // Whose turn and what may be clicked.
    int localSlot = 0;
    int currentSlot = 0;
    bool localTurn = false;   // the local player is the shooter
    bool turnActive = false;  // ... and every player is ready
    bool observer = false;
    bool beginner = false;         // game level 2
    bool beforeFirstShot = false;  // beginner arrows blink until the first shot
    bool freeGame = false;
    bool championship = false;
    bool swinging = false;
    bool replaying = false;
    // The shot being prepared.
    int club = 0;      // names and carry come from the club table
    int lieClass = 0;  // 0 teed .. 7 putting: the lie sheet row and the club pop-up's skipping
    int lieName = 0;   // surface kind 0-8 for the lie name of the shot line
    const char* lieNameText = "";
    bool onGreen = false;
    int backspin = 2;
    int sidespin = 2;
    bool bite = false;
    bool biteOffered = false;
    bool powerShotShown = false;
    int powerShotAllowance = 0;
    bool giveShown = false;
    int gaugeHint = 0;  // 1-8 at game level 2, else 0
    // Wind as announced and the camera's heading on the course plane (radians).
    float windDirection = 0.0f;
    float windSpeed = 0.0f;
    float viewHeading = 0.0f;
    // Players and the hole.
    int playerCount = 1;
    HudPlayerBar players[kHudPlayers];
    const char* courseName = "";
    const char* holeName = "";
    int par = 4;
    int strokeNumber = 1;
    float distanceToHole = 0.0f;  // yards
    // The current player's strokes and the pars of the holes already played, from the match's
    // first hole (the score strip).
    int holesPlayed = 0;
    int holeStrokes[18] = {};
    int holePars[18] = {};
    // Aim target: its projection into the picture (top of the marker's foot) and its depth.
    bool targetProjected = false;
    int targetScreenX = 0;
    int targetScreenY = 0;
    float targetDepth = 0.0f;
    float targetDistance = 0.0f;  // ball to target, yards
    int mapTargetX = 0;           // aim target on the map panel
    int mapTargetY = 0;
    int mapPinX = 0;
    int mapPinY = 0;
    bool showSlopes = false;  // within 3000 ms of setting the target, or on the green
    int slopeAcross = 0;
    int slopeAlong = 0;
    const char* slopeTitles[2] = {"", ""};
    // Chat lines, oldest first, and the quick-chat texts.
    HudChatLine chat[kHudChatLines];
    const char* macros[kHudMacroRows] = {};
    const char* language = "ENG";
    uint32_t nowMs = 0;
};

}  // namespace screens
