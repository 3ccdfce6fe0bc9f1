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

void HostClock::UpdateTransport(const HostTimeInfo& info)
{
    if (!started)
    {
        started = true;
        UpdateTempo(info);
        return;
    }
    if (info.playing != running)
    {
        running = info.playing;
        if (running)
        {
            counter = 0.0;
            RestartDivisions();
        }
    }
    if (running)
        UpdateTempo(info);
    else
        Realign();
}

void HostClock::UpdateTempo(const HostTimeInfo& info)
{
    transport = info;
    double tempo = std::round(FiniteOr(info.tempo, 0.0) * kTempoResolution) / kTempoResolution;
    if (!(tempo > 0.0)) tempo = kDefaultTempo;
    transport.tempo = tempo;
    samplesPerBeat = 60.0 / tempo * sampleRate;
    for (int d = 1; d < kDivisionCount; ++d)
    {
        periodExact[d] = kDivisionBeats[d] * samplesPerBeat;
        period[d] = RoundedPeriod(periodExact[d]);
    }
    const double position = FiniteOr(info.musicalPosition, -1.0);
    const double samplePosition = FiniteOr(info.samplePosition, -1.0);
    counter = samplePosition >= 0.0 ? position * samplesPerBeat : samplePosition;
    if (position != lastPosition)
    {
        if (position < lastPosition)
        {
            counter = 0.0;
            RestartDivisions();
        }
        Realign();
    }
    lastPosition = position;
}

void HostClock::Realign()
{
    for (int d = 1; d < kDivisionCount; ++d)
    {
        if (!(periodExact[d] > 0.0)) continue; // no tempo seen yet
        nextStart[d] = std::floor(counter / periodExact[d]) * periodExact[d];
        if (nextStart[d] < counter) nextStart[d] += periodExact[d];
    }
    FindEarliestStart();
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
        if (counter >= nextStart[d])
        {
            nextStart[d] = counter + periodExact[d];
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
