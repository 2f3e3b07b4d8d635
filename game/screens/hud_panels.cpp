// The HUD's panels: the hole map with its markers, the target marker with the slope read-outs,
// the player bars with the hole and shot lines, the chat lines and the quick-chat menu.
#include <cstdio>
#include <cstring>

#include "game/present/draw_primitives.h"
#include "game/screens/hud_draw.h"
#include "game/screens/map_aim.h"
#include "game/screens/score_text.h"

namespace screens {
namespace {

constexpr int kBarX = 10;
constexpr int kBarY = 10;
constexpr int kBarWidth = 290;
constexpr int kBarHeight = 28;
constexpr int kBarSpacing = 31;

platform::DrawSurface& Back(HudCanvas& canvas) {
    return *canvas.display.backBuffer;
}

void DrawCentredOnMap(HudCanvas& canvas, const present::FniImage& image, int x, int y, int frameWidth,
                      int frame) {
    constexpr int kSlack = 5;
    if (x < kMapPanelX - kSlack || x >= kMapPanelX + kMapPanelWidth + kSlack || y < kMapPanelY - kSlack ||
        y >= kMapPanelY + kMapPanelHeight + kSlack) {
        return;
    }
    DrawSheetCell(Back(canvas), image, x - frameWidth / 2, y - image.height / 2,
                  {frame * frameWidth, 0, (frame + 1) * frameWidth, image.height});
}

// "%4.2f" below 5 yards, whole yards from there.
void FormatYards(char* out, size_t size, float yards, const char* unit) {
    if (yards < 5.0f) {
        std::snprintf(out, size, "%4.2f %s", static_cast<double>(yards), unit);
    } else {
        std::snprintf(out, size, "%3d %s", static_cast<int>(yards), unit);
    }
}

void DrawMapTarget(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    const present::FniImage& pole = Picture(canvas.sprites, HudPicture::MapPole);
    if (pole.width == 0) {
        return;
    }
    const int left = view.mapTargetX - pole.width / 2;
    const int foot = view.mapTargetY;
    if (left < 635 || left + pole.width > 795 || foot < 15 || foot > 315) {
        return;
    }
    int top = foot - pole.height;
    int labelTop = top;
    if (top < 15) {
        // Cut the rows above the panel's inner edge.
        const int cut = 13 - top;
        if (cut < pole.height) {
            DrawSheetCell(Back(canvas), pole, left, 14, {0, cut + 1, pole.width, pole.height});
        }
        labelTop = 13;
    } else {
        DrawSheetCell(Back(canvas), pole, left, top, {0, 0, pole.width, pole.height});
    }
    char label[32];
    FormatYards(label, sizeof label, view.targetDistance, "yd");
    present::SetTextFont(canvas.text, canvas.face, 6, 14, true);
    const bool rightThird = left >= kMapPanelX + kMapPanelWidth * 2 / 3;
    if (rightThird) {
        DrawShadowLabel(canvas, left - 5, labelTop, label, present::kAlignRight);
    } else {
        DrawShadowLabel(canvas, left + pole.width, labelTop, label, present::kAlignLeft);
    }
}

void DrawPlayerBar(HudCanvas& canvas, int slot, int y) {
    const HudPlayerBar& player = canvas.view.players[slot];
    present::FillRect(Back(canvas), {kBarX, y, kBarX + kBarWidth, y + kBarHeight}, kPanelColour);
    present::FillRect(Back(canvas), {kBarX, y, kBarX + 5, y + kBarHeight},
                      kPlayerColours[player.colourIndex & 3]);
    DrawLevelBadge(canvas, kBarX + 10, y + 6, player.level);
    present::SetTextFont(canvas.text, canvas.face, 8, 16, true);
    present::DrawTextAt(canvas.text, Back(canvas), kBarX + 52, y + 6, kWhite, player.name,
                        present::kAlignLeft);
    char toPar[16];
    FormatToPar(toPar, sizeof toPar, player.scoreToPar);
    char score[40];
    std::snprintf(score, sizeof score, "(%d,%s)", player.strokes, toPar);
    const int nameEnd = kBarX + 52 + present::TextWidth(canvas.text, player.name) + 4;
    present::SetTextFont(canvas.text, canvas.face, 6, 12, true);
    present::DrawTextAt(canvas.text, Back(canvas), nameEnd, y + 9, kLightText, score, present::kAlignLeft);
    if (!player.ready) {
        DrawPicture(Back(canvas), Picture(canvas.sprites, HudPicture::Wait), 240, y + 6);
    }
    char balance[24];
    std::snprintf(balance, sizeof balance, "%d", player.balance);
    present::SetTextFont(canvas.text, canvas.face, 8, 18, true);
    present::DrawTextAt(canvas.text, Back(canvas), 297, y + 5, kYellow, balance, present::kAlignRight);
}

const char* OrdinalSuffix(int stroke) {
    if (stroke == 1 || stroke > 10) {
        return "st";
    }
    return stroke == 2 ? "nd" : stroke == 3 ? "rd" : "th";
}

// Pieces drawn one after the other, each right after the measured width of the one before.
struct LineWriter {
    HudCanvas& canvas;
    int x;
    int y;
    void Put(const char* text, uint32_t colour) {
        present::DrawTextAt(canvas.text, *canvas.display.backBuffer, x, y, colour, text, present::kAlignLeft);
        x += present::TextWidth(canvas.text, text);
    }
};

void DrawHoleLines(HudCanvas& canvas, int y) {
    const HudView& view = canvas.view;
    present::FillRect(Back(canvas), {kBarX, y, kBarX + kBarWidth, y + 36}, kPanelColour);
    char line[160];
    std::snprintf(line, sizeof line, "%s %s (Par %d)", view.courseName, view.holeName, view.par);
    present::SetTextFont(canvas.text, canvas.face, 7, 14, true);
    present::DrawTextAt(canvas.text, Back(canvas), kBarX + 6, y + 2, kWhite, line, present::kAlignLeft);
    present::SetTextFont(canvas.text, canvas.face, 6, 16, true);
    LineWriter writer{canvas, kBarX + 6, y + 18};
    char number[32];
    std::snprintf(number, sizeof number, "%d", view.strokeNumber);
    writer.Put(number, kYellow);
    char shot[16];
    std::snprintf(shot, sizeof shot, "%s Shot, ", OrdinalSuffix(view.strokeNumber));
    writer.Put(shot, kWhite);
    writer.Put(view.lieNameText, kWhite);
    writer.Put(", To hole ", kWhite);
    std::snprintf(number, sizeof number, "%d", static_cast<int>(view.distanceToHole));
    writer.Put(number, kYellow);
    writer.Put(" yard", kWhite);
}

void DrawScoreStrip(HudCanvas& canvas, int y) {
    const HudView& view = canvas.view;
    const int first = view.holesPlayed >= 10 ? 9 : 0;
    const int last = view.holesPlayed < 18 ? view.holesPlayed : 18;
    present::FillRect(Back(canvas), {kBarX, y, kBarX + kBarWidth, y + 30}, kPanelColour);
    present::SetTextFont(canvas.text, canvas.face, 6, 12, true);
    for (int hole = first; hole < last; ++hole) {
        const int right = kBarX + 24 * (hole - first + 1);
        char text[16];
        std::snprintf(text, sizeof text, "%d", view.holeStrokes[hole]);
        present::DrawTextAt(canvas.text, Back(canvas), right, y + 2, kWhite, text, present::kAlignRight);
        FormatToPar(text, sizeof text, view.holeStrokes[hole] - view.holePars[hole]);
        present::DrawTextAt(canvas.text, Back(canvas), right, y + 16, kYellow, text, present::kAlignRight);
    }
}

}  // namespace

void DrawLevelBadge(HudCanvas& canvas, int x, int y, int level) {
    const present::FniImage& badges = Picture(canvas.sprites, HudPicture::Levels);
    const int levels = badges.height / 16;
    const int row = levels - 1 - level;
    present::DrawFrame(*canvas.display.backBuffer, {x - 1, y - 1, x + 36, y + 16}, kLevelFrame);
    if (row >= 0 && row < levels) {
        DrawSheetCell(*canvas.display.backBuffer, badges, x, y, {0, row * 16, badges.width, row * 16 + 16});
    }
}

void DrawMapPanel(HudCanvas& canvas) {
    present::Display& display = canvas.display;
    if (display.backBuffer == nullptr) {
        return;
    }
    if (display.mapPanelSurface != nullptr) {
        platform::CopyRect(*display.backBuffer, kMapPanelX, kMapPanelY, *display.mapPanelSurface,
                           {0, 0, kMapPanelWidth, kMapPanelHeight}, true);
    }
    const HudView& view = canvas.view;
    const bool current = view.currentSlot >= 0 && view.currentSlot < kHudPlayers;
    if (current && view.onGreen) {
        const present::FniImage& hole = Picture(canvas.sprites, HudPicture::MapHole);
        DrawPicture(Back(canvas), hole, view.mapPinX - hole.width / 2, view.mapPinY - hole.height / 2);
    } else {
        const present::FniImage& flag = Picture(canvas.sprites, HudPicture::MapFlag);
        DrawPicture(Back(canvas), flag, view.mapPinX - flag.width / 2, view.mapPinY + 2 - flag.height);
    }
    const present::FniImage& others = Picture(canvas.sprites, HudPicture::OtherBalls);
    for (int slot = 0; slot < kHudPlayers; ++slot) {
        const HudPlayerBar& player = view.players[slot];
        if (!player.present) {
            continue;
        }
        if (slot == view.currentSlot) {
            const present::FniImage& ball = Picture(canvas.sprites, HudPicture::MapBall);
            DrawCentredOnMap(canvas, ball, player.mapX, player.mapY, ball.width, 0);
        } else {
            DrawCentredOnMap(canvas, others, player.mapX, player.mapY, others.width / 4,
                             player.colourIndex & 3);
        }
    }
    if (view.localTurn && !view.observer) {
        DrawMapTarget(canvas);
    }
}

void DrawTargetMarker(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    const HudState& state = canvas.state;
    if (canvas.display.backBuffer == nullptr || !view.localTurn || view.observer) {
        return;
    }
    present::RestoreArea(canvas.display, 330, 100, 142, 45);
    const present::FniImage& pole = Picture(canvas.sprites, HudPicture::Pole);
    if (state.targetShown && pole.width > 0) {
        const int bottom = state.targetY + pole.height;
        char label[32];
        FormatYards(label, sizeof label, view.targetDistance, "yard");
        present::SetTextFont(canvas.text, canvas.face, 7, 15, true);
        const int top = bottom - 20 - (9 - state.targetFrame) * 20;
        if (top >= 0) {
            if (state.targetX < 400) {
                DrawShadowLabel(canvas, state.targetX + 8 + 5, top, label, present::kAlignLeft);
            } else {
                DrawShadowLabel(canvas, state.targetX - 5, top, label, present::kAlignRight);
            }
        }
        DrawSheetCell(Back(canvas), pole, state.targetX, state.targetY,
                      {8 * state.targetFrame, 0, 8 * state.targetFrame + 8, pole.height});
    }
    if (!view.showSlopes) {
        return;
    }
    platform::DrawSurface& back = Back(canvas);
    present::FillRect(back, {330, 100, 398, 119}, kRowColour);
    present::FillRect(back, {404, 100, 472, 119}, kRowColour);
    present::DarkenRect(back, {330, 119, 398, 144});
    present::DarkenRect(back, {404, 119, 472, 144});
    present::SetTextFont(canvas.text, canvas.face, 6, 12, false);
    present::DrawTextAt(canvas.text, back, 337, 104, kLightText, view.slopeTitles[0], present::kAlignLeft);
    present::DrawTextAt(canvas.text, back, 411, 104, kLightText, view.slopeTitles[1], present::kAlignLeft);
    const int s1 = view.slopeAcross;
    const int s2 = view.slopeAlong;
    present::DrawLineClipped(back, 330, 130 - s1, 398, 130 + s1, kWhite, 330, 119, 398, 144);
    present::DrawLineClipped(back, 404, 130 - s2, 472, 130 + s2, kWhite, 404, 119, 472, 144);
}

void DrawPlayerBars(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    if (canvas.display.backBuffer == nullptr || view.currentSlot < 0 || view.currentSlot >= kHudPlayers) {
        return;
    }
    DrawPlayerBar(canvas, view.currentSlot, kBarY);
    DrawHoleLines(canvas, kBarY + kBarSpacing);
    int y = kBarY + kBarSpacing + 40;
    if (canvas.state.barMode == BarMode::ScoreStrip) {
        DrawScoreStrip(canvas, y);
        return;
    }
    if (view.playerCount <= 1) {
        return;
    }
    for (int slot = 0; slot < kHudPlayers; ++slot) {
        if (slot != view.currentSlot && view.players[slot].present) {
            DrawPlayerBar(canvas, slot, y);
            y += kBarSpacing;
        }
    }
}

void DrawChatLines(HudCanvas& canvas) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    present::SetTextFont(canvas.text, canvas.fixedFace, 7, 14, false);
    for (int i = 0; i < kHudChatLines; ++i) {
        const HudChatLine& line = canvas.view.chat[kHudChatLines - 1 - i];
        if (line.text != nullptr && line.text[0] != '\0') {
            present::DrawTextAt(canvas.text, Back(canvas), 11, 550 - 18 * i, line.colour, line.text,
                                present::kAlignLeft);
        }
    }
}

void DrawMacroMenu(HudCanvas& canvas) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    platform::DrawSurface& back = Back(canvas);
    present::FillRect(back, {100, 442, 432, 568}, kMenuColour);
    const int hovered = canvas.state.hoveredMacroRow;
    if (hovered >= 0 && hovered < kHudMacroRows) {
        present::FillRect(back, {100, 442 + 16 * hovered, 432, 442 + 16 * hovered + (hovered == 7 ? 14 : 16)},
                          kRowColour);
    }
    present::SetTextFont(canvas.text, canvas.face, 6, 14, false);
    for (int row = 0; row < kHudMacroRows; ++row) {
        char label[8];
        std::snprintf(label, sizeof label, "F%d", row + 1);
        present::DrawTextAt(canvas.text, back, 102, 443 + 16 * row, kLightText, label, present::kAlignLeft);
        char text[44] = {};
        if (canvas.view.macros[row] != nullptr) {
            std::strncpy(text, canvas.view.macros[row], 43);
        }
        present::DrawTextAt(canvas.text, back, 121, 443 + 16 * row, kLightText, text, present::kAlignLeft);
    }
}

}  // namespace screens
