#include "plugin/ProgramFiles.h"
#include "FileTestSupport.h"
#include "plugin/RecordingMessageBox.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

namespace
{

constexpr int kStateBytes = 229 * 8;

class ProgramFilesTest : public ::testing::Test
{
protected:
    // A bank with two programs of their own and 62 empty slots: small enough to cut at every byte.
    void MakeSmallBank(TestPlug& p)
    {
        SetDistinctValues(p, 1);
        p.SelectPreset(0);
        p.ModifyCurrentPreset("First");
        SetDistinctValues(p, 2);
        p.SelectPreset(1);
        p.ModifyCurrentPreset("Second");
    }

    // A regular program entry (or file): header, name and one float per value.
    static Bytes RegularProgram(std::string_view name, const std::vector<float>& values,
                                uint32_t paramCount = 229)
    {
        Bytes bytes;
        PutText(bytes, "CcnK");
        PutBigEndian(bytes, static_cast<uint32_t>(48 + values.size() * 4));
        PutText(bytes, "FxCk");
        PutBigEndian(bytes, 1);
        PutText(bytes, "zr44");
        PutBigEndian(bytes, 10205);
        PutBigEndian(bytes, paramCount);
        Bytes field(28, 0);
        std::memcpy(field.data(), name.data(), name.size());
        bytes.insert(bytes.end(), field.begin(), field.end());
        for (float value : values)
        {
            PutBigEndian(bytes, std::bit_cast<uint32_t>(value));
        }
        return bytes;
    }

    static Bytes RegularBank(const std::vector<Bytes>& entries, uint32_t count, uint32_t current)
    {
        Bytes bytes;
        PutText(bytes, "CcnK");
        PutBigEndian(bytes, 0);
        PutText(bytes, "FxBk");
        PutBigEndian(bytes, 2);
        PutText(bytes, "zr44");
        PutBigEndian(bytes, 10205);
        PutBigEndian(bytes, count);
        PutBigEndian(bytes, current);
        bytes.resize(156, 0);
        for (const Bytes& entry : entries)
        {
            bytes.insert(bytes.end(), entry.begin(), entry.end());
        }
        return bytes;
    }

    static ChunkBuffer Image(const Bytes& bytes)
    {
        ChunkBuffer image;
        image.Assign(bytes.data(), static_cast<int>(bytes.size()));
        return image;
    }

    static Bytes Bytes_(const ChunkBuffer& image) { return Bytes(image.Data(), image.Data() + image.Size()); }

    static double NormalizedValue(const IParameter& param, double x)
    {
        IParameter copy = param;
        copy.SetFromNormalized(x);
        return copy.Value();
    }

