// Instrument benchmarks through the engine, with every parameter at its default as a fresh instance
// has them: held chords, the idle instrument and a release tail.
#include "BenchCounters.h"
#include "BenchKernels.h"
#include "support/InstrumentRig.h"
#include "support/ModulationPatch.h"

#include <memory>

namespace zr
{
namespace
{

constexpr double kSettleSeconds = 0.05; // past the 5 ms attack, before timing starts
constexpr int kCentreKey = 60;
constexpr double kTailSeconds = 1.0; // "Halp Damp" release (0.43 s) and then silence
constexpr int kHalfDampRelease = 1;  // "EM Rel" list entry

int FirstKey(int keys)
{
    return kCentreKey - keys / 2;
}

int ActiveVoices(Engine& engine)
{
    int count = 0;
    for (SynthBlock& block : engine.Blocks())
        for (int v = 0; v < SynthBlock::kVoices; ++v)
            count += block.GetVoice(v).Active() ? 1 : 0;
    return count;
}

void Settle(InstrumentRig& rig, double fs, int blockSize)
{
    for (long done = 0; done < static_cast<long>(kSettleSeconds * fs); done += blockSize)
        rig.Render(blockSize);
}

std::unique_ptr<InstrumentRig> HoldChord(double fs, int blockSize, int keys, bool patched = false,
                                         const VoiceKernel& kernel = VoiceKernel::Best())
{
    auto rig = std::make_unique<InstrumentRig>(fs, blockSize);
    for (SynthBlock& block : rig->GetEngine().Blocks())
        block.SetVoiceKernel(kernel);
    if (patched) PatchEverySource(*rig);
    for (int k = 0; k < keys; ++k)
        rig->NoteOn(FirstKey(keys) + k);
    Settle(*rig, fs, blockSize);
    return rig;
}

// Times the rendering of blocks of blockSize of the rig's held chord.
void TimeHeldChord(benchmark::State& state, InstrumentRig& rig, double fs, int blockSize)
{
    const int voices = ActiveVoices(rig.GetEngine());
    for (auto _ : state)
    {
        rig.Render(blockSize);
        benchmark::DoNotOptimize(rig.Left().data());
    }
    state.counters["voices"] = voices;
    ReportRealTime(state, blockSize, fs, voices);
}

// Args: held keys, sample rate, block size, voice kernel (BenchKernels.h). Every key sounds one voice
// in each of the three blocks.
void BM_HeldKeys(benchmark::State& state)
{
    const VoiceKernel* kernel = KernelArg(state, state.range(3));
    if (!kernel) return;
    const int keys = static_cast<int>(state.range(0));
    const auto fs = static_cast<double>(state.range(1));
    const int blockSize = static_cast<int>(state.range(2));
    auto rig = HoldChord(fs, blockSize, keys, false, *kernel);
    TimeHeldChord(state, *rig, fs, blockSize);
}
BENCHMARK(BM_HeldKeys)
    ->ArgsProduct({{1, 16, 64}, {44100, 96000}, {64, 512}, {-1}})
    ->ArgsProduct({{64}, {44100}, {512}, {0, 1, 2}});

// Args: held keys, block size, at 44.1 kHz, with every modulation source patched: pitch and cutoff
// move on every sample, the resonators and AM run.
void BM_HeldKeysPatched(benchmark::State& state)
{
    constexpr double kFs = 44100.0;
    const int keys = static_cast<int>(state.range(0));
    const int blockSize = static_cast<int>(state.range(1));
    auto rig = HoldChord(kFs, blockSize, keys, true);
    TimeHeldChord(state, *rig, kFs, blockSize);
}
BENCHMARK(BM_HeldKeysPatched)->ArgsProduct({{1, 64}, {512}});

// Args: held keys, voice kernel (BenchKernels.h), at 44.1 kHz in blocks of 512. Every block's pitch
// follows a vibrato from MG1 (half a semitone at 4.6 Hz) and nothing else is patched: the per-sample
// pitch path, with keys 29, 41 ... 89 swinging across a wave-table level.
void BM_HeldKeysVibrato(benchmark::State& state)
{
    constexpr double kFs = 44100.0;
    constexpr int kBlockSize = 512;
    constexpr double kDepth = 61.45;      // "FM MG1", pitch units
    constexpr double kVibratoHz = 4.5745; // "MG1 Freq"
    const VoiceKernel* kernel = KernelArg(state, state.range(1));
    if (!kernel) return;
    const int keys = static_cast<int>(state.range(0));
    auto rig = HoldChord(kFs, kBlockSize, keys, false, *kernel);
    rig->SetBlockValue(Param::kFmMod, 1.0);
    rig->SetBlockValue(Param::kFmMg1, kDepth);
    rig->SetBlockValue(Param::kMg1Freq, kVibratoHz);
    TimeHeldChord(state, *rig, kFs, kBlockSize);
}
BENCHMARK(BM_HeldKeysVibrato)->ArgsProduct({{1, 64}, {-1, 0}});

// The control tick with every modulation source patched and no voice sounding: one iteration is
// one tick (44 samples at 44.1 kHz), so the time is the tick's cost plus the empty render loop.
void BM_ControlTickAllPatched(benchmark::State& state)
{
    constexpr double kFs = 44100.0;
    InstrumentRig rig(kFs, Engine::kSamplesPerTickDivisor);
    PatchEverySource(rig);
    const int tick = rig.GetEngine().SamplesPerTick();
    for (auto _ : state)
    {
        rig.Render(tick);
        benchmark::DoNotOptimize(rig.Left().data());
    }
    ReportRealTime(state, tick, kFs, 0.0);
}
BENCHMARK(BM_ControlTickAllPatched);

// No voice active, nothing patched: the cost of the control tick and the empty render loop.
void BM_Idle(benchmark::State& state)
{
    const auto fs = static_cast<double>(state.range(0));
    const int blockSize = static_cast<int>(state.range(1));
    InstrumentRig rig(fs, blockSize);
    for (auto _ : state)
    {
        rig.Render(blockSize);
        benchmark::DoNotOptimize(rig.Left().data());
    }
    ReportRealTime(state, blockSize, fs, 0.0);
}
BENCHMARK(BM_Idle)->ArgsProduct({{44100, 96000}, {64, 512}});

// 64 keys released together and rendered for a second: the voices decay into silence and stop.
// voice_sample counts only the voice-samples that were still sounding, so a tail that costs more
// per voice-sample than a held chord (plus the idle cost) points at slow subnormal arithmetic.
void BM_ReleaseTail(benchmark::State& state)
{
    constexpr double kFs = 44100.0;
    constexpr int kBlockSize = 512;
    constexpr int kKeys = 64;
    const long total = static_cast<long>(kTailSeconds * kFs);
    double voiceSamples = 0.0;
    for (auto _ : state)
    {
        state.PauseTiming();
        auto rig = HoldChord(kFs, kBlockSize, kKeys);
        rig->SetBlockValue(Param::kEmRel, kHalfDampRelease);
        for (int k = 0; k < kKeys; ++k)
            rig->NoteOff(FirstKey(kKeys) + k);
        state.ResumeTiming();
        for (long done = 0; done < total; done += kBlockSize)
        {
            rig->Render(kBlockSize);
            voiceSamples += static_cast<double>(ActiveVoices(rig->GetEngine())) * kBlockSize;
        }
        benchmark::DoNotOptimize(rig->Left().data());
    }
    state.counters["rtf"] = benchmark::Counter(kTailSeconds, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["voice_sample"] =
        benchmark::Counter(voiceSamples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ReleaseTail)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace zr
