#include "platform/Folders.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

namespace zr::platform
{
namespace
{

namespace fs = std::filesystem;
using test::TempFolder;
using test::WriteText;

// Points HOME at a temporary folder and clears XDG_CONFIG_HOME for each test.
class FoldersTest : public ::testing::Test
{
protected:
    FoldersTest()
    {
        env_.Set("HOME", home_.Path());
        env_.Set("XDG_CONFIG_HOME", std::nullopt);
    }

    void WriteUserDirs(const std::string& text)
    {
        fs::create_directories(home_.File(".config"));
        WriteText(home_.File(".config/user-dirs.dirs"), text);
    }

    TempFolder home_;
    test::EnvironmentGuard env_;
};

TEST_F(FoldersTest, SettingsLiveInTheConfigFolderWhichIsCreated)
{
    EXPECT_EQ(SettingsFilePath(), home_.Path() + "/.config/ZarnowAudio/zr4400.ini");
    EXPECT_TRUE(fs::is_directory(home_.File(".config/ZarnowAudio")));

    TempFolder config;
    env_.Set("XDG_CONFIG_HOME", config.Path() + "/");
    EXPECT_EQ(SettingsFolder(), config.Path() + "/ZarnowAudio");
    EXPECT_TRUE(fs::is_directory(config.File("ZarnowAudio")));

    env_.Set("XDG_CONFIG_HOME", "relative/path"); // not absolute: ignored
    EXPECT_EQ(ApplicationDataFolder(), home_.Path() + "/.config");
}

TEST_F(FoldersTest, DocumentsAndDesktopFallBackToHome)
{
    EXPECT_EQ(DocumentsFolder(), home_.Path());
    EXPECT_EQ(DesktopFolder(), home_.Path());
    fs::create_directory(home_.File("Documents"));
    fs::create_directory(home_.File("Desktop"));
    EXPECT_EQ(DocumentsFolder(), home_.Path() + "/Documents");
    EXPECT_EQ(DesktopFolder(), home_.Path() + "/Desktop");
}

TEST_F(FoldersTest, UserDirsFileNamesTheFolders)
{
    fs::create_directory(home_.File("Dokumente"));
    fs::create_directory(home_.File("Schreib \"tisch\""));
    fs::create_directory(home_.File("Documents"));
    WriteUserDirs("# written by xdg-user-dirs-update\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n"
                  "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente/\"\n"
                  "XDG_DESKTOP_DIR=\"$HOME/Schreib \\\"tisch\\\"\"\n");
    EXPECT_EQ(DocumentsFolder(), home_.Path() + "/Dokumente");
    EXPECT_EQ(DesktopFolder(), home_.Path() + "/Schreib \"tisch\"");

    TempFolder elsewhere;
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"" + elsewhere.Path() + "\"\nXDG_DESKTOP_DIR=\"$HOMEX/Desktop\"\n");
    EXPECT_EQ(DocumentsFolder(), elsewhere.Path());
    EXPECT_EQ(DesktopFolder(), home_.Path()); // "$HOMEX" is not the home folder; no ~/Desktop

    // A named folder that does not exist falls back to the usual one.
    WriteUserDirs("XDG_DOCUMENTS_DIR=\"$HOME/Gone\"\n");
    EXPECT_EQ(DocumentsFolder(), home_.Path() + "/Documents");
}

TEST_F(FoldersTest, UnsetHomeUsesTheAccountsHome)
{
    env_.Set("HOME", std::nullopt);
    const std::string home = HomeFolder();
    EXPECT_FALSE(home.empty());
    EXPECT_EQ(home.front(), '/');
}

} // namespace
} // namespace zr::platform
