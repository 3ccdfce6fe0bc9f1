#include "modulation/HostClock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

using namespace zr;

namespace
{
HostTimeInfo Playing(double tempo, double beats)
{
    HostTimeInfo info;
    info.tempo = tempo;
    info.musicalPosition = beats;
    info.samplePosition = 0.0;
    info.playing = true;
    return info;
}

// A clock that has seen the first transport update and then a running transport at `beats`.
void StartAt(HostClock& clock, double sampleRate, double tempo, double beats)
{
    clock.SetSampleRate(sampleRate);
    clock.UpdateTransport(HostTimeInfo{});
    clock.UpdateTransport(Playing(tempo, beats));
}

// Steps n samples and returns the step numbers (1-based) at which division d restarted.
std::vector<long> Restarts(HostClock& clock, int d, long n)
{
    std::vector<long> at;
    for (long i = 1; i <= n; ++i)
    {
        clock.Step();
        if (clock.Phase(d) == clock.Period(d)) at.push_back(i);
    }
    return at;
}
} // namespace

TEST(HostClock, QuarterAndSixteenthTripletAt120BeatsPerMinute)
{
    HostClock clock;
    clock.UpdateTransport(HostTimeInfo{});
    EXPECT_EQ(clock.Period(10), 22050); // "1/4"
    EXPECT_EQ(clock.Period(18), 3675);  // "1/16T"
    EXPECT_EQ(clock.Period(0), 0);      // "off"
}

TEST(HostClock, EveryDivisionLengthAtSeveralTemposAndRates)
{
    for (const double rate : {44100.0, 48000.0, 96000.0})
        for (const double tempo : {120.0, 93.5, 174.0})
        {
            HostClock clock;
            StartAt(clock, rate, tempo, 0.0);
            const double perBeat = 60.0 / tempo * rate;
            EXPECT_DOUBLE_EQ(clock.SamplesPerBeat(), perBeat);
            for (int d = 1; d < HostClock::kDivisionCount; ++d)
            {
                const double exact = HostClock::kDivisionBeats[d] * perBeat;
                EXPECT_DOUBLE_EQ(clock.PeriodExact(d), exact) << d;
                EXPECT_EQ(clock.Period(d), static_cast<int>(std::floor(exact + 0.5))) << d;
            }
        }
}

TEST(HostClock, DivisionsRestartOnMultiplesOfTheirLengthFromPositionZero)
{
    for (const double rate : {44100.0, 48000.0})
    {
        HostClock clock;
        StartAt(clock, rate, 120.0, 0.3);
        const double start = 0.3 * clock.SamplesPerBeat();
        for (const int d : {1, 5, 10, 12, 18, 20})
        {
            HostClock copy = clock;
            const double length = copy.PeriodExact(d);
            const long span = static_cast<long>(std::min(4.0 * length, 400000.0)) + 2;
            const std::vector<long> at = Restarts(copy, d, span);
            ASSERT_FALSE(at.empty()) << d;
            // The first restart is the first multiple of the length at or after the start position.
            const double firstMultiple = std::ceil(start / length) * length;
            EXPECT_NEAR(static_cast<double>(at.front()), firstMultiple - start, 1.0) << d;
            for (size_t i = 1; i < at.size(); ++i)
                EXPECT_NEAR(static_cast<double>(at[i] - at[i - 1]), length, 1.0) << d;
        }
    }
}

TEST(HostClock, TempoIsRoundedAndInvalidTemposCountAs120)
{
    HostClock clock;
    StartAt(clock, 44100.0, 120.0004, 0.0);
    EXPECT_DOUBLE_EQ(clock.Tempo(), 120.0);
    for (const double bad : {0.0, -30.0, 0.0004, std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity()})
    {
        HostClock other;
        StartAt(other, 44100.0, bad, 0.0);
        EXPECT_DOUBLE_EQ(other.Tempo(), 120.0) << bad;
        EXPECT_EQ(other.Period(10), 22050) << bad;
    }
}

TEST(HostClock, AbsurdTempoKeepsPeriodsInRange)
{
    HostClock clock;
    clock.SetSampleRate(192000.0);
    StartAt(clock, 192000.0, 0.001, 0.0);
    EXPECT_GT(clock.Period(1), 0);
    StartAt(clock, 192000.0, 1e12, 0.0);
    EXPECT_GE(clock.Period(20), 0);
}

TEST(HostClock, StartingTheTransportRestartsEveryDivision)
{
    HostClock clock;
    clock.UpdateTransport(HostTimeInfo{});
    for (int i = 0; i < 5000; ++i)
        clock.Step();
    clock.UpdateTransport(Playing(120.0, 8.0));
    EXPECT_TRUE(clock.Running());
    EXPECT_DOUBLE_EQ(clock.Counter(), 8.0 * 22050.0);
    for (int d = 1; d < HostClock::kDivisionCount; ++d)
        EXPECT_EQ(clock.Phase(d), clock.Period(d)) << d;
}

TEST(HostClock, JumpBackwardsRestartsEveryDivisionForwardsOnlyRealigns)
{
    HostClock clock;
    StartAt(clock, 44100.0, 120.0, 4.0);
    for (int i = 0; i < 1000; ++i)
        clock.Step();
    std::vector<int> before;
    for (int d = 0; d < HostClock::kDivisionCount; ++d)
        before.push_back(clock.Phase(d));

    clock.UpdateTransport(Playing(120.0, 10.25)); // forwards
    const double counter = clock.Counter();
    EXPECT_DOUBLE_EQ(counter, 10.25 * 22050.0);
    for (int d = 1; d < HostClock::kDivisionCount; ++d)
    {
        EXPECT_EQ(clock.Phase(d), before[d]) << d;
        const double length = clock.PeriodExact(d);
        const double next = clock.NextStart(d);
        EXPECT_GE(next, counter) << d;
        EXPECT_LT(next - counter, length) << d;
        EXPECT_NEAR(next / length, std::round(next / length), 1e-9) << d;
    }
    EXPECT_DOUBLE_EQ(clock.NextStart(10), 11.0 * 22050.0);

    for (int i = 0; i < 1000; ++i)
        clock.Step();
    clock.UpdateTransport(Playing(120.0, 2.0)); // backwards
    EXPECT_DOUBLE_EQ(clock.Counter(), 0.0);
    for (int d = 1; d < HostClock::kDivisionCount; ++d)
        EXPECT_EQ(clock.Phase(d), clock.Period(d)) << d;
}

