// The sound maker: recipes it refuses, and the qualities every finished sound must have (silent
// ends, one loudness, seamless loops, the same bytes every time, files the game can read).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "game/present/wav_file.h"
#include "tools/toolkit/sound/finish.h"
#include "tools/toolkit/sound/recipe.h"

namespace {

using tools::sound::FinishedSound;
using tools::sound::Recipe;

Recipe Parsed(const std::string& text) {
    Recipe recipe;
    std::string error;
    EXPECT_TRUE(tools::sound::ParseRecipe(text, recipe, error)) << error;
    return recipe;
}

std::string Refusal(const std::string& text) {
    Recipe recipe;
    std::string error;
    EXPECT_FALSE(tools::sound::ParseRecipe(text, recipe, error)) << text;
    return error;
}

const char* kKnock = R"({"seconds": 0.3, "layers": [
    {"kind": "modes", "modes": [[800, 0.02, 1.0], [1900, 0.01, 0.5]]},
    {"kind": "noise", "lowpass": 3000, "decay": 0.01, "length": 0.1}]})";

TEST(SoundRecipe, RefusesMistakesNamingWhatIsWrong) {
    EXPECT_NE(Refusal(R"({"layers": []})").find("layers"), std::string::npos);
    EXPECT_NE(Refusal(R"({"layers": [{"kind": "drum"}]})").find("kind"), std::string::npos);
    EXPECT_NE(Refusal(R"({"layers": [{"kind": "noise"}]})").find("length"), std::string::npos);
    EXPECT_NE(Refusal(R"({"layers": [{"kind": "modes", "modes": [[0, 0.1, 1]]}]})").find("mode"),
              std::string::npos);
    EXPECT_NE(Refusal(R"({"layers": [{"kind": "modes", "modes": [], "gian": 1}]})").find("gian"),
              std::string::npos);
    EXPECT_NE(
        Refusal(R"({"seconds": 2, "crossfade": 2, "loop": true, "layers": [{"kind": "modes", "modes": []}]})")
            .find("crossfade"),
        std::string::npos);
    EXPECT_NE(
        Refusal(R"({"layers": [{"kind": "noise", "length": 1, "gusts": [[1.5, 0.2, 0]]}]})").find("gust"),
        std::string::npos);
    EXPECT_NE(Refusal(R"({"rate": 100, "layers": [{"kind": "modes", "modes": []}]})").find("rate"),
              std::string::npos);
    EXPECT_NE(Refusal(R"({"layers": [{"kind": "scatter", "count": 3}]})").find("layer"), std::string::npos);
    EXPECT_FALSE(Refusal("{not json").empty());
}

TEST(SoundMaker, OneShotStartsAndEndsInSilenceAtTheCommonLoudness) {
    const FinishedSound sound = tools::sound::MakeSound(Parsed(kKnock));
    ASSERT_EQ(sound.samples.size(), static_cast<size_t>(0.3 * 44100));
    EXPECT_LE(std::abs(sound.samples.front()), 2);
    EXPECT_LE(std::abs(sound.samples.back()), 2);
    EXPECT_LE(sound.peakDb, tools::sound::kCeilingDb + 0.01);
    if (!sound.peakLimited) {
        EXPECT_NEAR(sound.loudnessDb, tools::sound::kLoudnessDb, 0.1);
    }
}

TEST(SoundMaker, RecipeLevelMovesTheLoudness) {
    // A steady hum, far from the ceiling, ten decibels under the others.
    const FinishedSound sound = tools::sound::MakeSound(Parsed(R"({"seconds": 1, "level": -10, "layers": [
        {"kind": "tone", "notes": [[0, 1, 300, 300, 1]]}]})"));
    EXPECT_FALSE(sound.peakLimited);
    EXPECT_NEAR(sound.loudnessDb, tools::sound::kLoudnessDb - 10, 0.1);
}

TEST(SoundMaker, LoopsJoinWithoutAJump) {
    // A pure tone over a loop length that is not a whole number of its periods: cut plainly, the
    // end would jump back to the start's phase.
    const FinishedSound sound = tools::sound::MakeSound(Parsed(R"({"seconds": 1.013, "crossfade": 0.25,
        "loop": true, "rate": 22050, "layers": [{"kind": "tone", "notes": [[0, 1.5, 440, 440, 1]]}]})"));
    const size_t n = sound.samples.size();
    ASSERT_EQ(n, static_cast<size_t>(std::round(1.013 * 22050)));
    int largestStep = 0;
    for (size_t i = 1; i < n; ++i) {
        largestStep = std::max(largestStep, std::abs(sound.samples[i] - sound.samples[i - 1]));
    }
    EXPECT_LE(std::abs(sound.samples.front() - sound.samples.back()), largestStep);
    EXPECT_GT(largestStep, 300);  // the tone is there at all
}

TEST(SoundMaker, SameRecipeSameBytesAndTheGameReadsThem) {
    const Recipe recipe = Parsed(R"({"seconds": 0.5, "channels": 2, "rate": 22050, "layers": [
        {"kind": "scatter", "count": 20, "length": 0.4, "pan_spread": 1, "pitch_jitter": 0.3,
         "layer": {"kind": "noise", "band": [1500, 1500], "q": 2, "decay": 0.01, "length": 0.04}}]})");
    const std::vector<uint8_t> bytes = tools::sound::WavBytes(tools::sound::MakeSound(recipe));
    EXPECT_EQ(tools::sound::WavBytes(tools::sound::MakeSound(recipe)), bytes);
    Recipe reseeded = recipe;
    reseeded.seed = 2;
    EXPECT_NE(tools::sound::WavBytes(tools::sound::MakeSound(reseeded)), bytes);

    present::WavSound wav;
    std::string error;
    ASSERT_TRUE(present::ParseWav(bytes, wav, error)) << error;
    EXPECT_EQ(wav.channels, 2);
    EXPECT_EQ(wav.sampleRate, 22050);
    EXPECT_EQ(wav.bitsPerSample, 16);
    EXPECT_EQ(wav.samples.size(), static_cast<size_t>(0.5 * 22050) * 4);
    // The two channels differ: the copies are spread across the stereo field.
    bool differ = false;
    for (size_t i = 0; i + 3 < wav.samples.size(); i += 4) {
        differ = differ || wav.samples[i] != wav.samples[i + 2] || wav.samples[i + 1] != wav.samples[i + 3];
    }
    EXPECT_TRUE(differ);
}

}  // namespace
