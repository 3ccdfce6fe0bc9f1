// The render loop: transport, MIDI events and process calls block by block, into a WAV file.
#pragma once

#include "AudioStats.h"
#include "EventScheduler.h"

#include <cstdint>
#include <vector>

namespace zr::render
{

class HostContext;
class PluginInstance;
class WavWriter;
struct RenderOptions;

struct RenderSummary
{
    std::int64_t frames = 0;
    double seconds = 0.0;     // length of the audio
    double wallSeconds = 0.0; // time spent in the render loop
    int channels = 0;
    AudioStats stats;
};

class Renderer
{
public:
    static constexpr int kMaxWrittenChannels = 2;      // the main stereo pair is written
    static constexpr double kProgressMinSeconds = 5.0; // shorter renders show no progress line
    static constexpr double kProgressInterval = 0.25;  // seconds of wall-clock time between updates

    // Checks that the plug-in can process in the requested precision; throws ToolError if not.
    Renderer(PluginInstance& plugin, HostContext& host, const MidiSequence& sequence,
             const RenderOptions& options);

    static int WrittenChannels(const PluginInstance& plugin);
    std::int64_t TotalFrames() const { return totalFrames_; }

    RenderSummary Run(WavWriter& out);

private:
    template <typename Sample> struct Buffers
    {
        std::vector<std::vector<Sample>> inputs, outputs;
        std::vector<Sample*> inputPtrs, outputPtrs;
        void Allocate(int numInputs, int numOutputs, int frames);
    };

    void UpdateTransport(std::int64_t blockStart, bool first);
    template <typename Sample> void ProcessBlock(Buffers<Sample>& buffers, int frames);
    template <typename Sample>
    void Collect(const Buffers<Sample>& buffers, int frames, RenderSummary& summary);
    void ShowProgress(std::int64_t done, bool final) const;

    PluginInstance& plugin_;
    HostContext& host_;
    const MidiSequence& sequence_;
    const RenderOptions& options_;
    EventScheduler scheduler_;
    std::int64_t totalFrames_ = 0;
    int channels_ = 0;
    bool showProgress_ = false;
    Buffers<float> floatBuffers_;
    Buffers<double> doubleBuffers_;
    std::vector<float> interleaved_;
};

} // namespace zr::render
