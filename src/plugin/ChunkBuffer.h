#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zr
{

// Growable byte array in which program states, program chunks and banks are serialized.
// Numbers are stored little-endian (int32 as two's complement, double as IEEE-754 binary64),
// bools as one byte 0 or 1, strings as an int32 length followed by the bytes without terminator.
// Every value is assembled byte by byte, so the layout is the same whatever the compiler's struct
// packing, word size or the processor's byte order: a 32-bit and a 64-bit build exchange chunks.
//
// Reads take a position and return the position after the value, or -1 when the position is
// already negative or the value does not lie wholly inside the buffer. A failed read leaves its
// destination unchanged.
class ChunkBuffer
{
public:
    // The size of the buffer after the write.
    int PutBytes(const void* data, int size);
    int PutInt32(int32_t value);
    int PutDouble(double value);
    int PutBool(bool value);
    int PutString(std::string_view text);
    int PutChunk(const ChunkBuffer& other);

    int GetBytes(void* data, int size, int pos) const;
    int GetInt32(int32_t* value, int pos) const;
    int GetDouble(double* value, int pos) const;
    int GetBool(bool* value, int pos) const;
    // A stored length of 0 or less reads as the empty string.
    int GetString(std::string* text, int pos) const;

    int Size() const { return static_cast<int>(mBytes.size()); }
    const uint8_t* Data() const { return mBytes.data(); }
    void Clear() { mBytes.clear(); }
    // Replaces the content by a copy of the given bytes; a negative size empties the buffer.
    void Assign(const void* data, int size);

    bool operator==(const ChunkBuffer& other) const = default;

private:
    // True if size bytes starting at pos lie inside the buffer.
    bool Fits(int pos, int64_t size) const;

    std::vector<uint8_t> mBytes;
};

} // namespace zr
