#pragma once

#include "engine/CutoffTable.h"
#include "engine/simd/FilterLanes.h"

#include <algorithm>

namespace zr
{

class VoiceGroup;

// A voice's two-pole low-pass: two zero-delay one-pole stages with a one-pole high-pass in the
// feedback path and an asymmetric gain on positive feedback. Coefficients are recomputed only when
// the integer cutoff index or the feedback amount changes. Audio thread.
class VoiceFilter
{
public:
    static constexpr double kFeedbackPerPeak = 1.7;
    static constexpr double kFeedbackFloor = 0.01;
    static constexpr double kPositiveFeedbackGain = FilterLanes<double>::kPositiveFeedbackGain;
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
