#include "engine/VoiceFilter.h"

namespace zr
{

void VoiceFilter::UpdateCoefficients(int index)
{
    const double k = lanes_.k;
    cachedIndex_ = index;
    cachedK_ = k;
    const double g = cutoffs_ ? cutoffs_->At(index) : 0.0;
    const double h = 1.0 / (1.0 + g);
    const double gh = g * h;
    lanes_.g = gh;
    lanes_.a = (k - k * gh) * h;
    lanes_.b = -h;
    lanes_.d = 1.0 / (k * gh * gh + (1.0 - k * gh));
}

void VoiceFilter::Process(double* buffer, int m, int p)
{
    for (int j = 0; j < m; ++j)
    {
        Follow(p + j);
        buffer[j] = lanes_.Step(buffer[j]);
    }
}

} // namespace zr
