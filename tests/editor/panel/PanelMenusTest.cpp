// The panel's menus and the options menu's commands, driven through the headless platform's script,
// each test in a private home with its own INI file, program folder and documents folder.
#include "HeadlessInstance.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "editor/panel/IZRMicroTuningMenu.h"
#include "editor/panel/IZROptionMenu.h"
#include "editor/panel/IZRPresetMenu.h"
#include "editor/panel/IZRUtilMenu.h"
#include "editor/panel/OptionCommands.h"
#include "editor/panel/PanelLayout.h"
#include "instrument/ParameterTable.h"
#include "instrument/ScalaFile.h"
#include "instrument/Tunings.h"
#include "platform/Folders.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/ProgramFiles.h"
#include "plugin/ProgramFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

using namespace zr;
using zr::platform::test::ReadText;
using zr::platform::test::WriteText;

namespace
{
constexpr IMouseState kLeft{true, false, false, false, false};
constexpr IMouseState kRight{false, true, false, false, false};
constexpr int kYes = IEditorPlatform::kAnswerYes;
constexpr int kNo = IEditorPlatform::kAnswerNo;

// Expected texts and flags of one menu level.
struct Entry
{
    std::string text;
    int flags;
    bool subList = false;
};

std::vector<Entry> EntriesOf(const IPopupList& list)
{
    std::vector<Entry> entries;
    for (int i = 0; i < list.NItems(); ++i)
        entries.push_back({list.Item(i)->text, list.Item(i)->flags, list.Item(i)->subList != nullptr});
    return entries;
}

bool operator==(const Entry& a, const Entry& b)
{
    return a.text == b.text && a.flags == b.flags && a.subList == b.subList;
}

void PrintTo(const Entry& e, std::ostream* os)
{
    *os << '"' << e.text << "\" flags " << e.flags << (e.subList ? " (sub-list)" : "");
}

struct PanelMenus : ::testing::Test, HeadlessInstance
{
    Configuration& configuration = plug.GetConfiguration();

    template <typename Control> Control& Find(int pseudoIndex)
    {
        for (int i = 0; i < graphics.NControls(); ++i)
        {
            if (auto* c = dynamic_cast<Control*>(graphics.GetControl(i)); c && c->ParamIndex() == pseudoIndex)
                return *c;
        }
        throw std::runtime_error("no such menu");
    }

    void ClickIn(const IRectangle& r, const IMouseState& mouse = kLeft)
    {
        const int x = (r.L + r.R) / 2;
        const int y = (r.T + r.B) / 2;
        graphics.OnMouseDown(x, y, mouse);
        graphics.OnMouseUp(x, y, mouse);
    }

    // Opens the options menu and chooses the item at path.
    void Options(std::vector<int> path)
    {
        platform.QueuePopupChoice(std::move(path));
        ClickIn(Find<IZROptionMenu>(panel::PseudoIndex::kOptionMenu).Rect());
    }

    std::vector<Entry> OptionEntries(int subItem = -1)
    {
        IPopupList menu;
        Find<IZROptionMenu>(panel::PseudoIndex::kOptionMenu).BuildMenu(menu);
        return EntriesOf(subItem < 0 ? menu : *menu.Item(subItem)->subList);
    }

    const HeadlessPlatform::ShownMessage& LastMessage()
    {
        if (platform.Messages().empty()) throw std::runtime_error("no message");
        return platform.Messages().back();
    }

    double Value(int index) { return plug.GetParam(index)->Value(); }

    void SetValue(int index, double value)
    {
        plug.SetParamFromEditor(index, plug.GetParam(index)->GetNormalized(value));
    }

    std::vector<double> AllValues()
    {
        std::vector<double> values;
        for (int i = 0; i < plug.NParams(); ++i)
            values.push_back(Value(i));
        return values;
    }

    std::vector<std::string> AllNames()
    {
        std::vector<std::string> names;
        for (int i = 0; i < plug.NPresets(); ++i)
            names.emplace_back(plug.GetPresetName(i));
        return names;
    }

    std::string Ini() { return ReadText(configuration.IniPath()); }

