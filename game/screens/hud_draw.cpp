#include "game/screens/hud_draw.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

#include "game/physics/club_table.h"
#include "game/present/draw_primitives.h"
#include "game/screens/hud_controls.h"
#include "game/screens/hud_layout.h"

namespace screens {
namespace {

constexpr uint32_t kBlinkMs = 400;
constexpr int kShotX = 583;
constexpr int kShotY = 405;
// The gauge arc inside the shot button's picture (the art draws it there).
constexpr double kGaugeCentreX = 70.5;
constexpr double kGaugeCentreY = 86.0;
constexpr double kGaugeRadius = 62.0;
constexpr int kSmallArrows[9][2] = {{652, 381}, {670, 383}, {692, 387}, {711, 396}, {720, 408},
                                    {710, 423}, {692, 430}, {670, 436}, {652, 437}};

platform::DrawSurface& Back(HudCanvas& canvas) {
    return *canvas.display.backBuffer;
}

bool Hovered(const HudCanvas& canvas, HudControl control) {
    return canvas.state.hover[static_cast<int>(control)];
}

HudPicture Offset(HudPicture base, int by) {
    return static_cast<HudPicture>(static_cast<int>(base) + by);
}

void DrawAt(HudCanvas& canvas, HudPicture picture, HudControl control) {
    int x = 0, y = 0;
    ControlOrigin(control, x, y);
    DrawPicture(Back(canvas), Picture(canvas.sprites, picture), x, y);
}

void DrawLie(HudCanvas& canvas) {
    const present::FniImage& sheet = Picture(canvas.sprites, HudPicture::LieSheet);
    const int row = canvas.view.lieClass;
    if (row >= 0 && (row + 1) * 50 <= sheet.height) {
        DrawSheetCell(Back(canvas), sheet, 590, 540, {0, row * 50, sheet.width, row * 50 + 50});
    }
}

void DrawWind(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    if (view.swinging || view.onGreen || canvas.state.menuPhase != ClubMenuPhase::Closed) {
        return;
    }
    int column = 0, row = 0;
    if (!WindCell(view.viewHeading, view.windDirection, view.windSpeed, column, row)) {
        DrawPicture(Back(canvas), Picture(canvas.sprites, HudPicture::NoWind), 690, 340);
        return;
    }
    DrawSheetCell(Back(canvas), Picture(canvas.sprites, HudPicture::Wind), 690, 340,
                  {100 * column, 80 * row, 100 * (column + 1), 80 * (row + 1)});
}

void DrawClubButton(HudCanvas& canvas) {
    const present::FniImage& button =
        Picture(canvas.sprites, Hovered(canvas, HudControl::Club) ? HudPicture::ClubOn : HudPicture::Club);
    DrawPicture(Back(canvas), button, 720, 480);
}

// The club's name and second name, centred over the club button but kept inside the picture: a
// long second name ("Massie Niblick") is wider than the room right of the shot gauge.
struct ClubNameLine {
    int y, width, height;
    bool bold;
    uint32_t colour;
    const char* text;
};

std::array<ClubNameLine, 2> ClubNameLines(const physics::ClubSpec& club) {
    return {{{446, 8, 16, true, kYellow, club.name}, {464, 6, 12, false, kWhite, club.nickname}}};
}

// Where a line goes: its centre and width, in its font (which must be set).
struct PlacedClubName {
    int centre, width;
};

PlacedClubName PlaceClubName(HudCanvas& canvas, const ClubNameLine& line) {
    const present::FniImage& button = Picture(canvas.sprites, HudPicture::Club);
    const int centre = 720 + (button.width > 0 ? button.width : 70) / 2;
    const int width = present::TextWidth(canvas.text, line.text);
    return {std::min(centre, Back(canvas).width - 2 - (width + 1) / 2), width};
}

void SetClubNameFont(HudCanvas& canvas, const ClubNameLine& line) {
    present::SetTextFont(canvas.text, canvas.face, line.width, line.height, line.bold);
}

// Clears the place of the club's names (the swing gauge paints over part of it).
void ClearClubNames(HudCanvas& canvas) {
    for (const ClubNameLine& line : ClubNameLines(physics::ClubRow(canvas.view.club))) {
        SetClubNameFont(canvas, line);
        const PlacedClubName placed = PlaceClubName(canvas, line);
        present::RestoreArea(canvas.display, placed.centre - placed.width / 2 - 2, line.y, placed.width + 4,
                             line.height + 2);
    }
}

void DrawSpinButtons(HudCanvas& canvas) {
    struct Step {
        HudControl control;
        HudPicture picture;  // the pressed form follows it
    };
    const Step steps[] = {{HudControl::BackspinUp, HudPicture::BackspinUp},
                          {HudControl::BackspinDown, HudPicture::BackspinDown},
                          {HudControl::SidespinLeft, HudPicture::SidespinLeft},
                          {HudControl::SidespinRight, HudPicture::SidespinRight}};
    for (const Step& step : steps) {
        DrawAt(canvas, Offset(step.picture, canvas.state.pressedStep == step.control ? 1 : 0), step.control);
    }
    const HudView& view = canvas.view;
    if ((Hovered(canvas, HudControl::BackspinUp) || Hovered(canvas, HudControl::BackspinDown)) &&
        view.backspin >= 0 && view.backspin < kSpinSteps) {
        DrawPicture(Back(canvas), canvas.sprites.backspinSteps[view.backspin], 613, 385);
    } else if ((Hovered(canvas, HudControl::SidespinLeft) || Hovered(canvas, HudControl::SidespinRight)) &&
               view.sidespin >= 0 && view.sidespin < kSpinSteps) {
        DrawPicture(Back(canvas), canvas.sprites.sidespinSteps[view.sidespin], 613, 385);
    }
}

void DrawShooterControls(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    const HudState& state = canvas.state;
    DrawClubButton(canvas);
    if (ControlOffered(state, view, HudControl::PowerShot)) {
        DrawAt(canvas, Hovered(canvas, HudControl::PowerShot) ? HudPicture::PowerHover : HudPicture::Power,
               HudControl::PowerShot);
        char count[16];
        std::snprintf(count, sizeof count, "%d", view.powerShotAllowance);
        present::SetTextFont(canvas.text, canvas.face, 7, 14, true);
        DrawShadowLabel(canvas, 600, 520, count, present::kAlignLeft);
    }
    if (ControlOffered(state, view, HudControl::Bite)) {
        const HudPicture base = view.bite ? HudPicture::BiteOn : HudPicture::BiteOff;
        DrawAt(canvas, Offset(base, Hovered(canvas, HudControl::Bite) ? 1 : 0), HudControl::Bite);
    }
    DrawSpinButtons(canvas);
    const bool lit = Hovered(canvas, HudControl::Shot) || view.swinging;
    DrawAt(canvas, lit ? HudPicture::ShotOn : HudPicture::Shot, HudControl::Shot);
    DrawClubNames(canvas);  // over the edge of the shot button, which a long name reaches
    if (view.beginner && view.beforeFirstShot) {
        DrawPicture(Back(canvas), canvas.sprites.guides[lit ? 1 : 0], 455, 385);
        const bool second = (view.nowMs / kBlinkMs) % 2 == 1;
        DrawPicture(Back(canvas),
                    Picture(canvas.sprites, second ? HudPicture::ArrowBig1 : HudPicture::ArrowBig0), 600,
                    440);
    }
}

void DrawToggle(HudCanvas& canvas, HudControl control, HudPicture onPicture, bool on) {
    if (!ControlOffered(canvas.state, canvas.view, control)) {
        return;
    }
    DrawAt(canvas, Offset(onPicture, (on ? 0 : 2) + (Hovered(canvas, control) ? 1 : 0)), control);
}

void DrawClubMenu(HudCanvas& canvas) {
    const HudState& state = canvas.state;
    if (state.menuPhase == ClubMenuPhase::Opening || state.menuPhase == ClubMenuPhase::Closing) {
        if (state.menuFrame >= 0 && state.menuFrame < kClubMenuFrames) {
            const present::FniImage& frame = canvas.sprites.clubMenu[state.menuFrame];
            DrawPicture(Back(canvas), frame, 800 - frame.width, 600 - frame.height);
        }
        return;
    }
    if (state.menuPhase != ClubMenuPhase::Open) {
        return;
    }
    const present::FniImage& back = Picture(canvas.sprites, HudPicture::ClubBack);
    DrawPicture(Back(canvas), back, 514, 343);
    canvas.state.menuDrawn = true;
    if (state.hoveredClub < 0 || state.hoveredClub >= kHudClubs) {
        return;
    }
    const present::FniImage& icon = canvas.sprites.clubIcons[state.hoveredClub];
    DrawPicture(Back(canvas), icon, 514 + back.width - icon.width, 343);
    const physics::ClubSpec& club = physics::ClubRow(state.hoveredClub);
    char name[64];
    if (canvas.view.beginner) {
        std::snprintf(name, sizeof name, "%s (%3.0f yard)", club.name, static_cast<double>(club.carry));
    } else {
        std::snprintf(name, sizeof name, "%s", club.name);
    }
    present::SetTextFont(canvas.text, canvas.face, 8, 16, true);
    present::DrawTextAt(canvas.text, Back(canvas), kClubMenuNameX, 348, kYellow, name, present::kAlignCenter);
    present::SetTextFont(canvas.text, canvas.face, 6, 12, false);
    present::DrawTextAt(canvas.text, Back(canvas), kClubMenuNameX, 366, kWhite, club.nickname,
                        present::kAlignCenter);
}

}  // namespace

void DrawClubNames(HudCanvas& canvas) {
    for (const ClubNameLine& line : ClubNameLines(physics::ClubRow(canvas.view.club))) {
        SetClubNameFont(canvas, line);
        present::DrawTextAt(canvas.text, Back(canvas), PlaceClubName(canvas, line).centre, line.y,
                            line.colour, line.text, present::kAlignCenter);
    }
}

void DrawPicture(platform::DrawSurface& surface, const present::FniImage& image, int x, int y) {
    if (image.width > 0 && image.height > 0) {
        present::DrawFni(surface, image, x, y, nullptr);
    }
}

void DrawSheetCell(platform::DrawSurface& surface, const present::FniImage& image, int x, int y,
                   const platform::SurfaceRect& cell) {
    if (image.width == 0 || image.height == 0 || image.compressed != 0 || cell.left < 0 || cell.top < 0 ||
        cell.right > image.width || cell.bottom > image.height || cell.left >= cell.right ||
        cell.top >= cell.bottom) {
        return;
    }
    present::DrawFni(surface, image, x, y, &cell);
}

void DrawShadowLabel(HudCanvas& canvas, int x, int y, const char* text, int alignment) {
    present::DrawTextAt(canvas.text, Back(canvas), x + 1, y + 1, 0x000000, text, alignment);
    present::DrawTextAt(canvas.text, Back(canvas), x, y, kYellow, text, alignment);
}

void DrawControls(HudCanvas& canvas, bool eraseFirst) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    if (eraseFirst) {
        present::RestoreRect(canvas.display, kControlArea);
        // The open pop-up reaches 9 pixels left of the control area; erase all of it.
        if (canvas.state.menuDrawn) {
            present::RestoreRect(canvas.display, kClubMenuArea);
        }
    }
    canvas.state.menuDrawn = false;
    const HudView& view = canvas.view;
    RearmToggles(canvas.state, view.localTurn, view.nowMs);
    DrawLie(canvas);
    DrawWind(canvas);
    const bool shooting = view.localTurn && !view.observer;
    if (shooting && canvas.state.menuPhase == ClubMenuPhase::Closed) {
        DrawShooterControls(canvas);
    } else if (ControlOffered(canvas.state, view, HudControl::Give)) {
        DrawAt(canvas, Hovered(canvas, HudControl::Give) ? HudPicture::GiveOn : HudPicture::Give,
               HudControl::Give);
    }
    DrawToggle(canvas, HudControl::GolferToggle, HudPicture::GolferOn, canvas.state.golferOn);
    DrawToggle(canvas, HudControl::GridToggle, HudPicture::GridOn, canvas.state.gridOn);
    DrawAt(canvas, Hovered(canvas, HudControl::Chat) ? HudPicture::ChatHover : HudPicture::Chat,
           HudControl::Chat);
    DrawAt(canvas, HudPicture::Close, HudControl::Close);
    DrawClubMenu(canvas);
}

