#include "engine/Engine.h"

#include <algorithm>
#include <cmath>

namespace zr
{

Engine::Engine()
    : blocks_{SynthBlock(increments_, cutoffs_, modulation_.Clock()),
              SynthBlock(increments_, cutoffs_, modulation_.Clock()),
              SynthBlock(increments_, cutoffs_, modulation_.Clock())},
      keyboard_(blocks_)
{
    BindSources();
}

void Engine::BindSources()
{
    sources_.BindCv(CvSource::kPlus5V, modulation_.One());
    sources_.BindCv(CvSource::kGe1Negative, modulation_.Geg().OutNegative());
    sources_.BindCv(CvSource::kGe2Rising, modulation_.Geg().OutRising());
    sources_.BindCv(CvSource::kGe3Positive, modulation_.Geg().OutPositive());
    for (int b = 0; b < kBlocks; ++b)
    {
        sources_.BindCv(CvSource::kMg1A + 2 * b, blocks_[b].Modulation().Mg1Output());
        sources_.BindCv(CvSource::kMg2A + 2 * b, blocks_[b].Modulation().Mg2Output());
    }
    sources_.BindCv(CvSource::kSampleHold, modulation_.SampleHold().Output());
    sources_.BindCv(CvSource::kVp1, modulation_.Vp1().Output());
    sources_.BindCv(CvSource::kVp2, modulation_.Vp2().Output());
    sources_.BindCv(CvSource::kKey, keyboard_.KeyboardCv());
    sources_.BindCv(CvSource::kPitchBend, pitchBend_);
    sources_.BindCv(CvSource::kPitchBendPositive, pitchBendUnipolar_);
    sources_.BindCv(CvSource::kModWheel, modWheelBipolar_);
    sources_.BindCv(CvSource::kModWheelPositive, modWheel_);
    for (int i = 0; i < Modulation::kLags; ++i)
        sources_.BindCv(CvSource::kLag1 + i, modulation_.Lag(i).Output());
    for (int i = 0; i < Modulation::kAttenuators; ++i)
        sources_.BindCv(CvSource::kAtn1 + i, modulation_.Atn(i).Output());
    for (int i = 0; i < ExternalInputs::kVoltages; ++i)
        sources_.BindCv(CvSource::kVc1 + i, inputs_.Voltage(i));

    sources_.BindTrigger(TriggerSource::kKeyboard, keyboard_.KeyboardTrigger());
    sources_.BindTrigger(TriggerSource::kSingle, keyboard_.SingleTrigger());
    sources_.BindTrigger(TriggerSource::kMultiple, keyboard_.MultipleTrigger());
    for (int source = TriggerSource::kMg1A; source < TriggerSource::kCount; ++source)
        sources_.BindTrigger(source, modulation_.TriggerFlag(source));
}

void Engine::LandCutoffGlidesWhenSilent()
{
    if (std::any_of(blocks_.begin(), blocks_.end(),
                    [](const SynthBlock& block) { return block.AnyVoiceActive(); }))
        return;
    for (SynthBlock& block : blocks_)
        block.LandCutoffGlide();
}

void Engine::KickTrigger()
{
    ExternalInputs::Trigger& trigger = inputs_.GetTrigger(0);
    trigger.state = true;
    trigger.previous = false;
}

void Engine::SetUp(double sampleRate, int maxBlockSize)
{
    queue_.Resize(maxBlockSize);
    keyboard_.Reset();
    tickRemaining_ = 0;
    // NaN, negative, sub-kilohertz and absurdly high rates give no tick length: the engine then
    // stays silent instead of hanging or sizing huge buffers.
    const bool usable = std::isfinite(sampleRate) && sampleRate >= 0.0 && sampleRate <= kHighestRate;
    const double rate = usable ? sampleRate : 0.0;
    const int samplesPerTick = static_cast<int>(rate) / kSamplesPerTickDivisor;
    // The rate tables follow every rate change, even one that keeps the tick length.
    if (samplesPerTick != samplesPerTick_ || rate != sampleRate_)
    {
        samplesPerTick_ = samplesPerTick;
        sampleRate_ = rate;
        mixLeft_.assign(samplesPerTick, 0.0);
        mixRight_.assign(samplesPerTick, 0.0);
        totalVca_.assign(samplesPerTick, 0.0);
        if (samplesPerTick > 0)
        {
            increments_.Build(rate);
            cutoffs_.Build(rate);
            for (SynthBlock& block : blocks_)
                block.SetUp(rate, samplesPerTick);
        }
        modulation_.Reset(rate);
    }
    modulation_.SetClockRate(rate);
    AllNotesOff();
}

void Engine::SetUseHold(bool on)
{
    for (SynthBlock& block : blocks_)
        block.ForEachVoice([on](Voice& voice) { voice.SetUseHold(on); });
}

void Engine::HandleMidi(const MidiMessage& message)
{
    if (host_ && host_->MidiThruOn()) host_->SendMidiToHost(message);
    MidiMessage item = message;
    item.data1 &= midi::kDataMask;
    item.data2 &= midi::kDataMask;
    switch (item.Kind())
    {
    case midi::kNoteOff:
    case midi::kNoteOn:
    case midi::kPitchBend:
        queue_.Add(item);
        break;
    case midi::kControlChange:
        if (item.data1 <= midi::kLastMappableController)
        {
            if (host_ && host_->MidiLearnArmed())
                host_->LearnController(item.data1);
            else
                queue_.Add(item);
        }
        else if (item.data1 == midi::kAllSoundOff || item.data1 == midi::kAllNotesOff)
        {
            AllNotesOff();
        }
        break;
    case midi::kProgramChange:
        if (host_ && !host_->IgnoreProgramChange()) host_->LoadProgram(item.data1);
        break;
    default:
        break;
    }
}

void Engine::HandleQueued(const MidiMessage& message)
{
    switch (message.Kind())
    {
    case midi::kNoteOn:
        if (message.data2 > 0)
        {
            keyboard_.NoteOn(message.data1, message.data2);
            break;
        }
        [[fallthrough]];
    case midi::kNoteOff:
        if (keyboard_.NoteOff(message.data1)) modulation_.Geg().KeyRelease();
        break;
    case midi::kControlChange:
        HandleController(message.data1, message.data2);
        break;
    case midi::kPitchBend:
        pitchBend_ =
            (message.data1 + kPitchBendMsbWeight * message.data2 - kPitchBendCenter) / kPitchBendCenter;
        pitchBendUnipolar_ = (pitchBend_ + 1.0) / 2.0;
        break;
    default:
        break;
    }
}

void Engine::HandleController(int controller, int value)
{
    if (controller == midi::kModWheel)
    {
        modWheel_ = value / kControllerScale;
        modWheelBipolar_ = 2.0 * modWheel_ - 1.0;
        inputs_.Update(controller, modWheel_);
        return;
    }
    if (controller == midi::kSustainPedal)
    {
        keyboard_.Pedal(value != 0);
        inputs_.Update(controller, value > 0 ? 1.0 : 0.0);
        return;
    }
    const double normalized = value / kControllerScale;
    inputs_.Update(controller, normalized);
    if (!host_) return;
    const int parameter = host_->MappedParameter(controller);
    if (parameter >= 0 && host_->NormalizedValue(parameter) != normalized)
        host_->ChangeParamFromController(parameter, normalized);
}

void Engine::RunTick()
{
    queue_.Drain(samplesPerTick_, [this](const MidiMessage& message) { HandleQueued(message); });
    controlTick_.Run(*this, samplesPerTick_);
}

void Engine::ProcessAudio(double* left, double* right, int n, const HostTimeInfo& time)
{
    if (!left || !right || n <= 0) return;
    // The control tick steps the clock for its whole length at once: the rest of a tick begun in
    // the previous call has been counted already.
    modulation_.Clock().UpdateTransport(time, tickRemaining_);
    std::fill(left, left + n, 0.0);
    std::fill(right, right + n, 0.0);
    if (samplesPerTick_ < 1)
    {
        // No tick grid at this rate: silence, and no MIDI piling up for ticks that never come.
        queue_.Clear();
        return;
    }
    while (n > 0)
    {
        int p = 0;
        int m = 0;
        if (tickRemaining_ < 1)
        {
            RunTick();
            m = std::min(samplesPerTick_, n);
            tickRemaining_ = samplesPerTick_ - m;
        }
        else
        {
            p = samplesPerTick_ - tickRemaining_;
            m = std::min(tickRemaining_, n);
            tickRemaining_ -= m;
        }
        std::fill_n(mixLeft_.begin(), m, 0.0);
        std::fill_n(mixRight_.begin(), m, 0.0);
        for (SynthBlock& block : blocks_)
            block.Render(mixLeft_.data(), mixRight_.data(), m, p);
        for (int i = 0; i < m; ++i)
        {
            const double g = totalVca_[p + i] * finalGain_;
            left[i] = g * mixLeft_[i];
            right[i] = g * mixRight_[i];
        }
        left += m;
        right += m;
        n -= m;
    }
}

} // namespace zr
