#pragma once

#include <benchmark/benchmark.h>

namespace zr
{

// Counters every audio benchmark reports, from what one iteration renders:
//   rtf          seconds of audio per second of CPU (real-time factor)
//   cpu_percent  share of one core that real-time playback takes
//   voice_sample CPU time per voice-sample (only with voices > 0)
inline void ReportRealTime(benchmark::State& state, double samplesPerIteration, double sampleRate,
                           double voices)
{
    using benchmark::Counter;
    constexpr double kPercent = 100.0;
    const double seconds = samplesPerIteration / sampleRate;
    state.counters["rtf"] = Counter(seconds, Counter::kIsIterationInvariantRate);
    state.counters["cpu_percent"] =
        Counter(seconds / kPercent, Counter::kIsIterationInvariantRate | Counter::kInvert);
    if (voices > 0.0)
        state.counters["voice_sample"] =
            Counter(samplesPerIteration * voices, Counter::kIsIterationInvariantRate | Counter::kInvert);
}

} // namespace zr
