#pragma once

#include "engine/Engine.h"
#include "instrument/ParamApplier.h"
#include "plugin/TestPlug.h"

#include <memory>

namespace zr::test
{

// The test plug-in with an engine behind its parameter-change handler, as the instrument has.
class ApplierPlug : public TestPlug
{
public:
    static constexpr double kRate = 44100.0;
    static constexpr int kMaxBlock = 512;

    ApplierPlug() : applier(engine, *this) { engine.SetUp(kRate, kMaxBlock); }

    void ParamChanged(int index) override
    {
        TestPlug::ParamChanged(index);
        applier.Apply(index);
    }
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

    Engine engine;
    ParamApplier applier;
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
