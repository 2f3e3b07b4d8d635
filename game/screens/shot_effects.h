#pragma once
// The pictures of a shot being played: the impact animation chosen for the lie and club, the
// water splash, and their frames.

#include "game/screens/hud_draw.h"

namespace screens {

// The impact animation for a shot: by the lie name index (0 tee, 1 fairway, 4 bunker), the club,
// the stroke number and the shot's distance in yards. HudPicture::Count when the shot raises none.
HudPicture ImpactEffect(int lieName, int club, int stroke, float distance);
// Frames in each impact sheet.
int ImpactFrameCount(HudPicture effect);

// Frame frame of an impact sheet (frames of equal height), its bottom centre at (x, y). False past
// the last frame or for a missing picture.
bool DrawImpactFrame(HudCanvas& canvas, HudPicture effect, int frame, int x, int y);
// Frame 0-9 of the water splash (40 x 64), its bottom centre at (x, y).
bool DrawSplashFrame(HudCanvas& canvas, int frame, int x, int y);

}  // namespace screens
