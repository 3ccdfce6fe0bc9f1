#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zr::test
{
namespace
{

void Tick(Engine& engine, int ticks = 1)
{
    Render(engine, static_cast<long>(ticks) * engine.SamplesPerTick(), engine.SamplesPerTick());
}

// "FM Mod" on, "FM Src" off, "FM MG1" 1536 and MG1 at +1 (a period-1 triangle stands at +1):
// the block sounds 12 semitones higher; "FM rev" lowers it by 12.
TEST(ControlTick, FmByMg1ShiftsTheBlockAnOctave)
{
    for (double fs : kRates)
    {
        SCOPED_TRACE(fs);
        const auto pitch = [fs](bool on, bool negative)
        {
            auto engine = MakeEngine(fs);
            SoloBlock(*engine, 0);
            engine->Block(0).SetWaveform(OscillatorBank::kTriangle);
            BlockModulation& m = engine->Block(0).Modulation();
            m.SetFmOn(on);
            m.SetFmNegative(negative);
            m.SetFmMg1Depth(1536.0);
            m.SetFmSourceDepth(300.0); // reads the constant zero of "off"
            m.SetFmSource(engine->CvSource(CvSource::kOff));
            const Stereo out = Render(*engine, {{0, NoteOn(57)}}, 20000, 512);
            EXPECT_EQ(engine->Block(0).FmBuffer()[0], on ? (negative ? -1536 : 1536) : 0);
            return ZeroCrossingFrequency(out.left, 4000, 20000, fs);
        };
        const double plain = pitch(false, false);
        EXPECT_NEAR(plain, 220.0, 0.5);
        EXPECT_NEAR(pitch(true, false) / plain, 2.0, 0.005);
        EXPECT_NEAR(pitch(true, true) / plain, 0.5, 0.005);
    }
}

// "PB Range" 2 and a full upward bend (8191/8192): K just under 256, so every position holds 255.
TEST(ControlTick, FullBendAtRangeTwoGives255Units)
{
    auto engine = MakeEngine(44100.0);
    engine->SetPitchBendRange(2.0);
    engine->HandleMidi(PitchBend(127, 127));
    Tick(*engine);
    for (SynthBlock& block : engine->Blocks())
        for (int fm : block.FmBuffer())
            ASSERT_EQ(fm, 255);
    engine->HandleMidi(PitchBend(0, 0));
    Tick(*engine);
    EXPECT_EQ(engine->Block(2).FmBuffer()[7], -256);
}

// A negative "MG1 MSrc" makes mg1Output 0: FM and cutoff modulation by MG1 stop while AM, which
// reads the raw MG1 output, goes on.
TEST(ControlTick, NegativeAmplitudeSourceStopsFmAndCutoffButNotAm)
{
    auto engine = MakeEngine(44100.0);
    BlockModulation& m = engine->Block(1).Modulation();
    m.SetFmOn(true);
    m.SetFmMg1Depth(1536.0);
    m.SetFcModOn(true);
    m.SetFcMg1Depth(0.5);
    m.SetMg1Waveform(MG::kSquare); // period 1: -1
    Tick(*engine);
    EXPECT_EQ(engine->Block(1).FmBuffer()[3], -1536);
    EXPECT_EQ(engine->Block(1).CutoffModBuffer()[3], static_cast<int>(-0.5 * 10753));
    m.SetMg1AmpSource(engine->CvSource(CvSource::kGe2Rising)); // -1 at rest
    Tick(*engine);
    EXPECT_EQ(m.Mg1Output(), 0.0);
    EXPECT_EQ(engine->Block(1).FmBuffer()[3], 0);
    EXPECT_EQ(engine->Block(1).CutoffModBuffer()[3], 0);
    EXPECT_EQ(engine->Block(1).AmBuffer()[3], -1.0);
    // A positive source scales it.
    m.SetMg1AmpSource(engine->CvSource(CvSource::kPitchBendPositive)); // 0.5
    Tick(*engine);
    EXPECT_EQ(engine->Block(1).FmBuffer()[3], -768);
}

// "MG1 FSrc" = "+5V" with "MG1 Freq" at its minimum shifts the knob position by 0.5:
// 0.05 + 1499.95 x 0.5^6 Hz, about 23.5 Hz.
TEST(ControlTick, FrequencySourceShiftsTheKnobPosition)
{
    for (double fs : kRates)
    {
        auto engine = MakeEngine(fs);
        BlockModulation& m = engine->Block(0).Modulation();
        m.SetMg1Frequency(0.05, 0.0);
        EXPECT_EQ(m.Mg1().Cycle().Period(), static_cast<int>(fs / 0.05));
        m.SetMg1FreqSource(engine->CvSource(CvSource::kPlus5V));
        Tick(*engine);
        const double hz = 0.05 + 1499.95 * std::pow(0.5, 6);
        EXPECT_NEAR(hz, 23.49, 0.01);
        EXPECT_EQ(m.Mg1().Cycle().Period(), static_cast<int>(fs / hz));
        EXPECT_EQ(m.Mg1().Cycle().BasePeriod(), static_cast<int>(fs / hz));
        // Beyond the top of the knob the position is limited to 1: 1500 Hz.
        m.SetMg1Frequency(1000.0, 0.9);
        Tick(*engine);
        EXPECT_EQ(m.Mg1().Cycle().Period(), static_cast<int>(fs / 1500.0));
    }
}

// The MG1 output that AM reads follows the modulated period: count cycles by the clock edges of
// the raw output over one second.
TEST(ControlTick, ModulatedMg1RunsAtTheShiftedRate)
{
    auto engine = MakeEngine(44100.0);
    BlockModulation& m = engine->Block(0).Modulation();
    m.SetMg1Waveform(MG::kSquare);
    m.SetMg1Frequency(0.05, 0.0);
    m.SetMg1FreqSource(engine->CvSource(CvSource::kPlus5V));
    int rises = 0;
    double previous = 0.0;
    for (int tick = 0; tick < 1002; ++tick)
    {
        Tick(*engine);
        for (double am : engine->Block(0).AmBuffer())
        {
            if (previous < 0.0 && am > 0.0) ++rises;
            previous = am;
        }
    }
    EXPECT_NEAR(rises, 23.5, 1.0);
}

// "GEG Src1" = "Sng": legato playing retriggers only on the first key; the last key up releases.
TEST(ControlTick, SingleTriggerRetriggersOnlyTheFirstKey)
{
    auto engine = MakeEngine(44100.0);
    GeneralEnvelope& geg = engine->GetModulation().Geg();
    engine->GetModulation().SetGegTrigger(0, engine->TriggerSource(TriggerSource::kSingle));
    engine->HandleMidi(NoteOn(60));
    Tick(*engine);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kDelay);
    Tick(*engine, 30); // delay and attack over: holding
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kRelease);
    EXPECT_EQ(geg.Level(), 1.0);
    engine->HandleMidi(NoteOn(64));
    engine->HandleMidi(NoteOff(60));
    Tick(*engine);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kRelease);
    EXPECT_EQ(geg.Level(), 1.0) << "a legato key neither retriggers nor releases";
    engine->HandleMidi(NoteOff(64));
    Tick(*engine);
    EXPECT_LT(geg.Level(), 1.0) << "the last key up releases";
    engine->HandleMidi(NoteOn(67));
    Tick(*engine);
    EXPECT_EQ(geg.CurrentState(), GeneralEnvelope::kDelay);
}

