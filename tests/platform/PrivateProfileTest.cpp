#include "platform/PrivateProfile.h"

#include "TestFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace zr::platform
{
namespace
{

namespace fs = std::filesystem;
using test::ReadText;
using test::TempFolder;
using test::WriteText;

int EntriesIn(const std::string& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++count;
    return count;
}

class PrivateProfileTest : public ::testing::Test
{
protected:
    TempFolder folder_;
    std::string ini_ = folder_.File("zr4400.ini");
};

TEST_F(PrivateProfileTest, MissingFileGivesDefaults)
{
    EXPECT_EQ(ReadProfileString("Global", "Path to Program Files", "/docs", ini_), "/docs");
    EXPECT_EQ(ReadProfileInt("MIDI Control", "CC7", -1, ini_), -1);
    EXPECT_FALSE(fs::exists(ini_));
}

TEST_F(PrivateProfileTest, IntegersAreReadLikeTheWindowsFunction)
{
    WriteText(ini_,
              "[N]\r\na=12\r\nb=abc\r\nc= -7x\r\nd=\r\ne=99999999999\r\nf=+3\r\ng=0\r\nh=-99999999999\r\n");
    EXPECT_EQ(ReadProfileInt("N", "a", -1, ini_), 12);
    EXPECT_EQ(ReadProfileInt("N", "b", -1, ini_), 0);
    EXPECT_EQ(ReadProfileInt("N", "c", -1, ini_), -7);
    EXPECT_EQ(ReadProfileInt("N", "d", -1, ini_), -1);
    EXPECT_EQ(ReadProfileInt("N", "e", -1, ini_), INT_MAX);
    EXPECT_EQ(ReadProfileInt("N", "f", -1, ini_), 3);
    EXPECT_EQ(ReadProfileInt("N", "g", -1, ini_), 0);
    EXPECT_EQ(ReadProfileInt("N", "h", -1, ini_), INT_MIN);
    EXPECT_EQ(ReadProfileInt("N", "missing", 5, ini_), 5);
    EXPECT_EQ(LeadingInt("+-5"), 0);
}

TEST_F(PrivateProfileTest, WritesCreateDeleteAndEmptySections)
{
    ASSERT_TRUE(
        WriteProfileString("Startup Bank", std::nullopt, std::nullopt, ini_)); // emptying a missing section
    ASSERT_TRUE(WriteProfileString("Startup Bank", "File", "/banks/a.fxb", ini_));
    ASSERT_TRUE(WriteProfileString("MIDI Global", "MIDI Thru", "true", ini_));
    ASSERT_TRUE(WriteProfileString("MIDI Control", "CC7", "12", ini_));
    ASSERT_TRUE(WriteProfileString("MIDI Control", "CC8", "40", ini_));
    EXPECT_EQ(ReadText(ini_), "[Startup Bank]\nFile=/banks/a.fxb\n\n[MIDI Global]\nMIDI Thru=true\n\n"
                              "[MIDI Control]\nCC7=12\nCC8=40\n");

    ASSERT_TRUE(WriteProfileString("midi control", "cc7", std::nullopt, ini_));
    EXPECT_EQ(ReadProfileString("MIDI Control", "CC7", "-1", ini_), "-1");
    EXPECT_EQ(ReadProfileString("MIDI Control", "CC8", "-1", ini_), "40");

    // Emptying a section and writing its key again, as every configuration write does.
    ASSERT_TRUE(WriteProfileString("Startup Bank", std::nullopt, std::nullopt, ini_));
    ASSERT_TRUE(WriteProfileString("Startup Bank", "File", "", ini_));
    EXPECT_EQ(ReadProfileString("Startup Bank", "File", "none", ini_), "");
    EXPECT_EQ(ReadText(ini_),
              "[MIDI Global]\nMIDI Thru=true\n\n[MIDI Control]\nCC8=40\n\n[Startup Bank]\nFile=\n");
    EXPECT_EQ(EntriesIn(folder_.Path()), 1); // no temporary file left behind
}

TEST_F(PrivateProfileTest, HandEditedFilesKeepTheirOtherLines)
{
    WriteText(ini_,
              "; my notes\r\n[Global]\r\nPath to Program Files = \"/my docs\" \r\n\r\n[Extra]\r\nx = 1\r\n");
    EXPECT_EQ(ReadProfileString("GLOBAL", "path to program files", "", ini_), "/my docs");
    ASSERT_TRUE(WriteProfileString("Global", "Path to Program Files", "/other", ini_));
    EXPECT_EQ(ReadText(ini_), "; my notes\n[Global]\nPath to Program Files=/other\n\n[Extra]\nx = 1\n");
}

TEST_F(PrivateProfileTest, LineBreaksInNamesOrValuesAreRefused)
{
    ASSERT_TRUE(WriteProfileString("Global", "Path to Program Files", "/a", ini_));
    const std::string before = ReadText(ini_);
    EXPECT_FALSE(WriteProfileString("Global", "Path to Program Files", "/a\n[MIDI Control]\nCC1=5", ini_));
    EXPECT_FALSE(WriteProfileString("Global", "K\r", "v", ini_));
    EXPECT_FALSE(WriteProfileString("G\nx", "K", "v", ini_));
    EXPECT_FALSE(WriteProfileString("G]x", "K", "v", ini_));
    EXPECT_FALSE(WriteProfileString("Global", "K=v", "v", ini_));
    EXPECT_EQ(ReadText(ini_), before);
}

TEST_F(PrivateProfileTest, OversizedOrUnreadableFilesAreNeitherReadNorOverwritten)
{
    const std::string huge = "[Global]\nPath to Program Files=/x\n" + std::string(kMaxProfileFileBytes, ';');
    WriteText(ini_, huge);
    EXPECT_EQ(ReadProfileString("Global", "Path to Program Files", "default", ini_), "default");
    EXPECT_FALSE(WriteProfileString("Global", "Path to Program Files", "/y", ini_));
    EXPECT_EQ(ReadText(ini_), huge);

    fs::create_directory(folder_.File("dir.ini"));
    EXPECT_EQ(ReadProfileString("A", "b", "d", folder_.File("dir.ini")), "d");
    EXPECT_FALSE(WriteProfileString("A", "b", "c", folder_.File("dir.ini")));
    EXPECT_FALSE(WriteProfileString("A", "b", "c", folder_.File("missing/zr4400.ini")));
}

TEST_F(PrivateProfileTest, AFailedWriteLeavesTheOriginalIntactAndNoTemporaryFile)
{
    ASSERT_TRUE(WriteProfileString("Global", "Path to Program Files", "/keep", ini_));
    const std::string before = ReadText(ini_);

    // A file-size limit makes the write of the new contents fail half-way.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    ::getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 64;
    ::setrlimit(RLIMIT_FSIZE, &small);
    const bool written = WriteProfileString("Global", "Path to Program Files", std::string(4096, 'p'), ini_);
    ::setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadText(ini_), before);
    EXPECT_EQ(EntriesIn(folder_.Path()), 1);
}

TEST_F(PrivateProfileTest, ReadOnlyFolderFailsTheWrite)
{
    if (::geteuid() == 0) GTEST_SKIP() << "folder permissions do not bind the super-user";
    ASSERT_TRUE(WriteProfileString("Global", "Path to Program Files", "/keep", ini_));
    const std::string before = ReadText(ini_);
    fs::permissions(folder_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(WriteProfileString("Global", "Path to Program Files", "/new", ini_));
    fs::permissions(folder_.Path(), fs::perms::owner_all);
    EXPECT_EQ(ReadText(ini_), before);
    EXPECT_EQ(EntriesIn(folder_.Path()), 1);
}

TEST_F(PrivateProfileTest, ReplacementKeepsPermissionsAndSymbolicLinks)
{
    WriteText(folder_.File("real.ini"), "[A]\nx=1\n");
    ::chmod(folder_.File("real.ini").c_str(), 0600);
    fs::create_symlink("real.ini", ini_);
    ASSERT_TRUE(WriteProfileString("A", "x", "2", ini_));
    EXPECT_TRUE(fs::is_symlink(ini_));
    EXPECT_EQ(ReadText(folder_.File("real.ini")), "[A]\nx=2\n");
    struct stat info
    {
    };
    ASSERT_EQ(::stat(folder_.File("real.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(EntriesIn(folder_.Path()), 2);
}

TEST_F(PrivateProfileTest, ConcurrentWritersLoseNoKeys)
{
    constexpr int kKeysPerThread = 40;
    const auto writer = [this](const std::string& prefix)
    {
        for (int i = 0; i < kKeysPerThread; ++i)
            WriteProfileString("MIDI Control", prefix + std::to_string(i), std::to_string(i), ini_);
    };
    std::thread first(writer, "A");
    std::thread second(writer, "B");
    first.join();
    second.join();
    for (int i = 0; i < kKeysPerThread; ++i)
    {
        EXPECT_EQ(ReadProfileInt("MIDI Control", "A" + std::to_string(i), -1, ini_), i);
        EXPECT_EQ(ReadProfileInt("MIDI Control", "B" + std::to_string(i), -1, ini_), i);
    }
}

} // namespace
} // namespace zr::platform
