#pragma once

#include "instrument/ZR4400.h"
#include "plugin/VstAbi.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <pmmintrin.h>
#include <xmmintrin.h>
#endif

// A VST2 host for tests: answers the audio-master callback from its fields and records what the
// plug-in tells it. One host is current at a time (the callback is a plain function).
struct FakeVstHost
{
    struct Call
    {
        int32_t opcode;
        int32_t index;
        float opt;
    };

    std::string product = "Test Host";
    std::string vendor = "Test Vendor";
    zr::vst::VstTimeInfo time{};
    bool giveTime = false;
    std::vector<Call> calls;
    std::vector<zr::vst::VstMidiEvent> midiOut;
    unsigned csrDuringProcess = 0;

    FakeVstHost() { current = this; }
    ~FakeVstHost() { current = nullptr; }

    int Count(int32_t opcode) const
    {
        int n = 0;
        for (const Call& call : calls)
            n += call.opcode == opcode ? 1 : 0;
        return n;
    }

    static std::intptr_t Callback(zr::vst::AEffect*, std::int32_t opcode, std::int32_t index, std::intptr_t,
                                  void* ptr, float opt)
    {
        FakeVstHost* host = current;
        if (!host) return 0;
        host->calls.push_back({opcode, index, opt});
        switch (opcode)
        {
        case zr::vst::audioMasterGetProductString:
            std::strcpy(static_cast<char*>(ptr), host->product.c_str());
            return 1;
        case zr::vst::audioMasterGetVendorString:
            std::strcpy(static_cast<char*>(ptr), host->vendor.c_str());
            return 1;
        case zr::vst::audioMasterGetTime:
            return host->giveTime ? reinterpret_cast<std::intptr_t>(&host->time) : 0;
        case zr::vst::audioMasterWantMidi:
#if defined(__SSE2__)
            host->csrDuringProcess = _mm_getcsr();
#endif
            return 1;
        case zr::vst::audioMasterProcessEvents:
        {
            const auto* events = static_cast<const zr::vst::VstEvents*>(ptr);
            for (int i = 0; i < events->numEvents; ++i)
                host->midiOut.push_back(*reinterpret_cast<const zr::vst::VstMidiEvent*>(events->events[i]));
            return 1;
        }
        default:
            return 0;
        }
    }

    static inline FakeVstHost* current = nullptr;
};

// An instance created as the module entry does, driven through its effect record.
struct VstInstance
{
    // The host must be current while the instance lives.
    explicit VstInstance([[maybe_unused]] FakeVstHost& host)
    {
        auto* plug = new zr::ZR4400(&FakeVstHost::Callback);
        plug->FillEmptyPresets(zr::ZR4400::kNumPresets);
        effect = plug->GetAEffect();
    }
    ~VstInstance()
    {
        if (effect) Dispatch(zr::vst::effClose);
    }
    VstInstance(const VstInstance&) = delete;
    VstInstance& operator=(const VstInstance&) = delete;

    zr::ZR4400& Plug() { return *static_cast<zr::ZR4400*>(effect->object); }

    std::intptr_t Dispatch(int32_t opcode, int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                           float opt = 0.0f)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // Open, rate, block size, resume: what hosts do before the first block.
    void Start(float rate = 48000.0f, int block = 512)
    {
        Dispatch(zr::vst::effOpen);
        Dispatch(zr::vst::effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(zr::vst::effSetBlockSize, 0, block);
        Dispatch(zr::vst::effMainsChanged, 0, 1);
    }

    // Sends MIDI events through effProcessEvents.
    std::intptr_t SendMidi(std::vector<std::vector<uint8_t>> messages, int deltaFrames = 0)
    {
        std::vector<zr::vst::VstMidiEvent> midi(messages.size());
        std::vector<char> storage(zr::vst::kVstEventsHeaderSize +
                                  sizeof(void*) * std::max<size_t>(2, midi.size()));
        auto* events = reinterpret_cast<zr::vst::VstEvents*>(storage.data());
        events->numEvents = static_cast<int32_t>(midi.size());
        for (size_t i = 0; i < midi.size(); ++i)
        {
            midi[i].type = zr::vst::kVstMidiType;
            midi[i].byteSize = sizeof(zr::vst::VstMidiEvent);
            midi[i].deltaFrames = deltaFrames;
            for (size_t b = 0; b < messages[i].size() && b < 3; ++b)
                midi[i].midiData[b] = static_cast<char>(messages[i][b]);
            events->events[i] = reinterpret_cast<zr::vst::VstEvent*>(&midi[i]);
        }
        return Dispatch(zr::vst::effProcessEvents, 0, 0, events);
    }

    std::vector<uint8_t> GetChunk(int32_t index)
    {
        void* data = nullptr;
        const std::intptr_t size = Dispatch(zr::vst::effGetChunk, index, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
    }

    std::intptr_t SetChunk(int32_t index, std::vector<uint8_t> bytes)
    {
        return Dispatch(zr::vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()), bytes.data());
    }

    std::string Text(int32_t opcode, int32_t index = 0)
    {
        char buffer[256] = {};
        Dispatch(opcode, index, 0, buffer);
        return buffer;
    }

    zr::vst::AEffect* effect = nullptr;
};
