// zr4400-count: renders a held chord through the engine for instruction counting under callgrind
// (scripts/bench-callgrind.sh). Only MeasuredRender is meant to be counted; it prints the number of
// samples and voice-samples it rendered.
//
//   zr4400-count <keys> <sample rate> <block size> <seconds> [patched]
//
// "patched" patches every modulation source first (see ModulationPatch.h).
#include "../InstrumentRig.h"
#include "../ModulationPatch.h"

#include <charconv>
#include <cstdio>
#include <string_view>

namespace
{

constexpr int kCentreKey = 60;
constexpr double kSettleSeconds = 0.05;

int ActiveVoices(zr::Engine& engine)
{
    int count = 0;
    for (zr::SynthBlock& block : engine.Blocks())
        for (int v = 0; v < zr::SynthBlock::kVoices; ++v)
            count += block.GetVoice(v).Active() ? 1 : 0;
    return count;
}

// Returns the voice-samples rendered (voices counted after every block).
[[gnu::noinline]] double MeasuredRender(zr::InstrumentRig& rig, int blockSize, long samples)
{
    double voiceSamples = 0.0;
    for (long done = 0; done < samples; done += blockSize)
    {
        rig.Render(blockSize);
        voiceSamples += static_cast<double>(ActiveVoices(rig.GetEngine())) * blockSize;
    }
    return voiceSamples;
}

template <class T> bool Parse(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

} // namespace

int main(int argc, char** argv)
{
    int keys = 0;
    int rate = 0;
    int blockSize = 0;
    double seconds = 0.0;
    const bool patched = argc == 6 && std::string_view(argv[5]) == "patched";
    if ((argc != 5 && !patched) || !Parse(argv[1], keys) || !Parse(argv[2], rate) ||
        !Parse(argv[3], blockSize) || !Parse(argv[4], seconds) || keys < 0 || keys > 128 || rate < 1000 ||
        blockSize < 1 || blockSize > zr::IPlugBase::kMaxBlockSize || seconds <= 0.0)
    {
        std::fputs("usage: zr4400-count <keys 0..128> <sample rate> <block size> <seconds> [patched]\n",
                   stderr);
        return 2;
    }
    zr::InstrumentRig rig(rate, blockSize);
    if (patched) zr::PatchEverySource(rig);
    for (int k = 0; k < keys; ++k)
        rig.NoteOn(kCentreKey - keys / 2 + k);
    for (long done = 0; done < static_cast<long>(kSettleSeconds * rate); done += blockSize)
        rig.Render(blockSize);
    const long samples = static_cast<long>(seconds * rate) / blockSize * blockSize;
    const double voiceSamples = MeasuredRender(rig, blockSize, samples);
    std::printf("samples %ld\nvoice-samples %.0f\n", samples, voiceSamples);
    return 0;
}
