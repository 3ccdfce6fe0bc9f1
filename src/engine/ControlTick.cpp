#include "engine/ControlTick.h"

#include "engine/Engine.h"

#include <cmath>

namespace zr
{

namespace
{
constexpr double kMgRestOutput = 0.0; // MG1 and MG2 as constructed
constexpr double kOpenVca = 1.0;      // a VCA without a source
constexpr double kResonatorCenter = 0.5;
} // namespace

void ControlTick::Run(Engine& engine, int n)
{
    // Steps 1-4 (S/H, host clock, trigger flags, GEG trigger) belong to the modulation sources.

    // 5. Pitch bend in pitch units, the same for all blocks.
    const double bendAmount = engine.PitchBend() * engine.PitchBendRange();

    // 6. Lags.

    // 7. Per tick position.
    std::span<double> totalVca = engine.TotalVca();
    for (int t = 0; t < n; ++t)
    {
        for (SynthBlock& block : engine.Blocks())
            BlockSampleUpdate(block, t, bendAmount);
        totalVca[t] = kOpenVca;
    }

    // 8.
    engine.GetKeyboard().ClearTriggers();
}

void ControlTick::BlockSampleUpdate(SynthBlock& block, int t, double bendAmount)
{
    // MG1 step; its raw output drives AM, its scaled output FM and cutoff modulation.
    block.AmBuffer()[t] = kMgRestOutput;
    block.FmBuffer()[t] = static_cast<int>(std::trunc(bendAmount));
    block.CutoffModBuffer()[t] = 0;
    if (t == 0)
    {
        // MG2 step; PWM from MG2 without a PWM source; resonator control from MG2 ("RS Mod") and
        // "RfC Src", mapped to 0..1 and squared.
        const double mg2 = kMgRestOutput;
        const double control = kMgRestOutput * kResonatorCenter + kResonatorCenter;
        block.TickUpdate(mg2, control * control);
    }
    block.ChannelUpdate(t, true, kOpenVca);
}

} // namespace zr
