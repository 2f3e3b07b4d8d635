#pragma once
// The banner after a shot: over the scene with the shot's sprites, the shooter's name box with the
// level badge, and a darkened banner saying where the ball came to rest (or the hole's result when
// it was holed) and how long the shot was.

#include <string>

#include "game/screens/hud_draw.h"
#include "game/screens/replay_view.h"

namespace screens {

// What the shot came to, as the match recorded it before any drop or penalty moved the ball.
struct ShotOutcome {
    bool holed = false;
    int restSurface = 0;   // surface kind 0-8 where the ball came to rest
    int startSurface = 0;  // surface kind the shot was played from
    int par = 4;
    int strokes = 1;     // the shooter's strokes on the hole, this shot included
    float yards = 0.0f;  // from the shot's start to where it came to rest
};

struct ShotResultLines {
    std::string headline;  // the lie's name, or the result's name when holed
    std::string distance;  // "%syd Shot", or empty when not shown
};

ShotResultLines ComposeShotResult(const ShotOutcome& outcome);

// The scene under a result: the shot's sprites as the replay left them, the divot, the inset frame.
struct ResultScene {
    ReplayPicture picture;
    bool divot = false;
    bool insetFrame = false;
};

// The inset view is framed when the ball came to rest more than 10 yards from the shot's start on
// ground other than water and out of bounds, or when the shot was played from the green.
bool InsetFramed(float yardsFromStart, int restSurface, int startSurface);

// The scene layer both result screens are drawn over; the map panel last.
void DrawResultScene(HudCanvas& canvas, const ResultScene& scene);

// Where the banner's parts go.
inline constexpr platform::SurfaceRect kNameBox{240, 90, 560, 116};
inline constexpr platform::SurfaceRect kBanner{240, 118, 560, 200};
inline constexpr int kBadgeX = 245;
inline constexpr int kBadgeY = 94;

struct ShotResultView {
    const char* shooterName = "";
    int shooterLevel = 0;
    ShotOutcome outcome;
};

// The banner over the scene layer (drawn first by the caller), then the chat lines.
void DrawShotResultBanner(HudCanvas& canvas, const ShotResultView& view);

}  // namespace screens
