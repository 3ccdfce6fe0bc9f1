#pragma once

#include "engine/Double2.h"
#include "engine/OscillatorBank.h"
#include "engine/VoiceFilter.h"

#include <array>
#include <utility>
#include <vector>

namespace zr
{

class Voice;

// Renders up to kLanes active voices of a block side by side. A voice rendered alone is one long
// chain of dependent operations (filter recursion, envelope step); up to eight independent chains
// in SSE2 registers keep the processor busy instead. Each voice computes exactly what it would
// compute alone, and the voices are added into the mix in slot order, so the output is the same
// bit for bit. Owned by the block; the scratch signal is sized at set-up. Audio thread.
class VoiceGroup
{
public:
    static constexpr int kPairs = 4;
    static constexpr int kLanes = 2 * kPairs;

    // Set-up thread (allocates).
    void SetUp(int samplesPerTick)
    {
        signal_.assign(static_cast<std::size_t>(samplesPerTick) * kLanes, 0.0);
        mixBackup_.assign(samplesPerTick, 0.0);
    }

    // Adds m samples at tick position p of voices[0 .. count), all active, count <= kLanes, into
    // voiceMix. steadyCutoff, steadyPitch: the block's cutoff modulation, its pitch offset does not
    // move within the chunk.
    void Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff,
                bool steadyPitch);

private:
    struct Chunk
    {
        Voice* const* voices;
        int count;
        double* voiceMix;
        int m;
        int p;
        bool steadyCutoff;
    };

    // Two voices' envelopes: value, target and rate, and masks of the lanes that step at all, that
    // may reach the end of their attack and that may reach the end of decay or release.
    struct EnvelopePair
    {
        Double2 value, target, rate, stepping, rising, falling;
    };

    // Everything the sample loop keeps for two lanes; held in local variables during the loop so
    // that the compiler can keep it in registers.
    struct LanePair
    {
        FilterLanes<Double2> filter;
        EnvelopePair em;
        Double2 gain;
    };

    // Where the sample loop takes the oscillator signal from: the signal rendered beforehand (pitch
    // moving within the chunk), or its own table reads at one increment per voice (steady pitch),
    // sawtooth/triangle or pulse.
    enum Read
    {
        kRendered,
        kSteady,
        kSteadyPulse,
        kReadCount
    };

    // kPairCount pairs hold the group's voices; kSettled: every envelope is settled (EM::Settled)
    // for the chunk, so no lane ends its stage and every lane steps; the filter states then run
    // without their NaN checks. Returns false, storing nothing back into the voices, when a filter
    // state ended non-finite: the chunk then has to be rendered again with the checks.
    template <int kPairCount, bool kSettled, int kRead> bool RunSamples(const Chunk& chunk);
    // RunSamples for every pair count, without and with kSettled.
    template <int kRead, std::size_t... kPair> static constexpr auto Runners(std::index_sequence<kPair...>);
    void RenderSignals(const Chunk& chunk);

    static void LoadCoefficients(const Chunk& chunk, int pair, FilterLanes<Double2>& filter);
    static void LoadPair(const Chunk& chunk, int pair, LanePair& lanes);
    static void LoadEnvelopes(const Chunk& chunk, int pair, EnvelopePair& em);
    // Lanes whose envelope met the end of its stage in this step: the voice settles its state.
    static void Settle(const Chunk& chunk, int pair, int lanes, EnvelopePair& em);
    static void StorePair(const Chunk& chunk, int pair, const LanePair& lanes);

    std::array<OscillatorBank::SteadyRead, kLanes> reads_{}; // per voice, with a steady pitch
    std::vector<double> signal_;                             // sample j of lane i at j * kLanes + i
    std::vector<double> mixBackup_; // the mix before a settled chunk, in case it is rendered again
};

} // namespace zr
