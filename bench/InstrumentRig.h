#pragma once

#include "engine/Engine.h"
#include "instrument/ParamApplier.h"
#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"

#include <vector>

namespace zr
{

// The instrument's parameter table with an engine behind its parameter-change handler, without a
// host: what the benchmarks and the golden tests play. Constructed, set up and loaded with every
// parameter's default, like a fresh instance before its first process call. One thread only.
class InstrumentRig : public IPlugBase
{
public:
    static constexpr int kPresets = 1;

    InstrumentRig(double sampleRate, int maxBlockSize)
        : IPlugBase(Param::kNumParams, "0-2", kPresets, "ZR-4400 rig", "", "", 0, 0, 0, true, false, true),
          applier_(engine_, *this)
    {
        DefineParameterTable(*this);
        engine_.SetUp(sampleRate, maxBlockSize);
        AllParamsChanged();
        left_.resize(maxBlockSize);
        right_.resize(maxBlockSize);
    }

    void ParamChanged(int index) override
    {
        IPlugBase::ParamChanged(index);
        applier_.Apply(index);
    }

    // Sets a parameter's plain value (limited to its range) and applies it, as a program load does.
    void SetValue(int index, double value)
    {
        GetParam(index)->Set(value);
        ParamChanged(index);
    }
    // The same block parameter in all three blocks.
    void SetBlockValue(int position, double value)
    {
        for (int b = 0; b < Param::kNumBlocks; ++b)
            SetValue(Param::BlockParamIndex(b, position), value);
    }

    void NoteOn(int key) { engine_.HandleMidi({0, 0x90, static_cast<std::uint8_t>(key), 100}); }
    void NoteOff(int key) { engine_.HandleMidi({0, 0x80, static_cast<std::uint8_t>(key), 0}); }

    // Renders n samples (at most the maximum block size) into the rig's own buffers.
    void Render(int n) { engine_.ProcessAudio(left_.data(), right_.data(), n); }
    const std::vector<double>& Left() const { return left_; }
    const std::vector<double>& Right() const { return right_; }

    Engine& GetEngine() { return engine_; }

    void BeginParamEdit(int) override {}
    void EndParamEdit(int) override {}
    void NotifyHostParamChange(int, double) override {}
    void NotifyHostProgramChange() override {}
    bool GetHostTime(HostTimeInfo&) override { return false; }
    bool SendMidiToHost(const MidiMessage&) override { return false; }

private:
    Engine engine_;
    ParamApplier applier_;
    std::vector<double> left_;
    std::vector<double> right_;
};

} // namespace zr
