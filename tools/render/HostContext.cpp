#include "HostContext.h"

#include <cstring>
#include <string_view>

namespace zr::render
{

std::atomic<HostContext*> HostContext::current_ = nullptr;

HostContext::HostContext()
{
    current_ = this;
    timeInfo_.sampleRate = sampleRate_;
    timeInfo_.tempo = 120.0;
    timeInfo_.timeSigNumerator = 4;
    timeInfo_.timeSigDenominator = 4;
    timeInfo_.flags = vst::kVstTempoValid | vst::kVstTimeSigValid | vst::kVstPpqPosValid | vst::kVstBarsValid;
}

HostContext::~HostContext()
{
    current_ = nullptr;
}

void HostContext::SetFormat(double sampleRate, int blockSize)
{
    sampleRate_ = sampleRate;
    blockSize_ = blockSize;
    timeInfo_.sampleRate = sampleRate;
}

std::intptr_t HostContext::AudioMaster(vst::AEffect*, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float)
{
    HostContext* host = current_;
    if (opcode == vst::audioMasterVersion) return vst::kVstVersion;
    return host ? host->Dispatch(opcode, index, value, ptr) : 0;
}

std::intptr_t HostContext::Dispatch(std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr)
{
    using namespace vst;
    switch (opcode)
    {
    case audioMasterGetTime:
        return reinterpret_cast<std::intptr_t>(&timeInfo_);
    case audioMasterWantMidi:
        return 1;
    case audioMasterProcessEvents:
        if (auto* events = static_cast<const VstEvents*>(ptr))
            eventsFromPlugin_ += events->numEvents > 0 ? events->numEvents : 0;
        return 1;
    case audioMasterGetSampleRate:
        return static_cast<std::intptr_t>(sampleRate_);
    case audioMasterGetBlockSize:
        return blockSize_;
    case audioMasterGetCurrentProcessLevel:
        return rendering_ ? kVstProcessLevelOffline : kVstProcessLevelUser;
    case audioMasterGetAutomationState:
        return kVstAutomationOff;
    case audioMasterGetVendorString:
        return CopyString(ptr, kVendorString, kVstMaxVendorStrLen);
    case audioMasterGetProductString:
        return CopyString(ptr, kProductString, kVstMaxProductStrLen);
    case audioMasterGetVendorVersion:
        return kVendorVersion;
    case audioMasterCanDo:
        return CanDo(static_cast<const char*>(ptr));
    case audioMasterGetLanguage:
        return kVstLangEnglish;
    case audioMasterUpdateDisplay:
        return 1;
    default: // automate, begin/end edit, idle, IO changes, window sizing: nothing to do offline
        return 0;
    }
}

std::intptr_t HostContext::CanDo(const char* text)
{
    if (!text) return vst::kCanDoDontKnow;
    static constexpr std::string_view kYes[] = {"sendVstEvents",       "sendVstMidiEvent",
                                                "sendVstTimeInfo",     "receiveVstEvents",
                                                "receiveVstMidiEvent", "startStopProcess"};
    const std::string_view asked(text, strnlen(text, kMaxCanDoLength));
    for (std::string_view yes : kYes)
        if (asked == yes) return vst::kCanDoYes;
    return vst::kCanDoNo;
}

std::intptr_t HostContext::CopyString(void* ptr, const char* text, std::size_t capacity)
{
    if (!ptr) return 0;
    std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
    static_cast<char*>(ptr)[capacity - 1] = '\0';
    return 1;
}

} // namespace zr::render
