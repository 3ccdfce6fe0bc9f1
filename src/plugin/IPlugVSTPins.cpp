#include "plugin/IPlugVST.h"

#include <cstdio>

namespace zr
{

namespace
{
int32_t SpeakerArrangementType(int channels)
{
    switch (channels)
    {
    case 0:
        return vst::kSpeakerArrEmpty;
    case 1:
        return vst::kSpeakerArrMono;
    case 2:
        return vst::kSpeakerArrStereo;
    default:
        return vst::kSpeakerArrUserDefined;
    }
}

void InitSpeakers(vst::VstSpeakerArrangement& arrangement, int channels)
{
    arrangement.type = SpeakerArrangementType(channels);
    arrangement.numChannels = channels;
}
} // namespace

std::intptr_t IPlugVST::PinProperties(bool input, std::int32_t index, vst::VstPinProperties* properties)
{
    const int count = input ? NInChannels() : NOutChannels();
    if (!properties || index < 0 || index >= count)
    {
        return 0;
    }
    properties->flags = vst::kVstPinIsActive;
    if (index % 2 == 0 && index + 1 < count)
    {
        properties->flags |= vst::kVstPinIsStereo;
    }
    std::snprintf(properties->label, sizeof(properties->label), "%s %d", input ? "Input" : "Output",
                  index + 1);
    return 1;
}

void IPlugVST::ConnectChannels(bool input, int count)
{
    const int channels = input ? NInChannels() : NOutChannels();
    for (int i = 0; i < channels; ++i)
    {
        ChannelRecord* channel = input ? GetInChannel(i) : GetOutChannel(i);
        channel->connected = i < count;
        if (!channel->connected)
        {
            channel->data = channel->scratch.data();
        }
    }
}

std::intptr_t IPlugVST::SetSpeakerArrangement(const vst::VstSpeakerArrangement* inputs,
                                              const vst::VstSpeakerArrangement* outputs)
{
    if (inputs)
    {
        ConnectChannels(true, inputs->numChannels);
    }
    if (outputs)
    {
        ConnectChannels(false, outputs->numChannels);
    }
    return 1;
}

void IPlugVST::InitSpeakerArrangements()
{
    InitSpeakers(mInputSpeakers, NInChannels());
    InitSpeakers(mOutputSpeakers, NOutChannels());
}

} // namespace zr