    // Draws the whole panel, after which no control is dirty.
    void DrawAllClean()
    {
        graphics.MarkAllControlsDirty();
        IRectangle area;
        if (graphics.CollectDirty(area)) graphics.DrawDirty(area);
        graphics.CollectDirty(area);
        ASSERT_FALSE(graphics.GetControl(0)->IsDirty());
    }
};

const IRectangle kNameRect{105, 584, 297, 604};
const IRectangle kNumberRect{54, 584, 78, 604};

} // namespace

// ---- Options menu -------------------------------------------------------------------------------

TEST_F(PanelMenus, OptionsMenuListsEveryItemWithItsFlagsInOrder)
{
    constexpr int D = IPopupItem::kDisabled;
    constexpr int S = IPopupItem::kSeparator;
    const std::vector<Entry> expected = {{"Copy Program", 0},
                                         {"Paste Program", D},
                                         {"Init Program", 0},
                                         {"", S},
                                         {"Load Program", 0},
                                         {"Save Program", 0},
                                         {"Load Bank", 0},
                                         {"Save Bank", 0},
                                         {"", S},
                                         {"Select Startup Bank", 0},
                                         {"Load Startup Bank", D},
                                         {"Unselect Startup Bank", D},
                                         {"", S},
                                         {"Default Path for Program Files", 0},
                                         {"Global MIDI Settings...", 0, true},
                                         {"Reload Configuration", 0},
                                         {"Save Configuration", 0},
                                         {"", S},
                                         {"Go Online...", 0, true}};
    EXPECT_EQ(OptionEntries(), expected);
    EXPECT_EQ(OptionEntries(IZROptionMenu::kMidiSettingsItem),
              (std::vector<Entry>{{"MIDI Thru", 0}, {"Ignore Program Change", 0}}));
    // Without a web address in the build the site item cannot be chosen.
    EXPECT_EQ(OptionEntries(IZROptionMenu::kGoOnlineItem),
              (std::vector<Entry>{{"Check Online for Update", 0},
                                  {std::string(IZROptionMenu::kVisitWebSiteText), D}}));

    // The menu opens at the mouse pointer and shows the same texts.
    Options({});
    ASSERT_EQ(platform.Popups().size(), 1u);
    EXPECT_EQ(platform.Popups()[0].area, (IRectangle{328, 591, 328, 591}));
    ASSERT_EQ(platform.Popups()[0].texts.size(), expected.size());
    EXPECT_EQ(platform.Popups()[0].texts[13], "Default Path for Program Files");

    // A copied program enables "Paste", a startup bank the two startup commands, the switches
    // their check marks.
    plug.CopyProgram();
    configuration.SetStartupBank(home.File("start.fxb"));
    plug.SetMidiThru(true);
    plug.SetIgnoreProgramChange(true);
    const std::vector<Entry> now = OptionEntries();
    EXPECT_EQ(now[1].flags, 0);
    EXPECT_EQ(now[10].flags, 0);
    EXPECT_EQ(now[11].flags, 0);
    EXPECT_EQ(OptionEntries(IZROptionMenu::kMidiSettingsItem),
              (std::vector<Entry>{{"MIDI Thru", IPopupItem::kChecked},
                                  {"Ignore Program Change", IPopupItem::kChecked}}));
}

TEST_F(PanelMenus, CommandsAreNumberedByPositionAndSubmenuBase)
{
    IPopupList menu;
    Find<IZROptionMenu>(panel::PseudoIndex::kOptionMenu).BuildMenu(menu);
    menu.SetChosenIndex(7);
    EXPECT_EQ(IZROptionMenu::CommandOf(menu, menu), 7);
    IPopupList& midi = *menu.Item(IZROptionMenu::kMidiSettingsItem)->subList;
    midi.SetChosenIndex(1);
    EXPECT_EQ(IZROptionMenu::CommandOf(menu, midi), OptionCommands::kIgnoreProgramChange);
    IPopupList& online = *menu.Item(IZROptionMenu::kGoOnlineItem)->subList;
    online.SetChosenIndex(0);
    EXPECT_EQ(IZROptionMenu::CommandOf(menu, online), OptionCommands::kCheckForUpdate);
    IPopupList stranger;
    stranger.SetChosenIndex(0);
    EXPECT_EQ(IZROptionMenu::CommandOf(menu, stranger), -1);
}

