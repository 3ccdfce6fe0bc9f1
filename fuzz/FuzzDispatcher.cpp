// The VST2 dispatcher and callbacks driven with random opcodes and arguments, as a careless host
// would: index, value and opt random, pointers always valid zero-padded buffers of generous size
// (so that a fault is the plug-in's, not the host's), sample rates 1 Hz … 768 kHz, blocks of
// 0 … 8192 frames whatever block size was announced. effClose is never drawn; the instance is
// closed at the end.
#include "FuzzInstance.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace
{

constexpr int kLastOpcode = 80;
constexpr size_t kPointerBufferBytes = 4096;
constexpr int kMaxActions = 48;
constexpr int kMaxFrames = 8192;
constexpr float kMinSampleRate = 1.0f;
constexpr float kMaxSampleRate = 768000.0f;
constexpr int kMaxEvents = 256;
constexpr size_t kMaxDumpBytes = 64;

enum class Action : uint8_t
{
    Dispatch,
    ProcessReplacing,
    ProcessAccumulating,
    ProcessDouble,
    SetParameter,
    GetParameter,
    kMaxValue = GetParameter
};

float AnyFloat(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 4))
    {
    case 0:
        return std::numeric_limits<float>::quiet_NaN();
    case 1:
        return input.ConsumeBool() ? std::numeric_limits<float>::infinity()
                                   : -std::numeric_limits<float>::infinity();
    case 2:
        return input.ConsumeFloatingPoint<float>();
    default:
        return input.ConsumeProbability<float>();
    }
}

class Driver
{
public:
    explicit Driver(FuzzedDataProvider& input) : mInput(input) {}

    void Run()
    {
        for (int n = 0; n < kMaxActions && mInput.remaining_bytes() > 0; ++n)
        {
            switch (mInput.ConsumeEnum<Action>())
            {
            case Action::Dispatch:
                Dispatch();
                break;
            case Action::ProcessReplacing:
                ProcessFloat(false);
                break;
            case Action::ProcessAccumulating:
                ProcessFloat(true);
                break;
            case Action::ProcessDouble:
                ProcessDouble();
                break;
            case Action::SetParameter:
                mEffect->setParameter(mEffect, mInput.ConsumeIntegralInRange(-2, 240), AnyFloat(mInput));
                break;
            case Action::GetParameter:
            {
                const float x = mEffect->getParameter(mEffect, mInput.ConsumeIntegralInRange(-2, 240));
                if (!(x >= 0.0f && x <= 1.0f))
                {
                    zr::fuzz::Fail("getParameter out of 0..1");
                }
                break;
            }
            }
        }
    }

private:
    void Dispatch()
    {
        std::int32_t opcode = mInput.ConsumeIntegralInRange(0, kLastOpcode);
        if (opcode == zr::vst::effClose)
        {
            opcode = zr::vst::effIdle;
        }
        const auto index = mInput.ConsumeIntegral<std::int32_t>() % 300;
        auto value = mInput.ConsumeIntegral<std::intptr_t>();
        float opt = AnyFloat(mInput);
        mPointer.fill(0);
        mValueBuffer.fill(0);
        const std::string text = mInput.ConsumeRandomLengthString(kPointerBufferBytes - 1);
        std::memcpy(mPointer.data(), text.data(), text.size());
        void* ptr = mInput.ConsumeIntegralInRange(0, 15) == 0 ? nullptr : mPointer.data();
        switch (opcode)
        {
        case zr::vst::effSetSampleRate:
            opt = mInput.ConsumeFloatingPointInRange(kMinSampleRate, kMaxSampleRate);
            break;
        case zr::vst::effSetBlockSize:
            value = mInput.ConsumeIntegralInRange(0, kMaxFrames);
            break;
        case zr::vst::effSetChunk:
            value = static_cast<std::intptr_t>(text.size());
            break;
        case zr::vst::effProcessEvents:
            ptr = Events();
            break;
        case zr::vst::effSetSpeakerArrangement:
        case zr::vst::effGetSpeakerArrangement:
            // value carries the input arrangement's address.
            std::memcpy(mValueBuffer.data(), mPointer.data(), kPointerBufferBytes);
            value = mInput.ConsumeBool() ? reinterpret_cast<std::intptr_t>(mValueBuffer.data()) : 0;
            break;
        default:
            break;
        }
        mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
    }

