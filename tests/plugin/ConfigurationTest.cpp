#include "plugin/Configuration.h"
#include "FileTestSupport.h"
#include "platform/IniDocument.h"
#include "plugin/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

using zr::platform::test::ReadText;
using zr::platform::test::WriteText;

class ConfigurationTest : public ::testing::Test
{
protected:
    std::string IniPath() const { return home.File(".config/ZarnowAudio/zr4400.ini"); }
    std::optional<std::string> Ini(std::string_view section, std::string_view key) const
    {
        return zr::platform::IniDocument::Parse(ReadText(IniPath())).Get(section, key);
    }
    void WriteIni(const std::string& text)
    {
        std::filesystem::create_directories(home.File(".config/ZarnowAudio"));
        WriteText(IniPath(), text);
    }

    FileTestHome home;
    RecordingMessageBox messages;
};

TEST_F(ConfigurationTest, StartsWithDefaultsAndAnEmptyIniFile)
{
    Configuration config(messages);
    EXPECT_EQ(config.IniPath(), IniPath());
    EXPECT_EQ(config.SettingsFolder(), home.File(".config/ZarnowAudio"));
    EXPECT_TRUE(std::filesystem::is_regular_file(IniPath()));
    EXPECT_EQ(ReadText(IniPath()), "");
    EXPECT_EQ(config.StartupBankPath(), "");
    EXPECT_EQ(config.ProgramFilesPath(), home.Path());
    EXPECT_EQ(config.TuningFolder(), home.Path());
    EXPECT_FALSE(config.MidiThru());
    EXPECT_FALSE(config.IgnoreProgramChange());
    for (int32_t parameter : config.Controllers())
    {
        EXPECT_EQ(parameter, Configuration::kNoParameter);
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ConfigurationTest, ControllerEntriesReadAsNumbersOrNone)
{
    WriteIni("[MIDI Control]\r\nCC7=12\r\nCC8=abc\r\nCC9=0\r\nCC10 = -5\r\nCC11=007x\r\nCC12=\r\nCC7=99\r\n"
             "CC120=3\r\n");
    Configuration config(messages);
    EXPECT_EQ(config.ControllerParameter(7), 12); // the first of two entries wins
    EXPECT_EQ(config.ControllerParameter(8), -1);
    EXPECT_EQ(config.ControllerParameter(9), 0);
    EXPECT_EQ(config.ControllerParameter(10), -5); // no range check
    EXPECT_EQ(config.ControllerParameter(11), 7);
    EXPECT_EQ(config.ControllerParameter(12), -1);
    EXPECT_EQ(config.ControllerParameter(120), -1); // beyond the map
}

TEST_F(ConfigurationTest, SwitchesAreTrueOnlyForTrueInAnyCase)
{
    WriteIni("[MIDI Global]\nMIDI Thru=TRUE\nIgnore Program Change=yes\n");
    Configuration config(messages);
    EXPECT_TRUE(config.MidiThru());
    EXPECT_FALSE(config.IgnoreProgramChange());
    WriteIni("[MIDI Global]\nMIDI Thru=tRuE \nIgnore Program Change=1\n");
    config.ReadConfiguration(false);
    EXPECT_TRUE(config.MidiThru());
    EXPECT_FALSE(config.IgnoreProgramChange());
}

TEST_F(ConfigurationTest, AbsentValuesKeepTheCurrentSettings)
{
    Configuration config(messages);
    config.ToggleMidiThru();
    config.SetControllerParameter(21, 40);
    WriteIni("[Global]\nPath to Program Files=\n");
    config.ReadConfiguration(false);
    EXPECT_TRUE(config.MidiThru());
    EXPECT_EQ(config.ControllerParameter(21), 40);
    EXPECT_EQ(config.ProgramFilesPath(), home.Path());
}

TEST_F(ConfigurationTest, SaveAllWritesEverySettingAndReadsBack)
{
    {
        Configuration config(messages);
        config.SetStartupBank("/banks/start.fxb");
        config.ToggleIgnoreProgramChange();
        config.SetControllerParameter(7, 12);
        config.SetControllerParameter(119, 228);
        ASSERT_TRUE(config.SaveConfiguration(Configuration::Save::All));
    }
    EXPECT_EQ(Ini("Startup Bank", "File"), "/banks/start.fxb");
    EXPECT_EQ(Ini("MIDI Global", "MIDI Thru"), "false");
    EXPECT_EQ(Ini("MIDI Global", "Ignore Program Change"), "true");
    EXPECT_EQ(Ini("MIDI Control", "CC7"), "12");
    EXPECT_EQ(Ini("MIDI Control", "CC119"), "228");
    EXPECT_EQ(Ini("MIDI Control", "CC8"), std::nullopt); // unassigned controllers are not written
    Configuration again(messages);
    EXPECT_EQ(again.StartupBankPath(), "/banks/start.fxb");
    EXPECT_TRUE(again.IgnoreProgramChange());
    EXPECT_EQ(again.ControllerParameter(7), 12);
    EXPECT_EQ(again.ControllerParameter(119), 228);
    EXPECT_EQ(again.ControllerParameter(8), -1);

    // Removed assignments disappear from the section at the next full save.
    again.SetControllerParameter(7, Configuration::kNoParameter);
    ASSERT_TRUE(again.SaveConfiguration(Configuration::Save::All));
    EXPECT_EQ(ReadText(IniPath()).find("CC7="), std::string::npos);
}

TEST_F(ConfigurationTest, TogglesWriteTheStartupBankAndTheirOwnSwitchOnly)
{
    WriteIni("[MIDI Control]\nCC1=5\n");
    Configuration config(messages);
    config.SetControllerParameter(2, 6);
    config.ToggleMidiThru();
    EXPECT_EQ(Ini("Startup Bank", "File"), "");
    EXPECT_EQ(Ini("MIDI Global", "MIDI Thru"), "true");
    EXPECT_EQ(Ini("MIDI Global", "Ignore Program Change"), std::nullopt);
    EXPECT_EQ(Ini("MIDI Control", "CC1"), "5");
    EXPECT_EQ(Ini("MIDI Control", "CC2"), std::nullopt);
}

TEST_F(ConfigurationTest, ForgottenStartupBankIsWrittenEmptyByTheNextWrite)
{
    WriteIni("[Startup Bank]\nFile=/missing/bank.fxb\n");
    Configuration config(messages);
    EXPECT_EQ(config.StartupBankPath(), "/missing/bank.fxb");
    config.ForgetStartupBank();
    EXPECT_EQ(Ini("Startup Bank", "File"), "/missing/bank.fxb"); // the INI keeps it
    config.ToggleMidiThru();
    EXPECT_EQ(Ini("Startup Bank", "File"), "");
}

TEST_F(ConfigurationTest, StartupBankIsSetAndCleared)
{
    Configuration config(messages);
    config.SetStartupBank("/b/start.fxb");
    EXPECT_EQ(ReadText(IniPath()), "[Startup Bank]\nFile=/b/start.fxb\n");
    config.ClearStartupBank();
    EXPECT_EQ(config.StartupBankPath(), "");
    EXPECT_EQ(ReadText(IniPath()), "");
}

TEST_F(ConfigurationTest, ProgramFilesPathIsReadBackInFullAndSetFromTheDialog)
{
    const std::string longFolder = "/" + std::string(300, 'p');
    WriteIni("[Global]\nPath to Program Files=" + longFolder + "\n");
    Configuration config(messages);
    EXPECT_EQ(config.ProgramFilesPath(), longFolder);

    config.ChooseProgramFilesPath("");
    EXPECT_EQ(config.ProgramFilesPath(), longFolder);
    EXPECT_EQ(ProgramFolder::Get(), "");
    config.ChooseProgramFilesPath("/music/banks/[file name is ignored]");
    EXPECT_EQ(config.ProgramFilesPath(), "/music/banks");
    EXPECT_EQ(ProgramFolder::Get(), "/music/banks");
    Configuration again(messages);
    EXPECT_EQ(again.ProgramFilesPath(), "/music/banks");
}

TEST_F(ConfigurationTest, MenuQuestionsAndAnswers)
{
    Configuration config(messages);
    const std::string ini = config.IniPath();

    messages.Answer(MessageBoxAnswer::Cancel);
    EXPECT_FALSE(config.SaveConfigurationFromMenu());
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text,
              "The INI configuration file is:\n" + ini + "\n\nDo you really want to overwrite it?");
    EXPECT_EQ(messages.messages[0].title, "Save Configuration");
    EXPECT_EQ(messages.messages[0].buttons, MessageBoxButtons::YesNoCancel);
    EXPECT_EQ(ReadText(ini), "");
    EXPECT_TRUE(config.SaveConfigurationFromMenu()); // Yes
    EXPECT_NE(ReadText(ini), "");

    config.SetStartupBank("/s.fxb");
    messages.Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(config.UnselectStartupBankFromMenu());
    EXPECT_EQ(messages.messages.back().text,
              "The Startup Bank is:\n/s.fxb\n\nDo you really want to unselect it?");
    EXPECT_EQ(messages.messages.back().title, "Unselect Startup Bank");
    EXPECT_EQ(config.StartupBankPath(), "/s.fxb");
    messages.Answer(MessageBoxAnswer::Cancel); // anything but No goes on
    EXPECT_TRUE(config.UnselectStartupBankFromMenu());
    EXPECT_EQ(config.StartupBankPath(), "");

    messages.Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(config.ReloadConfigurationFromMenu());
    EXPECT_EQ(messages.messages.back().text,
              "The INI configuration file is:\n" + ini + "\n\nDo you really want to reload it?");
    EXPECT_EQ(messages.messages.back().title, "Reload Configuration");
}

