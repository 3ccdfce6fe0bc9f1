// VST program (.fxp) and bank (.fxb) files: reading their big-endian container and handing the
// contents to a plug-in the way hosts do (opaque chunks through effSetChunk, plain parameter
// lists through setParameter), and writing a plug-in's opaque chunk (effGetChunk) into one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zr::render
{

class PluginInstance;

struct FxProgram
{
    std::string name;
    std::vector<float> params;
};

struct FxFile
{
    enum class Kind
    {
        ProgramParams, // "FxCk"
        ProgramChunk,  // "FPCh"
        BankPrograms,  // "FxBk"
        BankChunk,     // "FBCh"
    };
    static constexpr std::size_t kProgramHeaderSize = 56; // up to the parameters or chunk size
    static constexpr std::size_t kBankHeaderSize = 156;   // up to the programs or chunk size
    static constexpr std::size_t kProgramNameSize = 28;
    static constexpr std::size_t kBankReservedSize = 124;
    static constexpr std::int32_t kProgramFormatVersion = 1;
    static constexpr std::int32_t kBankFormatVersion = 2;

    Kind kind = Kind::ProgramParams;
    std::int32_t pluginId = 0;
    std::int32_t fxVersion = 0;
    int count = 0;          // written files: parameters (program) or programs (bank)
    int currentProgram = 0; // banks of format version 2
    FxProgram program;      // program files with parameters
    std::vector<FxProgram> programs;
    std::vector<std::uint8_t> chunk;

    bool IsBank() const { return kind == Kind::BankPrograms || kind == Kind::BankChunk; }
    bool IsChunk() const { return kind == Kind::ProgramChunk || kind == Kind::BankChunk; }

    // Parses the bytes of a file; throws ToolError (naming `what`) when they are malformed.
    static FxFile Parse(const std::vector<std::uint8_t>& bytes, const std::string& what);
    // Reads and parses a file and checks that it is a bank or a program as expected.
    static FxFile Load(const std::string& path, bool expectBank);

    // The opaque program ("FPCh") or bank ("FBCh") file of the plug-in's present state, as hosts
    // save one: the chunk from effGetChunk, the current program's name (cut to 27 bytes), the
    // plug-in's id, version and counts. Throws ToolError when the plug-in exchanges no chunks.
    static FxFile FromPlugin(PluginInstance& plugin, bool bank);
    // The file's bytes: big-endian header words, the byte size field holding the whole length,
    // then the chunk unchanged. Opaque kinds only.
    std::vector<std::uint8_t> Serialize() const;
    // Writes Serialize() to path; throws ToolError when it cannot be written.
    void Save(const std::string& path) const;

    // Applies the contents to the plug-in; throws ToolError when the file is for another plug-in
    // or the plug-in cannot take it. Warnings go to stderr.
    void ApplyTo(PluginInstance& plugin, const std::string& path) const;
};

} // namespace zr::render
