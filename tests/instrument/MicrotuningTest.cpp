#include "instrument/Microtuning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zr
{
namespace
{

// Block parameter index of each note name.
enum Note
{
    C = 0,
    Cs,
    D,
    Ds,
    E,
    F,
    Fs,
    G,
    Gs,
    A,
    As,
    B
};

TEST(Microtuning, DegreesMapOntoNoteNamesAboveA)
{
    const int expected[kDegreeCount] = {As, B, C, Cs, D, Ds, E, F, Fs, G, Gs, A};
    for (int k = 1; k <= kDegreeCount; ++k)
        EXPECT_EQ(Microtuning::NoteOfDegree(k), expected[k - 1]) << "degree " << k;
}

TEST(Microtuning, BuiltInTableHasTheMenuNamesAndExactValues)
{
    const char* names[kTuningCount] = {"Equal",
                                       "Just",
                                       "Kirnberger",
                                       "Pythagorean",
                                       "Valotti + Young",
                                       "Werckmeister III",
                                       "Meantone, 1/4 comma",
                                       "Meantone, 1/5 comma",
                                       "Bagpipe",
                                       "Chinese Lu",
                                       "Wendy Carlos Super Just",
                                       "Wendy Carlos Harmonic",
                                       "Pentatonic",
                                       "Heptatonic"};
    const auto& tunings = BuiltInTunings();
    for (int t = 0; t < kTuningCount; ++t)
    {
        EXPECT_EQ(tunings[t].name, names[t]);
        if (t != 13)
        {
            EXPECT_EQ(tunings[t].degreeCents[11], 1200.0) << names[t];
        }
    }
    EXPECT_EQ(tunings[1].degreeCents[9], 1015.96);
    EXPECT_EQ(tunings[9].degreeCents[9], 1017.596);
    EXPECT_EQ(tunings[6].degreeCents[0], 85.72);
    EXPECT_EQ(tunings[8].degreeCents[10], 1049.363);
    EXPECT_EQ(tunings[11].degreeCents[4], 470.7811);
    EXPECT_EQ(tunings[13].degreeCents[11], 1157.0);
}

TEST(Microtuning, EqualIsAllZeroAndJustMatchesItsTable)
{
    const TuneValues equal = *Microtuning::TunesOfBuiltIn(0);
    for (double tune : equal)
        EXPECT_EQ(tune, 0.0);
    const TuneValues just = *Microtuning::TunesOfBuiltIn(1);
    EXPECT_NEAR(just[As], 11.7313, 1e-12);
    EXPECT_NEAR(just[G], 1015.96 - 1000.0, 1e-12);
    EXPECT_EQ(just[A], 0.0);
    EXPECT_EQ(Microtuning::Recognise(equal), 0);
    EXPECT_EQ(Microtuning::Recognise(just), 1);
}

TEST(Microtuning, NeighbouringKeysOfPentatonicAndHeptatonicReachTheLimits)
{
    const TuneValues penta = *Microtuning::TunesOfBuiltIn(12);
    EXPECT_EQ(penta[As], -100.0);
    EXPECT_EQ(penta[C], -100.0);
    EXPECT_EQ(penta[Fs], 0.0);
    EXPECT_EQ(penta[G], -100.0);
    EXPECT_EQ(penta[Gs], 100.0);
    const TuneValues hepta = *Microtuning::TunesOfBuiltIn(13);
    EXPECT_EQ(hepta[As], 29.0);
    EXPECT_EQ(hepta[B], -71.0);
    EXPECT_EQ(hepta[A], -43.0);
}

TEST(Microtuning, EveryBuiltInIsRecognisedAfterApplyAndAnyOffsetMakesItCustom)
{
    for (int t = 0; t < kTuningCount; ++t)
    {
        const TuneValues tunes = *Microtuning::TunesOfBuiltIn(t);
        EXPECT_EQ(Microtuning::Recognise(tunes), t) << BuiltInTunings()[t].name;
        for (int note = 0; note < kDegreeCount; ++note)
        {
            TuneValues nudged = tunes;
            nudged[note] += 2e-5;
            EXPECT_EQ(Microtuning::Recognise(nudged), Microtuning::kCustomTuning) << t << " note " << note;
            nudged[note] = tunes[note] - 0.5e-5;
            EXPECT_EQ(Microtuning::Recognise(nudged), t) << t << " note " << note;
        }
    }
}

TEST(Microtuning, BadInputIsRejected)
{
    EXPECT_FALSE(Microtuning::TunesOfBuiltIn(-1));
    EXPECT_FALSE(Microtuning::TunesOfBuiltIn(kTuningCount));
    TuneValues tunes{};
    tunes[E] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(Microtuning::Recognise(tunes), Microtuning::kCustomTuning);
}

TEST(Microtuning, PitchesBecomeLimitedTunesOfTheirNotesOnly)
{
    EXPECT_NEAR(Microtuning::TuneOfDegree(7, 1200.0 * std::log2(1.5)), 1.955, 1e-3);
    EXPECT_EQ(Microtuning::TuneOfDegree(1, 1200.0 * std::log2(1200.0)), 100.0);
    EXPECT_EQ(Microtuning::TuneOfDegree(12, -5000.0), -100.0);

    DegreePitches pitches;
    for (int k = 1; k <= 7; ++k)
        pitches[k - 1] = 100.0 * k + 10.0;
    pitches[3] = std::numeric_limits<double>::infinity(); // degree 4 (C#) cannot be taken
    TuneValues tunes;
    tunes.fill(-7.0);
    Microtuning::Apply(Microtuning::TunesOfPitches(pitches), tunes);
    for (int note : {As, B, C, D, Ds, E})
        EXPECT_EQ(tunes[note], 10.0) << note;
    for (int note : {Cs, F, Fs, G, Gs, A})
        EXPECT_EQ(tunes[note], -7.0) << note;
}

} // namespace
} // namespace zr