TEST_F(PanelMenus, AChoiceRedrawsThePanelAndAClosedMenuDoesNot)
{
    DrawAllClean();
    Options({});
    EXPECT_FALSE(graphics.GetControl(0)->IsDirty());
    Options({0});
    EXPECT_TRUE(graphics.GetControl(0)->IsDirty());
    EXPECT_TRUE(graphics.GetControl(graphics.NControls() - 1)->IsDirty());
}

TEST_F(PanelMenus, PasteAndInitAskFirstAndStopOnNo)
{
    const int cutoff = Param::BlockParamIndex(0, Param::kCutoff);
    plug.SelectProgramFromEditor(3);
    const double copied = plug.GetParam(cutoff)->Max();
    SetValue(cutoff, copied);
    Options({OptionCommands::kCopyProgram});
    EXPECT_EQ(plug.CopiedProgramIndex(), 3);
    plug.SelectProgramFromEditor(5);
    const double before = Value(cutoff);
    ASSERT_NE(before, copied);

    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kPasteProgram});
    EXPECT_EQ(LastMessage().text, "Do you really want to overwrite the current program?");
    EXPECT_EQ(LastMessage().caption, "Paste Program");
    EXPECT_EQ(LastMessage().type, IEditorPlatform::kBoxYesNo);
    EXPECT_EQ(Value(cutoff), before);

    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kPasteProgram});
    EXPECT_EQ(Value(cutoff), copied);
    EXPECT_EQ(plug.GetPresetName(5), plug.GetPresetName(3));

    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kInitProgram});
    EXPECT_EQ(LastMessage().text, "Do you really want to initialize the current program?");
    EXPECT_EQ(LastMessage().caption, "Initialize Program");
    EXPECT_EQ(Value(cutoff), copied);
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kInitProgram});
    EXPECT_EQ(Value(cutoff), plug.GetParam(cutoff)->Default());
    EXPECT_EQ(plug.GetPresetName(5), "Init");
    // The editor's messages go back to the recorder after the command.
    EXPECT_TRUE(plug.HeadlessMessages().messages.empty());
}

