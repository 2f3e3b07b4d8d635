#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>

#include "game/present/fni_image.h"
#include "tests/present/fni_bytes.h"
#include "tests/present/test_surfaces.h"

namespace {

using platform::ReadPixelRgb;
using platform::SurfaceRect;
using present::DrawFni;
using present::FniImage;

using test_surfaces::SurfacePtr;

SurfacePtr Surface(int w, int h, const platform::PixelFormat& f = platform::kXrgb8888) {
    SurfacePtr s = test_surfaces::Make(w, h, f);
    EXPECT_NE(s, nullptr);
    return s;
}

const std::vector<fni_bytes::Color> kPalette = {
    {0, 0, 0, 0},     // 0: transparent in most tests
    {0, 0, 0xFF, 0},  // 1: red
    {0, 0xFF, 0, 0},  // 2: green
    {0xFF, 0, 0, 0},  // 3: blue
};

FniImage Load(const std::vector<uint8_t>& bytes, bool keepCompressed) {
    FniImage image;
    EXPECT_EQ(present::LoadFniFromBytes(image, bytes.data(), bytes.size(), keepCompressed), 0);
    return image;
}

// An image whose pixel (x, y) has index 1 + (x + y) % 3, never transparent.
std::vector<uint8_t> Stripes(int w, int h) {
    std::vector<uint8_t> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            px[static_cast<size_t>(y) * w + x] = static_cast<uint8_t>(1 + (x + y) % 3);
        }
    }
    return px;
}

uint32_t StripeRgb(int x, int y) {
    static const uint32_t rgb[3] = {0xFF0000, 0x00FF00, 0x0000FF};
    return rgb[(x + y) % 3];
}

TEST(FniLoad, ReadsTheHeaderPaletteAndStreamAsLaidOut) {
    const std::vector<uint8_t> stream = {0, 2, 1, 2, 1, 1, 3};
    const FniImage image = Load(fni_bytes::File(3, 2, 0, kPalette, stream), true);
    EXPECT_EQ(std::string(image.magic, 6), "FNIBMP");
    EXPECT_EQ(image.unread, 0xCDAB);
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.paletteCount, 4);
    EXPECT_EQ(image.dataSize, 7u);
    EXPECT_EQ(image.compressed, 1u);
    EXPECT_EQ(image.pixels, stream);
    ASSERT_EQ(image.palette.size(), 16u);
    EXPECT_EQ(image.palette[6], 0xFF);  // red of entry 1
}

TEST(FniLoad, FailuresLeaveTheRecordAsItWas) {
    FniImage image = Load(fni_bytes::File(1, 1, 0, kPalette, {0, 1, 2}), true);
    const FniImage before = image;
    auto bytes = fni_bytes::File(5, 5, 0, kPalette, {25});
    bytes[3] = 'X';  // wrong magic
    EXPECT_NE(present::LoadFniFromBytes(image, bytes.data(), bytes.size(), false), 0);
    bytes = fni_bytes::File(5, 5, 0, kPalette, {25});
    EXPECT_NE(present::LoadFniFromBytes(image, bytes.data(), 18, false), 0);       // header cut
    EXPECT_NE(present::LoadFniFromBytes(image, bytes.data(), 19 + 15, false), 0);  // palette cut
    EXPECT_NE(present::LoadFni(image, "/nonexistent/Mouse00.fni", false), 0);
    const auto huge = fni_bytes::File(65535, 65535, 0, kPalette, {0});
    EXPECT_NE(present::LoadFniFromBytes(image, huge.data(), huge.size(), false), 0);
    EXPECT_EQ(image.width, before.width);
    EXPECT_EQ(image.pixels, before.pixels);
    EXPECT_EQ(image.palette, before.palette);
}

TEST(FniLoad, ReadsFromAFile) {
    const auto path = std::filesystem::temp_directory_path() / "fni_load_test.fni";
    const auto bytes = fni_bytes::File(2, 1, 0, kPalette, {0, 2, 3, 1});
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    FniImage image;
    EXPECT_EQ(present::LoadFni(image, path.c_str(), false), 0);
    EXPECT_EQ(image.compressed, 0u);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 1}));
    std::filesystem::remove(path);
}

TEST(FniExpand, FollowsTheAlternatingRuns) {
    // Skip 0, literal 2 (3, 1), skip 1, literal 1 (2): a stream may start with a literal pixel.
    FniImage image = Load(fni_bytes::File(2, 2, 0, kPalette, {0, 2, 3, 1, 1, 1, 2}), false);
    EXPECT_EQ(image.compressed, 0u);
    EXPECT_EQ(image.pixels, (std::vector<uint8_t>{3, 1, 0, 2}));
}

