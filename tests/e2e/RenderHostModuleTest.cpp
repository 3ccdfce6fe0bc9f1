// zr4400-render with our own module: exported banks and programs load back and render the same,
// every factory program renders cleanly at the bank's common loudness, and the demo song renders
// through program 0.
#include "RenderHostSupport.h"
#include "support/LoudnessMeter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <numbers>
#include <numeric>

using namespace zr::e2e;

namespace
{

constexpr const char* kTool = ZR_RENDER_TOOL;
constexpr const char* kModule = ZR_MODULE;
constexpr const char* kDemoSong = ZR_DEMO_SONG;
constexpr int kPrograms = 64;
constexpr int kTicks = 96; // a quarter is 0.5 s at the default 120 bpm
constexpr double kTailSeconds = 1.5;
constexpr double kMinuseOneDbfs = 0.8912509381337456;
constexpr double kSilence = 1e-3;
constexpr double kMaxDcOffset = 0.01;
constexpr double kFinalWindowSeconds = 0.25;
constexpr std::size_t kFftSize = 8192;
constexpr double kGlideSeconds = 0.15; // a moved "Cutoff" glides for 100 ms
// The bank's loudness on the phrase below, and how far a program may stray from it.
constexpr double kBankLufs = -18.0;
constexpr double kLoudnessWindow = 3.0;
constexpr double kMaxLeanDb = 1.5;
// A hard edge: a sample-to-sample step above kEdgeShare of the program's peak that is more than
// kEdgeRatio times the largest sample of the kEdgeSeconds on its quiet side. A waveform's own
// steps stay within twice the level around them; only a level switched on or off within a sample
// exceeds that. A gate smoothed by a lag still moves in control-rate steps, each well under
// kEdgeShare of the level.
constexpr double kEdgeShare = 0.15;
constexpr double kEdgeRatio = 3.0;
constexpr double kEdgeSeconds = 0.002;

// A four-note chord with a bass note and a melody note above for a second, then a low and a high
// note of half a second each: the phrase on which the bank is levelled.
std::vector<std::uint8_t> ChordLowHigh()
{
    constexpr std::uint8_t kChord[] = {36, 48, 52, 55, 59, 76};
    std::vector<MidiEvent> events;
    for (std::uint8_t note : kChord)
        events.push_back({0, {0x90, note, 100}});
    events.push_back({2 * kTicks, {0x80, kChord[0], 0}});
    for (std::size_t i = 1; i < std::size(kChord); ++i)
        events.push_back({0, {0x80, kChord[i], 0}});
    events.push_back({0, {0x90, 36, 100}});
    events.push_back({kTicks, {0x80, 36, 0}});
    events.push_back({0, {0x90, 84, 100}});
    events.push_back({kTicks, {0x80, 84, 0}});
    return MidiFile(kTicks, events);
}

std::vector<std::uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t BigEndianAt(const std::vector<std::uint8_t>& b, std::size_t pos)
{
    return (std::uint32_t{b[pos]} << 24) | (std::uint32_t{b[pos + 1]} << 16) |
           (std::uint32_t{b[pos + 2]} << 8) | b[pos + 3];
}

void Fft(std::vector<std::complex<double>>& x)
{
    const std::size_t n = x.size();
    for (std::size_t i = 1, j = 0; i < n; ++i)
    {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1)
    {
        const std::complex<double> step = std::polar(1.0, -2.0 * std::numbers::pi / static_cast<double>(len));
        for (std::size_t i = 0; i < n; i += len)
        {
            std::complex<double> w = 1.0;
            for (std::size_t k = 0; k < len / 2; ++k, w *= step)
            {
                const std::complex<double> u = x[i + k], v = x[i + k + len / 2] * w;
                x[i + k] = u + v;
                x[i + k + len / 2] = u - v;
            }
        }
    }
}

// Spectral centroid in Hz of the left channel's first kFftSize frames (Hann window).
double SpectralCentroid(const Wav& wav)
{
    std::vector<std::complex<double>> x(kFftSize);
    for (std::size_t i = 0; i < kFftSize && static_cast<std::int64_t>(i) < wav.Frames(); ++i)
        x[i] = wav.At(static_cast<std::int64_t>(i), 0) *
               (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / kFftSize));
    Fft(x);
    double weighted = 0.0, total = 0.0;
    for (std::size_t k = 1; k < kFftSize / 2; ++k)
    {
        const double magnitude = std::abs(x[k]);
        weighted += magnitude * static_cast<double>(k) * wav.sampleRate / kFftSize;
        total += magnitude;
    }
    return total > 0.0 ? weighted / total : 0.0;
}

