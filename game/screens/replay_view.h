#pragma once
// The view while a shot is replayed: the rendered scene with the golfer's swing, the impact
// animation, the ball in flight and the splash, under the player bars and the map.

#include "game/screens/hud_draw.h"

namespace screens {

struct ReplayPicture {
    int swingFrame = 0;                     // frames past the sheet's last show its last
    HudPicture impact = HudPicture::Count;  // Count: none
    int impactFrame = 0;
    int impactX = kBallScreenX;  // bottom centre of the impact animation
    int impactY = kBallScreenY;
    bool ballShown = false;
    int ballX = 0;
    int ballY = 0;
    int ballSize = 0;  // 0 nearest .. 6 farthest
    bool splash = false;
    int splashFrame = 0;
    int splashX = 0;
    int splashY = 0;
};

// The ball sprite's size index for a trajectory point's projection scale (1 near, smaller far).
int BallSizeIndex(float scale);

// The scene copy with the golfer's swing frame, the impact animation, the ball and the splash.
void DrawShotSprites(HudCanvas& canvas, const ReplayPicture& picture);
// ... and the map panel, the player bars and the chat lines over them.
void DrawReplayView(HudCanvas& canvas, const ReplayPicture& picture);

}  // namespace screens
