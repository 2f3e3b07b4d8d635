#include "tools/toolkit/sound/finish.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

#include "tools/toolkit/byte_writer.h"

namespace tools::sound {

namespace {

constexpr double kDcCutHz = 20.0;
constexpr double kFadeInSeconds = 0.0015;

// A small room: four damped feedback combs in parallel, then two all-passes, per channel; the right
// channel's delays are a little longer, which widens the echo.
class Room {
  public:
    Room(const Reverb& reverb, int rate, int spread) {
        constexpr std::array<int, 4> kCombs = {1116, 1188, 1277, 1356};
        constexpr std::array<int, 2> kAllPasses = {556, 441};
        const double scale = rate / 44100.0;
        for (size_t i = 0; i < kCombs.size(); ++i) {
            combs_[i].line.assign(static_cast<size_t>((kCombs[i] + spread) * scale), 0.0);
        }
        for (size_t i = 0; i < kAllPasses.size(); ++i) {
            allPasses_[i].line.assign(static_cast<size_t>((kAllPasses[i] + spread) * scale), 0.0);
        }
        feedback_ = 0.7 + 0.28 * reverb.size;
        damping_ = reverb.damping;
    }

    double Run(double x) {
        double out = 0;
        for (Line& comb : combs_) {
            const double delayed = comb.line[comb.at];
            comb.state = delayed * (1 - damping_) + comb.state * damping_;
            comb.line[comb.at] = x + comb.state * feedback_;
            comb.at = (comb.at + 1) % comb.line.size();
            out += delayed;
        }
        for (Line& pass : allPasses_) {
            const double delayed = pass.line[pass.at];
            pass.line[pass.at] = out + delayed * 0.5;
            pass.at = (pass.at + 1) % pass.line.size();
            out = delayed - out;
        }
        return out * 0.25;
    }

  private:
    struct Line {
        std::vector<double> line;
        size_t at = 0;
        double state = 0;
    };
    std::array<Line, 4> combs_;
    std::array<Line, 2> allPasses_;
    double feedback_ = 0;
    double damping_ = 0;
};

void AddRoom(Stereo& sound, const Reverb& reverb, int rate) {
    if (reverb.mix <= 0) {
        return;
    }
    Room left(reverb, rate, 0);
    Room right(reverb, rate, 23);
    for (size_t i = 0; i < sound.Frames(); ++i) {
        const double in = 0.5 * (sound.left[i] + sound.right[i]);
        sound.left[i] += static_cast<float>(reverb.mix * left.Run(in));
        sound.right[i] += static_cast<float>(reverb.mix * right.Run(in));
    }
}

void RemoveOffset(std::vector<float>& channel, int rate) {
    const double r = std::exp(-2.0 * std::numbers::pi * kDcCutHz / rate);
    double previousIn = 0;
    double previousOut = 0;
    for (float& sample : channel) {
        const double out = sample - previousIn + r * previousOut;
        previousIn = sample;
        previousOut = out;
        sample = static_cast<float>(out);
    }
}

// The part past the loop's length flows into its beginning with an equal-power crossfade, so the
// last sample is followed, when the loop restarts, by what would have come next.
void CloseLoop(std::vector<float>& channel, size_t length, size_t crossfade) {
    for (size_t i = 0; i < crossfade; ++i) {
        const double angle =
            0.5 * std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(crossfade);
        channel[i] = static_cast<float>(channel[i] * std::sin(angle) + channel[length + i] * std::cos(angle));
    }
    channel.resize(length);
}

// Raised-cosine fades that start the sound from silence and end it in silence.
void FadeEnds(std::vector<float>& channel, size_t in, size_t out) {
    const size_t n = channel.size();
    for (size_t i = 0; i < std::min(in, n); ++i) {
        channel[i] *=
            static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / in));
    }
    for (size_t i = 0; i < std::min(out, n); ++i) {
        channel[n - 1 - i] *=
            static_cast<float>(0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(i) / out));
    }
}

void Scale(Stereo& sound, double gain) {
    for (auto* channel : {&sound.left, &sound.right}) {
        for (float& sample : *channel) {
            sample = static_cast<float>(sample * gain);
        }
    }
}

double ToDb(double value) {
    return value > 0 ? 20.0 * std::log10(value) : -200.0;
}

}  // namespace

