#pragma once

#include "engine/Engine.h"

#include <memory>
#include <vector>

namespace zr::test
{

constexpr double kRates[] = {44100.0, 48000.0};

struct TimedMessage
{
    long sample;
    MidiMessage message;
};

struct Stereo
{
    std::vector<double> left;
    std::vector<double> right;
};

MidiMessage NoteOn(int key, int velocity = 100);
MidiMessage NoteOff(int key);
MidiMessage Controller(int number, int value);
MidiMessage PitchBend(int lsb, int msb);

// The values a fresh program gives the engine (sawtooth, 8', sustain 1, "Damp", "Use Hold" on ...).
void ApplyFreshProgram(Engine& engine);
// A set-up engine with a fresh program.
std::unique_ptr<Engine> MakeEngine(double fs, int maxBlockSize = 4096);
// Only block b reaches the output.
void SoloBlock(Engine& engine, int b);

// Renders `total` samples in host blocks of blockSize, handing every message to the engine before
// the process call its sample falls in, with the offset inside that call.
Stereo Render(Engine& engine, const std::vector<TimedMessage>& messages, long total, int blockSize);
// Renders n samples with no messages.
Stereo Render(Engine& engine, long n, int blockSize = 256);

// A running host transport: every Play call hands the engine the position of its first sample.
class HostTransport
{
public:
    HostTransport(double fs, double tempo) : fs_(fs) { info_.tempo = tempo, info_.playing = true; }
    void SetTempo(double tempo) { info_.tempo = tempo; }
    // Renders n samples (one process call) and returns the left channel.
    std::vector<double> Play(Engine& engine, int n);

private:
    double fs_;
    double samples_ = 0.0;
    double beats_ = 0.0;
    HostTimeInfo info_;
};

// Frequency from the rising zero crossings of x[from..to), interpolated between samples.
double ZeroCrossingFrequency(const std::vector<double>& x, long from, long to, double fs);
double Rms(const std::vector<double>& x, long from, long to);
double Peak(const std::vector<double>& x, long from, long to);

} // namespace zr::test
