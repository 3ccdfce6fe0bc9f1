#include "engine/SynthBlock.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace zr
{

std::array<Voice, SynthBlock::kVoices> SynthBlock::MakeVoices()
{
    return [this]<std::size_t... I>(std::index_sequence<I...>)
    {
        return std::array<Voice, kVoices>{((void)I, Voice(bank_))...};
    }
    (std::make_index_sequence<kVoices>());
}

SynthBlock::SynthBlock(const IncrementTable& increments, const CutoffTable& cutoffs, const HostClock& clock)
    : cutoffs_(cutoffs), modulation_(clock), bank_(increments), voices_(MakeVoices())
{
}

void SynthBlock::SetUp(double fs, int samplesPerTick)
{
    sampleRate_ = fs;
    const auto n = static_cast<std::size_t>(samplesPerTick);
    if (voiceMix_.size() != n)
    {
        voiceMix_.assign(n, 0.0);
        blockOut_.assign(n, 0.0);
        channelVca_.assign(n, 0.0);
        amBuffer_.assign(n, 0.0);
        fmBuffer_.assign(n, 0);
        cutoffModBuffer_.assign(n, 0);
    }
    bank_.SetUp(fs, fmBuffer_.data());
    for (Voice& voice : voices_)
        voice.SetUp(fs, &cutoffs_, cutoffModBuffer_.data());
    group_.SetUp(samplesPerTick);
    for (Resonator& resonator : resonators_)
        resonator.SetUp(fs);
    // The resonators keep sounding as their parameters say.
    SetResonatorIntensity(resonatorIntensity_);
    for (int i = 0; i < kResonators; ++i)
        SetResonatorFrequency(i, resonatorFrequency_[i]);
    modulation_.SetUp(fs);
}

void SynthBlock::TickUpdate(double pwmInput, double resonatorControl)
{
    bank_.UpdatePwm(pwmInput);
    bank_.Retune();
    if (glideCount_ > 0)
    {
        --glideCount_;
        glidePosition_ += glideStep_;
    }
    cutoffIndex_ = static_cast<int>(glidePosition_ * kCutoffIndexScale);
    for (Voice& voice : voices_)
        voice.TickUpdate(cutoffIndex_);
    if (resonatorsOn_)
        for (Resonator& resonator : resonators_)
            resonator.Update(resonatorControl);
}

void SynthBlock::ChannelUpdate(int t, bool gateOpen, double vcaGain)
{
    if (channelEnabled_ && gateOpen)
    {
        gainLeft_ = (1.0 - pan_) * volume2_;
        gainRight_ = pan_ * volume2_;
        channelVca_[t] = vcaGain;
    }
    else
    {
        channelVca_[t] = 0.0;
    }
}

void SynthBlock::Render(double* mixLeft, double* mixRight, int m, int p)
{
    double* voiceMix = voiceMix_.data();
    std::fill(voiceMix, voiceMix + m, 0.0);
    std::array<Voice*, kVoices> active;
    int count = 0;
    for (Voice& voice : voices_)
        if (voice.Active()) active[count++] = &voice;
    if (count > 0)
    {
        const int* cutoffMod = cutoffModBuffer_.data() + p;
        const bool steadyCutoff = std::equal(cutoffMod + 1, cutoffMod + m, cutoffMod);
        const bool steadyPitch = bank_.SteadyPitch(m, p);
        const int lanes = group_.Lanes();
        for (int first = 0; first < count; first += lanes)
            group_.Render(&active[first], std::min(lanes, count - first), voiceMix, m, p, steadyCutoff,
                          steadyPitch);
    }
    bank_.Advance(m);
    if (!channelEnabled_ || count == 0) return;

    double* out = voiceMix;
    if (resonatorsOn_)
    {
        out = blockOut_.data();
        std::fill(out, out + m, 0.0);
        for (Resonator& resonator : resonators_)
            resonator.Process(voiceMix, out, m);
    }
    if (amOn_)
        for (int i = 0; i < m; ++i)
            out[i] *= (amBuffer_[p + i] - 1.0) * amDepth_ + 1.0;
    for (int i = 0; i < m; ++i)
    {
        const double s = out[i] * channelVca_[p + i];
        mixLeft[i] += s * gainLeft_;
        mixRight[i] += s * gainRight_;
    }
}

Voice* SynthBlock::FindVoice(int note, bool activeOnly)
{
    for (Voice& voice : voices_)
        if (voice.Note() == note && (voice.Active() || !activeOnly)) return &voice;
    return nullptr;
}

void SynthBlock::Assign(int note, int serial)
{
    Voice* chosen = FindVoice(note, false);
    Voice* oldest = nullptr;
    for (Voice& voice : voices_)
    {
        if (chosen) break;
        if (!voice.Active())
            chosen = &voice;
        else if (!oldest || voice.Serial() < oldest->Serial())
            oldest = &voice;
    }
    if (!chosen) chosen = oldest;
    chosen->Start(note, serial);
}

void SynthBlock::ReleaseUnlessLatched(Voice& voice)
{
    if (!voice.Envelope().Latched()) voice.Release();
}

void SynthBlock::ReleaseKey(int note)
{
    Voice* voice = FindVoice(note, true);
    if (!voice) return;
    voice->SetKeyDown(false);
    if (!voice->PedalHeld()) ReleaseUnlessLatched(*voice);
}

void SynthBlock::Pedal(bool down)
{
    for (Voice& voice : voices_)
    {
        voice.SetPedalHeld(down);
        if (!down && !voice.KeyDown()) ReleaseUnlessLatched(voice);
    }
}

void SynthBlock::ReleaseAll()
{
    for (Voice& voice : voices_)
    {
        voice.SetPedalHeld(false);
        voice.SetKeyDown(false);
        ReleaseUnlessLatched(voice);
    }
}

void SynthBlock::SetCutoff(double value)
{
    const double target = std::sqrt(NanAsZeroClamped(value, 0.0, 1.0));
    glideTarget_ = target;
    glideCount_ = kGlideTicks;
    glideStep_ = (target - glidePosition_) / kGlideTicks;
}

void SynthBlock::LandCutoffGlide()
{
    if (glideCount_ == 0) return;
    glideCount_ = 0;
    glidePosition_ = glideTarget_;
}

bool SynthBlock::AnyVoiceActive() const
{
    return std::any_of(voices_.begin(), voices_.end(), [](const Voice& voice) { return voice.Active(); });
}

void SynthBlock::SetResonatorIntensity(double value)
{
    resonatorIntensity_ = value;
    resonatorsOn_ = value > 0.0;
    for (Resonator& resonator : resonators_)
        resonator.SetMix(value);
}

void SynthBlock::SetResonatorFrequency(int index, double value)
{
    if (index < 0 || index >= kResonators) return;
    resonatorFrequency_[index] = value;
    resonators_[index].SetPosition(value);
}

} // namespace zr
