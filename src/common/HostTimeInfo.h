#pragma once

#include <cstdint>

namespace zr
{

// The host's transport as the plug-in adapter reads it once per process call. Fields the host
// does not supply keep these defaults: 120 beats per minute, 4/4, positions -1, not playing.
struct HostTimeInfo
{
    double tempo = 120.0;          // beats (quarter notes) per minute
    double samplePosition = -1.0;  // samples since the start of the song; negative: unknown
    double musicalPosition = -1.0; // position in quarter notes; negative: unknown
    double lastBar = -1.0;         // position of the last bar start in quarter notes
    double cycleStart = -1.0;      // loop start in quarter notes
    double cycleEnd = -1.0;        // loop end in quarter notes
    std::int32_t numerator = 4;    // time signature
    std::int32_t denominator = 4;
    bool playing = false;
    bool cycling = false;
};

} // namespace zr
