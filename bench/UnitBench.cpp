// Unit benchmarks: the voice filter, the wave-table oscillator and one block with all
// its voices, each fed as the control tick feeds them (44.1 kHz, ticks of 44 samples).
#include "BenchCounters.h"
#include "BenchKernels.h"

#include "engine/SynthBlock.h"
#include "modulation/HostClock.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace zr
{
namespace
{

constexpr double kRate = 44100.0;
constexpr int kTick = 44;
constexpr int kMiddleCutoff = 9000; // pitch index of the filter's cutoff, about 1.9 kHz
constexpr int kSweepUnits = 1200;   // cutoff swing of the modulated filter, pitch units
constexpr int kLowOctave = 1;       // key 12..23 at 8': the masters themselves
constexpr int kHighOctave = 9;      // key 108..119: high table levels
constexpr int kFirstKey = 28;       // 64 keys from here: 28 .. 91

// The sample-rate tables and one block's per-tick buffers.
struct Tables
{
    Tables()
    {
        increments.Build(kRate);
        cutoffs.Build(kRate);
    }
    IncrementTable increments;
    CutoffTable cutoffs;
    HostClock clock;
};

const Tables& SharedTables()
{
    static const Tables tables;
    return tables;
}

void SetHeldEnvelope(Voice& voice)
{
    voice.SetEmSustain(1.0);
    voice.SetEmDecay(0.0);
    voice.SetEmRelease(EM::kDamp);
    voice.SetPeak(0.5);
    voice.SetKbdBal(0.5);
}

// Arg 0: static cutoff; 1: a different cutoff index on every sample (coefficients every sample).
void BM_Filter(benchmark::State& state)
{
    const Tables& tables = SharedTables();
    const bool modulated = state.range(0) != 0;
    std::vector<int> cutoffMod(kTick, 0);
    std::vector<double> input(kTick);
    for (int j = 0; j < kTick; ++j)
    {
        input[j] = 0.5 - static_cast<double>(j) / kTick;
        if (modulated)
            cutoffMod[j] = static_cast<int>(kSweepUnits * std::sin(2.0 * std::numbers::pi * j / kTick));
    }
    VoiceFilter filter;
    filter.SetTables(&tables.cutoffs, cutoffMod.data());
    filter.SetPeak(0.8);
    filter.SetBaseCutoff(kMiddleCutoff);
    filter.UpdateFeedback();
    std::vector<double> buffer(kTick);
    for (auto _ : state)
    {
        buffer = input;
        filter.Process(buffer.data(), kTick, 0);
        benchmark::DoNotOptimize(buffer.data());
    }
    ReportRealTime(state, kTick, kRate, 1.0);
}
BENCHMARK(BM_Filter)->Arg(0)->Arg(1);

// Args: octave number (low or high pitch), waveform.
void BM_Oscillator(benchmark::State& state)
{
    const Tables& tables = SharedTables();
    OscillatorBank bank(tables.increments);
    std::vector<int> fm(kTick, 0);
    bank.SetUp(kRate, fm.data());
    bank.SetWaveform(static_cast<int>(state.range(1)));
    std::vector<double> out(kTick);
    VoicePhase phase;
    const int octave = static_cast<int>(state.range(0));
    for (auto _ : state)
    {
        bank.Retune();
        bank.RenderNoteSignal(out.data(), kTick, 0, octave, 7, phase);
        bank.Advance(kTick);
        benchmark::DoNotOptimize(out.data());
    }
    ReportRealTime(state, kTick, kRate, 1.0);
}
BENCHMARK(BM_Oscillator)
    ->Args({kLowOctave, OscillatorBank::kSawtooth})
    ->Args({kHighOctave, OscillatorBank::kSawtooth})
    ->Args({kLowOctave, OscillatorBank::kSquare})
    ->Args({kHighOctave, OscillatorBank::kSquare});

// One block with 1, 8 or all 64 voices sounding (arg 0), the waveform of arg 1 and the voice kernel
// of arg 2 (BenchKernels.h), fed and rendered one tick at a time. One voice is the cost of a voice
// rendered on its own.
void BM_BlockTick(benchmark::State& state)
{
    const VoiceKernel* kernel = KernelArg(state, state.range(2));
    if (!kernel) return;
    const Tables& tables = SharedTables();
    const int voices = static_cast<int>(state.range(0));
    SynthBlock block(tables.increments, tables.cutoffs, tables.clock);
    block.SetVoiceKernel(*kernel);
    block.SetUp(kRate, kTick);
    block.SetCutoff(0.8);
    block.SetWaveform(static_cast<int>(state.range(1)));
    block.ForEachVoice(SetHeldEnvelope);
    for (int v = 0; v < voices; ++v)
        block.Assign(kFirstKey + v, v + 1);
    std::vector<double> left(kTick), right(kTick);
    for (auto _ : state)
    {
        for (int t = 0; t < kTick; ++t)
            block.ChannelUpdate(t, true, 1.0);
        block.TickUpdate(0.0, 0.25);
        block.Render(left.data(), right.data(), kTick, 0);
        benchmark::DoNotOptimize(left.data());
    }
    ReportRealTime(state, kTick, kRate, voices);
}
BENCHMARK(BM_BlockTick)
    ->ArgsProduct({{1, 8, SynthBlock::kVoices}, {OscillatorBank::kSawtooth, OscillatorBank::kSquare}, {-1}})
    ->ArgsProduct({{SynthBlock::kVoices}, {OscillatorBank::kSawtooth, OscillatorBank::kSquare}, {0, 1, 2}});

} // namespace
} // namespace zr
