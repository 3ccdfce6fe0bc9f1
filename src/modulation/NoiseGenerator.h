#pragma once

#include <cstdint>

namespace zr
{

// The process-wide noise source of the modulation generators and the sample and hold: a
// multiplicative congruential generator over 32-bit two's complement integers. One state is shared
// by every generator of every instance in the process; its update is a lock-free compare-exchange,
// so concurrent draws never tear the state, they only interleave.
class NoiseGenerator
{
public:
    static constexpr std::int32_t kInitialState = 1;
    static constexpr std::uint32_t kMultiplier = 16807;
    // 2^-31: maps the state to a value with |value| < 1 (every reachable state is odd, so -2^31
    // never occurs).
    static constexpr double kScale = 1.0 / 2147483648.0;

    // Next value in -1..+1. Any thread, real-time safe (no lock, no allocation).
    static double Next();

    // Current state and its replacement; for set-up and tests, not for the audio path.
    static std::int32_t State();
    static void SetState(std::int32_t state);
};

} // namespace zr
