#pragma once

namespace zr
{

class Engine;
class SynthBlock;

// The control tick: once every samplesPerTick samples, after the MIDI queue drain, it advances the
// modulation and fills the per-sample buffers of the tick that the audio path reads (each block's
// pitch offset, cutoff modulation, AM and channel VCA, and the total VCA). Audio thread only.
//
// The steps run in a fixed order; the modulation sources are added at the marked places:
//   1. S/H step           2. host clock step (position 0)   3. clock and external trigger flags
//   4. GEG trigger        5. bend amount                    6. lags
//   7. per position t: host clock (t > 0), GEG step, the block updates A, B, C (MG1, FM, cutoff
//      modulation; at t = 0 MG2, PWM source, per-tick block update, resonator control; channel
//      gate and VCA), voltage processors and attenuators, total VCA
//   8. keyboard trigger flags cleared
// Until then every source is at rest: MG1 and MG2 output 0, no FM or cutoff modulation, gates
// open, channel and total VCA 1.
class ControlTick
{
public:
    void Run(Engine& engine, int n);

private:
    static void BlockSampleUpdate(SynthBlock& block, int t, double bendAmount);
};

} // namespace zr
