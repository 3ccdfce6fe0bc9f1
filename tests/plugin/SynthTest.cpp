// The synth base wired into the instrument: configuration at creation, startup and factory bank,
// the controller map and MIDI learn through queued controller messages, the program operations of
// the editor's menus and SetActive.
#include "FakeVstHost.h"
#include "FileTestSupport.h"
#include "instrument/ParameterTable.h"
#include "platform/IniDocument.h"
#include "plugin/ILearnSwitch.h"
#include "plugin/ProgramFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace zr;
namespace vst = zr::vst;
using zr::platform::test::ReadText;
using zr::platform::test::WriteText;

namespace
{

constexpr int kFinal = Param::kFinal;
constexpr int kKnob = 40;
constexpr int kController = 21;
constexpr int kInit = 63;
constexpr uint8_t kNoteOn = 0x90;
constexpr uint8_t kControlChange = 0xB0;
constexpr std::string_view kFirstFactoryName = "PAD: Waves of Sin";

struct CountingLearnSwitch : ILearnSwitch
{
    void SwitchOff() override { ++offs; }
    int offs = 0;
};

std::vector<double> Values(ZR4400& plug)
{
    std::vector<double> values;
    for (int i = 0; i < plug.NParams(); ++i)
        values.push_back(plug.GetParam(i)->Value());
    return values;
}

class SynthTest : public ::testing::Test
{
protected:
    std::string IniPath() const { return home.File(".config/ZarnowAudio/zr4400.ini"); }
    void WriteIni(const std::string& text)
    {
        std::filesystem::create_directories(home.File(".config/ZarnowAudio"));
        WriteText(IniPath(), text);
    }
    std::optional<std::string> Ini(std::string_view section, std::string_view key) const
    {
        return platform::IniDocument::Parse(ReadText(IniPath())).Get(section, key);
    }
    // Peak of the left channel over frames samples.
    static double RenderPeak(VstInstance& vi, int frames)
    {
        std::vector<float> left(static_cast<size_t>(frames)), right(left.size());
        float* outs[] = {left.data(), right.data()};
        vi.effect->processReplacing(vi.effect, nullptr, outs, frames);
        double peak = 0.0;
        for (float s : left)
            peak = std::max(peak, std::fabs(static_cast<double>(s)));
        return peak;
    }

    FileTestHome home;
    FakeVstHost host;
};

} // namespace

// ---- Creation: configuration, startup bank, factory bank -------------------------------------

TEST_F(SynthTest, FreshInstanceCreatesItsIniFileAndStartsWithTheFactoryBank)
{
    VstInstance vi(host);
    EXPECT_TRUE(std::filesystem::is_regular_file(IniPath()));
    EXPECT_EQ(vi.Plug().GetConfiguration().IniPath(), IniPath());
    EXPECT_EQ(vi.Plug().GetPresetName(0), kFirstFactoryName);
    EXPECT_EQ(vi.Plug().GetPresetName(kInit), "Init");
    EXPECT_EQ(vi.Plug().GetCurrentPresetIdx(), 0);
    EXPECT_EQ(vi.Plug().GetParam(kFinal)->Value(), 0.48); // program 0 is applied, not the defaults
    EXPECT_TRUE(vi.Plug().HeadlessMessages().messages.empty());
}

TEST_F(SynthTest, MissingStartupBankFallsBackSilentlyAndTheNextWriteForgetsIt)
{
    WriteIni("[Startup Bank]\nFile=" + home.File("gone.fxb") + "\n[MIDI Global]\nMIDI Thru=false\n");
    VstInstance vi(host);
    EXPECT_EQ(vi.Plug().GetPresetName(0), kFirstFactoryName);
    EXPECT_EQ(vi.Plug().GetConfiguration().StartupBankPath(), "");
    EXPECT_EQ(Ini("Startup Bank", "File"), home.File("gone.fxb")); // the file keeps it until written
    EXPECT_TRUE(vi.Plug().HeadlessMessages().messages.empty());

    vi.Plug().GetConfiguration().ToggleMidiThru();
    EXPECT_EQ(Ini("Startup Bank", "File"), "");
    EXPECT_EQ(Ini("MIDI Global", "MIDI Thru"), "true");
}