double PeakBetween(const Wav& wav, std::int64_t from, std::int64_t to)
{
    double peak = 0.0;
    for (std::int64_t f = std::max<std::int64_t>(from, 0); f < std::min(to, wav.Frames()); ++f)
        for (int c = 0; c < wav.channels; ++c)
            peak = std::max(peak, static_cast<double>(std::fabs(wav.At(f, c))));
    return peak;
}

double Lufs(const Wav& wav)
{
    zr::test::LoudnessMeter meter(wav.sampleRate, wav.channels);
    meter.Add(wav.samples);
    return meter.Integrated();
}

// Left against right energy, dB (positive: the image leans left).
double LeanDb(const Wav& wav)
{
    double energy[2] = {0.0, 0.0};
    for (std::int64_t f = 0; f < wav.Frames(); ++f)
        for (int c = 0; c < 2; ++c)
            energy[c] += static_cast<double>(wav.At(f, c)) * wav.At(f, c);
    return 10.0 * std::log10(energy[0] / energy[1]);
}

// The hard edges of one channel: steps that switch the level on (quiet before) or off (quiet after).
int HardEdges(const Wav& wav, int c)
{
    const auto span = static_cast<std::int64_t>(kEdgeSeconds * wav.sampleRate);
    const auto levelBetween = [&](std::int64_t from, std::int64_t to)
    {
        double level = 0.0;
        for (std::int64_t f = std::max<std::int64_t>(from, 0); f < std::min(to, wav.Frames()); ++f)
            level = std::max(level, static_cast<double>(std::fabs(wav.At(f, c))));
        return level;
    };
    const double floor = kEdgeShare * wav.Peak();
    int edges = 0;
    for (std::int64_t f = 1; f < wav.Frames(); ++f)
    {
        const double step = std::fabs(static_cast<double>(wav.At(f, c)) - wav.At(f - 1, c));
        if (step <= floor) continue;
        const double quiet = std::min(levelBetween(f - span, f), levelBetween(f, f + span));
        if (step > kEdgeRatio * quiet)
        {
            ++edges;
            f += span; // one edge, not each of its samples
        }
    }
    return edges;
}

class RenderHostModule : public ::testing::Test
{
protected:
    ToolRun Render(std::vector<std::string> args)
    {
        args.insert(args.begin(), {"--plugin", kModule, "--quiet"});
        return RunTool(kTool, args);
    }
    // The names that --list-programs prints as "%4d  NAME" lines.
    std::vector<std::string> ProgramNames()
    {
        const ToolRun run = Render({"--list-programs"});
        std::vector<std::string> names;
        std::size_t start = 0;
        for (std::size_t end; (end = run.out.find('\n', start)) != std::string::npos; start = end + 1)
            names.push_back(run.out.substr(start + 6, end - start - 6));
        return names;
    }

    TempDir dir;
};

// Energy of the mix per pitch class (0 = C) between two times: Goertzel filters at every MIDI
// note from 28 to 100, each at its pitch and 20 cents either side (detuned blocks, vibrato).
enum PitchClass
{
    kC,
    kCSharp,
    kD,
    kDSharp,
    kE,
    kF,
    kFSharp,
    kG,
    kGSharp,
    kA,
    kASharp,
    kB
};

std::array<double, 12> PitchClassEnergy(const Wav& wav, double fromSeconds, double toSeconds)
{
    const auto first = static_cast<std::int64_t>(fromSeconds * wav.sampleRate);
    const auto last = std::min(wav.Frames(), static_cast<std::int64_t>(toSeconds * wav.sampleRate));
    std::array<double, 12> energy{};
    for (int note = 28; note <= 100; ++note)
    {
        for (double cents : {-20.0, 0.0, 20.0})
        {
            const double hz = 440.0 * std::pow(2.0, (note - 69 + cents / 100.0) / 12.0);
            const double coefficient = 2.0 * std::cos(2.0 * std::numbers::pi * hz / wav.sampleRate);
            double s1 = 0.0, s2 = 0.0;
            for (std::int64_t i = first; i < last; ++i)
            {
                const double s0 = wav.At(i, 0) + wav.At(i, 1) + coefficient * s1 - s2;
                s2 = s1;
                s1 = s0;
            }
            energy[static_cast<std::size_t>(note % 12)] += s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        }
    }
    return energy;
}

} // namespace