bool DrawSwingGauge(HudCanvas& canvas, int frame) {
    if (canvas.display.backBuffer == nullptr || frame < 0 || frame >= kGaugeFrames ||
        frame == canvas.state.lastGaugeFrame) {
        return false;
    }
    canvas.state.lastGaugeFrame = frame;
    const HudView& view = canvas.view;
    const bool blinkOn = (view.nowMs / kBlinkMs) % 2 == 0;
    const int arrow = canvas.state.guideIndex;
    const bool arrowShown = view.beginner && arrow >= 0 && arrow < 9;
    if (arrowShown) {
        // The blinking arrow's place is cleared first; what it covered is drawn again below.
        present::RestoreArea(canvas.display, kSmallArrows[arrow][0], kSmallArrows[arrow][1], 16, 16);
    }
    if (view.localTurn) {
        ClearClubNames(canvas);  // drawn again over the new frame, not blended onto themselves
    }
    // Every gauge frame paints the whole band of the arc, so each one covers the last without a
    // restore (which would also erase the spin buttons around it).
    DrawPicture(Back(canvas), Picture(canvas.sprites, HudPicture::ShotOn), kShotX, kShotY);
    DrawPicture(Back(canvas), canvas.sprites.gauge[frame], kShotX, kShotY);
    if (view.localTurn) {
        DrawSpinButtons(canvas);
        DrawClubNames(canvas);
    }
    if (view.gaugeHint >= 1 && view.gaugeHint <= 8) {
        // The hint mark: where on the arc the power click gives the club's distance.
        const double unit = 105.0 * view.gaugeHint / 8.0;
        const double angle = 3.14159265358979 * (1.0 - unit / 120.0);
        const int x =
            kShotX + static_cast<int>(std::lround(kGaugeCentreX + (kGaugeRadius + 9) * std::cos(angle)));
        const int y =
            kShotY + static_cast<int>(std::lround(kGaugeCentreY - (kGaugeRadius + 9) * std::sin(angle)));
        present::FillRect(Back(canvas), {x - 2, y - 2, x + 3, y + 3}, kYellow);
        present::DrawFrame(Back(canvas), {x - 3, y - 3, x + 3, y + 3}, 0x000000);
    }
    if (view.beginner) {
        DrawPicture(Back(canvas), canvas.sprites.guides[2], 455, 385);
    }
    if (arrowShown) {
        // It blinks as the big arrow does, between its two pictures.
        DrawPicture(Back(canvas),
                    Picture(canvas.sprites, blinkOn ? HudPicture::ArrowSmall0 : HudPicture::ArrowSmall1),
                    kSmallArrows[arrow][0], kSmallArrows[arrow][1]);
    }
    return true;
}

