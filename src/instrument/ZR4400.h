#pragma once

#include "editor/panel/ZRPanel.h"
#include "engine/EngineHost.h"
#include "instrument/InstrumentCore.h"
#include "instrument/InstrumentIdentity.h"
#include "plugin/Synth.h"

namespace zr
{

// The instrument: the plug-in frame around one sound engine, with the parameter table and the
// program state of this instrument. Construction order: plug-in base and VST2 adapter, synth base
// (configuration, editor object), the core (engine, parameter table), every parameter applied, the
// panel built and the editor attached, then the startup bank or else
// the factory bank (program 0 selected and applied). The module's entry function fills the empty
// slots afterwards. Every hook runs under the instance lock.
class ZR4400 : public Synth, public InstrumentIdentity
{
public:
    explicit ZR4400(vst::AudioMasterCallback hostCallback);

    // Takes the lock; the synth base set-up, then the engine's for the current rate and block size
    // (dispatcher thread; allocates).
    void SetUp() override;
    // Takes the lock; the synth base (learn), then the parameter's effect on the engine (thread of
    // the change; allocates nothing).
    void ParamChanged(int index) override;
    // Takes the lock; switching on re-applies every parameter and shows the values on the panel
    // (dispatcher or audio thread).
    void SetActive(bool active) override;
    // Renders into outputs 0 and 1; inputs are ignored (audio thread, lock held).
    void ProcessAudio(double** inputs, double** outputs, int frames) override;
    // MIDI thru, learn, program change, or into the engine's queue (audio thread, lock held).
    void HandleMidi(const MidiMessage& message) override;
    void AllNotesOff() override;
    // Tag, program index, program name and every value (caller holds the lock).
    bool SerializeProgramState(ChunkBuffer& chunk) override;
    // Reads a tagged state, or a bare list of doubles when the tag is missing (caller holds the
    // lock). Every program, bank and chunk load passes here; with no voice sounding the cutoff
    // glides land on the loaded values at once.
    int UnserializeProgramState(const ChunkBuffer& chunk, int pos) override;
    // The defaults in every parameter, then the cutoff glides as after a load.
    void InitProgram() override;
    // The program display follows program changes and renames (lock held).
    void PresetsChanged() override { RefreshParamControls(); }
    // Every control takes its parameter's value; the program display shows the current program.
    void RefreshParamControls() override;
    // Attaches the panel (construction).
    void BuildPanel(IGraphics& graphics) override;
    // While the editor window is open, the lights follow the modulation generators, the sample and
    // hold clock and the general envelope (user-interface thread; takes the lock).
    void Idle() override;
    // The panel's trigger kick: external trigger 1 rises at the next control tick (editor thread).
    void FireTriggerKick();

    ZRPanel& Panel() { return mPanel; }

    Engine& GetEngine() { return mCore.GetEngine(); }

private:
    // The startup bank, tried first here; when it fails it is forgotten for this instance and
    // LoadStartupBank falls back to the factory bank (construction).
    void LoadFirstBank();

    // The engine's view of the instrument (audio thread, lock held).
    class EngineLink : public EngineHost
    {
    public:
        explicit EngineLink(ZR4400& plug) : mPlug(plug) {}
        bool MidiThruOn() const override { return mPlug.MidiThru(); }
        void SendMidiToHost(const MidiMessage& message) override { mPlug.SendMidiToHost(message); }
        bool MidiLearnArmed() const override { return mPlug.LearnArmed(); }
        void LearnController(int controller) override { mPlug.LearnController(controller); }
        bool IgnoreProgramChange() const override { return mPlug.IgnoresProgramChange(); }
        void LoadProgram(int program) override { mPlug.SelectPreset(program); }
        int MappedParameter(int controller) const override;
        double NormalizedValue(int parameter) const override;
        void ChangeParamFromController(int parameter, double normalized) override;

    private:
        ZR4400& mPlug;
    };

    InstrumentCore mCore{*this};
    EngineLink mEngineLink{*this};
    ZRPanel mPanel;
};

} // namespace zr
