#pragma once

#include <cstdint>

namespace zr
{

// One system-exclusive event; the bytes belong to the host and are valid during the call only.
struct SysExMessage
{
    int32_t offset = 0;
    int32_t size = 0;
    const uint8_t* data = nullptr;
};

} // namespace zr
