#pragma once

#include "instrument/InstrumentCore.h"
#include "plugin/IPlugBase.h"

namespace zr
{

// The instrument with no host behind it: the plug-in base with the instrument's identity, program
// slots and program state around an InstrumentCore, set up for a rate and a block size and with
// every parameter applied, like a fresh instance before its first process call. What the tests,
// the bank generator and the benchmarks build. Whatever the host would be told goes nowhere
// (a subclass may record it). One thread at a time.
class HeadlessInstrument : public IPlugBase
{
public:
    static constexpr double kDefaultRate = 44100.0;
    static constexpr int kDefaultMaxBlock = 512;

    explicit HeadlessInstrument(double sampleRate = kDefaultRate, int maxBlockSize = kDefaultMaxBlock);

    // The base's, then the value into the engine.
    void ParamChanged(int index) override;
    // The instrument's tagged program state.
    bool SerializeProgramState(ChunkBuffer& chunk) override;
    int UnserializeProgramState(const ChunkBuffer& chunk, int pos) override;

    void BeginParamEdit(int) override {}
    void EndParamEdit(int) override {}
    void NotifyHostParamChange(int, double) override {}
    void NotifyHostProgramChange() override {}
    bool GetHostTime(HostTimeInfo&) override { return false; }
    bool SendMidiToHost(const MidiMessage&) override { return false; }

    Engine& GetEngine() { return core_.GetEngine(); }
    ParamApplier& Applier() { return core_.Applier(); }

private:
    InstrumentCore core_;
};

} // namespace zr
