#include "plugin/ProgramState.h"

#include "plugin/IPlugBase.h"

#include <array>

namespace zr
{

namespace
{
constexpr int kTagBytes = static_cast<int>(ProgramState::kStateTag.size());
constexpr int kIndexBytes = 4;
} // namespace

bool ProgramState::Serialize(IPlugBase& plug, ChunkBuffer& chunk)
{
    const int index = plug.GetCurrentPresetIdx();
    chunk.PutBytes(kStateTag.data(), kTagBytes);
    chunk.PutInt32(index);
    chunk.PutString(plug.GetPresetName(index));
    plug.WriteParamValues(chunk);
    return chunk.Size() > 0;
}

bool ProgramState::HasStateTag(const ChunkBuffer& chunk, int pos)
{
    std::array<char, kTagBytes> tag{};
    return chunk.GetBytes(tag.data(), kTagBytes, pos) >= 0 &&
           std::string_view(tag.data(), tag.size()) == kStateTag;
}

int ProgramState::Unserialize(IPlugBase& plug, const ChunkBuffer& chunk, int pos)
{
    if (pos < 0)
    {
        return -1;
    }
    if (HasStateTag(chunk, pos))
    {
        std::string unusedName;
        pos = chunk.GetString(&unusedName, pos + kTagBytes + kIndexBytes);
    }
    pos = plug.ReadParamValues(chunk, pos);
    plug.ApplyLoadedParams();
    return pos;
}

} // namespace zr
