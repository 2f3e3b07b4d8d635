#pragma once
// The pictures of replayed frames: the recorded view cut out of a 565 colour buffer and written as
// PNG, and how far two such pictures differ.

#include <cstdint>
#include <string>

#include "platform/device3d.h"

namespace compare {

// Writes the view's part of a width-wide 565 buffer (rows from the top); false when it cannot.
bool WriteViewPng(const uint16_t* pixels, int width, const platform::DeviceViewport& view,
                  const std::string& path);

struct PictureDifference {
    bool compared = false;
    double meanChannelDifference = 0.0;  // 0..255, over every channel of every pixel
    double shareBeyondDither = 0.0;      // pixels with a channel more than two 5-bit steps apart
};

PictureDifference ComparePngs(const std::string& a, const std::string& b);

}  // namespace compare
