// Drawing the HUD over a scene: every part restores what it covered, so moving the target,
// dropping a hover or running the gauge leaves no trace of the previous drawing.
#include "game/screens/hud_draw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "game/physics/club_table.h"
#include "game/present/draw_primitives.h"
#include "game/screens/hud_controls.h"
#include "game/screens/replay_view.h"
#include "tests/screens/hud_fixture.h"

namespace screens {
namespace {

using hud_fixture::CountDifferences;
using hud_fixture::CountDifferencesIn;
using hud_fixture::HudScreen;

TEST_F(HudScreen, RedrawAfterMovingTheTargetLeavesNoTrace) {
    view_.targetScreenX = 200;
    view_.targetScreenY = 420;
    state_.hover[static_cast<int>(HudControl::Club)] = true;
    Draw();
    view_.targetScreenX = 560;
    view_.targetScreenY = 300;
    view_.targetDepth = 80.0f;
    state_.hover[static_cast<int>(HudControl::Club)] = false;
    Draw();
    const std::vector<uint32_t> redrawn = Pixels();
    const std::vector<uint32_t> clean = CleanDraw();
    EXPECT_EQ(CountDifferences(redrawn, clean), 0);
}

TEST_F(HudScreen, ControlAreaRedrawErasesTheOldHover) {
    Draw();
    const std::vector<uint32_t> plain = Pixels();
    int x = 0, y = 0;
    ASSERT_TRUE(ControlCentre(sprites_, HudControl::Shot, -1, x, y));
    ASSERT_TRUE(UpdateHudHover(state_, sprites_, view_, x, y));
    DrawControls(Canvas(), true);
    EXPECT_GT(CountDifferences(Pixels(), plain), 0);  // the lit shot button shows
    ASSERT_TRUE(UpdateHudHover(state_, sprites_, view_, 5, 590));
    DrawControls(Canvas(), true);
    EXPECT_EQ(CountDifferences(Pixels(), plain), 0);
}

TEST_F(HudScreen, GaugeFallingBackMatchesAFreshDrawOfItsFrame) {
    view_.swinging = true;
    Draw();
    EXPECT_TRUE(DrawSwingGauge(Canvas(), 100));
    EXPECT_FALSE(DrawSwingGauge(Canvas(), 100));  // the same frame is not drawn again
    EXPECT_TRUE(DrawSwingGauge(Canvas(), 20));
    const std::vector<uint32_t> fallen = Pixels();
    Draw();
    EXPECT_TRUE(DrawSwingGauge(Canvas(), 20));
    EXPECT_EQ(CountDifferences(fallen, Pixels()), 0);
    EXPECT_FALSE(DrawSwingGauge(Canvas(), 121));
    EXPECT_FALSE(DrawSwingGauge(Canvas(), -1));
}

// The club's names lie on top of the shot button's edge and of every gauge frame, which a long second
// name reaches: drawing them again adds no pixel in their colours (only their blended edges change),
// and the gauge does not thicken them frame after frame.
TEST_F(HudScreen, ClubNamesStayWholeOverTheShotButtonAndTheGauge) {
    present::FillRect(*display_.backBuffer, {0, 0, 2, 1}, kWhite);
    present::FillRect(*display_.backBuffer, {1, 0, 2, 1}, kYellow);
    const std::vector<uint32_t> colours = Pixels();
    const uint32_t white = colours[0], yellow = colours[1];
    const auto coveredNamePixels = [&](const std::vector<uint32_t>& before) {
        DrawClubNames(Canvas());
        const std::vector<uint32_t> after = Pixels();
        int count = 0;
        for (size_t i = 0; i < after.size(); ++i) {
            count += (after[i] == white || after[i] == yellow) && after[i] != before[i] ? 1 : 0;
        }
        return count;
    };
    for (int club : {physics::kClubIron3, physics::kClubIron6, physics::kClubIron7}) {
        SCOPED_TRACE(club);
        view_.club = club;
        view_.swinging = false;
        Draw();
        EXPECT_EQ(coveredNamePixels(Pixels()), 0);
        view_.swinging = true;
        Draw();
        for (int frame : {100, 60, 110}) {
            EXPECT_TRUE(DrawSwingGauge(Canvas(), frame));
        }
        const std::vector<uint32_t> afterFrames = Pixels();
        EXPECT_EQ(coveredNamePixels(afterFrames), 0);
        Draw();
        EXPECT_TRUE(DrawSwingGauge(Canvas(), 110));
        EXPECT_EQ(CountDifferences(afterFrames, Pixels()), 0) << "the names thicken under the gauge";
    }
}

TEST_F(HudScreen, ClubMenuShowsTheHoveredClubAndClosesWithoutTrace) {
    Draw();
    const std::vector<uint32_t> closed = Pixels();
    state_.menuPhase = ClubMenuPhase::Open;
    state_.hoveredClub = 4;
    DrawControls(Canvas(), true);
    const std::vector<uint32_t> open = Pixels();
    EXPECT_GT(CountDifferences(open, closed), 2000);
    state_.hoveredClub = 5;
    DrawControls(Canvas(), true);
    EXPECT_GT(CountDifferences(Pixels(), open), 0);
    state_.menuPhase = ClubMenuPhase::Closed;
    DrawControls(Canvas(), true);
    EXPECT_EQ(CountDifferences(Pixels(), closed), 0);

    // The longest name, a beginner's driver with its distance, stays on the menu's panel.
    view_.beginner = true;
    state_.menuPhase = ClubMenuPhase::Open;
    state_.hoveredClub = 0;
    Draw();
    for (int y = 346; y < 366; ++y) {
        for (int x = 500; x < 516; ++x) {
            EXPECT_NE(platform::ReadPixelRgb(*display_.backBuffer, x, y), kYellow) << x << "," << y;
        }
    }
}

TEST_F(HudScreen, MissingPicturesDrawNothingAndDoNotStopTheRest) {
    FreeHudSprites(sprites_);
    view_.swinging = true;
    Draw();
    EXPECT_TRUE(DrawSwingGauge(Canvas(), 60));
    state_.menuPhase = ClubMenuPhase::Open;
    state_.hoveredClub = 3;
    DrawControls(Canvas(), true);
    EXPECT_FALSE(DrawSwingFrame(Canvas(), 0, kSwingFrameX, kSwingFrameY));
    // Only text and filled panels reach the picture; the control area keeps the scene.
    EXPECT_EQ(CountDifferencesIn(Pixels(), SceneCopy(), {700, 560, 780, 600}), 0);
}

TEST_F(HudScreen, ReplayFramesMoveTheSwingAndBallWithoutTrace) {
    LoadSwingSheet(sprites_, false, 0, 0);
    ASSERT_GT(SwingFrameCount(sprites_), 10);
    ReplayPicture picture;
    picture.swingFrame = 3;
    picture.impact = HudPicture::Tee;
    picture.impactFrame = 2;
    picture.ballShown = true;
    picture.ballX = 420;
    picture.ballY = 300;
    picture.ballSize = BallSizeIndex(0.4f);
    DrawReplayView(Canvas(), picture);
    const std::vector<uint32_t> early = Pixels();
    picture.swingFrame = 20;
    picture.impact = HudPicture::Count;
    picture.ballX = 500;
    picture.ballY = 250;
    DrawReplayView(Canvas(), picture);
    EXPECT_GT(CountDifferences(Pixels(), early), 100);
    const std::vector<uint32_t> later = Pixels();
    present::FillSurface(*display_.backBuffer, 0x000000);
    DrawReplayView(Canvas(), picture);
    EXPECT_EQ(CountDifferences(Pixels(), later), 0);
    // A frame past the sheet's end shows its last frame.
    picture.swingFrame = 999;
    DrawReplayView(Canvas(), picture);
    picture.swingFrame = SwingFrameCount(sprites_) - 1;
    const std::vector<uint32_t> last = Pixels();
    DrawReplayView(Canvas(), picture);
    EXPECT_EQ(CountDifferences(Pixels(), last), 0);
}

TEST(BallSize, NearIsLargestAndFarSmallest) {
    EXPECT_EQ(BallSizeIndex(1.0f), 0);
    EXPECT_EQ(BallSizeIndex(2.5f), 0);
    EXPECT_EQ(BallSizeIndex(0.5f), 3);
    EXPECT_EQ(BallSizeIndex(0.0f), 6);
    EXPECT_EQ(BallSizeIndex(-1.0f), 6);
    EXPECT_EQ(BallSizeIndex(std::nanf("")), 0);
}

}  // namespace
}  // namespace screens

