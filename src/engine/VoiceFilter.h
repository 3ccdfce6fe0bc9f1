#pragma once

#include "engine/CutoffTable.h"
#include "engine/Double2.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace zr
{

class VoiceGroup;

// Lane helpers of the filter and envelope kernels: L is double (one voice) or Double2 (two).
template <class L> L Splat(double x)
{
    if constexpr (std::is_same_v<L, double>)
        return x;
    else
        return L::Splat(x);
}

// NaN becomes 0, anything else gets the anti-denormal offset added.
inline double Sanitise(double x, double offset)
{
    return std::isnan(x) ? 0.0 : x + offset;
}
inline Double2 Sanitise(Double2 x, Double2 offset)
{
    return Double2::NotNan(x) & (x + offset);
}

// The filter arithmetic of one sample for one lane type. The scalar filter and the block's
// side-by-side path run this same code, so both compute identical values.
template <class L> struct FilterLanes
{
    L g, a, b, d, k; // coefficients G, A, B, D and the feedback amount
    L s1, s2, s3;    // integrator states
    L offset;        // anti-denormal offset, sign flipped every sample

    // kCheckInput false: the caller guarantees that x is not NaN. kCheckStates false: the caller
    // finds out afterwards whether a state went non-finite and then runs the steps again with the
    // checks. That works because, with finite input, a non-finite state never becomes finite again
    // (every state update adds to the state itself, or to a sum that contains it).
    template <bool kCheckInput = true, bool kCheckStates = true> L Step(L x, double positiveFeedbackGain)
    {
        x = kCheckInput ? Sanitise(x, offset) : x + offset;
        s1 = kCheckStates ? Sanitise(s1, offset) : s1 + offset;
        s2 = kCheckStates ? Sanitise(s2, offset) : s2 + offset;
        s3 = kCheckStates ? Sanitise(s3, offset) : s3 + offset;
        offset = -offset;

        const L d1 = (x - s1) * g;
        const L y1 = s1 + d1;
        s1 = y1 + d1;

        const L fb = BoostPositive(s2 * a + s3 * b, positiveFeedbackGain);

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
            return Double2::NotNan(zero).Bits() == 3;
    }

private:
    static double BoostPositive(double fb, double gain) { return fb > 0.0 ? fb * gain : fb; }
    // For fb > 0 the boosted value is the larger one, for fb < 0 fb itself, for 0 both are equal;
    // NaN stays NaN.
    static Double2 BoostPositive(Double2 fb, double gain)
    {
        return Double2::Max(fb * Splat<Double2>(gain), fb);
    }
};

// A voice's two-pole low-pass: two zero-delay one-pole stages with a one-pole high-pass in the
// feedback path and an asymmetric gain on positive feedback. Coefficients are recomputed only when
// the integer cutoff index or the feedback amount changes. Audio thread.
class VoiceFilter
{
public:
    static constexpr double kFeedbackPerPeak = 1.7;
    static constexpr double kFeedbackFloor = 0.01;
    static constexpr double kPositiveFeedbackGain = 1.17;
    static constexpr double kAntiDenormal = 1e-13;

    struct State
    {
        double s1 = 0.0;
        double s2 = 0.0;
        double s3 = 0.0;
    };

    void SetTables(const CutoffTable* cutoffs, const int* cutoffMod)
    {
        cutoffs_ = cutoffs;
        cutoffMod_ = cutoffMod;
    }

    void SetPeak(double peak) { peak_ = peak; }
    // Per tick: cutoff as a pitch index and the feedback amount that follows "Peak".
    void SetBaseCutoff(int pitchIndex) { baseCutoff_ = pitchIndex; }
    void UpdateFeedback() { lanes_.k = kFeedbackPerPeak * peak_ + kFeedbackFloor; }

    // Filters m samples in place, reading the cutoff modulation at tick positions p .. p + m - 1.
    // NaN in the input or the states is replaced by 0.
    void Process(double* buffer, int m, int p);

    State GetState() const { return {lanes_.s1, lanes_.s2, lanes_.s3}; }
    void SetState(const State& state)
    {
        lanes_.s1 = state.s1;
        lanes_.s2 = state.s2;
        lanes_.s3 = state.s3;
    }
    double Feedback() const { return lanes_.k; }
    double Peak() const { return peak_; }
    int BaseCutoff() const { return baseCutoff_; }

private:
    friend class VoiceGroup;

    // Coefficients for the cutoff at tick position t, recomputed when the index or k changed
    // (returns whether they were).
    bool Follow(int t)
    {
        // Indices outside the table share its end coefficients, so clamping here loses nothing.
        const long long sum = static_cast<long long>(cutoffMod_ ? cutoffMod_[t] : 0) + baseCutoff_;
        const int index = static_cast<int>(std::clamp(sum, 0LL, static_cast<long long>(CutoffTable::kLast)));
        if (index == cachedIndex_ && lanes_.k == cachedK_) return false;
        UpdateCoefficients(index);
        return true;
    }
    void UpdateCoefficients(int index);

    const CutoffTable* cutoffs_ = nullptr;
    const int* cutoffMod_ = nullptr;
    int baseCutoff_ = 0;
    double peak_ = 0.0;
    int cachedIndex_ = -1;
    double cachedK_ = 0.0;
    FilterLanes<double> lanes_ = {1.0, 1.0, 1.0, 0.0, kFeedbackFloor, 0.0, 0.0, 0.0, kAntiDenormal};
};

} // namespace zr
