#pragma once

#include "plugin/TestPlug.h"

#include <memory>

namespace zr::test
{

// The test plug-in, with its engine and parameter application at hand.
class ApplierPlug : public TestPlug
{
public:
    static constexpr double kRate = kDefaultRate;
    static constexpr int kMaxBlock = kDefaultMaxBlock;

    void RefreshParamControls() override
    {
        ++refreshes;
        lockHeldWhileRefreshing = HeldByThisThread(Mutex());
    }

    // Sets a value (limited to its range) and runs the handler, as loading a program does.
    void SetValue(int index, double value)
    {
        GetParam(index)->Set(value);
        ParamChanged(index);
    }

    Engine& engine = GetEngine();
    ParamApplier& applier = Applier();
    int refreshes = 0;
    bool lockHeldWhileRefreshing = false;
};

// A set-up instance whose engine has received every parameter once, records cleared.
inline std::unique_ptr<ApplierPlug> MakeLoadedPlug()
{
    auto plug = std::make_unique<ApplierPlug>();
    plug->AllParamsChanged();
    plug->ClearRecords();
    return plug;
}

} // namespace zr::test
