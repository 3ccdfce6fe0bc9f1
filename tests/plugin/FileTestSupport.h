#pragma once

#include "../platform/TestFolder.h"
#include "TestPlug.h"
#include "plugin/ProgramFolder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// A temporary home for one test: HOME and the XDG folders point into it, the remembered program
// folder starts empty; everything is put back afterwards.
class FileTestHome
{
public:
    FileTestHome()
    {
        env_.Set("HOME", home_.Path());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_DESKTOP_DIR"})
        {
            env_.Set(name, std::nullopt);
        }
        ProgramFolder::Reset();
    }
    ~FileTestHome() { ProgramFolder::Reset(); }

    const std::string& Path() const { return home_.Path(); }
    std::string File(const std::string& name) const { return home_.File(name); }

private:
    zr::platform::test::TempFolder home_;
    zr::platform::test::EnvironmentGuard env_;
};

inline Bytes ReadBytes(const std::string& path)
{
    const std::string text = zr::platform::test::ReadText(path);
    return Bytes(text.begin(), text.end());
}

inline void WriteBytes(const std::string& path, const Bytes& bytes)
{
    zr::platform::test::WriteText(path, std::string(bytes.begin(), bytes.end()));
}

inline void PutBigEndian(Bytes& bytes, uint32_t word)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        bytes.push_back(static_cast<uint8_t>(word >> shift));
    }
}

inline void PutText(Bytes& bytes, std::string_view text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

// The bytes with the big-endian word at pos replaced.
inline Bytes WithBigEndianAt(Bytes bytes, size_t pos, uint32_t word)
{
    Bytes replacement;
    PutBigEndian(replacement, word);
    std::copy(replacement.begin(), replacement.end(), bytes.begin() + static_cast<long>(pos));
    return bytes;
}

inline uint32_t BigEndianAt(const Bytes& bytes, size_t pos)
{
    return (uint32_t{bytes[pos]} << 24) | (uint32_t{bytes[pos + 1]} << 16) | (uint32_t{bytes[pos + 2]} << 8) |
           bytes[pos + 3];
}

// Gives every parameter a value of its own inside its range (on the step grid for non-double types).
inline void SetDistinctValues(TestPlug& plug, int variant)
{
    for (int i = 0; i < plug.NParams(); ++i)
    {
        IParameter* p = plug.GetParam(i);
        const double x = ((i * 7 + variant * 13) % 17) / 16.0;
        p->SetFromNormalized(x);
    }
}

// Everything a load may change: values, current program, and every slot.
struct PlugSnapshot
{
    explicit PlugSnapshot(TestPlug& plug) : values(plug.Values()), current(plug.GetCurrentPresetIdx())
    {
        plug.SerializePresets(bank);
    }
    bool operator==(const PlugSnapshot&) const = default;

    std::vector<double> values;
    int current;
    ChunkBuffer bank;
};
