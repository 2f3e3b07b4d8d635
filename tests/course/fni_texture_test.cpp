#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "game/course/fni_texture.h"
#include "tests/present/fni_bytes.h"

namespace course {
namespace {

// Tests of this file run as parallel processes: each writes its pictures under its own name.
std::string TempPath(const char* name) {
    return (std::filesystem::path(testing::TempDir()) / (std::to_string(::getpid()) + "-" + name)).string();
}

// Pictures are written as FNI files; the device draws into a small target of its own.
class FniTextureTest : public testing::Test {
  protected:
    void SetUp() override {
        target = platform::CreateDrawSurface(8, 8, platform::kRgb565);
        device = platform::CreateDevice3D(*target, platform::DeviceKind::kSoftware);
    }
    void TearDown() override {
        for (platform::DeviceTexture* t : made) {
            platform::ReleaseDeviceTexture(t);
        }
        platform::ReleaseDevice3D(device);
        platform::ReleaseDrawSurface(target);
    }

    // A width x height picture: palette index 1 + (column % 64) everywhere except the transparent
    // index 0 in the last column. Entry 0 is the transparent colour (0x10, 0x20, 0x30); entry
    // 1 + c holds c in its blue bits and top green bit, exactly as 5-5-5 keeps them.
    std::string WritePicture(uint16_t width, uint16_t height) {
        std::vector<fni_bytes::Color> palette = {{0x30, 0x20, 0x10, 0}};
        for (int i = 0; i < 64; ++i) {
            palette.push_back(
                {static_cast<uint8_t>((i & 31) << 3), static_cast<uint8_t>((i >> 5) << 7), 0xF8, 0});
        }
        std::vector<uint8_t> px(static_cast<size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                px[static_cast<size_t>(y) * width + x] =
                    x == width - 1 ? 0 : static_cast<uint8_t>(1 + x % 64);
            }
        }
        const auto bytes = fni_bytes::File(width, height, 0, palette, fni_bytes::Encode(px, width, 0));
        const std::string path = TempPath("picture.fni");
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    platform::DeviceTexture* Make(const std::string& path, bool honour) {
        platform::DeviceTexture* t = CreateTextureFromFni(*device, path.c_str(), honour);
        if (t != nullptr) {
            made.push_back(t);
        }
        return t;
    }

    platform::DrawSurface* target = nullptr;
    platform::Device3D* device = nullptr;
    std::vector<platform::DeviceTexture*> made;
};

TEST_F(FniTextureTest, RoundsSizesOnlyWhenTheCapsAskForIt) {
    const std::string path = WritePicture(100, 60);
    platform::DeviceTexture* t = Make(path, true);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->surface->width, 100);
    EXPECT_EQ(t->surface->height, 60);

    device->caps.textureCaps |= platform::kTextureCapsPow2;
    t = Make(path, true);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->surface->width, 128);
    EXPECT_EQ(t->surface->height, 64);

    device->caps.textureCaps |= platform::kTextureCapsSquareOnly;
    t = Make(path, true);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->surface->width, 128);
    EXPECT_EQ(t->surface->height, 128);
    // The picture sits top-left and is opaque; its transparent column and the padding keep the
    // transparent colour with the alpha bit clear.
    uint32_t mask = 0;
    const uint32_t drawn = ReadTexel(*t, 0.0f, 0.0f, mask);
    EXPECT_EQ(mask, 0x8000u);
    EXPECT_EQ(drawn, 0x8000u | (0xF8 >> 3) << 10);
    const uint32_t fill = (0x10 >> 3) << 10 | (0x20 >> 3) << 5 | (0x30 >> 3);
    EXPECT_EQ(ReadTexel(*t, 99.0f / 127.0f, 0.0f, mask), fill);   // the picture's transparent column
    EXPECT_EQ(ReadTexel(*t, 1.0f, 1.0f, mask), fill);             // padding
    EXPECT_EQ(ReadTexel(*t, 0.0f, 100.0f / 127.0f, mask), fill);  // padding below the picture
}

TEST_F(FniTextureTest, ChoosesFormatsByTransparencyAndRefusesFourBitAlpha) {
    const std::string path = WritePicture(8, 4);
    platform::DeviceTexture* opaque = Make(path, false);
    ASSERT_NE(opaque, nullptr);
    EXPECT_EQ(opaque->surface->format.greenMask, 0x07E0u);  // 5-6-5, the first without alpha
    uint32_t mask = 1;
    ReadTexel(*opaque, 0.0f, 0.0f, mask);
    EXPECT_EQ(mask, 0u);

    device->textureFormats = {platform::kArgb4444, platform::kRgb565};
    EXPECT_EQ(Make(path, true), nullptr);
    EXPECT_NE(Make(path, false), nullptr);
    device->textureFormats.clear();
    EXPECT_EQ(Make(path, false), nullptr);
}

TEST_F(FniTextureTest, MissingOrBrokenPicturesGiveNoTexture) {
    EXPECT_EQ(Make(TempPath("absent.fni"), true), nullptr);
    const std::string path = TempPath("broken.fni");
    std::ofstream(path, std::ios::binary) << "FNIBMX and more";
    EXPECT_EQ(Make(path, true), nullptr);
}

TEST_F(FniTextureTest, ReadTexelColumnsAndWrapping) {
    platform::DeviceTexture* t = Make(WritePicture(64, 2), true);
    ASSERT_NE(t, nullptr);
    auto column = [&](float u) {
        uint32_t mask = 0;
        const uint32_t p = ReadTexel(*t, u, 0.0f, mask);
        return (p & mask) == 0 ? -1 : static_cast<int>((p & 0x1F) + 32 * (((p >> 5) & 0x1F) >> 4));
    };
    EXPECT_EQ(column(1.0f), -1);  // column 63 is the transparent one
    EXPECT_EQ(column(0.5f), 31);
    EXPECT_EQ(column(0.0f), 0);
    EXPECT_EQ(column(-1.0f / 63.0f), -1);  // one column to the left of 0 wraps to 63
    EXPECT_EQ(column(65.5f / 63.0f), 1);   // beyond the right edge wraps round
}

}  // namespace
}  // namespace course
