// MIDI event streams into the instrument: blocks of every small size, each with a burst of events
// at any offset (including offsets past the block, as careless hosts send), rendered through
// effProcessEvents and processReplacing. Every sample must be finite.
#include "FuzzInstance.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <vector>

namespace
{

constexpr float kSampleRates[] = {8000.0f, 22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
constexpr int kMaxBlock = 300;
constexpr int kMaxEventsPerBlock = 64;
constexpr int kMaxBlocks = 64;

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zr::fuzz::UsePrivateHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    zr::fuzz::FuzzInstance instance;
    instance.Start(input.PickValueInArray(kSampleRates), input.ConsumeIntegralInRange(1, kMaxBlock));
    std::vector<zr::vst::VstMidiEvent> midi;
    std::vector<char> storage;
    for (int block = 0; block < kMaxBlocks && input.remaining_bytes() > 0; ++block)
    {
        const int frames = input.ConsumeIntegralInRange(0, kMaxBlock);
        const int count = input.ConsumeIntegralInRange(0, kMaxEventsPerBlock);
        midi.assign(static_cast<size_t>(count), zr::vst::VstMidiEvent{});
        storage.assign(zr::vst::kVstEventsHeaderSize + sizeof(void*) * static_cast<size_t>(count + 2), 0);
        auto* events = reinterpret_cast<zr::vst::VstEvents*>(storage.data());
        events->numEvents = count;
        // The list runs past the record's two declared entries, as the interface intends.
        zr::vst::VstEvent** list = events->events;
        for (int i = 0; i < count; ++i)
        {
            zr::vst::VstMidiEvent& event = midi[static_cast<size_t>(i)];
            event.type = zr::vst::kVstMidiType;
            event.byteSize = sizeof(event);
            event.deltaFrames = input.ConsumeIntegralInRange(-2, frames + 2);
            for (int b = 0; b < 3; ++b)
            {
                event.midiData[b] = static_cast<char>(input.ConsumeIntegral<uint8_t>());
            }
            list[i] = reinterpret_cast<zr::vst::VstEvent*>(&event);
        }
        instance.Dispatch(zr::vst::effProcessEvents, 0, 0, events);
        instance.Render(frames);
    }
    return 0;
}
