#include "EngineTestSupport.h"

#include <algorithm>
#include <cmath>

namespace zr::test
{

MidiMessage NoteOn(int key, int velocity)
{
    return {0, 0x90, static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(velocity)};
}

MidiMessage NoteOff(int key)
{
    return {0, 0x80, static_cast<std::uint8_t>(key), 0};
}

MidiMessage Controller(int number, int value)
{
    return {0, 0xB0, static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(value)};
}

MidiMessage PitchBend(int lsb, int msb)
{
    return {0, 0xE0, static_cast<std::uint8_t>(lsb), static_cast<std::uint8_t>(msb)};
}

void ApplyFreshProgram(Engine& engine)
{
    for (SynthBlock& block : engine.Blocks())
    {
        block.SetWaveform(OscillatorBank::kSawtooth);
        block.SetOctave(OscillatorBank::kFootage8);
        block.SetPwmInt(50.0);
        block.SetCutoff(1.0);
        block.SetVolume(0.25);
        block.SetPan(0.5);
        block.SetChannelEnable(true);
        block.SetResonatorIntensity(0.0);
        block.ForEachVoice(
            [](Voice& voice)
            {
                voice.SetPeak(0.0);
                voice.SetKbdBal(0.5);
                voice.SetEmAttack(0.0);
                voice.SetEmDecay(0.0);
                voice.SetEmSustain(1.0);
                voice.SetEmRelease(EM::kDamp);
                voice.SetEmHold(false);
                voice.SetOverRelease(false);
            });
    }
    engine.SetUseHold(true);
    engine.SetFinalGain(Engine::kDefaultFinal);
}

std::unique_ptr<Engine> MakeEngine(double fs, int maxBlockSize)
{
    auto engine = std::make_unique<Engine>();
    ApplyFreshProgram(*engine);
    engine->SetUp(fs, maxBlockSize);
    return engine;
}

void SoloBlock(Engine& engine, int b)
{
    for (int i = 0; i < Engine::kBlocks; ++i)
        engine.Block(i).SetChannelEnable(i == b);
}

Stereo Render(Engine& engine, const std::vector<TimedMessage>& messages, long total, int blockSize)
{
    Stereo out{std::vector<double>(total), std::vector<double>(total)};
    std::size_t next = 0;
    for (long start = 0; start < total; start += blockSize)
    {
        const int n = static_cast<int>(std::min<long>(blockSize, total - start));
        for (; next < messages.size() && messages[next].sample < start + n; ++next)
        {
            MidiMessage message = messages[next].message;
            message.offset = static_cast<std::int32_t>(messages[next].sample - start);
            engine.HandleMidi(message);
        }
        engine.ProcessAudio(&out.left[start], &out.right[start], n);
    }
    return out;
}

Stereo Render(Engine& engine, long n, int blockSize)
{
    return Render(engine, {}, n, blockSize);
}

std::vector<double> HostTransport::Play(Engine& engine, int n)
{
    info_.samplePosition = samples_;
    info_.musicalPosition = beats_;
    std::vector<double> left(n), right(n);
    engine.ProcessAudio(left.data(), right.data(), n, info_);
    samples_ += n;
    beats_ += n / fs_ * info_.tempo / 60.0;
    return left;
}

double ZeroCrossingFrequency(const std::vector<double>& x, long from, long to, double fs)
{
    double first = -1.0;
    double last = -1.0;
    long crossings = 0;
    for (long i = from + 1; i < to; ++i)
    {
        if (x[i - 1] < 0.0 && x[i] >= 0.0)
        {
            const double t = (i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (crossings == 0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * fs / (last - first);
}

double Rms(const std::vector<double>& x, long from, long to)
{
    double sum = 0.0;
    for (long i = from; i < to; ++i)
        sum += x[i] * x[i];
    return to > from ? std::sqrt(sum / (to - from)) : 0.0;
}

double Peak(const std::vector<double>& x, long from, long to)
{
    double peak = 0.0;
    for (long i = from; i < to; ++i)
        peak = std::max(peak, std::abs(x[i]));
    return peak;
}

} // namespace zr::test
