#pragma once

#include "instrument/Tunings.h"

#include <array>
#include <optional>

namespace zr
{

// Tune values of one block in cents, indexed like the block parameters "Tune C" (0) … "Tune B" (11).
using TuneValues = std::array<double, kDegreeCount>;
// New tune values for some notes of a block; an empty entry leaves that note's parameter alone.
using TuneUpdate = std::array<std::optional<double>, kDegreeCount>;
// Cents of scale degrees 1 … 12 (index degree − 1); an empty entry is a pitch that failed to read.
using DegreePitches = std::array<std::optional<double>, kDegreeCount>;

// Maps scale degrees onto the twelve Tune parameters of a block and back: degree k belongs to the note
// name k semitones above the reference note A, and its Tune value is the cents of the degree minus
// those k equal-tempered semitones, limited to the range of a Tune parameter.
// Every operation is plain data in, plain data out; the caller sets the block's parameters.
class Microtuning
{
public:
    static constexpr double kCentsPerSemitone = 100.0;
    static constexpr double kTuneLimit = 100.0;            // a Tune parameter spans −100 … +100 cents
    static constexpr double kRecogniseTolerance = 0.00001; // cents
    static constexpr int kCustomTuning = -1;               // no built-in tuning matches
    static constexpr int kReferenceNote = 9;               // note index of A, the reference of degree 12

    // Note index (0 = C … 11 = B) of degree 1 … 12.
    static int NoteOfDegree(int degree);
    // Tune value that puts degree 1 … 12 at the given cents above A, limited to ±100 cents.
    static double TuneOfDegree(int degree, double cents);
    // Cents above A that degree 1 … 12 has for the given tune values.
    static double CentsOfDegree(int degree, const TuneValues& tunes);

    // The twelve tune values of built-in tuning 0 … 13; empty for any other number.
    static std::optional<TuneValues> TunesOfBuiltIn(int tuning);
    // The first built-in tuning whose every degree lies within 1e-5 cents of the tune values,
    // else kCustomTuning.
    static int Recognise(const TuneValues& tunes);
    // Tune updates for the degrees read from a scale file: degrees that read become a value,
    // failed or missing degrees stay empty.
    static TuneUpdate TunesOfPitches(const DegreePitches& pitches);
    // Applies an update onto a block's values.
    static void Apply(const TuneUpdate& update, TuneValues& tunes);
};

} // namespace zr
