#pragma once

#include "engine/Double2.h"
#include "engine/VoiceFilter.h"

#include <array>
#include <vector>

namespace zr
{

class Voice;

// Renders up to kLanes active voices of a block side by side. A voice rendered alone is one long
// chain of dependent operations (filter recursion, envelope step); eight independent chains in
// four SSE2 registers keep the processor busy instead. Each voice computes exactly what it would
// compute alone, and the voices are added into the mix in slot order, so the output is the same
// bit for bit. Owned by the block; the scratch signal is sized at set-up. Audio thread.
class VoiceGroup
{
public:
    static constexpr int kPairs = 4;
    static constexpr int kLanes = 2 * kPairs;

    // Set-up thread (allocates).
    void SetUp(int samplesPerTick) { signal_.assign(static_cast<std::size_t>(samplesPerTick) * kLanes, 0.0); }

    // Adds m samples at tick position p of voices[0 .. count), all active, count <= kLanes, into
    // voiceMix. steadyCutoff: the block's cutoff modulation does not move within the chunk.
    void Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff);

private:
    // The envelopes of the group: value, target and rate per lane, and which lanes step at all,
    // which may reach the end of their attack and which the end of decay or release.
    struct Envelopes
    {
        std::array<Double2, kPairs> value, target, rate, stepping, rising, falling;
    };

    void RenderSignals(Voice* const* voices, int count, int m, int p);
    void LoadCoefficients(Voice* const* voices, int count, int pair);
    void LoadStates(Voice* const* voices, int count, int pair);
    void LoadEnvelopes(Voice* const* voices, int count, int pair);
    // Lanes whose envelope met its end of stage in this step: the voice settles its state.
    void Settle(Voice* const* voices, int count, int pair, int lanes);
    void StoreBack(Voice* const* voices, int count);

    std::vector<double> signal_; // sample j of lane i at j * kLanes + i
    std::array<FilterLanes<Double2>, kPairs> filters_{};
    Envelopes em_{};
    std::array<Double2, kPairs> gain_{};
};

} // namespace zr