TEST_F(PanelMenus, ProgramsAndBanksAreSavedThroughTheDialogsAndLoadBack)
{
    const int cutoff = Param::BlockParamIndex(1, Param::kCutoff);
    plug.SelectProgramFromEditor(2);
    plug.Panel().ProgramDisplay()->TakeEnteredText("a/b:c <d> \"e\" \\f|g?h*i");
    const double saved = plug.GetParam(cutoff)->Max();
    SetValue(cutoff, saved);
    const std::string programFile = home.File("saved.fxp");
    platform.QueueFile(programFile);
    Options({OptionCommands::kSaveProgram});
    ASSERT_EQ(platform.AskedFiles().size(), 1u);
    const HeadlessPlatform::AskedFile& asked = platform.AskedFiles()[0];
    EXPECT_EQ(asked.action, IEditorPlatform::kFileSave);
    EXPECT_EQ(asked.initialFile, "a_b_c _d_ _e_ _f_g_h_i");
    EXPECT_EQ(asked.extensions, "fxp");
    // At first the dialogs open in the program files path, the documents folder by default.
    EXPECT_EQ(asked.directory, platform::DocumentsFolder());
    ASSERT_TRUE(std::filesystem::exists(programFile));
    EXPECT_EQ(ProgramFolder::Get(), home.Path());

    const std::string bankFile = home.File("saved.fxb");
    platform.QueueFile(bankFile);
    Options({OptionCommands::kSaveBank});
    EXPECT_EQ(platform.AskedFiles()[1].initialFile, "ZR-4400");
    EXPECT_EQ(platform.AskedFiles()[1].extensions, "fxb");
    EXPECT_EQ(platform.AskedFiles()[1].directory, home.Path());
    ASSERT_TRUE(std::filesystem::exists(bankFile));
    const std::vector<std::string> names = AllNames();

    // Changed afterwards, then loaded back.
    plug.SelectProgramFromEditor(7);
    SetValue(cutoff, plug.GetParam(cutoff)->Min());
    platform.QueueFile(programFile);
    Options({OptionCommands::kLoadProgram});
    EXPECT_EQ(platform.AskedFiles()[2].action, IEditorPlatform::kFileOpen);
    EXPECT_EQ(platform.AskedFiles()[2].initialFile, "");
    EXPECT_EQ(Value(cutoff), saved);

    plug.Panel().ProgramDisplay()->TakeEnteredText("changed");
    platform.QueueFile(bankFile);
    Options({OptionCommands::kLoadBank});
    EXPECT_EQ(AllNames(), names);
    EXPECT_TRUE(platform.Messages().empty());

    // A cancelled dialog does nothing, not even to the remembered folder.
    ProgramFolder::Set("/elsewhere");
    platform.QueueFile("");
    Options({OptionCommands::kLoadBank});
    EXPECT_EQ(ProgramFolder::Get(), "/elsewhere");
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(PanelMenus, FilesThatFailLeaveTheProgramsAsTheyWere)
{
    const std::string broken = home.File("broken.fxb");
    WriteText(broken, "CcnK but nothing like a bank");
    const std::vector<double> values = AllValues();
    const std::vector<std::string> names = AllNames();
    platform.QueueFile(broken);
    Options({OptionCommands::kLoadBank});
    EXPECT_EQ(LastMessage().text, "Cannot load file!");
    EXPECT_EQ(LastMessage().caption, "Error");
    EXPECT_EQ(LastMessage().type, IEditorPlatform::kBoxOk);
    platform.QueueFile(broken);
    Options({OptionCommands::kLoadProgram});
    EXPECT_EQ(platform.Messages().size(), 2u);
    EXPECT_EQ(AllValues(), values);
    EXPECT_EQ(AllNames(), names);

    platform.QueueFile(home.File("no/such/folder/x.fxp"));
    Options({OptionCommands::kSaveProgram});
    EXPECT_EQ(LastMessage().text, "Cannot save file!");
    EXPECT_EQ(LastMessage().caption, "Error");
}

TEST_F(PanelMenus, StartupBankIsSelectedReloadedAndUnselected)
{
    const std::string bank = home.File("startup.fxb");
    ASSERT_TRUE(ProgramFiles::SaveBank(plug, bank));
    const std::vector<std::string> names = AllNames();
    ProgramFolder::Set("/kept");
    platform.QueueFile(bank);
    Options({OptionCommands::kSelectStartupBank});
    EXPECT_EQ(platform.AskedFiles().back().extensions, "fxb");
    EXPECT_EQ(configuration.StartupBankPath(), bank);
    EXPECT_NE(Ini().find("File=" + bank), std::string::npos);
    EXPECT_EQ(ProgramFolder::Get(), "/kept");
    EXPECT_TRUE(platform.Messages().empty());

    plug.Panel().ProgramDisplay()->TakeEnteredText("renamed");
    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kLoadStartupBank});
    EXPECT_EQ(LastMessage().text,
              "The Startup Bank is:\n" + bank + "\n\nDo you really want to reload all programs?");
    EXPECT_EQ(LastMessage().caption, "Load Startup Bank");
    EXPECT_EQ(plug.GetPresetName(plug.GetCurrentPresetIdx()), "renamed");
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kLoadStartupBank});
    EXPECT_EQ(AllNames(), names);

    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kUnselectStartupBank});
    EXPECT_EQ(LastMessage().text, "The Startup Bank is:\n" + bank + "\n\nDo you really want to unselect it?");
    EXPECT_EQ(LastMessage().caption, "Unselect Startup Bank");
    EXPECT_EQ(configuration.StartupBankPath(), bank);
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kUnselectStartupBank});
    EXPECT_EQ(configuration.StartupBankPath(), "");
    EXPECT_EQ(Ini().find("File=" + bank), std::string::npos);
    // Now greyed: nothing can be chosen.
    const size_t shown = platform.Messages().size();
    Options({OptionCommands::kUnselectStartupBank});
    EXPECT_EQ(platform.Messages().size(), shown);
}

