#include "EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace zr::test
{
namespace
{

constexpr long kLength = 9600;

Stereo PlayChord(Engine& engine, int blockSize = 480)
{
    return Render(engine, {{0, NoteOn(48)}, {0, NoteOn(55)}, {0, NoteOn(64)}}, kLength, blockSize);
}

TEST(BlockOutput, SkippedWhenNoVoiceSoundsOrTheChannelIsOff)
{
    for (double fs : kRates)
    {
        auto engine = MakeEngine(fs);
        engine->Block(0).SetResonatorIntensity(1.0);
        const Stereo out = Render(*engine, {{0, NoteOn(60)}, {2000 / 44 * 44, NoteOff(60)}}, 8000, 64);
        EXPECT_GT(Peak(out.left, 0, 2000), 0.01);
        // Once the envelope ended, not even the resonators' tail or the filter offset is heard.
        for (long i = 3000; i < 8000; ++i)
            ASSERT_EQ(out.left[i], 0.0) << i;
    }
}

TEST(BlockOutput, DisabledChannelKeepsRunningAndResumesMidNote)
{
    for (double fs : kRates)
    {
        auto reference = MakeEngine(fs);
        SoloBlock(*reference, 0);
        const Stereo expected = PlayChord(*reference);

        auto engine = MakeEngine(fs);
        SoloBlock(*engine, 0);
        engine->Block(0).SetChannelEnable(false);
        const long spt = engine->SamplesPerTick();
        const long switchAt = 50 * spt;
        Stereo first = Render(*engine, {{0, NoteOn(48)}, {0, NoteOn(55)}, {0, NoteOn(64)}}, switchAt, 480);
        EXPECT_EQ(Peak(first.left, 0, switchAt), 0.0);
        engine->Block(0).SetChannelEnable(true);
        const Stereo rest = Render(*engine, kLength - switchAt, 480);
        for (long i = 0; i < kLength - switchAt; ++i)
            ASSERT_EQ(rest.left[i], expected.left[switchAt + i]) << i;
    }
}

TEST(BlockOutput, PanAndVolume)
{
    auto engine = MakeEngine(44100.0);
    SoloBlock(*engine, 1);
    const Stereo centre = PlayChord(*engine);
    EXPECT_EQ(centre.left, centre.right);

    for (double pan : {0.0, 1.0})
    {
        auto panned = MakeEngine(44100.0);
        SoloBlock(*panned, 1);
        panned->Block(1).SetPan(pan);
        const Stereo out = PlayChord(*panned);
        const std::vector<double>& silent = pan == 0.0 ? out.right : out.left;
        const std::vector<double>& loud = pan == 0.0 ? out.left : out.right;
        EXPECT_EQ(Peak(silent, 0, kLength), 0.0);
        for (long i = 0; i < kLength; ++i)
            ASSERT_DOUBLE_EQ(loud[i], 2.0 * centre.left[i]);
    }
}

TEST(BlockOutput, ResonatorIntensityZeroBypassesAndATinyValueIsAlmostDry)
{
    for (double fs : kRates)
    {
        auto dryEngine = MakeEngine(fs);
        const Stereo dry = PlayChord(*dryEngine);

        auto bypassed = MakeEngine(fs);
        bypassed->Block(0).SetResonatorIntensity(0.5);
        bypassed->Block(0).SetResonatorIntensity(0.0);
        EXPECT_EQ(PlayChord(*bypassed).left, dry.left);

        auto tiny = MakeEngine(fs);
        tiny->Block(0).SetResonatorIntensity(1e-6);
        const Stereo almost = PlayChord(*tiny);
        EXPECT_NE(almost.left, dry.left);
        std::vector<double> difference(kLength);
        for (long i = 0; i < kLength; ++i)
            difference[i] = almost.left[i] - dry.left[i];
        EXPECT_LT(Rms(difference, 0, kLength), 1e-5 * Rms(dry.left, 0, kLength));

        auto wet = MakeEngine(fs);
        wet->Block(0).SetResonatorIntensity(1.0);
        const Stereo full = PlayChord(*wet);
        for (long i = 0; i < kLength; ++i)
            difference[i] = full.left[i] - dry.left[i];
        EXPECT_GT(Rms(difference, 0, kLength), 0.05 * Rms(dry.left, 0, kLength));
    }
}

TEST(BlockOutput, ResonatorCentresAndSetUpKeepsTheirSettings)
{
    for (double fs : kRates)
    {
        auto engine = MakeEngine(fs);
        engine->Block(0).SetResonatorIntensity(0.7);
        Render(*engine, static_cast<long>(fs / 4));
        const double expectedHz[] = {80.0 + 9920.0 * std::pow(0.45, 4), 80.0 + 9920.0 * std::pow(0.75, 4),
                                     10000.0};
        for (int i = 0; i < SynthBlock::kResonators; ++i)
            EXPECT_NEAR(engine->Block(0).GetResonator(i).CenterOmega() * fs / (2 * std::numbers::pi),
                        expectedHz[i], 0.01)
                << i;
        EXPECT_NEAR(expectedHz[0], 487, 1);

        engine->Block(0).SetResonatorFrequency(0, 0.3);
        engine->SetUp(fs == 44100.0 ? 96000.0 : 44100.0, 512);
        EXPECT_EQ(engine->Block(0).GetResonator(0).Position(), 0.3);
        EXPECT_EQ(engine->Block(0).GetResonator(1).Position(), 0.5);
        EXPECT_EQ(engine->Block(0).GetResonator(2).Mix(), 0.7);
        EXPECT_TRUE(engine->Block(0).ResonatorsOn());
    }
}

TEST(BlockOutput, ResonatorsStayStableAtLowSampleRates)
{
    // Below about 20 kHz the top of the resonator range would lie above the Nyquist frequency.
    for (double fs : {1152.0, 8000.0, 16000.0})
    {
        auto engine = MakeEngine(fs);
        engine->Block(0).SetResonatorIntensity(1.0);
        for (int i = 0; i < SynthBlock::kResonators; ++i)
            engine->Block(0).SetResonatorFrequency(i, 1.0);
        const Stereo out = Render(*engine, {{0, NoteOn(48)}, {0, NoteOn(60)}}, static_cast<long>(fs * 2), 64);
        double peak = 0.0;
        for (double x : out.left)
            peak = std::max(peak, std::abs(x));
        EXPECT_LT(peak, 4.0) << fs << " Hz";
        EXPECT_LT(engine->Block(0).GetResonator(2).CenterOmega(), std::numbers::pi) << fs << " Hz";
    }
}

TEST(BlockOutput, AmplitudeModulationDepth)
{
    auto plain = MakeEngine(48000.0);
    const Stereo reference = PlayChord(*plain);
    // An MG1 of period 1 stands at the middle of its ramp: "Saw Up" gives 0, "Square" -1.
    auto amplitudeModulated = [](int mg1Waveform)
    {
        auto modulated = MakeEngine(48000.0);
        for (SynthBlock& block : modulated->Blocks())
        {
            block.SetAmOn(true);
            block.SetAmDepth(0.5);
            block.Modulation().SetMg1Waveform(mg1Waveform);
        }
        return PlayChord(*modulated);
    };
    // MG1 at 0 with depth 0.5 halves the level; at -1 it silences the block.
    const Stereo half = amplitudeModulated(MG::kSawUp);
    const Stereo silent = amplitudeModulated(MG::kSquare);
    for (long i = 0; i < kLength; ++i)
    {
        ASSERT_NEAR(half.left[i], 0.5 * reference.left[i], 1e-15);
        ASSERT_EQ(silent.left[i], 0.0);
    }
}

TEST(BlockOutput, CutoffGlidesOverOneHundredTicks)
{
    auto engine = MakeEngine(44100.0);
    SynthBlock& block = engine->Block(0);
    const long spt = engine->SamplesPerTick();
    Render(*engine, 99 * spt);
    EXPECT_GE(block.CutoffIndex(), CutoffTable::kLast); // first glide from the construction position
    Render(*engine, spt);
    EXPECT_EQ(block.CutoffIndex(), CutoffTable::kLast);
    block.SetCutoff(0.25);
    Render(*engine, 50 * spt);
    EXPECT_EQ(block.CutoffIndex(), static_cast<int>(0.75 * 17280));
    block.SetCutoff(1.0); // a new glide from the current position
    Render(*engine, 100 * spt);
    EXPECT_EQ(block.CutoffIndex(), 17280);
    block.SetCutoff(0.25);
    Render(*engine, 200 * spt);
    EXPECT_EQ(block.CutoffIndex(), 8640);
}

TEST(BlockOutput, LowCutoffDarkensTheSound)
{
    auto bright = MakeEngine(44100.0);
    auto dark = MakeEngine(44100.0);
    dark->Block(0).SetCutoff(0.3);
    dark->Block(1).SetCutoff(0.3);
    dark->Block(2).SetCutoff(0.3);
    Render(*dark, 8820);
    const Stereo a = Render(*bright, {{0, NoteOn(72)}}, 8820, 441);
    const Stereo b = Render(*dark, {{0, NoteOn(72)}}, 8820, 441);
    EXPECT_LT(Rms(b.left, 441, 8820), 0.7 * Rms(a.left, 441, 8820));
}

} // namespace
} // namespace zr::test
