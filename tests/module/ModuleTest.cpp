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

std::intptr_t HostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    ++gHostCalls;
    if (opcode == vst::audioMasterGetProductString && ptr)
        std::snprintf(static_cast<char*>(ptr), 64, "%s", "module test");
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
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

    // Left channel of frames samples rendered in host blocks.
    std::vector<float> Render(vst::AEffect* e, int frames)
    {
        std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
        for (int start = 0; start < frames; start += kBlock)
        {
            float* outs[] = {left.data() + start, right.data() + start};
            e->processReplacing(e, nullptr, outs, std::min(kBlock, frames - start));
        }
        return left;
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
    Dispatch(e, vst::effSetProgram, 0, 63); // "Init": every parameter at its default
    Dispatch(e, vst::effOpen);
    Dispatch(e, vst::effSetSampleRate, 0, 0, nullptr, kRate);
    Dispatch(e, vst::effSetBlockSize, 0, kBlock);
    Dispatch(e, vst::effMainsChanged, 0, 1);
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
