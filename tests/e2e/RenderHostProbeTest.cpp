// The render host against the probe plug-in, whose outputs show exactly what the host
// delivered: the held note (right) switched at the event offsets and the host tempo (left)
// read through the time callback at each block.
#include "RenderHostSupport.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>

using namespace zr::e2e;

namespace
{

constexpr int kTicks = 96;
constexpr float kNoteScale = 128.0f;
constexpr float kTempoScale = 1000.0f;

// 120 bpm: note 60 for two quarters (1 s); then 60 bpm: note 72 for two quarters (2 s).
std::vector<std::uint8_t> TempoChangeSong()
{
    return MidiFile(kTicks, {{0, TempoEvent(120.0)},
                             {0, {0x90, 60, 100}},
                             {2 * kTicks, TempoEvent(60.0)},
                             {0, {0x80, 60, 0}},
                             {0, {0x90, 72, 100}},
                             {2 * kTicks, {0x80, 72, 0}}});
}
// The same song as a format-1 file: the tempo map in a conductor track of its own.
std::vector<std::uint8_t> TempoChangeSongWithTracks()
{
    return MidiFileWithTracks(kTicks, {{{0, TempoEvent(120.0)}, {2 * kTicks, TempoEvent(60.0)}},
                                       {{0, {0x90, 60, 100}},
                                        {2 * kTicks, {0x80, 60, 0}},
                                        {0, {0x90, 72, 100}},
                                        {2 * kTicks, {0x80, 72, 0}}}});
}
constexpr double kSongSeconds = 3.0;

std::vector<std::uint8_t> FxHeader(const char* kind, const char* id, std::uint32_t count)
{
    std::vector<std::uint8_t> f;
    PutFourCC(f, "CcnK");
    PutBigEndian(f, 0); // byte size, filled in by Finish
    PutFourCC(f, kind);
    PutBigEndian(f, 2); // format version
    PutFourCC(f, id);
    PutBigEndian(f, 1);
    PutBigEndian(f, count);
    return f;
}

void Finish(std::vector<std::uint8_t>& f)
{
    const auto size = static_cast<std::uint32_t>(f.size() - 8);
    for (int k = 0; k < 4; ++k)
        f[4 + k] = static_cast<std::uint8_t>(size >> (24 - 8 * k));
}

void PutName(std::vector<std::uint8_t>& f, const std::string& name, std::size_t field)
{
    std::vector<std::uint8_t> bytes(field, 0);
    std::memcpy(bytes.data(), name.data(), std::min(name.size(), field - 1));
    f.insert(f.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> ParamsProgram(const char* id, const std::vector<float>& params)
{
    auto f = FxHeader("FxCk", id, static_cast<std::uint32_t>(params.size()));
    PutName(f, "From file", 28);
    for (float p : params)
        PutBigEndian(f, std::bit_cast<std::uint32_t>(p));
    Finish(f);
    return f;
}

// An opaque chunk of one native float, as the probe reads it.
std::vector<std::uint8_t> ChunkFile(bool bank, const char* id, float value)
{
    auto f = FxHeader(bank ? "FBCh" : "FPCh", id, bank ? 1 : 3);
    if (bank)
        f.resize(f.size() + 128, 0);
    else
        PutName(f, "Chunk", 28);
    PutBigEndian(f, sizeof(float));
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&value);
    f.insert(f.end(), bytes, bytes + sizeof(float));
    Finish(f);
    return f;
}

std::vector<std::uint8_t> ParamsBank(const char* id, const std::vector<std::vector<float>>& programs)
{
    auto f = FxHeader("FxBk", id, static_cast<std::uint32_t>(programs.size()));
    PutBigEndian(f, static_cast<std::uint32_t>(programs.size() - 1)); // current program
    f.resize(f.size() + 124, 0);
    for (const auto& p : programs)
    {
        const auto program = ParamsProgram(id, p);
        f.insert(f.end(), program.begin(), program.end());
    }
    Finish(f);
    return f;
}

class RenderHostProbe : public ::testing::Test
{
protected:
    ToolRun Render(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--plugin", ZR_PROBE_PLUGIN, "-o", out});
        return RunTool(ZR_RENDER_TOOL, args);
    }
    // Renders the one-note file and returns the probe's (right, left) levels at its middle.
    std::pair<float, float> LevelsWith(const std::vector<std::string>& extra)
    {
        WriteFile(dir.File("note.mid"), MidiFile(kTicks, {{0, {0x90, 64, 100}}, {kTicks, {0x80, 64, 0}}}));
        std::vector<std::string> args = {dir.File("note.mid"), "--tail", "0"};
        args.insert(args.end(), extra.begin(), extra.end());
        const ToolRun run = Render(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        const Wav wav = ReadWav(out);
        if (wav.Frames() < 100) return {-1.0f, -1.0f};
        return {wav.At(100, 1), wav.At(100, 0)};
    }
    TempDir dir;
    std::string out = dir.File("out.wav");
};

TEST_F(RenderHostProbe, TempoMapEventOffsetsAndTransportAreExact)
{
    WriteFile(dir.File("song0.mid"), TempoChangeSong());
    WriteFile(dir.File("song1.mid"), TempoChangeSongWithTracks());
    struct Setting
    {
        int rate;
        int block;
        bool doublePrecision;
        const char* file;
    };
    for (const Setting s : {Setting{44100, 64, false, "song0.mid"}, Setting{48000, 1000, true, "song0.mid"},
                            Setting{44100, 1, false, "song1.mid"}, Setting{48000, 4096, false, "song1.mid"},
                            Setting{96000, 333, true, "song1.mid"}})
    {
        SCOPED_TRACE(std::string(s.file) + ", " + std::to_string(s.rate) + " Hz, block " +
                     std::to_string(s.block));
        std::vector<std::string> args = {
            dir.File(s.file), "--rate", std::to_string(s.rate), "--block", std::to_string(s.block),
            "--tail",         "0.5"};
        if (s.doublePrecision) args.push_back("--double");
        const ToolRun run = Render(args);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Wav wav = ReadWav(out);
        ASSERT_EQ(wav.channels, 2);
        EXPECT_EQ(wav.sampleRate, s.rate);
        ASSERT_EQ(wav.Frames(), std::llround((kSongSeconds + 0.5) * s.rate));
        const std::int64_t change = s.rate;    // tempo change and note 72 at 1 s
        const std::int64_t end = 3LL * s.rate; // note 72 released at 3 s
        int wrong = 0;
        for (std::int64_t f = 0; f < wav.Frames(); ++f)
        {
            const float note = f < change ? 60.0f : f < end ? 72.0f : 0.0f;
            const std::int64_t blockStart = f / s.block * s.block;
            const float tempo = blockStart < change ? 120.0f : 60.0f;
            wrong += wav.At(f, 1) != note / kNoteScale;
            wrong += std::fabs(wav.At(f, 0) - tempo / kTempoScale) > 1e-7f;
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_NE(run.out.find("length:    3.500 s"), std::string::npos) << run.out;
    }
}

TEST_F(RenderHostProbe, OldAccumulatingProcessCallIsUsedWhenItIsTheOnlyOne)
{
    ASSERT_EQ(Render({"--tail", "0.1"}).exitCode, 0);
    const Wav replacing = ReadWav(out);
    const ToolRun run = RunTool(ZR_RENDER_TOOL, {"--plugin", ZR_PROBE_PLUGIN, "-o", out, "--tail", "0.1"},
                                {"ZR_PROBE_MODE=accumulate"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Wav accumulating = ReadWav(out);
    EXPECT_EQ(accumulating.samples, replacing.samples); // the host clears its buffers before each call
}

TEST_F(RenderHostProbe, NonFiniteOutputIsWrittenAsSilenceAndReported)
{
    const ToolRun run = RunTool(ZR_RENDER_TOOL, {"--plugin", ZR_PROBE_PLUGIN, "-o", out, "--tail", "0"},
                                {"ZR_PROBE_MODE=nan"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find("NaN or infinite samples, written as 0"), std::string::npos) << run.err;
    const Wav wav = ReadWav(out);
    for (float s : wav.samples)
        ASSERT_TRUE(std::isfinite(s));
    EXPECT_FLOAT_EQ(static_cast<float>(wav.Peak()), 120.0f / kTempoScale); // only the tempo channel is left
}

TEST_F(RenderHostProbe, SummaryReportsTheLevelsOfTheFile)
{
    const ToolRun run = Render({"--tail", "0.25"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Wav wav = ReadWav(out);
    // Demo phrase: the highest melody note is 81, so the right channel peaks at 81/128.
    EXPECT_FLOAT_EQ(static_cast<float>(wav.Peak()), 81.0f / kNoteScale);
    char peak[32];
    std::snprintf(peak, sizeof peak, "peak:      %.6f", wav.Peak());
    char rms[32];
    std::snprintf(rms, sizeof rms, "RMS:       %.6f", wav.Rms());
    EXPECT_NE(run.out.find(peak), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(rms), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("real-time factor: "), std::string::npos);
    EXPECT_NE(run.out.find("plug-in:   Probe"), std::string::npos);
}

TEST_F(RenderHostProbe, ParametersAreFoundByNameAndBlock)
{
    const float note = 64.0f / kNoteScale;
    const float tempo = 120.0f / kTempoScale;
    EXPECT_EQ(LevelsWith({}), std::make_pair(note, tempo));
    EXPECT_EQ(LevelsWith({"--param", "B:Gain=0.5"}), std::make_pair(note, tempo * 0.5f));
    EXPECT_EQ(LevelsWith({"--param", "a:gain=0.25"}), std::make_pair(note * 0.25f, tempo));
    EXPECT_EQ(LevelsWith({"--param", "GAIN=0.5"}), std::make_pair(note * 0.5f, tempo * 0.5f));
    EXPECT_EQ(LevelsWith({"--param", "#1=0", "--param=#0=1"}), std::make_pair(note, 0.0f));
}

TEST_F(RenderHostProbe, ProgramAndBankFilesReachThePlugin)
{
    const float note = 64.0f / kNoteScale;
    const float tempo = 120.0f / kTempoScale;
    WriteFile(dir.File("chunk.fxp"), ChunkFile(false, "ZPrb", 0.25f));
    WriteFile(dir.File("chunk.fxb"), ChunkFile(true, "ZPrb", 0.5f));
    WriteFile(dir.File("params.fxp"), ParamsProgram("ZPrb", {0.75f, 0.5f, 0.0f}));
    WriteFile(dir.File("params.fxb"), ParamsBank("ZPrb", {{0.1f, 0.1f, 0.0f}, {0.5f, 0.25f, 0.0f}}));
    WriteFile(dir.File("other.fxp"), ParamsProgram("Othr", {0.5f}));
    EXPECT_EQ(LevelsWith({"--fxp", dir.File("chunk.fxp")}), std::make_pair(note * 0.25f, tempo));
    EXPECT_EQ(LevelsWith({"--fxb", dir.File("chunk.fxb")}), std::make_pair(note, tempo * 0.5f));
    EXPECT_EQ(LevelsWith({"--fxp", dir.File("params.fxp")}), std::make_pair(note * 0.75f, tempo * 0.5f));
    EXPECT_EQ(LevelsWith({"--fxb", dir.File("params.fxb")}), std::make_pair(note * 0.5f, tempo * 0.25f));
    // --param is applied after the file.
    EXPECT_EQ(LevelsWith({"--fxp", dir.File("params.fxp"), "--param", "A:Gain=1"}),
              std::make_pair(note, tempo * 0.5f));

    ToolRun run = Render({"--fxp", dir.File("other.fxp")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("belongs to the plug-in with id \"Othr\", not to \"ZPrb\""), std::string::npos)
        << run.err;
    run = Render({"--fxp", dir.File("chunk.fxb")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("is a bank file; load it with --fxb"), std::string::npos) << run.err;
    run = Render({"--fxb", dir.File("params.fxp")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("is a program file; load it with --fxp"), std::string::npos) << run.err;
}

TEST_F(RenderHostProbe, ListsShowProgramsAndParameterStates)
{
    ToolRun run = RunTool(ZR_RENDER_TOOL, {"--plugin", ZR_PROBE_PLUGIN, "--list-programs"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "   0  Probe 0\n   1  Probe 1\n   2  Probe 2\n   3  Probe 3\n");
    run = RunTool(ZR_RENDER_TOOL, {"--plugin", ZR_PROBE_PLUGIN, "--list-params", "--param", "B:Gain=0.5"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("   0  Gain                     1.000000  100 %\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   1  Gain                     0.500000  50 %\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("   2  Spare                    0.000000  0 %\n"), std::string::npos) << run.out;
}

} // namespace
