#include "instrument/ScalaFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace zr
{
namespace
{

namespace fs = std::filesystem;

const double kFifthCents = 1200.0 * std::log2(1.5);

// A folder of its own under the system's temporary folder, removed with everything in it.
class TempFolder
{
public:
    TempFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "zr-scala-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TempFolder()
    {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// A scale text whose lines are joined with the given line end.
std::string Lines(std::initializer_list<const char*> lines, const std::string& lineEnd = "\n")
{
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + lineEnd;
    return text;
}

int Count(const DegreePitches& pitches)
{
    int count = 0;
    for (const auto& pitch : pitches)
        count += pitch.has_value();
    return count;
}

TEST(ScalaFileParse, AllLineEndStylesReadTheSame)
{
    for (const std::string lineEnd : {"\n", "\r\n", "\n\r", "\r"})
    {
        const std::string text =
            Lines({"! comment", "description", " 3", "!", " 100.0", " 3/2", " 2"}, lineEnd);
        const DegreePitches pitches = ScalaFile::Parse(text);
        ASSERT_TRUE(pitches[0] && pitches[1] && pitches[2]) << "line end of " << lineEnd.size() << " chars";
        EXPECT_DOUBLE_EQ(*pitches[0], 100.0);
        EXPECT_NEAR(*pitches[1], kFifthCents, 1e-9);
        EXPECT_NEAR(*pitches[2], 1200.0, 1e-9);
        EXPECT_EQ(Count(pitches), 3);
    }
}

TEST(ScalaFileParse, CommentsAreWholeLinesStartingWithBang)
{
    const DegreePitches pitches =
        ScalaFile::Parse(Lines({"!a", "!b", "desc", "!c", "2", "!d", "!e", "701.955", " !not a comment"}));
    ASSERT_TRUE(pitches[0]);
    EXPECT_DOUBLE_EQ(*pitches[0], 701.955);
    EXPECT_FALSE(pitches[1]); // " !" is a field, and not a pitch
}

TEST(ScalaFileParse, FieldsStopAtBlanksAndTabs)
{
    const DegreePitches pitches =
        ScalaFile::Parse(Lines({"desc", "\t 3 notes", "  3/2 fifth", "\t701.955\tcents", "5/4!"}));
    EXPECT_NEAR(*pitches[0], kFifthCents, 1e-9);
    EXPECT_DOUBLE_EQ(*pitches[1], 701.955);
    EXPECT_NEAR(*pitches[2], 1200.0 * std::log2(1.25), 1e-9);
}

TEST(ScalaFileParse, CentsAndRatios)
{
    EXPECT_NEAR(*ScalaFile::PitchOfField("3/2"), kFifthCents, 1e-9);
    EXPECT_DOUBLE_EQ(*ScalaFile::PitchOfField("701.955"), 701.955);
    EXPECT_DOUBLE_EQ(*ScalaFile::PitchOfField("-50.5"), -50.5);
    EXPECT_DOUBLE_EQ(*ScalaFile::PitchOfField(".5"), 0.5);
    EXPECT_DOUBLE_EQ(*ScalaFile::PitchOfField("5."), 5.0);
    EXPECT_NEAR(*ScalaFile::PitchOfField("1200"), 1200.0 * std::log2(1200.0), 1e-9);
    EXPECT_NEAR(*ScalaFile::PitchOfField("2"), 1200.0, 1e-9);
    // A 31-digit ratio stays finite.
    EXPECT_TRUE(std::isfinite(*ScalaFile::PitchOfField("9999999999999999999999999999999")));
}

TEST(ScalaFileParse, FailedPitches)
{
    for (const char* field :
         {"0/1", "-3/2", "3/0", "3/-2", "3/", "abc", "", "abc.", ".", "-.", "nan.", "inf.", "1e999.", "!"})
        EXPECT_FALSE(ScalaFile::PitchOfField(field)) << '"' << field << '"';
}

TEST(ScalaFileParse, DegreeCountLimitsWhatIsRead)
{
    const std::string pitches = " 100.\n 200.\n 300.\n 400.\n 500.\n 600.\n 700.\n 800.\n 900.\n 1000.\n"
                                " 1100.\n 1200.\n 1300.\n";
    EXPECT_EQ(Count(ScalaFile::Parse("d\n7\n" + pitches)), 7);
    EXPECT_EQ(Count(ScalaFile::Parse("d\n20\n" + pitches)), 12);
    EXPECT_DOUBLE_EQ(*ScalaFile::Parse("d\n20\n" + pitches)[11], 1200.0);
    EXPECT_EQ(Count(ScalaFile::Parse("d\n000000000000012\n" + pitches)), 12); // 15 characters
    EXPECT_EQ(Count(ScalaFile::Parse("d\n0000000000000012\n" + pitches)), 0); // 16 characters
    EXPECT_EQ(Count(ScalaFile::Parse("d\nabc\n" + pitches)), 0);
    EXPECT_EQ(Count(ScalaFile::Parse("d\n-3\n" + pitches)), 0);
    EXPECT_EQ(Count(ScalaFile::Parse("d\n99999999999999\n" + pitches)), 12);
    // Too few notes in the file: the missing ones fail.
    EXPECT_EQ(Count(ScalaFile::Parse("d\n12\n 100.\n 3/2")), 2);
}

TEST(ScalaFileParse, OverlongPitchFieldFailsOnlyItsDegree)
{
    const std::string longest(31, '1');
    const std::string tooLong = "1" + std::string(30, '0') + ".";
    const DegreePitches pitches = ScalaFile::Parse("d\n3\n" + longest + "\n" + tooLong + "\n3/2\n");
    EXPECT_TRUE(pitches[0]);
    EXPECT_FALSE(pitches[1]);
    EXPECT_NEAR(*pitches[2], kFifthCents, 1e-9);
}

TEST(ScalaFileParse, EmptyBinaryAndHugeInputsAreHarmless)
{
    EXPECT_EQ(Count(ScalaFile::Parse("")), 0);
    EXPECT_EQ(Count(ScalaFile::Parse(std::string(1, '\0'))), 0);
    std::mt19937 rng(12345);
    std::string garbage(256 * 1024, '\0');
    for (char& c : garbage)
        c = static_cast<char>(rng());
    for (int i = 0; i < 8; ++i)
        ScalaFile::Parse(std::string_view(garbage).substr(i * 1000));
    const std::string longLine(4 << 20, '7');
    EXPECT_EQ(Count(ScalaFile::Parse("d\n2\n" + longLine + "\n3/2\n")), 1);
    EXPECT_EQ(Count(ScalaFile::Parse(longLine)), 0);
}

TEST(ScalaFileRead, MissingFoldersAndOversizedFiles)
{
    TempFolder folder;
    EXPECT_FALSE(ScalaFile::Read(folder.File("missing.scl")));
    EXPECT_FALSE(ScalaFile::Read(folder.Path()));
    // Only the first megabyte of a huge file is looked at; its leading pitches still read.
    WriteBytes(folder.File("big.scl"), "d\n1\n3/2\n" + std::string(3 << 20, '!'));
    const auto pitches = ScalaFile::Read(folder.File("big.scl"));
    ASSERT_TRUE(pitches && (*pitches)[0]);
    EXPECT_NEAR(*(*pitches)[0], kFifthCents, 1e-9);
}

TEST(ScalaFileWrite, ExactTextOfAnUntunedBlock)
{
    TuneValues tunes{};
    EXPECT_EQ(ScalaFile::Format("/home/u/My Scale.scl", tunes),
              "! My Scale.scl\n!\nZR-4400 Tuning Export\n 12\n!\n"
              " 100.00000\n 200.00000\n 300.00000\n 400.00000\n 500.00000\n 600.00000\n"
              " 700.00000\n 800.00000\n 900.00000\n 1000.00000\n 1100.00000\n 1200.00000\n");
    EXPECT_EQ(ScalaFile::Format("C:\\tunings\\x.scl", tunes).substr(0, 8), "! x.scl\n");
    EXPECT_EQ(ScalaFile::Format("bad\nname.scl", tunes).substr(0, 16), "! bad name.scl\n!");
}

TEST(ScalaFileWrite, DegreesAreWrittenInCentsOfTheirNotes)
{
    TuneValues tunes{};
    tunes[10] = 11.7313; // A#, degree 1
    tunes[9] = -0.00004; // A, degree 12
    tunes[4] = 1.955;    // E, degree 7
    tunes[0] = -100.0;   // C, degree 3
    const std::string text = ScalaFile::Format("t.scl", tunes);
    EXPECT_NE(text.find("\n!\n 111.73130\n 200.00000\n 200.00000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n 701.95500\n"), std::string::npos);
    EXPECT_NE(text.find("\n 1199.99996\n"), std::string::npos);
}

TEST(ScalaFileWrite, RoundTripKeepsEveryBuiltInAndCustomValues)
{
    TempFolder folder;
    const std::string path = folder.File("ZR-4400_tuning.scl");
    for (int t = 0; t < kTuningCount; ++t)
    {
        const TuneValues tunes = *Microtuning::TunesOfBuiltIn(t);
        ASSERT_TRUE(ScalaFile::Write(path, tunes));
        const auto pitches = ScalaFile::Read(path);
        ASSERT_TRUE(pitches);
        TuneValues loaded;
        loaded.fill(55.0);
        Microtuning::Apply(Microtuning::TunesOfPitches(*pitches), loaded);
        for (int note = 0; note < kDegreeCount; ++note)
            EXPECT_NEAR(loaded[note], tunes[note], 1e-9) << t << " note " << note;
        EXPECT_EQ(Microtuning::Recognise(loaded), t);
    }
    TuneValues custom;
    for (int note = 0; note < kDegreeCount; ++note)
        custom[note] = -99.0 + 17.123456789 * note;
    ASSERT_TRUE(ScalaFile::Write(path, custom));
    TuneValues loaded{};
    Microtuning::Apply(Microtuning::TunesOfPitches(*ScalaFile::Read(path)), loaded);
    for (int note = 0; note < kDegreeCount; ++note)
        EXPECT_NEAR(loaded[note], custom[note], 0.5e-5);
}

TEST(ScalaFileWrite, UncreatableFileFails)
{
    TempFolder folder;
    EXPECT_FALSE(ScalaFile::Write(folder.File("no/such/folder.scl"), TuneValues{}));
    EXPECT_FALSE(ScalaFile::Write(folder.Path(), TuneValues{}));
}

} // namespace
} // namespace zr
