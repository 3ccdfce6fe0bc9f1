#pragma once

#include <cstdint>

// One short MIDI event with its sample offset inside the current host block.
struct MidiMessage
{
    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// One system-exclusive event; the bytes belong to the host and are valid during the call only.
struct SysExMessage
{
    int32_t offset = 0;
    int32_t size = 0;
    const uint8_t* data = nullptr;
};
