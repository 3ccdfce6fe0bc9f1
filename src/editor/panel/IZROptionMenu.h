#pragma once

#include "editor/panel/IZRMenuArea.h"

#include <string_view>

namespace zr
{

class Synth;

// The options menu: programs, banks, the startup bank, configuration, the global MIDI switches and
// the online commands, carried out by OptionCommands.
class IZROptionMenu : public IZRMenuArea
{
public:
    static constexpr int kMidiSettingsItem = 14;
    static constexpr int kGoOnlineItem = 18;
    static constexpr std::string_view kVisitWebSiteText = "Visit the Zarnow Audio Web Site";

    IZROptionMenu(Synth& synth, const IRectangle& rect, int pseudoIndex);

    void BuildMenu(IPopupList& menu) override;
    // The command number of a choice: the position in the top list, 22 + the position in "Global
    // MIDI Settings..." or 24 + the position in "Go Online..."; -1 for a list that is none of these.
    static int CommandOf(const IPopupList& menu, const IPopupList& chosen);

protected:
    void RunChoice(const IPopupList& menu, const IPopupList& chosen) override;

private:
    Synth& synth_;
};

} // namespace zr
