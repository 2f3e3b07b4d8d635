#pragma once
// Second-order filters after the well-known audio cookbook formulas.

namespace tools::sound {

class Biquad {
  public:
    void SetLowpass(double frequency, int rate, double q);
    void SetHighpass(double frequency, int rate, double q);
    // Constant peak gain of 1 at the centre.
    void SetBandpass(double frequency, int rate, double q);
    double Run(double x);

  private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

}  // namespace tools::sound
