#pragma once

namespace zr
{

// One band-pass of a block's resonator section (peak gain 2, Q 2) with a dry/wet mix; its centre
// follows a smoothed control value on a fourth-power law from 80 Hz to 10 kHz. Audio thread; the
// setters are the block parameter step.
class Resonator
{
public:
    static constexpr double kDefaultPosition = 0.5;
    static constexpr double kLowHz = 80.0;
    static constexpr double kHighHz = 10000.0;
    static constexpr double kSmoothingHz = 2000.0;
    static constexpr double kDefaultRate = 44100.0;

    Resonator() { SetUp(kDefaultRate); }

    // Position 0.5, mix 0, constants for fs, coefficients and states cleared.
    void SetUp(double fs);

    void SetPosition(double position) { position_ = position; }
    void SetMix(double mix) { mix_ = mix; }

    // Once per tick with the control value (0.25 without modulation).
    void Update(double control);
    // Adds the processed input into out.
    void Process(const double* in, double* out, int m);

    double Position() const { return position_; }
    double Mix() const { return mix_; }
    double CenterOmega() const;

private:
    static constexpr double kBandwidthDivisor = 4.0; // alpha = sin(w) / 4
    static constexpr double kWetGain = 2.0 / 3.0;
    static constexpr double kDryShare = 1.0 / 3.0;

    double position_ = kDefaultPosition;
    double mix_ = 0.0;
    double omegaLow_ = 0.0;
    double omegaHigh_ = 0.0;
    double b0_ = 0.0;
    double a1_ = 0.0;
    double a2_ = 0.0;
    double smoothA_ = 0.0;
    double smoothB_ = 0.0;
    double smoothed_ = 0.0;
    double cachedInput_ = 0.0;
    double x1_ = 0.0;
    double x2_ = 0.0;
    double y1_ = 0.0;
    double y2_ = 0.0;
};

} // namespace zr