// Two note-ons in one tick with "KBD Trig" 1: the second leaves two keys held, so the tick sees
// the flag false; with "KBD Trig" 2 it fires.
TEST(ControlTick, LastNoteOnOfATickDecidesTheKeyboardTrigger)
{
    for (int count : {1, 2})
    {
        auto engine = MakeEngine(44100.0);
        engine->SetKbdTrig(count);
        engine->GetModulation().SetGegTrigger(1, engine->TriggerSource(TriggerSource::kKeyboard));
        engine->HandleMidi(NoteOn(60));
        engine->HandleMidi(NoteOn(64));
        Tick(*engine);
        EXPECT_EQ(engine->GetModulation().Geg().CurrentState(),
                  count == 1 ? GeneralEnvelope::kIdle : GeneralEnvelope::kDelay);
        EXPECT_FALSE(engine->GetKeyboard().KeyboardTrigger()) << "cleared at the end of the tick";
    }
}

// "S/H In" = "+5V": the output becomes 1.0 at the next cycle start; "Rnd" samples the noise.
TEST(ControlTick, SampleAndHoldTakesItsInputAtTheCycleStart)
{
    auto engine = MakeEngine(44100.0);
    Modulation& modulation = engine->GetModulation();
    modulation.SetShFrequency(100.0); // 10 ticks
    Tick(*engine, 25);
    EXPECT_EQ(modulation.SampleHold().Output(), 0.0);
    modulation.SetShInput(engine->CvSource(CvSource::kPlus5V), false);
    int ticks = 0;
    while (modulation.SampleHold().Output() != 1.0 && ticks < 20)
    {
        Tick(*engine);
        ++ticks;
    }
    EXPECT_EQ(modulation.SampleHold().Output(), 1.0);
    EXPECT_LE(ticks, 10);

    modulation.SetShInput(engine->CvSource(CvSource::kSampleHold), true);
    double previous = modulation.SampleHold().Output();
    int changes = 0;
    for (int i = 0; i < 5; ++i)
    {
        Tick(*engine, 10);
        const double value = modulation.SampleHold().Output();
        EXPECT_LT(std::fabs(value), 1.0);
        changes += value != previous;
        previous = value;
    }
    EXPECT_EQ(changes, 5);
}

