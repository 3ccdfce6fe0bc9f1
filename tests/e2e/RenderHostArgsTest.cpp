// Bad arguments, missing or unusable modules and malformed files: each ends with a clear
// message on stderr, the documented exit code and no output file.
#include "RenderHostSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zr::e2e;

namespace
{

constexpr int kExitFailure = 1;
constexpr int kExitBadArguments = 2;

struct ErrorCase
{
    std::vector<std::string> args;
    int exitCode;
    std::string message; // must appear in stderr
};

class RenderHostErrors : public ::testing::Test
{
protected:
    void Expect(const ErrorCase& c, const std::vector<std::string>& env = {})
    {
        std::vector<std::string> args = c.args;
        const ToolRun run = RunTool(ZR_RENDER_TOOL, args, env);
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        EXPECT_EQ(run.exitCode, c.exitCode) << joined << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << joined << "\nstderr: " << run.err;
        EXPECT_NE(run.err.find("zr4400-render: "), std::string::npos) << run.err;
    }
    TempDir dir;
};

TEST_F(RenderHostErrors, BadArgumentsExitWithCodeTwo)
{
    const std::string out = dir.File("out.wav");
    const std::string probe = ZR_PROBE_PLUGIN;
    const std::vector<ErrorCase> cases = {
        {{}, kExitBadArguments, "no output file"},
        {{"--bogus", "-o", out}, kExitBadArguments, "unknown option --bogus"},
        {{"-o"}, kExitBadArguments, "-o needs a value"},
        {{"--rate", "fast", "-o", out}, kExitBadArguments, "--rate expects a number"},
        {{"--rate", "999", "-o", out}, kExitBadArguments, "out of range"},
        {{"--rate", "768001", "-o", out}, kExitBadArguments, "out of range"},
        {{"--block", "0", "-o", out}, kExitBadArguments, "out of range"},
        {{"--block", "65537", "-o", out}, kExitBadArguments, "out of range"},
        {{"--block", "12.5", "-o", out}, kExitBadArguments, "whole number"},
        {{"--tail", "-1", "-o", out}, kExitBadArguments, "out of range"},
        {{"--tail", "nan", "-o", out}, kExitBadArguments, "expects a number"},
        {{"--program", "-1", "-o", out}, kExitBadArguments, "out of range"},
        {{"--param", "Gain", "-o", out}, kExitBadArguments, "[BLOCK:]NAME=VALUE"},
        {{"--param", "=0.5", "-o", out}, kExitBadArguments, "[BLOCK:]NAME=VALUE"},
        {{"--param", "Gain=1.5", "-o", out}, kExitBadArguments, "out of range"},
        {{"--param", "Gain=x", "-o", out}, kExitBadArguments, "expects a number"},
        {{"--fxp", "a.fxp", "--fxb", "b.fxb", "-o", out}, kExitBadArguments, "either --fxp or --fxb"},
        {{"one.mid", "two.mid", "-o", out}, kExitBadArguments, "more than one MIDI file"},
        {{"--double=yes", "-o", out}, kExitBadArguments, "unknown option --double"},
        {{"--plugin", probe, "--program", "4", "-o", out}, kExitBadArguments, "the plug-in has 4 programs"},
        {{"--plugin", probe, "--param", "Volume=0.5", "-o", out},
         kExitBadArguments,
         "no parameter named \"Volume\""},
        {{"--plugin", probe, "--param", "C:Gain=0.5", "-o", out},
         kExitBadArguments,
         "block C does not exist"},
        {{"--plugin", probe, "--param", "#3=0.5", "-o", out}, kExitBadArguments, "only 3 parameters"},
    };
    for (const ErrorCase& c : cases)
        Expect(c);
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RenderHostErrors, HelpDocumentsTheParameterSyntax)
{
    const ToolRun run = RunTool(ZR_RENDER_TOOL, {"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* text :
         {"--plugin PATH", "--param [B:]NAME=V", "B:Cutoff=0.3", "--fxp FILE", "--fxb FILE", "--rate HZ",
          "--block N", "--double", "--tail SECONDS", "--list-programs", "--list-params", "Exit status"})
        EXPECT_NE(run.out.find(text), std::string::npos) << text;
}

TEST_F(RenderHostErrors, UnusableModulesAreReportedAndRejected)
{
    const std::string out = dir.File("out.wav");
    const std::string textFile = dir.File("text.so");
    WriteFile(textFile, {'h', 'e', 'l', 'l', 'o'});
    Expect({{"--plugin", dir.File("missing.so"), "-o", out}, kExitFailure, "plug-in module not found"});
    Expect({{"--plugin", dir.Path().string(), "-o", out}, kExitFailure, "not a regular file"});
    Expect({{"--plugin", textFile, "-o", out}, kExitFailure, "cannot load plug-in module"});
    Expect({{"--plugin", ZR_NOT_A_PLUGIN, "-o", out},
            kExitFailure,
            "is not a VST2 plug-in: it exports neither VSTPluginMain nor main"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "-o", out}, kExitFailure, "refused to create an instance"},
           {"ZR_PROBE_MODE=null"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "-o", out}, kExitFailure, "wrong magic"},
           {"ZR_PROBE_MODE=badmagic"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--double", "-o", out},
            kExitFailure,
            "cannot process in double precision"},
           {"ZR_PROBE_MODE=nodouble"});
    EXPECT_FALSE(std::filesystem::exists(out));
}

