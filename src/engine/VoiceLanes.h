#pragma once

#include <cstdint>

namespace zr
{

// The voices of a group laid out lane by lane, as the voice kernels read and write them: lane i is
// the group's voice i. Lanes past the group's voices, up to the kernel's vector boundary, hold a
// silent voice: zero filter and envelope, the silent table and gain -0.0, so that it adds -0.0 to
// the mix, which changes no value (not even the sign of a zero). Plain arrays only: the kernels are
// compiled once per instruction set and share no inline code with the rest of the engine.
struct VoiceLanes
{
    static constexpr int kMax = 32; // voices per run of any kernel

    // The filter (FilterLanes' members): coefficients, integrator states, anti-denormal offset.
    alignas(64) double g[kMax];
    alignas(64) double a[kMax];
    alignas(64) double b[kMax];
    alignas(64) double d[kMax];
    alignas(64) double k[kMax];
    alignas(64) double s1[kMax];
    alignas(64) double s2[kMax];
    alignas(64) double s3[kMax];
    alignas(64) double offset[kMax];
    // The envelope: value, target and rate, and masks (every bit set or none) of the lanes that
    // step at all, that may reach the end of their attack and that may reach the end of decay or
    // release.
    alignas(64) double emValue[kMax];
    alignas(64) double emTarget[kMax];
    alignas(64) double emRate[kMax];
    alignas(64) std::uint64_t stepping[kMax];
    alignas(64) std::uint64_t rising[kMax];
    alignas(64) std::uint64_t falling[kMax];
    alignas(64) double gain[kMax]; // keyboard level
    // Steady pitch: the oscillator read of each lane (phases, increment, wave table).
    alignas(64) std::uint32_t mainPhase[kMax];
    alignas(64) std::uint32_t pulsePhase[kMax];
    alignas(64) std::uint32_t increment[kMax];
    alignas(64) const double* table[kMax];
};

// Where a run takes the oscillator signal from: the signal rendered beforehand (pitch moving within
// the chunk), or its own table reads at one increment per lane (steady pitch), sawtooth/triangle or
// pulse (the difference of two reads).
enum LaneRead : int
{
    kRenderedSignal,
    kSteadyRead,
    kSteadyPulseRead
};

// One call of a voice kernel: samples begin .. end - 1 of a chunk, with the coefficients in the
// lanes unchanged throughout.
struct LaneRun
{
    VoiceLanes* lanes;
    int vectors;          // vectors of the kernel's width in use
    int read;             // LaneRead
    bool settled;         // every envelope settled (EM::Settled) for the run: no stage can end, and the
                          // filter states run without their NaN checks
    const double* signal; // rendered signal: sample j of lane i at signal[j * stride + i]
    int stride;
    double* mix; // each sample gets the lanes' outputs added in lane order
    int begin;
    int end;
    int p; // tick position of sample 0 (no envelope step at tick position 0)
};

// next: the sample to continue with. A checked run stops after the sample in which envelopes met
// the end of their stage (ended: bit i for lane i); the lanes then hold the state after that sample.
// A settled run returns next = -1, leaving the lanes unchanged (the mix is not), when a filter state
// ended non-finite; the range then has to be run again with the checks.
struct LaneResult
{
    int next;
    std::uint32_t ended;
};

} // namespace zr