double LoudestWindowDb(const Stereo& sound, int rate) {
    const size_t window = std::max<size_t>(1, static_cast<size_t>(rate / 20));
    const size_t hop = std::max<size_t>(1, window / 5);
    double loudest = 0;
    for (size_t start = 0; start < sound.Frames(); start += hop) {
        const size_t end = std::min(sound.Frames(), start + window);
        double sum = 0;
        for (size_t i = start; i < end; ++i) {
            sum += 0.5 * (double{sound.left[i]} * sound.left[i] + double{sound.right[i]} * sound.right[i]);
        }
        loudest = std::max(loudest, sum / static_cast<double>(window));
    }
    return ToDb(std::sqrt(loudest));
}

double PeakDb(const Stereo& sound) {
    float peak = 0;
    for (const auto* channel : {&sound.left, &sound.right}) {
        for (float sample : *channel) {
            peak = std::max(peak, std::fabs(sample));
        }
    }
    return ToDb(peak);
}

FinishedSound MakeSound(const Recipe& recipe) {
    const int rate = recipe.rate;
    const auto length = static_cast<size_t>(std::round(recipe.seconds * rate));
    const auto crossfade = recipe.loop ? static_cast<size_t>(std::round(recipe.crossfade * rate)) : 0;
    Stereo sound = RenderLayers(recipe, length + crossfade);
    AddRoom(sound, recipe.reverb, rate);
    if (recipe.channels == 1) {
        for (size_t i = 0; i < sound.Frames(); ++i) {
            sound.left[i] = sound.right[i] = 0.5f * (sound.left[i] + sound.right[i]);
        }
    }
    for (auto* channel : {&sound.left, &sound.right}) {
        RemoveOffset(*channel, rate);
        if (recipe.loop) {
            CloseLoop(*channel, length, crossfade);
        } else {
            FadeEnds(*channel, static_cast<size_t>(kFadeInSeconds * rate),
                     static_cast<size_t>(recipe.fadeOut * rate));
        }
    }
    FinishedSound finished;
    finished.rate = rate;
    finished.channels = recipe.channels;
    double gainDb = kLoudnessDb + recipe.levelDb - LoudestWindowDb(sound, rate);
    const double peakDb = PeakDb(sound);
    if (peakDb + gainDb > kCeilingDb) {
        gainDb = kCeilingDb - peakDb;
        finished.peakLimited = true;
    }
    Scale(sound, std::pow(10.0, gainDb / 20.0));
    finished.loudnessDb = LoudestWindowDb(sound, rate);
    finished.peakDb = PeakDb(sound);
    // Triangular dither of one step, from the recipe's own seed.
    Rng dither(recipe.seed ^ 0xD17E5u);
    finished.samples.reserve(sound.Frames() * static_cast<size_t>(recipe.channels));
    for (size_t i = 0; i < sound.Frames(); ++i) {
        for (int c = 0; c < recipe.channels; ++c) {
            const float value = c == 0 ? sound.left[i] : sound.right[i];
            const double noise = (dither.Uniform() - dither.Uniform());
            const double scaled = std::round(value * 32767.0 + noise);
            finished.samples.push_back(static_cast<int16_t>(std::clamp(scaled, -32768.0, 32767.0)));
        }
    }
    return finished;
}

std::vector<uint8_t> WavBytes(const FinishedSound& sound) {
    const auto dataSize = static_cast<uint32_t>(sound.samples.size() * 2);
    const auto blockAlign = static_cast<uint16_t>(sound.channels * 2);
    ByteWriter out;
    PutBytes(out, "RIFF", 4);
    PutU32(out, 4 + 8 + 16 + 8 + dataSize);
    PutBytes(out, "WAVE", 4);
    PutBytes(out, "fmt ", 4);
    PutU32(out, 16);
    PutU16(out, 1);  // PCM
    PutU16(out, static_cast<uint16_t>(sound.channels));
    PutU32(out, static_cast<uint32_t>(sound.rate));
    PutU32(out, static_cast<uint32_t>(sound.rate) * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    PutBytes(out, "data", 4);
    PutU32(out, dataSize);
    for (int16_t sample : sound.samples) {
        PutU16(out, static_cast<uint16_t>(sample));
    }
    return out.bytes;
}

}  // namespace tools::sound
