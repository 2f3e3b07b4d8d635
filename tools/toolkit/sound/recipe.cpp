#include "tools/toolkit/sound/recipe.h"

#include <nlohmann/json.hpp>

#include <set>

namespace tools::sound {

namespace {

using nlohmann::json;

// Reading fails with the first problem; every reader names the field it was reading.
struct RecipeError {
    std::string what;
};

[[noreturn]] void Fail(const std::string& what) {
    throw RecipeError{what};
}

void CheckKeys(const json& object, const std::set<std::string>& known, const std::string& where) {
    if (!object.is_object()) {
        Fail(where + " is not an object");
    }
    for (const auto& item : object.items()) {
        if (!known.contains(item.key())) {
            Fail(where + " has an unknown field \"" + item.key() + "\"");
        }
    }
}

double Number(const json& object, const char* key, double fallback, double low, double high,
              const std::string& where) {
    if (!object.contains(key)) {
        return fallback;
    }
    const json& value = object.at(key);
    if (!value.is_number()) {
        Fail(where + ": \"" + key + "\" is not a number");
    }
    const double number = value.get<double>();
    if (!(number >= low && number <= high)) {
        Fail(where + ": \"" + key + "\" is " + value.dump() + ", outside " + std::to_string(low) + " to " +
             std::to_string(high));
    }
    return number;
}

std::vector<double> Numbers(const json& value, size_t count, const std::string& where) {
    if (!value.is_array() || (count != 0 && value.size() != count)) {
        Fail(where + " is not a list of " + (count != 0 ? std::to_string(count) + " " : "") + "numbers");
    }
    std::vector<double> numbers;
    for (const json& item : value) {
        if (!item.is_number()) {
            Fail(where + " holds something that is not a number");
        }
        numbers.push_back(item.get<double>());
    }
    return numbers;
}

template <typename Enum>
Enum Choice(const json& object, const char* key, Enum fallback,
            const std::vector<std::pair<const char*, Enum>>& names, const std::string& where) {
    if (!object.contains(key)) {
        return fallback;
    }
    const json& value = object.at(key);
    for (const auto& [name, choice] : names) {
        if (value.is_string() && value.get<std::string>() == name) {
            return choice;
        }
    }
    Fail(where + ": \"" + key + "\" is " + value.dump() + ", not one of the known names");
}

constexpr double kMaxHz = 20000;
constexpr double kMaxSeconds = 60;

Layer ReadLayer(const json& object, const std::string& where);

void ReadModes(const json& object, Layer& layer, const std::string& where) {
    if (!object.contains("modes")) {
        Fail(where + " has no \"modes\"");
    }
    for (const json& item : object.at("modes")) {
        const std::vector<double> m = Numbers(item, 3, where + ": a mode");
        if (m[0] <= 0 || m[0] > kMaxHz || m[1] <= 0 || m[1] > kMaxSeconds) {
            Fail(where + ": a mode needs a frequency and a decay above 0");
        }
        layer.modes.push_back({m[0], m[1], m[2]});
    }
}

void ReadNoise(const json& object, Layer& layer, const std::string& where) {
    layer.color = Choice(
        object, "color", NoiseColor::White,
        {{"white", NoiseColor::White}, {"pink", NoiseColor::Pink}, {"brown", NoiseColor::Brown}}, where);
    layer.shape = Choice(
        object, "shape", EnvelopeShape::Decay,
        {{"decay", EnvelopeShape::Decay}, {"swell", EnvelopeShape::Swell}, {"flat", EnvelopeShape::Flat}},
        where);
    layer.length = Number(object, "length", 0, 0.001, kMaxSeconds, where);
    if (layer.length <= 0) {
        Fail(where + " has no \"length\"");
    }
    layer.decay = Number(object, "decay", layer.decay, 0.0005, kMaxSeconds, where);
    layer.release = Number(object, "release", layer.release, 0, kMaxSeconds, where);
    layer.lowpass = Number(object, "lowpass", 0, 0, kMaxHz, where);
    layer.highpass = Number(object, "highpass", 0, 0, kMaxHz, where);
    if (object.contains("band")) {
        const std::vector<double> band = Numbers(object.at("band"), 2, where + ": \"band\"");
        if (band[0] <= 0 || band[1] <= 0 || band[0] > kMaxHz || band[1] > kMaxHz) {
            Fail(where + ": \"band\" needs two frequencies above 0");
        }
        layer.bandFrom = band[0];
        layer.bandTo = band[1];
    }
    layer.q = Number(object, "q", layer.q, 0.1, 50, where);
    layer.flutter = Number(object, "flutter", 0, 0, 1, where);
    layer.flutterRate = Number(object, "flutter_rate", layer.flutterRate, 0.1, 500, where);
    if (object.contains("gusts")) {
        for (const json& item : object.at("gusts")) {
            const std::vector<double> g = Numbers(item, 3, where + ": a gust");
            if (g[0] < 1 || g[0] != static_cast<int>(g[0]) || g[1] < 0 || g[1] > 1) {
                Fail(where + ": a gust needs whole cycles and a depth of 0 to 1");
            }
            layer.gusts.push_back({g[0], g[1], g[2]});
        }
    }
}

void ReadTone(const json& object, Layer& layer, const std::string& where) {
    if (!object.contains("notes")) {
        Fail(where + " has no \"notes\"");
    }
    for (const json& item : object.at("notes")) {
        const std::vector<double> n = Numbers(item, 5, where + ": a note");
        if (n[0] < 0 || n[1] <= 0 || n[2] <= 0 || n[3] <= 0 || n[2] > kMaxHz || n[3] > kMaxHz) {
            Fail(where + ": a note needs a start, a length and two frequencies above 0");
        }
        layer.notes.push_back({n[0], n[1], n[2], n[3], n[4]});
    }
    if (object.contains("harmonics")) {
        layer.harmonics = Numbers(object.at("harmonics"), 0, where + ": \"harmonics\"");
    }
    layer.vibratoRate = Number(object, "vibrato_rate", 0, 0, 100, where);
    layer.vibratoDepth = Number(object, "vibrato_depth", 0, 0, 0.5, where);
}

void ReadScatter(const json& object, Layer& layer, const std::string& where) {
    if (!object.contains("layer")) {
        Fail(where + " has no \"layer\" to scatter");
    }
    layer.child = std::make_shared<Layer>(ReadLayer(object.at("layer"), where + " > layer"));
    if (object.contains("times")) {
        layer.times = Numbers(object.at("times"), 0, where + ": \"times\"");
    } else {
        layer.count = static_cast<int>(Number(object, "count", 0, 1, 100000, where));
        layer.length = Number(object, "length", 0, 0.001, kMaxSeconds, where);
        if (layer.count <= 0 || layer.length <= 0) {
            Fail(where + " needs \"times\", or \"count\" and \"length\"");
        }
    }
    layer.spread = Choice(
        object, "spread", ScatterSpread::Even,
        {{"even", ScatterSpread::Even}, {"swell", ScatterSpread::Swell}, {"fade", ScatterSpread::Fade}},
        where);
    layer.gainJitter = Number(object, "gain_jitter", 0, 0, 1, where);
    layer.pitchJitter = Number(object, "pitch_jitter", 0, 0, 0.9, where);
    layer.panSpread = Number(object, "pan_spread", 0, 0, 1, where);
    layer.gainSlope = Number(object, "gain_slope", 0, 0, 1, where);
}

Layer ReadLayer(const json& object, const std::string& where) {
    CheckKeys(object, {"kind",          "at",           "gain",
                       "pan",           "attack",       "modes",
                       "color",         "shape",        "length",
                       "decay",         "release",      "lowpass",
                       "highpass",      "band",         "q",
                       "flutter",       "flutter_rate", "gusts",
                       "notes",         "harmonics",    "vibrato_rate",
                       "vibrato_depth", "count",        "times",
                       "spread",        "gain_jitter",  "pitch_jitter",
                       "pan_spread",    "gain_slope",   "layer",
                       "note"},
              where);
    Layer layer;
    layer.kind = Choice(object, "kind", LayerKind::Modes,
                        {{"modes", LayerKind::Modes},
                         {"noise", LayerKind::Noise},
                         {"tone", LayerKind::Tone},
                         {"scatter", LayerKind::Scatter}},
                        where);
    if (!object.contains("kind")) {
        Fail(where + " has no \"kind\"");
    }
    layer.at = Number(object, "at", 0, 0, kMaxSeconds, where);
    layer.gain = Number(object, "gain", 1, 0, 100, where);
    layer.pan = Number(object, "pan", 0, -1, 1, where);
    layer.attack = Number(object, "attack", layer.attack, 0.0001, kMaxSeconds, where);
    switch (layer.kind) {
        case LayerKind::Modes:
            ReadModes(object, layer, where);
            break;
        case LayerKind::Noise:
            ReadNoise(object, layer, where);
            break;
        case LayerKind::Tone:
            ReadTone(object, layer, where);
            break;
        case LayerKind::Scatter:
            ReadScatter(object, layer, where);
            break;
    }
    return layer;
}

}  // namespace

bool ParseRecipe(const std::string& text, Recipe& recipe, std::string& error) {
    try {
        const json root = json::parse(text);
        CheckKeys(root,
                  {"rate", "channels", "seconds", "seed", "loop", "crossfade", "level", "fade_out", "reverb",
                   "layers", "note"},
                  "the recipe");
        const std::string where = "the recipe";
        recipe = Recipe{};
        recipe.rate = static_cast<int>(Number(root, "rate", recipe.rate, 8000, 96000, where));
        recipe.channels = static_cast<int>(Number(root, "channels", recipe.channels, 1, 2, where));
        recipe.seconds = Number(root, "seconds", recipe.seconds, 0.01, kMaxSeconds, where);
        recipe.seed = static_cast<uint32_t>(Number(root, "seed", recipe.seed, 0, 4294967295.0, where));
        recipe.loop = root.value("loop", false);
        recipe.crossfade = Number(root, "crossfade", recipe.crossfade, 0.01, kMaxSeconds, where);
        recipe.levelDb = Number(root, "level", 0, -40, 20, where);
        recipe.fadeOut = Number(root, "fade_out", recipe.fadeOut, 0.001, kMaxSeconds, where);
        if (recipe.loop && recipe.crossfade >= recipe.seconds) {
            Fail("the recipe's crossfade must be shorter than the loop");
        }
        if (root.contains("reverb")) {
            const json& reverb = root.at("reverb");
            CheckKeys(reverb, {"mix", "size", "damping"}, "the reverb");
            recipe.reverb.mix = Number(reverb, "mix", 0, 0, 1, "the reverb");
            recipe.reverb.size = Number(reverb, "size", recipe.reverb.size, 0, 1, "the reverb");
            recipe.reverb.damping = Number(reverb, "damping", recipe.reverb.damping, 0, 1, "the reverb");
        }
        if (!root.contains("layers") || !root.at("layers").is_array() || root.at("layers").empty()) {
            Fail("the recipe has no \"layers\"");
        }
        int index = 1;
        for (const json& item : root.at("layers")) {
            recipe.layers.push_back(ReadLayer(item, "layer " + std::to_string(index++)));
        }
    } catch (const RecipeError& failure) {
        error = failure.what;
        return false;
    } catch (const nlohmann::json::exception& failure) {
        error = failure.what();
        return false;
    }
    return true;
}

}  // namespace tools::sound
