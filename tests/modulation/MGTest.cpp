#include "modulation/MG.h"
#include "modulation/HostClock.h"
#include "modulation/NoiseGenerator.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zr;

namespace
{
// Steps the generator once (the cycle end of the initial phase), then records one full cycle.
std::vector<double> OneCycle(MG& mg, int period)
{
    mg.SetPeriod(period);
    mg.Step();
    std::vector<double> out;
    for (int i = 0; i < period; ++i)
    {
        mg.Step();
        out.push_back(mg.Output());
    }
    return out;
}

// Output at step k of a cycle of the periodic waveforms, from the ramp at phase period - 1 - k.
double Expected(int waveform, int period, int k)
{
    const double r = 1.0 - 2.0 * (period - 1 - k) / (period - 1);
    switch (waveform)
    {
    case MG::kTriangle:
        return r < 0.0 ? 2.0 * r + 1.0 : 2.0 * (1.0 - r) - 1.0;
    case MG::kSawDown:
        return -r;
    case MG::kSawUp:
        return r;
    default:
        return r < 0.0 ? 1.0 : -1.0;
    }
}
} // namespace

TEST(MG, TriangleAt441HzHasAPeriodOf100SamplesRisingToThePeakHalfWay)
{
    HostClock clock;
    MG mg(clock);
    const int period = static_cast<int>(44100.0 / 441.0);
    ASSERT_EQ(period, 100);
    const std::vector<double> cycle = OneCycle(mg, period);
    EXPECT_DOUBLE_EQ(cycle.front(), -1.0);
    EXPECT_DOUBLE_EQ(cycle.back(), -1.0);
    for (int k = 1; k < 50; ++k)
        EXPECT_GT(cycle[k], cycle[k - 1]) << k;
    for (int k = 51; k < period; ++k)
        EXPECT_LT(cycle[k], cycle[k - 1]) << k;
    // r passes 0 between phase 50 and 49 (steps 49 and 50): the two highest samples.
    EXPECT_NEAR(cycle[49], 1.0, 0.021);
    EXPECT_DOUBLE_EQ(cycle[49], cycle[50]);
    for (int k = 0; k < period; ++k)
        EXPECT_NEAR(cycle[k], cycle[period - 1 - k], 1e-12);
}

TEST(MG, PeriodicWaveformsFollowTheRampAndRepeat)
{
    HostClock clock;
    const int period = 100;
    for (int waveform = MG::kTriangle; waveform <= MG::kSquare; ++waveform)
    {
        MG mg(clock);
        mg.SetWaveform(waveform);
        const std::vector<double> first = OneCycle(mg, period);
        for (int k = 0; k < period; ++k)
        {
            EXPECT_NEAR(first[k], Expected(waveform, period, k), 1e-12)
                << "waveform " << waveform << " k " << k;
            EXPECT_LE(std::abs(first[k]), 1.0);
        }
        for (int k = 0; k < 3 * period; ++k)
        {
            mg.Step();
            EXPECT_DOUBLE_EQ(mg.Output(), first[k % period]) << "waveform " << waveform;
        }
    }
}

TEST(MG, ClockEdgeOncePerCycleAtTheCycleStart)
{
    HostClock clock;
    MG mg(clock);
    mg.SetPeriod(100);
    std::vector<int> edges;
    for (int i = 0; i < 1000; ++i)
    {
        mg.Step();
        if (mg.ClockEdge()) edges.push_back(i);
    }
    ASSERT_EQ(edges.size(), 10u);
    for (size_t e = 1; e < edges.size(); ++e)
        EXPECT_EQ(edges[e] - edges[e - 1], 100);
    // The edge is seen right after the step that restarted the cycle.
    EXPECT_EQ(mg.Cycle().Phase(), 99 - (999 - edges.back()));
}

TEST(MG, FrequencyChangeMidCycleKeepsThePositionInProportion)
{
    HostClock clock;
    MG mg(clock);
    mg.SetPeriod(44100); // 1 Hz
    for (int i = 0; i < 22050; ++i)
        mg.Step();
    ASSERT_EQ(mg.Cycle().Phase(), 22050);
    mg.SetPeriod(22050); // 2 Hz
    EXPECT_EQ(mg.Cycle().Period(), 22050);
    EXPECT_EQ(mg.Cycle().BasePeriod(), 22050);
    EXPECT_EQ(mg.Cycle().Phase(), 11025);
    EXPECT_NEAR(mg.Cycle().Ramp(), 0.0, 1e-4);
}

