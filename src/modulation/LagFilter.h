#pragma once

#include <numbers>

namespace zr
{

// A lag processor (LAG 1, LAG 2): a second-order Butterworth low-pass (Q = 1/sqrt 2) run once per
// control tick at the nominal control rate of 1000 ticks per second. NaN or an infinity in the
// input or the history becomes 0 at the next step; a tiny offset of alternating sign keeps denormals away.
// Process runs on the audio thread once per tick; setters and reset under the instance lock.
// Until a corner is set, every coefficient is 0 and the output stays 0.
class LagFilter
{
public:
    static constexpr double kControlRate = 1000.0;           // ticks per second
    static constexpr double kMaxKnobCorner = 250.0;          // corner at knob position 0
    static constexpr int kKnobCurve = 6;                     // corner = (1 - position)^6 x 250
    static constexpr double kMaxCorner = kControlRate / 2.0; // passes the input unchanged
    static constexpr double kAntiDenormal = 1e-13;

    // Corner frequency of knob position v ("LAG 1", "LAG 2"): 250 Hz at 0, 3.9 Hz at 0.5, 0 at 1.
    static double CornerOfPosition(double v);

    // Corner in Hz, limited to 0..500 (NaN counts as 0). At 0 the input no longer reaches the
    // output, which continues along its last slope.
    void SetCorner(double hz);

    // Set-up: clears the history and re-applies the stored corner.
    void Reset();

    // "LAGn Src": the selected source value, nullptr for "off".
    void SetInput(const double* source) { input = source; }

    // Once per control tick: output = Filter(input value), or 0 without an input.
    void Process() { output = input ? Filter(*input) : 0.0; }

    // One filter step with input x; returns the new output sample.
    double Filter(double x);

    // Stable address for patch references.
    const double& Output() const { return output; }

    double Corner() const { return corner; }

private:
    double corner = 0.0;
    double omegaPerHz = 2.0 * std::numbers::pi / kControlRate;
    double f1 = 0.0, f2 = 0.0;
    double g0 = 0.0, g1 = 0.0;
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    double offset = kAntiDenormal;
    double output = 0.0;
    const double* input = nullptr;
};

} // namespace zr
