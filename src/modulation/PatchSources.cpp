#include "modulation/PatchSources.h"

namespace zr
{

void PatchSources::BindCv(int value, const double& source)
{
    if (value > CvSource::kOff && value < CvSource::kCount) cv_[value] = &source;
}

void PatchSources::BindTrigger(int value, const bool& flag)
{
    if (value > TriggerSource::kOff && value < TriggerSource::kCount) triggers_[value] = &flag;
}

const double* PatchSources::Cv(int value) const
{
    return value > CvSource::kOff && value < CvSource::kCount ? cv_[value] : nullptr;
}

const bool* PatchSources::Trigger(int value) const
{
    return value > TriggerSource::kOff && value < TriggerSource::kCount ? triggers_[value] : nullptr;
}

} // namespace zr
