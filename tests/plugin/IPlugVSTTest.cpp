#include "FakeVstHost.h"

#include "instrument/ParameterTable.h"
#include "plugin/ProgramState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <climits>
#include <cmath>
#include <limits>
#include <numeric>
#include <random>
#include <thread>

using namespace zr;
namespace vst = zr::vst;

namespace
{

constexpr int kUseHold = Param::kUseHold;
constexpr int kFinal = Param::kFinal;
constexpr int kWaveformA = Param::BlockParamIndex(0, Param::kWaveform);
constexpr int kA4 = 69;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControlChange = 0xB0;
constexpr uint8_t kProgramChange = 0xC0;

std::vector<double> Values(ZR4400& plug)
{
    std::vector<double> values;
    for (int i = 0; i < plug.NParams(); ++i)
        values.push_back(plug.GetParam(i)->Value());
    return values;
}

// Moves every parameter away from its default by a fixed pattern through setParameter.
void VaryParameters(vst::AEffect* effect, int salt = 0)
{
    for (int i = 0; i < effect->numParams; ++i)
        effect->setParameter(effect, i, static_cast<float>(((i + salt) * 37) % 101) / 100.0f);
}

double Peak(const std::vector<float>& samples)
{
    double peak = 0.0;
    for (float s : samples)
        peak = std::max(peak, std::fabs(static_cast<double>(s)));
    return peak;
}

class IPlugVSTTest : public ::testing::Test
{
protected:
    FakeVstHost host;
};

} // namespace

// ---- Effect record and simple answers --------------------------------------------------------

TEST_F(IPlugVSTTest, EffectRecordCarriesTheInstrumentsIdentity)
{
    VstInstance vi(host);
    const vst::AEffect& e = *vi.effect;
    EXPECT_EQ(e.magic, vst::kEffectMagic);
    EXPECT_EQ(e.flags, 0x1131); // with the editor
    EXPECT_EQ(e.uniqueID, 0x7A723434); // 'zr44'
    EXPECT_EQ(e.version, 10205);
    EXPECT_EQ(e.numParams, 229);
    EXPECT_EQ(e.numPrograms, 64);
    EXPECT_EQ(e.numInputs, 0);
    EXPECT_EQ(e.numOutputs, 2);
    EXPECT_EQ(e.initialDelay, 0);
    EXPECT_FLOAT_EQ(e.ioRatio, 1.0f);
    EXPECT_EQ(e.object, &vi.Plug());
    EXPECT_TRUE(e.dispatcher && e.process && e.processReplacing && e.processDoubleReplacing &&
                e.setParameter && e.getParameter);
}

TEST_F(IPlugVSTTest, FixedAnswersOfTheDispatcher)
{
    VstInstance vi(host);
    vi.effect->user = reinterpret_cast<void*>(0x1234); // hosts may overwrite it; never used
    EXPECT_EQ(vi.Dispatch(vst::effIdentify), 0x4E764566);
    EXPECT_EQ(vi.Dispatch(vst::effGetVstVersion), 2400);
    EXPECT_EQ(vi.Dispatch(vst::effGetVendorVersion), 10205);
    EXPECT_EQ(vi.Dispatch(vst::effGetPlugCategory), vst::kPlugCategSynth);
    EXPECT_EQ(vi.Dispatch(vst::effGetTailSize), 0);
    EXPECT_EQ(vi.Dispatch(vst::effCanBeAutomated, 5000), 1);
    EXPECT_EQ(vi.Dispatch(vst::effStartProcess), 0);
    EXPECT_EQ(vi.Dispatch(9999), 0);
    EXPECT_EQ(vi.Dispatch(-1), 0);
    EXPECT_EQ(vi.Text(vst::effGetEffectName), "ZR-4400");
    EXPECT_EQ(vi.Text(vst::effGetVendorString), "Zarnow Audio");
    EXPECT_EQ(vi.Text(vst::effGetProductString), "");
    EXPECT_EQ(vi.Dispatch(vst::effGetEffectName, 0, 0, nullptr), 0);
    EXPECT_EQ(vi.Dispatch(vst::effGetVendorString, 0, 0, nullptr), 0);
    EXPECT_EQ(vi.Dispatch(vst::effGetProductString, 0, 0, nullptr), 0);
    EXPECT_EQ(vi.Dispatch(vst::effEditGetRect, 0, 0, nullptr), 0);
    vst::ERect* rect = nullptr;
    ASSERT_EQ(vi.Dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->bottom, 660);
    EXPECT_EQ(rect->right, 1480);
    EXPECT_EQ(vi.Dispatch(vst::effEditOpen), 0);
}

