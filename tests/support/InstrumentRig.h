#pragma once

#include "instrument/HeadlessInstrument.h"
#include "instrument/ParameterTable.h"

#include <vector>

namespace zr
{

// What the benchmarks and the golden tests play: the headless instrument, set up and loaded with
// every parameter's default like a fresh instance before its first process call, with notes and
// output buffers of its own. One thread only.
class InstrumentRig
{
public:
    InstrumentRig(double sampleRate, int maxBlockSize)
        : instrument_(sampleRate, maxBlockSize), left_(maxBlockSize), right_(maxBlockSize)
    {
    }

    // Sets a parameter's plain value and applies it, as a program load does.
    void SetValue(int index, double value)
    {
        instrument_.ChangeParamValue(index, value, ParamSource::Program);
    }
    // Sets a parameter from a normalised position and applies it, as host automation does.
    void SetNormalized(int index, double normalized)
    {
        instrument_.ChangeParam(index, normalized, ParamSource::Host);
    }
    // The same block parameter in all three blocks.
    void SetBlockValue(int position, double value)
    {
        for (int b = 0; b < Param::kNumBlocks; ++b)
            SetValue(Param::BlockParamIndex(b, position), value);
    }

    void NoteOn(int key) { GetEngine().HandleMidi({0, 0x90, static_cast<std::uint8_t>(key), 100}); }
    void NoteOff(int key) { GetEngine().HandleMidi({0, 0x80, static_cast<std::uint8_t>(key), 0}); }

    // Renders n samples (at most the maximum block size) into the rig's own buffers.
    void Render(int n) { GetEngine().ProcessAudio(left_.data(), right_.data(), n); }
    const std::vector<double>& Left() const { return left_; }
    const std::vector<double>& Right() const { return right_; }

    Engine& GetEngine() { return instrument_.GetEngine(); }

private:
    HeadlessInstrument instrument_;
    std::vector<double> left_;
    std::vector<double> right_;
};

} // namespace zr
