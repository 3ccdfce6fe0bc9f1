#include "engine/VoiceFilter.h"

#include <algorithm>
#include <cmath>

namespace zr
{

namespace
{
double Sanitise(double x, double offset)
{
    return std::isnan(x) ? 0.0 : x + offset;
}
} // namespace

void VoiceFilter::UpdateCoefficients(int index)
{
    cachedIndex_ = index;
    cachedK_ = k_;
    const double g = cutoffs_ ? cutoffs_->At(index) : 0.0;
    const double h = 1.0 / (1.0 + g);
    g_ = g * h;
    a_ = (k_ - k_ * g_) * h;
    b_ = -h;
    d_ = 1.0 / (k_ * g_ * g_ + (1.0 - k_ * g_));
}

void VoiceFilter::Process(double* buffer, int m, int p)
{
    for (int j = 0; j < m; ++j)
    {
        // Indices outside the table share its end coefficients, so clamping here loses nothing.
        const long long sum = static_cast<long long>(cutoffMod_ ? cutoffMod_[p + j] : 0) + baseCutoff_;
        const int index = static_cast<int>(std::clamp(sum, 0LL, static_cast<long long>(CutoffTable::kLast)));
        if (index != cachedIndex_ || k_ != cachedK_) UpdateCoefficients(index);

        const double x = Sanitise(buffer[j], offset_);
        double s1 = Sanitise(state_.s1, offset_);
        double s2 = Sanitise(state_.s2, offset_);
        double s3 = Sanitise(state_.s3, offset_);
        offset_ = -offset_;

        const double d1 = (x - s1) * g_;
        const double y1 = s1 + d1;
        s1 = y1 + d1;

        double fb = s2 * a_ + s3 * b_;
        if (fb > 0.0) fb *= kPositiveFeedbackGain;

        const double d2 = ((fb + y1) * d_ - s2) * g_;
        const double y2 = s2 + d2;
        s2 = y2 + d2;

        const double d3 = (k_ * y2 - s3) * g_;
        s3 += 2.0 * d3;

        state_ = {s1, s2, s3};
        buffer[j] = y2;
    }
}

} // namespace zr
