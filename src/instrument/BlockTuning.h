#pragma once

#include "instrument/Microtuning.h"

#include <string>

namespace zr
{

class IPlugBase;

// The tuning operations of one block of the instrument: its twelve "Tune" parameters filled from a
// built-in tuning or a Scala file, recognised as a built-in tuning, or saved to a Scala file.
// Parameters are set through SetParamFromEditor, so the engine, the host's automation and the
// program follow at once. Editor thread; the file dialogs (and the tuning folder) belong to the
// caller. Failures return false; the caller shows the messages.
class BlockTuning
{
public:
    BlockTuning(IPlugBase& plug, int block) : plug_(plug), block_(block) {}

    // Sets the block to built-in tuning 0 .. 13 under the instance lock, then informs the host and
    // the editor. False for another tuning number or block.
    bool ApplyBuiltIn(int tuning);
    // The built-in tuning the block has (within 1e-5 cents), else Microtuning::kCustomTuning.
    int Recognise() const;
    // Reads a Scala file and sets the Tune parameters of the degrees that read (the lock is taken
    // per parameter). False when the file cannot be opened; nothing changes then.
    bool Load(const std::string& path);
    // Brings the current program up to date and writes the block's tuning. False when the file
    // cannot be written.
    bool Save(const std::string& path);

private:
    bool ValidBlock() const;
    TuneValues Values() const;
    // Sets the update's parameters, then informs the host and refreshes the editor's controls.
    void SetTunes(const TuneUpdate& update);

    IPlugBase& plug_;
    int block_;
};

} // namespace zr