// The gate opens only above 0.5: a source of exactly 0.5 keeps the channel closed.
TEST(ControlTick, GateAtExactlyHalfStaysClosed)
{
    for (double level : {0.5, 0.5000001})
    {
        auto engine = MakeEngine(44100.0);
        SoloBlock(*engine, 0);
        Attenuator& atn = engine->GetModulation().Atn(0);
        atn.SetFactor(level);
        atn.SetInput(engine->CvSource(CvSource::kPlus5V));
        engine->Block(0).Modulation().SetGateSource(engine->CvSource(CvSource::kAtn1));
        const Stereo out = Render(*engine, {{0, NoteOn(60)}}, 4410, 256);
        EXPECT_EQ(Peak(out.left, 100, 4410) > 0.0, level > 0.5) << level;
    }
}

// Channel and total VCA sources: the positive part of the source, silence at or below 0.
TEST(ControlTick, VcaSourcesScaleTheOutput)
{
    auto reference = MakeEngine(44100.0);
    const Stereo plain = Render(*reference, {{0, NoteOn(60)}}, 4410, 256);
    for (bool total : {false, true})
    {
        for (int wheel : {0, 127})
        {
            auto engine = MakeEngine(44100.0);
            const double* source = engine->CvSource(CvSource::kModWheelPositive);
            if (total)
                engine->GetModulation().SetTotalVcaSource(source);
            else
                for (SynthBlock& block : engine->Blocks())
                    block.Modulation().SetVcaSource(source);
            const Stereo out = Render(*engine, {{0, Controller(1, wheel)}, {0, NoteOn(60)}}, 4410, 256);
            for (long i = 0; i < 4410; i += 7)
                ASSERT_NEAR(out.left[i], wheel ? plain.left[i] : 0.0, 1e-12) << total << " " << wheel;
        }
    }
}