TEST(FniExpand, BadStreamsStayInsideThePicture) {
    // Runs adding up to more than width x height are cut; a literal run cut by the end of the
    // stream keeps what is there; pixels the stream never reaches stay transparent.
    FniImage overlong = Load(fni_bytes::File(2, 1, 7, kPalette, {0, 5, 1, 2, 3, 1, 2, 200, 9}), false);
    EXPECT_EQ(overlong.pixels, (std::vector<uint8_t>{1, 2}));
    FniImage cut = Load(fni_bytes::File(3, 2, 7, kPalette, {1, 4, 2}, 50), false);
    EXPECT_EQ(cut.pixels, (std::vector<uint8_t>{7, 2, 7, 7, 7, 7}));
    FniImage empty = Load(fni_bytes::File(0, 0, 0, {}, {}), false);
    EXPECT_TRUE(empty.pixels.empty());
}

TEST(FniDraw, CompressedAndExpandedDrawTheSamePixels) {
    const int w = 9;
    const int h = 4;
    std::vector<uint8_t> px = Stripes(w, h);
    px[5] = 0;  // a few transparent pixels
    px[20] = 0;
    const auto bytes = fni_bytes::File(w, h, 0, kPalette, fni_bytes::Encode(px, w, 0));
    for (const auto& format :
         {platform::kRgb565, platform::kRgb555, platform::kRgb888, platform::kXrgb8888}) {
        SurfacePtr a = Surface(12, 6, format);
        SurfacePtr b = Surface(12, 6, format);
        platform::ColorFill(*a, nullptr, 0x0841);
        platform::ColorFill(*b, nullptr, 0x0841);
        EXPECT_EQ(DrawFni(*a, Load(bytes, true), 2, 1, nullptr), 0);
        EXPECT_EQ(DrawFni(*b, Load(bytes, false), 2, 1, nullptr), 0);
        for (int y = 0; y < 6; ++y) {
            for (int x = 0; x < 12; ++x) {
                ASSERT_EQ(ReadPixelRgb(*a, x, y), ReadPixelRgb(*b, x, y)) << x << "," << y;
            }
        }
        const uint32_t background = ReadPixelRgb(*a, 0, 0);
        EXPECT_EQ(ReadPixelRgb(*a, 2 + 5, 1), background);      // transparent pixel untouched
        EXPECT_EQ(ReadPixelRgb(*a, 2 + 2, 1 + 2), background);  // the other transparent pixel
        EXPECT_EQ(ReadPixelRgb(*a, 2 + 3, 1 + 2), StripeRgb(3, 2));
        EXPECT_EQ(ReadPixelRgb(*a, 11, 1), background);  // right of the picture
    }
}

