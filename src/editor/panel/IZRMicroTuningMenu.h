#pragma once

#include "editor/panel/IZRMenuArea.h"

#include <string_view>

namespace zr
{

class Synth;

// The microtuning menu of one block: the built-in tunings with the block's present one checked (or
// "(custom)" when none matches), and "File" with "Load Tuning" and "Save Tuning" for Scala files.
// The file dialogs start in the instance's tuning folder, which follows the last file chosen.
class IZRMicroTuningMenu : public IZRMenuArea
{
public:
    static constexpr int kCustomItem = 14;
    static constexpr int kFileItem = 16;
    static constexpr int kLoadItem = 0;
    static constexpr int kSaveItem = 1;
    static constexpr std::string_view kExtension = "scl";
    static constexpr std::string_view kInitialFileName = "ZR-4400_tuning";

    IZRMicroTuningMenu(Synth& synth, const IRectangle& rect, int pseudoIndex, int block);

    void BuildMenu(IPopupList& menu) override;
    int Block() const { return block_; }

protected:
    void RunChoice(const IPopupList& menu, const IPopupList& chosen) override;

private:
    void LoadTuning();
    void SaveTuning();
    // The file chosen in the dialog; the tuning folder follows it. "" on cancel.
    std::string AskForTuningFile(int action, std::string_view initialName);

    Synth& synth_;
    int block_;
};

} // namespace zr
