#pragma once

// The voice kernel, written once against the lane-type interface (see simd/Double2.h) and compiled
// once per instruction set: each of simd/VoiceKernel*.cpp includes this header with its lane type.
// Every function here is a template on the lane type, so nothing compiled for a wider instruction
// set can be shared with (and picked by the linker for) code that runs on any processor.
#include "engine/PitchTables.h"
#include "engine/VoiceKernel.h"
#include "engine/VoiceLanes.h"
#include "engine/WaveTables.h"
#include "engine/simd/FilterLanes.h"

#include <cstdint>

namespace zr::lanes
{

// One vector of lanes, held in local variables during the sample loop so that the compiler can
// keep it in registers.
template <class L> struct Vector
{
    FilterLanes<L> filter;
    L value, target, rate, gain;
    typename L::Mask stepping, rising, falling;
    typename L::Phase mainPhase, pulsePhase, increment;
    typename L::Tables tables;
};

template <class L> void LoadVector(const VoiceLanes& s, int first, Vector<L>& v)
{
    v.filter = {L::Load(s.g + first),  L::Load(s.a + first),  L::Load(s.b + first),
                L::Load(s.d + first),  L::Load(s.k + first),  L::Load(s.s1 + first),
                L::Load(s.s2 + first), L::Load(s.s3 + first), L::Load(s.offset + first)};
    v.value = L::Load(s.emValue + first);
    v.target = L::Load(s.emTarget + first);
    v.rate = L::Load(s.emRate + first);
    v.gain = L::Load(s.gain + first);
    v.stepping = L::LoadMask(s.stepping + first);
    v.rising = L::LoadMask(s.rising + first);
    v.falling = L::LoadMask(s.falling + first);
    v.mainPhase = L::LoadPhase(s.mainPhase + first);
    v.pulsePhase = L::LoadPhase(s.pulsePhase + first);
    v.increment = L::LoadPhase(s.increment + first);
    v.tables = L::LoadTables(s.table + first);
}

template <class L> void StoreVector(const Vector<L>& v, int first, VoiceLanes& s)
{
    v.filter.s1.Store(s.s1 + first);
    v.filter.s2.Store(s.s2 + first);
    v.filter.s3.Store(s.s3 + first);
    v.filter.offset.Store(s.offset + first);
    v.value.Store(s.emValue + first);
    L::StorePhase(v.mainPhase, s.mainPhase + first);
    L::StorePhase(v.pulsePhase, s.pulsePhase + first);
}

template <class L, int kVectors> void StoreAll(const Vector<L> (&vectors)[kVectors], VoiceLanes& s)
{
    for (int v = 0; v < kVectors; ++v)
        StoreVector(vectors[v], v * L::kWidth, s);
}

// The oscillator signal of one vector at one sample.
template <class L, int kRead> L Input(const LaneRun& run, int j, int first, Vector<L>& v)
{
    if constexpr (kRead == kRenderedSignal)
    {
        return L::Load(run.signal + j * run.stride + first);
    }
    else
    {
        v.mainPhase = L::Advance(v.mainPhase, v.increment, pitch::kPhaseMask);
        L x = L::template Read<WaveTables::kIndexShift>(v.tables, v.mainPhase);
        if constexpr (kRead == kSteadyPulseRead)
        {
            v.pulsePhase = L::Advance(v.pulsePhase, v.increment, pitch::kPhaseMask);
            x = x - L::template Read<WaveTables::kIndexShift>(v.tables, v.pulsePhase);
        }
        return x;
    }
}

// One envelope step of one vector; returns the lanes that met the end of their stage.
template <class L, bool kSettled> int StepEnvelope(Vector<L>& v)
{
    const L stepped = v.value + (v.target - v.value) * v.rate;
    if constexpr (kSettled)
    {
        v.value = stepped;
        return 0;
    }
    else
    {
        v.value = L::Select(v.stepping, stepped, v.value);
        return L::Bits((v.rising & L::GreaterEqual(v.value, L::Splat(1.0))) |
                       (v.falling & L::LessEqual(v.value, L::Splat(0.0))));
    }
}

// The lanes' outputs of up to kWidth samples, added into the mix kWidth samples at a time: a
// transpose turns the rows (one sample, all lanes) into columns (one lane, kWidth samples), so the
// sums of kWidth samples advance side by side in one register, lane after lane. Each sample still
// gets its lanes added in lane order, as a sum of scalars would.
template <class L, int kVectors> struct MixRows
{
    static constexpr int kWidth = L::kWidth;
    static constexpr int kLanes = kVectors * kWidth;

    alignas(64) double rows[kWidth][kLanes];
    int filled = 0;

    double* Next() { return rows[filled]; }
    // After the row of sample j is written: adds a full set of rows ending at j.
    void Written(double* mix, int j)
    {
        if (++filled < kWidth) return;
        filled = 0;
        double* first = mix + j + 1 - kWidth;
        L sum = L::Load(first);
#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
        {
            L column[kWidth];
#pragma GCC unroll 8
            for (int s = 0; s < kWidth; ++s)
                column[s] = L::Load(rows[s] + v * kWidth);
            L::Transpose(column);
#pragma GCC unroll 8
            for (int i = 0; i < kWidth; ++i)
                sum = sum + column[i];
        }
        sum.Store(first);
    }
    // Adds the rows written since the last full set; the last of them is sample j.
    void Flush(double* mix, int j)
    {
        double* first = mix + j + 1 - filled;
        for (int s = 0; s < filled; ++s)
        {
            double sum = first[s];
            for (int i = 0; i < kLanes; ++i)
                sum += rows[s][i];
            first[s] = sum;
        }
        filled = 0;
    }
};

template <class L, int kVectors, bool kSettled, int kRead> LaneResult RunVectors(const LaneRun& run)
{
    constexpr int kWidth = L::kWidth;
    Vector<L> vectors[kVectors];
    for (int v = 0; v < kVectors; ++v)
        LoadVector(*run.lanes, v * kWidth, vectors[v]);

    MixRows<L, kVectors> mix;
    for (int j = run.begin; j < run.end; ++j)
    {
        double* row = mix.Next();
#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
        {
            Vector<L>& vector = vectors[v];
            // The input comes from the wave tables and is never NaN.
            const L y =
                vector.filter.template Step<false, !kSettled>(Input<L, kRead>(run, j, v * kWidth, vector));
            ((y * vector.value) * vector.gain).Store(row + v * kWidth);
        }
        mix.Written(run.mix, j);
        // One envelope step per tick position after the first (the per-tick update made that one).
        if (run.p + j == 0) continue;
        std::uint32_t ended = 0;
#pragma GCC unroll 4
        for (int v = 0; v < kVectors; ++v)
            ended |= static_cast<std::uint32_t>(StepEnvelope<L, kSettled>(vectors[v])) << (v * kWidth);
        if (!kSettled && ended != 0)
        {
            mix.Flush(run.mix, j);
            StoreAll(vectors, *run.lanes);
            return {j + 1, ended};
        }
    }
    mix.Flush(run.mix, run.end - 1);
    if constexpr (kSettled)
        for (int v = 0; v < kVectors; ++v)
            if (!vectors[v].filter.Finite()) return {-1, 0};
    StoreAll(vectors, *run.lanes);
    return {run.end, 0};
}

// RunVectors for the run's vector count, 1 .. kVectors.
template <class L, int kVectors, bool kSettled, int kRead> LaneResult RunCount(const LaneRun& run)
{
    if constexpr (kVectors > 1)
        if (run.vectors < kVectors) return RunCount<L, kVectors - 1, kSettled, kRead>(run);
    return RunVectors<L, kVectors, kSettled, kRead>(run);
}

template <class L, int kMaxVectors, bool kSettled> LaneResult RunRead(const LaneRun& run)
{
    switch (run.read)
    {
    case kSteadyRead:
        return RunCount<L, kMaxVectors, kSettled, kSteadyRead>(run);
    case kSteadyPulseRead:
        return RunCount<L, kMaxVectors, kSettled, kSteadyPulseRead>(run);
    default:
        return RunCount<L, kMaxVectors, kSettled, kRenderedSignal>(run);
    }
}

// The kernel entry: up to kMaxVectors vectors of L.
template <class L, int kMaxVectors> LaneResult Run(const LaneRun& run)
{
    return run.settled ? RunRead<L, kMaxVectors, true>(run) : RunRead<L, kMaxVectors, false>(run);
}

// The kernel of lane type L running up to kVectors vectors side by side.
template <class L, int kVectors> constexpr VoiceKernel MakeKernel(const char* name)
{
    static_assert(L::kWidth * kVectors <= VoiceLanes::kMax);
    return {name, L::kWidth, L::kWidth * kVectors, &Run<L, kVectors>};
}

} // namespace zr::lanes
