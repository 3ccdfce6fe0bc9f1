#include "modulation/LagFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

using namespace zr;

namespace
{
// Steady-state amplitude of the lag's answer to a sine of `hz` at the control rate.
double SineGain(double corner, double hz)
{
    LagFilter lag;
    lag.SetCorner(corner);
    double peak = 0.0;
    const int ticks = 40000;
    for (int t = 0; t < ticks; ++t)
    {
        const double y = lag.Filter(std::sin(2.0 * std::numbers::pi * hz * t / LagFilter::kControlRate));
        if (t > ticks / 2) peak = std::max(peak, std::abs(y));
    }
    return peak;
}
} // namespace

TEST(LagFilter, KnobPositionsGiveTheirCorners)
{
    EXPECT_DOUBLE_EQ(LagFilter::CornerOfPosition(0.0), 250.0);
    EXPECT_NEAR(LagFilter::CornerOfPosition(0.5), 3.906, 0.001);
    EXPECT_DOUBLE_EQ(LagFilter::CornerOfPosition(1.0), 0.0);
}

TEST(LagFilter, ButterworthPassesDcAndIsThreeDecibelsDownAtItsCorner)
{
    for (const double corner : {3.9, 30.0, 100.0, 250.0})
    {
        LagFilter lag;
        lag.SetCorner(corner);
        double y = 0.0;
        for (int t = 0; t < 20000; ++t)
            y = lag.Filter(0.6);
        EXPECT_NEAR(y, 0.6, 1e-9) << corner;
        EXPECT_NEAR(SineGain(corner, corner), std::numbers::sqrt2 / 2.0, 0.01) << corner;
        EXPECT_LT(SineGain(corner, std::min(4.0 * corner, 450.0)), 0.1) << corner;
    }
}

TEST(LagFilter, StepResponseOvershootsOnlySlightly)
{
    LagFilter lag;
    lag.SetCorner(10.0);
    double peak = 0.0;
    for (int t = 0; t < 2000; ++t)
        peak = std::max(peak, lag.Filter(1.0));
    EXPECT_GT(peak, 1.0);
    EXPECT_LT(peak, 1.05); // about 4 % for Q = 1/sqrt 2
}

TEST(LagFilter, HalfTheControlRatePassesTheInputUnchanged)
{
    LagFilter lag;
    lag.SetCorner(LagFilter::kMaxCorner);
    for (const double x : {0.3, -0.9, 0.5, 0.5, 1.0})
        EXPECT_NEAR(lag.Filter(x), x, 1e-9);
    lag.SetCorner(1e9); // limited to the same corner
    EXPECT_DOUBLE_EQ(lag.Corner(), LagFilter::kMaxCorner);
}

TEST(LagFilter, CornerZeroContinuesAlongTheLastSlope)
{
    LagFilter lag;
    lag.SetCorner(20.0);
    double y1 = 0.0, y2 = 0.0;
    for (int t = 0; t < 30; ++t)
    {
        y2 = y1;
        y1 = lag.Filter(1.0);
    }
    lag.SetCorner(0.0);
    for (int t = 0; t < 5; ++t)
    {
        const double y = lag.Filter(-5.0);
        EXPECT_NEAR(y, 2.0 * y1 - y2, 1e-9);
        y2 = y1;
        y1 = y;
    }
}

TEST(LagFilter, NaNIsGoneAfterOneStep)
{
    LagFilter lag;
    lag.SetCorner(50.0);
    for (int t = 0; t < 10; ++t)
        lag.Filter(0.5);
    EXPECT_TRUE(std::isfinite(lag.Filter(std::numeric_limits<double>::quiet_NaN())));
    // An infinity would turn into NaN in the history and back at every step; it is cleared too.
    for (const double bad :
         {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()})
    {
        EXPECT_TRUE(std::isfinite(lag.Filter(bad)));
        double y = 0.0;
        for (int t = 0; t < 2000; ++t)
        {
            y = lag.Filter(0.5);
            ASSERT_TRUE(std::isfinite(y)) << t;
        }
        EXPECT_NEAR(y, 0.5, 1e-9);
    }
}

TEST(LagFilter, DecayToSilenceNeverProducesDenormals)
{
    LagFilter lag;
    lag.SetCorner(2.0);
    lag.Filter(1.0);
    for (int t = 0; t < 200000; ++t)
    {
        const double y = lag.Filter(0.0);
        ASSERT_NE(std::fpclassify(y), FP_SUBNORMAL) << t;
    }
}

TEST(LagFilter, ResetClearsTheHistoryAndKeepsTheCorner)
{
    LagFilter fresh, used;
    fresh.SetCorner(10.0);
    used.SetCorner(10.0);
    for (int t = 0; t < 100; ++t)
        used.Filter(1.0);
    used.Reset();
    EXPECT_DOUBLE_EQ(used.Corner(), 10.0);
    for (int t = 0; t < 50; ++t)
        EXPECT_NEAR(used.Filter(1.0), fresh.Filter(1.0), 1e-12) << t;
}

TEST(LagFilter, ProcessReadsTheSelectedInputOrGivesZero)
{
    LagFilter lag;
    lag.SetCorner(LagFilter::kMaxCorner);
    lag.Process();
    EXPECT_DOUBLE_EQ(lag.Output(), 0.0);
    double source = 0.7;
    lag.SetInput(&source);
    lag.Process();
    EXPECT_NEAR(lag.Output(), 0.7, 1e-9);
    lag.SetInput(nullptr);
    lag.Process();
    EXPECT_DOUBLE_EQ(lag.Output(), 0.0);
}
