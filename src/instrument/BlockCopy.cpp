#include "instrument/BlockCopy.h"

#include "instrument/ParameterTable.h"
#include "plugin/IPlugBase.h"

#include <mutex>

namespace zr
{

namespace
{
bool ValidBlock(int block)
{
    return block >= 0 && block < Param::kNumBlocks;
}

// The channel settings stay with their block.
bool StaysWithBlock(int position)
{
    return position == Param::kVolume || position == Param::kVcaFSrc || position == Param::kChEnable ||
           position == Param::kChGate;
}
} // namespace

void CopyBlock(IPlugBase& plug, int from, int to)
{
    if (!ValidBlock(from) || !ValidBlock(to) || from == to) return;
    std::lock_guard<std::recursive_mutex> lock(plug.Mutex());
    for (int j = 0; j < Param::kNumBlockParams; ++j)
    {
        const IParameter* source = plug.GetParam(Param::BlockParamIndex(from, j));
        if (StaysWithBlock(j) || !source) continue;
        plug.SetParamFromEditor(Param::BlockParamIndex(to, j), source->GetNormalized());
    }
    plug.NotifyHostAllParams();
    plug.RefreshParamControls();
}

} // namespace zr