TEST_F(SynthTest, CorruptedStartupBankFallsBackToTheFactoryBankWithoutAMessage)
{
    WriteBytes(home.File("broken.fxb"), Bytes(400, 0x42));
    WriteIni("[Startup Bank]\nFile=" + home.File("broken.fxb") + "\n");
    VstInstance vi(host);
    EXPECT_EQ(vi.Plug().GetPresetName(0), kFirstFactoryName);
    EXPECT_TRUE(vi.Plug().HeadlessMessages().messages.empty());
}

TEST_F(SynthTest, StartupBankReplacesTheFactoryBankAtCreation)
{
    const std::string path = home.File("mine.fxb");
    {
        VstInstance first(host);
        first.Plug().SelectProgramFromEditor(5);
        first.Plug().GetParam(kFinal)->Set(0.7);
        first.Plug().ModifyCurrentPreset("Mine");
        first.Plug().SelectProgramFromEditor(0);
        first.Plug().GetParam(kFinal)->Set(0.6);
        first.Plug().ModifyCurrentPreset("Mine too");
        ASSERT_TRUE(ProgramFiles::SaveBank(first.Plug(), path));
        first.Plug().SetStartupBank(path);
    }
    VstInstance second(host);
    EXPECT_EQ(second.Plug().GetConfiguration().StartupBankPath(), path);
    EXPECT_EQ(second.Plug().GetPresetName(5), "Mine");
    EXPECT_EQ(second.Plug().GetPresetName(0), "Mine too");
    EXPECT_EQ(second.Plug().GetCurrentPresetIdx(), 0);
    EXPECT_EQ(second.Plug().GetParam(kFinal)->Value(), 0.6);

    second.Plug().ClearStartupBank();
    EXPECT_EQ(Ini("Startup Bank", "File"), std::nullopt);
    VstInstance third(host);
    EXPECT_EQ(third.Plug().GetPresetName(5), VstInstance(host).Plug().GetPresetName(5));
    EXPECT_NE(third.Plug().GetPresetName(5), "Mine");
}

// ---- Configuration in use --------------------------------------------------------------------

TEST_F(SynthTest, IniSettingsDriveMidiThruProgramChangesAndTheControllerMap)
{
    WriteIni("[MIDI Global]\nMIDI Thru=TRUE\nIgnore Program Change=true\n[MIDI Control]\nCC7=" +
             std::to_string(kFinal) + "\nCC8=abc\n");
    VstInstance vi(host);
    vi.Start();
    EXPECT_TRUE(vi.Plug().MidiThru());
    EXPECT_EQ(vi.Plug().MappedParameter(7), kFinal);
    EXPECT_EQ(vi.Plug().MappedParameter(8), Synth::kNone);

    vi.SendMidi({{0xC0, 9}, {kControlChange, 7, 127}});
    EXPECT_EQ(host.midiOut.size(), 2u); // both sent through
    RenderPeak(vi, 64);
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 0); // program change ignored
    EXPECT_EQ(vi.effect->getParameter(vi.effect, kFinal), 1.0f);

    vi.Plug().SetIgnoreProgramChange(false);
    vi.SendMidi({{0xC0, 70}});
    RenderPeak(vi, 64);
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 0);
    vi.SendMidi({{0xC0, 9}});
    RenderPeak(vi, 64);
    EXPECT_EQ(vi.Dispatch(vst::effGetProgram), 9);
}

