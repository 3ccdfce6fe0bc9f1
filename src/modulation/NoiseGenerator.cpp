#include "modulation/NoiseGenerator.h"

#include <atomic>

namespace zr
{

namespace
{
// Unsigned so that the multiplication wraps with defined behaviour; read back as two's complement.
std::atomic<std::uint32_t> sharedState{static_cast<std::uint32_t>(NoiseGenerator::kInitialState)};
static_assert(std::atomic<std::uint32_t>::is_always_lock_free);
} // namespace

double NoiseGenerator::Next()
{
    std::uint32_t current = sharedState.load(std::memory_order_relaxed);
    std::uint32_t next = current * kMultiplier;
    while (!sharedState.compare_exchange_weak(current, next, std::memory_order_relaxed))
        next = current * kMultiplier;
    return static_cast<std::int32_t>(next) * kScale;
}

std::int32_t NoiseGenerator::State()
{
    return static_cast<std::int32_t>(sharedState.load(std::memory_order_relaxed));
}

void NoiseGenerator::SetState(std::int32_t state)
{
    sharedState.store(static_cast<std::uint32_t>(state), std::memory_order_relaxed);
}

} // namespace zr
