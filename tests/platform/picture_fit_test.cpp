#include "platform/picture_fit.h"

#include <gtest/gtest.h>

namespace {

using platform::LetterboxArea;
using platform::OutputToPicture;

TEST(PictureFit, WindowedScaleIsTheLargestWholeNumberThatFits) {
    EXPECT_EQ(platform::IntegerScaleToFit(1920, 1050, 800, 600), 1);
    EXPECT_EQ(platform::IntegerScaleToFit(3840, 2100, 800, 600), 3);
    EXPECT_EQ(platform::IntegerScaleToFit(640, 480, 800, 600), 1);  // never below 1
}

TEST(PictureFit, FullScreenIsLetterboxedAndCentred) {
    const auto wide = LetterboxArea(1920, 1080, 800, 600);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.x, 240);
    EXPECT_EQ(wide.y, 0);
    const auto tall = LetterboxArea(1000, 1000, 800, 600);
    EXPECT_EQ(tall.width, 1000);
    EXPECT_EQ(tall.height, 750);
    EXPECT_EQ(tall.y, 125);
    const auto exact = LetterboxArea(1600, 1200, 800, 600);
    EXPECT_EQ(exact.x, 0);
    EXPECT_EQ(exact.width, 1600);
}

TEST(PictureFit, OutputPositionsMapBackToPicturePixels) {
    const auto area = LetterboxArea(1920, 1080, 800, 600);
    int x = -1;
    int y = -1;
    OutputToPicture(area, 800, 600, 240, 0, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    OutputToPicture(area, 800, 600, 1679, 1079, x, y);
    EXPECT_EQ(x, 799);
    EXPECT_EQ(y, 599);
    OutputToPicture(area, 800, 600, 960, 540, x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 300);
    OutputToPicture(area, 800, 600, 10, 2000, x, y);  // on a bar or outside: nearest picture pixel
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 599);
    const auto doubled = LetterboxArea(1600, 1200, 800, 600);
    OutputToPicture(doubled, 800, 600, 3, 5, x, y);
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
}

}  // namespace