TEST_F(IPlugVSTTest, CallbacksWithoutAnInstanceDoNothing)
{
    vst::AEffect orphan{};
    VstInstance vi(host);
    orphan = *vi.effect;
    orphan.object = nullptr;
    EXPECT_EQ(orphan.dispatcher(&orphan, vst::effIdentify, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(orphan.dispatcher(nullptr, vst::effClose, 0, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(orphan.getParameter(&orphan, 0), 0.0f);
    orphan.setParameter(&orphan, 0, 0.5f);
    float left[4] = {};
    float* outs[] = {left, left};
    orphan.processReplacing(&orphan, nullptr, outs, 4);
    orphan.processReplacing(nullptr, nullptr, outs, 4);
}

// ---- Texts -----------------------------------------------------------------------------------

TEST_F(IPlugVSTTest, TextsCopiedIntoHostBuffersAreCutAndTerminated)
{
    VstInstance vi(host);
    static constexpr char kGuard = 0x55;
    const auto check = [&](int32_t opcode, int32_t index, size_t limit)
    {
        char buffer[128];
        std::memset(buffer, kGuard, sizeof(buffer));
        vi.Dispatch(opcode, index, 0, buffer);
        const size_t length = strnlen(buffer, sizeof(buffer));
        EXPECT_LT(length, limit) << "opcode " << opcode << " index " << index;
        EXPECT_TRUE(std::all_of(buffer + limit, buffer + sizeof(buffer), [](char c) { return c == kGuard; }))
            << "opcode " << opcode << " index " << index;
    };
    for (int i = 0; i < Param::kNumParams; ++i)
    {
        check(vst::effGetParamName, i, 24);
        check(vst::effGetParamLabel, i, 24);
        check(vst::effGetParamDisplay, i, 24);
    }
    const std::string longName(100, 'x');
    vi.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
    check(vst::effGetProgramName, 0, 24);
    check(vst::effGetProgramNameIndexed, 0, 24);
    EXPECT_EQ(vi.Text(vst::effGetProgramName), std::string(23, 'x'));
    check(vst::effGetEffectName, 0, 32);
    check(vst::effGetVendorString, 0, 64);
}

TEST_F(IPlugVSTTest, BadIndexesLeaveHostBuffersAlone)
{
    VstInstance vi(host);
    for (int32_t index : {-1, 229, INT_MAX, INT_MIN})
    {
        for (int32_t opcode : {vst::effGetParamName, vst::effGetParamLabel, vst::effGetParamDisplay})
        {
            char buffer[8] = "keep";
            EXPECT_EQ(vi.Dispatch(opcode, index, 0, buffer), 0);
            EXPECT_STREQ(buffer, "keep");
            EXPECT_EQ(vi.Dispatch(opcode, index, 0, nullptr), 0);
        }
        EXPECT_EQ(vi.Dispatch(vst::effGetProgramNameIndexed, index, 0, nullptr), 0);
        EXPECT_EQ(vi.Text(vst::effGetProgramNameIndexed, index), "");
    }
    EXPECT_EQ(vi.Dispatch(vst::effGetProgramNameIndexed, 3, 0, nullptr), 0);
    EXPECT_EQ(vi.Text(vst::effGetProgramNameIndexed, 3), vi.Plug().GetPresetName(3));
    EXPECT_EQ(vi.Dispatch(vst::effGetProgramName, 0, 0, nullptr), 0);
    EXPECT_EQ(vi.Dispatch(vst::effSetProgramName, 0, 0, nullptr), 0);
}

TEST_F(IPlugVSTTest, ParameterTextsComeFromTheTable)
{
    VstInstance vi(host);
    vi.Plug().InitProgram(); // every default
    EXPECT_EQ(vi.Text(vst::effGetParamName, kFinal), "Final");
    EXPECT_EQ(vi.Text(vst::effGetParamName, kUseHold), "Use Hold");
    EXPECT_EQ(vi.Text(vst::effGetParamDisplay, kUseHold), "on");
    EXPECT_EQ(vi.Text(vst::effGetParamLabel, kUseHold), "");
    EXPECT_EQ(vi.Text(vst::effGetParamDisplay, kFinal), "0.25");
}

// ---- Parameter callbacks ---------------------------------------------------------------------

TEST_F(IPlugVSTTest, SetParameterClampsNaNAndOutOfRangeValuesAndIgnoresBadIndexes)
{
    VstInstance vi(host);
    vst::AEffect* e = vi.effect;
    const std::vector<double> before = Values(vi.Plug());
    for (int32_t index : {-1, 229, INT_MAX, INT_MIN})
    {
        e->setParameter(e, index, 0.5f);
        EXPECT_EQ(e->getParameter(e, index), 0.0f);
    }
    EXPECT_EQ(Values(vi.Plug()), before);

    e->setParameter(e, kFinal, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(e->getParameter(e, kFinal), 0.0f);
    e->setParameter(e, kFinal, 7.0f);
    EXPECT_EQ(e->getParameter(e, kFinal), 1.0f);
    e->setParameter(e, kFinal, -3.0f);
    EXPECT_EQ(e->getParameter(e, kFinal), 0.0f);
    e->setParameter(e, kFinal, std::numeric_limits<float>::infinity());
    EXPECT_EQ(e->getParameter(e, kFinal), 1.0f);
    e->setParameter(e, kFinal, 0.5f);
    EXPECT_NEAR(vi.Plug().GetParam(kFinal)->Value(), 0.25, 1e-7); // shape 2
    EXPECT_EQ(host.Count(vst::audioMasterAutomate), 0);           // the host is not told back
}

// ---- Chunks ----------------------------------------------------------------------------------

TEST_F(IPlugVSTTest, BankChunkStartsWithTheHeaderAndTheFirstProgramName)
{
    VstInstance vi(host);
    const std::vector<uint8_t> bank = vi.GetChunk(0);
    ASSERT_GE(bank.size(), 12u);
    EXPECT_EQ(std::vector<uint8_t>(bank.begin(), bank.begin() + 8),
              (std::vector<uint8_t>{'t', 'f', 'f', 'p', 0, 0, 1, 0}));
    const std::string name(vi.Plug().GetPresetName(0));
    EXPECT_EQ(bank[8], name.size());
    EXPECT_EQ(std::string(bank.begin() + 12, bank.begin() + 12 + name.size()), name);

    vi.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Bright Pad"));
    const std::vector<uint8_t> program = vi.GetChunk(1);
    ASSERT_GE(program.size(), 8u + 13u);
    EXPECT_EQ(std::string(program.begin() + 8, program.begin() + 21), ProgramState::kStateTag);
    EXPECT_EQ(std::string(program.end() - 10, program.end()), "Bright Pad");
    EXPECT_EQ(program.size(), 8u + 21u + 10u + 229u * 8u + 4u + 10u);
    EXPECT_EQ(vi.Dispatch(vst::effGetChunk, 1, 0, nullptr), 0);
}

TEST_F(IPlugVSTTest, ProgramChunkRoundTripIsByteIdentical)
{
    std::vector<uint8_t> chunk;
    std::vector<double> values;
    {
        VstInstance source(host);
        VaryParameters(source.effect);
        source.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Varied"));
        chunk = source.GetChunk(1);
        values = Values(source.Plug());
    }
    VstInstance target(host);
    EXPECT_EQ(target.SetChunk(1, chunk), 1);
    EXPECT_EQ(Values(target.Plug()), values);
    EXPECT_EQ(target.Text(vst::effGetProgramName), "Varied");
    EXPECT_EQ(target.GetChunk(1), chunk);

    // Without the header the state is read from byte 0.
    VstInstance bare(host);
    EXPECT_EQ(bare.SetChunk(1, std::vector<uint8_t>(chunk.begin() + 8, chunk.end())), 1);
    EXPECT_EQ(Values(bare.Plug()), values);
}

TEST_F(IPlugVSTTest, BankChunkRoundTripRestoresEveryProgram)
{
    std::vector<uint8_t> chunk;
    std::vector<std::vector<double>> programs;
    {
        VstInstance source(host);
        for (int p = 0; p < 64; ++p)
        {
            source.Dispatch(vst::effSetProgram, 0, p);
            VaryParameters(source.effect, p);
            programs.push_back(Values(source.Plug()));
            const std::string name = "Program " + std::to_string(p);
            source.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
        }
        source.Dispatch(vst::effSetProgram, 0, 5);
        chunk = source.GetChunk(0);
    }
    VstInstance target(host);
    EXPECT_EQ(target.SetChunk(0, chunk), 1);
    // A bank carries no current index: the reader's current program is reloaded from it.
    EXPECT_EQ(target.Dispatch(vst::effGetProgram), 0);
    EXPECT_EQ(Values(target.Plug()), programs[0]);
    // Every slot is stored again in the reading instance, so the second trip is byte-identical.
    const std::vector<uint8_t> stored = target.GetChunk(0);
    VstInstance copy(host);
    EXPECT_EQ(copy.SetChunk(0, stored), 1);
    EXPECT_EQ(copy.GetChunk(0), stored);
    for (int p = 0; p < 64; ++p)
    {
        EXPECT_EQ(target.Plug().GetPresetName(p), "Program " + std::to_string(p));
        target.Dispatch(vst::effSetProgram, 0, p);
        EXPECT_EQ(Values(target.Plug()), programs[static_cast<size_t>(p)]) << "program " << p;
    }
}

TEST_F(IPlugVSTTest, VendorsThatForceProgramChunksGetProgramsAndMayHandBackBanks)
{
    std::vector<uint8_t> bank;
    {
        VstInstance source(host);
        for (int p = 0; p < 64; ++p)
        {
            const std::string name = "Slot " + std::to_string(p);
            source.Dispatch(vst::effSetProgram, 0, p);
            source.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
        }
        bank = source.GetChunk(0);
    }
    host.vendor = "Native Instruments";
    host.calls.clear();
    VstInstance ni(host);
    const std::vector<uint8_t> program = ni.GetChunk(0);
    ASSERT_GT(program.size(), 21u);
    EXPECT_EQ(std::string(program.begin() + 8, program.begin() + 21), ProgramState::kStateTag);
    EXPECT_EQ(ni.SetChunk(0, program), 1);

    EXPECT_EQ(ni.SetChunk(0, bank), 1);
    for (int p = 0; p < 64; ++p)
        EXPECT_EQ(ni.Plug().GetPresetName(p), "Slot " + std::to_string(p));
    EXPECT_EQ(host.Count(vst::audioMasterGetVendorString), 1); // asked once, then cached
}

TEST_F(IPlugVSTTest, UnreadableChunksReportFailureAndKeepValuesInRange)
{
    VstInstance vi(host);
    const std::vector<uint8_t> good = vi.GetChunk(1);
    EXPECT_EQ(vi.Dispatch(vst::effSetChunk, 1, 10, nullptr), 0);
    EXPECT_EQ(vi.SetChunk(1, {}), 0);
    EXPECT_EQ(vi.Dispatch(vst::effSetChunk, 1, -5, const_cast<uint8_t*>(good.data())), 0);
    EXPECT_EQ(vi.SetChunk(1, std::vector<uint8_t>(good.begin(), good.begin() + 100)), 0);
    EXPECT_EQ(vi.SetChunk(0, std::vector<uint8_t>(good.begin(), good.begin() + 100)), 0);

    std::mt19937 rng(4400);
    for (int round = 0; round < 50; ++round)
    {
        std::vector<uint8_t> noise(static_cast<size_t>(rng() % 3000));
        for (uint8_t& b : noise)
            b = static_cast<uint8_t>(rng());
        vi.SetChunk(static_cast<int32_t>(round % 2), noise);
        for (int i = 0; i < Param::kNumParams; ++i)
        {
            const IParameter* p = vi.Plug().GetParam(i);
            ASSERT_TRUE(std::isfinite(p->Value()) && p->Value() >= p->Min() && p->Value() <= p->Max());
        }
    }
}

// ---- Events, texts to values, capabilities ---------------------------------------------------

TEST_F(IPlugVSTTest, CanDoAnswers)
{
    VstInstance vi(host);
    const auto ask = [&](const char* text)
    { return vi.Dispatch(vst::effCanDo, 0, 0, const_cast<char*>(text)); };
    EXPECT_EQ(ask("sendVstMidiEvent"), 1);
    EXPECT_EQ(ask("sendVstEvents"), 1);
    EXPECT_EQ(ask("receiveVstEvents"), 1);
    EXPECT_EQ(ask("receiveVstMidiEvent"), 1);
    EXPECT_EQ(ask("receiveVstTimeInfo"), 1);
    EXPECT_EQ(ask("hasCockosExtensions"), 0xBEEF0000);
    EXPECT_EQ(ask("hasCockosViewAsConfig"), 0xBEEF0000);
    EXPECT_EQ(ask("sendVstMidiEventFlagIsRealtime"), 0);
    EXPECT_EQ(ask(""), 0);
    EXPECT_EQ(vi.Dispatch(vst::effCanDo, 0, 0, nullptr), 0);
}

TEST_F(IPlugVSTTest, PinPropertiesOfTheTwoOutputs)
{
    VstInstance vi(host);
    vst::VstPinProperties pin{};
    EXPECT_EQ(vi.Dispatch(vst::effGetOutputProperties, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 3);
    EXPECT_STREQ(pin.label, "Output 1");
    EXPECT_EQ(vi.Dispatch(vst::effGetOutputProperties, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, 1);
    EXPECT_STREQ(pin.label, "Output 2");
    EXPECT_EQ(vi.Dispatch(vst::effGetOutputProperties, 2, 0, &pin), 0);
    EXPECT_EQ(vi.Dispatch(vst::effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(vi.Dispatch(vst::effGetInputProperties, 0, 0, &pin), 0);
    EXPECT_EQ(vi.Dispatch(vst::effGetOutputProperties, 0, 0, nullptr), 0);

    vst::VstSpeakerArrangement* in = nullptr;
    vst::VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(vi.Dispatch(vst::effGetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&in), &out), 1);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(in->type, vst::kSpeakerArrEmpty);
    EXPECT_EQ(in->numChannels, 0);
    EXPECT_EQ(out->type, vst::kSpeakerArrStereo);
    EXPECT_EQ(out->numChannels, 2);
}

TEST_F(IPlugVSTTest, String2ParameterMatchesDisplayTextsOrReadsNumbers)
{
    VstInstance vi(host);
    const auto set = [&](int32_t index, const char* text)
    { return vi.Dispatch(vst::effString2Parameter, index, 0, const_cast<char*>(text)); };
    ASSERT_EQ(set(kUseHold, "off"), 1);
    EXPECT_EQ(vi.Plug().GetParam(kUseHold)->Value(), 0.0);
    EXPECT_EQ(set(kUseHold, "on"), 1);
    EXPECT_EQ(vi.Plug().GetParam(kUseHold)->Value(), 1.0);
    set(kUseHold, "off");
    EXPECT_EQ(set(kUseHold, "1"), 0);
    EXPECT_EQ(vi.Plug().GetParam(kUseHold)->Value(), 0.0);

    EXPECT_EQ(set(kFinal, "0.5"), 1);
    EXPECT_EQ(vi.Plug().GetParam(kFinal)->Value(), 0.5);
    EXPECT_EQ(set(kFinal, "  0.125"), 1);
    EXPECT_EQ(vi.Plug().GetParam(kFinal)->Value(), 0.125);
    EXPECT_EQ(set(kFinal, "12"), 1); // clamped, not refused
    EXPECT_EQ(vi.Plug().GetParam(kFinal)->Value(), 1.0);
    EXPECT_EQ(set(kFinal, "nan"), 1); // NaN leaves the value
    EXPECT_EQ(vi.Plug().GetParam(kFinal)->Value(), 1.0);

    EXPECT_EQ(set(229, "0.5"), 0);
    EXPECT_EQ(set(-1, "0.5"), 0);
    EXPECT_EQ(vi.Dispatch(vst::effString2Parameter, kFinal, 0, nullptr), 1);
}

TEST_F(IPlugVSTTest, VendorSpecificDisplayAndSteppedQuery)
{
    VstInstance vi(host);
    char text[64] = {};
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 7, kUseHold, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "on");
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 7, 5000, text, 0.0f), 0xBEEF);
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 7, kFinal, nullptr, 0.0f), 0);
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 8, kUseHold), 0xBEEF);
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 8, kWaveformA), 0xBEEF);
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 8, kFinal), 0);
    EXPECT_EQ(vi.Dispatch(vst::effVendorSpecific, 8, -1), 0);
    vst::MidiKeyName key{};
    key.thisKeyNumber = 60;
    std::strcpy(key.keyName, "old");
    EXPECT_EQ(vi.Dispatch(vst::effGetMidiKeyName, 0, 0, &key), 0);
    EXPECT_STREQ(key.keyName, "");
}

