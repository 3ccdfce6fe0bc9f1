#include "EngineTestSupport.h"

#include "engine/CutoffTable.h"
#include "engine/EM.h"
#include "engine/VoiceFilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zr::test
{
namespace
{

EM SustainingEnvelope(double fs, double attack)
{
    EM em;
    em.SetUp(fs);
    em.SetSustain(1.0);
    em.SetReleaseMode(EM::kDamp);
    em.SetAttack(attack);
    return em;
}

int StepsUntil(EM& em, int state, int limit = 10'000'000)
{
    int steps = 0;
    while (em.GetState() != state && steps < limit)
    {
        em.Step();
        ++steps;
    }
    return steps;
}

TEST(EnvelopeTimes, AttackAtZeroTakesFiveMilliseconds)
{
    for (double fs : kRates)
    {
        EM em = SustainingEnvelope(fs, 0.0);
        em.Start();
        EXPECT_NEAR(StepsUntil(em, EM::kDecay), 0.005 * fs, 1.0) << fs;
        EXPECT_EQ(em.Value(), 1.0);
    }
}

TEST(EnvelopeTimes, StageTimesFollowTheTimeLaw)
{
    for (double fs : kRates)
    {
        EM em = SustainingEnvelope(fs, 0.5);
        em.Start();
        EXPECT_NEAR(StepsUntil(em, EM::kDecay) / fs, std::pow(10.0, 2.25 - 2.3), 2.0 / fs);

        for (auto [mode, u] : {std::pair{EM::kDamp, 0.05}, {EM::kHalfDamp, 0.43}, {EM::kLongRelease, 0.75}})
        {
            EM r = SustainingEnvelope(fs, 0.0);
            r.SetReleaseMode(mode);
            r.Start();
            StepsUntil(r, EM::kDecay);
            r.Release();
            EXPECT_NEAR(StepsUntil(r, EM::kIdle) / fs, std::pow(10.0, 4.5 * u - 2.3), 2.0 / fs) << mode;
        }
    }
}

TEST(EnvelopeTimes, SustainOneHoldsAndRestartAttacksFromTheCurrentLevel)
{
    EM em = SustainingEnvelope(44100.0, 0.0);
    em.Start();
    StepsUntil(em, EM::kDecay);
    for (int i = 0; i < 44100; ++i)
        em.Step();
    EXPECT_EQ(em.Value(), 1.0);
    EXPECT_EQ(em.GetState(), EM::kDecay);

    em.Release();
    for (int i = 0; i < 150; ++i)
        em.Step();
    const double level = em.Value();
    ASSERT_GT(level, 0.1);
    ASSERT_LT(level, 0.9);
    em.Start();
    em.Step();
    EXPECT_GT(em.Value(), level);
    EXPECT_LT(em.Value(), level + 0.02);
    // The remaining rise is shorter than a full attack.
    EXPECT_LT(StepsUntil(em, EM::kDecay), 200);
}

TEST(EnvelopeTimes, DecayChangesReachARunningEnvelope)
{
    EM em = SustainingEnvelope(48000.0, 0.0);
    em.Start();
    StepsUntil(em, EM::kDecay);
    em.SetSustain(0.0);
    em.SetDecay(0.0); // 0.2 time position: about 40 ms to fall
    const int steps = StepsUntil(em, EM::kIdle, 48000);
    EXPECT_EQ(steps, 48000); // sustain 0 is approached but never reached
    EXPECT_LT(em.Value(), 1e-6);
}

TEST(HoldLatch, WithoutUseHoldTheLatchHoldsUntilHoldIsSwitchedOff)
{
    EM em = SustainingEnvelope(44100.0, 0.0);
    em.SetUseHold(false);
    em.SetHoldEnabled(true);
    em.Start();
    em.Step();
    EXPECT_TRUE(em.Latched());
    em.SetHoldEnabled(false);
    em.Step();
    EXPECT_EQ(em.GetState(), EM::kRelease);
}

TEST(HoldLatch, WithUseHoldTheAttackInputLatchesAndUnlatches)
{
    EM em = SustainingEnvelope(44100.0, 0.5);
    em.SetUseHold(true);
    em.SetHoldEnabled(true);
    em.Start();
    em.Step();
    EXPECT_FALSE(em.Held()); // 0.5 is between the thresholds
    em.SetAttack(0.8);
    em.Step();
    EXPECT_TRUE(em.Held());
    // Striking the key again while latched releases (hold toggle).
    em.Start();
    EXPECT_EQ(em.GetState(), EM::kRelease);
    EXPECT_FALSE(em.Held());

    em.Start();
    em.Step();
    EXPECT_TRUE(em.Held());
    em.SetHoldEnabled(false);
    em.SetAttack(0.5);
    em.Step();
    EXPECT_EQ(em.GetState(), EM::kAttack); // still latched: the input is not below 0.3
    em.SetAttack(0.2);
    em.Step();
    EXPECT_FALSE(em.Held());
    EXPECT_NE(em.GetState(), EM::kAttack); // released (and, from this low level, already ended)
}

// Per-sample envelope state of block A's first voice after a note on at sample 0.
std::vector<int> StateTrace(double fs, std::vector<TimedMessage> messages, long n)
{
    auto engine = MakeEngine(fs);
    std::vector<int> states;
    std::vector<double> l(1), r(1);
    std::size_t next = 0;
    for (long i = 0; i < n; ++i)
    {
        for (; next < messages.size() && messages[next].sample == i; ++next)
            engine->HandleMidi(messages[next].message);
        engine->ProcessAudio(l.data(), r.data(), 1);
        states.push_back(engine->Block(0).GetVoice(0).Envelope().GetState());
    }
    return states;
}

long FirstIndexOf(const std::vector<int>& states, int state, long from = 0)
{
    for (long i = from; i < static_cast<long>(states.size()); ++i)
        if (states[i] == state) return i;
    return -1;
}

TEST(EnvelopeTimes, RenderedAttackAndDampRelease)
{
    for (double fs : kRates)
    {
        const long spt = static_cast<long>(fs) / 1000;
        const long offAt = 20 * spt;
        const auto states = StateTrace(fs, {{0, NoteOn(60)}, {offAt, NoteOff(60)}}, 60 * spt);
        // The tick's update makes the first step, sample 1 onwards one each.
        EXPECT_NEAR(FirstIndexOf(states, EM::kDecay) + 1, 0.005 * fs, 1.0) << fs;
        const long released = FirstIndexOf(states, EM::kRelease);
        EXPECT_EQ(released, offAt);
        const long idle = FirstIndexOf(states, EM::kIdle, released);
        EXPECT_NEAR((idle - released) / fs * 1000.0, 8.41, 0.05) << fs;
    }
}

TEST(VoicePatchInputs, AttackSourceAndReleaseTrigger)
{
    auto engine = MakeEngine(44100.0);
    double attackSource = 0.9;
    bool releaseTrigger = false;
    engine->SetUseHold(false);
    engine->Block(0).ForEachVoice(
        [&](Voice& v)
        {
            v.SetEmAttack(0.3);
            v.SetEmHold(true);
            v.SetAttackSource(&attackSource);
            v.SetReleaseTrigger(&releaseTrigger);
        });
    Render(*engine, {{0, NoteOn(60)}}, 4410, 441);
    const Voice& voice = engine->Block(0).GetVoice(0);
    // clamp(0.9 + 0.3) = 1: a 158 s attack has hardly begun.
    EXPECT_EQ(voice.Envelope().GetState(), EM::kAttack);
    EXPECT_LT(voice.Envelope().Value(), 0.01);
    EXPECT_TRUE(voice.Envelope().Latched());
    attackSource = -0.3; // attack 0: the running attack speeds up at the next tick
    Render(*engine, 441, 441);
    EXPECT_EQ(voice.Envelope().GetState(), EM::kDecay);
    releaseTrigger = true; // fires even though the voice is hold-latched
    Render(*engine, 44, 44);
    EXPECT_EQ(voice.Envelope().GetState(), EM::kRelease);
    EXPECT_EQ(engine->Block(1).GetVoice(0).Envelope().GetState(), EM::kDecay);
}

TEST(EnvelopeTimes, OverReleaseReplacesTheReleaseTime)
{
    EM em = SustainingEnvelope(48000.0, 0.0);
    em.SetOverReleaseTime(0.0);
    em.SetOverRelease(true);
    em.Start();
    StepsUntil(em, EM::kDecay);
    em.Release();
    EXPECT_NEAR(StepsUntil(em, EM::kIdle), 240, 1); // 5 ms instead of "Damp"'s 8.4 ms
}

TEST(VoiceLevel, KeyboardBalance)
{
    auto engine = MakeEngine(44100.0);
    Voice& voice = engine->Block(0).GetVoice(0);
    voice.SetKbdBal(0.5);
    voice.Start(0, 1);
    EXPECT_DOUBLE_EQ(voice.Gain(), 0.5);
    voice.SetKbdBal(0.0);
    EXPECT_NEAR(voice.Gain(), 0.998, 1e-3);
    voice.Start(127, 2);
    EXPECT_NEAR(voice.Gain(), 0.002, 1e-3);
    voice.SetKbdBal(1.0);
    EXPECT_NEAR(voice.Gain(), 0.998, 1e-3);
}

struct FilterFixture
{
    CutoffTable table;
    std::vector<int> cutoffMod = std::vector<int>(64, 0);
    VoiceFilter filter;

    FilterFixture(double fs, double peak, int cutoff)
    {
        table.Build(fs);
        filter.SetTables(&table, cutoffMod.data());
        filter.SetPeak(peak);
        filter.UpdateFeedback();
        filter.SetBaseCutoff(cutoff);
    }

    double Run(double x)
    {
        filter.Process(&x, 1, 0);
        return x;
    }
};

TEST(VoiceFilterTest, FullPeakRingsButStaysBounded)
{
    for (double fs : kRates)
    {
        for (int cutoff : {0, 128 * 40, 128 * 69, 128 * 100, CutoffTable::kLast})
        {
            FilterFixture f(fs, 1.0, cutoff);
            EXPECT_DOUBLE_EQ(f.filter.Feedback(), 1.71);
            double peak = 0.0;
            int signChanges = 0;
            double previous = f.Run(1.0);
            for (int i = 0; i < static_cast<int>(fs); ++i)
            {
                const double y = f.Run(0.0);
                peak = std::max(peak, std::abs(y));
                signChanges += (y > 1e-9 && previous < -1e-9) || (y < -1e-9 && previous > 1e-9);
                previous = y;
            }
            EXPECT_LT(peak, 4.0) << cutoff;
            if (cutoff == 128 * 69)
            {
                EXPECT_GT(signChanges, 20); // rings at the cutoff
            }
            // A full-scale square at the cutoff stays bounded too.
            double drivenPeak = 0.0;
            for (int i = 0; i < static_cast<int>(fs); ++i)
                drivenPeak = std::max(drivenPeak, std::abs(f.Run((i / 50) % 2 ? 1.0 : -1.0)));
            EXPECT_LT(drivenPeak, 20.0) << cutoff;
            EXPECT_TRUE(std::isfinite(drivenPeak));
        }
    }
}

TEST(VoiceFilterTest, NanIsGoneAfterOneSample)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    FilterFixture f(44100.0, 0.5, 128 * 69);
    for (int i = 0; i < 100; ++i)
        f.Run(0.3);
    EXPECT_TRUE(std::isfinite(f.Run(nan)));
    f.filter.SetState({nan, nan, nan});
    EXPECT_TRUE(std::isfinite(f.Run(0.3)));
    const VoiceFilter::State s = f.filter.GetState();
    EXPECT_TRUE(std::isfinite(s.s1) && std::isfinite(s.s2) && std::isfinite(s.s3));
}

TEST(VoiceFilterTest, AntiDenormalOffsetKeepsSilenceAwayFromSubnormals)
{
    FilterFixture f(48000.0, 0.0, 128 * 60);
    double y = 0.0;
    for (int i = 0; i < 48000; ++i)
        y = f.Run(0.0);
    EXPECT_NE(std::fpclassify(y), FP_SUBNORMAL);
    EXPECT_LT(std::abs(y), 1e-12);
}

TEST(VoiceFilterTest, NanInARenderingVoiceRecovers)
{
    auto engine = MakeEngine(44100.0);
    Render(*engine, {{0, NoteOn(60)}}, 4410, 441);
    engine->Block(1).GetVoice(0).Filter().SetState({std::nan(""), std::nan(""), std::nan("")});
    const Stereo out = Render(*engine, 441, 1);
    for (double x : out.left)
        ASSERT_TRUE(std::isfinite(x));
    EXPECT_GT(Peak(out.left, 0, 441), 0.01);
}

} // namespace
} // namespace zr::test
