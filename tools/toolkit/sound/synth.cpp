#include "tools/toolkit/sound/synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/toolkit/sound/biquad.h"

namespace tools::sound {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kSilentAfterDecays = 9.2;  // e^-9.2 is 80 dB down

size_t Samples(double seconds, int rate) {
    return static_cast<size_t>(std::max(0.0, std::round(seconds * rate)));
}

// A raised-cosine rise from 0 to 1 over n samples.
double Rise(size_t i, size_t n) {
    if (i >= n) {
        return 1.0;
    }
    return 0.5 - 0.5 * std::cos(std::numbers::pi * (static_cast<double>(i) + 0.5) / static_cast<double>(n));
}

std::vector<float> RenderModes(const Layer& layer, double pitch, int rate) {
    double longest = 0;
    for (const Mode& mode : layer.modes) {
        longest = std::max(longest, mode.decay * kSilentAfterDecays);
    }
    const size_t attack = Samples(layer.attack, rate);
    std::vector<float> out(Samples(longest, rate) + attack, 0.0f);
    for (const Mode& mode : layer.modes) {
        const double frequency = mode.frequency * pitch;
        if (frequency >= 0.45 * rate) {
            continue;
        }
        const double step = kTwoPi * frequency / rate;
        const double fall = std::exp(-1.0 / (mode.decay * rate));
        double level = mode.amplitude;
        for (size_t i = 0; i < out.size(); ++i) {
            out[i] += static_cast<float>(level * std::sin(step * static_cast<double>(i)) * Rise(i, attack));
            level *= fall;
        }
    }
    return out;
}

// The level of a noise layer at sample i of n.
double NoiseEnvelope(const Layer& layer, size_t i, size_t n, int rate) {
    const size_t attack = std::min(Samples(layer.attack, rate), n);
    const size_t release = std::min(Samples(layer.release, rate), n);
    double level = 1.0;
    switch (layer.shape) {
        case EnvelopeShape::Decay:
            level = i < attack ? Rise(i, attack)
                               : std::exp(-static_cast<double>(i - attack) / (layer.decay * rate));
            break;
        case EnvelopeShape::Swell:
            level = i < attack ? Rise(i, attack) : 1.0 - Rise(i - attack, n - attack);
            break;
        case EnvelopeShape::Flat:
            level = Rise(i, attack);
            break;
    }
    if (i + release >= n) {
        level *= 1.0 - Rise(i + release - n, release);
    }
    return level;
}

// The slow swell of a layer's level, 1 on average.
double GustLevel(const Layer& layer, double fraction) {
    double level = 1.0;
    for (const Gust& gust : layer.gusts) {
        level += gust.depth * std::sin(kTwoPi * (gust.cycles * fraction + gust.phase));
    }
    return std::max(0.0, level);
}

// A random level between 1 - depth and 1 that wanders at rate changes per second.
class Flutter {
  public:
    Flutter(double depth, double rate, int sampleRate, Rng& rng)
        : depth_(depth), period_(std::max<size_t>(1, Samples(1.0 / rate, sampleRate))), rng_(rng) {
        from_ = rng_.Uniform();
        to_ = rng_.Uniform();
    }
    double Next() {
        if (depth_ <= 0) {
            return 1.0;
        }
        if (at_ == period_) {
            at_ = 0;
            from_ = to_;
            to_ = rng_.Uniform();
        }
        const double mix = Rise(at_++, period_);
        return 1.0 - depth_ * (from_ + (to_ - from_) * mix);
    }

