#include "instrument/ParamApplier.h"

#include "instrument/ModulationParamRows.h"

#include "plugin/ParamStore.h"

namespace zr
{

namespace
{
ParamRows BuildRows()
{
    ParamRows rows;
    AddSoundRows(rows);
    AddModulationRows(rows);
    return rows;
}

const ParamRows& Rows()
{
    static const ParamRows rows = BuildRows();
    return rows;
}

std::array<double, Engine::kBlocks> KeptDefaults()
{
    std::array<double, Engine::kBlocks> kept;
    kept.fill(ParamApplier::kDefaultKeptFrequency);
    return kept;
}
} // namespace

ParamApplier::ParamApplier(Engine& engine, ParamStore& params)
    : engine_(engine), params_(params), rows_(Rows()), mg1Freq_(KeptDefaults()), mg2Freq_(KeptDefaults())
{
}

void ParamApplier::Apply(int index)
{
    const IParameter* param = params_.GetParam(index);
    if (!param || index >= Param::kNumParams) return;
    const double value = param->Value();
    if (Param::IsBlockParam(index))
    {
        ApplyBlock(Param::BlockOf(index), Param::PositionInBlock(index), value);
        return;
    }
    // "Use Hold" reaches the voices of all three blocks through its global row.
    if (const GlobalRow row = rows_.global[index - Param::kFirstGlobal]) row(*this, value);
}

void ParamApplier::ApplyBlock(int block, int position, double value)
{
    SynthBlock& target = engine_.Block(block);
    if (const BlockRow row = rows_.block[position]) row(*this, target, block, value);
    if (const VoiceRow row = rows_.voice[position])
        target.ForEachVoice([row, value](Voice& voice) { row(voice, value); });
}

void ParamApplier::Reapply(int index, double keptValue)
{
    IParameter* param = params_.GetParam(index);
    if (!param) return;
    param->Set(keptValue);
    params_.ParamChanged(index);
}

double ParamApplier::Mg1Freq(int block) const
{
    return ValidBlock(block) ? mg1Freq_[block] : 0.0;
}

double ParamApplier::Mg2Freq(int block) const
{
    return ValidBlock(block) ? mg2Freq_[block] : 0.0;
}

void ParamApplier::SetMg1Freq(int block, double hz)
{
    if (ValidBlock(block)) mg1Freq_[block] = hz;
}

void ParamApplier::SetMg2Freq(int block, double hz)
{
    if (ValidBlock(block)) mg2Freq_[block] = hz;
}

} // namespace zr
