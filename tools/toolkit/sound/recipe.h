#pragma once
// A sound recipe: how one of the game's sounds is made from layers of synthesised voices. Recipes
// are JSON files in assets/sound/; times are in seconds, frequencies in hertz, gains linear.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tools::sound {

// A damped sine: amplitude * exp(-t / decay) * sin(2 pi frequency t).
struct Mode {
    double frequency = 0;
    double decay = 0;
    double amplitude = 0;
};

// A note of a tone layer: a sine gliding from one frequency to another under its own envelope.
struct Note {
    double at = 0;
    double length = 0;
    double from = 0;
    double to = 0;
    double amplitude = 1;
};

// A slow swell of a noise layer's level and brightness: whole cycles over the layer's length, so
// that a loop joins up.
struct Gust {
    double cycles = 1;
    double depth = 0;  // 0..1 of the level
    double phase = 0;  // fraction of a cycle
};

enum class LayerKind { Modes, Noise, Tone, Scatter };
enum class NoiseColor { White, Pink, Brown };
enum class EnvelopeShape { Decay, Swell, Flat };
enum class ScatterSpread { Even, Swell, Fade };

struct Layer {
    LayerKind kind = LayerKind::Modes;
    double at = 0;
    double gain = 1;
    double pan = 0;  // -1 left .. 1 right
    double attack = 0.002;
    // Modes
    std::vector<Mode> modes;
    // Noise
    NoiseColor color = NoiseColor::White;
    EnvelopeShape shape = EnvelopeShape::Decay;
    double length = 0;   // noise, scatter: how long the layer lasts
    double decay = 0.1;  // noise: time constant of the fall after the attack
    double release = 0.01;
    double lowpass = 0;   // 0: none
    double highpass = 0;  // 0: none
    double bandFrom = 0;  // band-pass centre at the start, 0: no band-pass
    double bandTo = 0;    // and at the end
    double q = 1;
    double flutter = 0;       // depth of a random flicker of the level
    double flutterRate = 20;  // its speed in changes per second
    std::vector<Gust> gusts;
    // Tone
    std::vector<Note> notes;
    std::vector<double> harmonics{1.0};  // amplitudes of the partials 1, 2, 3...
    double vibratoRate = 0;
    double vibratoDepth = 0;  // fraction of the frequency
    // Scatter: copies of one layer at random (or given) times
    int count = 0;
    std::vector<double> times;  // given times; when empty, count random times over length
    ScatterSpread spread = ScatterSpread::Even;
    double gainJitter = 0;   // each copy's gain is multiplied by 1 - gainJitter * random
    double pitchJitter = 0;  // each copy's frequencies by 1 +- pitchJitter * random
    double panSpread = 0;
    double gainSlope = 0;  // given times: gain falls by this fraction from first to last
    std::shared_ptr<Layer> child;
};

struct Reverb {
    double mix = 0;  // 0: none
    double size = 0.5;
    double damping = 0.4;
};

struct Recipe {
    int rate = 44100;
    int channels = 1;
    double seconds = 1;
    uint32_t seed = 1;
    bool loop = false;
    double crossfade = 1.5;  // loops: the length over which the end flows into the beginning
    double levelDb = 0;      // against the common loudness of every sound
    double fadeOut = 0.03;
    Reverb reverb;
    std::vector<Layer> layers;
};

// Reads a recipe from JSON text. false with "what is wrong" in error.
bool ParseRecipe(const std::string& text, Recipe& recipe, std::string& error);

}  // namespace tools::sound
