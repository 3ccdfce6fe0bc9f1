#include "EventScheduler.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace zr::render
{

namespace
{
constexpr std::size_t kHeaderSlots = vst::kVstEventsHeaderSize / sizeof(void*);
}

EventScheduler::EventScheduler(const MidiSequence& sequence, double sampleRate)
{
    for (const TimedMidiMessage& m : sequence.Messages())
    {
        vst::VstMidiEvent e{};
        e.type = vst::kVstMidiType;
        e.byteSize = sizeof(vst::VstMidiEvent);
        for (std::size_t k = 0; k < m.bytes.size(); ++k)
            e.midiData[k] = static_cast<char>(m.bytes[k]);
        events_.push_back(e);
        samples_.push_back(std::llround(m.seconds * sampleRate));
    }
    listStorage_ = std::make_unique<void*[]>(kHeaderSlots + std::max<std::size_t>(events_.size(), 2));
    list_ = new (listStorage_.get()) vst::VstEvents{};
}

vst::VstEvents& EventScheduler::EventsFor(std::int64_t blockStart, int frames)
{
    list_->numEvents = 0;
    const std::int64_t blockEnd = blockStart + frames;
    while (next_ < events_.size() && samples_[next_] < blockEnd)
    {
        vst::VstMidiEvent& e = events_[next_];
        e.deltaFrames = static_cast<std::int32_t>(samples_[next_] - blockStart);
        // Written through the storage: the record itself declares only two entries.
        listStorage_[kHeaderSlots + static_cast<std::size_t>(list_->numEvents++)] = &e;
        ++next_;
    }
    return *list_;
}

} // namespace zr::render
