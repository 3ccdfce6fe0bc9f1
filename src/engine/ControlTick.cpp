#include "engine/ControlTick.h"

#include "engine/Engine.h"
#include "modulation/PatchSources.h"

namespace zr
{

void ControlTick::Run(Engine& engine, int n)
{
    Modulation& modulation = engine.GetModulation();
    HostClock& clock = modulation.Clock();
    // 1. - 4.
    modulation.StepSampleHold();
    clock.Step();
    UpdateTriggerFlags(engine);
    modulation.TriggerGegIfSelected();

    // 5. Pitch bend in pitch units, the same for all blocks.
    const double bendAmount = engine.PitchBend() * engine.PitchBendRange();

    // 6.
    modulation.ProcessLags();

    // 7. Per tick position.
    std::span<double> totalVca = engine.TotalVca();
    for (int t = 0; t < n; ++t)
    {
        if (t > 0) clock.Step();
        modulation.Geg().Step();
        for (SynthBlock& block : engine.Blocks())
            BlockSampleUpdate(block, t, bendAmount);
        modulation.ProcessProcessors();
        totalVca[t] = modulation.TotalVca();
    }

    // 8.
    engine.GetKeyboard().ClearTriggers();
}

void ControlTick::UpdateTriggerFlags(Engine& engine)
{
    Modulation& modulation = engine.GetModulation();
    int source = TriggerSource::kMg1A;
    for (SynthBlock& block : engine.Blocks())
    {
        modulation.SetTriggerFlag(source++, block.Modulation().Mg1().ClockEdge());
        modulation.SetTriggerFlag(source++, block.Modulation().Mg2().ClockEdge());
    }
    modulation.UpdateClockTriggers();
    for (int i = 0; i < ExternalInputs::kTriggers; ++i)
    {
        ExternalInputs::Trigger& trigger = engine.Inputs().GetTrigger(i);
        modulation.SetTriggerFlag(TriggerSource::kTrg1 + i, trigger.state && !trigger.previous);
        trigger.previous = trigger.state;
    }
}

void ControlTick::BlockSampleUpdate(SynthBlock& block, int t, double bendAmount)
{
    BlockModulation& modulation = block.Modulation();
    block.AmBuffer()[t] = modulation.StepMg1();
    block.FmBuffer()[t] = modulation.PitchOffset(bendAmount);
    block.CutoffModBuffer()[t] = modulation.CutoffOffset();
    if (t == 0)
    {
        modulation.StepMg2();
        block.TickUpdate(modulation.PwmInput(), modulation.ResonatorControl());
    }
    block.ChannelUpdate(t, modulation.GateOpen(), modulation.VcaGain());
}

} // namespace zr
