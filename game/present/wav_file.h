#pragma once
// Reading PCM WAV files: a "RIFF" file of form "WAVE" whose "fmt " and "data" chunks may come in
// any order, among other chunks that are skipped.

#include <cstdint>
#include <span>
#include <string>

namespace present {

struct WavSound {
    int channels = 0;       // 1 (mono) or 2 (stereo, interleaved left then right)
    int sampleRate = 0;     // frames per second
    int bitsPerSample = 0;  // 8 (unsigned samples) or 16 (signed little-endian samples)
    // The samples, whole frames only, pointing into the parsed bytes.
    std::span<const uint8_t> samples;
};

// Parses the bytes of a WAV file. Refuses, with a reason in error, anything that is not PCM with
// 1 or 2 channels of 8 or 16 bits, and any chunk that claims more bytes than the file holds;
// nothing outside bytes is ever read.
bool ParseWav(std::span<const uint8_t> bytes, WavSound& sound, std::string& error);

}  // namespace present
