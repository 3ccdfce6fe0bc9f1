#pragma once

#include "plugin/ChunkBuffer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr
{

class IMessageBox;
class IPlugBase;

// A four-character code as a big-endian word: the first character in the top byte.
constexpr uint32_t FourCC(const char (&code)[5])
{
    return (static_cast<uint32_t>(static_cast<uint8_t>(code[0])) << 24) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[1])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(code[2])) << 8) |
           static_cast<uint32_t>(static_cast<uint8_t>(code[3]));
}

// Program files (.fxp) and bank files (.fxb). Header words are 32-bit big-endian, four-character
// codes stored as their characters in order; the chunk inside an opaque file is the plug-in's own
// program or bank format, stored unchanged.
//
//   program file, opaque ("FPCh", written and read) and regular ("FxCk", read):
//     0 "CcnK"  4 byte size  8 fx magic  12 version 1  16 fxID  20 fx version  24 parameter count
//     28 name (28 bytes, zero-padded)  56 chunk size + chunk ("FPCh") or one float per parameter ("FxCk")
//   bank file, opaque ("FBCh", written and read) and regular ("FxBk", read):
//     0 "CcnK"  4 byte size  8 fx magic  12 version 2  16 fxID  20 fx version  24 program count
//     28 current program  32 reserved (124 zero bytes)  156 chunk size + chunk ("FBCh") or, program
//     count times, a regular program file without chunk size ("FxBk")
//
// A file is read whole into memory (at most kMaxFileBytes) and checked completely against its real
// length before anything is applied: a refused file changes neither the parameters nor the programs.
// The byte size and chunk size words are written but never trusted on reading: the chunk of an
// opaque file runs to the end of the file.
// Every operation takes the plug-in's lock; all run on the editor's thread or during construction,
// never on the audio thread.
class ProgramFiles
{
public:
    static constexpr uint32_t kFileMagic = FourCC("CcnK");
    static constexpr uint32_t kOpaqueProgramMagic = FourCC("FPCh");
    static constexpr uint32_t kRegularProgramMagic = FourCC("FxCk");
    static constexpr uint32_t kOpaqueBankMagic = FourCC("FBCh");
    static constexpr uint32_t kRegularBankMagic = FourCC("FxBk");
    static constexpr int32_t kProgramFileVersion = 1;
    static constexpr int32_t kBankFileVersion = 2;

    // Offsets shared by program and bank headers.
    static constexpr int kByteSizeOffset = 4;
    static constexpr int kFxMagicOffset = 8;
    static constexpr int kVersionOffset = 12;
    static constexpr int kFxIdOffset = 16;
    static constexpr int kFxVersionOffset = 20;
    static constexpr int kCountOffset = 24;
    // Program headers.
    static constexpr int kNameOffset = 28;
    static constexpr int kNameFieldBytes = 28;
    // Names are cut to this many bytes so that the field keeps a terminator.
    static constexpr int kMaxNameBytes = kNameFieldBytes - 1;
    static constexpr int kRegularProgramHeaderBytes = 56;
    static constexpr int kProgramChunkSizeOffset = 56;
    static constexpr int kProgramHeaderBytes = 60;
    // Bank headers.
    static constexpr int kCurrentProgramOffset = 28;
    static constexpr int kReservedBytes = 124;
    static constexpr int kBankChunkSizeOffset = 156;
    static constexpr int kRegularBankHeaderBytes = 156;
    static constexpr int kBankHeaderBytes = 160;

    // Larger files are refused unread.
    static constexpr size_t kMaxFileBytes = size_t{16} << 20;

    static constexpr std::string_view kCannotLoadText = "Cannot load file!";
    static constexpr std::string_view kCannotSaveText = "Cannot save file!";
    static constexpr std::string_view kErrorTitle = "Error";
    static constexpr std::string_view kSuggestedBankFileName = "ZR-4400";

    // ---- Files ---------------------------------------------------------------------------------
    // Write the opaque file of the current program or of all programs by an atomic replace; false
    // for an empty path or a file that cannot be written.
    static bool SaveProgram(IPlugBase& plug, const std::string& path);
    static bool SaveBank(IPlugBase& plug, const std::string& path);
    // Load a program file into the current slot, or a bank file into all slots; false for an empty
    // path, a file that cannot be read or a file that fails its checks (nothing changes then).
    static bool LoadProgram(IPlugBase& plug, const std::string& path);
    static bool LoadBank(IPlugBase& plug, const std::string& path);

    // ---- The same in memory --------------------------------------------------------------------
    static ChunkBuffer ProgramImage(IPlugBase& plug);
    // fxVersion is written into the header (the plug-in's decimal version for saved banks).
    static ChunkBuffer BankImage(IPlugBase& plug, int32_t fxVersion);
    static bool LoadProgramImage(IPlugBase& plug, const ChunkBuffer& file);
    static bool LoadBankImage(IPlugBase& plug, const ChunkBuffer& file);

    // ---- Menu commands, run after the file dialog ----------------------------------------------
    enum class Command
    {
        LoadProgram,
        SaveProgram,
        LoadBank,
        SaveBank
    };
    // An empty path (the dialog returned no file) does nothing. Otherwise the saves first store the
    // current state in the current slot; after the command, successful or not, the remembered folder
    // becomes the file's folder; a failure shows "Cannot load file!" or "Cannot save file!".
    static bool RunCommand(Command command, IPlugBase& plug, IMessageBox& messages, const std::string& path);
    // The program name with each of < > : " / \ | ? * replaced by an underscore.
    static std::string SuggestedProgramFileName(std::string_view programName);

    // ---- Checks on chunks ----------------------------------------------------------------------
    // The position after a complete program state at pos (tagged, or a bare list of nParams doubles),
    // or -1 when the state is cut short.
    static int ProgramStateEnd(const ChunkBuffer& chunk, int pos, int nParams);
    // The position after a complete bank of nPresets slots at pos, or -1.
    static int BankEnd(const ChunkBuffer& chunk, int pos, int nPresets, int nParams);
};

} // namespace zr