int SwingFrameCount(const HudSprites& sprites) {
    return sprites.swingSheet.height / kSwingFrameHeight;
}

bool DrawSwingFrame(HudCanvas& canvas, int frame, int x, int y) {
    const present::FniImage& sheet = canvas.sprites.swingSheet;
    if (canvas.display.backBuffer == nullptr || frame < 0 || frame >= SwingFrameCount(canvas.sprites)) {
        return false;
    }
    DrawSheetCell(Back(canvas), sheet, x, y,
                  {0, frame * kSwingFrameHeight, sheet.width, (frame + 1) * kSwingFrameHeight});
    return true;
}

void DrawBallSprite(HudCanvas& canvas, int sizeIndex, int x, int y) {
    const present::FniImage& ball = Picture(canvas.sprites, HudPicture::Ball);
    if (canvas.display.backBuffer == nullptr || sizeIndex < 0 || (sizeIndex + 1) * 12 > ball.height) {
        return;
    }
    DrawSheetCell(Back(canvas), ball, x - ball.width / 2, y - 6,
                  {0, 12 * sizeIndex, ball.width, 12 * sizeIndex + 12});
}

void DrawCharacterSprite(HudCanvas& canvas) {
    const HudView& view = canvas.view;
    if (canvas.display.backBuffer == nullptr || (!canvas.state.golferOn && !view.replaying) ||
        view.currentSlot < 0 || view.currentSlot >= kHudPlayers) {
        return;
    }
    const HudPlayerBar& player = view.players[view.currentSlot];
    if (player.character < 0 || player.character >= kCharacters) {
        return;
    }
    DrawPicture(Back(canvas), canvas.sprites.small[player.gender][player.character][ClubPose(view.club)],
                kCharacterX, kCharacterY);
}

