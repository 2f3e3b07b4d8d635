#include "game/present/display.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "game/present/draw_primitives.h"
#include "game/present/present_plan.h"
#include "tests/present/fni_bytes.h"

namespace {

using platform::ReadPixelRgb;
using platform::SurfaceRect;
using present::Display;

bool Empty(const SurfaceRect& r) {
    return r.left >= r.right || r.top >= r.bottom;
}

// How often each picture pixel is copied by a plan: every pixel outside `hole` must be copied
// exactly once (the cursor rectangle counts as a copy).
void ExpectCoversOnce(const present::PresentPlan& plan, int w, int h, const SurfaceRect& hole) {
    std::vector<int> count(static_cast<size_t>(w) * h, 0);
    auto add = [&](const SurfaceRect& r) {
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, h); ++y) {
            for (int x = std::max(r.left, 0); x < std::min(r.right, w); ++x) {
                ++count[static_cast<size_t>(y) * w + x];
            }
        }
    };
    for (int i = 0; i < plan.stripCount; ++i) {
        add(plan.strips[i]);
    }
    add(plan.cursor);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const bool inHole = x >= hole.left && x < hole.right && y >= hole.top && y < hole.bottom;
            ASSERT_EQ(count[static_cast<size_t>(y) * w + x], inHole ? 0 : 1) << x << "," << y;
        }
    }
}

TEST(PresentPlan, CursorAtTheCornerIsCutAndSkipsStrips) {
    const auto plan = present::PlanCursorPresent(800, 600, 790, 595, 32, 32);
    EXPECT_EQ(plan.cursor.right - plan.cursor.left, 10);
    EXPECT_EQ(plan.cursor.bottom - plan.cursor.top, 5);
    EXPECT_EQ(plan.stripCount, 2);  // above and left only
    ExpectCoversOnce(plan, 800, 600, {});
    const auto origin = present::PlanCursorPresent(800, 600, 0, 0, 32, 32);
    EXPECT_EQ(origin.stripCount, 2);  // below and right: three copies with the cursor
    ExpectCoversOnce(origin, 800, 600, {});
    for (int x : {1, 100, 767, 768, 799}) {
        for (int y : {1, 300, 567, 568, 599}) {
            ExpectCoversOnce(present::PlanCursorPresent(800, 600, x, y, 32, 32), 800, 600, {});
        }
    }
}

TEST(PresentPlan, ChatWindowIsLeftOutExceptWhileLoading) {
    const SurfaceRect chat{11, 570, 414, 590};
    // Cursor positions away from, beside, above-overlapping and inside the chat window.
    const int places[][2] = {{400, 300}, {0, 0}, {500, 575}, {100, 560}, {100, 580}, {413, 589}, {5, 592}};
    for (const auto& p : places) {
        const auto plan = present::PlanChatWindowPresent(800, 600, p[0], p[1], 32, 32, false);
        for (int i = 0; i < plan.stripCount; ++i) {
            const SurfaceRect& r = plan.strips[i];
            const bool overlaps =
                r.left < chat.right && r.right > chat.left && r.top < chat.bottom && r.bottom > chat.top;
            EXPECT_FALSE(overlaps && !Empty(r)) << p[0] << "," << p[1];
        }
        const SurfaceRect& k = plan.cursor;
        const bool cursorOverChat =
            k.left < chat.right && k.right > chat.left && k.top < chat.bottom && k.bottom > chat.top;
        EXPECT_FALSE(cursorOverChat && !Empty(k)) << p[0] << "," << p[1];
    }
    // Cursor whose top lies inside the window: the part below it is drawn from that row on.
    const auto inside = present::PlanChatWindowPresent(800, 600, 100, 580, 32, 32, false);
    EXPECT_EQ(inside.cursor.top, 590);
    EXPECT_EQ(inside.cursorSourceTop, 10);
    ExpectCoversOnce(present::PlanChatWindowPresent(800, 600, 400, 300, 32, 32, true), 800, 600, {});
}