TEST_F(IPlugVSTTest, HostKindsFromProductStrings)
{
    EXPECT_EQ(IPlugVST::HostKindFromProductString("REAPER"), 1);
    EXPECT_EQ(IPlugVST::HostKindFromProductString("Live Cubase"), 3);
    EXPECT_EQ(IPlugVST::HostKindFromProductString(""), 0);
    EXPECT_EQ(IPlugVST::HostKindFromProductString("Ardour"), 28);
    EXPECT_EQ(IPlugVST::HostKindFromProductString("Renoise"), 29);
    EXPECT_EQ(IPlugVST::HostKindFromProductString("Bitwig Studio"), 0);
    EXPECT_EQ(IPlugVST::HostKindFromProductString("Standalone"), 24);

    host.product = "Ableton LIVE 11";
    VstInstance vi(host);
    EXPECT_EQ(host.Count(vst::audioMasterGetProductString), 0);
    vi.Dispatch(vst::effOpen);
    vi.Dispatch(vst::effOpen);
    EXPECT_EQ(vi.Plug().GetHost(), 9);
    EXPECT_EQ(host.Count(vst::audioMasterGetProductString), 1);
}

TEST_F(IPlugVSTTest, ProcessEventsSkipsNullEventsAndOtherTypes)
{
    VstInstance vi(host);
    vi.Start();
    EXPECT_EQ(vi.Dispatch(vst::effProcessEvents, 0, 0, nullptr), 0);

    vst::VstMidiSysexEvent sysex{};
    sysex.type = vst::kVstSysExType;
    sysex.dumpBytes = 1000; // with no bytes behind it
    vst::VstEvent other{};
    other.type = 3;
    std::vector<char> storage(vst::kVstEventsHeaderSize + 3 * sizeof(void*));
    auto* events = reinterpret_cast<vst::VstEvents*>(storage.data());
    events->numEvents = 3;
    vst::VstEvent** list = events->events;
    list[0] = nullptr;
    list[1] = reinterpret_cast<vst::VstEvent*>(&sysex);
    list[2] = &other;
    EXPECT_EQ(vi.Dispatch(vst::effProcessEvents, 0, 0, events), 1);
    events->numEvents = -4;
    EXPECT_EQ(vi.Dispatch(vst::effProcessEvents, 0, 0, events), 1);
}