    FileTestHome home;
    TestPlug plug;
    RecordingMessageBox messages;
};

TEST_F(ProgramFilesTest, ProgramFileHasTheOpaqueLayout)
{
    SetDistinctValues(plug, 3);
    plug.ModifyCurrentPreset("Pad");
    const std::string path = home.File("pad.fxp");
    ASSERT_TRUE(ProgramFiles::SaveProgram(plug, path));
    const Bytes file = ReadBytes(path);
    ASSERT_EQ(file.size(), 60u + 8 + 21 + 3 + kStateBytes);

    const Bytes header{'C',  'c',  'n',  'K',  0x00, 0x00, 0x07, 0x84, // byte size 1924: the whole file
                       'F',  'P',  'C',  'h',  0x00, 0x00, 0x00, 0x01, // version 1
                       'z',  'r',  '4',  '4',  0x00, 0x00, 0x27, 0xDD, // fx version 10205
                       0x00, 0x00, 0x00, 0xE5,                         // 229 parameters
                       'P',  'a',  'd',  0,    0,    0,    0,    0,    0,    0,    0,
                       0,    0,    0,    0,    0,    0,    0,    0,    0,    0,    0,
                       0,    0,    0,    0,    0,    0,    0x00, 0x00, 0x07, 0x48, // chunk size 1864
                       't',  'f',  'f',  'p',  0x00, 0x00, 0x01, 0x00, // chunk header, little-endian words
                       'Z',  'R',  '-',  '4',  '4',  '0',  '0',  '_',  '1',  '.',  '2',
                       '.',  '2',  0x00, 0x00, 0x00, 0x00, // program index 0
                       0x03, 0x00, 0x00, 0x00, 'P',  'a',  'd'};
    ASSERT_EQ(Bytes(file.begin(), file.begin() + static_cast<long>(header.size())), header);
    for (int i = 0; i < plug.NParams(); ++i)
    {
        double value = 0.0;
        std::memcpy(&value, file.data() + header.size() + static_cast<size_t>(i) * 8, 8);
        EXPECT_EQ(value, plug.GetParam(i)->Value()) << i;
    }
}

TEST_F(ProgramFilesTest, LongNamesAreCutTo27BytesWithoutSplittingACharacter)
{
    const std::string name = std::string(26, 'a') + "\xC3\xA4" + "bcdefgh"; // "ä" at bytes 26 and 27
    plug.ModifyCurrentPreset(name);
    const Bytes file = Bytes_(ProgramFiles::ProgramImage(plug));
    EXPECT_EQ(file.size(), 60u + 8 + 21 + name.size() + kStateBytes);
    EXPECT_EQ(BigEndianAt(file, 4), file.size());
    EXPECT_EQ(std::string(file.begin() + 28, file.begin() + 56), std::string(26, 'a') + std::string(2, '\0'));

    plug.ModifyCurrentPreset(std::string(40, 'x'));
    const Bytes plain = Bytes_(ProgramFiles::ProgramImage(plug));
    EXPECT_EQ(std::string(plain.begin() + 28, plain.begin() + 56), std::string(27, 'x') + '\0');
}

TEST_F(ProgramFilesTest, ProgramRoundTripRestoresValuesAndName)
{
    SetDistinctValues(plug, 4);
    plug.ModifyCurrentPreset("LED: Saw Lead");
    const std::vector<double> saved = plug.Values();
    const std::string path = home.File("lead.fxp");
    ASSERT_TRUE(ProgramFiles::SaveProgram(plug, path));

    TestPlug other;
    other.SelectPreset(7);
    ASSERT_TRUE(ProgramFiles::LoadProgram(other, path));
    EXPECT_EQ(other.Values(), saved);
    EXPECT_EQ(other.GetCurrentPresetIdx(), 7);
    EXPECT_EQ(other.GetPresetName(7), "LED: Saw Lead");
    // The slot holds the loaded state: selecting it again gives the same values.
    SetDistinctValues(other, 9);
    other.SelectPreset(7);
    EXPECT_EQ(other.Values(), saved);
}

TEST_F(ProgramFilesTest, BankFileHasTheOpaqueLayoutAndReloadsByteIdentically)
{
    plug.FillEmptyPresets(64);
    for (int k = 0; k < 64; ++k)
    {
        SetDistinctValues(plug, k);
        plug.SelectPreset(k);
        plug.ModifyCurrentPreset("Program " + std::to_string(k));
    }
    plug.SelectPreset(5);
    const std::string path = home.File("bank.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, path));
    const Bytes file = ReadBytes(path);

    Bytes header{'C', 'c', 'n', 'K'};
    PutBigEndian(header, static_cast<uint32_t>(file.size()));
    PutText(header, "FBCh");
    PutBigEndian(header, 2);
    PutText(header, "zr44");
    PutBigEndian(header, 10205);
    PutBigEndian(header, 64);
    PutBigEndian(header, 5);
    header.resize(156, 0);
    PutBigEndian(header, static_cast<uint32_t>(file.size() - 160));
    PutText(header, "tffp");
    header.insert(header.end(), {0x00, 0x00, 0x01, 0x00});
    ASSERT_EQ(Bytes(file.begin(), file.begin() + 168), header);

    TestPlug other;
    ASSERT_TRUE(ProgramFiles::LoadBank(other, path));
    for (int k = 0; k < 64; ++k)
    {
        EXPECT_EQ(other.GetPresetName(k), "Program " + std::to_string(k));
    }
    EXPECT_EQ(other.GetCurrentPresetIdx(), 0); // the file's current program is not used
    other.SelectPreset(5);
    EXPECT_EQ(other.Values(), plug.Values());

    // A bank saved after loading reloads to the same bytes.
    const std::string again = home.File("again.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(other, again));
    TestPlug third;
    ASSERT_TRUE(ProgramFiles::LoadBank(third, again));
    third.SelectPreset(5);
    const std::string third_path = home.File("third.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(third, third_path));
    EXPECT_EQ(ReadBytes(again), ReadBytes(third_path));
}

TEST_F(ProgramFilesTest, RefusedProgramFilesChangeNothing)
{
    SetDistinctValues(plug, 5);
    plug.ModifyCurrentPreset("Pad"); // 1924 bytes, chunk 1864
    const Bytes good = Bytes_(ProgramFiles::ProgramImage(plug));
    SetDistinctValues(plug, 6);
    plug.SelectPreset(3);
    const PlugSnapshot before(plug);

    auto with = [&](size_t pos, std::string_view bytes)
    {
        Bytes file = good;
        std::memcpy(file.data() + pos, bytes.data(), bytes.size());
        return file;
    };
    const std::vector<std::pair<const char*, Bytes>> refused{
        {"chunk magic", with(0, "CcnX")},
        {"version 2", with(12, std::string("\0\0\0\2", 4))},
        {"fxID", with(16, "zr45")},
        {"fx magic", with(8, "FPCx")},
        {"state cut short", Bytes(good.begin(), good.end() - 1)},
        {"header only", Bytes(good.begin(), good.begin() + 60)},
        {"empty", Bytes()},
    };
    for (const auto& [what, file] : refused)
    {
        EXPECT_FALSE(ProgramFiles::LoadProgramImage(plug, Image(file))) << what;
        EXPECT_TRUE(PlugSnapshot(plug) == before) << what;
    }
    // Cut by one byte with both size fields telling the cut length: the state itself is incomplete.
    Bytes cut(good.begin(), good.end() - 1);
    const Bytes sizes{0x00, 0x00, 0x07, 0x7B}; // 1923 - 8, as other writers count
    const Bytes chunkSize{0x00, 0x00, 0x07, 0x47};
    std::copy(sizes.begin(), sizes.end(), cut.begin() + 4);
    std::copy(chunkSize.begin(), chunkSize.end(), cut.begin() + 56);
    EXPECT_FALSE(ProgramFiles::LoadProgramImage(plug, Image(cut)));
    EXPECT_TRUE(PlugSnapshot(plug) == before);
    EXPECT_FALSE(ProgramFiles::LoadProgram(plug, home.File("missing.fxp")));
    EXPECT_FALSE(ProgramFiles::LoadProgram(plug, ""));
    EXPECT_TRUE(PlugSnapshot(plug) == before);
}

// Other writers and hand-made files put the whole length, the length after the first two words, 0
// or nonsense into the byte size and chunk size words: the chunk runs to the end of the file anyway.
TEST_F(ProgramFilesTest, SizeFieldsAreIgnoredOnReading)
{
    SetDistinctValues(plug, 5);
    plug.ModifyCurrentPreset("Pad");
    const Bytes program = Bytes_(ProgramFiles::ProgramImage(plug));
    const std::vector<double> programValues = plug.Values();
    MakeSmallBank(plug);
    const Bytes bank = Bytes_(ProgramFiles::BankImage(plug, 10205));
    TestPlug expected;
    ASSERT_TRUE(ProgramFiles::LoadBankImage(expected, Image(bank)));

    const size_t programChunk = program.size() - 60;
    const size_t bankChunk = bank.size() - 160;
    const std::vector<std::pair<const char*, uint32_t>> byteSizes{
        {"byte size one beyond the file", static_cast<uint32_t>(program.size() + 1)},
        {"byte size 0xFFFFFFFF", 0xFFFFFFFF},
        {"byte size 0", 0}};
    const std::vector<std::pair<const char*, uint32_t>> programChunkSizes{
        {"chunk size 0", 0},
        {"chunk size one beyond the file", static_cast<uint32_t>(programChunk + 1)},
        {"chunk size 0xFFFFFFFF", 0xFFFFFFFF},
        {"chunk size 8", 8}};
    const std::vector<std::pair<const char*, uint32_t>> bankChunkSizes{
        {"chunk size 0", 0},
        {"chunk size one beyond the file", static_cast<uint32_t>(bankChunk + 1)},
        {"chunk size 0x80000000", 0x80000000},
        {"chunk size 8", 8}};

    auto expectProgramLoads = [&](const Bytes& file, const char* what)
    {
        TestPlug other;
        other.SelectPreset(2);
        EXPECT_TRUE(ProgramFiles::LoadProgramImage(other, Image(file))) << what;
        EXPECT_EQ(other.Values(), programValues) << what;
        EXPECT_EQ(other.GetPresetName(2), "Pad") << what;
    };
    auto expectBankLoads = [&](const Bytes& file, const char* what)
    {
        TestPlug other;
        EXPECT_TRUE(ProgramFiles::LoadBankImage(other, Image(file))) << what;
        EXPECT_TRUE(PlugSnapshot(other) == PlugSnapshot(expected)) << what;
    };
    for (const auto& [what, size] : byteSizes)
    {
        expectProgramLoads(WithBigEndianAt(program, 4, size), what);
        expectBankLoads(WithBigEndianAt(bank, 4, size), what);
    }
    for (const auto& [what, size] : programChunkSizes)
    {
        expectProgramLoads(WithBigEndianAt(program, 56, size), what);
    }
    for (const auto& [what, size] : bankChunkSizes)
    {
        expectBankLoads(WithBigEndianAt(bank, 156, size), what);
    }
    // Both at once, and bytes after the chunk: the chunk's own layout ends the read.
    Bytes trailing = WithBigEndianAt(WithBigEndianAt(program, 4, 0), 56, 0);
    trailing.insert(trailing.end(), 100, 0xEE);
    expectProgramLoads(trailing, "both fields 0, 100 bytes after the state");

    // The real length still bounds every read: the same fields on a file cut short are refused.
    TestPlug untouched;
    const PlugSnapshot before(untouched);
    const Bytes cutProgram(program.begin(), program.end() - 1);
    const Bytes cutBank(bank.begin(), bank.end() - 1);
    for (uint32_t size : {0u, 0xFFFFFFFFu, static_cast<uint32_t>(programChunk - 1)})
    {
        EXPECT_FALSE(ProgramFiles::LoadProgramImage(untouched, Image(WithBigEndianAt(cutProgram, 56, size))))
            << size;
        EXPECT_FALSE(ProgramFiles::LoadBankImage(untouched, Image(WithBigEndianAt(cutBank, 156, size))))
            << size;
    }
    EXPECT_FALSE(
        ProgramFiles::LoadProgramImage(untouched, Image(Bytes(program.begin(), program.begin() + 59))));
    EXPECT_TRUE(PlugSnapshot(untouched) == before);
}

TEST_F(ProgramFilesTest, RegularKindsIgnoreTheByteSize)
{
    const Bytes regular = RegularProgram("Half Way", std::vector<float>(229, 0.5f));
    for (uint32_t size : {0u, static_cast<uint32_t>(regular.size() + 1), 0xFFFFFFFFu})
    {
        TestPlug other;
        other.SelectPreset(0);
        ASSERT_TRUE(ProgramFiles::LoadProgramImage(other, Image(WithBigEndianAt(regular, 4, size)))) << size;
        EXPECT_EQ(other.GetParam(0)->Value(), NormalizedValue(*other.GetParam(0), 0.5)) << size;
        EXPECT_EQ(other.GetPresetName(0), "Half Way") << size;

        const Bytes bank = RegularBank({RegularProgram("Alpha", std::vector<float>(229, 1.0f))}, 1, 0);
        ASSERT_TRUE(ProgramFiles::LoadBankImage(other, Image(WithBigEndianAt(bank, 4, size)))) << size;
        EXPECT_EQ(other.GetPresetName(0), "Alpha") << size;
        EXPECT_EQ(other.GetParam(0)->Value(), other.GetParam(0)->Max()) << size;
    }
}

TEST_F(ProgramFilesTest, BankVersionIsNotCheckedButItsIdentityIs)
{
    MakeSmallBank(plug);
    Bytes file = Bytes_(ProgramFiles::BankImage(plug, 10205));
    TestPlug other;
    const PlugSnapshot before(other);

    Bytes version1 = file;
    version1[15] = 1;
    EXPECT_TRUE(ProgramFiles::LoadBankImage(other, Image(version1)));
    EXPECT_EQ(other.GetPresetName(1), "Second");

    TestPlug fresh;
    Bytes wrongId = file;
    wrongId[19] = '5';
    EXPECT_FALSE(ProgramFiles::LoadBankImage(fresh, Image(wrongId)));
    Bytes wrongMagic = file;
    wrongMagic[11] = 'x';
    EXPECT_FALSE(ProgramFiles::LoadBankImage(fresh, Image(wrongMagic)));
    EXPECT_TRUE(PlugSnapshot(fresh) == before);
}

TEST_F(ProgramFilesTest, EveryPrefixOfAValidFileIsRefusedWithoutChange)
{
    MakeSmallBank(plug);
    const Bytes bank = Bytes_(ProgramFiles::BankImage(plug, 10205));
    const Bytes program = Bytes_(ProgramFiles::ProgramImage(plug));
    TestPlug target;
    SetDistinctValues(target, 8);
    const PlugSnapshot before(target);
    for (size_t length = 0; length < bank.size(); ++length)
    {
        ASSERT_FALSE(
            ProgramFiles::LoadBankImage(target, Image(Bytes(bank.begin(), bank.begin() + long(length)))))
            << length;
    }
    for (size_t length = 0; length < program.size(); ++length)
    {
        ASSERT_FALSE(ProgramFiles::LoadProgramImage(
            target, Image(Bytes(program.begin(), program.begin() + long(length)))))
            << length;
    }
    EXPECT_TRUE(PlugSnapshot(target) == before);
    EXPECT_TRUE(ProgramFiles::LoadBankImage(target, Image(bank)));
    EXPECT_TRUE(ProgramFiles::LoadProgramImage(target, Image(program)));
}

TEST_F(ProgramFilesTest, RandomBytesLoadWithoutHarm)
{
    std::mt19937 rng(20240611);
    const Bytes valid = Bytes_(ProgramFiles::ProgramImage(plug));
    for (int round = 0; round < 400; ++round)
    {
        Bytes file(rng() % 2500);
        for (uint8_t& b : file)
        {
            b = static_cast<uint8_t>(rng());
        }
        // Half of them carry a plausible header so the checks further in are reached.
        if (round % 2 == 1 && file.size() >= 60)
        {
            std::memcpy(file.data(), valid.data(), 24);
            const char* magic[] = {"FPCh", "FxCk", "FBCh", "FxBk"};
            std::memcpy(file.data() + 8, magic[(round / 2) % 4], 4);
        }
        ProgramFiles::LoadProgramImage(plug, Image(file));
        ProgramFiles::LoadBankImage(plug, Image(file));
        ASSERT_TRUE(plug.AllParamsInRange()) << round;
    }
}

TEST_F(ProgramFilesTest, RegularProgramSetsNormalisedValues)
{
    plug.SelectPreset(2);
    ASSERT_TRUE(ProgramFiles::LoadProgramImage(
        plug, Image(RegularProgram("Half Way", std::vector<float>(229, 0.5f)))));
    for (int i = 0; i < plug.NParams(); ++i)
    {
        EXPECT_EQ(plug.GetParam(i)->Value(), NormalizedValue(*plug.GetParam(i), 0.5)) << i;
    }
    EXPECT_EQ(plug.GetPresetName(2), "Half Way");

    // A short file sets what it holds; the other parameters keep their values.
    SetDistinctValues(plug, 2);
    const std::vector<double> before = plug.Values();
    ASSERT_TRUE(
        ProgramFiles::LoadProgramImage(plug, Image(RegularProgram("", std::vector<float>(10, 0.0f)))));
    for (int i = 0; i < plug.NParams(); ++i)
    {
        EXPECT_EQ(plug.GetParam(i)->Value(), i < 10 ? plug.GetParam(i)->Min() : before[size_t(i)]) << i;
    }
    EXPECT_EQ(plug.GetPresetName(2), "Half Way"); // an empty name keeps the slot's name
}

TEST_F(ProgramFilesTest, RegularBankFillsSlotsAndNamesNamelessOnesAsUserPresets)
{
    plug.SelectPreset(0);
    plug.ModifyCurrentPreset("Keep 0");
    const std::vector<Bytes> entries{RegularProgram("Alpha", std::vector<float>(229, 0.0f)),
                                     RegularProgram("", std::vector<float>(229, 1.0f)),
                                     RegularProgram("Gamma", std::vector<float>(229, 0.5f))};
    ASSERT_TRUE(ProgramFiles::LoadBankImage(plug, Image(RegularBank(entries, 3, 1))));
    EXPECT_EQ(plug.GetPresetName(0), "Alpha");
    EXPECT_EQ(plug.GetPresetName(1), "user preset 1");
    EXPECT_EQ(plug.GetPresetName(2), "Gamma");
    EXPECT_EQ(plug.GetPresetName(3), "empty");
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
    for (int i = 0; i < plug.NParams(); ++i)
    {
        EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Max()) << i;
    }
    plug.SelectPreset(0);
    EXPECT_EQ(plug.GetParam(0)->Value(), plug.GetParam(0)->Min());
}

TEST_F(ProgramFilesTest, RegularBankWithABadEntryOrCountIsRefusedWhole)
{
    const Bytes good = RegularProgram("Good", std::vector<float>(229, 0.25f));
    const PlugSnapshot before(plug);
    const std::vector<std::pair<const char*, Bytes>> refused{
        {"parameter count 228",
         RegularBank({good, RegularProgram("Bad", std::vector<float>(229, 0.f), 228)}, 2, 0)},
        {"entry cut short", RegularBank({good, Bytes(good.begin(), good.end() - 4)}, 2, 0)},
        {"count beyond the file", RegularBank({good}, 2, 0)},
        {"huge count", RegularBank({good}, 0x7FFFFFFF, 0)},
        {"negative count", RegularBank({good}, 0xFFFFFFFF, 0)},
    };
    for (const auto& [what, file] : refused)
    {
        EXPECT_FALSE(ProgramFiles::LoadBankImage(plug, Image(file))) << what;
        EXPECT_TRUE(PlugSnapshot(plug) == before) << what;
    }
}

TEST_F(ProgramFilesTest, RegularBankEntriesBeyondTheSlotsAreIgnored)
{
    std::vector<Bytes> entries;
    for (int k = 0; k < 70; ++k)
    {
        entries.push_back(
            RegularProgram("P" + std::to_string(k), std::vector<float>(229, k < 64 ? 0.0f : 1.0f)));
    }
    ASSERT_TRUE(ProgramFiles::LoadBankImage(plug, Image(RegularBank(entries, 70, 0))));
    EXPECT_EQ(plug.GetPresetName(63), "P63");
    plug.SelectPreset(63);
    EXPECT_EQ(plug.GetParam(0)->Value(), plug.GetParam(0)->Min());
}

TEST_F(ProgramFilesTest, SuggestedFileNameReplacesTheNineCharacters)
{
    EXPECT_EQ(ProgramFiles::SuggestedProgramFileName("X/Y:Z"), "X_Y_Z");
    EXPECT_EQ(ProgramFiles::SuggestedProgramFileName("a<b>c:d\"e/f\\g|h?i*j k.l"), "a_b_c_d_e_f_g_h_i_j k.l");
}

TEST_F(ProgramFilesTest, CommandsReportFailuresAndRememberTheFolder)
{
    // A cancelled dialog does nothing.
    ProgramFolder::Set("/start");
    EXPECT_FALSE(ProgramFiles::RunCommand(ProgramFiles::Command::LoadBank, plug, messages, ""));
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(ProgramFolder::Get(), "/start");

    EXPECT_FALSE(
        ProgramFiles::RunCommand(ProgramFiles::Command::LoadProgram, plug, messages, home.File("no.fxp")));
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "Cannot load file!");
    EXPECT_EQ(messages.messages[0].title, "Error");
    EXPECT_EQ(messages.messages[0].buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(ProgramFolder::Get(), home.Path());

    EXPECT_FALSE(
        ProgramFiles::RunCommand(ProgramFiles::Command::SaveBank, plug, messages, home.File("none/x.fxb")));
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].text, "Cannot save file!");
    EXPECT_EQ(ProgramFolder::Get(), home.File("none"));

    // Saving stores the current values in the current slot first.
    plug.SelectPreset(4);
    SetDistinctValues(plug, 11);
    const std::vector<double> edited = plug.Values();
    EXPECT_TRUE(
        ProgramFiles::RunCommand(ProgramFiles::Command::SaveProgram, plug, messages, home.File("p.fxp")));
    EXPECT_EQ(messages.messages.size(), 2u);
    SetDistinctValues(plug, 12);
    plug.SelectPreset(4);
    EXPECT_EQ(plug.Values(), edited);
    EXPECT_EQ(ProgramFolder::Get(), home.Path());
}

TEST(ProgramFolderTest, FolderOfAPathAndOneTimeInitialisation)
{
    ProgramFolder::Reset();
    EXPECT_EQ(ProgramFolder::FolderOf("/a/b/c.fxp"), "/a/b");
    EXPECT_EQ(ProgramFolder::FolderOf("C:\\Banks\\x.fxb"), "C:\\Banks");
    EXPECT_EQ(ProgramFolder::FolderOf("plain.fxp"), "");
    ProgramFolder::InitializeOnce("/first");
    ProgramFolder::InitializeOnce("/second");
    EXPECT_EQ(ProgramFolder::Get(), "/first");
    ProgramFolder::RememberFileFolder("");
    EXPECT_EQ(ProgramFolder::Get(), "/first");
    ProgramFolder::Reset();
}

} // namespace
