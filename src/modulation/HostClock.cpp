#include "modulation/HostClock.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace zr
{

namespace
{
// Nearest whole number of samples, kept inside the int range whatever the host's tempo.
int RoundedPeriod(double exact)
{
    const double rounded = std::floor(exact + 0.5);
    if (!(rounded > 0.0)) return 0;
    return rounded >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

double FiniteOr(double value, double fallback)
{
    return std::isfinite(value) ? value : fallback;
}
} // namespace

HostClock::HostClock()
{
    edgeState.fill(true); // no division reports a start before it has restarted once
}

void HostClock::SetSampleRate(double rate)
{
    if (std::isfinite(rate) && rate > 0.0) sampleRate = rate;
}

void HostClock::UpdateTransport(const HostTimeInfo& info, int samplesAhead)
{
    if (!started)
    {
        started = true;
        Follow(info, samplesAhead); // division lengths exist before anything restarts
    }
    if (info.playing != running)
    {
        running = info.playing;
        if (running)
        {
            StartPlaying(info, samplesAhead);
            return;
        }
    }
    // Stopped, the clock runs on at the last tempo; its starts stay on its own grid.
    if (running) Follow(info, samplesAhead);
}

// Takes the host's tempo and sets the division lengths; returns the samples per beat counted
// with until now (0 before the first tempo).
double HostClock::ReadTempo(const HostTimeInfo& info)
{
    transport = info;
    double tempo = std::round(FiniteOr(info.tempo, 0.0) * kTempoResolution) / kTempoResolution;
    if (!(tempo > 0.0)) tempo = kDefaultTempo;
    transport.tempo = tempo;
    const double counted = samplesPerBeat;
    samplesPerBeat = 60.0 / tempo * sampleRate;
    for (int d = 1; d < kDivisionCount; ++d)
    {
        periodExact[d] = kDivisionBeats[d] * samplesPerBeat;
        period[d] = RoundedPeriod(periodExact[d]);
    }
    return counted;
}

namespace
{
// The clock's count for the host's position: samples from musical position 0 at the call's first
// sample plus those already stepped past it; a negative sample position (stops the clock) as it is.
double HostCounter(double position, double samplePosition, int samplesAhead, double perBeat)
{
    return samplePosition >= 0.0 ? position * perBeat + samplesAhead : samplePosition;
}
} // namespace

// The transport has started: every division restarts and the next starts follow the host's position.
void HostClock::StartPlaying(const HostTimeInfo& info, int samplesAhead)
{
    ReadTempo(info);
    const double position = FiniteOr(info.musicalPosition, -1.0);
    counter = HostCounter(position, FiniteOr(info.samplePosition, -1.0), samplesAhead, samplesPerBeat);
    RestartDivisions();
    Realign();
    lastPosition = position;
}

void HostClock::Follow(const HostTimeInfo& info, int samplesAhead)
{
    const double counted = ReadTempo(info);
    const double position = FiniteOr(info.musicalPosition, -1.0);
    const double samplePosition = FiniteOr(info.samplePosition, -1.0);
    if (position == lastPosition)
    {
        counter = HostCounter(position, samplePosition, samplesAhead, samplesPerBeat);
    }
    else if (position < lastPosition) // the host jumped back: every division restarts
    {
        counter = 0.0;
        RestartDivisions();
        Realign();
    }
    else if (AgreesWithHost(position, samplePosition, samplesAhead, counted))
    {
        Rescale(counted, samplesAhead);
    }
    else
    {
        counter = HostCounter(position, samplePosition, samplesAhead, samplesPerBeat);
        Realign();
    }
    lastPosition = position;
}

// True when the clock's count, at the tempo it counted with, is where the host's position says.
bool HostClock::AgreesWithHost(double position, double samplePosition, int samplesAhead,
                               double countedPerBeat) const
{
    if (!(countedPerBeat > 0.0) || counter < 0.0 || samplePosition < 0.0) return false;
    const double expected = HostCounter(position, samplePosition, samplesAhead, countedPerBeat);
    return std::fabs(counter - expected) <= kPositionTolerance;
}

// After a tempo change, keeps the count up to the call's first sample and every division's next
// start in beats. The samples already stepped past that sample belong to this call, at its tempo.
void HostClock::Rescale(double countedPerBeat, int samplesAhead)
{
    if (samplesPerBeat == countedPerBeat) return;
    counter = (counter - samplesAhead) / countedPerBeat * samplesPerBeat + samplesAhead;
    for (int d = 1; d < kDivisionCount; ++d)
        SetNextStart(d, nextIndex[d]);
    FindEarliestStart();
}

void HostClock::Realign()
{
    for (int d = 1; d < kDivisionCount; ++d)
    {
        if (!(periodExact[d] > 0.0)) continue; // no tempo seen yet
        double index = std::floor(counter / periodExact[d]);
        if (index * periodExact[d] < counter) index += 1.0;
        SetNextStart(d, index);
    }
    FindEarliestStart();
}

void HostClock::SetNextStart(int d, double index)
{
    nextIndex[d] = index;
    nextStart[d] = index * periodExact[d];
}

void HostClock::RestartDivisions()
{
    for (int d = 1; d < kDivisionCount; ++d)
        Restart(d);
}

void HostClock::Restart(int d)
{
    phaseAtRestart[d] = period[d];
    restartStep[d] = steps;
}

void HostClock::FindEarliestStart()
{
    earliestStart = *std::min_element(nextStart.begin() + 1, nextStart.end());
}

void HostClock::Step()
{
    if (counter < 0.0) return;
    counter += 1.0;
    ++steps;
    if (counter < earliestStart) return;
    for (int d = 1; d < kDivisionCount; ++d)
    {
        if (counter >= nextStart[d] && periodExact[d] > 0.0)
        {
            // The next multiple of the length after the count (more than one apart only when a
            // division is shorter than a sample).
            SetNextStart(d, std::max(nextIndex[d] + 1.0, std::floor(counter / periodExact[d]) + 1.0));
            Restart(d);
        }
    }
    FindEarliestStart();
}

bool HostClock::DivisionStart(int division)
{
    if (!IsDivision(division)) return false;
    const bool first = 2LL * CurrentPhase(division) >= period[division];
    const bool start = first && !edgeState[division];
    edgeState[division] = first;
    return start;
}

} // namespace zr
