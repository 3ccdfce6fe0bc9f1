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

// ---- A host that calls in blocks, with a control tick that steps the clock a tick at a time -----

namespace
{
constexpr int kTick = 44;
const std::vector<int> kHostBlocks = {1, 7, 32, 64, 128, 512, 4096};

// A transport playing from position 0 that advances exactly with the samples rendered; from
// sample `change` on the tempo is `laterTempo` (the host's position runs on across the change).
struct Song
{
    double rate;
    double tempo;
    long frames;
    long change = -1;
    double laterTempo = 0.0;

    double TempoAt(long sample) const { return change >= 0 && sample >= change ? laterTempo : tempo; }
    double BeatsAt(long sample) const
    {
        const long before = change >= 0 ? std::min(sample, change) : sample;
        return (before * tempo + (sample - before) * TempoAt(sample)) / (60.0 * rate);
    }
    HostTimeInfo At(long sample) const
    {
        HostTimeInfo info = Playing(TempoAt(sample), BeatsAt(sample));
        info.samplePosition = static_cast<double>(sample);
        return info;
    }
};

// Per division, the steps (counted from the transport start) at which it restarted: a step that
// moves the division's next start, or a transport update that restarts its countdown (recorded
// with the steps made so far).
using Starts = std::array<std::vector<long>, HostClock::kDivisionCount>;

// Drives the clock as the instrument does: the host's position arrives at the first sample of each
// call, and a control tick steps the clock for its whole length when it begins, so the rest of a
// tick begun in one call is already counted when the next call's position arrives.
// `jump(sample)` may move the host's position of the call beginning at `sample`.
template <typename Jump> Starts PlayInBlocks(const Song& song, int block, Jump jump)
{
    HostClock clock;
    clock.SetSampleRate(song.rate);
    Starts starts;
    long stepped = 0;
    for (long first = 0; first < song.frames; first += block)
    {
        std::array<int, HostClock::kDivisionCount> phase{};
        for (int d = 1; d < HostClock::kDivisionCount; ++d)
            phase[d] = clock.Phase(d);
        clock.UpdateTransport(jump(song.At(first), first), static_cast<int>(stepped - first));
        for (int d = 1; d < HostClock::kDivisionCount; ++d)
            if (clock.Phase(d) == clock.Period(d) && phase[d] != clock.Period(d))
                starts[d].push_back(stepped);
        for (long s = first; s < std::min(first + block, song.frames); ++s)
        {
            if (s % kTick != 0) continue;
            for (int t = 0; t < kTick; ++t)
            {
                std::array<double, HostClock::kDivisionCount> next{};
                for (int d = 1; d < HostClock::kDivisionCount; ++d)
                    next[d] = clock.NextStart(d);
                clock.Step();
                ++stepped;
                for (int d = 1; d < HostClock::kDivisionCount; ++d)
                    if (clock.NextStart(d) != next[d]) starts[d].push_back(stepped);
            }
        }
    }
    return starts;
}

Starts PlayInBlocks(const Song& song, int block)
{
    return PlayInBlocks(song, block, [](const HostTimeInfo& info, long) { return info; });
}

// The steps at which a division of `beats` restarts on a steady transport: the first step at or
// after each multiple of its length; at position 0 the transport start restarts it as well.
std::vector<long> Grid(const Song& song, double beats, long steps)
{
    const double length = beats * 60.0 / song.tempo * song.rate;
    std::vector<long> at = {0};
    for (long k = 0;; ++k)
    {
        const long step = std::max(1L, static_cast<long>(std::ceil(k * length)));
        if (step > steps) return at;
        at.push_back(step);
    }
}

// Long enough for the longest division ("4/1", 16 beats) to start twice.
const std::vector<Song> kSongs = {{44100.0, 180.0, 250000}, {48000.0, 151.3, 330000}};
} // namespace

