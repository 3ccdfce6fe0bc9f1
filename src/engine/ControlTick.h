#pragma once

namespace zr
{

class Engine;
class SynthBlock;

// The control tick: once every samplesPerTick samples, after the MIDI queue drain, it advances the
// modulation and fills the per-sample buffers of the tick that the audio path reads (each block's
// pitch offset, cutoff modulation, AM and channel VCA, and the total VCA). Audio thread only.
//
// The steps run in a fixed order:
//   1. S/H step           2. host clock step (position 0)   3. clock and external trigger flags
//   4. GEG trigger        5. bend amount                    6. lags
//   7. per position t: host clock (t > 0), GEG step, the block updates A, B, C (MG1 frequency
//      modulation, MG1, amplitude scaling, FM, cutoff modulation; at t = 0 MG2, PWM, retune,
//      glide, voices, resonators; channel gate and VCA), voltage processors and attenuators,
//      total VCA
//   8. keyboard trigger flags cleared
// So the blocks read the processors as computed at the previous sample, the lags as computed at
// the tick start and the S/H as sampled at the tick start.
class ControlTick
{
public:
    void Run(Engine& engine, int n);

private:
    static void UpdateTriggerFlags(Engine& engine);
    static void BlockSampleUpdate(SynthBlock& block, int t, double bendAmount);
};

} // namespace zr
