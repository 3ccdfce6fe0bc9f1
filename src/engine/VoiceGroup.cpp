#include "engine/VoiceGroup.h"

#include "engine/Voice.h"

#include <algorithm>
#include <bit>

namespace zr
{

namespace
{
constexpr std::uint64_t kTrue = ~std::uint64_t{0};
} // namespace

void VoiceGroup::Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff,
                        bool steadyPitch)
{
    if (count < 1 || count > Lanes() || m < 1) return;
    const int width = kernel_->width;
    const int used = (count + width - 1) / width * width;

    // A voice whose table level changes or fades in this chunk needs the rendered signal; then
    // the whole group takes it (the voices read before it are read again from the same state).
    bool steadyRead = steadyPitch;
    std::uint32_t silent = 0; // voices below their footage's range: their phase is left alone
    bool settled = true;
    for (int i = 0; i < count; ++i)
    {
        Voice& voice = *voices[i];
        if (steadyRead)
        {
            // Sets the voice's phases at tick position 0, as the rendered signal does.
            const OscillatorBank::SteadyRead steady =
                voice.bank_->SteadyChunk(m, p, voice.octaveNumber_, voice.noteName_, voice.phase_);
            steadyRead = steady.Steady();
            // A silent voice reads its one-entry table at a phase that stays 0.
            silent |= steady.silent ? 1u << i : 0u;
            lanes_.mainPhase[i] = steady.silent ? 0 : voice.phase_.main;
            lanes_.pulsePhase[i] = steady.silent ? 0 : voice.phase_.pulse;
            lanes_.increment[i] = steady.increment;
            lanes_.table[i] = steady.table;
        }
        voice.filter_.Follow(p);
        // The hold latch of the chunk's first envelope step; the later steps of the chunk leave it
        // as it is, and nothing before that step reads what it may change.
        if (p + m > 1) voice.em_.Latch();
        settled = settled && voice.em_.Settled();
        LoadVoice(i, voice);
    }
    for (int i = count; i < used; ++i)
        LoadSilent(i);
    if (!steadyRead) RenderSignals(voices, count, used, m, p);
    const int read = !steadyRead                     ? kRenderedSignal
                     : voices[0]->bank_->PulseRead() ? kSteadyPulseRead
                                                     : kSteadyRead;

    LaneRun run{&lanes_, used / width, read, settled, signal_.data(), Lanes(), voiceMix, 0, 0, p};
    for (int begin = 0; begin < m;)
    {
        // The next sample at which any voice's cutoff coefficients change.
        int end = m;
        if (!steadyCutoff)
            for (end = begin + 1; end < m && !FollowAll(voices, count, p + end);)
                ++end;
        RunRange(run, voices, begin, end);
        if (end < m)
            for (int i = 0; i < count; ++i)
                LoadCoefficients(i, *voices[i]);
        begin = end;
    }
    for (int i = 0; i < count; ++i)
    {
        StoreVoice(i, *voices[i]);
        if (steadyRead && (silent >> i & 1u) == 0)
        {
            voices[i]->phase_.main = lanes_.mainPhase[i];
            voices[i]->phase_.pulse = lanes_.pulsePhase[i];
        }
    }
}

void VoiceGroup::RunRange(LaneRun& run, Voice* const* voices, int begin, int end)
{
    run.end = end;
    while (begin < end)
    {
        run.begin = begin;
        if (run.settled)
        {
            std::copy(run.mix + begin, run.mix + end, mixBackup_.begin());
            const LaneResult result = kernel_->run(run);
            if (result.next >= 0)
            {
                begin = result.next;
                continue;
            }
            // A filter state went non-finite: the range again, with the checks, from the same start.
            std::copy(mixBackup_.begin(), mixBackup_.begin() + (end - begin), run.mix + begin);
            run.settled = false;
        }
        const LaneResult result = kernel_->run(run);
        for (std::uint32_t ended = result.ended; ended != 0; ended &= ended - 1)
        {
            const int i = std::countr_zero(ended);
            EM& em = voices[i]->em_;
            em.value_ = lanes_.emValue[i];
            em.Settle();
            LoadEnvelope(i, *voices[i]);
        }
        begin = result.next;
    }
}

bool VoiceGroup::FollowAll(Voice* const* voices, int count, int t)
{
    bool moved = false;
    for (int i = 0; i < count; ++i)
        moved |= voices[i]->filter_.Follow(t);
    return moved;
}

void VoiceGroup::RenderSignals(Voice* const* voices, int count, int used, int m, int p)
{
    const int stride = Lanes();
    double* signal = signal_.data();
    for (int i = 0; i < count; ++i)
    {
        Voice& voice = *voices[i];
        voice.bank_->RenderNoteSignal(signal + i, m, p, voice.octaveNumber_, voice.noteName_, voice.phase_,
                                      stride);
    }
    // The silent lanes up to the vector boundary.
    for (int j = 0; j < m; ++j)
        std::fill(signal + j * stride + count, signal + j * stride + used, 0.0);
}

void VoiceGroup::LoadVoice(int i, const Voice& voice)
{
    const FilterLanes<double>& f = voice.filter_.lanes_;
    LoadCoefficients(i, voice);
    lanes_.s1[i] = f.s1;
    lanes_.s2[i] = f.s2;
    lanes_.s3[i] = f.s3;
    lanes_.offset[i] = f.offset;
    LoadEnvelope(i, voice);
    lanes_.gain[i] = voice.Gain();
}

void VoiceGroup::LoadCoefficients(int i, const Voice& voice)
{
    const FilterLanes<double>& f = voice.filter_.lanes_;
    lanes_.g[i] = f.g;
    lanes_.a[i] = f.a;
    lanes_.b[i] = f.b;
    lanes_.d[i] = f.d;
    lanes_.k[i] = f.k;
}

void VoiceGroup::LoadEnvelope(int i, const Voice& voice)
{
    const EM& em = voice.em_;
    lanes_.emValue[i] = em.value_;
    lanes_.emTarget[i] = em.target_;
    lanes_.emRate[i] = em.rate_;
    lanes_.stepping[i] = em.state_ != EM::kIdle ? kTrue : 0;
    lanes_.rising[i] = em.state_ == EM::kAttack ? kTrue : 0;
    lanes_.falling[i] = em.state_ == EM::kDecay || em.state_ == EM::kRelease ? kTrue : 0;
}

void VoiceGroup::LoadSilent(int i)
{
    for (double* member : {lanes_.g, lanes_.a, lanes_.b, lanes_.d, lanes_.k, lanes_.s1, lanes_.s2, lanes_.s3,
                           lanes_.offset, lanes_.emValue, lanes_.emTarget, lanes_.emRate})
        member[i] = 0.0;
    lanes_.stepping[i] = lanes_.rising[i] = lanes_.falling[i] = 0;
    lanes_.gain[i] = -0.0;
    lanes_.mainPhase[i] = lanes_.pulsePhase[i] = lanes_.increment[i] = 0;
    lanes_.table[i] = &OscillatorBank::kSilentTable;
}

void VoiceGroup::StoreVoice(int i, Voice& voice) const
{
    FilterLanes<double>& f = voice.filter_.lanes_;
    f.s1 = lanes_.s1[i];
    f.s2 = lanes_.s2[i];
    f.s3 = lanes_.s3[i];
    f.offset = lanes_.offset[i];
    voice.em_.value_ = lanes_.emValue[i];
}

} // namespace zr
