#include "plugin/IPlugVST.h"

#include "plugin/HostKinds.h"
#include "plugin/HostText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <string>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;

// Hosts of these vendors may hand back a bank chunk when given program chunks.
constexpr std::string_view kForcingVendors[] = {"native instruments", "juce vst host"};
} // namespace

// Host calls, the host kind and the translation of the host's transport.

int IPlugVST::HostKindFromProductString(std::string_view product)
{
    return static_cast<int>(HostKindOf(product));
}

std::intptr_t IPlugVST::CallHost(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                 float opt) const
{
    return mHostCallback ? mHostCallback(const_cast<vst::AEffect*>(&mAEffect), opcode, index, value, ptr, opt)
                         : 0;
}

std::string IPlugVST::AskHostString(std::int32_t opcode) const
{
    std::array<char, kHostStringBufferSize> buffer{};
    CallHost(opcode, 0, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

void IPlugVST::BeginParamEdit(int index)
{
    CallHost(vst::audioMasterBeginEdit, index);
}

void IPlugVST::EndParamEdit(int index)
{
    CallHost(vst::audioMasterEndEdit, index);
}

void IPlugVST::NotifyHostParamChange(int index, double normalized)
{
    CallHost(vst::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::NotifyHostProgramChange()
{
    CallHost(vst::audioMasterUpdateDisplay);
}

bool IPlugVST::GetHostTime(HostTimeInfo& info)
{
    const auto* time =
        reinterpret_cast<const vst::VstTimeInfo*>(CallHost(vst::audioMasterGetTime, 0, kTimeInfoRequest));
    if (!time)
    {
        return false;
    }
    const int32_t flags = time->flags;
    info.samplePosition = time->samplePos;
    if ((flags & vst::kVstTempoValid) && std::isfinite(time->tempo) && time->tempo > 0.0)
    {
        info.tempo = time->tempo;
    }
    if ((flags & vst::kVstPpqPosValid) && time->ppqPos >= 0.0)
    {
        info.musicalPosition = time->ppqPos;
    }
    if ((flags & vst::kVstBarsValid) && time->barStartPos >= 0.0)
    {
        info.lastBar = time->barStartPos;
    }
    if ((flags & vst::kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0)
    {
        info.cycleStart = time->cycleStartPos;
        info.cycleEnd = time->cycleEndPos;
    }
    if ((flags & vst::kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0)
    {
        info.numerator = time->timeSigNumerator;
        info.denominator = time->timeSigDenominator;
    }
    info.playing = (flags & vst::kVstTransportPlaying) != 0;
    info.cycling = (flags & vst::kVstTransportCycleActive) != 0;
    return true;
}

bool IPlugVST::SendMidiToHost(const MidiMessage& message)
{
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    vst::VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
    return CallHost(vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::IsRenderingOffline()
{
    return CallHost(vst::audioMasterGetCurrentProcessLevel) == vst::kVstProcessLevelOffline;
}

int IPlugVST::GetHost()
{
    if (IPlugBase::GetHost() == -1)
    {
        SetHost(HostKindFromProductString(AskHostString(vst::audioMasterGetProductString)));
    }
    return IPlugBase::GetHost();
}

void IPlugVST::IdentifyHostOnce()
{
    if (mHostSetUpDone)
    {
        return;
    }
    mHostSetUpDone = true;
    if (IsStereoOnly(static_cast<HostKind>(GetHost())))
    {
        for (int i = kStereoChannels; i < NInChannels(); ++i)
        {
            GetInChannel(i)->connected = false;
        }
        for (int i = kStereoChannels; i < NOutChannels(); ++i)
        {
            GetOutChannel(i)->connected = true;
        }
    }
    mAEffect.numInputs = NInChannels();
    mAEffect.numOutputs = NOutChannels();
    OnHostIdentified();
}

void IPlugVST::AttachEditor(std::unique_ptr<IEditorLink> editor)
{
    ScopedLock lock(Mutex());
    IPlugBase::AttachEditor(std::move(editor));
    if (GetEditor())
    {
        mAEffect.flags |= vst::effFlagsHasEditor;
    }
}

void IPlugVST::SetEditorSize(int width, int height)
{
    mEditorRect = {0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
}

bool IPlugVST::ForcesProgramChunks()
{
    if (!mForcesProgramChunks)
    {
        const std::string vendor = ToLower(AskHostString(vst::audioMasterGetVendorString));
        mForcesProgramChunks = std::find(std::begin(kForcingVendors), std::end(kForcingVendors), vendor) !=
                               std::end(kForcingVendors);
    }
    return *mForcesProgramChunks;
}

} // namespace zr