void DrawInsetFrame(HudCanvas& canvas) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    present::DrawFrame(Back(canvas), {549, 409, 786, 586}, 0x000000);
    present::DrawFrame(Back(canvas), {548, 408, 787, 587}, 0x000000);
}

void DrawHud(HudCanvas& canvas) {
    if (canvas.display.backBuffer == nullptr) {
        return;
    }
    HudState& state = canvas.state;
    const HudView& view = canvas.view;
    state.ballFrame = 0;
    state.lastGaugeFrame = -1;
    const present::FniImage& pole = Picture(canvas.sprites, HudPicture::Pole);
    state.targetFrame = TargetFrame(view.targetDepth);
    state.targetX = view.targetScreenX - 4;
    state.targetY = view.targetScreenY - pole.height;
    state.targetShown = view.targetProjected && state.targetX >= 0 && state.targetY >= 0 &&
                        state.targetX + 8 <= 800 && view.targetScreenY <= 600;
    present::RestoreBackground(canvas.display);
    if (view.lieClass == kLieDivot) {
        const present::FniImage& divot = Picture(canvas.sprites, HudPicture::Divot);
        DrawSheetCell(Back(canvas), divot, kBallScreenX - divot.width / 2, kBallScreenY - divot.height / 2,
                      {0, 0, divot.width, divot.height});
    }
    DrawMapPanel(canvas);
    DrawPlayerBars(canvas);
    DrawTargetMarker(canvas);
    DrawCharacterSprite(canvas);
    DrawBallSprite(canvas, state.ballFrame, kBallScreenX, kBallScreenY);
    DrawControls(canvas, false);
    DrawChatLines(canvas);
    if (state.macroMenuOpen) {
        DrawMacroMenu(canvas);
    }
}

}  // namespace screens
