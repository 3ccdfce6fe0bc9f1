// Loads the built module with dlopen and drives it exactly as a host does.
#include "plugin/VstAbi.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace vst = zr::vst;

namespace
{

constexpr const char* kModulePath = ZR_MODULE_PATH;
constexpr float kRate = 48000.0f;
constexpr int kBlock = 256;
constexpr int kA4 = 69;
constexpr double kA4Hz = 440.0;

int gHostCalls = 0;

// The host's transport: a test that plays it sets a tempo; the renderer then advances the position
// with every block it renders. Without a tempo the host answers no time request.
vst::VstTimeInfo gTime{};

std::intptr_t HostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    ++gHostCalls;
    if (opcode == vst::audioMasterGetProductString && ptr)
        std::snprintf(static_cast<char*>(ptr), 64, "%s", "module test");
    if (opcode == vst::audioMasterGetTime)
        return gTime.tempo > 0.0 ? reinterpret_cast<std::intptr_t>(&gTime) : 0;
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

void PlayTransport(double tempo, double rate)
{
    gTime = {};
    gTime.tempo = tempo;
    gTime.sampleRate = rate;
    gTime.flags = vst::kVstTransportPlaying | vst::kVstPpqPosValid | vst::kVstTempoValid;
}

void StopTransport()
{
    gTime = {};
}

class Module : public ::testing::Test
{
protected:
    void SetUp() override
    {
        handle = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        entry = reinterpret_cast<vst::PluginEntryProc>(dlsym(handle, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
    }
    void TearDown() override
    {
        if (handle) dlclose(handle);
    }

    std::intptr_t Dispatch(vst::AEffect* e, int32_t opcode, int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f)
    {
        return e->dispatcher(e, opcode, index, value, ptr, opt);
    }

    void Midi(vst::AEffect* e, uint8_t status, uint8_t data1, uint8_t data2)
    {
        vst::VstMidiEvent event{};
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof(event);
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        vst::VstEvents events{};
        events.numEvents = 1;
        events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
        Dispatch(e, vst::effProcessEvents, 0, 0, &events);
    }

    // Left channel of frames samples rendered in host blocks; a playing transport moves on with
    // every block.
    std::vector<float> Render(vst::AEffect* e, int frames, int block = kBlock)
    {
        std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
        for (int start = 0; start < frames; start += block)
        {
            float* outs[] = {left.data() + start, right.data() + start};
            e->processReplacing(e, nullptr, outs, std::min(block, frames - start));
            gTime.samplePos += std::min(block, frames - start);
            gTime.ppqPos = gTime.samplePos * gTime.tempo / (60.0 * gTime.sampleRate);
        }
        return left;
    }

    void Start(vst::AEffect* e, float rate, int block)
    {
        Dispatch(e, vst::effOpen);
        Dispatch(e, vst::effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(e, vst::effSetBlockSize, 0, block);
        Dispatch(e, vst::effMainsChanged, 0, 1);
    }

    void* handle = nullptr;
    vst::PluginEntryProc entry = nullptr;
};

// Frequency from rising zero crossings, first to last.
double ZeroCrossingFrequency(const std::vector<float>& s, double rate)
{
    std::vector<size_t> rising;
    for (size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0.0f && s[i] >= 0.0f) rising.push_back(i);
    if (rising.size() < 2) return 0.0;
    return (rising.size() - 1) * rate / static_cast<double>(rising.back() - rising.front());
}

double Peak(const std::vector<float>& s)
{
    double peak = 0.0;
    for (float v : s)
        peak = std::max(peak, std::fabs(static_cast<double>(v)));
    return peak;
}

} // namespace

TEST_F(Module, ExportsOnlyTheTwoEntryNames)
{
    const std::string command = std::string("nm -D --defined-only ") + kModulePath;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> names;
    char line[512];
    while (std::fgets(line, sizeof(line), pipe))
    {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) names.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
    EXPECT_EQ(dlsym(handle, "main"), reinterpret_cast<void*>(entry));
}

TEST_F(Module, EntryGivesAnInstrumentRecordPerCall)
{
    vst::AEffect* a = entry(&HostCallback);
    vst::AEffect* b = entry(nullptr); // a host without a callback still gets a working instance
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_EQ(a->magic, vst::kEffectMagic);
    EXPECT_EQ(a->uniqueID, vst::FourCC('z', 'r', '4', '4'));
    EXPECT_EQ(a->flags, 0x1131);
    EXPECT_EQ(a->numPrograms, 64);
    // A fresh instance starts with the factory bank (no startup bank in the test's home).
    char name[24] = {};
    EXPECT_EQ(Dispatch(a, vst::effGetProgramNameIndexed, 0, 0, name), 1);
    EXPECT_STREQ(name, "PAD: Waves of Sin");
    EXPECT_EQ(Dispatch(a, vst::effGetProgramNameIndexed, 63, 0, name), 1);
    EXPECT_STREQ(name, "Init");
    EXPECT_EQ(Dispatch(a, vst::effGetProgram), 0);
    Dispatch(b, vst::effOpen);
    Dispatch(b, vst::effMainsChanged, 0, 1);
    Dispatch(a, vst::effClose);
    Dispatch(b, vst::effClose);
}

TEST_F(Module, NotePlaysAtItsPitchAndFallsSilentAfterRelease)
{
    vst::AEffect* e = entry(&HostCallback);
    ASSERT_NE(e, nullptr);
    Dispatch(e, vst::effSetProgram, 0, 63); // "Init": the defaults, at the bank's level
    Start(e, kRate, kBlock);
    EXPECT_GT(gHostCalls, 0);

    EXPECT_EQ(Peak(Render(e, 4800)), 0.0); // nothing before a note
    Midi(e, 0x90, kA4, 100);
    const std::vector<float> held = Render(e, static_cast<int>(kRate));
    const std::vector<float> steady(held.begin() + 9600, held.end());
    EXPECT_GT(Peak(steady), 0.01);
    EXPECT_LE(Peak(held), 1.0);
    EXPECT_NEAR(ZeroCrossingFrequency(steady, kRate), kA4Hz, kA4Hz * 0.01);

    Midi(e, 0x80, kA4, 0);
    Render(e, 10 * static_cast<int>(kRate));
    EXPECT_LT(Peak(Render(e, 4800)), 1e-4);
    Dispatch(e, vst::effMainsChanged, 0, 0);
    Dispatch(e, vst::effClose);
}

// Program 46 "SEQ: Trance Gate" gates a held chord in host-synced sixteenths. With the transport
// playing from position 0 at 120 beats per minute and advancing with the samples rendered, every
// sixteenth of the bar opens the gate, and the host's block size changes no sample.
TEST_F(Module, HostSyncedGateIsTheSameAtEveryHostBlockSize)
{
    constexpr float kSongRate = 44100.0f;
    constexpr int kBar = 88200;                // four beats at 120 beats per minute
    constexpr double kSixteenth = kBar / 16.0; // 5,512.5 samples
    const auto gated = [&](int block)
    {
        vst::AEffect* e = entry(&HostCallback);
        Dispatch(e, vst::effSetProgram, 0, 46);
        Start(e, kSongRate, block);
        PlayTransport(120.0, kSongRate);
        for (const uint8_t key : {60, 64, 67})
            Midi(e, 0x90, key, 100);
        std::vector<float> left = Render(e, kBar, block);
        StopTransport();
        Dispatch(e, vst::effMainsChanged, 0, 0);
        Dispatch(e, vst::effClose);
        return left;
    };
    const auto level = [](const std::vector<float>& s, double from, double to)
    {
        double sum = 0.0;
        for (auto i = static_cast<size_t>(from); i < static_cast<size_t>(to); ++i)
            sum += static_cast<double>(s[i]) * s[i];
        return std::sqrt(sum / (to - from));
    };

    const std::vector<float> reference = gated(512);
    for (const int block : {1, 7, 32, 64, 128, 512, 4096})
    {
        const std::vector<float> left = block == 512 ? reference : gated(block);
        // The gate is open in the first half of each sixteenth and closed in the second.
        for (int k = 0; k < 16; ++k)
        {
            const double open = level(left, k * kSixteenth, (k + 0.5) * kSixteenth);
            const double closed = level(left, (k + 0.5) * kSixteenth, (k + 1) * kSixteenth);
            EXPECT_GT(open, 1.5 * closed) << "sixteenth " << k << ", block " << block;
        }
        const auto differs = std::mismatch(left.begin(), left.end(), reference.begin()).first;
        EXPECT_EQ(differs - left.begin(), kBar)
            << "first sample that differs from block 512, block " << block;
    }
}
