#pragma once

#include "common/MidiMessage.h"

namespace zr
{

// What the engine's MIDI routing needs from the instrument around it: MIDI thru, MIDI learn,
// program changes and the controller-to-parameter map. All operations are called on the audio
// thread (from HandleMidi or from the MIDI queue drain inside ProcessAudio) with the instance lock
// held; they must not block or allocate.
class EngineHost
{
public:
    virtual ~EngineHost() = default;

    virtual bool MidiThruOn() const = 0;
    virtual void SendMidiToHost(const MidiMessage& message) = 0;

    virtual bool MidiLearnArmed() const = 0;
    // Takes controller 0..119 as the learned controller (the message is consumed).
    virtual void LearnController(int controller) = 0;

    virtual bool IgnoreProgramChange() const = 0;
    virtual void LoadProgram(int program) = 0;

    // Parameter index 0..228 mapped to the controller, or -1.
    virtual int MappedParameter(int controller) const = 0;
    virtual double NormalizedValue(int parameter) const = 0;
    // Sets the parameter from a normalised value, runs the parameter-change handler, and informs
    // the host and the editor.
    virtual void ChangeParamFromController(int parameter, double normalized) = 0;
};

} // namespace zr
