#pragma once

#include <string>
#include <string_view>

namespace zr
{

class IGraphics;
class IMessageBox;
class Synth;

// The commands of the options menu, numbered as the menu numbers its items: the position in the top
// list, 22 + the position in "Global MIDI Settings..." and 24 + the position in "Go Online...".
// Questions and failures are the editor's message boxes, files are chosen in its file dialogs.
// User-interface thread; the operations called take the instance lock themselves.
class OptionCommands
{
public:
    enum Command
    {
        kCopyProgram = 0,
        kPasteProgram = 1,
        kInitProgram = 2,
        kLoadProgram = 4,
        kSaveProgram = 5,
        kLoadBank = 6,
        kSaveBank = 7,
        kSelectStartupBank = 9,
        kLoadStartupBank = 10,
        kUnselectStartupBank = 11,
        kDefaultProgramPath = 13,
        kReloadConfiguration = 15,
        kSaveConfiguration = 16,
        kMidiThru = 22,
        kIgnoreProgramChange = 23,
        kCheckForUpdate = 24,
        kVisitWebSite = 25
    };
    static constexpr int kMidiSettingsBase = 22;
    static constexpr int kGoOnlineBase = 24;

    static constexpr std::string_view kProgramExtension = "fxp";
    static constexpr std::string_view kBankExtension = "fxb";
    // A single space: any file, no default extension.
    static constexpr std::string_view kAnyExtension = " ";
    static constexpr std::string_view kIgnoredFileName = "[file name is ignored]";

    OptionCommands(Synth& synth, IGraphics& graphics) : synth_(synth), graphics_(graphics) {}

    // Carries out one command; numbers without a command do nothing.
    void Run(int command);

private:
    void LoadOrSave(int command, IMessageBox& messages);
    void SelectStartupBank();
    void ChooseDefaultProgramPath();
    // The file chosen in a dialog starting in the process's last-used program folder; "" on cancel.
    std::string AskForFile(int action, std::string_view initialName, std::string_view extensions,
                           const std::string& startFolder);

    Synth& synth_;
    IGraphics& graphics_;
};

} // namespace zr
