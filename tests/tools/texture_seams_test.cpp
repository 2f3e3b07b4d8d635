#include "tools/toolkit/texture_seams.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tools/toolkit/image_adjust.h"

namespace {

constexpr uint8_t kClear = 0;

// A picture whose palette entry i is grey level 4 * i; index 0 is the transparent one.
present::FniImage GreyPicture(int width, int height, uint8_t (*index)(int x, int y)) {
    present::FniImage image;
    image.width = static_cast<uint16_t>(width);
    image.height = static_cast<uint16_t>(height);
    image.transparentIndex = kClear;
    for (int i = 0; i < 64; ++i) {
        image.palette.insert(image.palette.end(), {static_cast<uint8_t>(4 * i), static_cast<uint8_t>(4 * i),
                                                   static_cast<uint8_t>(4 * i), 0});
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back(index(x, y));
        }
    }
    return image;
}

TEST(TextureSeams, GroundThatRampsAcrossShowsASeamWhereItWraps) {
    // Brightness rising left to right steps back down where the texture repeats.
    const auto ramp = GreyPicture(32, 8, [](int x, int) { return static_cast<uint8_t>(1 + x); });
    EXPECT_NE(tools::WrapSeamProblem(ramp, tools::TextureWrap::kBothWays).find("left and right"),
              std::string::npos);
    // A wave that completes its period across the picture repeats cleanly both ways.
    const auto wave = GreyPicture(32, 8, [](int x, int) {
        return static_cast<uint8_t>(30 + std::lround(20 * std::sin(2 * 3.14159265 * x / 32)));
    });
    EXPECT_EQ(tools::WrapSeamProblem(wave, tools::TextureWrap::kBothWays), "");
    // Stripes whose edge inside is as sharp as the wrap are no seam.
    const auto stripes =
        GreyPicture(32, 8, [](int x, int) { return static_cast<uint8_t>(x < 16 ? 20 : 40); });
    EXPECT_EQ(tools::WrapSeamProblem(stripes, tools::TextureWrap::kBothWays), "");
}

TEST(TextureSeams, CutOutPicturesNeedATransparentBorderAndBackdropsMatchingEnds) {
    // A tree whose trunk reaches the bottom row would show a trunk-coloured bar above its top.
    const auto tree = GreyPicture(16, 16, [](int x, int y) {
        return static_cast<uint8_t>(
            (x > 6 && x < 9 && y > 8) || (y > 1 && y < 9 && x > 2 && x < 13) ? 20 : kClear);
    });
    EXPECT_NE(tools::WrapSeamProblem(tree, tools::TextureWrap::kCutOut).find("top and bottom"),
              std::string::npos);
    const auto kept = GreyPicture(16, 16, [](int x, int y) {
        return static_cast<uint8_t>(x > 2 && x < 13 && y > 1 && y < 15 ? 20 : kClear);
    });
    EXPECT_EQ(tools::WrapSeamProblem(kept, tools::TextureWrap::kCutOut), "");
    // A hill band whose skyline is 4 rows higher at the right edge than at the left.
    const auto hills =
        GreyPicture(32, 16, [](int x, int y) { return static_cast<uint8_t>(y >= 8 - x / 8 ? 30 : kClear); });
    EXPECT_NE(tools::WrapSeamProblem(hills, tools::TextureWrap::kAcross).find("transparency"),
              std::string::npos);
    EXPECT_EQ(tools::WrapSeamProblem(hills, tools::TextureWrap::kOnce), "");
}

tools::RgbaImage RampImage(int width, int height) {
    tools::RgbaImage image = tools::MakeRgbaImage(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &image.rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(4 * x), p[1] = static_cast<uint8_t>(3 * y), p[2] = 90, p[3] = 255;
        }
    }
    return image;
}

int Channel(const tools::RgbaImage& image, int x, int y, int c) {
    return image.rgba[(static_cast<size_t>(y) * image.width + x) * 4 + c];
}

TEST(ImageAdjust, TileablePicturesContinueAcrossTheirEdges) {
    tools::RgbaImage image = RampImage(64, 64);
    tools::MakeTileable(image, true, true);
    for (int y = 0; y < 64; y += 7) {
        // Across the wrap the step is no larger than between neighbours inside.
        EXPECT_LE(std::abs(Channel(image, 63, y, 0) - Channel(image, 0, y, 0)), 6) << y;
        EXPECT_LE(std::abs(Channel(image, y, 63, 1) - Channel(image, y, 0, 1)), 6) << y;
    }
    tools::ClearBorder(image);
    EXPECT_EQ(Channel(image, 0, 10, 3), 0);
    EXPECT_EQ(Channel(image, 10, 63, 3), 0);
    EXPECT_EQ(Channel(image, 10, 10, 3), 255);
}

TEST(ImageAdjust, SixteenBitDitherLeavesOnlyColoursAFiveSixFiveScreenShows) {
    tools::RgbaImage image = RampImage(64, 64);
    tools::DitherTo16Bit(image);
    long redSum = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const int r = Channel(image, x, y, 0), g = Channel(image, x, y, 1);
            EXPECT_EQ(std::lround(std::lround(r * 31 / 255.0) * 255 / 31.0), r);
            EXPECT_EQ(std::lround(std::lround(g * 63 / 255.0) * 255 / 63.0), g);
            redSum += r;
        }
    }
    // The dither keeps the picture's mean brightness: the ramp's mean red is 126.
    EXPECT_NEAR(redSum / (64.0 * 64.0), 126.0, 2.0);
    tools::ShadeImage(image, 0.5);
    EXPECT_LT(Channel(image, 63, 0, 0), 130);
}

}  // namespace
