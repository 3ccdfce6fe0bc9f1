#include "modulation/GeneralEnvelope.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace zr;

namespace
{
// Stage length of time position u in samples: 10^(4.5 u - 2.3) seconds.
double StageSamples(double u, double rate)
{
    return std::pow(10.0, 4.5 * u - 2.3) * rate;
}

// Steps until the envelope leaves `state` (at most `limit` steps); returns the number of steps.
long StepsIn(GeneralEnvelope& geg, int state, long limit = 100000000)
{
    long n = 0;
    while (geg.CurrentState() == state && n < limit)
    {
        geg.Step();
        ++n;
    }
    return n;
}

void ExpectOutputs(const GeneralEnvelope& geg, double level)
{
    EXPECT_DOUBLE_EQ(geg.OutPositive(), level);
    EXPECT_DOUBLE_EQ(geg.OutRising(), level - 1.0);
    EXPECT_DOUBLE_EQ(geg.OutNegative(), 1.0 - level);
}
} // namespace

TEST(GeneralEnvelope, RestsAtConstructionAndAfterReset)
{
    GeneralEnvelope geg;
    ExpectOutputs(geg, 0.0);
    geg.Reset(44100.0);
    geg.Trigger();
    for (int i = 0; i < 300; ++i)
        geg.Step();
    geg.Reset(48000.0);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kIdle);
    ExpectOutputs(geg, 0.0);
    geg.Step();
    ExpectOutputs(geg, 0.0);
}

TEST(GeneralEnvelope, ShortestDelayAndAttackTakeFiveMillisecondsEach)
{
    for (const double rate : {44100.0, 48000.0, 96000.0})
    {
        GeneralEnvelope geg;
        geg.Reset(rate);
        geg.SetDelay(0.0);
        geg.SetAttack(0.0);
        geg.Trigger();
        const double expected = 0.005 * rate;
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kDelay), expected, 2.0) << rate;
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kAttack), expected, 2.0) << rate;
        EXPECT_DOUBLE_EQ(geg.Level(), 1.0);
    }
}

TEST(GeneralEnvelope, StageTimesFollowTheTimeLaw)
{
    const double rate = 44100.0;
    for (const double u : {0.1, 0.3, 0.5})
    {
        GeneralEnvelope geg;
        geg.Reset(rate);
        geg.SetDelay(u);
        geg.SetAttack(u);
        geg.SetRelease(u);
        geg.SetAutoRelease(true);
        geg.Trigger();
        // Steps for the distance to the overshooting goal to shrink to the given fraction.
        const double perStep = std::log(1.0 - geg.StepFactor(u));
        const double toTenth = std::log(0.1) / perStep;
        const double toAttackEnd = std::log(1.0 - 0.9 * GeneralEnvelope::kAttackEnd) / perStep;
        const long delaySteps = StepsIn(geg, GeneralEnvelope::kDelay);
        EXPECT_NEAR(delaySteps, toTenth, 1.0) << u;
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kAttack), toAttackEnd, 1.0) << u;
        // The release starts from the level the attack ended at, just above 0.999.
        const double fromLevel = std::log((1.0 / 9.0) / (geg.Level() + 1.0 / 9.0)) / perStep;
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kRelease), fromLevel, 1.0) << u;
        EXPECT_NEAR(delaySteps, StageSamples(u, rate), 0.005 * StageSamples(u, rate)) << u;
        ExpectOutputs(geg, 0.0);
    }
}

TEST(GeneralEnvelope, HoldsAtFullLevelUntilTheKeyIsReleased)
{
    const double rate = 44100.0;
    GeneralEnvelope geg;
    geg.Reset(rate);
    geg.SetRelease(0.4);
    geg.Trigger();
    StepsIn(geg, GeneralEnvelope::kDelay);
    StepsIn(geg, GeneralEnvelope::kAttack);
    for (int i = 0; i < 100000; ++i)
    {
        geg.Step();
        ASSERT_EQ(geg.CurrentState(), GeneralEnvelope::kRelease);
        ASSERT_DOUBLE_EQ(geg.Level(), 1.0);
    }
    ExpectOutputs(geg, 1.0);
    geg.KeyRelease();
    const double expected = StageSamples(0.4, rate);
    EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kRelease), expected, 0.002 * expected);
    ExpectOutputs(geg, 0.0);
}