  private:
    double depth_;
    size_t period_;
    Rng& rng_;
    size_t at_ = 0;
    double from_ = 0;
    double to_ = 0;
};

// White, pink (equal energy per octave) or brown (falling 6 dB per octave) noise near unit level.
class NoiseSource {
  public:
    NoiseSource(NoiseColor color, Rng& rng) : color_(color), rng_(rng) {}
    double Next() {
        const double white = rng_.Signed();
        switch (color_) {
            case NoiseColor::White:
                return white;
            case NoiseColor::Pink:
                // Paul Kellet's economy filter.
                b0_ = 0.99765 * b0_ + white * 0.0990460;
                b1_ = 0.96300 * b1_ + white * 0.2965164;
                b2_ = 0.57000 * b2_ + white * 1.0526913;
                return (b0_ + b1_ + b2_ + white * 0.1848) * 0.25;
            case NoiseColor::Brown:
                b0_ = 0.995 * b0_ + white * 0.1;
                return b0_ * 1.5;
        }
        return white;
    }

  private:
    NoiseColor color_;
    Rng& rng_;
    double b0_ = 0;
    double b1_ = 0;
    double b2_ = 0;
};

std::vector<float> RenderNoise(const Layer& layer, double pitch, int rate, Rng& rng) {
    const size_t n = Samples(layer.length, rate);
    std::vector<float> out(n, 0.0f);
    NoiseSource source(layer.color, rng);
    Flutter flutter(layer.flutter, layer.flutterRate, rate, rng);
    Biquad highpass;
    Biquad lowpass;
    Biquad band;
    const double nyquistSafe = 0.45 * rate;
    if (layer.highpass > 0) {
        highpass.SetHighpass(std::min(layer.highpass * pitch, nyquistSafe), rate, 0.707);
    }
    constexpr size_t kRetune = 32;  // samples between updates of moving filters
    for (size_t i = 0; i < n; ++i) {
        const double fraction = static_cast<double>(i) / static_cast<double>(n);
        const double gust = GustLevel(layer, fraction);
        if (i % kRetune == 0) {
            if (layer.lowpass > 0) {
                // Gusts brighten the sound as they swell.
                lowpass.SetLowpass(
                    std::min(layer.lowpass * pitch * std::sqrt(std::max(gust, 0.05)), nyquistSafe), rate,
                    0.707);
            }
            if (layer.bandFrom > 0) {
                const double centre =
                    layer.bandFrom * std::pow(layer.bandTo / layer.bandFrom, fraction) * pitch;
                band.SetBandpass(std::min(centre, nyquistSafe), rate, layer.q);
            }
        }
        double x = source.Next();
        if (layer.highpass > 0) {
            x = highpass.Run(x);
        }
        if (layer.lowpass > 0) {
            x = lowpass.Run(x);
        }
        if (layer.bandFrom > 0) {
            x = band.Run(x);
        }
        out[i] = static_cast<float>(x * gust * flutter.Next() * NoiseEnvelope(layer, i, n, rate));
    }
    return out;
}

std::vector<float> RenderTone(const Layer& layer, double pitch, int rate) {
    double end = 0;
    for (const Note& note : layer.notes) {
        end = std::max(end, note.at + note.length);
    }
    std::vector<float> out(Samples(end, rate) + 1, 0.0f);
    for (const Note& note : layer.notes) {
        const size_t start = Samples(note.at, rate);
        const size_t n = Samples(note.length, rate);
        const size_t attack = std::min(Samples(layer.attack, rate), n / 2);
        double phase = 0;
        for (size_t i = 0; i < n && start + i < out.size(); ++i) {
            const double t = static_cast<double>(i) / rate;
            const double fraction = static_cast<double>(i) / static_cast<double>(n);
            double frequency = note.from * std::pow(note.to / note.from, fraction) * pitch;
            frequency *= 1.0 + layer.vibratoDepth * std::sin(kTwoPi * layer.vibratoRate * t);
            phase += kTwoPi * frequency / rate;
            double sample = 0;
            for (size_t h = 0; h < layer.harmonics.size(); ++h) {
                if (frequency * static_cast<double>(h + 1) < 0.45 * rate) {
                    sample += layer.harmonics[h] * std::sin(phase * static_cast<double>(h + 1));
                }
            }
            // Rise over the attack, then fall smoothly to nothing at the note's end.
            const double fall = i < attack
                                    ? Rise(i, attack)
                                    : std::cos(0.5 * std::numbers::pi * static_cast<double>(i - attack) /
                                               static_cast<double>(n - attack));
            out[start + i] += static_cast<float>(note.amplitude * sample * fall);
        }
    }
    return out;
}

void MixInto(Stereo& out, const std::vector<float>& mono, size_t offset, double gain, double pan) {
    const double angle = (std::clamp(pan, -1.0, 1.0) + 1.0) * std::numbers::pi / 4.0;
    const auto left = static_cast<float>(gain * std::cos(angle) * std::numbers::sqrt2);
    const auto right = static_cast<float>(gain * std::sin(angle) * std::numbers::sqrt2);
    for (size_t i = 0; i < mono.size() && offset + i < out.Frames(); ++i) {
        out.left[offset + i] += mono[i] * left;
        out.right[offset + i] += mono[i] * right;
    }
}

// The times of a scatter layer's copies, in seconds from its start.
std::vector<double> ScatterTimes(const Layer& layer, Rng& rng) {
    if (!layer.times.empty()) {
        return layer.times;
    }
    std::vector<double> times;
    for (int i = 0; i < layer.count; ++i) {
        double u = rng.Uniform();
        switch (layer.spread) {
            case ScatterSpread::Even:
                break;
            case ScatterSpread::Swell:
                u = (u + rng.Uniform() + rng.Uniform()) / 3.0;  // gathered about the middle
                break;
            case ScatterSpread::Fade:
                u = u * rng.Uniform();  // dense early, thinning out
                break;
        }
        times.push_back(u * layer.length);
    }
    std::sort(times.begin(), times.end());
    return times;
}

void AddLayer(const Layer& layer, double pitch, double gain, double pan, size_t offset, int rate, Rng& rng,
              Stereo& out) {
    const size_t start = offset + Samples(layer.at, rate);
    gain *= layer.gain;
    pan = std::clamp(pan + layer.pan, -1.0, 1.0);
    switch (layer.kind) {
        case LayerKind::Modes:
            MixInto(out, RenderModes(layer, pitch, rate), start, gain, pan);
            break;
        case LayerKind::Noise:
            MixInto(out, RenderNoise(layer, pitch, rate, rng), start, gain, pan);
            break;
        case LayerKind::Tone:
            MixInto(out, RenderTone(layer, pitch, rate), start, gain, pan);
            break;
        case LayerKind::Scatter: {
            const std::vector<double> times = ScatterTimes(layer, rng);
            for (size_t i = 0; i < times.size(); ++i) {
                const double slope = times.size() > 1 ? 1.0 - layer.gainSlope * static_cast<double>(i) /
                                                                  static_cast<double>(times.size() - 1)
                                                      : 1.0;
                const double copyGain = gain * slope * (1.0 - layer.gainJitter * rng.Uniform());
                const double copyPitch = pitch * (1.0 + layer.pitchJitter * rng.Signed());
                const double copyPan = pan + layer.panSpread * rng.Signed();
                AddLayer(*layer.child, copyPitch, copyGain, copyPan, start + Samples(times[i], rate), rate,
                         rng, out);
            }
            break;
        }
    }
}

}  // namespace

uint32_t Rng::Next() {
    // PCG-XSH-RR.
    const uint64_t old = state_;
    state_ = old * 6364136223846793005ull + 1442695040888963407ull;
    const auto xorShifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rotation = static_cast<uint32_t>(old >> 59u);
    return (xorShifted >> rotation) | (xorShifted << ((32u - rotation) & 31u));
}

double Rng::Uniform() {
    return Next() / 4294967296.0;
}

double Rng::Signed() {
    return 2.0 * Uniform() - 1.0;
}

Stereo RenderLayers(const Recipe& recipe, size_t frames) {
    Stereo out;
    out.left.assign(frames, 0.0f);
    out.right.assign(frames, 0.0f);
    Rng rng(recipe.seed);
    for (const Layer& layer : recipe.layers) {
        AddLayer(layer, 1.0, 1.0, 0.0, 0, recipe.rate, rng, out);
    }
    return out;
}

}  // namespace tools::sound
