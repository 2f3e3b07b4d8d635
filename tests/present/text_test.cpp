#include "game/present/text.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using platform::DrawSurface;
using present::DrawTextAt;
using present::SetTextFont;
using present::TextFont;
using present::TextWidth;

struct SurfaceDeleter {
    void operator()(DrawSurface* s) const { platform::ReleaseDrawSurface(s); }
};
using SurfacePtr = std::unique_ptr<DrawSurface, SurfaceDeleter>;

constexpr uint32_t kBackground = 0x000040;

SurfacePtr Canvas(int width = 200, int height = 60,
                  const platform::PixelFormat& format = platform::kXrgb8888) {
    SurfacePtr s(platform::CreateDrawSurface(width, height, format));
    platform::ColorFill(*s, nullptr, kBackground);
    return s;
}

// The bounding box of every pixel that differs from the background; right and bottom exclusive.
struct Ink {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
};

Ink InkOf(DrawSurface& s) {
    Ink ink;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (platform::ReadPixelRgb(s, x, y) != kBackground) {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
                ++ink.count;
            }
        }
    }
    return ink;
}

TextFont Font(const char* face, int width, int height, bool bold,
              platform::CodePage codePage = platform::CodePage::Western1252) {
    TextFont font;
    font.codePage = codePage;
    SetTextFont(font, face, width, height, bold);
    return font;
}

TEST(Text, FontSettingKeepsItsFieldsAndCutsLongFaces) {
    TextFont font;
    EXPECT_STREQ(font.face, "Arial");
    EXPECT_EQ(font.width, 8);
    EXPECT_EQ(font.height, 16);
    std::string longFace(100, 'F');
    SetTextFont(font, longFace.c_str(), 7, 14, true);
    EXPECT_EQ(std::string(font.face), longFace.substr(0, 59));
    EXPECT_EQ(font.bold, 1);
    EXPECT_EQ(present::TextCodePageForLanguage("kor"), platform::CodePage::Korean949);
    EXPECT_EQ(present::TextCodePageForLanguage("JPN"), platform::CodePage::Japanese932);
    EXPECT_EQ(present::TextCodePageForLanguage("Kor"), platform::CodePage::Western1252);
}

TEST(Text, EmptyTextMeasuresZeroAndDrawsNothing) {
    SurfacePtr s = Canvas();
    for (bool bold : {false, true}) {
        TextFont font = Font("Arial", 8, 16, bold);
        EXPECT_EQ(TextWidth(font, ""), 0);
        DrawTextAt(font, *s, 10, 10, 0xFFFFFF, "", present::kAlignLeft);
    }
    EXPECT_EQ(InkOf(*s).count, 0);
}

TEST(Text, BoldWidthIsRegularWidthPlusOnePerCharacter) {
    TextFont regular = Font("Arial", 8, 16, false);
    TextFont bold = Font("Arial", 8, 16, true);
    int a = TextWidth(regular, "a");
    int b = TextWidth(regular, "b");
    EXPECT_GT(a, 0);
    EXPECT_EQ(TextWidth(bold, "ab"), a + 1 + b + 1);
    // A two-byte character counts once.
    TextFont koreanRegular = Font("Arial", 8, 16, false, platform::CodePage::Korean949);
    TextFont koreanBold = Font("Arial", 8, 16, true, platform::CodePage::Korean949);
    int ga = TextWidth(koreanRegular, "\xB0\xA1");
    EXPECT_GT(ga, a);
    EXPECT_EQ(TextWidth(koreanBold,
                        "\xB0\xA1"
                        "a"),
              ga + 1 + a + 1);
    // A lead byte at the very end stands alone.
    EXPECT_EQ(TextWidth(koreanBold, "a\xB0"), a + 1 + TextWidth(koreanRegular, "\xB0") + 1);
}