TEST_F(IPlugVSTTest, MidiThruSendsEachMessageBackUnchanged)
{
    VstInstance vi(host);
    vi.Start();
    vi.SendMidi({{kNoteOn, 60, 100}});
    EXPECT_TRUE(host.midiOut.empty());
    vi.Plug().SetMidiThru(true);
    vi.SendMidi({{kNoteOn, 61, 90}, {0xE3, 1, 2}}, 17);
    ASSERT_EQ(host.midiOut.size(), 2u);
    EXPECT_EQ(host.midiOut[0].type, vst::kVstMidiType);
    EXPECT_EQ(host.midiOut[0].byteSize, 32);
    EXPECT_EQ(host.midiOut[0].deltaFrames, 17);
    EXPECT_EQ(static_cast<uint8_t>(host.midiOut[0].midiData[0]), kNoteOn);
    EXPECT_EQ(host.midiOut[0].midiData[1], 61);
    EXPECT_EQ(host.midiOut[0].midiData[2], 90);
    EXPECT_EQ(static_cast<uint8_t>(host.midiOut[1].midiData[0]), 0xE3);
}

TEST_F(IPlugVSTTest, ProgramChangesSelectProgramsUnlessIgnored)
{
    VstInstance vi(host);
    vi.Start();
    vi.SendMidi({{kProgramChange, 7}});
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 7);
    vi.SendMidi({{kProgramChange, 70}});
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 7);
    vi.Plug().SetIgnoreProgramChange(true);
    vi.SendMidi({{kProgramChange, 3}});
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 7);
    vi.Dispatch(vst::effSetProgram, 0, 64);
    vi.Dispatch(vst::effSetProgram, 0, -1);
    vi.Dispatch(vst::effSetProgram, 0, static_cast<std::intptr_t>(1) << 40);
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 7);
}