TEST_F(PanelMenus, DefaultPathBecomesTheProgramFilesPathAndTheDialogsFolder)
{
    const std::string folder = home.File("programs");
    std::filesystem::create_directories(folder);
    platform.QueueFile(folder + "/whatever");
    Options({OptionCommands::kDefaultProgramPath});
    const HeadlessPlatform::AskedFile& asked = platform.AskedFiles().back();
    EXPECT_EQ(asked.action, IEditorPlatform::kFileSave);
    EXPECT_EQ(asked.initialFile, "[file name is ignored]");
    EXPECT_EQ(asked.extensions, " ");
    EXPECT_EQ(configuration.ProgramFilesPath(), folder);
    EXPECT_EQ(ProgramFolder::Get(), folder);
    EXPECT_NE(Ini().find("Path to Program Files=" + folder), std::string::npos);
    platform.QueueFile("");
    Options({OptionCommands::kDefaultProgramPath});
    EXPECT_EQ(configuration.ProgramFilesPath(), folder);
}

TEST_F(PanelMenus, ConfigurationIsReloadedAndSavedOnlyOnYes)
{
    const std::string ini = configuration.IniPath();
    WriteText(ini, "[MIDI Global]\nMIDI Thru=true\n");
    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kReloadConfiguration});
    EXPECT_EQ(LastMessage().text,
              "The INI configuration file is:\n" + ini + "\n\nDo you really want to reload it?");
    EXPECT_EQ(LastMessage().caption, "Reload Configuration");
    EXPECT_FALSE(plug.MidiThru());
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kReloadConfiguration});
    EXPECT_TRUE(plug.MidiThru());

    plug.MapController(7, 42);
    platform.QueueMessageAnswer(kNo);
    Options({OptionCommands::kSaveConfiguration});
    EXPECT_EQ(LastMessage().text,
              "The INI configuration file is:\n" + ini + "\n\nDo you really want to overwrite it?");
    EXPECT_EQ(LastMessage().caption, "Save Configuration");
    EXPECT_EQ(Ini().find("CC7=42"), std::string::npos);
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kSaveConfiguration});
    EXPECT_NE(Ini().find("CC7=42"), std::string::npos);

    std::filesystem::remove(ini);
    platform.QueueMessageAnswer(kYes);
    Options({OptionCommands::kReloadConfiguration});
    EXPECT_EQ(LastMessage().text, "The INI file does not exist.");
    EXPECT_EQ(LastMessage().caption, "Problem with INI File");
    EXPECT_EQ(LastMessage().type, IEditorPlatform::kBoxOk);
}

TEST_F(PanelMenus, MidiSwitchesToggleAndAreWrittenAtOnce)
{
    Options({IZROptionMenu::kMidiSettingsItem, 0});
    EXPECT_TRUE(plug.MidiThru());
    EXPECT_NE(Ini().find("MIDI Thru=true"), std::string::npos);
    EXPECT_EQ(Ini().find("Ignore Program Change"), std::string::npos);
    Options({IZROptionMenu::kMidiSettingsItem, 1});
    EXPECT_TRUE(plug.IgnoresProgramChange());
    EXPECT_NE(Ini().find("Ignore Program Change=true"), std::string::npos);
    Options({IZROptionMenu::kMidiSettingsItem, 0});
    EXPECT_FALSE(plug.MidiThru());
    EXPECT_NE(Ini().find("MIDI Thru=false"), std::string::npos);
    EXPECT_TRUE(platform.Messages().empty());
}

TEST_F(PanelMenus, UpdateCheckWithoutAServerReportsTheErrorWithoutTheNetwork)
{
    ASSERT_TRUE(plug.GetUpdateSite().serverHost.empty());
    Options({IZROptionMenu::kGoOnlineItem, 0});
    EXPECT_EQ(LastMessage().text, "An error occurred while contacting the update server.");
    EXPECT_EQ(LastMessage().caption, "Check Online for Update");
    EXPECT_EQ(LastMessage().type, IEditorPlatform::kBoxOk | IEditorPlatform::kIconError);
    EXPECT_TRUE(platform.Addresses().empty());
}

