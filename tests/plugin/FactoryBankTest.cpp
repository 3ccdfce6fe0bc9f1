#include "plugin/FactoryBank.h"
#include "FileTestSupport.h"
#include "instrument/ParameterTable.h"
#include "platform/ModuleResources.h"
#include "plugin/Configuration.h"
#include "plugin/ProgramFiles.h"
#include "plugin/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

class FactoryBankTest : public ::testing::Test
{
protected:
    static Bytes Resource()
    {
        const auto bytes = zr::platform::FindResource("PROGDATA", "PROGINIT");
        return Bytes(bytes.begin(), bytes.end());
    }

    FileTestHome home;
    TestPlug plug;
    RecordingMessageBox messages;
};

TEST_F(FactoryBankTest, ResourceIsAnOpaqueBankFile)
{
    const Bytes bank = Resource();
    ASSERT_GT(bank.size(), 168u);
    Bytes header;
    PutText(header, "CcnK");
    PutBigEndian(header, static_cast<uint32_t>(bank.size()));
    PutText(header, "FBCh");
    PutBigEndian(header, 2);
    PutText(header, "zr44");
    PutBigEndian(header, 10202);
    PutBigEndian(header, 64);
    PutBigEndian(header, 0);
    header.resize(156, 0);
    PutBigEndian(header, static_cast<uint32_t>(bank.size() - 160));
    PutText(header, "tffp");
    header.insert(header.end(), {0x00, 0x00, 0x01, 0x00});
    EXPECT_EQ(Bytes(bank.begin(), bank.begin() + 168), header);
}

TEST_F(FactoryBankTest, LoadsSixtyFourProgramsFromPadToInit)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    EXPECT_EQ(plug.GetPresetName(0), "PAD: Waves of Sin");
    EXPECT_EQ(plug.GetPresetName(63), "Init");
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    std::set<std::string> names;
    for (int k = 0; k < 64; ++k)
    {
        EXPECT_TRUE(plug.GetPreset(k)->initialized) << k;
        names.insert(std::string(plug.GetPresetName(k)));
        ASSERT_TRUE(plug.SelectPreset(k));
        EXPECT_TRUE(plug.AllParamsInRange()) << plug.GetPresetName(k);
    }
    EXPECT_EQ(names.size(), 64u);
    // Slot 63, "Init": the defaults, at the bank's level and with the bank's bend range.
    for (int i = 0; i < plug.NParams(); ++i)
    {
        if (i == zr::Param::kFinal || i == zr::Param::kPbRange) continue;
        EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << i;
    }
    EXPECT_LT(plug.GetParam(zr::Param::kFinal)->Value(), plug.GetParam(zr::Param::kFinal)->Default());
    EXPECT_EQ(plug.GetParam(zr::Param::kPbRange)->Value(), 2.0);
    plug.SelectPreset(0);
    EXPECT_NE(plug.Values(), TestPlug().Values());
}

TEST_F(FactoryBankTest, EveryProgramBendsThePitch)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    for (int k = 0; k < 64; ++k)
    {
        ASSERT_TRUE(plug.SelectPreset(k));
        const double range = plug.GetParam(zr::Param::kPbRange)->Value();
        EXPECT_GE(range, 2.0) << plug.GetPresetName(k);
        EXPECT_LE(range, 12.0) << plug.GetPresetName(k);
    }
}

TEST_F(FactoryBankTest, SavedFactoryBankEqualsTheResourceButForTheFxVersion)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    const std::string path = home.File("factory.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, path));
    Bytes saved = ReadBytes(path);
    Bytes resource = Resource();
    EXPECT_EQ(BigEndianAt(saved, 20), 10205u);
    EXPECT_EQ(BigEndianAt(resource, 20), 10202u);
    std::fill_n(saved.begin() + 20, 4, 0);
    std::fill_n(resource.begin() + 20, 4, 0);
    EXPECT_EQ(saved, resource);
}