TEST(GeneralEnvelope, AutoReleaseBeginsWhenTheAttackEnds)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    geg.SetAutoRelease(true);
    geg.Trigger();
    StepsIn(geg, GeneralEnvelope::kDelay);
    StepsIn(geg, GeneralEnvelope::kAttack);
    const double peak = geg.Level();
    EXPECT_GE(peak, GeneralEnvelope::kAttackEnd);
    geg.Step();
    EXPECT_LT(geg.Level(), peak);
    StepsIn(geg, GeneralEnvelope::kRelease);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kIdle);
}

TEST(GeneralEnvelope, TriggerDuringTheHoldKeepsFullLevelAndEndsTheAttackAtOnce)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    geg.Trigger();
    StepsIn(geg, GeneralEnvelope::kDelay);
    StepsIn(geg, GeneralEnvelope::kAttack);
    geg.Trigger();
    while (geg.CurrentState() == GeneralEnvelope::kDelay)
    {
        geg.Step();
        ASSERT_DOUBLE_EQ(geg.Level(), 1.0);
    }
    // The step that ended the delay also ended the attack.
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kRelease);
    EXPECT_DOUBLE_EQ(geg.Level(), 1.0);
}

TEST(GeneralEnvelope, TriggerDuringTheReleaseLetsTheLevelFallThroughTheDelay)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    geg.SetDelay(0.2);
    geg.Trigger();
    StepsIn(geg, GeneralEnvelope::kDelay);
    StepsIn(geg, GeneralEnvelope::kAttack);
    geg.KeyRelease();
    for (int i = 0; i < 100; ++i)
        geg.Step();
    geg.Trigger();
    double last = geg.Level();
    while (geg.CurrentState() == GeneralEnvelope::kDelay)
    {
        geg.Step();
        ASSERT_LE(geg.Level(), last);
        ASSERT_GE(geg.Level(), 0.0);
        last = geg.Level();
    }
    EXPECT_DOUBLE_EQ(last, 0.0);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kAttack);
}

TEST(GeneralEnvelope, KeyReleaseWhenIdleEndsInOneStep)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    geg.KeyRelease();
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kRelease);
    geg.Step();
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kIdle);
    ExpectOutputs(geg, 0.0);
}

TEST(GeneralEnvelope, KeyReleaseCutsTheDelayShort)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    geg.SetDelay(0.5);
    geg.Trigger();
    geg.Step();
    geg.KeyRelease();
    geg.Step();
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kIdle);
}

TEST(GeneralEnvelope, ChangesReachTheRunningStage)
{
    const double rate = 44100.0;
    {
        // A shorter "GEG Dly" during the delay speeds up the delay counter.
        GeneralEnvelope geg;
        geg.Reset(rate);
        geg.SetDelay(0.8);
        geg.Trigger();
        for (int i = 0; i < 100; ++i)
            geg.Step();
        geg.SetDelay(0.0);
        EXPECT_LT(StepsIn(geg, GeneralEnvelope::kDelay), 0.005 * rate + 2);
    }
    {
        GeneralEnvelope geg;
        geg.Reset(rate);
        geg.SetAttack(0.9);
        geg.Trigger();
        StepsIn(geg, GeneralEnvelope::kDelay);
        geg.SetAttack(0.0);
        EXPECT_LT(StepsIn(geg, GeneralEnvelope::kAttack), 0.005 * rate + 2);
    }
    {
        GeneralEnvelope geg;
        geg.Reset(rate);
        geg.SetRelease(0.9);
        geg.KeyRelease(); // idle: a release stage that ends at once
        geg.Step();
        geg.Trigger();
        StepsIn(geg, GeneralEnvelope::kDelay);
        StepsIn(geg, GeneralEnvelope::kAttack);
        geg.KeyRelease();
        geg.SetRelease(0.0);
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kRelease), 0.005 * rate, 2.0);
    }
}

TEST(GeneralEnvelope, TimePositionsOutsideTheRangeAreLimited)
{
    GeneralEnvelope geg;
    geg.Reset(44100.0);
    const double shortest = std::pow(10.0, 2.3) * std::log(10.0) / 44100.0;
    EXPECT_NEAR(geg.StepFactor(0.0), shortest, 1e-12 * shortest);
    for (const double bad : {-2.0, std::numeric_limits<double>::quiet_NaN()})
    {
        geg.SetDelay(bad);
        geg.Trigger();
        EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kDelay), 220.5, 2.0) << bad;
        geg.Reset(44100.0);
    }
    geg.SetDelay(7.0);
    geg.Trigger();
    EXPECT_NEAR(StepsIn(geg, GeneralEnvelope::kDelay, 10000000), StageSamples(1.0, 44100.0),
                0.002 * StageSamples(1.0, 44100.0));
}
