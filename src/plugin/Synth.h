#pragma once

#include "plugin/IPlugVST.h"

#include <array>
#include <cstdint>

namespace zr
{

// What every instrument of this design shares between the VST2 adapter and the instrument: the
// MIDI thru and program-change switches, the MIDI controller map and MIDI learn. Every operation
// runs under the instance lock (taken here or held by the caller).
class Synth : public IPlugVST
{
public:
    // MIDI controllers 0 .. kNumControllers - 1 can drive a parameter.
    static constexpr int kNumControllers = 120;
    static constexpr int kNone = -1;

    Synth(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText, int nPresets,
          std::string_view effectName, std::string_view productName, std::string_view vendorName,
          int32_t version, int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks,
          bool isInstrument);

    // Takes the lock; disarms MIDI learn. The instrument adds the engine's set-up (dispatcher thread).
    void SetUp() override;
    // Takes the lock; while learn is armed the parameter becomes the learned parameter (thread of
    // the change).
    void ParamChanged(int index) override;
    // Takes the lock; switching on re-applies every parameter (dispatcher or audio thread).
    void SetActive(bool active) override;
    // Releases every sounding note (audio or dispatcher thread, lock held); nothing here.
    virtual void AllNotesOff() {}

    // ---- MIDI switches (any thread; lock held by the caller) ----------------------------------
    bool MidiThru() const { return mMidiThru; }
    void SetMidiThru(bool on) { mMidiThru = on; }
    bool IgnoresProgramChange() const { return mIgnoreProgramChange; }
    void SetIgnoreProgramChange(bool on) { mIgnoreProgramChange = on; }

    // ---- Controller map -----------------------------------------------------------------------
    // The parameter index mapped to controller, or kNone (also for controllers out of range).
    int MappedParameter(int controller) const;
    // Maps controller to parameter (kNone removes the mapping); controllers out of range do nothing.
    void MapController(int controller, int parameter);

    // ---- MIDI learn ---------------------------------------------------------------------------
    // Arms learning; in unlearn mode the next controller or parameter loses its assignment.
    void ArmLearn(bool unlearn);
    void DisarmLearn();
    bool LearnArmed() const { return mLearnArmed; }
    bool UnlearnMode() const { return mUnlearnMode; }
    // A control change 0 .. 119 received while armed (audio thread, lock held).
    void LearnController(int controller);

private:
    // Makes or removes an assignment once enough is known, then disarms.
    void LearnStep();
    void UnmapParameter(int parameter);

    bool mMidiThru = false;
    bool mIgnoreProgramChange = false;
    std::array<int32_t, kNumControllers> mControllerMap;
    bool mLearnArmed = false;
    bool mUnlearnMode = false;
    int mLearnedController = kNone;
    int mLearnedParameter = kNone;
};

} // namespace zr
