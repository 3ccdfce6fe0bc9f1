// Helpers for the render host's end-to-end tests: running the built tool, reading its WAV
// output, writing small MIDI and fxp/fxb files byte by byte.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zr::e2e
{

struct ToolRun
{
    int exitCode = -1;
    std::string out;
    std::string err;
};

struct Wav
{
    int channels = 0;
    int sampleRate = 0;
    std::vector<float> samples; // interleaved
    std::int64_t Frames() const
    {
        return channels ? static_cast<std::int64_t>(samples.size()) / channels : 0;
    }
    float At(std::int64_t frame, int channel) const
    {
        return samples[static_cast<std::size_t>(frame * channels + channel)];
    }
    double Peak() const;
    double Rms() const;
};

// A temporary folder, removed with its contents at the end of the test; HOME and XDG folders
// point into it while it lives, so third-party plug-ins never touch the real user's files.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::vector<std::pair<std::string, std::string>> savedEnv_;
};

// Runs the tool with the given arguments (each passed as one argument) and extra environment
// assignments ("NAME=VALUE").
ToolRun RunTool(const std::string& tool, const std::vector<std::string>& args,
                const std::vector<std::string>& env = {});

Wav ReadWav(const std::string& path); // fails the test when unreadable

// Fundamental frequency of one channel from `start` on: the first autocorrelation peak that
// reaches 80 % of the highest one (higher peaks sit at multiples of the period).
double EstimateFrequency(const Wav& wav, int channel, std::int64_t start);

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// A format-0 MIDI file: one track of (delta ticks, bytes) events; end of track is appended.
struct MidiEvent
{
    std::uint32_t delta;
    std::vector<std::uint8_t> bytes;
};
std::vector<std::uint8_t> MidiFile(int ticksPerQuarter, const std::vector<MidiEvent>& events);
// A format-1 MIDI file with one track chunk per entry.
std::vector<std::uint8_t> MidiFileWithTracks(int ticksPerQuarter,
                                             const std::vector<std::vector<MidiEvent>>& tracks);
std::vector<std::uint8_t> TempoEvent(double beatsPerMinute); // meta event bytes

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes = 4);
void PutFourCC(std::vector<std::uint8_t>& out, const char* code);

} // namespace zr::e2e