TEST_F(IPlugVSTTest, LearnMapsTheNextControllerToTheTouchedParameter)
{
    VstInstance vi(host);
    vi.Start();
    Synth& synth = vi.Plug();
    synth.MapController(5, 40);
    synth.ArmLearn(false);
    vi.effect->setParameter(vi.effect, 40, 0.3f);
    EXPECT_TRUE(synth.LearnArmed());
    vi.SendMidi({{kControlChange, 21, 64}});
    EXPECT_FALSE(synth.LearnArmed());
    EXPECT_EQ(synth.MappedParameter(21), 40);
    EXPECT_EQ(synth.MappedParameter(5), -1);

    synth.ArmLearn(true);
    vi.SendMidi({{kControlChange, 21, 0}});
    EXPECT_FALSE(synth.LearnArmed());
    EXPECT_FALSE(synth.UnlearnMode());
    EXPECT_EQ(synth.MappedParameter(21), -1);

    synth.MapController(9, 12);
    synth.ArmLearn(true);
    vi.effect->setParameter(vi.effect, 12, 0.3f);
    EXPECT_EQ(synth.MappedParameter(9), -1);
    EXPECT_EQ(synth.MappedParameter(120), -1);
    EXPECT_EQ(synth.MappedParameter(-1), -1);

    synth.ArmLearn(false);
    vi.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 44100.0f);
    EXPECT_FALSE(synth.LearnArmed()); // set-up disarms
}

