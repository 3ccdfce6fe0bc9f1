#include "instrument/BlockTuning.h"
#include "plugin/TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{

namespace fs = std::filesystem;

// A folder of its own under the system's temporary folder, removed with everything in it.
class TuningFolder
{
public:
    TuningFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "zr-blocktuning-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : "";
    }
    ~TuningFolder()
    {
        std::error_code error;
        if (!path_.empty()) fs::remove_all(path_, error);
    }
    std::string Write(const std::string& name, const std::string& text) const
    {
        const std::string file = path_ + "/" + name;
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

double Tune(const TestPlug& plug, int block, int note)
{
    return plug.GetParam(Param::BlockParamIndex(block, Param::kTuneC + note))->Value();
}

constexpr int kA = Param::kTuneA, kASharp = Param::kTuneASharp, kE = Param::kTuneE;

TEST(BlockTuning, BuiltInTuningsApplyAndRecognise)
{
    TestPlug plug;
    for (int t = 0; t < kTuningCount; ++t)
    {
        SCOPED_TRACE(t);
        plug.ClearRecords();
        ASSERT_TRUE(BlockTuning(plug, 1).ApplyBuiltIn(t));
        EXPECT_EQ(plug.changed.size(), static_cast<std::size_t>(kDegreeCount));
        for (int index : plug.changed)
            EXPECT_EQ(Param::BlockOf(index), 1);
        // Each change was reported, then the whole set once more.
        EXPECT_EQ(plug.automated.size(), static_cast<std::size_t>(kDegreeCount + Param::kNumParams));
        // "Pentatonic" and "Heptatonic" share degrees with others only in part: each recognises
        // as itself, being the first match in menu order.
        EXPECT_EQ(BlockTuning(plug, 1).Recognise(), t);
        EXPECT_EQ(BlockTuning(plug, 0).Recognise(), 0) << "other blocks stay equal";
    }
    BlockTuning(plug, 2).ApplyBuiltIn(1); // "Just"
    EXPECT_NEAR(Tune(plug, 2, kASharp), 11.7313, 1e-9);
    EXPECT_NEAR(Tune(plug, 2, kA), 0.0, 1e-9);
    BlockTuning(plug, 2).ApplyBuiltIn(2); // "Kirnberger", then one knob moves
    plug.SetParamFromEditor(Param::BlockParamIndex(2, kE), 0.51);
    EXPECT_EQ(BlockTuning(plug, 2).Recognise(), Microtuning::kCustomTuning);

    for (int bad : {-1, kTuningCount})
        EXPECT_FALSE(BlockTuning(plug, 0).ApplyBuiltIn(bad));
    EXPECT_FALSE(BlockTuning(plug, 3).ApplyBuiltIn(0));
    EXPECT_EQ(BlockTuning(plug, -1).Recognise(), Microtuning::kCustomTuning);
}

TEST(BlockTuning, LoadSetsOnlyTheDegreesThatRead)
{
    TuningFolder folder;
    TestPlug plug;
    BlockTuning block(plug, 0);
    // Count 7 with a comment before the pitches, CR-only line ends, a ratio for the fifth, a
    // failed 0/1, a ratio of 1200 limited to +100 cents and a line starting " !" that is no comment.
    const std::string file = folder.Write(
        "seven.scl",
        "description\r 7\r! comment\r0/1\r 203.91\r-3/2\r400.\r ! no comment\r1200\r3/2 fifth\r 900.0\r");
    plug.ClearRecords();
    ASSERT_TRUE(block.Load(file));
    EXPECT_EQ(Tune(plug, 0, kASharp), 0.0) << "0/1 changes nothing";
    EXPECT_NEAR(Tune(plug, 0, Param::kTuneB), 3.91, 1e-9);
    EXPECT_EQ(Tune(plug, 0, Param::kTuneC), 0.0) << "-3/2 changes nothing";
    EXPECT_NEAR(Tune(plug, 0, Param::kTuneDSharp), 100.0, 1e-9) << "degree 6: 1200/1 limited";
    EXPECT_NEAR(Tune(plug, 0, kE), 1200.0 * std::log2(1.5) - 700.0, 1e-9);
    // B, C# (400. sets 0), D# and E; the " !" line is degree 5 and fails to read.
    EXPECT_EQ(plug.changed.size(), 4u);
    EXPECT_EQ(Tune(plug, 0, Param::kTuneG), 0.0) << "degree 10 lies beyond the count";

    // 701.955 and 3/2 give the same value.
    TestPlug other;
    ASSERT_TRUE(BlockTuning(other, 0).Load(folder.Write("cents.scl", "x\n7\n\n\n\n\n\n\n701.955\n")));
    EXPECT_NEAR(Tune(other, 0, kE), Tune(plug, 0, kE), 1e-3);

    const std::vector<double> before = plug.Values();
    EXPECT_FALSE(block.Load(folder.File("missing.scl")));
    EXPECT_EQ(plug.Values(), before);
}

TEST(BlockTuning, SaveThenLoadGivesTheSameValues)
{
    TuningFolder folder;
    TestPlug plug;
    BlockTuning(plug, 2).ApplyBuiltIn(6); // "Meantone, 1/4 comma"
    plug.SetParamFromEditor(Param::BlockParamIndex(2, Param::kTuneD), 0.123);
    const std::string file = folder.File("saved.scl");
    ASSERT_TRUE(BlockTuning(plug, 2).Save(file));
    ASSERT_TRUE(BlockTuning(plug, 0).Load(file));
    for (int note = 0; note < kDegreeCount; ++note)
        EXPECT_NEAR(Tune(plug, 0, note), Tune(plug, 2, note), 1e-5) << note;
    EXPECT_FALSE(BlockTuning(plug, 2).Save(folder.File("no/such/folder/x.scl")));
}

} // namespace
