#include "instrument/BlockTuning.h"

#include "instrument/ParameterTable.h"
#include "instrument/ScalaFile.h"
#include "plugin/IPlugBase.h"

#include <mutex>

namespace zr
{

namespace
{
int TuneIndex(int block, int note)
{
    return Param::BlockParamIndex(block, Param::kTuneC + note);
}
} // namespace

bool BlockTuning::ValidBlock() const
{
    return block_ >= 0 && block_ < Param::kNumBlocks && plug_.NParams() >= Param::kNumParams;
}

TuneValues BlockTuning::Values() const
{
    TuneValues tunes{};
    for (int note = 0; note < kDegreeCount; ++note)
        tunes[note] = plug_.GetParam(TuneIndex(block_, note))->Value();
    return tunes;
}

void BlockTuning::SetTunes(const TuneUpdate& update)
{
    for (int note = 0; note < kDegreeCount; ++note)
    {
        if (!update[note]) continue;
        const int index = TuneIndex(block_, note);
        plug_.SetParamFromEditor(index, plug_.GetParam(index)->GetNormalized(*update[note]));
    }
    plug_.NotifyHostAllParams();
    std::lock_guard lock(plug_.Mutex());
    plug_.RefreshParamControls();
}

bool BlockTuning::ApplyBuiltIn(int tuning)
{
    if (!ValidBlock()) return false;
    const std::optional<TuneValues> tunes = Microtuning::TunesOfBuiltIn(tuning);
    if (!tunes) return false;
    TuneUpdate update;
    for (int note = 0; note < kDegreeCount; ++note)
        update[note] = (*tunes)[note];
    std::lock_guard lock(plug_.Mutex());
    SetTunes(update);
    return true;
}

int BlockTuning::Recognise() const
{
    if (!ValidBlock()) return Microtuning::kCustomTuning;
    std::lock_guard lock(plug_.Mutex());
    return Microtuning::Recognise(Values());
}

bool BlockTuning::Load(const std::string& path)
{
    if (!ValidBlock()) return false;
    const std::optional<DegreePitches> pitches = ScalaFile::Read(path);
    if (!pitches) return false;
    SetTunes(Microtuning::TunesOfPitches(*pitches));
    return true;
}

bool BlockTuning::Save(const std::string& path)
{
    if (!ValidBlock()) return false;
    TuneValues tunes{};
    {
        std::lock_guard lock(plug_.Mutex());
        plug_.ModifyCurrentPreset();
        tunes = Values();
    }
    return ScalaFile::Write(path, tunes);
}

} // namespace zr
