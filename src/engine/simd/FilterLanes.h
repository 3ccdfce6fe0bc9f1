#pragma once

#include <cmath>
#include <type_traits>

namespace zr
{

// Lane helpers of the filter and envelope kernels: L is double (one voice) or a lane type
// (Double2, Double4, Double8: several voices side by side).
template <class L> L Splat(double x)
{
    if constexpr (std::is_same_v<L, double>)
        return x;
    else
        return L::Splat(x);
}

// NaN becomes 0, anything else gets the anti-denormal offset added.
template <class L> L Sanitise(L x, L offset)
{
    if constexpr (std::is_same_v<L, double>)
        return std::isnan(x) ? 0.0 : x + offset;
    else
        return L::Keep(L::NotNan(x), x + offset);
}

// The voice filter's arithmetic of one sample for one lane type. The scalar filter and the voice
// kernels run this same code, so every lane computes exactly the values the scalar filter computes.
template <class L> struct FilterLanes
{
    // Gain applied to positive feedback only: the filter's asymmetric resonance.
    static constexpr double kPositiveFeedbackGain = 1.17;

    L g, a, b, d, k; // coefficients G, A, B, D and the feedback amount
    L s1, s2, s3;    // integrator states
    L offset;        // anti-denormal offset, sign flipped every sample

    // kCheckInput false: the caller guarantees that x is not NaN. kCheckStates false: the caller
    // finds out afterwards whether a state went non-finite and then runs the steps again with the
    // checks. That works because, with finite input, a non-finite state never becomes finite again
    // (every state update adds to the state itself, or to a sum that contains it).
    template <bool kCheckInput = true, bool kCheckStates = true> L Step(L x)
    {
        x = kCheckInput ? Sanitise(x, offset) : x + offset;
        s1 = kCheckStates ? Sanitise(s1, offset) : s1 + offset;
        s2 = kCheckStates ? Sanitise(s2, offset) : s2 + offset;
        s3 = kCheckStates ? Sanitise(s3, offset) : s3 + offset;
        offset = -offset;

        const L d1 = (x - s1) * g;
        const L y1 = s1 + d1;
        s1 = y1 + d1;

        const L fb = BoostPositive(s2 * a + s3 * b);

        const L d2 = ((fb + y1) * d - s2) * g;
        const L y2 = s2 + d2;
        s2 = y2 + d2;

        const L d3 = (k * y2 - s3) * g;
        s3 = s3 + Splat<L>(2.0) * d3;
        return y2;
    }

    // All three states are finite numbers.
    bool Finite() const
    {
        const L zero = (s1 + s2 + s3) * Splat<L>(0.0);
        if constexpr (std::is_same_v<L, double>)
            return zero == 0.0;
        else
            return L::Bits(L::NotNan(zero)) == (1 << L::kWidth) - 1;
    }

private:
    // fb > 0 boosted, otherwise fb itself; NaN stays NaN. For lanes: the boosted value is the larger
    // one for fb > 0, fb itself for fb < 0, and both are equal for 0.
    static L BoostPositive(L fb)
    {
        if constexpr (std::is_same_v<L, double>)
            return fb > 0.0 ? fb * kPositiveFeedbackGain : fb;
        else
            return L::Max(fb * Splat<L>(kPositiveFeedbackGain), fb);
    }
};

} // namespace zr
