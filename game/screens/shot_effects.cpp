#include "game/screens/shot_effects.h"

namespace screens {
namespace {

constexpr int kSplashFrames = 10;

bool DrawFrameOf(HudCanvas& canvas, const present::FniImage& sheet, int frames, int frame, int x, int y) {
    if (canvas.display.backBuffer == nullptr || frames <= 0 || frame < 0 || frame >= frames ||
        sheet.height < frames) {
        return false;
    }
    const int height = sheet.height / frames;
    DrawSheetCell(*canvas.display.backBuffer, sheet, x - sheet.width / 2, y - height,
                  {0, frame * height, sheet.width, (frame + 1) * height});
    return true;
}

}  // namespace

HudPicture ImpactEffect(int lieName, int club, int stroke, float distance) {
    constexpr int kPutter = 13;
    if (lieName == 0 && stroke == 1) {
        return HudPicture::Tee;
    }
    if (lieName == 1 && club >= 5 && club <= 12) {
        return distance >= 15.0f && distance < 30.0f ? HudPicture::MowerSmall : HudPicture::Mower;
    }
    if (lieName == 4 && club != kPutter) {
        return distance >= 15.0f && distance < 60.0f ? HudPicture::SandSmall : HudPicture::Sand;
    }
    return HudPicture::Count;
}

int ImpactFrameCount(HudPicture effect) {
    switch (effect) {
        case HudPicture::Tee:
            return 12;
        case HudPicture::Mower:
        case HudPicture::MowerSmall:
            return 15;
        case HudPicture::Sand:
        case HudPicture::SandSmall:
            return 10;
        default:
            return 0;
    }
}

bool DrawImpactFrame(HudCanvas& canvas, HudPicture effect, int frame, int x, int y) {
    const int frames = ImpactFrameCount(effect);
    return frames > 0 && DrawFrameOf(canvas, Picture(canvas.sprites, effect), frames, frame, x, y);
}

bool DrawSplashFrame(HudCanvas& canvas, int frame, int x, int y) {
    return DrawFrameOf(canvas, Picture(canvas.sprites, HudPicture::Water), kSplashFrames, frame, x, y);
}

}  // namespace screens