TEST_F(PanelMenus, WebSiteItemOpensTheVendorsSiteWithoutQuestions)
{
    UpdateSite site;
    site.webAddress = "http://vendor.invalid/";
    plug.SetUpdateSource(site, nullptr);
    Options({IZROptionMenu::kGoOnlineItem, 1});
    ASSERT_EQ(platform.Addresses().size(), 1u);
    EXPECT_EQ(platform.Addresses()[0].address, "http://vendor.invalid/");
    EXPECT_TRUE(platform.Messages().empty());
}

// ---- Program display ----------------------------------------------------------------------------

TEST_F(PanelMenus, RenameKeepsThirtyOneCharactersAndTellsTheHost)
{
    plug.SelectProgramFromEditor(4);
    const std::string oldName(plug.GetPresetName(4));
    const int updates = host.Count(vst::audioMasterUpdateDisplay);
    const std::string typed = std::string(10, 'x') + "123456789012345678901234567890";
    ASSERT_EQ(typed.size(), 40u);
    platform.QueueText(typed);
    ClickIn(kNameRect);
    ASSERT_EQ(platform.TextEntries().size(), 1u);
    EXPECT_EQ(platform.TextEntries()[0].rect, kNameRect);
    EXPECT_EQ(platform.TextEntries()[0].initialText, oldName);
    EXPECT_FALSE(platform.TextEntries()[0].withParameter);
    EXPECT_EQ(plug.Panel().ProgramDisplay()->TextEntryLimit(), 253);
    EXPECT_EQ(plug.GetPresetName(4), "xxxxxxxxxx123456789012345678901");
    EXPECT_GT(host.Count(vst::audioMasterUpdateDisplay), updates);
    EXPECT_EQ(plug.Panel().ProgramDisplay()->NameText(), "xxxxxxxxxx123456789012345678901");

    // A cancelled entry keeps the name; the whole panel is redrawn after any click.
    DrawAllClean();
    platform.QueueText(std::nullopt);
    ClickIn(kNameRect);
    EXPECT_EQ(plug.GetPresetName(4), "xxxxxxxxxx123456789012345678901");
    EXPECT_TRUE(graphics.GetControl(0)->IsDirty());
}

TEST_F(PanelMenus, ProgramListShowsFourGroupsAndSelectsFromTheChosenOne)
{
    plug.SelectProgramFromEditor(20);
    IPopupList list;
    plug.Panel().ProgramDisplay()->BuildProgramList(list);
    ASSERT_EQ(list.NItems(), 4);
    const std::vector<std::string> groups = {"00 - 15", "16 - 31", "32 - 47", "48 - 63"};
    for (int g = 0; g < 4; ++g)
    {
        EXPECT_EQ(list.Item(g)->text, groups[static_cast<size_t>(g)]);
        const IPopupList& sub = *list.Item(g)->subList;
        ASSERT_EQ(sub.NItems(), 16);
        for (int i = 0; i < 16; ++i)
        {
            const int program = 16 * g + i;
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%02d: ", program);
            EXPECT_EQ(sub.Item(i)->text, prefix + std::string(plug.GetPresetName(program)));
            EXPECT_EQ(sub.Item(i)->flags, program == 20 ? IPopupItem::kChecked : 0) << program;
        }
    }

    const int changes = host.Count(vst::audioMasterUpdateDisplay);
    platform.QueuePopupChoice({1, 1});
    ClickIn(kNumberRect);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 17);
    EXPECT_GT(host.Count(vst::audioMasterUpdateDisplay), changes);
    EXPECT_EQ(platform.Popups().back().texts, groups);
    EXPECT_EQ(platform.Popups().back().area, (IRectangle{54, 604, 297, 604}));
    platform.QueuePopupChoice({3, 15});
    ClickIn(kNumberRect);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 63);
    platform.QueuePopupChoice({0, 2});
    ClickIn(kNumberRect);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
    platform.QueuePopupChoice({});
    ClickIn(kNumberRect);
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
}

// ---- Block menus --------------------------------------------------------------------------------

