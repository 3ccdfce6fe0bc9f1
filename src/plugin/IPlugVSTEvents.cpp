#include "plugin/IPlugVST.h"

#include <algorithm>

namespace zr
{

std::intptr_t IPlugVST::ProcessEvents(const vst::VstEvents* events)
{
    if (!events)
    {
        return 0;
    }
    vst::VstEvent* const* list = events->events;
    // An offset belongs to the coming block: one outside the announced block size is a host fault
    // and is moved to the nearest frame of the block, so no event waits in the queue for later
    // blocks (where it would outlive an all-notes-off).
    const int lastFrame = std::max(GetBlockSize() - 1, 0);
    const auto offsetInBlock = [lastFrame](int32_t deltaFrames)
    { return std::clamp(deltaFrames, 0, lastFrame); };
    for (int32_t i = 0; i < events->numEvents; ++i)
    {
        const vst::VstEvent* event = list[i];
        if (!event)
        {
            continue;
        }
        if (event->type == vst::kVstMidiType)
        {
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = offsetInBlock(midi->deltaFrames);
            message.status = static_cast<uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<uint8_t>(midi->midiData[2]);
            HandleMidi(message);
        }
        else if (event->type == vst::kVstSysExType)
        {
            const auto* sysex = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
            SysExMessage message;
            message.offset = offsetInBlock(sysex->deltaFrames);
            message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            message.size = message.data ? std::max(sysex->dumpBytes, 0) : 0;
            HandleSysEx(message);
        }
    }
    return 1;
}

} // namespace zr
