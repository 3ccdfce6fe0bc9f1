#include "editor/panel/OptionCommands.h"

#include "editor/graphics/IGraphics.h"
#include "editor/panel/GraphicsMessageBox.h"
#include "platform/Folders.h"
#include "plugin/ProgramFiles.h"
#include "plugin/ProgramFolder.h"
#include "plugin/Synth.h"

namespace zr
{

namespace
{
// The synth's questions and failures go to the editor's message boxes while a command runs.
class MessagesToEditor
{
public:
    MessagesToEditor(Synth& synth, IGraphics& graphics) : synth_(synth), box_(graphics)
    {
        synth_.SetMessageBox(&box_);
    }
    ~MessagesToEditor() { synth_.SetMessageBox(nullptr); }
    MessagesToEditor(const MessagesToEditor&) = delete;
    MessagesToEditor& operator=(const MessagesToEditor&) = delete;

    IMessageBox& Box() { return box_; }

private:
    Synth& synth_;
    GraphicsMessageBox box_;
};
} // namespace

void OptionCommands::Run(int command)
{
    ProgramFolder::InitializeOnce(synth_.GetConfiguration().ProgramFilesPath());
    MessagesToEditor messages(synth_, graphics_);
    Configuration& configuration = synth_.GetConfiguration();
    switch (command)
    {
    case kCopyProgram:
        synth_.CopyProgram();
        break;
    case kPasteProgram:
        synth_.PasteProgramFromMenu();
        break;
    case kInitProgram:
        synth_.InitProgramFromMenu();
        break;
    case kLoadProgram:
    case kSaveProgram:
    case kLoadBank:
    case kSaveBank:
        LoadOrSave(command, messages.Box());
        break;
    case kSelectStartupBank:
        SelectStartupBank();
        break;
    case kLoadStartupBank:
        if (!configuration.StartupBankPath().empty()) synth_.ReloadStartupBankFromMenu();
        break;
    case kUnselectStartupBank:
        if (!configuration.StartupBankPath().empty()) configuration.UnselectStartupBankFromMenu();
        break;
    case kDefaultProgramPath:
        ChooseDefaultProgramPath();
        break;
    case kReloadConfiguration:
        configuration.ReloadConfigurationFromMenu();
        break;
    case kSaveConfiguration:
        configuration.SaveConfigurationFromMenu();
        break;
    case kMidiThru:
        configuration.ToggleMidiThru();
        break;
    case kIgnoreProgramChange:
        configuration.ToggleIgnoreProgramChange();
        break;
    case kCheckForUpdate:
        synth_.CheckOnlineForUpdate(graphics_);
        break;
    case kVisitWebSite:
        if (!synth_.GetUpdateSite().webAddress.empty())
            graphics_.OpenWebAddress(synth_.GetUpdateSite().webAddress, {}, {}, {});
        break;
    default:
        break;
    }
}

void OptionCommands::LoadOrSave(int command, IMessageBox& messages)
{
    using FileCommand = ProgramFiles::Command;
    const bool bank = command == kLoadBank || command == kSaveBank;
    const bool save = command == kSaveProgram || command == kSaveBank;
    std::string initialName;
    if (command == kSaveProgram)
        initialName =
            ProgramFiles::SuggestedProgramFileName(synth_.GetPresetName(synth_.GetCurrentPresetIdx()));
    else if (command == kSaveBank)
        initialName = ProgramFiles::kSuggestedBankFileName;
    const std::string file =
        AskForFile(save ? IEditorPlatform::kFileSave : IEditorPlatform::kFileOpen, initialName,
                   bank ? kBankExtension : kProgramExtension, ProgramFolder::Get());
    const FileCommand fileCommand = bank ? (save ? FileCommand::SaveBank : FileCommand::LoadBank)
                                         : (save ? FileCommand::SaveProgram : FileCommand::LoadProgram);
    ProgramFiles::RunCommand(fileCommand, synth_, messages, file);
}

void OptionCommands::SelectStartupBank()
{
    const std::string file = AskForFile(IEditorPlatform::kFileOpen, {}, kBankExtension, ProgramFolder::Get());
    if (!file.empty()) synth_.SetStartupBank(file);
}

void OptionCommands::ChooseDefaultProgramPath()
{
    std::string start = ProgramFolder::Get();
    if (start.empty()) start = platform::DocumentsFolder();
    const std::string file = AskForFile(IEditorPlatform::kFileSave, kIgnoredFileName, kAnyExtension, start);
    synth_.GetConfiguration().ChooseProgramFilesPath(file);
}

std::string OptionCommands::AskForFile(int action, std::string_view initialName, std::string_view extensions,
                                       const std::string& startFolder)
{
    std::string file(initialName);
    std::string folder = startFolder;
    graphics_.AskForFile(file, action, folder, extensions);
    return file;
}

} // namespace zr