TEST_F(IPlugVSTTest, MappedControllerSetsItsParameterAndTellsTheHost)
{
    VstInstance vi(host);
    vi.Start();
    vi.Plug().MapController(7, kFinal);
    vi.Plug().MapController(8, 5000); // outside the table: ignored
    vi.SendMidi({{kControlChange, 7, 127}, {kControlChange, 8, 127}});
    float left[64], right[64];
    float* outs[] = {left, right};
    vi.effect->processReplacing(vi.effect, nullptr, outs, 64);
    EXPECT_EQ(vi.effect->getParameter(vi.effect, kFinal), 1.0f);
    ASSERT_EQ(host.Count(vst::audioMasterAutomate), 1);
}

// ---- Host calls ------------------------------------------------------------------------------

TEST_F(IPlugVSTTest, HostTimeTakesOnlyValidFields)
{
    VstInstance vi(host);
    HostTimeInfo info;
    EXPECT_FALSE(vi.Plug().GetHostTime(info));
    EXPECT_EQ(host.calls.back().opcode, vst::audioMasterGetTime);

    host.giveTime = true;
    host.time.samplePos = 4800.0;
    host.time.tempo = 98.0;
    host.time.ppqPos = 3.5;
    host.time.barStartPos = -2.0;
    host.time.cycleStartPos = 4.0;
    host.time.cycleEndPos = 8.0;
    host.time.timeSigNumerator = 7;
    host.time.timeSigDenominator = 0;
    host.time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstBarsValid |
                      vst::kVstTimeSigValid | vst::kVstTransportPlaying | vst::kVstTransportCycleActive;
    EXPECT_TRUE(vi.Plug().GetHostTime(info));
    EXPECT_EQ(info.samplePosition, 4800.0);
    EXPECT_EQ(info.tempo, 98.0);
    EXPECT_EQ(info.musicalPosition, 3.5);
    EXPECT_EQ(info.lastBar, -1.0);    // negative: not taken
    EXPECT_EQ(info.cycleStart, -1.0); // cycle flag missing
    EXPECT_EQ(info.numerator, 4);     // denominator 0: not taken
    EXPECT_TRUE(info.playing);
    EXPECT_TRUE(info.cycling);

    HostTimeInfo fresh;
    host.time.tempo = std::numeric_limits<double>::quiet_NaN();
    vi.Plug().GetHostTime(fresh);
    EXPECT_EQ(fresh.tempo, 120.0);
}

TEST_F(IPlugVSTTest, EveryProcessCallHandsTheHostTransportToTheClock)
{
    VstInstance vi(host);
    vi.Start(48000.0f, 64);
    std::vector<float> left(64), right(64);
    float* outputs[] = {left.data(), right.data()};
    vi.effect->processReplacing(vi.effect, nullptr, outputs, 64);
    const HostClock& clock = vi.Plug().GetEngine().GetModulation().Clock();
    EXPECT_EQ(clock.Tempo(), 120.0); // nothing reported: the defaults
    EXPECT_FALSE(clock.Running());

    host.giveTime = true;
    host.time.samplePos = 0.0;
    host.time.tempo = 90.0;
    host.time.ppqPos = 0.0;
    host.time.flags = vst::kVstTempoValid | vst::kVstPpqPosValid | vst::kVstTransportPlaying;
    vi.effect->processReplacing(vi.effect, nullptr, outputs, 64);
    EXPECT_EQ(clock.Tempo(), 90.0);
    EXPECT_TRUE(clock.Running());
}

TEST_F(IPlugVSTTest, NotificationsReachTheHost)
{
    VstInstance vi(host);
    host.calls.clear(); // the bank loaded at creation told the host once
    vi.Plug().SetParamFromEditor(kFinal, 0.5);
    ASSERT_EQ(host.Count(vst::audioMasterAutomate), 1);
    EXPECT_EQ(host.calls.back().index, kFinal);
    EXPECT_FLOAT_EQ(host.calls.back().opt, 0.5f);
    vi.Plug().BeginParamEdit(3);
    vi.Plug().EndParamEdit(3);
    vi.Plug().NotifyHostProgramChange();
    EXPECT_EQ(host.Count(vst::audioMasterBeginEdit), 1);
    EXPECT_EQ(host.Count(vst::audioMasterEndEdit), 1);
    EXPECT_EQ(host.Count(vst::audioMasterUpdateDisplay), 1);
    EXPECT_FALSE(vi.Plug().IsRenderingOffline());
}

// ---- Processing ------------------------------------------------------------------------------