TEST(HostClock, EveryDivisionStartsOnItsGridWhateverTheHostBlockSize)
{
    for (const Song& song : kSongs)
    {
        const Starts reference = PlayInBlocks(song, 512);
        for (int d = 1; d < HostClock::kDivisionCount; ++d)
            ASSERT_EQ(reference[d], Grid(song, HostClock::kDivisionBeats[d], song.frames))
                << "division " << d << " at " << song.rate << " Hz";
        for (const int block : kHostBlocks)
        {
            const Starts starts = PlayInBlocks(song, block);
            for (int d = 1; d < HostClock::kDivisionCount; ++d)
                EXPECT_EQ(starts[d], reference[d]) << "division " << d << ", block " << block;
        }
    }
}

// A tempo change that the host's position follows moves no start and drops none: each division
// restarts once per length in beats, also across the change.
TEST(HostClock, TempoChangeKeepsOneStartPerDivisionLength)
{
    const Song song{44100.0, 120.0, 200000, 7 * 512 * 25, 150.0}; // the change begins a call
    const double fastest = 60.0 / 150.0 * song.rate;              // samples per beat after it
    for (const int block : {1, 7, 64, 512})
    {
        const Starts starts = PlayInBlocks(song, block);
        for (int d = 1; d < HostClock::kDivisionCount; ++d)
        {
            const double beats = HostClock::kDivisionBeats[d];
            ASSERT_FALSE(starts[d].empty());
            EXPECT_EQ(starts[d].front(), 0) << d;
            // Apart by one length, to a sample; the last start less than one length before the end.
            for (std::size_t k = 2; k < starts[d].size(); ++k)
            {
                const double apart = song.BeatsAt(starts[d][k]) - song.BeatsAt(starts[d][k - 1]);
                EXPECT_NEAR(apart, beats, 1.5 / fastest) << d << ", block " << block << ", start " << k;
            }
            EXPECT_LT(song.BeatsAt(song.frames) - song.BeatsAt(starts[d].back()), beats) << d;
        }
    }
}

// A host position that disagrees with the samples stepped, by a few samples or by beats, moves the
// next starts onto the grid of the new position; a jump behind the previous call's position
// restarts every division.
TEST(HostClock, JumpOfTheHostPositionRealigns)
{
    const Song song{44100.0, 120.0, 100000}; // 22,050 samples per beat
    const long at = 44100 + 64 * 3;          // the host jumps in the call holding this sample
    for (const double jump : {2.0, 1000.25, 66150.0, -3.0, -5000.0, -30000.0})
        for (const int block : {7, 64, 4096})
        {
            const long first = at / block * block;
            const auto moved = [&](HostTimeInfo info, long sample)
            {
                if (sample >= first)
                {
                    info.samplePosition += jump;
                    info.musicalPosition += jump / 22050.0;
                }
                return info;
            };
            const Starts starts = PlayInBlocks(song, block, moved);
            const long ahead = (first + kTick - 1) / kTick * kTick - first; // stepped before the call
            const long firstStep = first + ahead + 1;                       // the first step after it
            for (int d = 1; d < HostClock::kDivisionCount; ++d)
            {
                // Behind the previous call's position, the host has jumped back: every division
                // restarts at once. A smaller step back, or one forwards, realigns.
                const bool back = jump < -block;
                const auto after = std::lower_bound(starts[d].begin(), starts[d].end(), firstStep - back);
                long expected = firstStep - 1;
                if (!back)
                {
                    // The first multiple of the length at or after the new position, which the
                    // clock's steps reach `jump` samples early.
                    const double length = HostClock::kDivisionBeats[d] * 22050.0;
                    const double next = std::ceil((first + ahead + jump) / length) * length;
                    expected = std::max(firstStep, static_cast<long>(std::ceil(next - jump)));
                }
                // Within a step: the host's position in beats, landing on a multiple, may round
                // to either side of it.
                if (expected > song.frames) continue;
                ASSERT_NE(after, starts[d].end())
                    << "division " << d << ", jump " << jump << ", block " << block;
                EXPECT_NEAR(static_cast<double>(*after), static_cast<double>(expected), 1.0)
                    << "division " << d << ", jump " << jump << ", block " << block;
            }
        }
}
