#include "plugin/IPlugVST.h"

#include <limits>
#include <string>

namespace zr
{

std::intptr_t IPlugVST::GetChunk(std::int32_t index, void** data)
{
    if (!data)
    {
        return 0;
    }
    const bool bank = index == 0 && !ForcesProgramChunks();
    ChunkBuffer& chunk = bank ? mBankChunk : mProgramChunk;
    StartChunk(chunk);
    bool ok = false;
    if (bank)
    {
        ModifyCurrentPreset();
        ok = SerializePresets(chunk);
    }
    else
    {
        ok = SerializeProgramState(chunk);
        chunk.PutString(GetPresetName(GetCurrentPresetIdx()));
    }
    if (!ok || chunk.Size() == 0)
    {
        return 0;
    }
    *data = const_cast<uint8_t*>(chunk.Data());
    return chunk.Size();
}

std::intptr_t IPlugVST::SetChunk(std::int32_t index, const void* data, std::intptr_t size)
{
    if (!data || size <= 0 || size > std::numeric_limits<int>::max())
    {
        return 0;
    }
    const int bytes = static_cast<int>(size);
    const bool forced = ForcesProgramChunks();
    const bool bankKind = index == 0 && !forced;
    ChunkBuffer& chunk = bankKind ? mBankChunk : mProgramChunk;
    chunk.Assign(data, bytes);
    int pos = 0;
    const int32_t version = ReadChunkVersion(chunk, pos);
    if (bankKind && version >= kChunkVersion)
    {
        pos = UnserializePresets(chunk, pos);
    }
    else
    {
        pos = UnserializeProgramState(chunk, pos);
        std::string name;
        if (pos >= 0 && pos < bytes)
        {
            pos = chunk.GetString(&name, pos);
        }
        ModifyCurrentPreset(name);
    }
    if (forced && pos != bytes)
    {
        // These hosts may hand back a bank chunk even though they were given program chunks.
        mBankChunk.Assign(data, bytes);
        pos = 0;
        if (ReadChunkVersion(mBankChunk, pos) >= kChunkVersion)
        {
            pos = UnserializePresets(mBankChunk, pos);
        }
    }
    return pos < 0 ? 0 : 1;
}

} // namespace zr
