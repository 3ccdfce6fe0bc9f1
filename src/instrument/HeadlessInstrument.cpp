#include "instrument/HeadlessInstrument.h"

#include "instrument/ParameterTable.h"
#include "instrument/ZR4400.h"
#include "plugin/ProgramState.h"

namespace zr
{

HeadlessInstrument::HeadlessInstrument(double sampleRate, int maxBlockSize)
    : IPlugBase(Param::kNumParams, ZR4400::kChannelIO, ZR4400::kNumPresets, ZR4400::kEffectName,
                ZR4400::kProductName, ZR4400::kVendorName, ZR4400::kVersion, ZR4400::kUniqueId, 0, true, true,
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