TEST(HostClock, StoppedTransportKeepsCountingAtTheLastTempo)
{
    HostClock clock;
    StartAt(clock, 48000.0, 90.0, 1.0);
    clock.Step();
    HostTimeInfo stopped = Playing(140.0, 1.0);
    stopped.playing = false;
    clock.UpdateTransport(stopped);
    EXPECT_FALSE(clock.Running());
    EXPECT_DOUBLE_EQ(clock.Tempo(), 90.0);
    const double counter = clock.Counter();
    for (int i = 0; i < 100; ++i)
        clock.Step();
    EXPECT_DOUBLE_EQ(clock.Counter(), counter + 100.0);
    EXPECT_EQ(clock.Period(10), 32000);
}

TEST(HostClock, NegativeSamplePositionHaltsTheClock)
{
    HostClock clock;
    StartAt(clock, 44100.0, 120.0, 0.0);
    HostTimeInfo info = Playing(120.0, 0.5);
    info.samplePosition = -256.0;
    clock.UpdateTransport(info);
    EXPECT_LT(clock.Counter(), 0.0);
    std::vector<int> phases;
    for (int d = 0; d < HostClock::kDivisionCount; ++d)
        phases.push_back(clock.Phase(d));
    for (int i = 0; i < 30000; ++i)
        clock.Step();
    for (int d = 0; d < HostClock::kDivisionCount; ++d)
        EXPECT_EQ(clock.Phase(d), phases[d]) << d;
}

TEST(HostClock, SampleRateTakesEffectAtTheNextTempoUpdate)
{
    HostClock clock;
    clock.UpdateTransport(HostTimeInfo{});
    ASSERT_EQ(clock.Period(10), 22050);
    clock.SetSampleRate(48000.0);
    clock.SetSampleRate(-1.0); // ignored
    clock.UpdateTransport(Playing(120.0, 0.0));
    EXPECT_EQ(clock.Period(10), 24000);
}

TEST(HostClock, DivisionStartIsReportedOncePerCycleToTheFirstClockOnly)
{
    HostClock clock;
    EXPECT_FALSE(clock.DivisionStart(16)); // no tempo yet
    StartAt(clock, 44100.0, 120.0, 0.0);
    const int tick = 44;
    int first = 0, second = 0;
    const int ticks = 22050 * 8 / tick;
    for (int t = 0; t < ticks; ++t)
    {
        for (int s = 0; s < tick; ++s)
            clock.Step();
        first += clock.DivisionStart(16);  // "Clk1" on "1/16"
        second += clock.DivisionStart(16); // "Clk2" on the same division
        EXPECT_FALSE(clock.DivisionStart(0));
        EXPECT_FALSE(clock.DivisionStart(-1));
        EXPECT_FALSE(clock.DivisionStart(HostClock::kDivisionCount));
    }
    // Eight beats hold 32 sixteenths; the restart at the transport start is not reported.
    EXPECT_NEAR(first, 31, 1);
    EXPECT_EQ(second, 0);
}

// The countdowns are kept lazily (value at the last restart and the steps since). Through tempo
// changes, a jump back in the song, a stop and a restart, every step of every division either
// restarts it (its next start moved: the countdown is the full period) or counts it down by one,
// stopping at 0; and the division starts keep coming.
TEST(HostClock, CountdownsRestartOrCountDownByOneOnEveryStep)
{
    HostClock clock;
    clock.SetSampleRate(44100.0);
    clock.UpdateTransport(HostTimeInfo{});
    HostTimeInfo stopped;
    stopped.musicalPosition = 9.0;
    stopped.samplePosition = 0.0;
    const std::vector<std::pair<long, HostTimeInfo>> script = {
        {0, Playing(120.0, 0.0)}, {30000, Playing(133.3, 2.0)}, {60000, Playing(133.3, 1.0)},
        {80000, stopped},         {90000, Playing(87.0, 0.0)},  {140000, Playing(240.0, 40.25)}};
    constexpr int kCount = HostClock::kDivisionCount;
    std::size_t next = 0;
    long starts = 0;
    long restarts = 0;
    for (long i = 0; i < 200000; ++i)
    {
        if (next < script.size() && script[next].first == i) clock.UpdateTransport(script[next++].second);
        std::array<double, kCount> nextStart{};
        std::array<int, kCount> phase{};
        for (int d = 1; d < kCount; ++d)
        {
            nextStart[d] = clock.NextStart(d);
            phase[d] = clock.Phase(d);
        }
        clock.Step();
        for (int d = 1; d < kCount; ++d)
        {
            const bool restarted = clock.NextStart(d) != nextStart[d];
            restarts += restarted ? 1 : 0;
            ASSERT_EQ(clock.Phase(d), restarted ? clock.Period(d) : std::max(phase[d] - 1, 0))
                << "division " << d << " sample " << i;
        }
        if (i % 44 == 0)
            for (int d = 1; d < kCount; ++d)
                starts += clock.DivisionStart(d) ? 1 : 0;
    }
    EXPECT_GT(restarts, 500);
    EXPECT_GT(starts, 500);
}
