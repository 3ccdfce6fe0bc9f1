#include "bankgen/FactoryText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace zr::bankgen
{
namespace
{

namespace fs = std::filesystem;

using Result = FactoryText::Result;

double NumberOf(const FactoryText::Entry& entry)
{
    return std::get<double>(entry.value);
}

const std::string& TextOf(const FactoryText::Entry& entry)
{
    return std::get<std::string>(entry.value);
}

// The single error of a text that should fail on exactly one line.
FactoryText::Error OnlyError(std::string_view text)
{
    const Result result = FactoryText::Parse(text);
    EXPECT_EQ(result.errors.size(), 1u) << text;
    return result.errors.empty() ? FactoryText::Error{-1, ""} : result.errors.front();
}

TEST(FactoryTextTest, ReadsProgramsEntriesBlocksAndLineNumbers)
{
    const Result result = FactoryText::Parse("program PAD: Waves of Sin\n"
                                             "A:Cutoff = 0.45\n"
                                             "B:Waveform = \"Triangle\"\n"
                                             "C:Coarse = -700\n"
                                             "Final = 0.5\n"
                                             "program Init\n");
    ASSERT_TRUE(result.Ok());
    ASSERT_EQ(result.programs.size(), 2u);
    const auto& pad = result.programs[0];
    EXPECT_EQ(pad.name, "PAD: Waves of Sin");
    EXPECT_EQ(pad.line, 1);
    ASSERT_EQ(pad.entries.size(), 4u);
    EXPECT_EQ(pad.entries[0].block, 0);
    EXPECT_EQ(pad.entries[0].parameter, "Cutoff");
    EXPECT_DOUBLE_EQ(NumberOf(pad.entries[0]), 0.45);
    EXPECT_EQ(pad.entries[0].line, 2);
    EXPECT_EQ(pad.entries[1].block, 1);
    EXPECT_TRUE(pad.entries[1].IsText());
    EXPECT_EQ(TextOf(pad.entries[1]), "Triangle");
    EXPECT_EQ(pad.entries[2].block, 2);
    EXPECT_DOUBLE_EQ(NumberOf(pad.entries[2]), -700.0);
    EXPECT_EQ(pad.entries[3].block, FactoryText::kGlobalBlock);
    EXPECT_EQ(pad.entries[3].parameter, "Final");
    EXPECT_EQ(pad.entries[3].line, 5);
    EXPECT_EQ(result.programs[1].name, "Init");
    EXPECT_TRUE(result.programs[1].entries.empty());
}

TEST(FactoryTextTest, CommentsOpenOnlyAtLineStartOrAfterBlanks)
{
    const Result result = FactoryText::Parse("# header\n"
                                             "   # indented comment\n"
                                             "program KEY: C# Organ   # name ends before this\n"
                                             "A:Tune C# = 5# no blank, so part of the value\n"
                                             "B:Tune C# = 5\t# after a tab\n"
                                             "S/H In = \"a # in quotes\" # comment\n"
                                             "C:Tune D#=-3#\n");
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(result.errors[0].line, 4);
    EXPECT_EQ(result.errors[1].line, 7);
    ASSERT_EQ(result.programs.size(), 1u);
    const auto& program = result.programs[0];
    EXPECT_EQ(program.name, "KEY: C# Organ");
    ASSERT_EQ(program.entries.size(), 2u);
    EXPECT_EQ(program.entries[0].parameter, "Tune C#");
    EXPECT_EQ(program.entries[0].block, 1);
    EXPECT_DOUBLE_EQ(NumberOf(program.entries[0]), 5.0);
    EXPECT_EQ(TextOf(program.entries[1]), "a # in quotes");
}

TEST(FactoryTextTest, BlankLinesCrLfTabsByteOrderMarkAndMissingFinalNewline)
{
    const Result result = FactoryText::Parse("\xEF\xBB\xBFprogram\tBAS: Tabbed  \r\n"
                                             "\r\n"
                                             "  \t \r\n"
                                             "\tA : Peak\t=\t0.3 \r\n"
                                             "Final = \"x\"\r\n"
                                             "Use Hold = 0");
    ASSERT_TRUE(result.Ok()) << result.errors.front().message;
    ASSERT_EQ(result.programs.size(), 1u);
    const auto& program = result.programs[0];
    EXPECT_EQ(program.name, "BAS: Tabbed");
    ASSERT_EQ(program.entries.size(), 3u);
    EXPECT_EQ(program.entries[0].block, 0);
    EXPECT_EQ(program.entries[0].parameter, "Peak");
    EXPECT_EQ(program.entries[0].line, 4);
    EXPECT_EQ(TextOf(program.entries[1]), "x");
    EXPECT_EQ(program.entries[2].parameter, "Use Hold");
    EXPECT_EQ(program.entries[2].line, 6);
}

TEST(FactoryTextTest, QuotedTextsKeepBlanksAndResolveEscapes)
{
    const Result result = FactoryText::Parse("program X\n"
                                             "VC1 Src = \"091    Effects 1 Depth \"\n"
                                             "VC2 Src = \"say \\\"hi\\\" \\\\ there\"\n"
                                             "VC3 Src = \"16'\"\n"
                                             "VC4 Src = \"\"\n");
    ASSERT_TRUE(result.Ok());
    const auto& entries = result.programs[0].entries;
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(TextOf(entries[0]), "091    Effects 1 Depth ");
    EXPECT_EQ(TextOf(entries[1]), "say \"hi\" \\ there");
    EXPECT_EQ(TextOf(entries[2]), "16'");
    EXPECT_TRUE(entries[3].IsText());
    EXPECT_EQ(TextOf(entries[3]), "");
}

TEST(FactoryTextTest, MalformedQuotedTextsAreRefused)
{
    EXPECT_EQ(OnlyError("program X\nFinal = \"open\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nFinal = \"open\\\"\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nFinal = \"a\" b\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nFinal = \"a\"\"b\"\n").line, 2);
    EXPECT_EQ(OnlyError("program X\n\nFinal = \"\\n\"\n").line, 3);
}

TEST(FactoryTextTest, NumbersAreFiniteDecimalsInAnyLocale)
{
    const Result result =
        FactoryText::Parse("program X\n"
                           "A:Fine = -12\nB:Fine = +7\nC:Fine = 1e1\nFinal = .5\nKBD Trig = 3.\n");
    ASSERT_TRUE(result.Ok());
    const auto& entries = result.programs[0].entries;
    EXPECT_DOUBLE_EQ(NumberOf(entries[0]), -12.0);
    EXPECT_DOUBLE_EQ(NumberOf(entries[1]), 7.0);
    EXPECT_DOUBLE_EQ(NumberOf(entries[2]), 10.0);
    EXPECT_DOUBLE_EQ(NumberOf(entries[3]), 0.5);
    EXPECT_DOUBLE_EQ(NumberOf(entries[4]), 3.0);

    for (const char* bad : {"nan", "inf", "-inf", "1e999", "0,5", "1.5x", "++1", "+-1", "0x10", "off", "1 2"})
    {
        const auto error = OnlyError(std::string("program X\nFinal = ") + bad + "\n");
        EXPECT_EQ(error.line, 2) << bad;
        EXPECT_NE(error.message.find(bad), std::string::npos) << error.message;
    }
}

TEST(FactoryTextTest, MalformedEntryLinesReportTheirLine)
{
    EXPECT_EQ(OnlyError("A:Cutoff = 1\nprogram X\n").line, 1);
    EXPECT_EQ(OnlyError("program X\nA:Cutoff 1\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nA:Cutoff =\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nA:Cutoff = # only a comment\n").line, 2);
    EXPECT_EQ(OnlyError("program X\n = 1\n").line, 2);
    EXPECT_EQ(OnlyError("program X\nA: = 1\n").line, 2);

    for (const char* prefix : {"D", "a", "AB", "", "1"})
    {
        const auto error = OnlyError(std::string("program X\n\n") + prefix + ":Cutoff = 1\n");
        EXPECT_EQ(error.line, 3) << prefix;
        EXPECT_NE(error.message.find("block prefix"), std::string::npos) << error.message;
    }
}

TEST(FactoryTextTest, ProgramNamesAreNonEmptyShortAndDistinct)
{
    const std::string name23(23, 'n');
    EXPECT_TRUE(FactoryText::Parse("program " + name23 + "\n").Ok());
    EXPECT_EQ(OnlyError("program " + name23 + "m\n").line, 1);
    EXPECT_EQ(OnlyError("program\n").line, 1);
    EXPECT_EQ(OnlyError("program    # comment only\n").line, 1);
    EXPECT_EQ(OnlyError("program A\nprogram B\nprogram A\n").line, 3);
    // A parameter that merely begins with the keyword is an entry, not a program line.
    const Result result = FactoryText::Parse("program A\nprograms = 2\n");
    ASSERT_TRUE(result.Ok());
    EXPECT_EQ(result.programs[0].entries[0].parameter, "programs");
}

TEST(FactoryTextTest, AParameterMayAppearOncePerBlockInEachProgram)
{
    const Result fine = FactoryText::Parse("program X\nA:Peak = 0.1\nB:Peak = 0.2\nC:Peak = 0.3\nPeak = 0.4\n"
                                           "program Y\nA:Peak = 0.5\n");
    ASSERT_TRUE(fine.Ok());
    EXPECT_EQ(fine.programs[0].entries.size(), 4u);

    const auto twice = OnlyError("program X\nA:Peak = 0.1\nB:Peak = 0.2\nA:Peak = 0.3\n");
    EXPECT_EQ(twice.line, 4);
    EXPECT_NE(twice.message.find("A:Peak"), std::string::npos) << twice.message;
}

TEST(FactoryTextTest, MoreThanSixtyFourProgramsAreRefused)
{
    std::string text;
    for (int i = 0; i < FactoryText::kMaxPrograms + 2; ++i)
        text += "program P" + std::to_string(i) + "\nFinal = 0.5\n";
    const Result result = FactoryText::Parse(text);
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(result.errors[0].line, 2 * FactoryText::kMaxPrograms + 1);
    EXPECT_EQ(result.errors[1].line, 2 * FactoryText::kMaxPrograms + 3);
    ASSERT_EQ(result.programs.size(), static_cast<std::size_t>(FactoryText::kMaxPrograms));
    EXPECT_EQ(result.programs.back().name, "P63");
    EXPECT_EQ(result.programs.back().entries.size(), 1u);
}

TEST(FactoryTextTest, ErrorsAreCollectedInLineOrderAndRefusedProgramsKeepNoEntries)
{
    const Result result = FactoryText::Parse("program A\n"
                                             "X:Peak = 1\n"
                                             "program A\n"
                                             "A:Peak = 0.5\n"
                                             "A:Peak = nope\n"
                                             "program B\n"
                                             "A:Peak = 0.5\n");
    ASSERT_EQ(result.errors.size(), 3u);
    EXPECT_EQ(result.errors[0].line, 2);
    EXPECT_EQ(result.errors[1].line, 3);
    EXPECT_EQ(result.errors[2].line, 5);
    ASSERT_EQ(result.programs.size(), 2u);
    EXPECT_TRUE(result.programs[0].entries.empty());
    EXPECT_EQ(result.programs[1].entries.size(), 1u);
}

TEST(FactoryTextTest, ReadFileReportsUnreadablePathsAtLineZero)
{
    char pattern[] = "/tmp/zr-factorytext-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    const fs::path folder = pattern;

    const auto missing = FactoryText::ReadFile((folder / "missing.txt").string());
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_EQ(missing.errors[0].line, 0);
    const auto directory = FactoryText::ReadFile(folder.string());
    ASSERT_EQ(directory.errors.size(), 1u);
    EXPECT_EQ(directory.errors[0].line, 0);

    const fs::path file = folder / "bank.txt";
    std::ofstream(file, std::ios::binary) << "program A\r\nFinal = 0.5\r\n";
    const auto read = FactoryText::ReadFile(file.string());
    ASSERT_TRUE(read.Ok());
    ASSERT_EQ(read.programs.size(), 1u);
    EXPECT_EQ(read.programs[0].entries.size(), 1u);

    std::error_code error;
    fs::remove_all(folder, error);
}

} // namespace
} // namespace zr::bankgen
