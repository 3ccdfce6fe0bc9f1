#include "instrument/HeadlessInstrument.h"

#include "instrument/ParameterTable.h"
#include "instrument/InstrumentIdentity.h"
#include "plugin/ProgramState.h"

namespace zr
{

HeadlessInstrument::HeadlessInstrument(double sampleRate, int maxBlockSize)
    : IPlugBase(Param::kNumParams, InstrumentIdentity::kChannelIO, InstrumentIdentity::kNumPresets, InstrumentIdentity::kEffectName,
                InstrumentIdentity::kProductName, InstrumentIdentity::kVendorName, InstrumentIdentity::kVersion, InstrumentIdentity::kUniqueId, 0, true, true,
                true),
      core_(*this)
{
    core_.GetEngine().SetUp(sampleRate, maxBlockSize);
    AllParamsChanged();
}

void HeadlessInstrument::ParamChanged(int index)
{
    IPlugBase::ParamChanged(index);
    core_.Apply(index);
}

bool HeadlessInstrument::SerializeProgramState(ChunkBuffer& chunk)
{
    return ProgramState::Serialize(*this, chunk);
}

int HeadlessInstrument::UnserializeProgramState(const ChunkBuffer& chunk, int pos)
{
    pos = ProgramState::Unserialize(*this, chunk, pos);
    core_.ProgramLoaded();
    return pos;
}

} // namespace zr
