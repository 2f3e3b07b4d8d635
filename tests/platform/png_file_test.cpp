#include "platform/png_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

namespace {

TEST(PngFile, WritesAValidRgbFileOrReportsFailure) {
    platform::DrawSurface* s = platform::CreateDrawSurface(3, 2, platform::kRgb565);
    ASSERT_NE(s, nullptr);
    platform::ColorFill(*s, nullptr, 0xF800);
    const auto path =
        std::filesystem::temp_directory_path() / ("png_test_" + std::to_string(::getpid()) + ".png");
    ASSERT_EQ(platform::WritePng(*s, path.c_str()), 0);
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes[1], 'P');
    EXPECT_EQ(bytes[2], 'N');
    EXPECT_EQ(bytes[19], 3);  // width in IHDR
    EXPECT_EQ(bytes[23], 2);  // height
    EXPECT_EQ(bytes[25], 2);  // colour type RGB
    std::filesystem::remove(path);
    EXPECT_NE(platform::WritePng(*s, "/nonexistent-folder/x.png"), 0);
    platform::ReleaseDrawSurface(s);
}

}  // namespace
