#include "FxFile.h"

#include "PluginInstance.h"
#include "ToolError.h"
#include "plugin/VstAbi.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

namespace zr::render
{
namespace
{

constexpr std::int32_t kContainerMagic = vst::FourCC('C', 'c', 'n', 'K');
constexpr std::int32_t kProgramParamsMagic = vst::FourCC('F', 'x', 'C', 'k');
constexpr std::int32_t kProgramChunkMagic = vst::FourCC('F', 'P', 'C', 'h');
constexpr std::int32_t kBankParamsMagic = vst::FourCC('F', 'x', 'B', 'k');
constexpr std::int32_t kBankChunkMagic = vst::FourCC('F', 'B', 'C', 'h');
constexpr std::size_t kBankCurrentProgramOffset = 28;
constexpr std::int32_t kBankVersionWithCurrentProgram = 2;

// Bounds-checked big-endian reading; every failure is a ToolError naming the file.
class BigEndianReader
{
public:
    BigEndianReader(const std::vector<std::uint8_t>& bytes, const std::string& what)
        : bytes_(bytes), what_(what)
    {
    }

    void Need(std::size_t count) const
    {
        if (count > bytes_.size() - std::min(pos_, bytes_.size()))
            Fail("truncated at byte " + std::to_string(pos_));
    }
    std::int32_t Int()
    {
        Need(4);
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k)
            v = (v << 8) | bytes_[pos_++];
        return static_cast<std::int32_t>(v);
    }
    float Float() { return std::bit_cast<float>(Int()); }
    std::string Text(std::size_t fieldSize)
    {
        Need(fieldSize);
        const char* start = reinterpret_cast<const char*>(bytes_.data() + pos_);
        pos_ += fieldSize;
        return std::string(start, strnlen(start, fieldSize - 1));
    }
    std::vector<std::uint8_t> Bytes(std::size_t count)
    {
        Need(count);
        std::vector<std::uint8_t> out(bytes_.begin() + static_cast<std::ptrdiff_t>(pos_),
                                      bytes_.begin() + static_cast<std::ptrdiff_t>(pos_ + count));
        pos_ += count;
        return out;
    }
    std::size_t Count(std::size_t elementSize)
    {
        const std::int32_t n = Int();
        if (n < 0) Fail("negative count " + std::to_string(n));
        Need(static_cast<std::size_t>(n) * elementSize);
        return static_cast<std::size_t>(n);
    }
    void Seek(std::size_t pos) { pos_ = pos; }
    std::size_t Pos() const { return pos_; }
    [[noreturn]] void Fail(const std::string& why) const
    {
        throw ToolError("malformed " + what_ + ": " + why);
    }

private:
    const std::vector<std::uint8_t>& bytes_;
    std::string what_;
    std::size_t pos_ = 0;
};

std::string FourCCText(std::int32_t code)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        const char c = static_cast<char>((static_cast<std::uint32_t>(code) >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    return text;
}

// One "CcnK"/"FxCk" program record: the header fields after the container magic and the params.
FxProgram ReadParamsProgram(BigEndianReader& in)
{
    FxProgram p;
    const std::int32_t count = in.Int();
    if (count < 0) in.Fail("negative parameter count");
    p.name = in.Text(FxFile::kProgramNameSize);
    in.Need(static_cast<std::size_t>(count) * 4);
    for (std::int32_t i = 0; i < count; ++i)
        p.params.push_back(in.Float());
    return p;
}

void WarnOnCountMismatch(const PluginInstance& plugin, const FxProgram& program, const std::string& path)
{
    if (program.params.size() != static_cast<std::size_t>(plugin.NumParams()))
        std::cerr << "warning: " << path << " holds " << program.params.size()
                  << " parameters, the plug-in has " << plugin.NumParams() << "\n";
}

// Missing parameters keep their current values; NaN becomes 0 and values are clamped to 0..1.
void ApplyParams(PluginInstance& plugin, const FxProgram& program)
{
    const std::size_t count = std::min<std::size_t>(program.params.size(), plugin.NumParams());
    for (std::size_t i = 0; i < count; ++i)
        plugin.SetParameter(static_cast<int>(i),
                            std::clamp(std::isnan(program.params[i]) ? 0.0f : program.params[i], 0.0f, 1.0f));
    plugin.SetProgramName(program.name);
}

void PutWord(std::vector<std::uint8_t>& out, std::int32_t word)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(word) >> shift) & 0xFF));
}

std::int32_t SizeWord(std::size_t size)
{
    if (size > static_cast<std::size_t>(INT32_MAX)) throw ToolError("the chunk is too large for a file");
    return static_cast<std::int32_t>(size);
}

} // namespace

FxFile FxFile::FromPlugin(PluginInstance& plugin, bool bank)
{
    if (!plugin.HasFlag(vst::effFlagsProgramChunks))
        throw ToolError("the plug-in exchanges no opaque chunks; only those are saved");
    FxFile f;
    f.kind = bank ? Kind::BankChunk : Kind::ProgramChunk;
    f.pluginId = plugin.UniqueId();
    f.fxVersion = plugin.Version();
    f.currentProgram = plugin.CurrentProgram();
    f.count = bank ? plugin.NumPrograms() : plugin.NumParams();
    f.program.name = plugin.ProgramName(f.currentProgram).substr(0, kProgramNameSize - 1);
    f.chunk = plugin.GetChunk(!bank);
    return f;
}