TEST(Text, CellHeightAndAverageWidthScaleTheGlyphs) {
    const char* sample = "the quick brown fox jumps over the lazy dog";
    int narrow = TextWidth(Font("Arial", 8, 16, false), sample);
    int wide = TextWidth(Font("Arial", 16, 16, false), sample);
    EXPECT_NEAR(narrow, 8 * 43, 8 * 43 / 6);
    EXPECT_NEAR(wide, 2 * narrow, narrow / 10);
    // Glyphs stay inside their cell: a capital of a 16 pixel cell drawn at y = 20 lies within 20..35.
    SurfacePtr s = Canvas();
    DrawTextAt(Font("Arial", 8, 16, false), *s, 10, 20, 0xFFFFFF, "H", present::kAlignLeft);
    Ink small = InkOf(*s);
    EXPECT_GE(small.top, 20);
    EXPECT_LE(small.bottom, 36);
    SurfacePtr t = Canvas();
    DrawTextAt(Font("Arial", 8, 32, false), *t, 10, 20, 0xFFFFFF, "H", present::kAlignLeft);
    Ink big = InkOf(*t);
    EXPECT_NEAR(big.bottom - big.top, 2 * (small.bottom - small.top), 3);
}

TEST(Text, ColourReachesThePixelsAndTheBackgroundStays) {
    for (const platform::PixelFormat& format : {platform::kXrgb8888, platform::kRgb565}) {
        SurfacePtr s = Canvas(200, 60, format);
        DrawTextAt(Font("Arial", 12, 30, true), *s, 10, 10, 0xFFFF00, "MW", present::kAlignLeft);
        int yellow = 0;
        for (int y = 0; y < 60; ++y) {
            for (int x = 0; x < 200; ++x) {
                yellow += platform::ReadPixelRgb(*s, x, y) == 0xFFFF00 ? 1 : 0;
            }
        }
        EXPECT_GT(yellow, 40);
        EXPECT_EQ(platform::ReadPixelRgb(*s, 0, 0), platform::ReadPixelRgb(*s, 199, 59));
        EXPECT_NE(platform::ReadPixelRgb(*s, 0, 0), 0xFFFF00u);
    }
}

TEST(Text, AlignmentPlacesTheTextAroundX) {
    TextFont font = Font("Arial", 8, 16, false);
    const char* text = "Par 4";
    int width = TextWidth(font, text);
    SurfacePtr left = Canvas();
    DrawTextAt(font, *left, 100, 10, 0xFFFFFF, text, present::kAlignLeft);
    SurfacePtr right = Canvas();
    DrawTextAt(font, *right, 100, 10, 0xFFFFFF, text, present::kAlignRight);
    SurfacePtr centre = Canvas();
    DrawTextAt(font, *centre, 100, 10, 0xFFFFFF, text, present::kAlignCenter);
    Ink l = InkOf(*left), r = InkOf(*right), c = InkOf(*centre);
    EXPECT_NEAR(l.left, 100, 2);
    EXPECT_NEAR(l.right, 100 + width, 2);
    EXPECT_NEAR(r.right, 100, 2);
    EXPECT_EQ(l.left - r.left, width);
    EXPECT_EQ(l.left - c.left, width / 2);
}

TEST(Text, KoreanAndJapaneseBytesDrawRealGlyphs) {
    // Missing glyphs all draw the same box; real ones differ from each other and have ink.
    struct Case {
        const char* face;
        platform::CodePage codePage;
        const char* first;
        const char* second;
    };
    const Case cases[] = {
        {"\xB1\xBC\xB8\xB2\xC3\xBC", platform::CodePage::Korean949, "\xB0\xA1", "\xB3\xAA"},
        {"Arial", platform::CodePage::Korean949, "\xB0\xA1", "\xB3\xAA"},
        {"MS Gothic", platform::CodePage::Japanese932, "\x93\xFA", "\x96\x7B"},
    };
    for (const Case& c : cases) {
        TextFont font = Font(c.face, 8, 16, false, c.codePage);
        SurfacePtr a = Canvas(40, 40);
        SurfacePtr b = Canvas(40, 40);
        DrawTextAt(font, *a, 4, 4, 0xFFFFFF, c.first, present::kAlignLeft);
        DrawTextAt(font, *b, 4, 4, 0xFFFFFF, c.second, present::kAlignLeft);
        Ink inkA = InkOf(*a), inkB = InkOf(*b);
        EXPECT_GT(inkA.count, 20) << c.face;
        EXPECT_NE(inkA.count, inkB.count) << c.face;
        // A full-width character of an 8 x 16 font is about two average characters wide.
        EXPECT_NEAR(TextWidth(font, c.first), 16, 3) << c.face;
    }
}

}  // namespace