// The default module is the one next to the tool; a copy of the tool in an empty folder has none.
TEST_F(RenderHostErrors, MissingDefaultModuleFailsCleanly)
{
    const std::string tool = dir.File("zr4400-render");
    std::filesystem::copy_file(ZR_RENDER_TOOL, tool);
    const ToolRun run = RunTool(tool, {"-o", dir.File("out.wav")});
    EXPECT_EQ(run.exitCode, kExitFailure);
    EXPECT_NE(run.err.find("not next to the tool"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(dir.File(sizeof(void*) == 8 ? "ZR440064.so" : "ZR4400.so")), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("--plugin PATH"), std::string::npos) << run.err;
}

TEST_F(RenderHostErrors, MalformedMidiFilesAreRejected)
{
    const std::string out = dir.File("out.wav");
    const auto valid = MidiFile(96, {{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}});
    auto truncated = valid;
    truncated.resize(truncated.size() - 6); // track length now points past the end
    auto badTrackTag = valid;
    badTrackTag[15] = 'X'; // "MTrX"
    std::vector<std::uint8_t> garbage(64, 0xAB);
    WriteFile(dir.File("truncated.mid"), truncated);
    WriteFile(dir.File("badtag.mid"), badTrackTag);
    WriteFile(dir.File("garbage.mid"), garbage);
    WriteFile(dir.File("empty.mid"), {});
    for (const char* name : {"truncated.mid", "badtag.mid", "garbage.mid", "empty.mid"})
        Expect(
            {{"--plugin", ZR_PROBE_PLUGIN, dir.File(name), "-o", out}, kExitFailure, "malformed MIDI file"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, dir.File("absent.mid"), "-o", out},
            kExitFailure,
            "cannot read MIDI file"});
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RenderHostErrors, MalformedProgramAndBankFilesAreRejected)
{
    const std::string out = dir.File("out.wav");
    // An opaque program whose chunk size claims more bytes than the file holds.
    std::vector<std::uint8_t> fxp;
    PutFourCC(fxp, "CcnK");
    PutBigEndian(fxp, 0);
    PutFourCC(fxp, "FPCh");
    PutBigEndian(fxp, 1);
    PutFourCC(fxp, "ZPrb");
    PutBigEndian(fxp, 1);
    PutBigEndian(fxp, 3);
    fxp.resize(fxp.size() + 28, 0);
    PutBigEndian(fxp, 1000);
    fxp.resize(fxp.size() + 4, 0);
    WriteFile(dir.File("oversized.fxp"), fxp);
    auto wrongMagic = fxp;
    wrongMagic[0] = 'X';
    WriteFile(dir.File("magic.fxp"), wrongMagic);
    auto unknownKind = fxp;
    unknownKind[8] = 'Q';
    WriteFile(dir.File("kind.fxp"), unknownKind);
    WriteFile(dir.File("short.fxp"), {'C', 'c', 'n', 'K', 0, 0});
    auto negativeCount = fxp;
    negativeCount[9] = 'x'; // "FxCk": parameter list
    negativeCount[11] = 'k';
    negativeCount[24] = 0xFF; // parameter count negative
    WriteFile(dir.File("negative.fxp"), negativeCount);

    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("oversized.fxp"), "-o", out},
            kExitFailure,
            "truncated"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("magic.fxp"), "-o", out},
            kExitFailure,
            "does not start with \"CcnK\""});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("kind.fxp"), "-o", out},
            kExitFailure,
            "unknown kind \"QPCh\""});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("short.fxp"), "-o", out},
            kExitFailure,
            "truncated"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("negative.fxp"), "-o", out},
            kExitFailure,
            "negative parameter count"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxb", dir.File("oversized.fxp"), "-o", out},
            kExitFailure,
            "malformed bank file"});
    Expect({{"--plugin", ZR_PROBE_PLUGIN, "--fxp", dir.File("absent.fxp"), "-o", out},
            kExitFailure,
            "cannot read program file"});
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace

