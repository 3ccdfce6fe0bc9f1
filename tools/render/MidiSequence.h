// The MIDI channel messages of a song with their times in seconds, and its tempo map.
#pragma once

#include "TempoMap.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zr::render
{

struct TimedMidiMessage
{
    double seconds;
    std::array<std::uint8_t, 3> bytes; // status, data 1, data 2 (0 when the message is shorter)
};

class MidiSequence
{
public:
    // Reads a Standard MIDI File (format 0 or 1). Throws ToolError when the file cannot be read
    // or is not a valid MIDI file. System-exclusive and meta events are not played.
    static MidiSequence LoadFile(const std::string& path);

    // Four bars at 120 beats per minute: a chord progression with a bass line and a melody.
    static MidiSequence DemoPhrase();

    const std::vector<TimedMidiMessage>& Messages() const { return messages_; }
    const TempoMap& Tempo() const { return tempo_; }
    double LengthSeconds() const { return lengthSeconds_; } // time of the last event of any kind

private:
    void Add(double ppq, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);

    TempoMap tempo_;
    std::vector<TimedMidiMessage> messages_;
    double lengthSeconds_ = 0.0;
};

} // namespace zr::render
