#include "plugin/IPlugVST.h"

#include <mutex>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;
} // namespace

IPlugVST::IPlugVST(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText,
                   int nPresets, std::string_view effectName, std::string_view productName,
                   std::string_view vendorName, int32_t version, int32_t uniqueId, int latency, bool doesMidi,
                   bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIOText, nPresets, effectName, productName, vendorName, version, uniqueId,
                latency, doesMidi, doesStateChunks, isInstrument),
      mHostCallback(hostCallback), mInputPointers(static_cast<size_t>(NInChannels()), nullptr),
      mOutputPointers(static_cast<size_t>(NOutChannels()), nullptr)
{
    mAEffect.magic = vst::kEffectMagic;
    mAEffect.dispatcher = &VSTDispatcher;
    mAEffect.process = &VSTProcess;
    mAEffect.processReplacing = &VSTProcessReplacing;
    mAEffect.processDoubleReplacing = &VSTProcessDoubleReplacing;
    mAEffect.setParameter = &VSTSetParameter;
    mAEffect.getParameter = &VSTGetParameter;
    mAEffect.numPrograms = NPresets();
    mAEffect.numParams = NParams();
    mAEffect.numInputs = NInChannels();
    mAEffect.numOutputs = NOutChannels();
    mAEffect.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing;
    if (doesStateChunks)
    {
        mAEffect.flags |= vst::effFlagsProgramChunks;
    }
    if (isInstrument)
    {
        mAEffect.flags |= vst::effFlagsIsSynth;
    }
    if (LegalIO(1, -1))
    {
        mAEffect.flags |= vst::effFlagsCanMono;
    }
    mAEffect.initialDelay = latency;
    mAEffect.ioRatio = 1.0f;
    mAEffect.object = this;
    mAEffect.uniqueID = uniqueId;
    mAEffect.version = GetEffectVersion(true);

    InitSpeakerArrangements();
    ConnectChannels(true, NInChannels());
    ConnectChannels(false, NOutChannels());
}

IPlugVST* IPlugVST::FromAEffect(vst::AEffect* effect)
{
    return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

// ---- Callbacks given to the host --------------------------------------------------------------

std::intptr_t IPlugVST::VSTDispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                      std::intptr_t value, void* ptr, float opt)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return 0;
    }
    if (opcode == vst::effClose)
    {
        // Waits for a call in progress, then destroys the instance without holding its lock.
        {
            ScopedLock lock(plug->Mutex());
        }
        delete plug;
        return 0;
    }
    std::intptr_t result = 0;
    {
        ScopedLock lock(plug->Mutex());
        result = plug->Dispatch(opcode, index, value, ptr, opt);
    }
    // The window's events and timer without the lock: a menu or dialog opened from them waits for
    // the user, and audio blocks go on meanwhile.
    if (opcode == vst::effEditIdle)
    {
        if (IEditorLink* editor = plug->GetEditor()) editor->ServiceEditorWindow();
    }
    return result;
}

float IPlugVST::VSTGetParameter(vst::AEffect* effect, std::int32_t index)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return 0.0f;
    }
    ScopedLock lock(plug->Mutex());
    const IParameter* param = plug->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}

void IPlugVST::VSTSetParameter(vst::AEffect* effect, std::int32_t index, float value)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return;
    }
    ScopedLock lock(plug->Mutex());
    plug->ChangeParam(index, value, ParamSource::Host);
}

} // namespace zr
