#include "plugin/Synth.h"

#include <algorithm>
#include <mutex>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;
} // namespace

Synth::Synth(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText, int nPresets,
             std::string_view effectName, std::string_view productName, std::string_view vendorName,
             int32_t version, int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks,
             bool isInstrument)
    : IPlugVST(hostCallback, nParams, channelIOText, nPresets, effectName, productName, vendorName, version,
               uniqueId, latency, doesMidi, doesStateChunks, isInstrument)
{
    mControllerMap.fill(kNone);
}

void Synth::SetUp()
{
    ScopedLock lock(Mutex());
    IPlugVST::SetUp();
    DisarmLearn();
}

void Synth::ParamChanged(int index)
{
    ScopedLock lock(Mutex());
    IPlugVST::ParamChanged(index);
    if (mLearnArmed && index >= 0 && index < NParams())
    {
        mLearnedParameter = index;
        LearnStep();
    }
}

void Synth::SetActive(bool active)
{
    ScopedLock lock(Mutex());
    IPlugVST::SetActive(active);
    if (active)
    {
        AllParamsChanged();
    }
}

int Synth::MappedParameter(int controller) const
{
    return controller >= 0 && controller < kNumControllers ? mControllerMap[static_cast<size_t>(controller)]
                                                           : kNone;
}

void Synth::MapController(int controller, int parameter)
{
    if (controller >= 0 && controller < kNumControllers)
    {
        mControllerMap[static_cast<size_t>(controller)] = parameter;
    }
}

void Synth::ArmLearn(bool unlearn)
{
    mLearnArmed = true;
    mUnlearnMode = unlearn;
    mLearnedController = kNone;
    mLearnedParameter = kNone;
}

void Synth::DisarmLearn()
{
    mLearnArmed = false;
    mUnlearnMode = false;
}

void Synth::LearnController(int controller)
{
    if (mLearnArmed && controller >= 0 && controller < kNumControllers)
    {
        mLearnedController = controller;
        LearnStep();
    }
}

void Synth::UnmapParameter(int parameter)
{
    std::replace(mControllerMap.begin(), mControllerMap.end(), static_cast<int32_t>(parameter),
                 static_cast<int32_t>(kNone));
}

void Synth::LearnStep()
{
    if (!mUnlearnMode)
    {
        if (mLearnedController != kNone && mLearnedParameter != kNone)
        {
            UnmapParameter(mLearnedParameter);
            MapController(mLearnedController, mLearnedParameter);
            DisarmLearn();
        }
        return;
    }
    if (mLearnedController != kNone)
    {
        MapController(mLearnedController, kNone);
        DisarmLearn();
    }
    else if (mLearnedParameter != kNone)
    {
        UnmapParameter(mLearnedParameter);
        DisarmLearn();
    }
}

} // namespace zr