TEST(MG, SlowGeneratorPeriodsInTicks)
{
    HostClock clock;
    for (const double hz : {20.0, 0.01})
    {
        MG mg(clock);
        const int period = static_cast<int>(1000.0 / hz);
        mg.SetPeriod(period);
        int edges = 0, lastEdge = -1, spacing = 0;
        for (int i = 0; i < 2 * period; ++i)
        {
            mg.Step();
            if (mg.ClockEdge())
            {
                if (lastEdge >= 0) spacing = i - lastEdge;
                lastEdge = i;
                ++edges;
            }
        }
        EXPECT_EQ(edges, 2) << hz;
        EXPECT_EQ(spacing, hz == 20.0 ? 50 : 100000);
    }
}

TEST(MG, CyclesShorterThanTwoStepsGiveAConstantOutput)
{
    HostClock clock;
    for (const int period : {1, 0, -5})
    {
        MG mg(clock);
        mg.SetPeriod(period);
        for (int i = 0; i < 10; ++i)
        {
            mg.Step();
            EXPECT_DOUBLE_EQ(mg.Output(), 1.0) << period; // triangle at ramp 0
            EXPECT_FALSE(mg.ClockEdge()) << period;
        }
    }
}

TEST(MG, NoiseWaveformsDrawAtEveryStep)
{
    HostClock clock;
    MG raw(clock), filtered(clock);
    raw.SetWaveform(MG::kNoiseRaw);
    filtered.SetWaveform(MG::kNoiseFiltered);
    raw.SetPeriod(1000);
    filtered.SetPeriod(1000);

    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    raw.Step();
    EXPECT_DOUBLE_EQ(raw.Output(), 16807.0 / 2147483648.0);
    raw.Step();
    EXPECT_NEAR(raw.Output(), 0.1315378, 1e-7);

    NoiseGenerator::SetState(NoiseGenerator::kInitialState);
    filtered.Step();
    const double w1 = 16807.0 / 2147483648.0;
    const double sum = MG::kPinkGain1 + MG::kPinkGain2 + MG::kPinkGain3 + MG::kPinkDirectGain;
    EXPECT_NEAR(filtered.Output(), 0.5 * sum * w1, 1e-15);
    filtered.Step();
    const double w2 = 282475249.0 / 2147483648.0;
    const double second = 0.5 * ((MG::kPinkPole1 * MG::kPinkGain1 + MG::kPinkPole2 * MG::kPinkGain2 +
                                  MG::kPinkPole3 * MG::kPinkGain3) *
                                     w1 +
                                 sum * w2);
    EXPECT_NEAR(filtered.Output(), second, 1e-12);
}

TEST(MG, WaveformOutsideTheListIsLimited)
{
    HostClock clock;
    MG mg(clock);
    mg.SetWaveform(-3);
    EXPECT_EQ(mg.Waveform(), MG::kTriangle);
    mg.SetWaveform(99);
    EXPECT_EQ(mg.Waveform(), MG::kNoiseRaw);
}

TEST(MG, HostSyncedGeneratorFollowsItsDivision)
{
    HostClock clock;
    HostTimeInfo transport;
    clock.UpdateTransport(transport); // 120 beats per minute at 44.1 kHz
    MG mg(clock);
    mg.SetPeriod(100);
    mg.SetHostDivision(10); // "1/4"
    mg.Step();
    EXPECT_EQ(mg.Cycle().Period(), 22050);
    EXPECT_EQ(mg.Cycle().Phase(), clock.Phase(10));

    mg.SetPeriod(441); // while synchronised only the base period follows
    EXPECT_EQ(mg.Cycle().Period(), 22050);
    EXPECT_EQ(mg.Cycle().BasePeriod(), 441);

    mg.SetHostDivision(21); // not a division: free running again
    EXPECT_FALSE(mg.Cycle().HostSynced());
    EXPECT_EQ(mg.Cycle().Division(), 0);
}

TEST(MG, LeavingADivisionWithoutTempoRestartsTheFreeCycle)
{
    HostClock clock; // no transport yet: every division has period and phase 0
    MG mg(clock);
    mg.SetHostDivision(5);
    mg.Step();
    ASSERT_EQ(mg.Cycle().Period(), 0);
    mg.SetHostDivision(0);
    mg.Step(); // phase runs to -1 in a stopped cycle
    mg.SetPeriod(100);
    EXPECT_EQ(mg.Cycle().Period(), 100);
    EXPECT_EQ(mg.Cycle().Phase(), 0);
}
