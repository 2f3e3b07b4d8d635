#include "game/screens/hud_layout.h"

#include <algorithm>

namespace screens {
namespace {

struct Placement {
    HudControl control;
    int x;
    int y;
    HudPicture picture;                // gives the size
    int dLeft, dTop, dWidth, dHeight;  // hit rectangle relative to the picture
};

constexpr Placement kPlacements[] = {
    {HudControl::Shot, 583, 405, HudPicture::Shot, 39, 56, -83, -60},
    {HudControl::Close, 784, 0, HudPicture::Close, 0, 0, 0, 0},
    {HudControl::Give, 710, 530, HudPicture::Give, 0, 0, 0, 0},
    {HudControl::GolferToggle, 530, 500, HudPicture::GolferOn, 0, 0, 0, 0},
    {HudControl::GridToggle, 525, 560, HudPicture::GridOn, 0, 0, 0, 0},
    {HudControl::PowerShot, 578, 520, HudPicture::Power, 0, 0, 0, 0},
    {HudControl::Bite, 685, 514, HudPicture::BiteOff, 0, 0, 0, 0},
    {HudControl::Chat, 413, 568, HudPicture::Chat, 0, 0, 0, 0},
    {HudControl::BackspinDown, 637, 520, HudPicture::BackspinDown, 0, 0, 0, 0},
    {HudControl::BackspinUp, 637, 442, HudPicture::BackspinUp, 0, 0, 0, 0},
    {HudControl::SidespinLeft, 606, 473, HudPicture::SidespinLeft, 0, 0, 0, 0},
    {HudControl::SidespinRight, 685, 473, HudPicture::SidespinRight, 0, 0, 0, 0},
    {HudControl::Club, 720, 480, HudPicture::Club, 0, 0, -15, 0},
};

const Placement* FindPlacement(HudControl control) {
    for (const Placement& placement : kPlacements) {
        if (placement.control == control) {
            return &placement;
        }
    }
    return nullptr;
}

constexpr int kPopupLeft = 514;
constexpr int kPopupTop = 343;
constexpr int kClubRects[kHudClubs][4] = {{144, 41, 182, 66},   {206, 4, 239, 31},    {234, 34, 272, 62},
                                          {235, 70, 273, 94},   {131, 75, 157, 103},  {166, 79, 186, 113},
                                          {190, 86, 210, 121},  {216, 92, 234, 126},  {131, 118, 163, 149},
                                          {167, 123, 191, 157}, {195, 128, 218, 162}, {133, 158, 165, 182},
                                          {170, 170, 196, 197}, {208, 177, 240, 200}};

constexpr HudRect kMacroMenu{100, 442, 332, 126};
constexpr int kMacroRowHeight = 16;
constexpr HudRect kMapClickArea{635, 15, 150, 290};
constexpr int kControlBarTop = 530;

// The order clicks are tried in (after the quick-chat menu rows).
constexpr HudControl kClickOrder[] = {
    HudControl::Chat,         HudControl::Bite,          HudControl::BackspinDown, HudControl::BackspinUp,
    HudControl::SidespinLeft, HudControl::SidespinRight, HudControl::GolferToggle, HudControl::GridToggle,
    HudControl::Give,         HudControl::PowerShot,     HudControl::Close,        HudControl::Shot,
    HudControl::Club,         HudControl::MapPanel,
};

}  // namespace

bool HitTest(int x, int y, int left, int top, int width, int height) {
    return left <= x && x < left + width && top <= y && y < top + height;
}

void ControlOrigin(HudControl control, int& x, int& y) {
    const Placement* placement = FindPlacement(control);
    x = placement != nullptr ? placement->x : 0;
    y = placement != nullptr ? placement->y : 0;
}

HudRect ClubEntryRect(int club) {
    if (club < 0 || club >= kHudClubs) {
        return {};
    }
    const int* r = kClubRects[club];
    return {kPopupLeft + r[0], kPopupTop + r[1], r[2] - r[0], r[3] - r[1]};
}

HudRect ControlRect(const HudSprites& sprites, HudControl control, int index) {
    switch (control) {
        case HudControl::ClubEntry:
            return ClubEntryRect(index);
        case HudControl::MacroRow:
            if (index < 0 || index >= kHudMacroRows) {
                return {};
            }
            return {kMacroMenu.left, kMacroMenu.top + kMacroRowHeight * index, kMacroMenu.width,
                    index == kHudMacroRows - 1 ? 14 : kMacroRowHeight};
        case HudControl::MapPanel:
            return kMapClickArea;
        case HudControl::View3D:
            return {0, 0, 800, kControlBarTop};
        default:
            break;
    }
    const Placement* placement = FindPlacement(control);
    if (placement == nullptr) {
        return {};
    }
    const present::FniImage& image = Picture(sprites, placement->picture);
    if (image.width == 0 || image.height == 0) {
        return {};
    }
    return {placement->x + placement->dLeft, placement->y + placement->dTop,
            std::max(0, image.width + placement->dWidth), std::max(0, image.height + placement->dHeight)};
}

bool ControlCentre(const HudSprites& sprites, HudControl control, int index, int& x, int& y) {
    const HudRect rect = ControlRect(sprites, control, index);
    if (rect.width <= 0 || rect.height <= 0) {
        return false;
    }
    x = rect.left + rect.width / 2;
    y = rect.top + rect.height / 2;
    return true;
}

bool ControlOffered(const HudState& state, const HudView& view, HudControl control) {
    const bool shooting = view.localTurn && !view.observer;
    switch (control) {
        case HudControl::Chat:
        case HudControl::Close:
            return true;
        case HudControl::Bite:
            return shooting && view.biteOffered && !view.onGreen;
        case HudControl::BackspinDown:
        case HudControl::BackspinUp:
        case HudControl::SidespinLeft:
        case HudControl::SidespinRight:
            return shooting;
        case HudControl::GolferToggle:
            return !state.golferHidden;
        case HudControl::GridToggle:
            return !state.gridHidden;
        case HudControl::Give:
            return view.giveShown && !view.localTurn;
        case HudControl::PowerShot:
            return shooting && view.powerShotShown && view.powerShotAllowance > 0;
        case HudControl::Shot:
        case HudControl::Club:
        case HudControl::MapPanel:
        case HudControl::View3D:
            return shooting && view.turnActive;
        case HudControl::MacroRow:
            return state.macroMenuOpen;
        case HudControl::ClubEntry:
            return state.menuPhase == ClubMenuPhase::Open;
        default:
            return false;
    }
}

int HoveredClub(int lieClass, int x, int y) {
    for (int club = 0; club < kHudClubs; ++club) {
        if (lieClass == kLieTeed && club == kPutter) {
            continue;
        }
        if (lieClass == kLiePutting && club != kPutter) {
            continue;
        }
        if (HitTest(x, y, ClubEntryRect(club))) {
            return club;
        }
    }
    return -1;
}

HudHit HitTestHud(const HudState& state, const HudSprites& sprites, const HudView& view, int x, int y) {
    if (state.menuPhase != ClubMenuPhase::Closed) {
        const int club = state.menuPhase == ClubMenuPhase::Open ? HoveredClub(view.lieClass, x, y) : -1;
        return club >= 0 ? HudHit{HudControl::ClubEntry, club} : HudHit{};
    }
    if (state.macroMenuOpen) {
        for (int row = 0; row < kHudMacroRows; ++row) {
            if (HitTest(x, y, ControlRect(sprites, HudControl::MacroRow, row))) {
                return {HudControl::MacroRow, row};
            }
        }
    }
    for (const HudControl control : kClickOrder) {
        if (ControlOffered(state, view, control) && HitTest(x, y, ControlRect(sprites, control, -1))) {
            return {control, -1};
        }
    }
    if (ControlOffered(state, view, HudControl::View3D) &&
        HitTest(x, y, ControlRect(sprites, HudControl::View3D, -1))) {
        return {HudControl::View3D, -1};
    }
    return {};
}

void StepSpin(int& value, int delta) {
    value = std::clamp(value + delta, 0, 4);
}

}  // namespace screens