TEST_F(SynthTest, SaveConfigurationWritesLearnedAssignmentsAndReloadReadsThem)
{
    VstInstance vi(host);
    vi.Plug().MapController(30, 100);
    EXPECT_TRUE(vi.Plug().SaveConfiguration(Configuration::Save::All));
    EXPECT_EQ(Ini("MIDI Control", "CC30"), "100");
    WriteIni("[MIDI Control]\nCC31=5\n");
    vi.Plug().ReadConfiguration(false);
    EXPECT_EQ(vi.Plug().MappedParameter(31), 5);

    RecordingMessageBox editorBox;
    vi.Plug().SetMessageBox(&editorBox);
    editorBox.Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(vi.Plug().GetConfiguration().SaveConfigurationFromMenu());
    ASSERT_EQ(editorBox.messages.size(), 1u);
    EXPECT_EQ(editorBox.messages[0].title, "Save Configuration");
    vi.Plug().SetMessageBox(nullptr);
    EXPECT_TRUE(vi.Plug().GetConfiguration().SaveConfigurationFromMenu()); // the recorder says Yes
    EXPECT_EQ(vi.Plug().HeadlessMessages().messages.size(), 1u);
}

// ---- MIDI learn ------------------------------------------------------------------------------

TEST_F(SynthTest, LearnArmKnobControllerAssignsAndTurnsTheSwitchOff)
{
    VstInstance vi(host);
    vi.Start();
    CountingLearnSwitch learnSwitch;
    Synth& synth = vi.Plug();
    synth.SetLearnSwitch(&learnSwitch);
    synth.MapController(5, kKnob);

    synth.ArmLearn(false);
    synth.SetParamFromEditor(kKnob, 0.4);
    EXPECT_TRUE(synth.LearnArmed());
    EXPECT_EQ(learnSwitch.offs, 0);
    vi.SendMidi({{kControlChange, kController, 64}});
    EXPECT_FALSE(synth.LearnArmed());
    EXPECT_EQ(synth.MappedParameter(kController), kKnob);
    EXPECT_EQ(synth.MappedParameter(5), Synth::kNone);
    EXPECT_EQ(learnSwitch.offs, 1);

    // The learned controller now moves the knob through the queue.
    vi.SendMidi({{kControlChange, kController, 127}});
    RenderPeak(vi, 64);
    EXPECT_EQ(vi.effect->getParameter(vi.effect, kKnob), 1.0f);

    synth.ArmLearn(true);
    vi.SendMidi({{kControlChange, kController, 0}});
    EXPECT_EQ(synth.MappedParameter(kController), Synth::kNone);
    EXPECT_FALSE(synth.LearnArmed());
    EXPECT_EQ(learnSwitch.offs, 2);

    synth.MapController(9, 12);
    synth.MapController(10, 12);
    synth.ArmLearn(true);
    synth.SetParamFromEditor(12, 0.2);
    EXPECT_EQ(synth.MappedParameter(9), Synth::kNone);
    EXPECT_EQ(synth.MappedParameter(10), Synth::kNone);
    EXPECT_EQ(learnSwitch.offs, 3);
    synth.SetLearnSwitch(nullptr);
}

// ---- Program operations ----------------------------------------------------------------------

