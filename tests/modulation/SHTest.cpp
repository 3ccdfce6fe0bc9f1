#include "modulation/SH.h"
#include "modulation/HostClock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace zr;

namespace
{
// Ticks at which the held value changed while the input counts the ticks.
std::vector<int> SampleTicks(SH& sh, int ticks, double (*input)(int))
{
    std::vector<int> taken;
    for (int t = 0; t < ticks; ++t)
    {
        const double before = sh.Output();
        sh.Step(input(t));
        if (sh.Output() != before) taken.push_back(t);
    }
    return taken;
}

double TickNumber(int t)
{
    return t + 1.0;
}
double PlusFive(int)
{
    return 1.0;
}
double MinusFive(int)
{
    return -1.0;
}
} // namespace

TEST(SH, SamplesOncePerCycleAtTheCycleStart)
{
    HostClock clock;
    SH sh(clock);
    sh.SetPeriod(10);
    std::vector<int> edges, samples;
    for (int t = 0; t < 100; ++t)
    {
        const double before = sh.Output();
        sh.Step(t + 1.0);
        if (sh.ClockEdge()) edges.push_back(t);
        if (sh.Output() != before)
        {
            samples.push_back(t);
            // The sample is taken at the cycle's first step (phase period - 1 before the step).
            EXPECT_EQ(sh.Cycle().Phase(), 8);
        }
    }
    ASSERT_EQ(samples.size(), 10u);
    for (size_t i = 1; i < samples.size(); ++i)
        EXPECT_EQ(samples[i] - samples[i - 1], 10);
    // The edge is tested after the step that restarted the cycle; the sample follows one tick later.
    ASSERT_GE(edges.size(), samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        EXPECT_EQ(samples[i] - edges[i], 1);
}

TEST(SH, ConstantInputReachesTheOutputAtTheNextCycleStart)
{
    HostClock clock;
    SH sh(clock);
    sh.SetPeriod(20);
    const std::vector<int> taken = SampleTicks(sh, 60, PlusFive);
    ASSERT_FALSE(taken.empty());
    EXPECT_LE(taken.front(), 20);
    EXPECT_DOUBLE_EQ(sh.Output(), 1.0);
}

TEST(SH, SyncStretchesTheNextCycleByTheSampledValue)
{
    struct Case
    {
        double (*input)(int);
        int expectedPeriod;
    };
    for (const Case c : {Case{PlusFive, 150}, Case{MinusFive, 50}})
    {
        HostClock clock;
        SH sh(clock);
        sh.SetPeriod(100);
        sh.SetSync(true);
        // The held value only changes once with a constant input, so count cycles by edges.
        std::vector<int> edges;
        for (int t = 0; t < 1000; ++t)
        {
            sh.Step(c.input(t));
            if (sh.ClockEdge()) edges.push_back(t);
        }
        ASSERT_GE(edges.size(), 4u);
        for (size_t i = 2; i < edges.size(); ++i)
            EXPECT_EQ(edges[i] - edges[i - 1], c.expectedPeriod);
        EXPECT_EQ(sh.Cycle().BasePeriod(), 100);
    }
}

TEST(SH, SyncOffRestoresTheBasePeriod)
{
    HostClock clock;
    SH sh(clock);
    sh.SetPeriod(100);
    sh.SetSync(true);
    SampleTicks(sh, 250, PlusFive);
    ASSERT_EQ(sh.Cycle().Period(), 150);
    sh.SetSync(false);
    EXPECT_EQ(sh.Cycle().Period(), 100);
    EXPECT_EQ(sh.Cycle().Phase(), 100);
    const std::vector<int> taken = SampleTicks(sh, 400, TickNumber);
    for (size_t i = 1; i < taken.size(); ++i)
        EXPECT_EQ(taken[i] - taken[i - 1], 100);
}

TEST(SH, SyncWithAnOutOfRangeInputStaysWithinOneAndAHalfBasePeriods)
{
    for (const double x : {1e300, -1e300, std::numeric_limits<double>::quiet_NaN()})
    {
        HostClock clock;
        SH sh(clock);
        sh.SetPeriod(100);
        sh.SetSync(true);
        for (int t = 0; t < 120; ++t)
            sh.Step(x);
        const int expected = std::isnan(x) ? 100 : (x > 0 ? 150 : 50);
        EXPECT_EQ(sh.Cycle().Period(), expected) << x;
    }
}

TEST(SH, HostSyncedSampleAndHoldIgnoresSync)
{
    HostClock clock;
    clock.UpdateTransport(HostTimeInfo{});
    SH sh(clock);
    sh.SetPeriod(100);
    sh.SetSync(true);
    sh.SetHostDivision(20); // "1/64": 1378 samples at 120 beats per minute
    for (int t = 0; t < 10; ++t)
    {
        for (int s = 0; s < 44; ++s)
            clock.Step();
        sh.Step(1.0);
        EXPECT_EQ(sh.Cycle().Period(), 1378);
        EXPECT_EQ(sh.Cycle().Phase(), clock.Phase(20));
    }
}