namespace
{

// Random byte changes to valid files: the tool renders or refuses cleanly, never crashes.
TEST_F(RenderHostErrors, MutatedFilesNeverCrashTheTool)
{
    constexpr int kMutations = 60;
    const auto midi = MidiFile(96, {{0, TempoEvent(100.0)},
                                    {0, {0x90, 60, 100}},
                                    {0, {0xFF, 0x58, 4, 3, 2, 24, 8}},
                                    {48, {0xC0, 5}},
                                    {0, {0xF0, 3, 1, 2, 0xF7}},
                                    {48, {0x80, 60, 0}}});
    std::vector<std::uint8_t> fxp;
    PutFourCC(fxp, "CcnK");
    PutBigEndian(fxp, 64);
    PutFourCC(fxp, "FxCk");
    PutBigEndian(fxp, 1);
    PutFourCC(fxp, "ZPrb");
    PutBigEndian(fxp, 1);
    PutBigEndian(fxp, 3);
    fxp.resize(fxp.size() + 28, 'n');
    for (int i = 0; i < 3; ++i)
        PutBigEndian(fxp, 0x3F000000); // 0.5f
    std::uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    int accepted = 0;
    for (int i = 0; i < kMutations; ++i)
    {
        const bool isMidi = i % 2 == 0;
        auto bytes = isMidi ? midi : fxp;
        for (int k = 0, n = 1 + static_cast<int>(next() >> 30); k < n; ++k)
            bytes[8 + (next() >> 8) % (bytes.size() - 8)] = static_cast<std::uint8_t>(next() >> 24);
        const std::string file = dir.File(isMidi ? "m.mid" : "m.fxp");
        WriteFile(file, bytes);
        std::vector<std::string> args = {"--plugin",          ZR_PROBE_PLUGIN, "-o",
                                         dir.File("out.wav"), "--tail",        "0"};
        if (isMidi)
            args.push_back(file);
        else
            args.insert(args.end(), {"--fxp", file});
        const ToolRun run = RunTool(ZR_RENDER_TOOL, args);
        EXPECT_TRUE(run.exitCode == 0 || run.exitCode == kExitFailure) << "mutation " << i << ": " << run.err;
        accepted += run.exitCode == 0;
    }
    EXPECT_GT(accepted, 0); // some mutations only change values and must still render
}

} // namespace