TEST_F(SynthTest, PasteCarriesTheValuesOfCopyingAndTheNameOfPasting)
{
    VstInstance vi(host);
    ZR4400& plug = vi.Plug();
    RecordingMessageBox& box = plug.HeadlessMessages();

    const std::vector<double> before = Values(plug);
    box.Answer(MessageBoxAnswer::Yes);
    EXPECT_FALSE(plug.PasteProgramFromMenu()); // empty clipboard: nothing changes
    EXPECT_EQ(Values(plug), before);
    EXPECT_EQ(plug.GetPresetName(0), kFirstFactoryName);
    ASSERT_EQ(box.messages.size(), 1u);
    EXPECT_EQ(box.messages[0].text, "Do you really want to overwrite the current program?");
    EXPECT_EQ(box.messages[0].title, "Paste Program");

    plug.SelectProgramFromEditor(2);
    plug.SetParamFromEditor(kFinal, 0.9);
    plug.CopyProgram();
    const std::vector<double> copied = Values(plug);
    EXPECT_EQ(plug.CopiedProgramIndex(), 2);
    plug.SetParamFromEditor(kFinal, 0.1); // after copying: not in the clipboard
    plug.ModifyCurrentPreset("Renamed");

    plug.SelectProgramFromEditor(7);
    box.Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(plug.PasteProgramFromMenu());
    EXPECT_NE(Values(plug), copied);
    EXPECT_TRUE(plug.PasteProgramFromMenu());
    EXPECT_EQ(Values(plug), copied);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 7);
    EXPECT_EQ(plug.GetPresetName(7), "Renamed");
    plug.SelectProgramFromEditor(0);
    plug.SelectProgramFromEditor(7);
    EXPECT_EQ(Values(plug), copied); // stored in the slot
}

TEST_F(SynthTest, InitProgramGivesEveryDefaultAndTheNameInit)
{
    VstInstance vi(host);
    ZR4400& plug = vi.Plug();
    plug.SelectProgramFromEditor(4);
    host.calls.clear();
    plug.HeadlessMessages().Answer(MessageBoxAnswer::No);
    EXPECT_FALSE(plug.InitProgramFromMenu());
    EXPECT_EQ(plug.GetPresetName(4), VstInstance(host).Plug().GetPresetName(4));
    plug.HeadlessMessages().Answer(MessageBoxAnswer::Cancel); // anything but No goes on
    EXPECT_TRUE(plug.InitProgramFromMenu());
    const auto& messages = plug.HeadlessMessages().messages;
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].text, "Do you really want to initialize the current program?");
    EXPECT_EQ(messages[1].title, "Initialize Program");
    for (int i = 0; i < plug.NParams(); ++i)
        EXPECT_EQ(plug.GetParam(i)->Value(), plug.GetParam(i)->Default()) << i;
    EXPECT_EQ(plug.GetPresetName(4), "Init");
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 4);
    EXPECT_GE(host.Count(vst::audioMasterAutomate), 2 * plug.NParams()); // each change, then all again
}

TEST_F(SynthTest, SelectingFromTheEditorStoresTheCurrentProgramAndWraps)
{
    VstInstance vi(host);
    ZR4400& plug = vi.Plug();
    plug.SetParamFromEditor(kFinal, 0.05);
    plug.SelectPreviousProgram();
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 63);
    plug.SelectNextProgram();
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    EXPECT_NEAR(plug.GetParam(kFinal)->GetNormalized(), 0.05, 1e-12); // stored before leaving
    plug.SelectProgramFromEditor(62);
    plug.SelectNextProgram();
    plug.SelectNextProgram();
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    host.calls.clear();
    plug.SelectProgramFromEditor(64); // out of range: the current program stays
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 0);
    EXPECT_EQ(host.Count(vst::audioMasterUpdateDisplay), 1);
    EXPECT_EQ(host.Count(vst::audioMasterAutomate), plug.NParams());
}

// ---- SetActive -------------------------------------------------------------------------------

TEST_F(SynthTest, SwitchingOnReappliesEveryParameterToTheEngine)
{
    VstInstance vi(host);
    vi.Dispatch(vst::effSetProgram, 0, kInit);
    vi.Start();
    vi.SendMidi({{kNoteOn, 69, 100}});
    RenderPeak(vi, 4800);
    EXPECT_GT(RenderPeak(vi, 4800), 0.01);
    vi.Plug().GetParam(kFinal)->Set(0.0); // a value the engine has not heard of
    EXPECT_GT(RenderPeak(vi, 4800), 0.01);
    vi.Dispatch(vst::effMainsChanged, 0, 1);
    EXPECT_EQ(RenderPeak(vi, 4800), 0.0);
}