namespace screens {
namespace {

using hud_fixture::HudScreen;

// During a beginner's swing the small arrow at the guide's place on the arc blinks between its two
// pictures, as the big arrow does before the swing: both are seen, neither leaves the place empty.
TEST_F(HudScreen, TheSmallBeginnerArrowBlinksBetweenItsTwoPictures) {
    view_.beginner = true;
    view_.swinging = true;
    state_.guideIndex = 4;  // at (720, 408)
    const auto arrowAt = [&](uint32_t nowMs, int frame) {
        view_.nowMs = nowMs;
        Draw();
        EXPECT_TRUE(DrawSwingGauge(Canvas(), frame));
        std::vector<uint32_t> cell;
        for (int y = 408; y < 424; ++y) {
            for (int x = 720; x < 736; ++x) {
                cell.push_back(platform::ReadPixelRgb(*display_.backBuffer, x, y));
            }
        }
        return cell;
    };
    const std::vector<uint32_t> first = arrowAt(0, 30);     // blink on
    const std::vector<uint32_t> second = arrowAt(400, 31);  // blink off
    EXPECT_NE(first, second);
    const auto orange = [](uint32_t c) {
        const uint32_t green = (c >> 8) & 0xFF;
        return (c >> 16) > 0xF0 && green > 0x70 && green < 0xA0;
    };
    EXPECT_GT(std::count_if(second.begin(), second.end(), orange), 0)
        << "the second picture, orange, is drawn";
}

}  // namespace
}  // namespace screens
