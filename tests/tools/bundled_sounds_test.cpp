// The sounds of the built data set, read back through the game's WAV reader: every sound of the
// table is there, in 16 bits, short and clean-ended, and the background loops join up.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/present/sound.h"
#include "game/present/wav_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = BRIGHTLEA_GAMEDATA_DIR;

std::vector<int16_t> Samples(const present::WavSound& wav) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i + 1 < wav.samples.size(); i += 2) {
        samples.push_back(static_cast<int16_t>(wav.samples[i] | (wav.samples[i + 1] << 8)));
    }
    return samples;
}

class BundledSounds : public testing::Test {
  protected:
    void SetUp() override {
        if (!fs::exists(kData / "Sound")) {
            GTEST_SKIP() << "no data set built in " << kData;
        }
    }

    static std::vector<int16_t> Read(const std::string& file, present::WavSound& wav) {
        std::ifstream in(kData / file, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), {});
        std::string error;
        EXPECT_TRUE(present::ParseWav(bytes_, wav, error)) << file << ": " << error;
        EXPECT_EQ(wav.bitsPerSample, 16) << file;
        return Samples(wav);
    }

    static inline std::vector<uint8_t> bytes_;
};

TEST_F(BundledSounds, EffectsAreShortAndStartAndEndInSilence) {
    for (const present::SoundFile& entry : present::SoundLoadOrder()) {
        if (entry.id == present::GameSound::Background) {
            continue;
        }
        SCOPED_TRACE(entry.file);
        present::WavSound wav;
        const std::vector<int16_t> samples = Read(entry.file, wav);
        ASSERT_FALSE(samples.empty());
        EXPECT_LE(samples.size(), static_cast<size_t>(4 * wav.sampleRate * wav.channels));
        EXPECT_LE(std::abs(samples.front()), 2);
        EXPECT_LE(std::abs(samples.back()), 2);
        const auto [low, high] = std::minmax_element(samples.begin(), samples.end());
        EXPECT_GT(std::max(-*low, static_cast<int>(*high)), 3000);   // clearly audible
        EXPECT_LT(std::max(-*low, static_cast<int>(*high)), 32000);  // never clipped
    }
}

TEST_F(BundledSounds, BackgroundLoopsAreStereoAndJoinUp) {
    for (const char* file : {"Sound/Back.wav", "Sound/SBack00.wav", "Sound/SBack02.wav", "Sound/SBack04.wav",
                             "Sound/SBack05.wav"}) {
        SCOPED_TRACE(file);
        present::WavSound wav;
        const std::vector<int16_t> samples = Read(file, wav);
        ASSERT_EQ(wav.channels, 2);
        ASSERT_GT(samples.size(), 4u);
        EXPECT_GE(samples.size(), static_cast<size_t>(8 * wav.sampleRate * 2));
        for (size_t channel = 0; channel < 2; ++channel) {
            // The step from the last frame back to the first is no larger than steps inside the loop.
            int largestStep = 0;
            for (size_t i = channel + 2; i < samples.size(); i += 2) {
                largestStep = std::max(largestStep, std::abs(samples[i] - samples[i - 2]));
            }
            EXPECT_LE(std::abs(samples[channel] - samples[samples.size() - 2 + channel]), largestStep);
        }
    }
}

}  // namespace