// A test data folder with cursor pictures; the display loads them from Image/ of the current folder.
class DisplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        dir_ = std::filesystem::temp_directory_path() / ("display_test_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_ / "Image");
        std::filesystem::current_path(dir_);
    }
    void TearDown() override {
        present::ReleaseDisplay(display_);
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(dir_);
    }
    // A 4 x 4 cursor: frame n is a diagonal in palette colour n + 1, the rest transparent.
    void WriteCursors() {
        const std::vector<fni_bytes::Color> palette = {
            {0, 0, 0, 0}, {0, 0, 0xFF, 0}, {0, 0xFF, 0, 0}, {0xFF, 0, 0, 0}};
        for (int n = 0; n < 3; ++n) {
            std::vector<uint8_t> px(16, 0);
            for (int i = 0; i < 4; ++i) {
                px[static_cast<size_t>(i) * 4 + i] = static_cast<uint8_t>(n + 1);
            }
            const auto bytes = fni_bytes::File(4, 4, 0, palette, fni_bytes::Encode(px, 4, 0));
            std::ofstream(dir_ / "Image" / ("Mouse0" + std::to_string(n) + ".fni"), std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
    }
    void Init() {
        display_.displayWidth = 40;
        display_.displayHeight = 30;
        ASSERT_EQ(present::InitDisplay(display_, nullptr, 1000), 0);
        // A recognisable back buffer: white with a blue band.
        present::FillSurface(*display_.backBuffer, 0xFFFFFF);
        present::FillRect(*display_.backBuffer, {0, 10, 40, 12}, 0x0000FF);
    }
    Display display_;
    std::filesystem::path dir_;
    std::filesystem::path previous_;
};

TEST_F(DisplayTest, CreatesTheSurfaceSetAndReleasesIt) {
    WriteCursors();
    Init();
    EXPECT_NE(display_.primarySurface, nullptr);
    EXPECT_NE(display_.sceneCopySurface, nullptr);
    ASSERT_NE(display_.cursorSurface, nullptr);
    EXPECT_EQ(display_.cursorSurface->width, 4);
    ASSERT_NE(display_.mapPanelSurface, nullptr);
    EXPECT_EQ(display_.mapPanelSurface->width, 160);
    EXPECT_TRUE(display_.mapPanelSurface->hasSourceKey);
    EXPECT_EQ(display_.cursorX, 20);
    EXPECT_EQ(display_.cursorY, 15);
    EXPECT_EQ(display_.cursorFrameTime, 1000u);
    present::ReleaseDisplay(display_);
    EXPECT_EQ(display_.primarySurface, nullptr);
    EXPECT_EQ(display_.cursorSurface, nullptr);
    EXPECT_EQ(display_.cursorFrames[0].width, 0);
    present::ReleaseDisplay(display_);  // twice is harmless
}

TEST_F(DisplayTest, PresentsWithTheCursorComposedOutsideTheBackBuffer) {
    WriteCursors();
    Init();
    display_.cursorShown = 1;
    display_.cursorFrame = 1;
    display_.cursorX = 38;
    display_.cursorY = 9;
    ASSERT_EQ(present::PresentFrame(display_, false), 0);
    platform::DrawSurface& screen = *display_.primarySurface;
    EXPECT_EQ(ReadPixelRgb(screen, 38, 9), 0x00FF00u);  // frame 1's diagonal, cut at the edge
    EXPECT_EQ(ReadPixelRgb(screen, 39, 10), 0x00FF00u);
    EXPECT_EQ(ReadPixelRgb(screen, 39, 9), 0xFFFFFFu);   // transparent cursor pixel shows the picture
    EXPECT_EQ(ReadPixelRgb(screen, 38, 11), 0x0000FFu);  // under the cursor rectangle, off its diagonal
    EXPECT_EQ(ReadPixelRgb(screen, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(ReadPixelRgb(screen, 5, 29), 0xFFFFFFu);
    EXPECT_EQ(ReadPixelRgb(*display_.backBuffer, 38, 9), 0xFFFFFFu);  // never drawn into
    // Without the cursor the picture arrives as it is.
    display_.cursorShown = 0;
    ASSERT_EQ(present::PresentFrame(display_, false), 0);
    EXPECT_EQ(ReadPixelRgb(screen, 38, 9), 0xFFFFFFu);
}

TEST_F(DisplayTest, WithoutCursorPicturesThePictureStillArrives) {
    Init();
    EXPECT_EQ(display_.cursorSurface, nullptr);
    display_.cursorShown = 1;
    ASSERT_EQ(present::PresentFrame(display_, false), 0);
    EXPECT_EQ(ReadPixelRgb(*display_.primarySurface, 20, 11), 0x0000FFu);
    display_.systemChatWindow = 1;
    ASSERT_EQ(present::PresentFrame(display_, true), 0);
}

TEST_F(DisplayTest, ChatWindowKeepsItsPlaceExceptWhileLoading) {
    WriteCursors();
    display_.displayWidth = 800;
    display_.displayHeight = 600;
    ASSERT_EQ(present::InitDisplay(display_, nullptr, 0), 0);
    present::FillSurface(*display_.backBuffer, 0x0000FF);
    display_.systemChatWindow = 1;
    display_.cursorShown = 1;
    display_.cursorX = 100;
    display_.cursorY = 568;  // over the top edge of the chat window
    ASSERT_EQ(present::PresentFrame(display_, false), 0);
    platform::DrawSurface& screen = *display_.primarySurface;
    EXPECT_EQ(ReadPixelRgb(screen, 11, 570), 0x000000u);  // the chat window's place is left alone
    EXPECT_EQ(ReadPixelRgb(screen, 413, 589), 0x000000u);
    EXPECT_EQ(ReadPixelRgb(screen, 102, 571), 0x000000u);  // also under the cursor
    EXPECT_EQ(ReadPixelRgb(screen, 100, 568), 0xFF0000u);  // the cursor above the window
    EXPECT_EQ(ReadPixelRgb(screen, 10, 575), 0x0000FFu);
    EXPECT_EQ(ReadPixelRgb(screen, 414, 575), 0x0000FFu);
    EXPECT_EQ(ReadPixelRgb(screen, 200, 590), 0x0000FFu);
    ASSERT_EQ(present::PresentFrame(display_, true), 0);
    EXPECT_EQ(ReadPixelRgb(screen, 11, 570), 0x0000FFu);  // the loading picture covers it too
}

TEST_F(DisplayTest, LostSurfacesAreRestoredByTheNextPresent) {
    WriteCursors();
    Init();
    platform::MarkSurfaceLost(*display_.backBuffer);
    platform::MarkSurfaceLost(*display_.cursorSurface);
    EXPECT_EQ(present::PresentFrame(display_, false), platform::kSurfaceLost);
    EXPECT_FALSE(platform::IsSurfaceLost(*display_.backBuffer));
    EXPECT_FALSE(platform::IsSurfaceLost(*display_.cursorSurface));
    EXPECT_EQ(present::PresentFrame(display_, false), 0);
}

TEST_F(DisplayTest, SceneCopyRestoresWhatTheHudDrewOver) {
    Init();
    present::SaveScene(display_);
    present::FillSurface(*display_.backBuffer, 0xFF0000);
    present::RestoreArea(display_, 0, 10, 5, 2);
    EXPECT_EQ(ReadPixelRgb(*display_.backBuffer, 4, 11), 0x0000FFu);
    EXPECT_EQ(ReadPixelRgb(*display_.backBuffer, 5, 11), 0xFF0000u);
    present::RestoreRect(display_, {30, 0, 99, 99});  // cut at the picture
    EXPECT_EQ(ReadPixelRgb(*display_.backBuffer, 39, 29), 0xFFFFFFu);
    present::RestoreBackground(display_);
    EXPECT_EQ(ReadPixelRgb(*display_.backBuffer, 0, 0), 0xFFFFFFu);
}

TEST(CursorAnimation, StepsOnlyAfterMoreThan125MsWhileShown) {
    Display d;
    d.cursorFrameTime = 0;
    present::AnimateCursor(d, 500);
    EXPECT_EQ(d.cursorFrame, 0);  // not shown: no animation
    d.cursorShown = 1;
    present::AnimateCursor(d, 125);
    EXPECT_EQ(d.cursorFrame, 0);
    present::AnimateCursor(d, 126);
    EXPECT_EQ(d.cursorFrame, 1);
    present::AnimateCursor(d, 200);
    EXPECT_EQ(d.cursorFrame, 1);
    present::AnimateCursor(d, 252);
    present::AnimateCursor(d, 378);
    EXPECT_EQ(d.cursorFrame, 0);  // 0, 1, 2, 0
}

}  // namespace
