#include "support/AllocationCounter.h"
#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace zr::test
{
namespace
{

class FakeHost : public EngineHost
{
public:
    bool thru = false;
    bool learnArmed = false;
    bool ignoreProgramChange = false;
    int learned = -1;
    int loadedProgram = -1;
    int sent = 0;
    int mappedController = -1;
    int mappedParameter = -1;
    double parameterValue = 0.0;
    int parameterSets = 0;

    bool MidiThruOn() const override { return thru; }
    void SendMidiToHost(const MidiMessage&) override { ++sent; }
    bool MidiLearnArmed() const override { return learnArmed; }
    void LearnController(int controller) override { learned = controller; }
    bool IgnoreProgramChange() const override { return ignoreProgramChange; }
    void LoadProgram(int program) override { loadedProgram = program; }
    int MappedParameter(int controller) const override
    {
        return controller == mappedController ? mappedParameter : -1;
    }
    double NormalizedValue(int) const override { return parameterValue; }
    void ChangeParamFromController(int, double normalized) override
    {
        parameterValue = normalized;
        ++parameterSets;
    }
};

// A phrase that exercises a chord, pitch bend, the wheel and the pedal. The queue quantises
// messages to tick boundaries counted from each host block, so messages are placed on boundaries
// (in ticks here) for the output to be comparable across block sizes.
std::vector<TimedMessage> Phrase(int samplesPerTick)
{
    std::vector<TimedMessage> phrase = {
        {0, NoteOn(60)},         {0, NoteOn(64)},           {2, NoteOn(67)},    {16, PitchBend(0, 80)},
        {34, Controller(1, 90)}, {45, Controller(64, 127)}, {47, NoteOff(60)},  {47, NoteOn(30)},
        {90, NoteOff(64)},       {113, Controller(64, 0)},  {136, NoteOn(100)}, {204, NoteOff(100)},
        {205, PitchBend(0, 64)}};
    for (TimedMessage& m : phrase)
        m.sample *= samplesPerTick;
    return phrase;
}

long FirstDifference(const std::vector<double>& a, const std::vector<double>& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return -1;
}

void ColourfulProgram(Engine& engine)
{
    engine.SetPitchBendRange(7);
    engine.Block(0).SetWaveform(OscillatorBank::kPwm);
    engine.Block(1).SetResonatorIntensity(0.6);
    engine.Block(1).ForEachVoice([](Voice& v) { v.SetPeak(0.8); });
    engine.Block(2).SetOctave(OscillatorBank::kFootage2);
    engine.Block(2).SetCutoff(0.3);
    engine.Block(2).SetPan(0.1);
    engine.Block(2).ForEachVoice(
        [](Voice& v)
        {
            v.SetExpand(0.4);
            v.SetEmSustain(0.4);
            v.SetEmDecay(0.3);
        });
}

TEST(EngineRender, OutputDoesNotDependOnTheHostBlockSize)
{
    for (double fs : kRates)
    {
        Stereo reference;
        for (int blockSize : {4096, 1, 16, 44, 45, 512})
        {
            auto engine = MakeEngine(fs);
            ColourfulProgram(*engine);
            const Stereo out = Render(*engine, Phrase(engine->SamplesPerTick()), 12000, blockSize);
            if (reference.left.empty())
            {
                reference = out;
                ASSERT_GT(Rms(out.left, 0, 12000), 0.01);
                continue;
            }
            EXPECT_EQ(FirstDifference(out.left, reference.left), -1)
                << "block size " << blockSize << " at " << fs;
            EXPECT_EQ(FirstDifference(out.right, reference.right), -1)
                << "block size " << blockSize << " at " << fs;
        }
    }
}

TEST(EngineRender, NoHeapAllocationWhileRendering)
{
    auto engine = MakeEngine(44100.0, 512);
    ColourfulProgram(*engine);
    std::vector<double> left(512), right(512);
    AllocationScope scope;
    for (int block = 0; block < 200; ++block)
    {
        engine->HandleMidi({block % 512, 0x90, static_cast<std::uint8_t>(block % 128), 90});
        engine->HandleMidi({(block * 7) % 512, 0x80, static_cast<std::uint8_t>((block + 60) % 128), 0});
        engine->HandleMidi({100, 0xE0, 0, static_cast<std::uint8_t>(block % 128)});
        engine->HandleMidi({200, 0xB0, 64, static_cast<std::uint8_t>(block % 2 ? 127 : 0)});
        if (block == 150) engine->HandleMidi({0, 0xB0, 123, 0});
        engine->ProcessAudio(left.data(), right.data(), 1 + (block * 37) % 512);
    }
    EXPECT_EQ(scope.Count(), 0u);
}

TEST(EngineRender, FinalGainScalesTheOutput)
{
    auto render = [](double final)
    {
        auto engine = MakeEngine(48000.0);
        engine->SetFinalGain(final);
        return Render(*engine, {{0, NoteOn(57)}}, 4800, 480);
    };
    const Stereo quarter = render(0.25);
    const Stereo half = render(0.5);
    const Stereo silent = render(0.0);
    EXPECT_GT(Peak(quarter.left, 0, 4800), 0.01);
    for (long i = 0; i < 4800; ++i)
    {
        EXPECT_DOUBLE_EQ(half.left[i], 2.0 * quarter.left[i]);
        EXPECT_EQ(silent.left[i], 0.0);
    }
    auto engine = MakeEngine(48000.0);
    engine->SetFinalGain(0.5);
    EXPECT_DOUBLE_EQ(engine->FinalGain(), 1.0);
}

TEST(EngineRender, TicksSpanHostBlocksAndQuantiseMessages)
{
    auto engine = MakeEngine(48000.0, 16);
    ASSERT_EQ(engine->SamplesPerTick(), 48);
    std::vector<double> l(16), r(16);
    engine->ProcessAudio(l.data(), r.data(), 16); // tick 0 begins
    MidiMessage on = NoteOn(60);
    on.offset = 0;
    engine->HandleMidi(on); // second call of the tick: waits for the next boundary
    engine->ProcessAudio(l.data(), r.data(), 16);
    EXPECT_FALSE(engine->Block(0).GetVoice(0).Active());
    engine->ProcessAudio(l.data(), r.data(), 16);
    EXPECT_FALSE(engine->Block(0).GetVoice(0).Active());
    engine->ProcessAudio(l.data(), r.data(), 16); // new tick: the note starts
    EXPECT_TRUE(engine->Block(0).GetVoice(0).Active());
    EXPECT_EQ(engine->Block(0).GetVoice(0).Note(), 60);
}

TEST(EngineRender, NoteOnAndOffInOneTickEndWithoutSound)
{
    auto engine = MakeEngine(44100.0);
    const Stereo out = Render(*engine, {{0, NoteOn(60)}, {5, NoteOff(60)}}, 441, 441);
    EXPECT_LT(Peak(out.left, 0, 441), 1e-9);
    // The next tick's update ends the envelope from release; the voice then stops.
    EXPECT_FALSE(engine->Block(0).GetVoice(0).Active());
}

TEST(EngineRender, UnusableSampleRatesRenderSilence)
{
    for (double fs : {999.0, 0.0, -44100.0, std::nan(""), 1e12, HUGE_VAL})
    {
        auto engine = MakeEngine(fs);
        EXPECT_EQ(engine->SamplesPerTick(), 0);
        const Stereo out = Render(*engine, {{0, NoteOn(60)}}, 1000, 100);
        EXPECT_EQ(Peak(out.left, 0, 1000), 0.0);
        EXPECT_EQ(engine->Queue().Unread(), 0);
    }
    auto engine = MakeEngine(1000.0);
    EXPECT_EQ(engine->SamplesPerTick(), 1);
    const Stereo out = Render(*engine, {{0, NoteOn(30)}}, 500, 7);
    EXPECT_GT(Peak(out.left, 0, 500), 0.01);
}

TEST(EngineRender, RateChangeWithTheSameTickLengthRetunes)
{
    auto engine = MakeEngine(44100.0);
    engine->SetUp(44900.0, 4096);
    ASSERT_EQ(engine->SamplesPerTick(), 44);
    SoloBlock(*engine, 0);
    const Stereo out = Render(*engine, {{0, NoteOn(69)}}, 22450, 512);
    EXPECT_NEAR(ZeroCrossingFrequency(out.left, 1000, 22450, 44900.0), 440.0, 0.2);
}

TEST(MidiRouting, PitchBendAndWheelValues)
{
    auto engine = MakeEngine(44100.0);
    Render(*engine, {{0, PitchBend(0, 64)}}, 44, 44);
    EXPECT_EQ(engine->PitchBend(), 0.0);
    EXPECT_EQ(engine->PitchBendUnipolar(), 0.5);
    Render(*engine, {{0, PitchBend(127, 127)}}, 44, 44);
    EXPECT_EQ(engine->PitchBend(), 8191.0 / 8192.0);
    Render(*engine, {{0, PitchBend(0, 0)}}, 44, 44);
    EXPECT_EQ(engine->PitchBend(), -1.0);
    EXPECT_EQ(engine->PitchBendUnipolar(), 0.0);
    EXPECT_EQ(engine->ModWheelBipolar(), -1.0);
    Render(*engine, {{0, Controller(1, 127)}}, 44, 44);
    EXPECT_EQ(engine->ModWheel(), 1.0);
    EXPECT_EQ(engine->ModWheelBipolar(), 1.0);
    // With every external input on controller 0, the wheel feeds none of them.
    EXPECT_EQ(engine->Inputs().Voltage(0), 0.0);
}

TEST(MidiRouting, PitchBendReachesEveryBlockPitchOffset)
{
    auto engine = MakeEngine(44100.0);
    engine->SetPitchBendRange(2);
    Render(*engine, {{0, PitchBend(127, 127)}}, 44, 44);
    for (SynthBlock& block : engine->Blocks())
    {
        EXPECT_EQ(block.FmBuffer()[0], 255);
        EXPECT_EQ(block.FmBuffer()[43], 255);
    }
    engine->SetPitchBendRange(-24);
    Render(*engine, {{0, PitchBend(0, 0)}}, 44, 44);
    EXPECT_EQ(engine->Block(2).FmBuffer()[0], 24 * 128);
}

TEST(MidiRouting, ExternalInputsTakeTheFirstMatchingController)
{
    auto engine = MakeEngine(44100.0);
    Render(*engine, {{0, Controller(0, 127)}}, 44, 44);
    EXPECT_TRUE(engine->Inputs().GetTrigger(0).state);
    EXPECT_FALSE(engine->Inputs().GetTrigger(1).state);
    EXPECT_EQ(engine->Inputs().Voltage(0), 0.0);

    engine->Inputs().SetTriggerController(0, 5);
    engine->Inputs().SetTriggerController(1, 5);
    engine->Inputs().SetVoltageController(2, 7);
    engine->Inputs().SetVoltageController(3, 64);
    Render(*engine, {{0, Controller(7, 127)}, {0, Controller(5, 64)}, {0, Controller(64, 1)}}, 44, 44);
    EXPECT_EQ(engine->Inputs().Voltage(2), 1.0);
    EXPECT_TRUE(engine->Inputs().GetTrigger(0).state); // 64/127 > 0.5
    EXPECT_FALSE(engine->Inputs().GetTrigger(1).state);
    EXPECT_EQ(engine->Inputs().Voltage(3), 1.0); // the pedal counts as fully on
}

TEST(MidiRouting, AllNotesOffActsBeforeQueuedNotes)
{
    auto engine = MakeEngine(44100.0);
    Render(*engine, {{0, NoteOn(60)}}, 4410, 441);
    const Voice& first = engine->Block(0).GetVoice(0);
    ASSERT_EQ(first.Envelope().GetState(), EM::kDecay);
    MidiMessage later = NoteOn(64);
    later.offset = 300;
    engine->HandleMidi(later);
    engine->HandleMidi({400, 0xB0, 123, 0});
    // Released on arrival, while the note on still waits in the queue.
    EXPECT_EQ(first.Envelope().GetState(), EM::kRelease);
    EXPECT_EQ(engine->Queue().Unread(), 1);
    std::vector<double> l(441), r(441);
    engine->ProcessAudio(l.data(), r.data(), 441);
    EXPECT_TRUE(engine->GetKeyboard().IsHeld(64));
    EXPECT_EQ(engine->Block(0).GetVoice(1).Note(), 64);
    EXPECT_TRUE(engine->Block(0).GetVoice(1).KeyDown());
}

TEST(MidiRouting, HostServices)
{
    auto engine = MakeEngine(44100.0);
    FakeHost host;
    engine->SetHost(&host);

    host.thru = true;
    engine->HandleMidi(Controller(120, 0));
    engine->HandleMidi({0, 0xA0, 1, 2}); // aftertouch: passed through, otherwise ignored
    EXPECT_EQ(host.sent, 2);
    EXPECT_EQ(engine->Queue().Unread(), 0);

    engine->HandleMidi({0, 0xC3, 17, 0});
    EXPECT_EQ(host.loadedProgram, 17);
    host.ignoreProgramChange = true;
    engine->HandleMidi({0, 0xC0, 3, 0});
    EXPECT_EQ(host.loadedProgram, 17);

    host.learnArmed = true;
    engine->HandleMidi(Controller(74, 10));
    EXPECT_EQ(host.learned, 74);
    EXPECT_EQ(engine->Queue().Unread(), 0);
    host.learnArmed = false;

    host.mappedController = 74;
    host.mappedParameter = 23;
    Render(*engine, {{0, Controller(74, 127)}}, 44, 44);
    EXPECT_EQ(host.parameterSets, 1);
    EXPECT_EQ(host.parameterValue, 1.0);
    Render(*engine, {{0, Controller(74, 127)}}, 44, 44); // unchanged value: not set again
    EXPECT_EQ(host.parameterSets, 1);
    Render(*engine, {{0, Controller(75, 0)}}, 44, 44); // unmapped
    EXPECT_EQ(host.parameterSets, 1);
}

TEST(MidiRouting, DataBytesAreMaskedToSevenBits)
{
    auto engine = MakeEngine(44100.0);
    Render(*engine, {{0, {0, 0x90, 0xFF, 0xFF}}}, 44, 44);
    EXPECT_TRUE(engine->GetKeyboard().IsHeld(127));
}

} // namespace
} // namespace zr::test