// A host-synced MG1 follows the tempo handed over with the process call: "1/4" is 22,050 samples
// at 120 bpm and 44,100 at 60 bpm.
TEST(ControlTick, HostSyncedMg1FollowsTheTransportTempo)
{
    for (double tempo : {120.0, 60.0})
    {
        auto engine = MakeEngine(44100.0);
        BlockModulation& m = engine->Block(0).Modulation();
        m.SetMg1Waveform(MG::kSquare);
        m.SetMg1Frequency(5.0, 0.3);
        m.SetMg1HostDivision(10); // "1/4"
        HostTransport transport(44100.0, tempo);
        int edges = 0;
        // One tick per call, so that every tick's flag is seen.
        for (int call = 0; call < 4 * 44100 / 44; ++call)
        {
            transport.Play(*engine, 44);
            edges += engine->GetModulation().TriggerFlag(TriggerSource::kMg1A);
        }
        const int period = static_cast<int>(60.0 / tempo * 44100.0);
        EXPECT_EQ(m.Mg1().Cycle().Period(), period);
        EXPECT_NEAR(edges, 4.0 * tempo / 60.0, 1.0) << tempo;
    }
}

// The general envelope patched onto the cutoff opens the filter after a note on: the share of
// high-frequency energy (difference signal against signal) grows.
TEST(ControlTick, EnvelopeOnTheCutoffBrightensTheSound)
{
    auto engine = MakeEngine(44100.0);
    SoloBlock(*engine, 0);
    engine->Block(0).SetCutoff(0.3);
    BlockModulation& m = engine->Block(0).Modulation();
    m.SetFcModOn(true);
    m.SetFcSourceDepth(0.8);
    m.SetFcSource(engine->CvSource(CvSource::kGe3Positive));
    Modulation& modulation = engine->GetModulation();
    modulation.SetGegTrigger(0, engine->TriggerSource(TriggerSource::kMultiple));
    modulation.Geg().SetAttack(0.5); // about 0.18 s
    Tick(*engine, 120);              // the cutoff glide has landed
    const Stereo out = Render(*engine, {{0, NoteOn(48)}}, 44100, 256);
    const auto brightness = [&](long from)
    {
        std::vector<double> difference(out.left.size());
        for (long i = from + 1; i < from + 4410; ++i)
            difference[i] = out.left[i] - out.left[i - 1];
        return Rms(difference, from + 1, from + 4410) / Rms(out.left, from, from + 4410);
    };
    EXPECT_GT(brightness(30000), 2.0 * brightness(500));
}

// An "EM R Src" trigger releases the block's voices although the key is still held.
TEST(ControlTick, ReleaseTriggerReleasesHeldVoices)
{
    auto engine = MakeEngine(44100.0);
    SoloBlock(*engine, 0);
    const bool* trg1 = engine->TriggerSource(TriggerSource::kTrg1);
    engine->Block(0).ForEachVoice([trg1](Voice& v) { v.SetReleaseTrigger(trg1); });
    Render(*engine, {{0, NoteOn(60)}}, 4410, 256);
    EXPECT_EQ(engine->Block(0).GetVoice(0).Envelope().GetState(), EM::kDecay);
    engine->KickTrigger();
    const Stereo out = Render(*engine, 44100);
    EXPECT_NE(engine->Block(0).GetVoice(0).Envelope().GetState(), EM::kDecay);
    EXPECT_LT(Peak(out.left, 40000, 44100), 1e-3 * Peak(out.left, 0, 100));
    EXPECT_TRUE(engine->GetKeyboard().IsHeld(60));
}

// Set-up resets the general envelope and gives MG1 a period at the new rate.
TEST(ControlTick, SetUpResetsTheEnvelopeAndRecountsMg1)
{
    auto engine = MakeEngine(44100.0);
    BlockModulation& m = engine->Block(0).Modulation();
    m.SetMg1Frequency(441.0, 0.5);
    EXPECT_EQ(m.Mg1().Cycle().Period(), 100);
    engine->GetModulation().SetGegTrigger(0, engine->TriggerSource(TriggerSource::kMultiple));
    Render(*engine, {{0, NoteOn(60)}}, 441, 441);
    EXPECT_NE(engine->GetModulation().Geg().CurrentState(), GeneralEnvelope::kIdle);
    engine->SetUp(88200.0, 512);
    EXPECT_EQ(engine->GetModulation().Geg().CurrentState(), GeneralEnvelope::kIdle);
    EXPECT_EQ(m.Mg1().Cycle().Period(), 200);
}

} // namespace
} // namespace zr::test
