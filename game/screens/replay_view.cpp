#include "game/screens/replay_view.h"

#include <algorithm>
#include <cmath>

#include "game/screens/shot_effects.h"

namespace screens {

int BallSizeIndex(float scale) {
    if (!std::isfinite(scale) || scale >= 1.0f) {
        return 0;
    }
    return std::clamp(static_cast<int>(6.0f * (1.0f - std::max(scale, 0.0f))), 0, 6);
}

void DrawShotSprites(HudCanvas& canvas, const ReplayPicture& picture) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    present::RestoreBackground(canvas.display);
    const int frames = SwingFrameCount(canvas.sprites);
    if (frames > 0) {
        DrawSwingFrame(canvas, std::clamp(picture.swingFrame, 0, frames - 1), kSwingFrameX, kSwingFrameY);
    }
    if (picture.impact != HudPicture::Count) {
        DrawImpactFrame(canvas, picture.impact, picture.impactFrame, picture.impactX, picture.impactY);
    }
    if (picture.ballShown) {
        DrawBallSprite(canvas, picture.ballSize, picture.ballX, picture.ballY);
    }
    if (picture.splash) {
        DrawSplashFrame(canvas, picture.splashFrame, picture.splashX, picture.splashY);
    }
}

void DrawReplayView(HudCanvas& canvas, const ReplayPicture& picture) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    DrawShotSprites(canvas, picture);
    DrawMapPanel(canvas);
    DrawPlayerBars(canvas);
    DrawChatLines(canvas);
}

}  // namespace screens
