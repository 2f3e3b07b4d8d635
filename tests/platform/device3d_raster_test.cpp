#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "platform/device3d_raster.h"

namespace platform::device_detail {
namespace {

// The texture is halved while the texel area is at least four times the pixel area: the level is
// the number of quarterings that keep it so.
int LevelByQuartering(float texelArea2, float screenArea2, int levels) {
    int level = 0;
    for (float ratio = texelArea2; level < levels && ratio >= 4.0f * screenArea2; ratio *= 0.25f) {
        ++level;
    }
    return level;
}

// Texel areas exactly at, just below and just above every boundary between levels, at the ends of
// the float range and not a number, over pixel areas of the snapped grid and beyond it.
TEST(MipLevels, EveryBoundaryGivesTheLevelOfQuartering) {
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> screens = {1.0f / 256.0f,   3.0f / 256.0f, 0.5f,   1.0f,
                                  255.0f / 256.0f, 1000.0f,       4.0e9f, 0.0f,
                                  -1.0f,           1.0e-30f,      inf};
    std::mt19937 random(5);
    for (int i = 0; i < 40; ++i) {
        screens.push_back(static_cast<float>(random() % 100000 + 1) / 256.0f);
    }
    for (float screen : screens) {
        std::vector<float> texels = {0.0f,
                                     -1.0f,
                                     inf,
                                     std::numeric_limits<float>::quiet_NaN(),
                                     std::numeric_limits<float>::denorm_min(),
                                     3.0e38f};
        for (float boundary = 4.0f * screen; boundary > 0.0f && boundary < 1.0e38f && texels.size() < 200;
             boundary *= 4.0f) {
            texels.insert(texels.end(), {boundary, std::nextafter(boundary, 0.0f),
                                         std::nextafter(boundary, inf), boundary * 1.5f});
        }
        for (float texel : texels) {
            for (int levels : {0, 1, 3, 16}) {
                ASSERT_EQ(MipLevel(texel, screen, levels), LevelByQuartering(texel, screen, levels))
                    << "texel area " << texel << ", screen area " << screen << ", levels " << levels;
            }
        }
    }
}

}  // namespace
}  // namespace platform::device_detail
