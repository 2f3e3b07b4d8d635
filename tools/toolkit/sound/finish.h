#pragma once
// From rendered layers to the finished sound: room echo, no offset from zero, a loop that joins up
// (or a one-shot that starts and ends in silence), one common loudness, 16-bit samples.

#include <cstdint>
#include <vector>

#include "tools/toolkit/sound/recipe.h"
#include "tools/toolkit/sound/synth.h"

namespace tools::sound {

// Every sound's loudest twentieth of a second is brought to this level, before the recipe's own
// level; no sample goes above the ceiling.
constexpr double kLoudnessDb = -20.0;
constexpr double kCeilingDb = -1.0;

struct FinishedSound {
    int rate = 0;
    int channels = 0;
    std::vector<int16_t> samples;  // interleaved
    double loudnessDb = 0;         // of the loudest twentieth of a second, dB below full scale
    double peakDb = 0;
    bool peakLimited = false;  // the ceiling, not the loudness, set the level
};

// Loudness of the loudest 50 ms window, in dB of full scale (1.0).
double LoudestWindowDb(const Stereo& sound, int rate);
double PeakDb(const Stereo& sound);

// Makes the whole sound of a recipe.
FinishedSound MakeSound(const Recipe& recipe);
// A 16-bit PCM WAV file of the sound.
std::vector<uint8_t> WavBytes(const FinishedSound& sound);

}  // namespace tools::sound