TEST_F(RenderHostModule, SavedBankAndProgramLoadBackAndRenderTheSame)
{
    const std::string song = dir.File("song.mid");
    WriteFile(song, ChordLowHigh());
    const std::string bank = dir.File("bank.fxb"), program = dir.File("program.fxp");
    // Program 12 with two parameters moved: what the files must carry.
    const std::vector<std::string> settings = {"--program",     "12",      "--param",
                                               "A:Cutoff=0.35", "--param", "Final=0.6"};
    std::vector<std::string> save = settings;
    save.insert(save.end(), {"--save-fxb", bank, "--save-fxp", program, "-o", dir.File("direct.wav"), song});
    ToolRun run = Render(save);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const std::vector<std::uint8_t> fxb = ReadAll(bank), fxp = ReadAll(program);
    ASSERT_GT(fxb.size(), 168u);
    EXPECT_EQ(std::string(fxb.begin(), fxb.begin() + 4), "CcnK");
    EXPECT_EQ(BigEndianAt(fxb, 4), fxb.size()); // the whole length
    EXPECT_EQ(std::string(fxb.begin() + 8, fxb.begin() + 12), "FBCh");
    EXPECT_EQ(BigEndianAt(fxb, 12), 2u);
    EXPECT_EQ(std::string(fxb.begin() + 16, fxb.begin() + 20), "zr44");
    EXPECT_EQ(BigEndianAt(fxb, 20), 10205u);
    EXPECT_EQ(BigEndianAt(fxb, 24), 64u);
    EXPECT_EQ(BigEndianAt(fxb, 28), 12u);
    EXPECT_EQ(BigEndianAt(fxb, 156), fxb.size() - 160);
    EXPECT_EQ(std::string(fxb.begin() + 160, fxb.begin() + 164), "tffp");
    ASSERT_GT(fxp.size(), 68u);
    EXPECT_EQ(std::string(fxp.begin() + 8, fxp.begin() + 12), "FPCh");
    EXPECT_EQ(BigEndianAt(fxp, 4), fxp.size());
    EXPECT_EQ(BigEndianAt(fxp, 24), 229u);
    EXPECT_EQ(BigEndianAt(fxp, 56), fxp.size() - 60);

    run = Render({"--list-programs", "--fxb", bank});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("  12  "), std::string::npos);

    // The bank reloads program 12 with the moved parameters; the program file goes into program 0.
    run = Render({"--fxb", bank, "--program", "12", "-o", dir.File("from-bank.wav"), song});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Render({"--fxp", program, "-o", dir.File("from-program.wav"), song});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Render({"--program", "12", "-o", dir.File("unmoved.wav"), song});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    // A loaded program starts with its own cutoff; the moved "Cutoff" of the direct render glides
    // there in 100 ms, after which the renders agree sample for sample.
    const Wav direct = ReadWav(dir.File("direct.wav"));
    ASSERT_GT(direct.Peak(), kSilence);
    const Wav fromBank = ReadWav(dir.File("from-bank.wav"));
    EXPECT_EQ(ReadWav(dir.File("from-program.wav")).samples, fromBank.samples);
    const auto afterGlide = [](const Wav& wav)
    {
        const auto first = static_cast<std::ptrdiff_t>(kGlideSeconds * wav.sampleRate) * wav.channels;
        return std::vector<float>(wav.samples.begin() + std::min<std::ptrdiff_t>(first, wav.samples.size()),
                                  wav.samples.end());
    };
    EXPECT_EQ(afterGlide(fromBank), afterGlide(direct));
    EXPECT_NE(ReadWav(dir.File("unmoved.wav")).samples, direct.samples);

    // Saving alone needs no output file; a save into a missing folder fails.
    run = Render({"--save-fxb", dir.File("again.fxb")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    run = Render({"--save-fxp", dir.File("no/such/folder/p.fxp")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos);
}

TEST_F(RenderHostModule, EveryFactoryProgramRendersCleanlyAtTheBanksLoudness)
{
    const std::string song = dir.File("phrase.mid");
    WriteFile(song, ChordLowHigh());
    const std::vector<std::string> names = ProgramNames();
    ASSERT_EQ(names.size(), static_cast<std::size_t>(kPrograms));
    std::printf("%-3s %-24s %8s %8s %7s %6s %9s\n", "#", "program", "LUFS", "peak dB", "lean dB", "edges",
                "centroid");
    std::vector<double> loudness;
    for (int k = 0; k < kPrograms; ++k)
    {
        const std::string out = dir.File("p" + std::to_string(k) + ".wav");
        const ToolRun run =
            Render({"--program", std::to_string(k), "--tail", std::to_string(kTailSeconds), "-o", out, song});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        const Wav wav = ReadWav(out);
        ASSERT_EQ(wav.channels, 2);
        const std::string& name = names[static_cast<std::size_t>(k)];

        EXPECT_EQ(run.err.find("NaN"), std::string::npos) << name;
        double mean[2] = {0.0, 0.0};
        for (std::int64_t f = 0; f < wav.Frames(); ++f)
            for (int c = 0; c < 2; ++c)
            {
                ASSERT_TRUE(std::isfinite(wav.At(f, c))) << name;
                mean[c] += wav.At(f, c);
            }
        const double peak = wav.Peak();
        EXPECT_GT(peak, kSilence) << name << " is silent";
        EXPECT_LT(peak, kMinuseOneDbfs) << name << " peaks above -1 dBFS";
        for (double m : mean)
            EXPECT_LT(std::fabs(m / static_cast<double>(wav.Frames())), kMaxDcOffset) << name << " has DC";
        const auto finalFrames = static_cast<std::int64_t>(kFinalWindowSeconds * wav.sampleRate);
        const auto releaseFrame = static_cast<std::int64_t>(2.0 * wav.sampleRate);
        EXPECT_LE(PeakBetween(wav, wav.Frames() - finalFrames, wav.Frames()),
                  PeakBetween(wav, 0, releaseFrame))
            << name << " grows after the release";

        const double lufs = Lufs(wav), lean = LeanDb(wav);
        const int edges = HardEdges(wav, 0) + HardEdges(wav, 1);
        EXPECT_NEAR(lufs, kBankLufs, kLoudnessWindow) << name;
        EXPECT_LT(std::fabs(lean), kMaxLeanDb) << name << " leans to one side";
        EXPECT_EQ(edges, 0) << name << " switches its level within a sample";
        loudness.push_back(lufs);
        std::printf("%-3d %-24s %8.1f %8.1f %7.1f %6d %7.0f Hz\n", k, name.c_str(), lufs,
                    20.0 * std::log10(peak), lean, edges, SpectralCentroid(wav));
    }
    std::sort(loudness.begin(), loudness.end());
    std::printf("loudness: median %.1f LUFS, %.1f to %.1f\n", loudness[loudness.size() / 2], loudness.front(),
                loudness.back());
}

TEST_F(RenderHostModule, DemoSongRendersThroughTheFirstFactoryProgram)
{
    const ToolRun run = Render({"--program", "0", "-o", dir.File("demo.wav"), kDemoSong});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const Wav wav = ReadWav(dir.File("demo.wav"));
    EXPECT_NEAR(static_cast<double>(wav.Frames()) / wav.sampleRate, 28.65, 0.05); // 26.65 s song + 2 s tail
    EXPECT_GT(wav.Rms(), 0.01);
    EXPECT_LT(wav.Peak(), 1.0);

    // Bar 1 is A minor (A C E, melody E D C): its pitch classes stand far above those outside
    // the key. Bar 8 is E major (E G# B, melody E): G#, absent before, takes a large share of
    // the sound (the pad's release still carries bar 7's G major into it).
    constexpr double kBarSeconds = 4 * 60.0 / 90.0;
    const std::array<double, 12> bar1 = PitchClassEnergy(wav, 0.1, 0.75 * kBarSeconds);
    const double outOfKey =
        std::max({bar1[kCSharp], bar1[kDSharp], bar1[kFSharp], bar1[kGSharp], bar1[kASharp]});
    for (int pc : {kA, kC, kE})
        EXPECT_GT(bar1[static_cast<std::size_t>(pc)], 20.0 * outOfKey) << "pitch class " << pc;
    const std::array<double, 12> bar8 = PitchClassEnergy(wav, 7 * kBarSeconds + 0.1, 7.75 * kBarSeconds);
    const auto share = [](const std::array<double, 12>& energy, PitchClass pc)
    { return energy[static_cast<std::size_t>(pc)] / std::accumulate(energy.begin(), energy.end(), 0.0); };
    EXPECT_GT(share(bar8, kGSharp), 0.05);
    EXPECT_GT(share(bar8, kGSharp), 20.0 * share(bar1, kGSharp));
}
