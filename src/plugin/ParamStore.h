#pragma once

#include "plugin/IParameter.h"

#include <vector>

namespace zr
{

// The parameters of a plug-in and the handler that runs when one of them changes: what the
// instrument model needs of the plug-in frame. The plug-in base is one; its lock guards them.
class ParamStore
{
public:
    explicit ParamStore(int count);
    virtual ~ParamStore() = default;
    ParamStore(const ParamStore&) = delete;
    ParamStore& operator=(const ParamStore&) = delete;

    int NParams() const { return static_cast<int>(params_.size()); }
    // nullptr for an index out of range.
    IParameter* GetParam(int index);
    const IParameter* GetParam(int index) const;

    // Parameter index changed its value (called only with valid indexes).
    virtual void ParamChanged(int index) = 0;

private:
    std::vector<IParameter> params_;
};

} // namespace zr
