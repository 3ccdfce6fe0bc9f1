#pragma once

#include "engine/VoiceKernel.h"
#include "engine/VoiceLanes.h"

#include <vector>

namespace zr
{

class Voice;

// Renders a block's active voices side by side through a voice kernel, up to the kernel's lanes per
// call. A voice rendered alone is one long chain of dependent operations (filter recursion, envelope
// step); many independent chains in vector registers keep the processor busy instead. Each voice
// computes exactly what it would compute alone, and the voices are added into the mix in slot
// order, so the output is the same bit for bit whichever kernel runs.
//
// The group copies its voices' state into the lanes, lets the kernel run the samples up to the next
// event (a cutoff change of any voice, an envelope stage ending), handles the event on the voices
// and copies the state back at the end. Owned by the block; the scratch signal is sized at set-up.
// Audio thread.
class VoiceGroup
{
public:
    VoiceGroup() : kernel_(&VoiceKernel::Best()) {}

    // Set-up thread (allocates).
    void SetUp(int samplesPerTick)
    {
        signal_.assign(static_cast<std::size_t>(samplesPerTick) * VoiceLanes::kMax, 0.0);
        mixBackup_.assign(samplesPerTick, 0.0);
    }
    // Set-up thread: a kernel other than the widest one (tests and benchmarks compare them).
    void SetKernel(const VoiceKernel& kernel) { kernel_ = &kernel; }
    const VoiceKernel& Kernel() const { return *kernel_; }
    // Voices per Render call.
    int Lanes() const { return kernel_->lanes; }

    // Adds m samples at tick position p of voices[0 .. count), all active, count <= Lanes(), into
    // voiceMix. steadyCutoff, steadyPitch: the block's cutoff modulation, its pitch offset does not
    // move within the chunk.
    void Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff,
                bool steadyPitch);

private:
    // Runs samples begin .. end - 1 (coefficients unchanged), handling envelope stage ends and a
    // settled run that has to be repeated with the checks.
    void RunRange(LaneRun& run, Voice* const* voices, int begin, int end);
    void RenderSignals(Voice* const* voices, int count, int used, int m, int p);
    // Calls every voice's filter Follow at tick position t; whether any coefficients changed.
    static bool FollowAll(Voice* const* voices, int count, int t);

    void LoadVoice(int lane, const Voice& voice);
    void LoadCoefficients(int lane, const Voice& voice);
    void LoadEnvelope(int lane, const Voice& voice);
    void LoadSilent(int lane);
    void StoreVoice(int lane, Voice& voice) const;

    const VoiceKernel* kernel_;
    VoiceLanes lanes_{};
    std::vector<double> signal_;    // sample j of lane i at j * Lanes() + i
    std::vector<double> mixBackup_; // the mix before a settled run, in case it is run again
};

} // namespace zr