namespace
{
enum class Call
{
    Replacing,
    Accumulating,
    Double
};

// Renders frames of a held A4 in host blocks of block samples through the given callback.
std::vector<float> RenderNote(FakeVstHost& host, Call call, int block, int frames, int announced = 512)
{
    VstInstance vi(host);
    vi.Start(48000.0f, announced);
    vi.SendMidi({{kNoteOn, kA4, 100}});
    std::vector<float> left(static_cast<size_t>(frames), 0.0f);
    std::vector<float> right(left.size(), 0.0f);
    std::vector<double> dl(left.size()), dr(left.size());
    for (int start = 0; start < frames; start += block)
    {
        const int n = std::min(block, frames - start);
        float* outs[] = {left.data() + start, right.data() + start};
        double* douts[] = {dl.data() + start, dr.data() + start};
        switch (call)
        {
        case Call::Replacing:
            vi.effect->processReplacing(vi.effect, nullptr, outs, n);
            break;
        case Call::Accumulating:
            vi.effect->process(vi.effect, nullptr, outs, n);
            break;
        case Call::Double:
            vi.effect->processDoubleReplacing(vi.effect, nullptr, douts, n);
            break;
        }
    }
    if (call == Call::Double)
        std::transform(dl.begin(), dl.end(), left.begin(), [](double d) { return static_cast<float>(d); });
    return left;
}
} // namespace

TEST_F(IPlugVSTTest, TheThreeProcessCallsAndAnyBlockSizeGiveTheSameSound)
{
    constexpr int kFrames = 9000;
    const std::vector<float> reference = RenderNote(host, Call::Replacing, 512, kFrames);
    ASSERT_GT(Peak(reference), 0.01);
    EXPECT_EQ(RenderNote(host, Call::Accumulating, 512, kFrames), reference);
    // The double call is converted by the test without flush-to-zero: equal within float rounding.
    const std::vector<float> doubled = RenderNote(host, Call::Double, 512, kFrames);
    for (size_t i = 0; i < reference.size(); ++i)
        ASSERT_NEAR(doubled[i], reference[i], 1e-30) << "sample " << i;
    for (int block : {1, 64, 4096})
        EXPECT_EQ(RenderNote(host, Call::Replacing, block, kFrames), reference) << "block " << block;
    // More frames than announced are rendered in slices of the announced size.
    EXPECT_EQ(RenderNote(host, Call::Replacing, 4096, kFrames, 100), reference);
}

TEST_F(IPlugVSTTest, AccumulatingProcessAddsToTheHostBuffer)
{
    VstInstance a(host), b(host);
    a.Start();
    b.Start();
    a.SendMidi({{kNoteOn, kA4, 100}});
    b.SendMidi({{kNoteOn, kA4, 100}});
    std::vector<float> replaced(256), rr(256), added(256, 0.25f), ar(256, -0.5f);
    float* outs1[] = {replaced.data(), rr.data()};
    float* outs2[] = {added.data(), ar.data()};
    a.effect->processReplacing(a.effect, nullptr, outs1, 256);
    b.effect->process(b.effect, nullptr, outs2, 256);
    for (size_t i = 0; i < replaced.size(); ++i)
    {
        ASSERT_FLOAT_EQ(added[i], 0.25f + replaced[i]);
        ASSERT_FLOAT_EQ(ar[i], -0.5f + rr[i]);
    }
}

TEST_F(IPlugVSTTest, BadProcessArgumentsNeverWriteOutOfBounds)
{
    VstInstance vi(host);
    vi.Start(48000.0f, 32);
    vi.SendMidi({{kNoteOn, kA4, 100}});
    constexpr float kSentinel = 123.0f;
    std::vector<float> left(1000, kSentinel), right(1000, kSentinel);
    float* outs[] = {left.data(), right.data()};
    vi.effect->processReplacing(vi.effect, nullptr, outs, 0);
    vi.effect->processReplacing(vi.effect, nullptr, outs, -7);
    vi.effect->process(vi.effect, nullptr, outs, 0);
    double dleft[4] = {kSentinel, kSentinel, kSentinel, kSentinel};
    double* douts[] = {dleft, dleft};
    vi.effect->processDoubleReplacing(vi.effect, nullptr, douts, 0);
    EXPECT_EQ(dleft[0], kSentinel);
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](float s) { return s == kSentinel; }));

    // 900 frames against an announced 32: only the first 900 samples change.
    vi.effect->processReplacing(vi.effect, nullptr, outs, 900);
    EXPECT_NE(left[899], kSentinel);
    EXPECT_TRUE(std::all_of(left.begin() + 900, left.end(), [](float s) { return s == kSentinel; }));

    // Null arrays and null channel buffers are skipped.
    vi.effect->processReplacing(vi.effect, nullptr, nullptr, 600);
    float* halfOuts[] = {nullptr, right.data()};
    vi.effect->processReplacing(vi.effect, nullptr, halfOuts, 600);
    double* nullDouble[] = {nullptr, nullptr};
    vi.effect->processDoubleReplacing(vi.effect, nullptr, nullDouble, 600);
    vi.effect->processDoubleReplacing(vi.effect, nullptr, nullptr, 600);
}

TEST_F(IPlugVSTTest, SpeakerArrangementDecidesWhichHostBuffersAreUsed)
{
    VstInstance vi(host);
    vi.Start();
    vst::VstSpeakerArrangement mono{};
    mono.type = vst::kSpeakerArrMono;
    mono.numChannels = 1;
    EXPECT_EQ(vi.Dispatch(vst::effSetSpeakerArrangement, 0, 0, &mono), 1);
    vi.SendMidi({{kNoteOn, kA4, 100}});
    std::vector<float> only(512, 0.0f);
    float* outs[] = {only.data()}; // a host that knows of one output passes one buffer
    vi.effect->processReplacing(vi.effect, nullptr, outs, 512);
    EXPECT_GT(Peak(only), 0.0);
    mono.numChannels = -3;
    EXPECT_EQ(vi.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&mono), &mono),
              1);
    vi.effect->processReplacing(vi.effect, nullptr, nullptr, 512);
}

