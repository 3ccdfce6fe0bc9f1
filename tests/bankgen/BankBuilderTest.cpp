#include "bankgen/BankBuilder.h"
#include "instrument/HeadlessInstrument.h"

#include <gtest/gtest.h>

#include <string>

namespace zr::bankgen
{
namespace
{

// 64 programs: the given text for the first, the rest empty ("Init").
FactoryText::Result Programs(const std::string& first)
{
    std::string text = "program KEY: First\n" + first;
    for (int k = 1; k < 64; ++k)
    {
        text += "\nprogram P" + std::to_string(k) + "\n";
    }
    return FactoryText::Parse(text);
}

std::vector<FactoryText::Error> Build(const std::string& first, HeadlessInstrument& plug)
{
    const FactoryText::Result text = Programs(first);
    EXPECT_TRUE(text.Ok());
    return BankBuilder::Build(text.programs, plug);
}

TEST(BankBuilderTest, EntriesReachTheirBlockByNameAndText)
{
    HeadlessInstrument plug;
    ASSERT_TRUE(Build("A:Waveform = \"Triangle\"\nC:Cutoff = 0.25\nFinal = 0.5\n", plug).empty());
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    EXPECT_EQ(plug.GetPresetName(0), "KEY: First");
    EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(0, Param::kWaveform))->Value(), 0.0);
    EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(1, Param::kWaveform))->Value(), 1.0); // default Sawtooth
    EXPECT_EQ(plug.GetParam(Param::BlockParamIndex(2, Param::kCutoff))->Value(), 0.25);
    EXPECT_EQ(plug.GetParam(Param::kFinal)->Value(), 0.5);
    // The next program starts from Init again.
    plug.SelectPreset(1);
    for (int i = 0; i < plug.NParams(); ++i)
    {
        EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << i;
    }
}

TEST(BankBuilderTest, BadEntriesAreErrorsWithTheirLine)
{
    const std::vector<std::pair<std::string, std::string>> cases{
        {"A:Cutof = 0.5", "unknown parameter A:Cutof"},
        {"A:Final = 0.5", "unknown parameter A:Final"}, // a global parameter has no block
        {"Cutoff = 0.5", "unknown parameter Cutoff"},
        {"B:Cutoff = 1.5", "lies outside"},
        {"B:Waveform = \"Sine\"", "is not a value of B:Waveform"},
        {"B:Waveform = 1.5", "is not a whole step"},
    };
    for (const auto& [line, message] : cases)
    {
        HeadlessInstrument plug;
        const auto errors = Build(line + "\n", plug);
        ASSERT_EQ(errors.size(), 1u) << line;
        EXPECT_EQ(errors[0].line, 2) << line;
        EXPECT_NE(errors[0].message.find(message), std::string::npos) << errors[0].message;
    }
}

TEST(BankBuilderTest, TheBankMustFillEverySlot)
{
    HeadlessInstrument plug;
    const FactoryText::Result text = FactoryText::Parse("program One\nprogram Two\n");
    ASSERT_TRUE(text.Ok());
    const auto errors = BankBuilder::Build(text.programs, plug);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].line, 0);
}

} // namespace
} // namespace zr::bankgen