TEST_F(PanelMenus, UtilityMenuCopiesTheWholeBlockButItsChannel)
{
    IZRUtilMenu& menuB = Find<IZRUtilMenu>(panel::PseudoIndex::UtilMenu(1));
    IPopupList list;
    menuB.BuildMenu(list);
    EXPECT_EQ(EntriesOf(list), (std::vector<Entry>{{"Copy to Block A", 0},
                                                   {"Copy to Block B", IPopupItem::kDisabled},
                                                   {"Copy to Block C", 0}}));
    const int cutoffB = Param::BlockParamIndex(1, Param::kCutoff);
    const int cutoffC = Param::BlockParamIndex(2, Param::kCutoff);
    const int cutoffA = Param::BlockParamIndex(0, Param::kCutoff);
    const double high = plug.GetParam(cutoffB)->Max();
    const double low = plug.GetParam(cutoffB)->Min();
    SetValue(cutoffB, high);
    SetValue(cutoffA, low);
    const double cutoffABefore = Value(cutoffA);
    std::vector<double> channelC;
    for (int j : {Param::kVolume, Param::kVcaFSrc, Param::kChEnable, Param::kChGate})
    {
        SetValue(Param::BlockParamIndex(1, j), plug.GetParam(Param::BlockParamIndex(1, j))->Max());
        channelC.push_back(Value(Param::BlockParamIndex(2, j)));
    }
    platform.QueuePopupChoice({2});
    ClickIn(menuB.Rect());
    EXPECT_EQ(Value(cutoffC), high);
    EXPECT_EQ(Value(cutoffA), cutoffABefore);
    int k = 0;
    for (int j : {Param::kVolume, Param::kVcaFSrc, Param::kChEnable, Param::kChGate})
        EXPECT_EQ(Value(Param::BlockParamIndex(2, j)), channelC[static_cast<size_t>(k++)]) << j;
    // The greyed own block cannot be chosen.
    SetValue(cutoffB, low);
    platform.QueuePopupChoice({1});
    ClickIn(menuB.Rect());
    EXPECT_EQ(Value(cutoffB), low);
    EXPECT_EQ(Value(cutoffC), high);
}

TEST_F(PanelMenus, CopyMenuOfTuneKnobsAndSelectorsWritesOnlyItsTarget)
{
    for (int j : {static_cast<int>(Param::kTuneD), static_cast<int>(Param::kFcSrc)})
    {
        const int source = Param::BlockParamIndex(0, j);
        const int target = Param::BlockParamIndex(1, j);
        const int other = Param::BlockParamIndex(2, j);
        SetValue(source, plug.GetParam(source)->Max());
        const std::vector<double> before = AllValues();
        platform.QueuePopupChoice({1});
        const panel::PanelRect& r = panel::FindControlFor(source)->rect;
        ClickIn({r.L, r.T, r.R, r.T + 4}, kRight);
        EXPECT_EQ(platform.Popups().back().texts,
                  (std::vector<std::string>{"Copy to Block A", "Copy to Block B", "Copy to Block C"}));
        const std::vector<double> after = AllValues();
        for (int i = 0; i < plug.NParams(); ++i)
        {
            if (i == target)
                EXPECT_EQ(after[static_cast<size_t>(i)], plug.GetParam(target)->Max()) << j;
            else
                EXPECT_EQ(after[static_cast<size_t>(i)], before[static_cast<size_t>(i)]) << i;
        }
        EXPECT_NE(Value(other), plug.GetParam(other)->Max());
    }
}

