#include "game/present/draw_primitives.h"

#include <gtest/gtest.h>

#include "tests/present/test_surfaces.h"

namespace {

using platform::SurfaceRect;
using test_surfaces::Make;
using test_surfaces::Raw;

// The set of pixels that differ from the fill value, as a picture of '#' and '.'.
std::string Marked(platform::DrawSurface& s, uint32_t background) {
    std::string out;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            out += Raw(s, x, y) == background ? '.' : '#';
        }
        out += '\n';
    }
    return out;
}

TEST(ConvertColor, PacksPerSurfaceLayout) {
    auto s565 = Make(1, 1, platform::kRgb565);
    auto s555 = Make(1, 1, platform::kRgb555);
    auto s1555 = Make(1, 1, platform::kArgb1555);
    auto s32 = Make(1, 1, platform::kXrgb8888);
    auto s24 = Make(1, 1, platform::kRgb888);
    EXPECT_EQ(present::ConvertColor(*s565, 0xFFFF00), 0xFFE0u);
    EXPECT_EQ(present::ConvertColor(*s555, 0xFFFF00), 0x7FE0u);
    EXPECT_EQ(present::ConvertColor(*s1555, 0xFFFFFF), 0x7FFFu);  // the alpha bit stays clear
    EXPECT_EQ(present::ConvertColor(*s565, 0x10204F), 0x1109u);
    EXPECT_EQ(present::ConvertColor(*s32, 0x10204F), 0x10204Fu);
    EXPECT_EQ(present::ConvertColor(*s24, 0x10204F), 0x10204Fu);
    present::FillSurface(*s24, 0x10204F);
    EXPECT_EQ(Raw(*s24, 0, 0), 0x10204Fu);
}

TEST(DrawFrame, CoversBothEdgesInclusive) {
    auto s = Make(8, 7, platform::kRgb565);
    present::DrawFrame(*s, {1, 1, 5, 4}, 0xFFFFFF);
    EXPECT_EQ(Marked(*s, 0),
              "........\n"
              ".#####..\n"
              ".#...#..\n"
              ".#...#..\n"
              ".#####..\n"
              "........\n"
              "........\n");
    auto big = Make(30, 30, platform::kRgb565);
    present::DrawFrame(*big, {10, 10, 20, 20}, 0xFFFFFF);
    int count = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            count += Raw(*big, x, y) != 0;
        }
    }
    EXPECT_EQ(count, 40);  // an 11 x 11 outline
    EXPECT_NE(Raw(*big, 20, 20), 0u);
    // A frame along the surface edge is cut, not written past it.
    present::DrawFrame(*s, {-3, -3, 7, 6}, 0x00FF00);
    EXPECT_EQ(Raw(*s, 7, 6), 0x07E0u);
}

TEST(DarkenRect, HalvesColumnsToRightMinusOneAndRowsToBottom) {
    auto s = Make(4, 4, platform::kRgb565);
    platform::ColorFill(*s, nullptr, 0xFFFF);
    present::DarkenRect(*s, {0, 0, 2, 2});
    EXPECT_EQ(Marked(*s, 0xFFFF),
              "##..\n"
              "##..\n"
              "##..\n"
              "....\n");
    EXPECT_EQ(Raw(*s, 1, 2), 0x7BEFu);
    auto s555 = Make(2, 2, platform::kRgb555);
    platform::ColorFill(*s555, nullptr, 0x7FFF);
    present::DarkenRect(*s555, {0, 0, 1, 0});
    EXPECT_EQ(Raw(*s555, 0, 0), 0x3DEFu);
    EXPECT_EQ(Raw(*s555, 1, 0), 0x7FFFu);
    auto s32 = Make(1, 1, platform::kXrgb8888);
    platform::ColorFill(*s32, nullptr, 0xFFFFFFFF);
    present::DarkenRect(*s32, {0, 0, 1, 0});
    EXPECT_EQ(Raw(*s32, 0, 0), 0x7F7F7F7Fu);
    auto s24 = Make(1, 1, platform::kRgb888);
    platform::ColorFill(*s24, nullptr, 0x8040FF);
    present::DarkenRect(*s24, {0, 0, 1, 0});
    EXPECT_EQ(Raw(*s24, 0, 0), 0x40207Fu);
    // The bottom row past the surface and rectangles beyond it are cut.
    present::DarkenRect(*s, {-5, 2, 99, 99});
    EXPECT_EQ(Raw(*s, 3, 3), 0x7BEFu);
}

TEST(DrawLine, StepsWithoutPlottingTheEndPoint) {
    auto s = Make(6, 4, platform::kRgb565);
    present::DrawLine(*s, 0, 0, 3, 0, 0xFFFFFF);
    EXPECT_EQ(Marked(*s, 0),
              "###...\n"
              "......\n"
              "......\n"
              "......\n");
    auto dot = Make(3, 3, platform::kRgb565);
    present::DrawLine(*dot, 1, 1, 1, 1, 0xFFFFFF);
    EXPECT_EQ(Marked(*dot, 0), "...\n...\n...\n");
    auto diag = Make(5, 5, platform::kRgb565);
    present::DrawLine(*diag, 4, 4, 0, 0, 0xFFFFFF);
    EXPECT_EQ(Marked(*diag, 0),
              ".....\n"
              ".#...\n"
              "..#..\n"
              "...#.\n"
              "....#\n");
}

TEST(DrawLine, PlotsOnlyInsideTheClipAndTheSurface) {
    auto s = Make(6, 3, platform::kRgb565);
    present::DrawLineClipped(*s, -10, 1, 20, 1, 0xFFFFFF, 2, 0, 4, 3);
    EXPECT_EQ(Marked(*s, 0), "......\n..##..\n......\n");
    // A clip rectangle larger than the surface is cut to it.
    present::DrawLineClipped(*s, -100, 2, 100, 2, 0xFFFFFF, -50, -50, 500, 500);
    EXPECT_EQ(Marked(*s, 0), "......\n..##..\n######\n");
    auto s24 = Make(2, 1, platform::kRgb888);
    present::DrawLine(*s24, 0, 0, 2, 0, 0x102030);
    EXPECT_EQ(Raw(*s24, 1, 0), 0x102030u);
    platform::MarkSurfaceLost(*s24);
    present::DrawLine(*s24, 0, 0, 2, 0, 0xFFFFFF);  // the lock fails: nothing drawn
    platform::RestoreSurface(*s24);
    EXPECT_EQ(Raw(*s24, 0, 0), 0x102030u);
}

}  // namespace
