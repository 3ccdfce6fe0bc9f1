#pragma once

#include "editor/graphics/IContactControl.h"

#include <functional>

namespace zr
{

class Synth;

// The momentary buttons of the panel: previous program, next program and the trigger kick. The
// press shows the pressed frame; the release shows it up again and acts. No parameter is written.
class IZRUtilityKick : public IContactControl
{
public:
    static constexpr int kPreviousProgram = -232;
    static constexpr int kNextProgram = -233;
    static constexpr int kTriggerKick = -236;

    // kick: what the trigger kick does (raises the instrument's external trigger 1).
    IZRUtilityKick(Synth& synth, int x, int y, int pseudoIndex, const IBitmapStrip& strip,
                   std::function<void()> kick = {});

    void OnMouseUp(int x, int y, const IMouseState& mouse) override;

private:
    Synth& synth_;
    std::function<void()> kick_;
};

} // namespace zr