TEST_F(FactoryBankTest, DamagedImagesAreRefusedWithoutChange)
{
    const Bytes bank = Resource();
    const PlugSnapshot before(plug);
    EXPECT_FALSE(FactoryBank::LoadImage(plug, {}));
    EXPECT_FALSE(FactoryBank::LoadImage(plug, std::span(bank.data(), 160)));
    EXPECT_FALSE(FactoryBank::LoadImage(plug, std::span(bank.data(), bank.size() - 1)));
    EXPECT_TRUE(PlugSnapshot(plug) == before);
    // The file header is not examined; a chunk without its "tffp" header loads as well.
    Bytes bare(bank.begin(), bank.begin() + 160);
    bare.insert(bare.end(), bank.begin() + 168, bank.end());
    bare[0] = 'X';
    EXPECT_TRUE(FactoryBank::LoadImage(plug, bare));
    EXPECT_EQ(plug.GetPresetName(0), "PAD: Waves of Sin");
}

TEST_F(FactoryBankTest, MissingOrDamagedStartupBankFallsBackToTheFactoryBank)
{
    Configuration config(messages);
    config.SetStartupBank(home.File("missing.fxb"));
    ASSERT_TRUE(FactoryBank::LoadStartupBank(plug, config));
    EXPECT_EQ(plug.GetPresetName(0), "PAD: Waves of Sin");
    EXPECT_EQ(config.StartupBankPath(), "");
    // The next configuration write of this instance stores an empty startup bank.
    config.ToggleMidiThru();
    Configuration reread(messages);
    EXPECT_EQ(reread.StartupBankPath(), "");

    WriteBytes(home.File("damaged.fxb"), Bytes(500, 0x41));
    reread.SetStartupBank(home.File("damaged.fxb"));
    TestPlug other;
    ASSERT_TRUE(FactoryBank::LoadStartupBank(other, reread));
    EXPECT_EQ(other.GetPresetName(0), "PAD: Waves of Sin");
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(FactoryBankTest, StartupBankLoadsWhenPresent)
{
    plug.SelectPreset(0);
    plug.ModifyCurrentPreset("Mine");
    const std::string path = home.File("start.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, path));
    Configuration config(messages);
    config.SetStartupBank(path);
    TestPlug other;
    ASSERT_TRUE(FactoryBank::LoadStartupBank(other, config));
    EXPECT_EQ(other.GetPresetName(0), "Mine");
    EXPECT_EQ(config.StartupBankPath(), path);

    messages.Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(FactoryBank::ReloadStartupBankFromMenu(other, config, messages));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "The Startup Bank is:\n" + path + "\n\nDo you really want to reload all programs?");
    EXPECT_EQ(messages.messages[0].title, "Load Startup Bank");

    config.SetStartupBank(home.File("gone.fxb"));
    EXPECT_FALSE(FactoryBank::ReloadStartupBankFromMenu(other, config, messages)); // Yes
    ASSERT_EQ(messages.messages.size(), 3u);
    EXPECT_EQ(messages.messages[2].text, "Cannot load file!");
    EXPECT_EQ(messages.messages[2].title, "Error");
    EXPECT_EQ(other.GetPresetName(0), "Mine");
}

// Banks written by other tools or by hand carry byte size and chunk size words that do not match the
// file; the startup bank is loaded all the same instead of falling back to the factory bank.
TEST_F(FactoryBankTest, StartupBankLoadsWhateverItsSizeWordsSay)
{
    plug.SelectPreset(0);
    plug.ModifyCurrentPreset("Mine");
    const std::string path = home.File("start.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, path));
    const Bytes saved = ReadBytes(path);
    const std::vector<std::pair<size_t, uint32_t>> oddWords{
        {4, static_cast<uint32_t>(saved.size()) + 1}, // byte size beyond the file
        {156, 0},                                     // chunk size 0
        {156, static_cast<uint32_t>(saved.size())},   // chunk size beyond what follows
    };
    for (const auto& [offset, word] : oddWords)
    {
        WriteBytes(path, WithBigEndianAt(saved, offset, word));
        Configuration config(messages);
        config.SetStartupBank(path);
        TestPlug other;
        ASSERT_TRUE(FactoryBank::LoadStartupBank(other, config)) << offset;
        EXPECT_EQ(other.GetPresetName(0), "Mine") << offset;
        EXPECT_EQ(config.StartupBankPath(), path) << offset;
    }
    EXPECT_TRUE(messages.messages.empty());
}

} // namespace
