#include "editor/panel/IZRMicroTuningMenu.h"

#include "editor/graphics/IGraphics.h"
#include "editor/graphics/IPopupList.h"
#include "instrument/BlockTuning.h"
#include "instrument/Tunings.h"
#include "plugin/ProgramFiles.h"
#include "plugin/ProgramFolder.h"
#include "plugin/Synth.h"

namespace zr
{

IZRMicroTuningMenu::IZRMicroTuningMenu(Synth& synth, const IRectangle& rect, int pseudoIndex, int block)
    : IZRMenuArea(synth, rect, pseudoIndex), synth_(synth), block_(block)
{
}

void IZRMicroTuningMenu::BuildMenu(IPopupList& menu)
{
    const int present = BlockTuning(synth_, block_).Recognise();
    for (int k = 0; k < kTuningCount; ++k)
    {
        menu.AddItem(BuiltInTunings()[static_cast<size_t>(k)].name, k == present ? IPopupItem::kChecked : 0);
    }
    const bool custom = present == Microtuning::kCustomTuning;
    menu.AddItem("(custom)", IPopupItem::kDisabled | (custom ? IPopupItem::kChecked : 0));
    menu.AddSeparator();
    IPopupList& file = menu.AddSubList("File");
    file.AddItem("Load Tuning");
    file.AddItem("Save Tuning");
}

void IZRMicroTuningMenu::RunChoice(const IPopupList& menu, const IPopupList& chosen)
{
    const int index = chosen.ChosenIndex();
    if (&chosen == &menu)
    {
        BlockTuning(synth_, block_).ApplyBuiltIn(index);
        return;
    }
    const IPopupItem* file = menu.Item(kFileItem);
    if (!file || &chosen != file->subList.get()) return;
    if (index == kLoadItem) LoadTuning();
    if (index == kSaveItem) SaveTuning();
}

void IZRMicroTuningMenu::LoadTuning()
{
    const std::string file = AskForTuningFile(IEditorPlatform::kFileOpen, {});
    if (!file.empty() && !BlockTuning(synth_, block_).Load(file))
        Graphics()->ShowMessageBox(ProgramFiles::kCannotLoadText, ProgramFiles::kErrorTitle,
                                   IEditorPlatform::kBoxOk);
}

void IZRMicroTuningMenu::SaveTuning()
{
    const std::string file = AskForTuningFile(IEditorPlatform::kFileSave, kInitialFileName);
    if (!file.empty() && !BlockTuning(synth_, block_).Save(file))
        Graphics()->ShowMessageBox(ProgramFiles::kCannotSaveText, ProgramFiles::kErrorTitle,
                                   IEditorPlatform::kBoxOk);
}

std::string IZRMicroTuningMenu::AskForTuningFile(int action, std::string_view initialName)
{
    Configuration& configuration = synth_.GetConfiguration();
    std::string file(initialName);
    std::string folder = configuration.TuningFolder();
    Graphics()->AskForFile(file, action, folder, kExtension);
    if (!file.empty()) configuration.SetTuningFolder(ProgramFolder::FolderOf(file));
    return file;
}

} // namespace zr