TEST_F(IPlugVSTTest, ExtremeSampleRatesAndBlockSizesNeverCrash)
{
    VstInstance vi(host);
    vi.Dispatch(vst::effOpen);
    std::vector<float> left(3000), right(3000);
    float* outs[] = {left.data(), right.data()};
    for (float rate :
         {1.0f, 999.0f, 1000.0f, 22050.0f, 768000.0f, 0.0f, -44100.0f,
          std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), 2.0e6f})
    {
        for (std::intptr_t block : {std::intptr_t{1}, std::intptr_t{0}, std::intptr_t{-5},
                                    std::intptr_t{4096}, static_cast<std::intptr_t>(1) << 40})
        {
            vi.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
            vi.Dispatch(vst::effSetBlockSize, 0, block);
            vi.Dispatch(vst::effMainsChanged, 0, 1);
            vi.SendMidi({{kNoteOn, kA4, 100}});
            vi.effect->processReplacing(vi.effect, nullptr, outs, 3000);
            ASSERT_TRUE(std::all_of(left.begin(), left.end(), [](float s) { return std::isfinite(s); }))
                << "rate " << rate << " block " << block;
        }
    }
    vi.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, 1.0f);
    vi.Dispatch(vst::effMainsChanged, 0, 1);
    vi.SendMidi({{kNoteOn, kA4, 100}});
    vi.effect->processReplacing(vi.effect, nullptr, outs, 3000);
    EXPECT_EQ(Peak(left), 0.0); // no control tick below 1 kHz: silence
}

#if defined(__SSE2__)
TEST_F(IPlugVSTTest, FlushToZeroOnlyDuringProcessCalls)
{
    VstInstance vi(host);
    vi.Start();
    const unsigned before = _mm_getcsr();
    float left[64], right[64];
    float* outs[] = {left, right};
    vi.effect->processReplacing(vi.effect, nullptr, outs, 64);
    EXPECT_EQ(host.csrDuringProcess & (_MM_FLUSH_ZERO_ON | _MM_DENORMALS_ZERO_ON),
              static_cast<unsigned>(_MM_FLUSH_ZERO_ON | _MM_DENORMALS_ZERO_ON));
    EXPECT_EQ(_mm_getcsr(), before);
}
#endif

TEST_F(IPlugVSTTest, ResumingReappliesEveryParameter)
{
    // Switching a frequency source or host division off re-applies the kept frequency, so an
    // index may be applied more than once; what matters is that every index is applied.
    struct Counting : ZR4400
    {
        using ZR4400::ZR4400;
        void ParamChanged(int index) override
        {
            ZR4400::ParamChanged(index);
            ++changes[static_cast<size_t>(index)];
        }
        bool EveryIndexAtLeast(int n) const
        {
            return std::all_of(changes.begin(), changes.end(), [n](int c) { return c >= n; });
        }
        int Total() const { return std::accumulate(changes.begin(), changes.end(), 0); }
        std::array<int, Param::kNumParams> changes{};
    };
    auto* plug = new Counting(&FakeVstHost::Callback);
    vst::AEffect* e = plug->GetAEffect();
    e->dispatcher(e, vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_TRUE(plug->EveryIndexAtLeast(1));
    const int afterResume = plug->Total();
    e->dispatcher(e, vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(plug->Total(), afterResume);
    e->dispatcher(e, vst::effOpen, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(plug->EveryIndexAtLeast(2));
    EXPECT_EQ(plug->Total(), 2 * afterResume);
    e->dispatcher(e, vst::effClose, 0, 0, nullptr, 0.0f);
}

TEST_F(IPlugVSTTest, AutomationAudioAndChunkThreadsInterleaveSafely)
{
    VstInstance vi(host);
    vi.Start(48000.0f, 128);
    const std::vector<uint8_t> program = vi.GetChunk(1);
    vst::AEffect* e = vi.effect;
    std::atomic<bool> stop{false};
    std::thread audio(
        [&]
        {
            std::vector<float> left(128), right(128);
            float* outs[] = {left.data(), right.data()};
            while (!stop)
            {
                e->processReplacing(e, nullptr, outs, 128);
                for (float s : left)
                    ASSERT_TRUE(std::isfinite(s));
            }
        });
    std::thread automation(
        [&]
        {
            char text[64];
            for (int n = 0; n < 2000; ++n)
            {
                const int index = n % Param::kNumParams;
                e->setParameter(e, index, static_cast<float>(n % 17) / 16.0f);
                const float x = e->getParameter(e, index);
                ASSERT_TRUE(x >= 0.0f && x <= 1.0f);
                e->dispatcher(e, vst::effGetParamDisplay, index, 0, text, 0.0f);
            }
        });
    for (int n = 0; n < 100; ++n)
    {
        vi.SetChunk(1, program);
        vi.Dispatch(vst::effSetProgram, 0, n % 64);
    }
    automation.join();
    stop = true;
    audio.join();
}
