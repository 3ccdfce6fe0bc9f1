#include "editor/panel/IZROptionMenu.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "editor/panel/OptionCommands.h"
#include "plugin/Synth.h"

namespace zr
{

namespace
{
int FlagIf(bool condition, int flag)
{
    return condition ? flag : 0;
}

const IPopupList* SubListOf(const IPopupList& menu, int item)
{
    const IPopupItem* entry = menu.Item(item);
    return entry ? entry->subList.get() : nullptr;
}
} // namespace

IZROptionMenu::IZROptionMenu(Synth& synth, const IRectangle& rect, int pseudoIndex)
    : IZRMenuArea(synth, rect, pseudoIndex), synth_(synth)
{
}

void IZROptionMenu::BuildMenu(IPopupList& menu)
{
    const bool noClipboard = synth_.CopiedProgramIndex() == Synth::kNone;
    const bool noStartupBank = synth_.GetConfiguration().StartupBankPath().empty();
    menu.AddItem("Copy Program");
    menu.AddItem("Paste Program", FlagIf(noClipboard, IPopupItem::kDisabled));
    menu.AddItem("Init Program");
    menu.AddSeparator();
    menu.AddItem("Load Program");
    menu.AddItem("Save Program");
    menu.AddItem("Load Bank");
    menu.AddItem("Save Bank");
    menu.AddSeparator();
    menu.AddItem("Select Startup Bank");
    menu.AddItem("Load Startup Bank", FlagIf(noStartupBank, IPopupItem::kDisabled));
    menu.AddItem("Unselect Startup Bank", FlagIf(noStartupBank, IPopupItem::kDisabled));
    menu.AddSeparator();
    menu.AddItem("Default Path for Program Files");
    IPopupList& midi = menu.AddSubList("Global MIDI Settings...");
    midi.AddItem("MIDI Thru", FlagIf(synth_.MidiThru(), IPopupItem::kChecked));
    midi.AddItem("Ignore Program Change", FlagIf(synth_.IgnoresProgramChange(), IPopupItem::kChecked));
    menu.AddItem("Reload Configuration");
    menu.AddItem("Save Configuration");
    menu.AddSeparator();
    IPopupList& online = menu.AddSubList("Go Online...");
    online.AddItem("Check Online for Update");
    online.AddItem(kVisitWebSiteText,
                   FlagIf(synth_.GetUpdateSite().webAddress.empty(), IPopupItem::kDisabled));
}

int IZROptionMenu::CommandOf(const IPopupList& menu, const IPopupList& chosen)
{
    if (&chosen == &menu) return chosen.ChosenIndex();
    if (&chosen == SubListOf(menu, kMidiSettingsItem))
        return OptionCommands::kMidiSettingsBase + chosen.ChosenIndex();
    if (&chosen == SubListOf(menu, kGoOnlineItem))
        return OptionCommands::kGoOnlineBase + chosen.ChosenIndex();
    return -1;
}

void IZROptionMenu::RunChoice(const IPopupList& menu, const IPopupList& chosen)
{
    OptionCommands(synth_, *Graphics()).Run(CommandOf(menu, chosen));
}

} // namespace zr
