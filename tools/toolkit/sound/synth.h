#pragma once
// Renders a recipe's layers into floating-point channels, before the finishing steps.

#include <cstdint>
#include <vector>

#include "tools/toolkit/sound/recipe.h"

namespace tools::sound {

// Two channels of equal length; a mono sound is the average of the two.
struct Stereo {
    std::vector<float> left;
    std::vector<float> right;
    size_t Frames() const { return left.size(); }
};

// The same seed always gives the same numbers, on every machine.
class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    uint32_t Next();
    double Uniform();  // 0 <= x < 1
    double Signed();   // -1 <= x < 1

  private:
    uint64_t state_;
};

// Mixes every layer of the recipe into frames frames of sound.
Stereo RenderLayers(const Recipe& recipe, size_t frames);

}  // namespace tools::sound