    // Channel messages and system-exclusive messages, each in a record of its own kind (a
    // system-exclusive event is read as the larger VstMidiSysexEvent), some list entries null.
    zr::vst::VstEvents* Events()
    {
        const int count = mInput.ConsumeIntegralInRange(0, kMaxEvents);
        mMidi.assign(static_cast<size_t>(count), zr::vst::VstMidiEvent{});
        mSysex.assign(static_cast<size_t>(count), zr::vst::VstMidiSysexEvent{});
        mEventList.assign(zr::vst::kVstEventsHeaderSize + sizeof(void*) * static_cast<size_t>(count + 2), 0);
        auto* events = reinterpret_cast<zr::vst::VstEvents*>(mEventList.data());
        events->numEvents = count;
        // The list runs past the record's two declared entries, as the interface intends.
        zr::vst::VstEvent** list = events->events;
        for (int i = 0; i < count; ++i)
        {
            zr::vst::VstEvent* event = mInput.ConsumeIntegralInRange(0, 7) == 0 ? SysexEvent(i) : MidiEvent(i);
            list[i] = mInput.ConsumeIntegralInRange(0, 31) == 0 ? nullptr : event;
        }
        return events;
    }

    zr::vst::VstEvent* MidiEvent(int i)
    {
        zr::vst::VstMidiEvent& event = mMidi[static_cast<size_t>(i)];
        event.type = zr::vst::kVstMidiType;
        event.byteSize = sizeof(event);
        event.deltaFrames = mInput.ConsumeIntegral<std::int16_t>();
        for (int b = 0; b < 3; ++b)
        {
            event.midiData[b] = static_cast<char>(mInput.ConsumeIntegral<uint8_t>());
        }
        return reinterpret_cast<zr::vst::VstEvent*>(&event);
    }

    // The dump points into a buffer of random bytes, or is null.
    zr::vst::VstEvent* SysexEvent(int i)
    {
        zr::vst::VstMidiSysexEvent& event = mSysex[static_cast<size_t>(i)];
        event.type = zr::vst::kVstSysExType;
        event.byteSize = sizeof(event);
        event.deltaFrames = mInput.ConsumeIntegral<std::int16_t>();
        event.dumpBytes = mInput.ConsumeIntegralInRange(0, static_cast<int>(kMaxDumpBytes));
        for (size_t b = 0; b < static_cast<size_t>(event.dumpBytes); ++b)
        {
            mDump[b] = static_cast<char>(mInput.ConsumeIntegral<uint8_t>());
        }
        event.sysexDump = mInput.ConsumeIntegralInRange(0, 3) == 0 ? nullptr : mDump.data();
        return reinterpret_cast<zr::vst::VstEvent*>(&event);
    }

    int Frames() { return mInput.ConsumeIntegralInRange(0, kMaxFrames); }

    void ProcessFloat(bool accumulate)
    {
        const int frames = Frames();
        float* outputs[] = {mLeft.data(), mRight.data()};
        (accumulate ? mEffect->process : mEffect->processReplacing)(mEffect, nullptr, outputs, frames);
        CheckFinite(mLeft.data(), mRight.data(), frames);
        mLeft.fill(0.0f);
        mRight.fill(0.0f);
    }

    void ProcessDouble()
    {
        const int frames = Frames();
        double* outputs[] = {mLeftDouble.data(), mRightDouble.data()};
        mEffect->processDoubleReplacing(mEffect, nullptr, outputs, frames);
        CheckFinite(mLeftDouble.data(), mRightDouble.data(), frames);
    }

    template <typename Sample> static void CheckFinite(const Sample* left, const Sample* right, int frames)
    {
        for (int n = 0; n < frames; ++n)
        {
            if (!std::isfinite(left[n]) || !std::isfinite(right[n]))
            {
                zr::fuzz::Fail("output sample not finite");
            }
        }
    }

    FuzzedDataProvider& mInput;
    zr::fuzz::FuzzInstance mInstance;
    zr::vst::AEffect* mEffect = mInstance.Effect();
    alignas(16) std::array<char, kPointerBufferBytes> mPointer{};
    alignas(16) std::array<char, kPointerBufferBytes> mValueBuffer{};
    std::vector<zr::vst::VstMidiEvent> mMidi;
    std::vector<zr::vst::VstMidiSysexEvent> mSysex;
    std::array<char, kMaxDumpBytes> mDump{};
    std::vector<char> mEventList;
    std::array<float, kMaxFrames> mLeft{};
    std::array<float, kMaxFrames> mRight{};
    std::array<double, kMaxFrames> mLeftDouble{};
    std::array<double, kMaxFrames> mRightDouble{};
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zr::fuzz::UsePrivateHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    Driver driver(input);
    driver.Run();
    return 0;
}
