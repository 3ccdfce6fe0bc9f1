// Cuts a MIDI sequence into the VstEvents list of each process block, with sample offsets
// inside the block. All storage is made up front; EventsFor allocates nothing.
#pragma once

#include "MidiSequence.h"
#include "plugin/VstAbi.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace zr::render
{

class EventScheduler
{
public:
    EventScheduler(const MidiSequence& sequence, double sampleRate);

    // The events whose sample position lies in [blockStart, blockStart + frames), in order.
    // Blocks must be asked for in ascending order. The list stays valid until the next call.
    vst::VstEvents& EventsFor(std::int64_t blockStart, int frames);

    std::int64_t LastEventSample() const { return samples_.empty() ? -1 : samples_.back(); }

private:
    std::vector<vst::VstMidiEvent> events_;
    std::vector<std::int64_t> samples_;
    std::unique_ptr<void*[]> listStorage_; // header slots followed by one pointer per event
    vst::VstEvents* list_ = nullptr;
    std::size_t next_ = 0;
};

} // namespace zr::render
