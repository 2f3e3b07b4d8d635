// soundmaker RECIPE.json OUT.wav [--preview OUT.png]
// Synthesises a sound from its recipe into a 16-bit PCM WAV file, and optionally a picture of its
// waveform. Prints the length, loudness and peak of what it made.
#include <cstdio>
#include <string>

#include "tools/toolkit/output_file.h"
#include "tools/toolkit/png_file.h"
#include "tools/toolkit/sound/finish.h"
#include "tools/toolkit/sound/recipe.h"
#include "tools/toolkit/sound/waveform.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: soundmaker RECIPE.json OUT.wav [--preview OUT.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--preview")) {
        return Usage();
    }
    const std::string recipePath = argv[1];
    std::string text;
    std::string error;
    tools::sound::Recipe recipe;
    if (!tools::ReadTextFile(recipePath, text, error) || !tools::sound::ParseRecipe(text, recipe, error)) {
        std::fprintf(stderr, "%s: %s\n", recipePath.c_str(), error.c_str());
        return 1;
    }
    const tools::sound::FinishedSound sound = tools::sound::MakeSound(recipe);
    if (!tools::WriteFileAtomically(argv[2], tools::sound::WavBytes(sound), error)) {
        std::fprintf(stderr, "soundmaker: %s\n", error.c_str());
        return 1;
    }
    if (argc == 5 && !tools::WritePng(argv[4], tools::sound::DrawWaveform(sound, 800, 120), error)) {
        std::fprintf(stderr, "soundmaker: %s\n", error.c_str());
        return 1;
    }
    const double seconds = static_cast<double>(sound.samples.size()) / sound.channels / sound.rate;
    std::printf("%s: %.2f s, %s %d Hz, loudness %.1f dB, peak %.1f dB%s\n", argv[2], seconds,
                sound.channels == 2 ? "stereo" : "mono", sound.rate, sound.loudnessDb, sound.peakDb,
                sound.peakLimited ? " (held by the ceiling)" : "");
    return 0;
}
