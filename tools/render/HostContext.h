// The host side of the VST2 conversation: answers the plug-in's audio-master calls (time info,
// sample rate and block size, host strings, canDo) for the one plug-in this tool runs.
#pragma once

#include "plugin/VstAbi.h"

#include <atomic>
#include <cstdint>

namespace zr::render
{

class HostContext
{
public:
    static constexpr const char* kVendorString = "Zarnow Audio";
    static constexpr const char* kProductString = "zr4400-render";
    static constexpr std::int32_t kVendorVersion = 10202; // 1.2.2
    static constexpr std::size_t kMaxCanDoLength = 256;   // longest canDo text we look at

    HostContext();
    ~HostContext();
    HostContext(const HostContext&) = delete;
    HostContext& operator=(const HostContext&) = delete;

    // The callback handed to the module's entry function. Calls arrive from any thread of the
    // plug-in; before the entry returns, the effect argument may be null.
    static std::intptr_t AudioMaster(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                     std::intptr_t value, void* ptr, float opt);

    void SetFormat(double sampleRate, int blockSize);
    void SetRendering(bool rendering) { rendering_ = rendering; }
    // Transport for the next process call; called by the render loop before each block.
    vst::VstTimeInfo& TimeInfo() { return timeInfo_; }

    int EventsFromPlugin() const { return eventsFromPlugin_; }

private:
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr);
    static std::intptr_t CanDo(const char* text);
    static std::intptr_t CopyString(void* ptr, const char* text, std::size_t capacity);

    static std::atomic<HostContext*> current_;
    vst::VstTimeInfo timeInfo_{};
    double sampleRate_ = 44100.0;
    int blockSize_ = 512;
    std::atomic<bool> rendering_ = false;
    std::atomic<int> eventsFromPlugin_ = 0;
};

} // namespace zr::render
