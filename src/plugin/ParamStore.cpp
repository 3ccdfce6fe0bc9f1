#include "plugin/ParamStore.h"

#include <algorithm>

namespace zr
{

ParamStore::ParamStore(int count) : params_(static_cast<size_t>(std::max(count, 0))) {}

IParameter* ParamStore::GetParam(int index)
{
    return index >= 0 && index < NParams() ? &params_[static_cast<size_t>(index)] : nullptr;
}

const IParameter* ParamStore::GetParam(int index) const
{
    return index >= 0 && index < NParams() ? &params_[static_cast<size_t>(index)] : nullptr;
}

} // namespace zr
