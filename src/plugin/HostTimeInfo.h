#pragma once

#include <cstdint>

// The host's tempo and musical position. The member initialisers are the values used when the
// host reports nothing: 120 beats per minute, unknown positions, 4/4, stopped.
struct HostTimeInfo
{
    double tempo = 120.0;
    double samplePos = -1.0;
    double ppqPos = -1.0;
    double lastBar = -1.0;
    double cycleStart = -1.0;
    double cycleEnd = -1.0;
    int32_t numerator = 4;
    int32_t denominator = 4;
    bool playing = false;
    bool cycleActive = false;
};
