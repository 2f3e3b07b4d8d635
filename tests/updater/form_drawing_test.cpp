#include "updater/form_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace updater {
namespace {

// Counts dark pixels (text) in rows [top, bottom) and reports their leftmost and rightmost columns.
struct Ink {
    int count = 0;
    int left = kFormWidth;
    int right = -1;
};

Ink InkIn(platform::DrawSurface& picture, int top, int bottom) {
    Ink ink;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < kFormWidth; ++x) {
            if ((platform::ReadPixelRgb(picture, x, y) & 0xFF) < 0x80) {
                ++ink.count;
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
            }
        }
    }
    return ink;
}

class FormDrawingTest : public ::testing::Test {
  protected:
    platform::DrawSurface* picture =
        platform::CreateDrawSurface(kFormWidth, kFormHeight, platform::kXrgb8888);
    void TearDown() override { platform::ReleaseDrawSurface(picture); }
};

TEST_F(FormDrawingTest, LabelsAreCentredAndTheBarFollowsTheProgress) {
    TFmUpgrade form;
    form.lblMsg = "Downloading the update...";
    form.lblProgress = "2 KByte / 4 KByte";
    form.ProgressBar1 = {5000, 2500};
    DrawUpgradeForm(*picture, PictureOf(form), "ENG");

    Ink message = InkIn(*picture, 16, 32);
    ASSERT_GT(message.count, 30);
    EXPECT_NEAR((message.left + message.right) / 2, 160, 3);
    Ink progress = InkIn(*picture, 32, 47);
    ASSERT_GT(progress.count, 20);
    EXPECT_NEAR((progress.left + progress.right) / 2, 160, 3);

    int half = (kProgressInside.left + kProgressInside.right) / 2;
    EXPECT_NE(platform::ReadPixelRgb(*picture, kProgressInside.left + 2, 54), 0xFFFFFFu);
    EXPECT_NE(platform::ReadPixelRgb(*picture, half - 3, 54), 0xFFFFFFu);
    EXPECT_EQ(platform::ReadPixelRgb(*picture, half + 3, 54), 0xFFFFFFu);
}

TEST_F(FormDrawingTest, BarStaysInsideItsFrame) {
    TFmUpgrade form;
    form.ProgressBar1 = {101, 250};  // a position beyond the maximum fills the bar, no more
    EXPECT_EQ(PictureOf(form).barFilledPixels, kProgressInside.right - kProgressInside.left);
    form.ProgressBar1 = {0, 10};  // size not known yet
    EXPECT_EQ(PictureOf(form).barFilledPixels, 0);
    form.ProgressBar1 = {int64_t{4} << 30, int64_t{3} << 30};
    EXPECT_EQ(PictureOf(form).barFilledPixels, (kProgressInside.right - kProgressInside.left) * 3 / 4);
}

TEST_F(FormDrawingTest, KoreanAndJapaneseTextsAreDrawnInTheirCodePages) {
    TFmUpgrade form;
    form.caption = "\xBE\xF7\xB5\xA5\xC0\xCC\xC6\xAE";  // "update" in CP949
    EXPECT_EQ(CaptionUtf8(form, "KOR"), "\xEC\x97\x85\xEB\x8D\xB0\xEC\x9D\xB4\xED\x8A\xB8");
    form.lblMsg = form.caption;
    DrawUpgradeForm(*picture, PictureOf(form), "KOR");
    EXPECT_GT(InkIn(*picture, 16, 32).count, 20);

    form.lblMsg = "\x83\x41\x83\x62\x83\x76\x83\x66\x81\x5B\x83\x67";  // "update" in CP932
    DrawUpgradeForm(*picture, PictureOf(form), "JPN");
    EXPECT_GT(InkIn(*picture, 16, 32).count, 20);
}

}  // namespace
}  // namespace updater
