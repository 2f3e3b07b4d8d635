#pragma once
// Drawing the HUD on the back buffer over the rendered scene. Each part first restores its
// rectangle from the scene copy, so the HUD never re-renders the scene.

#include "game/present/display.h"
#include "game/present/text.h"
#include "game/screens/hud_sprites.h"
#include "game/screens/hud_state.h"
#include "game/screens/hud_view.h"

namespace screens {

struct HudCanvas {
    present::Display& display;
    present::TextFont& text;
    const char* face;       // the interface face of the language
    const char* fixedFace;  // the fixed-pitch face
    const HudSprites& sprites;
    HudState& state;
    const HudView& view;
};

// The HUD's colours (0xRRGGBB).
inline constexpr uint32_t kPanelColour = 0x131C46;
inline constexpr uint32_t kLevelFrame = 0xEFB45C;
inline constexpr uint32_t kMenuColour = 0x4D738E;
inline constexpr uint32_t kRowColour = 0x101C42;  // highlighted menu row, slope titles
inline constexpr uint32_t kLightText = 0xF6FBF6;
inline constexpr uint32_t kYellow = 0xFFFF00;
inline constexpr uint32_t kWhite = 0xFFFFFF;
inline constexpr uint32_t kPlayerColours[4] = {0x0000FF, 0xFF0000, 0xFFFFFF, 0xFFFF00};

// The lower-right control area (with eraseFirst restored from the scene copy first).
inline constexpr platform::SurfaceRect kControlArea{523, 343, 800, 600};
inline constexpr platform::SurfaceRect kClubMenuArea{514, 343, 800, 600};
// The open club menu centres the hovered club's names on this column.
inline constexpr int kClubMenuNameX = 614;
// The character sprite, and where a swing frame stands so that its feet meet the sprite's.
inline constexpr int kCharacterX = 100;
inline constexpr int kCharacterY = 240;
inline constexpr int kSwingFrameX = 40;
inline constexpr int kSwingFrameY = 77;
inline constexpr int kBallScreenX = 400;
inline constexpr int kBallScreenY = 530;

// The complete HUD after a new render of the view.
void DrawHud(HudCanvas& canvas);
void DrawControls(HudCanvas& canvas, bool eraseFirst);
void DrawMapPanel(HudCanvas& canvas);
void DrawTargetMarker(HudCanvas& canvas);
void DrawPlayerBars(HudCanvas& canvas);
void DrawChatLines(HudCanvas& canvas);
void DrawMacroMenu(HudCanvas& canvas);
void DrawInsetFrame(HudCanvas& canvas);
void DrawCharacterSprite(HudCanvas& canvas);
// The level badge of a 0-based level in its orange frame, the badge's top-left at (x, y).
void DrawLevelBadge(HudCanvas& canvas, int x, int y, int level);
// The club's name and second name over the club button, on top of the shot button's edge.
void DrawClubNames(HudCanvas& canvas);
// The gauge at that frame over the shot button; draws only when the frame differs from the last
// one drawn. True when it drew.
bool DrawSwingGauge(HudCanvas& canvas, int frame);
// One frame of the loaded swing sheet at (x, y); false past the sheet's last frame.
bool DrawSwingFrame(HudCanvas& canvas, int frame, int x, int y);
// The ball sprite ("ABall", 12-pixel frames) of size index 0 (nearest) to 6 centred on (x, y).
void DrawBallSprite(HudCanvas& canvas, int sizeIndex, int x, int y);
// The number of frames of the loaded swing sheet.
int SwingFrameCount(const HudSprites& sprites);

// A picture drawn whole (nothing for an empty record), and a cell of an expanded sheet.
void DrawPicture(platform::DrawSurface& surface, const present::FniImage& image, int x, int y);
void DrawSheetCell(platform::DrawSurface& surface, const present::FniImage& image, int x, int y,
                   const platform::SurfaceRect& cell);
// A value label: black one pixel right and down, then yellow.
void DrawShadowLabel(HudCanvas& canvas, int x, int y, const char* text, int alignment);

}  // namespace screens
