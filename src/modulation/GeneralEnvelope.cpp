#include "modulation/GeneralEnvelope.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zr
{

namespace
{
double TimePosition(double u)
{
    return NanAsZeroClamped(u, 0.0, 1.0);
}
} // namespace

GeneralEnvelope::GeneralEnvelope() : rateBase(std::numbers::ln10 / kInitialRate) {}

void GeneralEnvelope::Reset(double sampleRate)
{
    if (std::isfinite(sampleRate) && sampleRate > 0.0) rateBase = std::numbers::ln10 / sampleRate;
    state = kIdle;
    target = factor = level = 0.0;
    delayTarget = delayFactor = delayCounter = 0.0;
    Rest();
}

double GeneralEnvelope::StepFactor(double u) const
{
    return std::pow(10.0, kRateExponentBase - kRateExponentSpan * u) * rateBase;
}

void GeneralEnvelope::Trigger()
{
    state = kDelay;
    delayCounter = 0.0;
    delayTarget = kRiseGoal;
    delayFactor = StepFactor(delay);
}

void GeneralEnvelope::KeyRelease()
{
    state = kRelease;
    target = kFallGoal;
    factor = StepFactor(release);
}

void GeneralEnvelope::Step()
{
    if (state <= kIdle)
    {
        Rest();
        return;
    }
    level += (target - level) * factor;
    if (state == kDelay) StepDelay();
    if (state == kAttack) StepAttack();
    if (state == kRelease && level <= 0.0)
    {
        level = 0.0;
        state = kIdle;
    }
    outPositive = level;
    outRising = level - 1.0;
    outNegative = 1.0 - level;
}

void GeneralEnvelope::StepDelay()
{
    level = std::max(level, 0.0);
    delayCounter += (delayTarget - delayCounter) * delayFactor;
    if (delayCounter >= 1.0)
    {
        state = kAttack;
        // The attack aims past full level like every other stage, so that it lasts the time the
        // time law gives (5 ms at "GEG Atk" 0), not three times as long.
        target = kRiseGoal;
        factor = StepFactor(attack);
    }
}

void GeneralEnvelope::StepAttack()
{
    if (level < kAttackEnd) return;
    state = kRelease;
    factor = StepFactor(release);
    if (autoRelease)
    {
        target = kFallGoal;
    }
    else
    {
        level = 1.0;
        target = 1.0;
    }
}

void GeneralEnvelope::SetDelay(double u)
{
    delay = TimePosition(u);
    if (state == kDelay) delayFactor = StepFactor(delay);
}

void GeneralEnvelope::SetAttack(double u)
{
    attack = TimePosition(u);
    if (state == kAttack) factor = StepFactor(attack);
}

void GeneralEnvelope::SetRelease(double u)
{
    release = TimePosition(u);
    if (state == kRelease) factor = StepFactor(release);
}

void GeneralEnvelope::Rest()
{
    outNegative = 1.0;
    outRising = -1.0;
    outPositive = 0.0;
}

} // namespace zr
