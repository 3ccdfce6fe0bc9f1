#include "plugin/ProgramFiles.h"

#include "platform/FileAccess.h"
#include "plugin/IPlugBase.h"
#include "plugin/MessageBox.h"
#include "plugin/ProgramFolder.h"
#include "plugin/ProgramState.h"

#include <algorithm>
#include <array>
#include <bit>
#include <mutex>

namespace zr
{

namespace
{

using Lock = std::lock_guard<std::recursive_mutex>;

constexpr int kWordBytes = 4;
constexpr int kDoubleBytes = 8;
constexpr int kStateHeaderBytes = static_cast<int>(ProgramState::kStateTag.size()) + kWordBytes;

// ---- Big-endian header words ------------------------------------------------------------------

void PutWord(ChunkBuffer& image, uint32_t word)
{
    const std::array<uint8_t, kWordBytes> bytes{static_cast<uint8_t>(word >> 24),
                                                static_cast<uint8_t>(word >> 16),
                                                static_cast<uint8_t>(word >> 8), static_cast<uint8_t>(word)};
    image.PutBytes(bytes.data(), kWordBytes);
}

void PutWord(ChunkBuffer& image, int32_t word)
{
    PutWord(image, static_cast<uint32_t>(word));
}

// False when the word does not lie wholly inside the file.
bool GetWord(const ChunkBuffer& file, int pos, uint32_t* word)
{
    std::array<uint8_t, kWordBytes> bytes{};
    if (file.GetBytes(bytes.data(), kWordBytes, pos) < 0)
    {
        return false;
    }
    *word = (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) | bytes[3];
    return true;
}

bool GetSignedWord(const ChunkBuffer& file, int pos, int32_t* word)
{
    uint32_t raw = 0;
    if (!GetWord(file, pos, &raw))
    {
        return false;
    }
    *word = static_cast<int32_t>(raw);
    return true;
}

bool WordEquals(const ChunkBuffer& file, int pos, uint32_t expected)
{
    uint32_t word = 0;
    return GetWord(file, pos, &word) && word == expected;
}

float GetFloat(const ChunkBuffer& file, int pos)
{
    uint32_t raw = 0;
    GetWord(file, pos, &raw);
    return std::bit_cast<float>(raw);
}

// ---- Names ------------------------------------------------------------------------------------

// The name cut to the field's limit without splitting a UTF-8 sequence, zero-padded to the field.
void PutName(ChunkBuffer& image, std::string_view name)
{
    size_t length = std::min(name.size(), static_cast<size_t>(ProgramFiles::kMaxNameBytes));
    if (length < name.size())
    {
        while (length > 0 && (static_cast<uint8_t>(name[length]) & 0xC0) == 0x80)
        {
            --length;
        }
    }
    std::array<char, ProgramFiles::kNameFieldBytes> field{};
    std::copy_n(name.begin(), length, field.begin());
    image.PutBytes(field.data(), ProgramFiles::kNameFieldBytes);
}

// The name field at pos up to its first zero byte.
std::string GetName(const ChunkBuffer& file, int pos)
{
    std::array<char, ProgramFiles::kNameFieldBytes> field{};
    file.GetBytes(field.data(), ProgramFiles::kNameFieldBytes, pos);
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

// ---- Header checks ----------------------------------------------------------------------------

// The file magic and the unique identifier. The byte size word is not examined: writers disagree on
// what it counts (the whole length, the length after the first two words, or nothing at all).
bool HeaderMatches(const IPlugBase& plug, const ChunkBuffer& file)
{
    return WordEquals(file, 0, ProgramFiles::kFileMagic) &&
           WordEquals(file, ProgramFiles::kFxIdOffset, static_cast<uint32_t>(plug.GetUniqueID()));
}

// The chunk of an opaque file, its "tffp" header skipped: every byte after the chunk size word at
// sizeOffset up to the end of the file. The word itself is not examined (files written by hand or by
// other tools hold 0 or sizes that do not match); the chunk's own layout is checked by the caller.
// False when the file ends before the chunk starts.
bool ExtractChunk(const ChunkBuffer& file, int sizeOffset, ChunkBuffer* chunk, int* start)
{
    const int first = sizeOffset + kWordBytes;
    if (file.Size() < first)
    {
        return false;
    }
    chunk->Assign(file.Data() + first, file.Size() - first);
    int pos = 0;
    IPlugBase::ReadChunkVersion(*chunk, pos);
    *start = pos;
    return pos >= 0;
}

// Stores the loaded state and name in the current slot, reloads it and tells the host.
void FinishProgramLoad(IPlugBase& plug, const std::string& name)
{
    plug.ModifyCurrentPreset(name);
    plug.SelectPreset(plug.GetCurrentPresetIdx());
    plug.NotifyHostProgramChange();
}

// Gives the parameters the normalised floats at pos, as many as the file holds (the others keep
// their values).
void ApplyFloats(IPlugBase& plug, const ChunkBuffer& file, int pos)
{
    const int available = (file.Size() - pos) / kWordBytes;
    const int count = std::min(plug.NParams(), std::max(available, 0));
    for (int i = 0; i < count; ++i)
    {
        plug.GetParam(i)->SetFromNormalized(GetFloat(file, pos + i * kWordBytes));
    }
}

bool LoadOpaqueProgram(IPlugBase& plug, const ChunkBuffer& file)
{
    ChunkBuffer chunk;
    int pos = 0;
    if (!ExtractChunk(file, ProgramFiles::kProgramChunkSizeOffset, &chunk, &pos) ||
        ProgramFiles::ProgramStateEnd(chunk, pos, plug.NParams()) < 0)
    {
        return false;
    }
    plug.UnserializeProgramState(chunk, pos);
    return true;
}

bool LoadOpaqueBank(IPlugBase& plug, const ChunkBuffer& file)
{
    ChunkBuffer chunk;
    int pos = 0;
    if (!ExtractChunk(file, ProgramFiles::kBankChunkSizeOffset, &chunk, &pos) ||
        ProgramFiles::BankEnd(chunk, pos, plug.NPresets(), plug.NParams()) < 0)
    {
        return false;
    }
    plug.UnserializePresets(chunk, pos);
    return true;
}

int RegularEntryBytes(const IPlugBase& plug)
{
    return ProgramFiles::kRegularProgramHeaderBytes + plug.NParams() * kWordBytes;
}

bool RegularEntryMatches(const IPlugBase& plug, const ChunkBuffer& file, int entry)
{
    return WordEquals(file, entry, ProgramFiles::kFileMagic) &&
           WordEquals(file, entry + ProgramFiles::kFxMagicOffset, ProgramFiles::kRegularProgramMagic) &&
           WordEquals(file, entry + ProgramFiles::kVersionOffset, ProgramFiles::kProgramFileVersion) &&
           WordEquals(file, entry + ProgramFiles::kCountOffset, static_cast<uint32_t>(plug.NParams()));
}

// Every entry is checked before the first is applied. Entries beyond the program slots are ignored:
// they have no slot of their own to go to.
bool LoadRegularBank(IPlugBase& plug, const ChunkBuffer& file)
{
    int32_t count = 0;
    int32_t current = 0;
    if (!GetSignedWord(file, ProgramFiles::kCountOffset, &count) ||
        !GetSignedWord(file, ProgramFiles::kCurrentProgramOffset, &current) || count < 0)
    {
        return false;
    }
    const int entryBytes = RegularEntryBytes(plug);
    const int64_t needed = ProgramFiles::kRegularBankHeaderBytes + int64_t{count} * entryBytes;
    if (needed > file.Size())
    {
        return false;
    }
    for (int i = 0; i < count; ++i)
    {
        if (!RegularEntryMatches(plug, file, ProgramFiles::kRegularBankHeaderBytes + i * entryBytes))
        {
            return false;
        }
    }
    const int loaded = std::min(count, plug.NPresets());
    for (int i = 0; i < loaded; ++i)
    {
        const int entry = ProgramFiles::kRegularBankHeaderBytes + i * entryBytes;
        plug.SelectPreset(i);
        ApplyFloats(plug, file, entry + ProgramFiles::kRegularProgramHeaderBytes);
        plug.ModifyCurrentPreset(GetName(file, entry + ProgramFiles::kNameOffset));
    }
    plug.SelectPreset(current);
    return true;
}

// The file at path in a buffer; false when it is missing, unreadable or too large.
bool ReadFile(const std::string& path, ChunkBuffer* file)
{
    if (path.empty())
    {
        return false;
    }
    const platform::FileReadResult read = platform::ReadWholeFile(path, ProgramFiles::kMaxFileBytes);
    if (read.status != platform::FileReadStatus::Read)
    {
        return false;
    }
    file->Assign(read.contents.data(), static_cast<int>(read.contents.size()));
    return true;
}

bool WriteFile(const std::string& path, const ChunkBuffer& image)
{
    if (path.empty())
    {
        return false;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(image.Data()),
                                 static_cast<size_t>(image.Size()));
    return platform::ReplaceFileAtomically(path, bytes);
}

} // namespace

// ---- Images -------------------------------------------------------------------------------------

ChunkBuffer ProgramFiles::ProgramImage(IPlugBase& plug)
{
    Lock lock(plug.Mutex());
    ChunkBuffer chunk;
    IPlugBase::StartChunk(chunk);
    plug.SerializeProgramState(chunk);
    ChunkBuffer image;
    PutWord(image, kFileMagic);
    PutWord(image, chunk.Size() + kProgramHeaderBytes);
    PutWord(image, kOpaqueProgramMagic);
    PutWord(image, kProgramFileVersion);
    PutWord(image, plug.GetUniqueID());
    PutWord(image, plug.GetEffectVersion(true));
    PutWord(image, plug.NParams());
    PutName(image, plug.GetPresetName(plug.GetCurrentPresetIdx()));
    PutWord(image, chunk.Size());
    image.PutChunk(chunk);
    return image;
}

ChunkBuffer ProgramFiles::BankImage(IPlugBase& plug, int32_t fxVersion)
{
    Lock lock(plug.Mutex());
    ChunkBuffer chunk;
    IPlugBase::StartChunk(chunk);
    plug.SerializePresets(chunk);
    ChunkBuffer image;
    PutWord(image, kFileMagic);
    PutWord(image, chunk.Size() + kBankHeaderBytes);
    PutWord(image, kOpaqueBankMagic);
    PutWord(image, kBankFileVersion);
    PutWord(image, plug.GetUniqueID());
    PutWord(image, fxVersion);
    PutWord(image, plug.NPresets());
    PutWord(image, plug.GetCurrentPresetIdx());
    const std::array<uint8_t, kReservedBytes> reserved{};
    image.PutBytes(reserved.data(), kReservedBytes);
    PutWord(image, chunk.Size());
    image.PutChunk(chunk);
    return image;
}

bool ProgramFiles::LoadProgramImage(IPlugBase& plug, const ChunkBuffer& file)
{
    Lock lock(plug.Mutex());
    if (!HeaderMatches(plug, file) || !WordEquals(file, kVersionOffset, kProgramFileVersion))
    {
        return false;
    }
    if (plug.DoesStateChunks() && WordEquals(file, kFxMagicOffset, kOpaqueProgramMagic))
    {
        if (!LoadOpaqueProgram(plug, file))
        {
            return false;
        }
    }
    else if (WordEquals(file, kFxMagicOffset, kRegularProgramMagic) &&
             file.Size() >= kRegularProgramHeaderBytes)
    {
        ApplyFloats(plug, file, kRegularProgramHeaderBytes);
    }
    else
    {
        return false;
    }
    FinishProgramLoad(plug, GetName(file, kNameOffset));
    return true;
}

bool ProgramFiles::LoadBankImage(IPlugBase& plug, const ChunkBuffer& file)
{
    Lock lock(plug.Mutex());
    if (!HeaderMatches(plug, file))
    {
        return false;
    }
    bool loaded = false;
    if (plug.DoesStateChunks() && WordEquals(file, kFxMagicOffset, kOpaqueBankMagic))
    {
        loaded = LoadOpaqueBank(plug, file);
    }
    else if (WordEquals(file, kFxMagicOffset, kRegularBankMagic))
    {
        loaded = LoadRegularBank(plug, file);
    }
    if (loaded)
    {
        plug.NotifyHostProgramChange();
    }
    return loaded;
}

// ---- Files --------------------------------------------------------------------------------------

bool ProgramFiles::SaveProgram(IPlugBase& plug, const std::string& path)
{
    return !path.empty() && WriteFile(path, ProgramImage(plug));
}

bool ProgramFiles::SaveBank(IPlugBase& plug, const std::string& path)
{
    return !path.empty() && WriteFile(path, BankImage(plug, plug.GetEffectVersion(true)));
}

bool ProgramFiles::LoadProgram(IPlugBase& plug, const std::string& path)
{
    ChunkBuffer file;
    return ReadFile(path, &file) && LoadProgramImage(plug, file);
}

bool ProgramFiles::LoadBank(IPlugBase& plug, const std::string& path)
{
    ChunkBuffer file;
    return ReadFile(path, &file) && LoadBankImage(plug, file);
}

// ---- Menu commands ------------------------------------------------------------------------------

bool ProgramFiles::RunCommand(Command command, IPlugBase& plug, IMessageBox& messages,
                              const std::string& path)
{
    if (path.empty())
    {
        return false;
    }
    bool ok = false;
    bool saving = false;
    {
        Lock lock(plug.Mutex());
        switch (command)
        {
        case Command::LoadProgram:
            ok = LoadProgram(plug, path);
            break;
        case Command::LoadBank:
            ok = LoadBank(plug, path);
            break;
        case Command::SaveProgram:
            saving = true;
            plug.ModifyCurrentPreset();
            ok = SaveProgram(plug, path);
            break;
        case Command::SaveBank:
            saving = true;
            plug.ModifyCurrentPreset();
            ok = SaveBank(plug, path);
            break;
        }
    }
    ProgramFolder::RememberFileFolder(path);
    if (!ok)
    {
        messages.Show(saving ? kCannotSaveText : kCannotLoadText, kErrorTitle, MessageBoxButtons::Ok);
    }
    return ok;
}

std::string ProgramFiles::SuggestedProgramFileName(std::string_view programName)
{
    constexpr std::string_view kUnsafe = "<>:\"/\\|?*";
    std::string name(programName);
    std::replace_if(
        name.begin(), name.end(), [&](char c) { return kUnsafe.find(c) != std::string_view::npos; }, '_');
    return name;
}

// ---- Chunk checks -------------------------------------------------------------------------------

int ProgramFiles::ProgramStateEnd(const ChunkBuffer& chunk, int pos, int nParams)
{
    if (pos < 0)
    {
        return -1;
    }
    if (ProgramState::HasStateTag(chunk, pos))
    {
        std::string name;
        pos = chunk.GetString(&name, pos + kStateHeaderBytes);
        if (pos < 0)
        {
            return -1;
        }
    }
    const int64_t end = int64_t{pos} + int64_t{nParams} * kDoubleBytes;
    return end <= chunk.Size() ? static_cast<int>(end) : -1;
}

int ProgramFiles::BankEnd(const ChunkBuffer& chunk, int pos, int nPresets, int nParams)
{
    for (int i = 0; i < nPresets && pos >= 0; ++i)
    {
        std::string name;
        bool initialized = false;
        pos = chunk.GetBool(&initialized, chunk.GetString(&name, pos));
        if (pos >= 0 && initialized)
        {
            pos = ProgramStateEnd(chunk, pos, nParams);
        }
    }
    return pos;
}

} // namespace zr
