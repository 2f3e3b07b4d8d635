#include "game/screens/hud_layout.h"

#include <gtest/gtest.h>

#include <vector>

#include "game/screens/hud_controls.h"

namespace screens {
namespace {

// Sprites with only their sizes set: the hit rectangles need nothing else.
void SetSize(HudSprites& sprites, HudPicture picture, int width, int height) {
    sprites.pictures[static_cast<int>(picture)].width = static_cast<uint16_t>(width);
    sprites.pictures[static_cast<int>(picture)].height = static_cast<uint16_t>(height);
}

HudSprites SizedSprites() {
    HudSprites sprites;
    SetSize(sprites, HudPicture::Shot, 146, 119);
    SetSize(sprites, HudPicture::Close, 16, 16);
    SetSize(sprites, HudPicture::Give, 80, 28);
    SetSize(sprites, HudPicture::GolferOn, 44, 44);
    SetSize(sprites, HudPicture::GridOn, 44, 36);
    SetSize(sprites, HudPicture::Power, 20, 18);
    SetSize(sprites, HudPicture::BiteOff, 32, 14);
    SetSize(sprites, HudPicture::Chat, 60, 22);
    SetSize(sprites, HudPicture::BackspinDown, 26, 18);
    SetSize(sprites, HudPicture::BackspinUp, 26, 18);
    SetSize(sprites, HudPicture::SidespinLeft, 16, 18);
    SetSize(sprites, HudPicture::SidespinRight, 16, 18);
    SetSize(sprites, HudPicture::Club, 70, 40);
    return sprites;
}

HudView ShootingView() {
    HudView view;
    view.localTurn = true;
    view.turnActive = true;
    view.lieClass = 1;
    view.biteOffered = true;
    view.powerShotShown = true;
    view.powerShotAllowance = 2;
    return view;
}

TEST(HudHitTest, RectangleEdgesAreHalfOpen) {
    EXPECT_TRUE(HitTest(10, 20, 10, 20, 5, 3));
    EXPECT_TRUE(HitTest(14, 22, 10, 20, 5, 3));
    EXPECT_FALSE(HitTest(15, 20, 10, 20, 5, 3));
    EXPECT_FALSE(HitTest(10, 23, 10, 20, 5, 3));
    EXPECT_FALSE(HitTest(9, 20, 10, 20, 5, 3));
    EXPECT_FALSE(HitTest(10, 19, 10, 20, 5, 3));
    EXPECT_FALSE(HitTest(10, 20, 10, 20, 0, 3));
}

TEST(HudHitTest, ShotButtonUsesItsInnerRectangle) {
    const HudSprites sprites = SizedSprites();
    const HudState state;
    const HudView view = ShootingView();
    // left + 39, top + 56, width - 83, height - 60 of the 146 x 119 picture at (583, 405).
    EXPECT_EQ(HitTestHud(state, sprites, view, 622, 461).control, HudControl::Shot);
    EXPECT_EQ(HitTestHud(state, sprites, view, 684, 519).control, HudControl::Shot);
    EXPECT_NE(HitTestHud(state, sprites, view, 621, 461).control, HudControl::Shot);
    EXPECT_NE(HitTestHud(state, sprites, view, 685, 500).control, HudControl::Shot);
    EXPECT_NE(HitTestHud(state, sprites, view, 640, 520).control, HudControl::Shot);
    // The club button's hit area is 15 pixels narrower than its picture.
    EXPECT_EQ(HitTestHud(state, sprites, view, 774, 500).control, HudControl::Club);
    EXPECT_EQ(HitTestHud(state, sprites, view, 775, 500).control, HudControl::View3D);
}

TEST(HudHitTest, ControlsOfOneViewNeitherOverlapNorLeaveThePicture) {
    const HudSprites sprites = SizedSprites();
    const std::vector<HudControl> shooting = {
        HudControl::Shot,       HudControl::Close,        HudControl::GolferToggle,  HudControl::GridToggle,
        HudControl::PowerShot,  HudControl::Bite,         HudControl::Chat,          HudControl::BackspinDown,
        HudControl::BackspinUp, HudControl::SidespinLeft, HudControl::SidespinRight, HudControl::Club};
    for (size_t i = 0; i < shooting.size(); ++i) {
        const HudRect a = ControlRect(sprites, shooting[i], -1);
        EXPECT_GT(a.width, 0);
        EXPECT_GE(a.left, 0);
        EXPECT_GE(a.top, 0);
        EXPECT_LE(a.left + a.width, 800);
        EXPECT_LE(a.top + a.height, 600);
        for (size_t j = i + 1; j < shooting.size(); ++j) {
            const HudRect b = ControlRect(sprites, shooting[j], -1);
            const bool overlap = a.left < b.left + b.width && b.left < a.left + a.width &&
                                 a.top < b.top + b.height && b.top < a.top + a.height;
            EXPECT_FALSE(overlap) << static_cast<int>(shooting[i]) << " and "
                                  << static_cast<int>(shooting[j]);
        }
    }
}

TEST(HudHitTest, ControlsOutsideTheirTurnTakeNoClicks) {
    const HudSprites sprites = SizedSprites();
    const HudState state;
    HudView view;  // someone else's turn
    int x = 0, y = 0;
    ASSERT_TRUE(ControlCentre(sprites, HudControl::Shot, -1, x, y));
    EXPECT_EQ(HitTestHud(state, sprites, view, x, y).control, HudControl::None);
    EXPECT_EQ(HitTestHud(state, sprites, view, 300, 200).control, HudControl::None);
    ASSERT_TRUE(ControlCentre(sprites, HudControl::Chat, -1, x, y));
    EXPECT_EQ(HitTestHud(state, sprites, view, x, y).control, HudControl::Chat);
    // The give button is offered only to the other players.
    view.giveShown = true;
    ASSERT_TRUE(ControlCentre(sprites, HudControl::Give, -1, x, y));
    EXPECT_EQ(HitTestHud(state, sprites, view, x, y).control, HudControl::Give);
    view = ShootingView();
    view.giveShown = true;
    EXPECT_NE(HitTestHud(state, sprites, view, x, y).control, HudControl::Give);
    // Above the control bar the 3D view takes the click on the shooter's active turn.
    EXPECT_EQ(HitTestHud(state, sprites, view, 300, 529).control, HudControl::View3D);
    EXPECT_EQ(HitTestHud(state, sprites, view, 300, 530).control, HudControl::None);
}

TEST(HudHitTest, MissingPictureLeavesNoHitArea) {
    HudSprites sprites = SizedSprites();
    SetSize(sprites, HudPicture::Close, 0, 0);
    int x = 0, y = 0;
    EXPECT_FALSE(ControlCentre(sprites, HudControl::Close, -1, x, y));
    EXPECT_EQ(HitTestHud(HudState{}, sprites, HudView{}, 790, 5).control, HudControl::None);
}

TEST(HudClubMenu, TeeSkipsThePutterAndTheGreenOffersOnlyIt) {
    const HudRect putter = ClubEntryRect(kPutter);
    const int px = putter.left + 1, py = putter.top + 1;
    EXPECT_EQ(HoveredClub(1, px, py), kPutter);
    EXPECT_EQ(HoveredClub(kLieTeed, px, py), -1);
    EXPECT_EQ(HoveredClub(kLiePutting, px, py), kPutter);
    const HudRect driver = ClubEntryRect(0);
    EXPECT_EQ(HoveredClub(kLieTeed, driver.left, driver.top), 0);
    EXPECT_EQ(HoveredClub(kLiePutting, driver.left, driver.top), -1);
    // Right and bottom edges belong to the next pixel.
    EXPECT_EQ(HoveredClub(1, driver.left + driver.width, driver.top), -1);
    // Every entry is found at its own centre off the tee and the green.
    for (int club = 0; club < kHudClubs; ++club) {
        const HudRect r = ClubEntryRect(club);
        EXPECT_EQ(HoveredClub(1, r.left + r.width / 2, r.top + r.height / 2), club);
    }
}

TEST(HudClubMenu, OpenMenuTakesOnlyClubEntries) {
    const HudSprites sprites = SizedSprites();
    HudState state;
    HudView view = ShootingView();
    OpenClubMenu(state, 1000);
    const HudRect iron = ClubEntryRect(5);
    EXPECT_EQ(HitTestHud(state, sprites, view, iron.left, iron.top).control,
              HudControl::None);  // still opening
    EXPECT_FALSE(AdvanceClubMenu(state, 1065));
    EXPECT_TRUE(AdvanceClubMenu(state, 1066));
    EXPECT_TRUE(AdvanceClubMenu(state, 1132));
    EXPECT_TRUE(AdvanceClubMenu(state, 1198));
    EXPECT_EQ(state.menuPhase, ClubMenuPhase::Open);
    EXPECT_EQ(HitTestHud(state, sprites, view, iron.left, iron.top), (HudHit{HudControl::ClubEntry, 5}));
    int x = 0, y = 0;
    ASSERT_TRUE(ControlCentre(sprites, HudControl::Close, -1, x, y));
    EXPECT_EQ(HitTestHud(state, sprites, view, x, y).control, HudControl::None);
    EXPECT_TRUE(UpdateHudHover(state, sprites, view, iron.left, iron.top));
    EXPECT_EQ(state.hoveredClub, 5);
    EXPECT_FALSE(UpdateHudHover(state, sprites, view, iron.left + 1, iron.top));
    view.lieClass = kLiePutting;
    EXPECT_TRUE(UpdateHudHover(state, sprites, view, iron.left, iron.top));
    EXPECT_EQ(state.hoveredClub, -1);
    CloseClubMenu(state, 2000);
    int steps = 0;
    for (uint32_t t = 2067; state.menuPhase != ClubMenuPhase::Closed && t < 3000; t += 67, ++steps) {
        AdvanceClubMenu(state, t);
        CloseClubMenu(state, t + 30);  // clicks while it folds away do not start it again
    }
    EXPECT_EQ(state.menuPhase, ClubMenuPhase::Closed);
    EXPECT_LE(steps, 12);
}

TEST(HudHover, FlagsChangeOnlyWhenTheControlUnderThePointerChanges) {
    const HudSprites sprites = SizedSprites();
    HudState state;
    const HudView view = ShootingView();
    int x = 0, y = 0;
    ASSERT_TRUE(ControlCentre(sprites, HudControl::Club, -1, x, y));
    EXPECT_TRUE(UpdateHudHover(state, sprites, view, x, y));
    EXPECT_TRUE(state.hover[static_cast<int>(HudControl::Club)]);
    EXPECT_FALSE(UpdateHudHover(state, sprites, view, x + 1, y));
    EXPECT_TRUE(UpdateHudHover(state, sprites, view, 300, 300));
    EXPECT_FALSE(state.hover[static_cast<int>(HudControl::Club)]);
    EXPECT_FALSE(UpdateHudHover(state, sprites, view, 310, 300));
}

TEST(HudToggles, PressedOffTurnHidesUntilRearmed) {
    HudState state;
    PressToggle(state, HudControl::GridToggle, true, 100);
    EXPECT_TRUE(state.gridOn);
    EXPECT_FALSE(state.gridHidden);
    PressToggle(state, HudControl::GolferToggle, false, 1000);
    EXPECT_FALSE(state.golferOn);
    EXPECT_TRUE(state.golferHidden);
    EXPECT_FALSE(ControlOffered(state, HudView{}, HudControl::GolferToggle));
    RearmToggles(state, false, 4999);
    EXPECT_TRUE(state.golferHidden);
    RearmToggles(state, false, 5000);
    EXPECT_FALSE(state.golferHidden);
    PressToggle(state, HudControl::GolferToggle, false, 6000);
    RearmToggles(state, true, 6001);
    EXPECT_FALSE(state.golferHidden);
}

TEST(HudSpin, StepsStayWithinTheirRange) {
    int spin = 0;
    StepSpin(spin, -1);
    EXPECT_EQ(spin, 0);
    spin = 4;
    StepSpin(spin, 1);
    EXPECT_EQ(spin, 4);
    StepSpin(spin, -1);
    EXPECT_EQ(spin, 3);
}

}  // namespace
}  // namespace screens
