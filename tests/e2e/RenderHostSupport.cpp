#include "RenderHostSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sndfile.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace zr::e2e
{
namespace
{

std::string ShellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string Slurp(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

constexpr const char* kIsolatedVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};

} // namespace

double Wav::Peak() const
{
    double peak = 0.0;
    for (float s : samples)
        peak = std::max(peak, static_cast<double>(std::fabs(s)));
    return peak;
}

double Wav::Rms() const
{
    double sum = 0.0;
    for (float s : samples)
        sum += static_cast<double>(s) * s;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zr4400-e2e-XXXXXX").string();
    const char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("mkdtemp failed");
    path_ = made;
    for (const char* name : kIsolatedVariables)
    {
        const char* old = std::getenv(name);
        savedEnv_.emplace_back(name, old ? old : std::string("\x01"));
    }
    const std::string home = path_.string();
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + "/.cache").c_str(), 1);
    std::filesystem::create_directories(path_ / ".config");
    std::filesystem::create_directories(path_ / ".local/share");
    std::filesystem::create_directories(path_ / ".cache");
}

TempDir::~TempDir()
{
    for (const auto& [name, value] : savedEnv_)
        if (value == "\x01")
            unsetenv(name.c_str());
        else
            setenv(name.c_str(), value.c_str(), 1);
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                const std::vector<std::string>& env)
{
    char outName[] = "/tmp/zr4400-e2e-outXXXXXX";
    char errName[] = "/tmp/zr4400-e2e-errXXXXXX";
    const int outFd = mkstemp(outName);
    const int errFd = mkstemp(errName);
    close(outFd);
    close(errFd);
    std::string command = "env";
    for (const std::string& e : env)
        command += " " + ShellQuote(e);
    command += " " + ShellQuote(tool);
    for (const std::string& a : args)
        command += " " + ShellQuote(a);
    command += " >" + std::string(outName) + " 2>" + std::string(errName) + " </dev/null";
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = Slurp(outName);
    run.err = Slurp(errName);
    unlink(outName);
    unlink(errName);
    return run;
}

Wav ReadWav(const std::string& path)
{
    Wav wav;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(f, nullptr) << "cannot read " << path;
    if (!f) return wav;
    wav.channels = info.channels;
    wav.sampleRate = info.samplerate;
    wav.samples.resize(static_cast<std::size_t>(info.frames * info.channels));
    EXPECT_EQ(sf_readf_float(f, wav.samples.data(), info.frames), info.frames);
    sf_close(f);
    return wav;
}

double EstimateFrequency(const Wav& wav, int channel, std::int64_t start)
{
    constexpr int kWindow = 4096;
    constexpr int kMinLag = 20;
    constexpr int kMaxLag = 1000;
    constexpr double kPeakShare = 0.8;
    if (wav.Frames() < start + kWindow + kMaxLag + 1) return 0.0;
    std::vector<double> x(kWindow + kMaxLag + 1);
    double mean = 0.0;
    for (std::size_t k = 0; k < x.size(); ++k)
        mean += x[k] = wav.At(start + static_cast<std::int64_t>(k), channel);
    mean /= static_cast<double>(x.size());
    for (double& v : x)
        v -= mean;
    std::vector<double> c(kMaxLag + 1, 0.0);
    for (int lag = kMinLag - 1; lag <= kMaxLag; ++lag)
        for (int k = 0; k < kWindow; ++k)
            c[lag] += x[k] * x[k + lag];
    const double highest = *std::max_element(c.begin() + kMinLag, c.end());
    for (int lag = kMinLag; lag < kMaxLag; ++lag)
        if (c[lag] >= kPeakShare * highest && c[lag] >= c[lag - 1] && c[lag] >= c[lag + 1])
            return wav.sampleRate / static_cast<double>(lag);
    return 0.0;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutFourCC(std::vector<std::uint8_t>& out, const char* code)
{
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<std::uint8_t>(code[k]));
}

static void PutVariableLength(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t groups[5];
    int n = 0;
    do
    {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value);
    while (n > 1)
        out.push_back(groups[--n] | 0x80);
    out.push_back(groups[0]);
}

static std::vector<std::uint8_t> MidiFileOfFormat(int format, int ticksPerQuarter,
                                                  const std::vector<std::vector<MidiEvent>>& tracks)
{
    std::vector<std::uint8_t> file;
    PutFourCC(file, "MThd");
    PutBigEndian(file, 6);
    PutBigEndian(file, static_cast<std::uint32_t>(format), 2);
    PutBigEndian(file, static_cast<std::uint32_t>(tracks.size()), 2);
    PutBigEndian(file, static_cast<std::uint32_t>(ticksPerQuarter), 2);
    for (const auto& events : tracks)
    {
        std::vector<std::uint8_t> track;
        for (const MidiEvent& e : events)
        {
            PutVariableLength(track, e.delta);
            track.insert(track.end(), e.bytes.begin(), e.bytes.end());
        }
        for (std::uint8_t b : {0x00, 0xFF, 0x2F, 0x00}) // end of track
            track.push_back(b);
        PutFourCC(file, "MTrk");
        PutBigEndian(file, static_cast<std::uint32_t>(track.size()));
        file.insert(file.end(), track.begin(), track.end());
    }
    return file;
}

std::vector<std::uint8_t> MidiFile(int ticksPerQuarter, const std::vector<MidiEvent>& events)
{
    return MidiFileOfFormat(0, ticksPerQuarter, {events});
}

std::vector<std::uint8_t> MidiFileWithTracks(int ticksPerQuarter,
                                             const std::vector<std::vector<MidiEvent>>& tracks)
{
    return MidiFileOfFormat(1, ticksPerQuarter, tracks);
}

std::vector<std::uint8_t> TempoEvent(double beatsPerMinute)
{
    std::vector<std::uint8_t> e = {0xFF, 0x51, 0x03};
    PutBigEndian(e, static_cast<std::uint32_t>(std::lround(60e6 / beatsPerMinute)), 3);
    return e;
}

} // namespace zr::e2e