TEST_F(PanelMenus, MicrotuningMenuChecksTheDetectedTuningAndAppliesEachOne)
{
    IZRMicroTuningMenu& menuC = Find<IZRMicroTuningMenu>(panel::PseudoIndex::MicroTuningMenu(2));
    for (int k = kTuningCount - 1; k >= 0; --k)
    {
        platform.QueuePopupChoice({k});
        ClickIn(menuC.Rect());
        IPopupList list;
        menuC.BuildMenu(list);
        ASSERT_EQ(list.NItems(), 17);
        for (int i = 0; i < kTuningCount; ++i)
        {
            EXPECT_EQ(list.Item(i)->text, BuiltInTunings()[static_cast<size_t>(i)].name);
            EXPECT_EQ(list.Item(i)->flags, i == k ? IPopupItem::kChecked : 0) << k << " " << i;
        }
        EXPECT_EQ(list.Item(14)->flags, IPopupItem::kDisabled);
    }
    IPopupList list;
    menuC.BuildMenu(list);
    EXPECT_EQ(list.Item(0)->text, "Equal");
    EXPECT_EQ(list.Item(13)->text, "Heptatonic");
    EXPECT_EQ(list.Item(14)->text, "(custom)");
    EXPECT_EQ(list.Item(15)->flags, IPopupItem::kSeparator);
    EXPECT_EQ(EntriesOf(*list.Item(16)->subList),
              (std::vector<Entry>{{"Load Tuning", 0}, {"Save Tuning", 0}}));
    EXPECT_EQ(list.Item(16)->text, "File");

    // A tuning that matches none: "(custom)" checked and greyed, nothing else checked.
    SetValue(Param::BlockParamIndex(2, Param::kTuneE), 37.0);
    IPopupList custom;
    menuC.BuildMenu(custom);
    EXPECT_EQ(custom.Item(14)->flags, IPopupItem::kDisabled | IPopupItem::kChecked);
    for (int i = 0; i < kTuningCount; ++i)
        EXPECT_EQ(custom.Item(i)->flags, 0);
    // Blocks A and B keep their own tunings.
    IPopupList a;
    Find<IZRMicroTuningMenu>(panel::PseudoIndex::MicroTuningMenu(0)).BuildMenu(a);
    EXPECT_EQ(a.Item(0)->flags, IPopupItem::kChecked);
}

TEST_F(PanelMenus, ScalaFilesAreSavedAndLoadedInTheTuningFolder)
{
    IZRMicroTuningMenu& menuA = Find<IZRMicroTuningMenu>(panel::PseudoIndex::MicroTuningMenu(0));
    IZRMicroTuningMenu& menuB = Find<IZRMicroTuningMenu>(panel::PseudoIndex::MicroTuningMenu(1));
    platform.QueuePopupChoice({5}); // Werckmeister III
    ClickIn(menuA.Rect());
    const std::string folder = home.File("tunings");
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/werck.scl";
    platform.QueueFile(file);
    platform.QueuePopupChoice({16, 1});
    ClickIn(menuA.Rect());
    const HeadlessPlatform::AskedFile& save = platform.AskedFiles().back();
    EXPECT_EQ(save.action, IEditorPlatform::kFileSave);
    EXPECT_EQ(save.initialFile, "ZR-4400_tuning");
    EXPECT_EQ(save.extensions, "scl");
    EXPECT_EQ(save.directory, platform::DocumentsFolder());
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_NE(ReadText(file).find("ZR-4400 Tuning Export"), std::string::npos);

    platform.QueueFile(file);
    platform.QueuePopupChoice({16, 0});
    ClickIn(menuB.Rect());
    EXPECT_EQ(platform.AskedFiles().back().action, IEditorPlatform::kFileOpen);
    EXPECT_EQ(platform.AskedFiles().back().initialFile, "");
    EXPECT_EQ(platform.AskedFiles().back().directory, folder);
    IPopupList list;
    menuB.BuildMenu(list);
    EXPECT_EQ(list.Item(5)->flags, IPopupItem::kChecked);
    for (int n = 0; n < kDegreeCount; ++n)
        EXPECT_NEAR(Value(Param::BlockParamIndex(1, n)), Value(Param::BlockParamIndex(0, n)), 1e-4) << n;

    // A file that cannot be read is reported and changes nothing; a cancel does nothing at all.
    const std::vector<double> values = AllValues();
    platform.QueueFile(folder + "/missing.scl");
    platform.QueuePopupChoice({16, 0});
    ClickIn(menuB.Rect());
    EXPECT_EQ(LastMessage().text, "Cannot load file!");
    EXPECT_EQ(LastMessage().caption, "Error");
    EXPECT_EQ(AllValues(), values);
    platform.QueueFile(home.File("no/folder/x.scl"));
    platform.QueuePopupChoice({16, 1});
    ClickIn(menuB.Rect());
    EXPECT_EQ(LastMessage().text, "Cannot save file!");
    const size_t shown = platform.Messages().size();
    platform.QueueFile("");
    platform.QueuePopupChoice({16, 0});
    ClickIn(menuB.Rect());
    EXPECT_EQ(platform.Messages().size(), shown);
    EXPECT_EQ(configuration.TuningFolder(), home.File("no/folder"));
}
