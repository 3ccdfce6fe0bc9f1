#pragma once

namespace zr
{

// The editor's MIDI learn button as the synth base sees it: when learning ends by itself (an
// assignment was made or removed) the button must go off. Called by the learn step on the thread of
// the change (the audio thread for a controller, the host's or the editor's for a parameter) with
// the instance lock held: implementations only store the state and mark the control dirty.
class ILearnSwitch
{
public:
    virtual ~ILearnSwitch() = default;
    // Shows the switch off and schedules its redraw.
    virtual void SwitchOff() = 0;
};

} // namespace zr
