#include "instrument/Microtuning.h"

#include <algorithm>
#include <cmath>

namespace zr
{

int Microtuning::NoteOfDegree(int degree)
{
    return (kReferenceNote + degree) % kDegreeCount;
}

double Microtuning::TuneOfDegree(int degree, double cents)
{
    return std::clamp(cents - kCentsPerSemitone * degree, -kTuneLimit, kTuneLimit);
}

double Microtuning::CentsOfDegree(int degree, const TuneValues& tunes)
{
    return kCentsPerSemitone * degree + tunes[NoteOfDegree(degree)];
}

std::optional<TuneValues> Microtuning::TunesOfBuiltIn(int tuning)
{
    if (tuning < 0 || tuning >= kTuningCount) return std::nullopt;
    const Tuning& t = BuiltInTunings()[tuning];
    TuneValues tunes{};
    for (int k = 1; k <= kDegreeCount; ++k)
        tunes[NoteOfDegree(k)] = TuneOfDegree(k, t.degreeCents[k - 1]);
    return tunes;
}

int Microtuning::Recognise(const TuneValues& tunes)
{
    const auto& tunings = BuiltInTunings();
    for (int t = 0; t < kTuningCount; ++t)
    {
        bool matches = true;
        for (int k = 1; k <= kDegreeCount && matches; ++k)
            matches =
                std::fabs(CentsOfDegree(k, tunes) - tunings[t].degreeCents[k - 1]) <= kRecogniseTolerance;
        if (matches) return t;
    }
    return kCustomTuning;
}

TuneUpdate Microtuning::TunesOfPitches(const DegreePitches& pitches)
{
    TuneUpdate update;
    for (int k = 1; k <= kDegreeCount; ++k)
        if (pitches[k - 1] && std::isfinite(*pitches[k - 1]))
            update[NoteOfDegree(k)] = TuneOfDegree(k, *pitches[k - 1]);
    return update;
}

void Microtuning::Apply(const TuneUpdate& update, TuneValues& tunes)
{
    for (int note = 0; note < kDegreeCount; ++note)
        if (update[note]) tunes[note] = *update[note];
}

} // namespace zr