TEST_F(ConfigurationTest, ReloadReportsAMissingIniFile)
{
    Configuration config(messages);
    std::filesystem::remove(config.IniPath());
    EXPECT_TRUE(config.ReloadConfigurationFromMenu());
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].text, "The INI file does not exist.");
    EXPECT_EQ(messages.messages[1].title, "Problem with INI File");
    EXPECT_EQ(messages.messages[1].buttons, MessageBoxButtons::Ok);
    // Reading at construction says nothing.
    Configuration quiet(messages);
    EXPECT_EQ(messages.messages.size(), 2u);
}

TEST_F(ConfigurationTest, MalformedIniFilesChangeNothingTheyShouldNot)
{
    std::string garbage;
    for (int i = 0; i < 5000; ++i)
    {
        garbage += static_cast<char>((i * 131) % 256);
    }
    WriteIni(garbage + "\n[MIDI Control]\nCC3=17\n" + std::string(200000, 'x') + "\nCC4=18\n");
    Configuration config(messages);
    EXPECT_EQ(config.ControllerParameter(3), 17);
    EXPECT_EQ(config.ControllerParameter(4), 18);
    EXPECT_FALSE(config.MidiThru());

    // A file beyond the size limit is not read at all, and a save refuses to overwrite it.
    WriteIni("[MIDI Control]\nCC5=9\n" + std::string(2 << 20, ';'));
    config.ReadConfiguration(false);
    EXPECT_EQ(config.ControllerParameter(5), -1);
    EXPECT_FALSE(config.SaveConfiguration(Configuration::Save::All));
}

} // namespace
