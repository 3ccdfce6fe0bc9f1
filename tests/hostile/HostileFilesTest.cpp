// Program and bank files cut short or corrupted, a startup bank damaged on disk, and writes that
// fail halfway: a refused file changes nothing, an accepted damaged one leaves every parameter in
// range and every program slot readable, and a failed write leaves the old file as it was.
#include "../plugin/FileTestSupport.h"
#include "instrument/ScalaFile.h"
#include "instrument/ZR4400.h"
#include "platform/PrivateProfile.h"
#include "plugin/Configuration.h"
#include "plugin/FactoryBank.h"
#include "plugin/ProgramFiles.h"
#include "plugin/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/resource.h>

namespace
{

constexpr unsigned kRngStart = 8;
constexpr int kCorruptions = 150;

// Everything a file load may change.
ChunkBuffer Snapshot(ZR4400& plug)
{
    std::lock_guard lock(plug.Mutex());
    ChunkBuffer image;
    plug.WriteParamValues(image);
    image.PutInt32(plug.GetCurrentPresetIdx());
    plug.SerializePresets(image);
    return image;
}

// Every parameter finite and in range, in the current state and in every program slot.
void ExpectConsistent(ZR4400& plug)
{
    std::lock_guard lock(plug.Mutex());
    const int current = plug.GetCurrentPresetIdx();
    ASSERT_TRUE(current >= 0 && current < plug.NPresets());
    for (int slot = -1; slot < plug.NPresets(); ++slot)
    {
        if (slot >= 0)
        {
            ASSERT_TRUE(plug.SelectPreset(slot)) << "slot " << slot;
        }
        for (int i = 0; i < plug.NParams(); ++i)
        {
            const IParameter& p = *plug.GetParam(i);
            ASSERT_TRUE(std::isfinite(p.Value()) && p.Value() >= p.Min() && p.Value() <= p.Max())
                << "parameter " << i << " in slot " << slot;
        }
    }
    plug.SelectPreset(current);
}

// Loads file into a fresh instance: refused means unchanged, accepted means consistent.
void ExpectRefusedOrConsistent(const ChunkBuffer& file, bool bank)
{
    ZR4400 plug(nullptr);
    plug.FillEmptyPresets(ZR4400::kNumPresets);
    const ChunkBuffer before = Snapshot(plug);
    const bool loaded =
        bank ? ProgramFiles::LoadBankImage(plug, file) : ProgramFiles::LoadProgramImage(plug, file);
    if (!loaded)
        EXPECT_TRUE(Snapshot(plug) == before) << "a refused file changed the instance";
    else
        ExpectConsistent(plug);
}

ChunkBuffer Cut(const ChunkBuffer& file, int size)
{
    ChunkBuffer cut;
    cut.Assign(file.Data(), size);
    return cut;
}

class HostileFilesTest : public ::testing::Test
{
protected:
    HostileFilesTest() { plug.FillEmptyPresets(ZR4400::kNumPresets); }

    FileTestHome home;
    ZR4400 plug{nullptr};
};

TEST_F(HostileFilesTest, CutShortFilesAreRefusedWithoutChange)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    const ChunkBuffer bank = ProgramFiles::BankImage(plug, ZR4400::kVersion);
    const ChunkBuffer program = ProgramFiles::ProgramImage(plug);
    const ChunkBuffer before = Snapshot(plug);
    // Every length of the headers and the first state, then strides through the rest.
    for (int size = 0; size < bank.Size(); size += size < 2000 ? 1 : 997)
    {
        ASSERT_FALSE(ProgramFiles::LoadBankImage(plug, Cut(bank, size))) << size;
        ASSERT_TRUE(Snapshot(plug) == before) << size;
    }
    for (int size = 0; size < program.Size(); ++size)
    {
        ASSERT_FALSE(ProgramFiles::LoadProgramImage(plug, Cut(program, size))) << size;
        ASSERT_TRUE(Snapshot(plug) == before) << size;
    }
}

TEST_F(HostileFilesTest, CorruptedFilesAreRefusedOrLeaveEveryValueInRange)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    const ChunkBuffer bank = ProgramFiles::BankImage(plug, ZR4400::kVersion);
    plug.SelectPreset(3);
    const ChunkBuffer program = ProgramFiles::ProgramImage(plug);
    std::mt19937 rng(kRngStart);
    for (int n = 0; n < kCorruptions; ++n)
    {
        const bool isBank = n % 2 == 0;
        const ChunkBuffer& original = isBank ? bank : program;
        std::vector<uint8_t> bytes(original.Data(), original.Data() + original.Size());
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int f = 0; f < flips; ++f)
        {
            // Mostly inside the chunk, where the layout checks cannot see the damage.
            const size_t at = rng() % bytes.size();
            bytes[at] = static_cast<uint8_t>(rng() % 3 == 0 ? 0xFF : rng());
        }
        ChunkBuffer file;
        file.Assign(bytes.data(), static_cast<int>(bytes.size()));
        SCOPED_TRACE(n);
        ExpectRefusedOrConsistent(file, isBank);
        if (HasFailure()) break;
    }
}

