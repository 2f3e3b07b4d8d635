#include "tools/toolkit/sound/waveform.h"

#include <algorithm>
#include <array>

namespace tools::sound {

namespace {

using Rgb = std::array<uint8_t, 3>;

void Put(RgbaImage& image, int x, int y, Rgb color) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) {
        return;
    }
    uint8_t* p =
        &image.rgba[(static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)) * 4];
    p[0] = color[0];
    p[1] = color[1];
    p[2] = color[2];
    p[3] = 255;
}

}  // namespace

RgbaImage DrawWaveform(const FinishedSound& sound, int width, int bandHeight) {
    const int channels = std::max(1, sound.channels);
    RgbaImage image = MakeRgbaImage(width, bandHeight * channels);
    const size_t frames = sound.samples.size() / static_cast<size_t>(channels);
    const Rgb background{250, 250, 245};
    const Rgb grid{215, 215, 205};
    const Rgb axis{160, 160, 150};
    const Rgb wave{30, 110, 60};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < width; ++x) {
            Put(image, x, y, background);
        }
    }
    const double framesPerColumn = static_cast<double>(frames) / width;
    // Grid lines every tenth of a second, or every second on long sounds.
    const double seconds = static_cast<double>(frames) / std::max(1, sound.rate);
    const double tenth = sound.rate * (seconds > 3.0 ? 1.0 : 0.1);
    for (int x = 0; x < width; ++x) {
        const auto first = static_cast<size_t>(x * framesPerColumn);
        const auto last = std::max(first + 1, static_cast<size_t>((x + 1) * framesPerColumn));
        const bool gridColumn = static_cast<size_t>(first / tenth) != static_cast<size_t>(last / tenth);
        for (int c = 0; c < channels; ++c) {
            const int top = c * bandHeight;
            const int middle = top + bandHeight / 2;
            if (gridColumn) {
                for (int y = top; y < top + bandHeight; ++y) {
                    Put(image, x, y, grid);
                }
            }
            Put(image, x, middle, axis);
            int low = 32767;
            int high = -32768;
            for (size_t f = first; f < last && f < frames; ++f) {
                const int sample = sound.samples[f * static_cast<size_t>(channels) + static_cast<size_t>(c)];
                low = std::min(low, sample);
                high = std::max(high, sample);
            }
            if (low > high) {
                continue;
            }
            const int yHigh = middle - high * (bandHeight / 2 - 1) / 32768;
            const int yLow = middle - low * (bandHeight / 2 - 1) / 32768;
            for (int y = yHigh; y <= yLow; ++y) {
                Put(image, x, y, wave);
            }
        }
    }
    return image;
}

}  // namespace tools::sound
