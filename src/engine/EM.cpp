#include "engine/EM.h"

#include "engine/EnvelopeTime.h"

#include <algorithm>
#include <array>

namespace zr
{

namespace
{
constexpr std::array<double, EM::kReleaseModeCount> kReleaseTimes = {0.05, 0.43, 0.75};
}

void EM::SetUp(double fs)
{
    state_ = kIdle;
    value_ = 0.0;
    lnTenOverFs_ = envelope::LnTenOver(fs);
}

double EM::Rate(double u) const
{
    return envelope::StepFactor(u, lnTenOverFs_);
}

void EM::Start()
{
    if (holdEnabled_ && held_ && useHold_ && state_ != kIdle)
    {
        Release();
        return;
    }
    state_ = kAttack;
    target_ = envelope::kRiseTarget;
    rate_ = Rate(attack_);
}

void EM::Release()
{
    held_ = false;
    state_ = kRelease;
    target_ = envelope::kFallTarget;
    rate_ = Rate(releaseTime_);
}

void EM::Step()
{
    Latch();
    if (state_ == kIdle) return;
    value_ += (target_ - value_) * rate_;
    Settle();
}

void EM::Latch()
{
    if (holdEnabled_)
    {
        if (!useHold_ || attack_ > kHoldLatchAbove) held_ = true;
    }
    else if (held_ && (!useHold_ || attack_ < kHoldReleaseBelow))
    {
        Release();
    }
}

void EM::Settle()
{
    if (state_ == kAttack && value_ >= 1.0)
    {
        value_ = 1.0;
        state_ = kDecay;
        rate_ = Rate(decay_);
        target_ = sustain_;
    }
    else if ((state_ == kDecay || state_ == kRelease) && value_ <= 0.0)
    {
        value_ = 0.0;
        state_ = kIdle;
    }
}

void EM::SetAttack(double attack)
{
    attack_ = std::clamp(attack, 0.0, 1.0);
    if (state_ == kAttack) rate_ = Rate(attack_);
}

void EM::SetDecay(double value)
{
    decay_ = kDecaySpan * value + kDecayFloor;
    if (state_ == kDecay) rate_ = Rate(decay_);
}

void EM::SetSustain(double value)
{
    sustain_ = value;
    if (state_ == kDecay) target_ = value;
}

void EM::SetReleaseMode(int mode)
{
    normalRelease_ = kReleaseTimes[std::clamp(mode, 0, kReleaseModeCount - 1)];
    if (!overRelease_)
    {
        releaseTime_ = normalRelease_;
        RefreshReleaseRate();
    }
}

void EM::SetOverReleaseTime(double value)
{
    overReleaseTime_ = value;
    if (overRelease_)
    {
        releaseTime_ = value;
        RefreshReleaseRate();
    }
}

void EM::SetOverRelease(bool on)
{
    overRelease_ = on;
    releaseTime_ = on ? overReleaseTime_ : normalRelease_;
    RefreshReleaseRate();
}

void EM::RefreshReleaseRate()
{
    if (state_ == kRelease) rate_ = Rate(releaseTime_);
}

} // namespace zr
