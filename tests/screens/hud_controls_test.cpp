#include "game/screens/hud_controls.h"

#include <gtest/gtest.h>

#include <limits>

#include "game/screens/map_aim.h"
#include "game/screens/shot_effects.h"

namespace screens {
namespace {

TEST(SwingGauge, RisesFromFrameOneAndStopsAtTheTop) {
    EXPECT_EQ(GaugeFrame(1000, 0, 1000, 80, false), 1);
    EXPECT_EQ(GaugeFrame(1000, 0, 1500, 80, false), 41);  // 500 ms at 80 units/s
    EXPECT_EQ(GaugeFrame(1000, 0, 2487, 80, false), 119);
    EXPECT_EQ(GaugeFrame(1000, 0, 2500, 80, false), 120);
    EXPECT_EQ(GaugeFrame(1000, 0, 9000, 80, false), 120);
    EXPECT_EQ(GaugeFrame(1000, 0, 1000 + 100000, 200, false), 120);
}

TEST(SwingGauge, FallsBackSymmetricallyAndStopsAtZero) {
    // Power click after 1000 ms at 100 units/s: frame 100, then back down.
    EXPECT_EQ(GaugeFrame(0, 1000, 1000, 100, true), 100);
    EXPECT_EQ(GaugeFrame(0, 1000, 1500, 100, true), 50);
    EXPECT_EQ(GaugeFrame(0, 1000, 2000, 100, true), 0);
    // Past the start the gauge stays empty rather than wrapping round to full.
    EXPECT_EQ(GaugeFrame(0, 1000, 2600, 100, true), 0);
    // Times near the clock's wrap.
    EXPECT_EQ(GaugeFrame(0xFFFFFF00u, 0xFFFFFF00u + 500, 0xFFFFFF00u + 700, 100, true), 30);
}

TEST(WindIndicator, CalmBelowFourTenthsAndCellsOtherwise) {
    int column = -1, row = -1;
    EXPECT_FALSE(WindCell(0.0f, 0.0f, 0.39f, column, row));
    ASSERT_TRUE(WindCell(0.0f, 0.0f, 0.4f, column, row));
    EXPECT_EQ(column, 0);
    EXPECT_EQ(row, 4);  // a quarter turn from the heading
    ASSERT_TRUE(WindCell(0.0f, -1.5707964f, 10.0f, column, row));
    EXPECT_EQ(column, 4);
    EXPECT_EQ(row, 0);
    ASSERT_TRUE(WindCell(3.0f, 3.0f, 1.1f, column, row));
    EXPECT_EQ(column, 1);
    EXPECT_GE(row, 0);
    EXPECT_LE(row, 15);
    // A direction far outside one turn still gives a cell of the sheet.
    ASSERT_TRUE(WindCell(50.0f, 50.0f, 2.0f, column, row));
    EXPECT_LE(row, 15);
    EXPECT_FALSE(WindCell(0.0f, 0.0f, std::numeric_limits<float>::quiet_NaN(), column, row));
}

TEST(TargetMarker, FrameGrowsWithDepth) {
    EXPECT_EQ(TargetFrame(0.0f), 0);
    EXPECT_EQ(TargetFrame(11.2f), 1);
    EXPECT_EQ(TargetFrame(99.9f), 8);
    EXPECT_EQ(TargetFrame(100.0f), 8);
    EXPECT_EQ(TargetFrame(-5.0f), 0);
}

TEST(SlopePanels, ShowForThreeSecondsAfterATargetClickOrOnTheGreen) {
    HudState state;
    EXPECT_FALSE(SlopesShown(state, false, false, 100));
    EXPECT_TRUE(SlopesShown(state, true, false, 100));
    NoteTargetClicked(state, 1000);
    EXPECT_TRUE(SlopesShown(state, false, false, 3999));
    EXPECT_FALSE(SlopesShown(state, false, false, 4000));
    EXPECT_FALSE(SlopesShown(state, true, true, 1500));
    EXPECT_FALSE(SlopesRunOut(state, 3999));
    EXPECT_TRUE(SlopesRunOut(state, 4000));  // once: the panels are taken away by one redraw
    EXPECT_FALSE(SlopesRunOut(state, 4100));
    EXPECT_FALSE(SlopesShown(state, false, false, 4100));
}

TEST(SpinSteps, AClickedButtonShowsPressedForAMoment) {
    HudState state;
    EXPECT_FALSE(StepReleased(state, 100));
    PressStep(state, HudControl::BackspinUp, 1000);
    EXPECT_EQ(state.pressedStep, HudControl::BackspinUp);
    EXPECT_FALSE(StepReleased(state, 1149));
    PressStep(state, HudControl::SidespinLeft, 1100);  // a second click starts the moment again
    EXPECT_FALSE(StepReleased(state, 1200));
    EXPECT_TRUE(StepReleased(state, 1250));
    EXPECT_EQ(state.pressedStep, HudControl::None);
    EXPECT_FALSE(StepReleased(state, 1400));  // released once
}

TEST(MapAim, ClickAndPositionRoundTrip) {
    const int tee[2] = {80, 280};
    const int pin[2] = {70, 20};
    MapFrame frame;
    ASSERT_TRUE(MakeMapFrame(tee, 10.0f, -120.0f, pin, 140.0f, frame));
    EXPECT_FLOAT_EQ(frame.scale, 1.0f);
    float x = 0, z = 0;
    MapToCourse(frame, 630 + 80, 10 + 280, x, z);
    EXPECT_FLOAT_EQ(x, 10.0f);
    EXPECT_FLOAT_EQ(z, -120.0f);
    for (int cy = 20; cy < 300; cy += 37) {
        for (int cx = 640; cx < 790; cx += 23) {
            MapToCourse(frame, cx, cy, x, z);
            int bx = 0, by = 0;
            CourseToMap(frame, x, z, bx, by);
            EXPECT_EQ(bx, cx);
            EXPECT_EQ(by, cy);
        }
    }
    // Up the panel is further along z.
    float z1 = 0, z2 = 0;
    MapToCourse(frame, 700, 100, x, z1);
    MapToCourse(frame, 700, 50, x, z2);
    EXPECT_GT(z2, z1);
}

TEST(MapAim, LevelTeeAndPinGiveNoScale) {
    const int tee[2] = {80, 150};
    const int pin[2] = {20, 150};
    MapFrame frame;
    EXPECT_FALSE(MakeMapFrame(tee, 0.0f, 5.0f, pin, 5.0f, frame));
    EXPECT_FALSE(MakeMapFrame(tee, 0.0f, 5.0f, pin, 9.0f, frame));
}

TEST(ImpactEffects, ChosenByLieClubStrokeAndDistance) {
    EXPECT_EQ(ImpactEffect(0, 0, 1, 200.0f), HudPicture::Tee);
    EXPECT_EQ(ImpactEffect(0, 0, 2, 200.0f), HudPicture::Count);  // a second shot from the tee
    EXPECT_EQ(ImpactEffect(1, 4, 1, 150.0f), HudPicture::Count);  // I3 takes no turf
    EXPECT_EQ(ImpactEffect(1, 5, 2, 150.0f), HudPicture::Mower);
    EXPECT_EQ(ImpactEffect(1, 12, 2, 15.0f), HudPicture::MowerSmall);
    EXPECT_EQ(ImpactEffect(1, 12, 2, 29.9f), HudPicture::MowerSmall);
    EXPECT_EQ(ImpactEffect(1, 12, 2, 30.0f), HudPicture::Mower);
    EXPECT_EQ(ImpactEffect(1, 12, 2, 14.9f), HudPicture::Mower);
    EXPECT_EQ(ImpactEffect(4, 0, 3, 59.0f), HudPicture::SandSmall);
    EXPECT_EQ(ImpactEffect(4, 12, 3, 60.0f), HudPicture::Sand);
    EXPECT_EQ(ImpactEffect(4, 13, 3, 10.0f), HudPicture::Count);
    EXPECT_EQ(ImpactFrameCount(HudPicture::Tee), 12);
    EXPECT_EQ(ImpactFrameCount(HudPicture::Count), 0);
}

}  // namespace
}  // namespace screens
