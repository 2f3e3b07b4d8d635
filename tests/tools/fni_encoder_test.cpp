#include "tools/toolkit/fni_encoder.h"

#include <gtest/gtest.h>

#include <cstring>

#include "game/present/fni_image.h"
#include "tools/toolkit/palette_quantizer.h"

namespace {

constexpr uint8_t kClear = 9;

tools::PalettedImage MakeIndexed(int width, int height, const std::vector<uint8_t>& indices) {
    tools::PalettedImage image;
    image.width = width;
    image.height = height;
    image.indices = indices;
    image.transparentIndex = kClear;
    image.palette.assign(10 * 4, 0);
    for (int i = 0; i < 10; ++i) {
        image.palette[i * 4 + 2] = static_cast<uint8_t>(i * 20);  // red
    }
    return image;
}

// Walks a stream the way the game's compressed drawing does and returns the pixels, failing the
// test when a run crosses a row end or the runs do not add up to the picture.
std::vector<uint8_t> WalkStream(const std::vector<uint8_t>& stream, int width, int height) {
    std::vector<uint8_t> pixels;
    bool skip = true;
    size_t at = 0;
    int column = 0;
    while (at < stream.size()) {
        const int count = stream[at++];
        EXPECT_LE(column + count, width) << "a run crosses the end of a row";
        for (int i = 0; i < count; ++i) {
            pixels.push_back(skip ? kClear : stream[at++]);
        }
        column += count;
        if (column >= width) {
            column = 0;
        }
        skip = !skip;
    }
    EXPECT_EQ(pixels.size(), static_cast<size_t>(width) * height);
    return pixels;
}

TEST(FniEncoder, HeaderPaletteAndStreamAreLaidOutByteForByte) {
    const tools::PalettedImage image = MakeIndexed(3, 2, {kClear, 1, 2, 3, kClear, kClear});
    const std::vector<uint8_t> bytes = tools::EncodeFni(image);
    // Row 0: skip 1, literal 2 (1 2); row 1: skip 0, literal 1 (3), skip 2.
    const std::vector<uint8_t> stream = {1, 2, 1, 2, 0, 1, 3, 2};
    std::vector<uint8_t> expected = {'F', 'N', 'I', 'B', 'M',    'P', 0, 0,
                                     3,   0,   2,   0,   kClear, 10,  0, static_cast<uint8_t>(stream.size()),
                                     0,   0,   0};
    expected.insert(expected.end(), image.palette.begin(), image.palette.end());
    expected.insert(expected.end(), stream.begin(), stream.end());
    EXPECT_EQ(bytes, expected);
}

TEST(FniEncoder, RunsStopAtRowEndsAndLongRunsAreSplit) {
    // 600 pixels per row: opaque runs longer than 255 and transparent stretches across row ends.
    const int width = 600;
    const int height = 4;
    std::vector<uint8_t> indices(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool clear = (y % 2 == 0) ? x >= 550 : x < 40;
            indices[static_cast<size_t>(y) * width + x] = clear ? kClear : static_cast<uint8_t>(x % 7);
        }
    }
    const tools::PalettedImage image = MakeIndexed(width, height, indices);
    EXPECT_EQ(WalkStream(tools::EncodeFniStream(image), width, height), indices);

    // The game's loader expands the file to the same indices.
    const std::vector<uint8_t> file = tools::EncodeFni(image);
    present::FniImage loaded;
    ASSERT_EQ(present::LoadFniFromBytes(loaded, file.data(), file.size(), false), 0);
    EXPECT_EQ(loaded.width, width);
    EXPECT_EQ(loaded.transparentIndex, kClear);
    EXPECT_EQ(loaded.palette, image.palette);
    EXPECT_EQ(loaded.pixels, indices);
}

TEST(FniEncoder, EmptyAndFullyTransparentPictures) {
    EXPECT_TRUE(tools::EncodeFniStream(MakeIndexed(0, 0, {})).empty());
    const std::vector<uint8_t> clear(5 * 3, kClear);
    EXPECT_EQ(WalkStream(tools::EncodeFniStream(MakeIndexed(5, 3, clear)), 5, 3), clear);
}

tools::RgbaImage FourColourPicture() {
    tools::RgbaImage image = tools::MakeRgbaImage(16, 8);
    const uint8_t colours[4][3] = {{200, 30, 30}, {30, 200, 30}, {30, 30, 200}, {250, 250, 250}};
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            uint8_t* p = &image.rgba[(y * 16 + x) * 4];
            const uint8_t* c = colours[(x / 4 + y) % 4];
            p[0] = c[0], p[1] = c[1], p[2] = c[2];
            p[3] = (x + y) % 5 == 0 ? 0 : 255;  // every fifth pixel transparent
        }
    }
    return image;
}

TEST(PaletteQuantizer, FewColoursSurviveExactlyAndTransparencyFollowsAlpha) {
    const tools::RgbaImage picture = FourColourPicture();
    tools::PalettedImage paletted;
    std::string error;
    ASSERT_TRUE(tools::QuantizeImage(picture, {}, paletted, error)) << error;
    ASSERT_LE(tools::PaletteCount(paletted), 256);
    const tools::RgbaImage back = tools::PalettedToRgba(paletted);
    for (size_t i = 0; i < picture.rgba.size() / 4; ++i) {
        if (picture.rgba[i * 4 + 3] == 0) {
            EXPECT_EQ(paletted.indices[i], paletted.transparentIndex);
            continue;
        }
        EXPECT_NE(paletted.indices[i], paletted.transparentIndex);
        EXPECT_EQ(std::memcmp(&back.rgba[i * 4], &picture.rgba[i * 4], 4), 0) << "pixel " << i;
    }
}

TEST(PaletteQuantizer, OpaquePictureStillGetsAnUnusedTransparentIndex) {
    tools::RgbaImage picture = FourColourPicture();
    for (size_t i = 0; i < picture.rgba.size() / 4; ++i) {
        picture.rgba[i * 4 + 3] = 255;
    }
    tools::PalettedImage paletted;
    std::string error;
    ASSERT_TRUE(tools::QuantizeImage(picture, {}, paletted, error)) << error;
    ASSERT_LT(paletted.transparentIndex, tools::PaletteCount(paletted));
    for (uint8_t index : paletted.indices) {
        EXPECT_NE(index, paletted.transparentIndex);
    }
}

TEST(PaletteQuantizer, RefusesPicturesTheFormatCannotHold) {
    tools::PalettedImage paletted;
    std::string error;
    EXPECT_FALSE(tools::QuantizeImage(tools::MakeRgbaImage(0, 4), {}, paletted, error));
    EXPECT_FALSE(tools::QuantizeImage(tools::MakeRgbaImage(70000, 1), {}, paletted, error));
}

}  // namespace
