#pragma once

#include "engine/CutoffTable.h"

namespace zr
{

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
    void UpdateFeedback() { k_ = kFeedbackPerPeak * peak_ + kFeedbackFloor; }

    // Filters m samples in place, reading the cutoff modulation at tick positions p .. p + m - 1.
    // NaN in the input or the states is replaced by 0.
    void Process(double* buffer, int m, int p);

    const State& GetState() const { return state_; }
    void SetState(const State& state) { state_ = state; }
    double Feedback() const { return k_; }
    double Peak() const { return peak_; }
    int BaseCutoff() const { return baseCutoff_; }

private:
    void UpdateCoefficients(int index);

    const CutoffTable* cutoffs_ = nullptr;
    const int* cutoffMod_ = nullptr;
    int baseCutoff_ = 0;
    double peak_ = 0.0;
    double d_ = 0.0;
    double g_ = 1.0;
    double a_ = 1.0;
    double b_ = 1.0;
    double k_ = kFeedbackFloor;
    int cachedIndex_ = -1;
    double cachedK_ = 0.0;
    State state_;
    double offset_ = kAntiDenormal;
};

} // namespace zr
