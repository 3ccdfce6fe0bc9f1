#pragma once

#include "common/HostTimeInfo.h"

#include <algorithm>
#include <array>

namespace zr
{

// Turns the host's tempo and musical position into twenty beat divisions ("4/1" ... "1/64").
// Every division keeps its own cycle length, countdown to the next start and edge state, and all of
// them run every sample, so that switching a division costs nothing. Division 0 is "off". The
// countdowns are kept as the value at their last restart and the step count since, and a step
// looks at the divisions only when the earliest of them is due, so a step costs a few instructions.
// Division starts stay on multiples of the division's length counted from musical position 0: each
// division keeps the number of its next start, so its restarts never drift from the host's grid.
// While the host's position agrees with the samples the clock has stepped, a transport update
// leaves every start where it is, whatever the host's block size; a jump realigns.
// Audio thread only (transport update once per host process call, step once per sample).
class HostClock
{
public:
    static constexpr int kDivisionCount = 21; // "off" plus twenty divisions
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr double kDefaultTempo = 120.0;
    static constexpr double kTempoResolution = 1000.0; // tempo is rounded to 1/1000 beat per minute
    // A host position within this many samples of the clock's own count is no jump.
    static constexpr double kPositionTolerance = 0.5;
    // Length of every division in beats (quarter notes); entry 0 holds no division.
    // clang-format off
    static constexpr std::array<double, kDivisionCount> kDivisionBeats = {
        0.0,                                     // "off"
        16.0, 12.0, 8.0, 6.0, 4.0,               // "4/1"  "2/1."  "2/1"  "1/1."  "1/1"
        3.0, 2.0, 1.5, 4.0 / 3.0, 1.0,           // "1/2." "1/2"   "1/4." "1/2T"  "1/4"
        0.75, 2.0 / 3.0, 0.5, 0.375, 1.0 / 3.0,  // "1/8." "1/4T"  "1/8"  "1/16." "1/8T"
        0.25, 0.1875, 1.0 / 6.0, 0.125, 0.0625}; // "1/16" "1/32." "1/16T" "1/32" "1/64"
    // clang-format on

    HostClock();

    // Set-up: division lengths are counted in samples at this rate (taken at the next tempo update).
    void SetSampleRate(double sampleRate);

    // Once per host process call, before rendering. The host's position is that of the call's first
    // sample; samplesAhead is how many samples past it the clock has already been stepped (the rest
    // of a control tick begun in the previous call).
    void UpdateTransport(const HostTimeInfo& info, int samplesAhead = 0);

    // Once per sample.
    void Step();

    // Once per control tick for each external clock: true at the first test after division d has
    // restarted. The edge state belongs to the division, so of two clocks on one division only the
    // first tested reports the start. Out-of-range and "off" divisions never start.
    bool DivisionStart(int division);

    static bool IsDivision(int division) { return division > 0 && division < kDivisionCount; }

    // Cycle length and samples left to the next start of division d (0 for "off" or out of range).
    int Period(int division) const { return IsDivision(division) ? period[division] : 0; }
    int Phase(int division) const { return IsDivision(division) ? CurrentPhase(division) : 0; }
    double PeriodExact(int division) const { return IsDivision(division) ? periodExact[division] : 0.0; }
    double NextStart(int division) const { return IsDivision(division) ? nextStart[division] : 0.0; }
    double Counter() const { return counter; }
    double SamplesPerBeat() const { return samplesPerBeat; }
    double Tempo() const { return transport.tempo; }
    bool Running() const { return running; }

private:
    double ReadTempo(const HostTimeInfo& info);
    void StartPlaying(const HostTimeInfo& info, int samplesAhead);
    void Follow(const HostTimeInfo& info, int samplesAhead);
    bool AgreesWithHost(double position, double samplePosition, int samplesAhead,
                        double countedPerBeat) const;
    void Rescale(double countedPerBeat, int samplesAhead);
    void Realign();
    void SetNextStart(int division, double index);
    void RestartDivisions();
    void Restart(int division);
    void FindEarliestStart();
    // Counts down by one per step from the value at the last restart, and stops at 0.
    int CurrentPhase(int division) const
    {
        return static_cast<int>(std::max(phaseAtRestart[division] - (steps - restartStep[division]), 0LL));
    }

    HostTimeInfo transport;
    std::array<int, kDivisionCount> period{};
    std::array<long long, kDivisionCount> phaseAtRestart{};
    std::array<long long, kDivisionCount> restartStep{};
    long long steps = 0;
    std::array<double, kDivisionCount> nextStart{};
    std::array<double, kDivisionCount> nextIndex{}; // nextStart = nextIndex * periodExact
    double earliestStart = 0.0;                     // the smallest nextStart
    std::array<double, kDivisionCount> periodExact{};
    double counter = 0.0;
    double sampleRate = kDefaultSampleRate;
    double samplesPerBeat = 0.0;
    double lastPosition = 0.0;
    std::array<bool, kDivisionCount> edgeState{};
    bool started = false;
    bool running = false;
};

} // namespace zr
