// The render host drives Debian's third-party VST2 synthesizers through the same code path it
// uses for ours: non-silent, finite audio of the right length at several rates and block sizes,
// and the MIDI file's tempo map honoured. Skipped when a plug-in is not installed.
#include "RenderHostSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <ostream>

using namespace zr::e2e;

namespace
{

constexpr double kDemoSeconds = 7.95; // last note-off of the built-in demo phrase
constexpr double kMinPeak = 1e-3;     // clearly above silence
constexpr double kMinRms = 1e-4;

struct ThirdPartyPlugin
{
    const char* path;
    bool doublePrecision; // whether it announces processDoubleReplacing
};

const ThirdPartyPlugin kPlugins[] = {
    {"/usr/lib/vst/ZynAddSubFX.so", false},
    {"/usr/lib/vst/amsynth_vst.so", false},
};

void PrintTo(const ThirdPartyPlugin& plugin, std::ostream* os)
{
    *os << plugin.path;
}

class RenderHostThirdParty : public ::testing::TestWithParam<ThirdPartyPlugin>
{
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(GetParam().path))
            GTEST_SKIP() << GetParam().path << " is not installed (apt-get install zynaddsubfx-vst amsynth)";
    }
    ToolRun Render(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--plugin", GetParam().path, "-o", out});
        // Third-party code is not ours to leak-check.
        return RunTool(ZR_RENDER_TOOL, args, {"ASAN_OPTIONS=detect_leaks=0"});
    }
    void ExpectAudible(const Wav& wav, std::int64_t frames, int rate)
    {
        EXPECT_EQ(wav.sampleRate, rate);
        EXPECT_EQ(wav.channels, 2);
        EXPECT_EQ(wav.Frames(), frames);
        for (float s : wav.samples)
            ASSERT_TRUE(std::isfinite(s));
        EXPECT_GT(wav.Peak(), kMinPeak);
        EXPECT_GT(wav.Rms(), kMinRms);
    }
    TempDir dir;
    std::string out = dir.File("out.wav");
};

TEST_P(RenderHostThirdParty, DemoPhraseRendersAtSeveralRatesAndBlockSizes)
{
    struct Setting
    {
        int rate;
        int block;
    };
    for (const Setting s : {Setting{44100, 512}, Setting{48000, 64}, Setting{96000, 1000}})
    {
        SCOPED_TRACE(std::to_string(s.rate) + " Hz, block " + std::to_string(s.block));
        const ToolRun run =
            Render({"--rate", std::to_string(s.rate), "--block", std::to_string(s.block), "--tail", "1"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        ExpectAudible(ReadWav(out), std::llround((kDemoSeconds + 1.0) * s.rate), s.rate);
        EXPECT_NE(run.out.find("real-time factor: "), std::string::npos) << run.out;
    }
}

TEST_P(RenderHostThirdParty, DoublePrecisionOnlyWhenAnnounced)
{
    const ToolRun run = Render({"--double", "--tail", "0.5"});
    if (!GetParam().doublePrecision)
    {
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_NE(run.err.find("cannot process in double precision"), std::string::npos) << run.err;
        return;
    }
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectAudible(ReadWav(out), std::llround((kDemoSeconds + 0.5) * 44100), 44100);
}

TEST_P(RenderHostThirdParty, TempoChangeSetsTheRenderLength)
{
    constexpr int kTicks = 480;
    // One bar of 4/4 at 120 bpm (2 s), then one bar at 80 bpm (3 s): chords on each bar.
    const std::vector<MidiEvent> song = {
        {0, TempoEvent(120.0)}, {0, {0x90, 60, 100}},  {0, {0x90, 64, 100}}, {4 * kTicks, {0x80, 60, 0}},
        {0, {0x80, 64, 0}},     {0, TempoEvent(80.0)}, {0, {0x90, 67, 100}}, {4 * kTicks, {0x80, 67, 0}},
    };
    WriteFile(dir.File("tempo.mid"), MidiFile(kTicks, song));
    const ToolRun run = Render({dir.File("tempo.mid"), "--rate", "48000", "--tail", "0.25"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ExpectAudible(ReadWav(out), std::llround((2.0 + 3.0 + 0.25) * 48000), 48000);
    EXPECT_NE(run.out.find("length:    5.250 s"), std::string::npos) << run.out;
}

// The note numbers arrive intact: each rendered note has the pitch of its MIDI key.
TEST_P(RenderHostThirdParty, RenderedPitchFollowsTheMidiKeys)
{
    constexpr int kTicks = 480;
    constexpr double kTolerance = 0.01;
    for (const int key : {57, 69, 76})
    {
        WriteFile(dir.File("note.mid"),
                  MidiFile(kTicks, {{0, {0x90, static_cast<std::uint8_t>(key), 100}},
                                    {2 * kTicks, {0x80, static_cast<std::uint8_t>(key), 0}}}));
        const ToolRun run = Render({dir.File("note.mid"), "--tail", "0"});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Wav wav = ReadWav(out);
        const double expected = 440.0 * std::pow(2.0, (key - 69) / 12.0);
        EXPECT_NEAR(EstimateFrequency(wav, 0, wav.sampleRate / 2), expected, expected * kTolerance)
            << "key " << key;
    }
}

TEST_P(RenderHostThirdParty, ListsProgramsAndParameters)
{
    ToolRun run = Render({"--list-programs"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("   0  "), std::string::npos) << run.out;
    run = Render({"--list-params"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("   0  "), std::string::npos) << run.out;
}

INSTANTIATE_TEST_SUITE_P(DebianSynths, RenderHostThirdParty, ::testing::ValuesIn(kPlugins),
                         [](const auto& info)
                         { return std::string(info.index == 0 ? "ZynAddSubFX" : "amsynth"); });

} // namespace
