#include "TempoMap.h"

#include <cmath>

namespace zr::render
{

namespace
{
constexpr double kSecondsPerMinute = 60.0;
constexpr double kQuarterDenominator = 4.0;
} // namespace

TempoMap::TempoMap()
{
    segments_.push_back({0.0, 0.0, kSecondsPerMinute / kDefaultTempo, 4, 4, 0.0});
}

void TempoMap::AddChange(double ppq, double beatsPerMinute, int numerator, int denominator)
{
    if (!(beatsPerMinute > 0.0) || !std::isfinite(beatsPerMinute)) beatsPerMinute = kDefaultTempo;
    if (numerator <= 0 || denominator <= 0)
    {
        numerator = 4;
        denominator = 4;
    }
    const Segment& last = segments_.back();
    if (ppq < last.ppq) ppq = last.ppq;
    const bool newSignature = numerator != last.numerator || denominator != last.denominator;
    Segment next{ppq,       SecondsAt(ppq), kSecondsPerMinute / beatsPerMinute,
                 numerator, denominator,    newSignature ? ppq : last.barOriginPpq};
    if (ppq == last.ppq)
        segments_.back() = next;
    else
        segments_.push_back(next);
}

double TempoMap::SecondsAt(double ppq) const
{
    const Segment* s = &segments_.front();
    for (const Segment& candidate : segments_)
        if (candidate.ppq <= ppq) s = &candidate;
    return s->seconds + (ppq - s->ppq) * s->secondsPerQuarter;
}

MusicalPosition TempoMap::At(double seconds) const
{
    const Segment* s = &segments_.front();
    for (const Segment& candidate : segments_)
        if (candidate.seconds <= seconds) s = &candidate;
    MusicalPosition p;
    p.ppq = s->ppq + (seconds - s->seconds) / s->secondsPerQuarter;
    p.tempo = kSecondsPerMinute / s->secondsPerQuarter;
    p.numerator = s->numerator;
    p.denominator = s->denominator;
    const double barLength = s->numerator * kQuarterDenominator / s->denominator;
    p.barStartPpq = s->barOriginPpq + std::floor((p.ppq - s->barOriginPpq) / barLength) * barLength;
    return p;
}

} // namespace zr::render
