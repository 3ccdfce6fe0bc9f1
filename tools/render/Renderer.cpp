#include "Renderer.h"

#include "HostContext.h"
#include "PluginInstance.h"
#include "RenderOptions.h"
#include "ToolError.h"
#include "WavWriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>

namespace zr::render
{
namespace
{
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}
} // namespace

Renderer::Renderer(PluginInstance& plugin, HostContext& host, const MidiSequence& sequence,
                   const RenderOptions& options)
    : plugin_(plugin), host_(host), sequence_(sequence), options_(options),
      scheduler_(sequence, options.sampleRate)
{
    const vst::AEffect& e = plugin.Effect();
    if (options.doublePrecision &&
        (!plugin.HasFlag(vst::effFlagsCanDoubleReplacing) || !e.processDoubleReplacing))
        throw ToolError("the plug-in cannot process in double precision; leave out --double");
    if (!options.doublePrecision && !e.processReplacing && !e.process)
        throw ToolError("the plug-in has no process callback");
    channels_ = WrittenChannels(plugin);
    if (channels_ == 0) throw ToolError("the plug-in has no audio outputs");
    totalFrames_ = std::llround((sequence.LengthSeconds() + options.tailSeconds) * options.sampleRate);
    showProgress_ = !options.quiet && isatty(STDERR_FILENO) &&
                    static_cast<double>(totalFrames_) / options.sampleRate > kProgressMinSeconds;
    if (options.doublePrecision)
        doubleBuffers_.Allocate(plugin.NumInputs(), plugin.NumOutputs(), options.blockSize);
    else
        floatBuffers_.Allocate(plugin.NumInputs(), plugin.NumOutputs(), options.blockSize);
    interleaved_.resize(static_cast<std::size_t>(options.blockSize) * static_cast<std::size_t>(channels_));
}

int Renderer::WrittenChannels(const PluginInstance& plugin)
{
    return std::min(plugin.NumOutputs(), kMaxWrittenChannels);
}

template <typename Sample> void Renderer::Buffers<Sample>::Allocate(int numInputs, int numOutputs, int frames)
{
    inputs.assign(static_cast<std::size_t>(numInputs), std::vector<Sample>(static_cast<std::size_t>(frames)));
    outputs.assign(static_cast<std::size_t>(numOutputs),
                   std::vector<Sample>(static_cast<std::size_t>(frames)));
    inputPtrs.clear();
    outputPtrs.clear();
    for (auto& b : inputs)
        inputPtrs.push_back(b.data());
    for (auto& b : outputs)
        outputPtrs.push_back(b.data());
    // Never hand out a null array, even for zero channels.
    inputPtrs.push_back(nullptr);
    outputPtrs.push_back(nullptr);
}

void Renderer::UpdateTransport(std::int64_t blockStart, bool first)
{
    using namespace vst;
    const MusicalPosition p = sequence_.Tempo().At(static_cast<double>(blockStart) / options_.sampleRate);
    VstTimeInfo& t = host_.TimeInfo();
    t.samplePos = static_cast<double>(blockStart);
    t.sampleRate = options_.sampleRate;
    t.nanoSeconds = std::chrono::duration<double, std::nano>(Clock::now().time_since_epoch()).count();
    t.ppqPos = p.ppq;
    t.tempo = p.tempo;
    t.barStartPos = p.barStartPpq;
    t.timeSigNumerator = p.numerator;
    t.timeSigDenominator = p.denominator;
    t.flags = kVstTransportPlaying | kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
              kVstTimeSigValid | (first ? kVstTransportChanged : 0);
}

template <typename Sample> void Renderer::ProcessBlock(Buffers<Sample>& buffers, int frames)
{
    vst::AEffect& e = plugin_.Effect();
    for (auto& b : buffers.inputs)
        std::fill(b.begin(), b.begin() + frames, Sample(0));
    if constexpr (std::is_same_v<Sample, double>)
        e.processDoubleReplacing(&e, buffers.inputPtrs.data(), buffers.outputPtrs.data(), frames);
    else if (e.processReplacing && plugin_.HasFlag(vst::effFlagsCanReplacing))
        e.processReplacing(&e, buffers.inputPtrs.data(), buffers.outputPtrs.data(), frames);
    else
    {
        for (auto& b : buffers.outputs) // the old process call adds to what is there
            std::fill(b.begin(), b.begin() + frames, Sample(0));
        e.process(&e, buffers.inputPtrs.data(), buffers.outputPtrs.data(), frames);
    }
}

template <typename Sample>
void Renderer::Collect(const Buffers<Sample>& buffers, int frames, RenderSummary& summary)
{
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels_; ++c)
            interleaved_[static_cast<std::size_t>(i * channels_ + c)] =
                static_cast<float>(summary.stats.Add(static_cast<double>(buffers.outputs[c][i])));
}

void Renderer::ShowProgress(std::int64_t done, bool final) const
{
    if (!showProgress_) return;
    if (final)
    {
        std::fprintf(stderr, "\r%60s\r", "");
        return;
    }
    std::fprintf(stderr, "\rrendering %7.1f s of %.1f s  %3d%%",
                 static_cast<double>(done) / options_.sampleRate,
                 static_cast<double>(totalFrames_) / options_.sampleRate,
                 static_cast<int>(100 * done / std::max<std::int64_t>(totalFrames_, 1)));
    std::fflush(stderr);
}

RenderSummary Renderer::Run(WavWriter& out)
{
    RenderSummary summary;
    summary.channels = channels_;
    const auto start = Clock::now();
    double lastProgress = -kProgressInterval;
    host_.SetRendering(true);
    for (std::int64_t pos = 0; pos < totalFrames_; pos += options_.blockSize)
    {
        const int frames = static_cast<int>(std::min<std::int64_t>(options_.blockSize, totalFrames_ - pos));
        UpdateTransport(pos, pos == 0);
        vst::VstEvents& events = scheduler_.EventsFor(pos, frames);
        if (events.numEvents > 0) plugin_.Dispatch(vst::effProcessEvents, 0, 0, &events);
        if (options_.doublePrecision)
        {
            ProcessBlock(doubleBuffers_, frames);
            Collect(doubleBuffers_, frames, summary);
        }
        else
        {
            ProcessBlock(floatBuffers_, frames);
            Collect(floatBuffers_, frames, summary);
        }
        out.Write(interleaved_.data(), frames);
        if (const double now = SecondsSince(start); now - lastProgress >= kProgressInterval)
        {
            ShowProgress(pos + frames, false);
            lastProgress = now;
        }
    }
    host_.SetRendering(false);
    ShowProgress(totalFrames_, true);
    summary.wallSeconds = SecondsSince(start);
    summary.frames = totalFrames_;
    summary.seconds = static_cast<double>(totalFrames_) / options_.sampleRate;
    return summary;
}

} // namespace zr::render
