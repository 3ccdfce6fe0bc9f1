#pragma once

#include <cstdint>

namespace zr
{

// One MIDI message with its sample offset. On arrival the offset counts from the start of the
// host's block; inside the MidiQueue it counts from the start of the current control tick.
struct MidiMessage
{
    std::int32_t offset = 0;
    std::uint8_t status = 0;
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;

    int Kind() const { return status >> 4; }
};

static_assert(sizeof(MidiMessage) == 8, "a queued MIDI message packs into 64 bits");

namespace midi
{
constexpr int kNoteOff = 8;
constexpr int kNoteOn = 9;
constexpr int kPolyPressure = 10;
constexpr int kControlChange = 11;
constexpr int kProgramChange = 12;
constexpr int kChannelPressure = 13;
constexpr int kPitchBend = 14;

constexpr int kModWheel = 1;
constexpr int kSustainPedal = 64;
constexpr int kLastMappableController = 119;
constexpr int kAllSoundOff = 120;
constexpr int kAllNotesOff = 123;
constexpr int kDataMask = 0x7F;
} // namespace midi

} // namespace zr
