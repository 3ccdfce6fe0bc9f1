#pragma once

#include "common/HostTimeInfo.h"
#include "common/MidiMessage.h"
#include "engine/ControlTick.h"
#include "engine/CutoffTable.h"
#include "engine/EngineHost.h"
#include "engine/ExternalInputs.h"
#include "engine/IncrementTable.h"
#include "engine/Keyboard.h"
#include "engine/MidiQueue.h"
#include "engine/PitchTables.h"
#include "engine/SynthBlock.h"
#include "modulation/Modulation.h"
#include "modulation/PatchSources.h"

#include <array>
#include <span>
#include <vector>

namespace zr
{

// The sound engine of one instrument instance: the three blocks, keyboard assignment, the MIDI
// queue and routing, and the render loop on the control-tick grid. SetUp runs on the set-up path
// (may allocate); ProcessAudio, HandleMidi and AllNotesOff run on the audio thread and neither
// allocate (except queue growth) nor block. The instrument holds its lock around every call.
class Engine
{
public:
    static constexpr int kBlocks = 3;
    static constexpr int kSamplesPerTickDivisor = 1000; // about one control tick per millisecond
    static constexpr double kDefaultFinal = 0.25;

    Engine();
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // Instrument services for MIDI thru, learn, program change and controller mapping; may be null.
    void SetHost(EngineHost* host) { host_ = host; }

    // Sizes the queue and buffers, rebuilds the rate tables and sets the blocks up when the rate
    // changed (resetting the general envelope and the lags), gives the host clock the rate,
    // restarts the tick grid and releases all notes. Below 1 kHz (and above 768 kHz) the engine
    // renders silence.
    void SetUp(double sampleRate, int maxBlockSize);
    // Renders n samples into left and right (overwritten). The host's transport goes to the host
    // clock once, before the first tick of the call; without one the defaults (120 bpm, position
    // unknown, stopped) are handed over.
    void ProcessAudio(double* left, double* right, int n, const HostTimeInfo& time);
    void ProcessAudio(double* left, double* right, int n) { ProcessAudio(left, right, n, HostTimeInfo{}); }
    // Routes one incoming message; its offset counts from the start of the coming process call.
    void HandleMidi(const MidiMessage& message);
    void AllNotesOff() { keyboard_.AllNotesOff(); }
    // After a program load: while no voice sounds in any block, every block's cutoff glide lands
    // on its target at once, so the next note starts with the program's filter; while voices
    // sound the glides run on and the change stays smooth.
    void LandCutoffGlidesWhenSilent();
    // The panel's trigger button (lock held): external trigger 1 fires "Trg1" at the next tick.
    void KickTrigger();

    // Patch routing: the value or flag a source-list entry refers to; nullptr for "off" and for
    // values outside the lists. Resolved when a parameter changes, read by the control tick.
    const double* CvSource(int value) const { return sources_.Cv(value); }
    const bool* TriggerSource(int value) const { return sources_.Trigger(value); }

    // Global parameter effects.
    void SetFinalGain(double finalParam) { finalGain_ = 2.0 * finalParam; }
    void SetUseHold(bool on);
    void SetPitchBendRange(double semitones) { pitchBendRange_ = semitones * pitch::kUnitsPerSemitone; }
    void SetKbdTrig(int count) { keyboard_.SetKbdTrig(count); }

    SynthBlock& Block(int index) { return blocks_[index]; }
    std::span<SynthBlock> Blocks() { return blocks_; }
    Keyboard& GetKeyboard() { return keyboard_; }
    ExternalInputs& Inputs() { return inputs_; }
    Modulation& GetModulation() { return modulation_; }
    MidiQueue& Queue() { return queue_; }
    std::span<double> TotalVca() { return totalVca_; }

    int SamplesPerTick() const { return samplesPerTick_; }
    double SampleRate() const { return sampleRate_; }
    double FinalGain() const { return finalGain_; }
    double PitchBendRange() const { return pitchBendRange_; }
    // Patch sources "PB", "PB+", "MW", "MW+" (stable addresses).
    const double& PitchBend() const { return pitchBend_; }
    const double& PitchBendUnipolar() const { return pitchBendUnipolar_; }
    const double& ModWheel() const { return modWheel_; }
    const double& ModWheelBipolar() const { return modWheelBipolar_; }

private:
    static constexpr double kPitchBendCenter = 8192.0;
    static constexpr double kPitchBendMsbWeight = 128.0;
    static constexpr double kHighestRate = 768000.0; // above it, as below 1 kHz, the engine is silent
    static constexpr double kControllerScale = 127.0;

    void HandleQueued(const MidiMessage& message);
    void HandleController(int controller, int value);
    void RunTick();
    void BindSources();

    EngineHost* host_ = nullptr;
    IncrementTable increments_;
    CutoffTable cutoffs_;
    Modulation modulation_;
    std::array<SynthBlock, kBlocks> blocks_;
    Keyboard keyboard_;
    ExternalInputs inputs_;
    MidiQueue queue_;
    ControlTick controlTick_;
    PatchSources sources_;

    double sampleRate_ = 0.0;
    int samplesPerTick_ = 0;
    int tickRemaining_ = 0;
    std::vector<double> mixLeft_;
    std::vector<double> mixRight_;
    std::vector<double> totalVca_;
    double finalGain_ = 2.0 * kDefaultFinal;
    double pitchBendRange_ = 0.0;
    double pitchBend_ = 0.0;
    double pitchBendUnipolar_ = 0.5;
    double modWheel_ = 0.0;
    double modWheelBipolar_ = -1.0;
};

} // namespace zr
