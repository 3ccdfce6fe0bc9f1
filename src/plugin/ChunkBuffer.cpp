#include "plugin/ChunkBuffer.h"

#include <bit>
#include <cstring>

namespace zr
{

namespace
{
constexpr int kInt32Bytes = 4;
constexpr int kDoubleBytes = 8;

template <typename Unsigned> void AppendLittleEndian(std::vector<uint8_t>& bytes, Unsigned bits)
{
    for (size_t i = 0; i < sizeof(Unsigned); ++i)
    {
        bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
}

template <typename Unsigned> Unsigned ReadLittleEndian(const uint8_t* bytes)
{
    Unsigned bits = 0;
    for (size_t i = 0; i < sizeof(Unsigned); ++i)
    {
        bits |= static_cast<Unsigned>(bytes[i]) << (8 * i);
    }
    return bits;
}
} // namespace

int ChunkBuffer::PutBytes(const void* data, int size)
{
    if (data && size > 0)
    {
        const auto* bytes = static_cast<const uint8_t*>(data);
        mBytes.insert(mBytes.end(), bytes, bytes + size);
    }
    return Size();
}

int ChunkBuffer::PutInt32(int32_t value)
{
    AppendLittleEndian(mBytes, static_cast<uint32_t>(value));
    return Size();
}

int ChunkBuffer::PutDouble(double value)
{
    AppendLittleEndian(mBytes, std::bit_cast<uint64_t>(value));
    return Size();
}

int ChunkBuffer::PutBool(bool value)
{
    mBytes.push_back(value ? 1 : 0);
    return Size();
}

int ChunkBuffer::PutString(std::string_view text)
{
    PutInt32(static_cast<int32_t>(text.size()));
    return PutBytes(text.data(), static_cast<int>(text.size()));
}

int ChunkBuffer::PutChunk(const ChunkBuffer& other)
{
    return PutBytes(other.Data(), other.Size());
}

bool ChunkBuffer::Fits(int pos, int64_t size) const
{
    return pos >= 0 && size >= 0 && static_cast<int64_t>(pos) + size <= static_cast<int64_t>(mBytes.size());
}

int ChunkBuffer::GetBytes(void* data, int size, int pos) const
{
    if (!Fits(pos, size))
    {
        return -1;
    }
    if (size > 0)
    {
        std::memcpy(data, mBytes.data() + pos, static_cast<size_t>(size));
    }
    return pos + size;
}

int ChunkBuffer::GetInt32(int32_t* value, int pos) const
{
    if (!Fits(pos, kInt32Bytes))
    {
        return -1;
    }
    *value = static_cast<int32_t>(ReadLittleEndian<uint32_t>(mBytes.data() + pos));
    return pos + kInt32Bytes;
}

int ChunkBuffer::GetDouble(double* value, int pos) const
{
    if (!Fits(pos, kDoubleBytes))
    {
        return -1;
    }
    *value = std::bit_cast<double>(ReadLittleEndian<uint64_t>(mBytes.data() + pos));
    return pos + kDoubleBytes;
}

int ChunkBuffer::GetBool(bool* value, int pos) const
{
    if (!Fits(pos, 1))
    {
        return -1;
    }
    *value = mBytes[static_cast<size_t>(pos)] != 0;
    return pos + 1;
}

int ChunkBuffer::GetString(std::string* text, int pos) const
{
    int32_t length = 0;
    const int afterLength = GetInt32(&length, pos);
    if (afterLength < 0)
    {
        return -1;
    }
    if (length <= 0)
    {
        text->clear();
        return afterLength;
    }
    if (!Fits(afterLength, length))
    {
        return -1;
    }
    const auto* first = reinterpret_cast<const char*>(mBytes.data() + afterLength);
    text->assign(first, static_cast<size_t>(length));
    return afterLength + length;
}

void ChunkBuffer::Assign(const void* data, int size)
{
    mBytes.clear();
    PutBytes(data, size);
}

} // namespace zr