TEST(FniDraw, PaletteEntriesPerPixelFormat) {
    // blue 0xFF, green 0x80, red 0x10
    const std::vector<fni_bytes::Color> palette = {{0, 0, 0, 0}, {0xFF, 0x80, 0x10, 0x44}};
    const auto bytes = fni_bytes::File(1, 1, 0, palette, {0, 1, 1});
    struct Case {
        platform::PixelFormat format;
        bool compressed;
        uint32_t pixel;
    } cases[] = {
        {platform::kRgb565, true, 0x141F},    {platform::kRgb565, false, 0x141F},
        {platform::kRgb555, true, 0x0A1F},    {platform::kArgb1555, true, 0x8A1F},
        {platform::kArgb1555, false, 0x0A1F}, {platform::kXrgb8888, false, 0x4410'80FF},
        {platform::kRgb888, true, 0x1080FF},
    };
    for (const Case& c : cases) {
        SurfacePtr s = Surface(1, 1, c.format);
        EXPECT_EQ(DrawFni(*s, Load(bytes, c.compressed), 0, 0, nullptr), 0);
        EXPECT_EQ(test_surfaces::Raw(*s, 0, 0), c.pixel) << c.format.bitsPerPixel << " " << c.compressed;
    }
    // 4444 is neither layout: nothing is drawn.
    SurfacePtr other = Surface(1, 1, platform::kArgb4444);
    EXPECT_EQ(DrawFni(*other, Load(bytes, true), 0, 0, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*other, 0, 0), 0u);
}

TEST(FniDraw, ExpandedPicturesAreClippedAndCut) {
    const auto bytes = fni_bytes::File(64, 16, 0, kPalette, fni_bytes::Encode(Stripes(64, 16), 64, 0));
    const FniImage image = Load(bytes, false);
    // Left edge: only columns 10 onwards.
    SurfacePtr s = Surface(100, 40);
    EXPECT_EQ(DrawFni(*s, image, -10, 5, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*s, 0, 5), StripeRgb(10, 0));
    EXPECT_EQ(ReadPixelRgb(*s, 53, 20), StripeRgb(63, 15));
    EXPECT_EQ(ReadPixelRgb(*s, 54, 20), 0u);
    // Right and bottom edges.
    SurfacePtr edge = Surface(70, 20);
    EXPECT_EQ(DrawFni(*edge, image, 60, 10, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*edge, 69, 19), StripeRgb(9, 9));
    // Source rectangle {20, 0, 40, 16}: 20 columns x 16 rows.
    SurfacePtr part = Surface(30, 20);
    const SurfaceRect source{20, 0, 40, 16};
    EXPECT_EQ(DrawFni(*part, image, 0, 0, &source), 0);
    EXPECT_EQ(ReadPixelRgb(*part, 0, 0), StripeRgb(20, 0));
    EXPECT_EQ(ReadPixelRgb(*part, 19, 15), StripeRgb(39, 15));
    EXPECT_EQ(ReadPixelRgb(*part, 20, 0), 0u);
    EXPECT_EQ(ReadPixelRgb(*part, 0, 16), 0u);
    // A source rectangle beyond the picture reads only the picture.
    const SurfaceRect wide{-4, -4, 500, 500};
    SurfacePtr big = Surface(80, 30);
    EXPECT_EQ(DrawFni(*big, image, 0, 0, &wide), 0);
    EXPECT_EQ(ReadPixelRgb(*big, 4, 4), StripeRgb(0, 0));
    EXPECT_EQ(ReadPixelRgb(*big, 68, 4), 0u);
    // Wholly outside: nothing left to draw.
    EXPECT_EQ(DrawFni(*s, image, 101, 0, nullptr), present::kFniNothingDrawn);
    EXPECT_EQ(DrawFni(*s, image, -65, 0, nullptr), present::kFniNothingDrawn);
}

TEST(FniDraw, CompressedWritesStayInsideThePictureAndSurface) {
    // A literal run crossing the row end (cut there; 99 is never drawn), an index beyond the
    // palette (9: drawn black), and a last run longer than the stream and the picture.
    const std::vector<uint8_t> stream = {0, 6, 1, 2, 9, 1, 2, 99, 0, 3, 1, 1, 1, 0, 250, 1, 2};
    const FniImage image = Load(fni_bytes::File(4, 2, 0, kPalette, stream), true);
    SurfacePtr s = Surface(8, 5);
    platform::ColorFill(*s, nullptr, 0x123456);
    EXPECT_EQ(DrawFni(*s, image, 2, 1, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*s, 2, 1), 0xFF0000u);
    EXPECT_EQ(ReadPixelRgb(*s, 4, 1), 0x000000u);
    EXPECT_EQ(ReadPixelRgb(*s, 5, 1), 0xFF0000u);
    EXPECT_EQ(ReadPixelRgb(*s, 6, 1), 0x123456u);
    EXPECT_EQ(ReadPixelRgb(*s, 5, 2), 0xFF0000u);
    EXPECT_EQ(ReadPixelRgb(*s, 6, 2), 0x123456u);
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(ReadPixelRgb(*s, x, 0), 0x123456u);
        EXPECT_EQ(ReadPixelRgb(*s, x, 3), 0x123456u);
    }
    // Placed partly outside the surface, it is cut instead of writing past the rows.
    SurfacePtr small = Surface(3, 1);
    EXPECT_EQ(DrawFni(*small, image, 1, 0, nullptr), 0);
    EXPECT_EQ(DrawFni(*small, image, -2, -1, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*small, 0, 0), 0xFF0000u);
    EXPECT_EQ(ReadPixelRgb(*small, 1, 0), 0xFF0000u);
    EXPECT_EQ(ReadPixelRgb(*small, 2, 0), 0x00FF00u);
}

TEST(FniDraw, EmptyRecordsDrawNothingAndLostSurfacesRefuse) {
    SurfacePtr s = Surface(4, 4);
    FniImage empty;
    EXPECT_EQ(DrawFni(*s, empty, 0, 0, nullptr), 0);
    empty.compressed = 1;
    EXPECT_EQ(DrawFni(*s, empty, 0, 0, nullptr), 0);
    EXPECT_EQ(ReadPixelRgb(*s, 0, 0), 0u);
    platform::MarkSurfaceLost(*s);
    EXPECT_EQ(DrawFni(*s, empty, 0, 0, nullptr), platform::kSurfaceLost);
}

TEST(FniFree, EmptiesTheRecord) {
    FniImage image = Load(fni_bytes::File(2, 1, 0, kPalette, {0, 2, 1, 1}), false);
    EXPECT_EQ(present::FreeFni(image), 0);
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.compressed, 0u);
    EXPECT_TRUE(image.pixels.empty());
    EXPECT_TRUE(image.palette.empty());
}

}  // namespace
