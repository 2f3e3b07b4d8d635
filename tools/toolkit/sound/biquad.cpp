#include "tools/toolkit/sound/biquad.h"

#include <cmath>
#include <numbers>

namespace tools::sound {

namespace {

struct Angles {
    double cosine;
    double alpha;
};

Angles AnglesOf(double frequency, int rate, double q) {
    const double w = 2.0 * std::numbers::pi * frequency / rate;
    return {std::cos(w), std::sin(w) / (2.0 * q)};
}

}  // namespace

void Biquad::SetLowpass(double frequency, int rate, double q) {
    const Angles a = AnglesOf(frequency, rate, q);
    Set((1 - a.cosine) / 2, 1 - a.cosine, (1 - a.cosine) / 2, 1 + a.alpha, -2 * a.cosine, 1 - a.alpha);
}

void Biquad::SetHighpass(double frequency, int rate, double q) {
    const Angles a = AnglesOf(frequency, rate, q);
    Set((1 + a.cosine) / 2, -(1 + a.cosine), (1 + a.cosine) / 2, 1 + a.alpha, -2 * a.cosine, 1 - a.alpha);
}

void Biquad::SetBandpass(double frequency, int rate, double q) {
    const Angles a = AnglesOf(frequency, rate, q);
    Set(a.alpha, 0, -a.alpha, 1 + a.alpha, -2 * a.cosine, 1 - a.alpha);
}

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2) {
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

double Biquad::Run(double x) {
    const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

}  // namespace tools::sound
