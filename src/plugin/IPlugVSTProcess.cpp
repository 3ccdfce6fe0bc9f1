#include "plugin/IPlugVST.h"

#include "plugin/DenormalGuard.h"

#include <algorithm>
#include <mutex>
#include <type_traits>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;
} // namespace

template <typename Sample>
void IPlugVST::PrepareSlice(Sample** inputs, Sample** outputs, int offset, int frames)
{
    constexpr bool kDouble = std::is_same_v<Sample, double>;
    const auto count = static_cast<size_t>(frames);
    int host = 0;
    for (int i = 0; i < NInChannels(); ++i)
    {
        ChannelRecord& channel = *GetInChannel(i);
        Sample* source = nullptr;
        if (channel.connected)
        {
            source = inputs && inputs[host] ? inputs[host] + offset : nullptr;
            ++host;
        }
        if constexpr (kDouble)
        {
            if (source)
            {
                channel.data = source;
                mInputPointers[static_cast<size_t>(i)] = channel.data;
                continue;
            }
        }
        channel.data = channel.scratch.data();
        if (source)
        {
            std::copy_n(source, count, channel.data);
        }
        else
        {
            std::fill_n(channel.data, count, 0.0);
        }
        mInputPointers[static_cast<size_t>(i)] = channel.data;
    }
    host = 0;
    for (int i = 0; i < NOutChannels(); ++i)
    {
        ChannelRecord& channel = *GetOutChannel(i);
        Sample* target = nullptr;
        if (channel.connected)
        {
            target = outputs && outputs[host] ? outputs[host] + offset : nullptr;
            ++host;
        }
        channel.data = channel.scratch.data();
        channel.hostBuffer = nullptr;
        if constexpr (kDouble)
        {
            if (target)
            {
                channel.data = target;
            }
        }
        else
        {
            channel.hostBuffer = target;
        }
        mOutputPointers[static_cast<size_t>(i)] = channel.data;
    }
}

void IPlugVST::FinishSlice(int frames, ProcessKind kind)
{
    if (kind == ProcessKind::ReplaceDouble)
    {
        return;
    }
    for (int i = 0; i < NOutChannels(); ++i)
    {
        const ChannelRecord& channel = *GetOutChannel(i);
        float* out = channel.hostBuffer;
        if (!out)
        {
            continue;
        }
        const double* in = channel.data;
        if (kind == ProcessKind::Accumulate)
        {
            for (int n = 0; n < frames; ++n)
            {
                out[n] += static_cast<float>(in[n]);
            }
        }
        else
        {
            for (int n = 0; n < frames; ++n)
            {
                out[n] = static_cast<float>(in[n]);
            }
        }
    }
}

template <typename Sample>
void IPlugVST::Process(Sample** inputs, Sample** outputs, int frames, ProcessKind kind)
{
    ScopedLock lock(Mutex());
    DenormalGuard denormals;
    if (DoesMidi())
    {
        CallHost(vst::audioMasterWantMidi);
    }
    frames = std::max(frames, 0);
    const int slice = GetBlockSize();
    int offset = 0;
    // A call with 0 frames still reaches the audio routine once, with 0 frames.
    do
    {
        const int n = std::min(slice, frames - offset);
        PrepareSlice(inputs, outputs, offset, n);
        ProcessAudio(mInputPointers.data(), mOutputPointers.data(), n);
        FinishSlice(n, kind);
        offset += n;
    } while (offset < frames);
}

void IPlugVST::VSTProcess(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::Accumulate);
    }
}

void IPlugVST::VSTProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::Replace);
    }
}

void IPlugVST::VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                         std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::ReplaceDouble);
    }
}

} // namespace zr