std::vector<std::uint8_t> FxFile::Serialize() const
{
    const std::size_t headerSize = (IsBank() ? kBankHeaderSize : kProgramHeaderSize) + 4;
    std::vector<std::uint8_t> out;
    out.reserve(headerSize + chunk.size());
    PutWord(out, kContainerMagic);
    PutWord(out, SizeWord(headerSize + chunk.size()));
    PutWord(out, IsBank() ? kBankChunkMagic : kProgramChunkMagic);
    PutWord(out, IsBank() ? kBankFormatVersion : kProgramFormatVersion);
    PutWord(out, pluginId);
    PutWord(out, fxVersion);
    PutWord(out, count);
    if (IsBank())
    {
        PutWord(out, currentProgram);
        out.resize(out.size() + kBankReservedSize, 0);
    }
    else
    {
        const std::size_t nameAt = out.size();
        out.resize(nameAt + kProgramNameSize, 0);
        std::copy_n(program.name.begin(), std::min(program.name.size(), kProgramNameSize - 1),
                    out.begin() + static_cast<std::ptrdiff_t>(nameAt));
    }
    PutWord(out, SizeWord(chunk.size()));
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

void FxFile::Save(const std::string& path) const
{
    const std::vector<std::uint8_t> bytes = Serialize();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file)
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) throw ToolError("cannot write " + path + ": " + std::strerror(errno));
}

FxFile FxFile::Parse(const std::vector<std::uint8_t>& bytes, const std::string& what)
{
    BigEndianReader in(bytes, what);
    if (in.Int() != kContainerMagic) in.Fail("it does not start with \"CcnK\"");
    in.Int(); // byte size: not trusted, every field is bound-checked instead
    FxFile f;
    const std::int32_t magic = in.Int();
    const std::int32_t formatVersion = in.Int();
    f.pluginId = in.Int();
    f.fxVersion = in.Int();
    if (magic == kProgramParamsMagic)
    {
        f.kind = Kind::ProgramParams;
        f.program = ReadParamsProgram(in);
    }
    else if (magic == kProgramChunkMagic)
    {
        f.kind = Kind::ProgramChunk;
        in.Int(); // parameter count, unused with a chunk
        f.program.name = in.Text(kProgramNameSize);
        f.chunk = in.Bytes(in.Count(1));
    }
    else if (magic == kBankParamsMagic || magic == kBankChunkMagic)
    {
        const std::int32_t numPrograms = in.Int();
        in.Seek(kBankCurrentProgramOffset);
        f.currentProgram = formatVersion >= kBankVersionWithCurrentProgram ? in.Int() : 0;
        in.Seek(kBankHeaderSize);
        if (numPrograms < 0) in.Fail("negative program count");
        if (magic == kBankChunkMagic)
        {
            f.kind = Kind::BankChunk;
            f.chunk = in.Bytes(in.Count(1));
        }
        else
        {
            f.kind = Kind::BankPrograms;
            in.Need(static_cast<std::size_t>(numPrograms) * kProgramHeaderSize);
            for (std::int32_t i = 0; i < numPrograms; ++i)
            {
                if (in.Int() != kContainerMagic)
                    in.Fail("program " + std::to_string(i) + " does not start with \"CcnK\"");
                in.Int();
                if (in.Int() != kProgramParamsMagic)
                    in.Fail("program " + std::to_string(i) + " is not a parameter program (\"FxCk\")");
                in.Int();
                in.Int();
                in.Int();
                f.programs.push_back(ReadParamsProgram(in));
            }
        }
    }
    else
        in.Fail("unknown kind \"" + FourCCText(magic) + "\"");
    return f;
}

FxFile FxFile::Load(const std::string& path, bool expectBank)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw ToolError(std::string("cannot read ") + (expectBank ? "bank" : "program") + " file " + path +
                        ": " + std::strerror(errno));
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    FxFile f = Parse(bytes, (expectBank ? "bank file " : "program file ") + path);
    if (f.IsBank() != expectBank)
        throw ToolError(path + (expectBank ? " is a program file; load it with --fxp"
                                           : " is a bank file; load it with --fxb"),
                        kExitBadArguments);
    return f;
}

void FxFile::ApplyTo(PluginInstance& plugin, const std::string& path) const
{
    if (pluginId != plugin.UniqueId())
        throw ToolError(path + " belongs to the plug-in with id \"" + FourCCText(pluginId) + "\", not to \"" +
                        FourCCText(plugin.UniqueId()) + "\"");
    if (IsChunk())
    {
        if (!plugin.HasFlag(vst::effFlagsProgramChunks))
            throw ToolError(path + " holds an opaque chunk, but the plug-in does not take chunks");
        if (plugin.SetChunk(chunk, !IsBank()) == 0)
            std::cerr << "warning: the plug-in answered 0 to the chunk of " << path << "\n";
        return;
    }
    if (!IsBank())
    {
        WarnOnCountMismatch(plugin, program, path);
        ApplyParams(plugin, program);
        return;
    }
    if (!programs.empty()) WarnOnCountMismatch(plugin, programs.front(), path);
    const int count = std::min<int>(static_cast<int>(programs.size()), plugin.NumPrograms());
    for (int i = 0; i < count; ++i)
    {
        plugin.SetProgram(i);
        ApplyParams(plugin, programs[static_cast<std::size_t>(i)]);
    }
    const bool validCurrent = currentProgram >= 0 && currentProgram < count;
    plugin.SetProgram(validCurrent ? currentProgram : 0);
}

} // namespace zr::render