TEST_F(HostileFilesTest, CorruptedStartupBankFallsBackToTheFactoryBankWithoutAMessage)
{
    ASSERT_TRUE(FactoryBank::Load(plug));
    const ChunkBuffer factory = Snapshot(plug);
    const ChunkBuffer bank = ProgramFiles::BankImage(plug, ZR4400::kVersion);
    std::vector<uint8_t> cut(bank.Data(), bank.Data() + bank.Size() / 2);
    // Cut as well, but with both size words telling the cut length: the bank itself is incomplete.
    const auto cutSize = static_cast<uint32_t>(cut.size());
    const std::vector<uint8_t> cutWithSizes =
        WithBigEndianAt(WithBigEndianAt(cut, ProgramFiles::kByteSizeOffset, cutSize),
                        ProgramFiles::kBankChunkSizeOffset, cutSize - ProgramFiles::kBankHeaderBytes);
    std::vector<uint8_t> noise(static_cast<size_t>(bank.Size()), 0x5A);
    for (const auto& damaged : {cut, cutWithSizes, noise})
    {
        WriteBytes(home.File("startup.fxb"), damaged);
        RecordingMessageBox messages;
        Configuration config(messages);
        config.SetStartupBank(home.File("startup.fxb"));
        ZR4400 created(nullptr);
        ASSERT_TRUE(FactoryBank::LoadStartupBank(created, config));
        EXPECT_TRUE(Snapshot(created) == factory);
        EXPECT_EQ(config.StartupBankPath(), "");
        EXPECT_TRUE(messages.messages.empty());
    }
}

// Limits the size of any file this process writes, so that a write fails halfway as on a full
// disk; the signal that would end the process is ignored for the duration.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &mOld);
        mOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = mOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &mOld);
        std::signal(SIGXFSZ, mOldHandler);
    }

private:
    rlimit mOld{};
    void (*mOldHandler)(int) = nullptr;
};

int FilesIn(const std::string& folder)
{
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

TEST_F(HostileFilesTest, WritesThatFailHalfwayLeaveTheOldFileIntact)
{
    const std::string bankPath = home.File("bank.fxb");
    const std::string programPath = home.File("program.fxp");
    const std::string iniPath = home.File("zr4400.ini");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, bankPath));
    ASSERT_TRUE(ProgramFiles::SaveProgram(plug, programPath));
    ASSERT_TRUE(platform::WriteProfileString("MIDI Global", "MIDI Thru", "1", iniPath));
    const Bytes oldBank = ReadBytes(bankPath);
    const Bytes oldProgram = ReadBytes(programPath);
    const Bytes oldIni = ReadBytes(iniPath);
    const int files = FilesIn(home.Path());

    ASSERT_TRUE(FactoryBank::Load(plug));
    plug.SelectPreset(9);
    const std::string longValue(4096, 'x');
    {
        FileSizeLimit limit(200);
        EXPECT_FALSE(ProgramFiles::SaveBank(plug, bankPath));
        EXPECT_FALSE(ProgramFiles::SaveProgram(plug, programPath));
        EXPECT_FALSE(platform::WriteProfileString("Global", "Path to Program Files", longValue, iniPath));
    }
    EXPECT_EQ(ReadBytes(bankPath), oldBank);
    EXPECT_EQ(ReadBytes(programPath), oldProgram);
    EXPECT_EQ(ReadBytes(iniPath), oldIni);
    EXPECT_EQ(FilesIn(home.Path()), files) << "a temporary file was left behind";
    // Without the limit the same writes succeed.
    EXPECT_TRUE(ProgramFiles::SaveBank(plug, bankPath));
    EXPECT_NE(ReadBytes(bankPath), oldBank);
}

TEST(HostileScalaTest, DigitStringsTooLongForADoubleAreNoPitch)
{
    // Found by fuzz_scala: a ratio of several hundred digits read as infinity cents.
    const std::string digits(400, '6');
    EXPECT_FALSE(ScalaFile::PitchOfField(digits).has_value());
    EXPECT_FALSE(ScalaFile::PitchOfField(digits + "/" + digits).has_value());
    EXPECT_FALSE(ScalaFile::PitchOfField("3/" + digits).has_value());
    ASSERT_TRUE(ScalaFile::PitchOfField("3/2").has_value());
    EXPECT_NEAR(*ScalaFile::PitchOfField("3/2"), 701.955, 0.001);
}

} // namespace
