#pragma once

#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"
#include "plugin/ProgramState.h"

namespace zr::bankgen
{

// The plug-in object in which the factory bank is assembled: the instrument's identity, parameter
// table and program state, and no host behind it. Single-threaded.
class BankPlug : public IPlugBase
{
public:
    static constexpr int kPrograms = 64;
    static constexpr int32_t kUniqueId = ('z' << 24) | ('r' << 16) | ('4' << 8) | '4';
    static constexpr int32_t kVersion = 0x00010205;

    BankPlug()
        : IPlugBase(Param::kNumParams, "0-1 0-2", kPrograms, "ZR-4400", "", "Zarnow Audio", kVersion,
                    kUniqueId, 0, true, true, true)
    {
        DefineParameterTable(*this);
    }

    bool SerializeProgramState(ChunkBuffer& chunk) override { return ProgramState::Serialize(*this, chunk); }
    int UnserializeProgramState(const ChunkBuffer& chunk, int pos) override
    {
        return ProgramState::Unserialize(*this, chunk, pos);
    }

    // No host: nothing to tell.
    void BeginParamEdit(int) override {}
    void EndParamEdit(int) override {}
    void NotifyHostParamChange(int, double) override {}
    void NotifyHostProgramChange() override {}
    bool GetHostTime(HostTimeInfo&) override { return false; }
    bool SendMidiToHost(const MidiMessage&) override { return false; }
};

} // namespace zr::bankgen
