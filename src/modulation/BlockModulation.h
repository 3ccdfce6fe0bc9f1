#pragma once

#include "modulation/MG.h"

namespace zr
{

class HostClock;

// The modulation state of one synthesizer block: its two modulation generators and the patch
// selections and depths of pitch (FM), cutoff, resonator, PWM and channel modulation. The control
// tick calls the per-sample and per-tick operations on the audio thread; the setters are the block
// parameter step (instance lock held). Source references are plain pointers to values that outlive
// the block; "FM Src", "fC Src" and "RfC Src" read the block's constant zero when "off".
class BlockModulation
{
public:
    // "MG1 Freq" curve: min + span x position^6 Hz.
    static constexpr double kMg1MinHz = 0.05;
    static constexpr double kMg1SpanHz = 1499.95;
    // Control ticks per second for the periods of MG2 ("MG2 Freq" sets 1000 / f ticks).
    static constexpr double kTicksPerSecond = 1000.0;
    // A source at 1.0 (5 V) shifts the "MG1 Freq" knob position by half its range.
    static constexpr double kMg1FreqSourceShift = 0.5;
    // Cutoff modulation at 1.0: pitch units (84 semitones + 1).
    static constexpr double kCutoffModUnits = 10753.0;
    // A gate source opens the channel above this level.
    static constexpr double kGateThreshold = 0.5;
    // Pitch-unit results are limited to this magnitude; the tables clamp far inside it.
    static constexpr double kPitchUnitLimit = 16777216.0;

    explicit BlockModulation(const HostClock& clock);
    BlockModulation(const BlockModulation&) = delete;
    BlockModulation& operator=(const BlockModulation&) = delete;

    // Set-up thread: MG1's period follows the new sample rate (the last "MG1 Freq" is re-applied).
    void SetUp(double fs);

    // ---- Block parameter step ----
    void SetFmOn(bool on) { fmOn = on; }
    void SetFmNegative(bool on) { fmNegative = on; }
    void SetFmMg1Depth(double depth) { fmMg1Depth = depth; }
    void SetFmSourceDepth(double depth) { fmSourceDepth = depth; }
    void SetFmSource(const double* source) { fmSource = OrZero(source); }
    void SetPwmSource(const double* source) { pwmSource = source; }
    void SetFcModOn(bool on) { fcModOn = on; }
    void SetFcMg1Depth(double depth) { fcMg1Depth = depth; }
    void SetFcSourceDepth(double depth) { fcSourceDepth = depth; }
    void SetFcSource(const double* source) { fcSource = OrZero(source); }
    void SetRsModOn(bool on) { rsModOn = on; }
    void SetRsSource(const double* source) { rsSource = OrZero(source); }
    void SetMg1Waveform(int waveform) { mg1.SetWaveform(waveform); }
    // "MG1 Freq" in Hz with its normalized knob position; a positive frequency sets MG1's period.
    void SetMg1Frequency(double hz, double normalized);
    void SetMg1FreqSource(const double* source) { mg1FreqSource = source; }
    void SetMg1AmpSource(const double* source) { mg1AmpSource = source; }
    void SetMg1HostDivision(int division) { mg1.SetHostDivision(division); }
    // "MG2 Freq" in Hz; a positive frequency sets MG2's period in control ticks.
    void SetMg2Frequency(double hz);
    void SetMg2HostDivision(int division) { mg2.SetHostDivision(division); }
    void SetVcaSource(const double* source) { vcaSource = source; }
    void SetGateSource(const double* source) { gateSource = source; }

    // ---- Control tick ----
    // MG1 frequency modulation, MG1 step and amplitude scaling; returns MG1's raw output (AM).
    double StepMg1();
    // Pitch offset of the block for bend amount k (pitch units).
    int PitchOffset(double bendAmount) const;
    // Cutoff modulation in pitch units.
    int CutoffOffset() const;
    // Tick position 0: MG2 step.
    void StepMg2() { mg2.Step(); }
    // PWM control: the PWM source, or MG2 without one.
    double PwmInput() const { return pwmSource ? *pwmSource : mg2.Output(); }
    // Resonator control: (MG2 if "RS Mod", plus "RfC Src") mapped from -1..1 to 0..1, squared.
    double ResonatorControl() const;
    // Channel gate: open without a source or above 0.5.
    bool GateOpen() const { return !gateSource || *gateSource > kGateThreshold; }
    // Channel VCA: 1 without a source, else the source value if positive, else 0.
    double VcaGain() const { return vcaSource ? PositivePart(*vcaSource) : 1.0; }

    // Patch sources "MG1x" (after amplitude scaling) and "MG2x"; stable addresses.
    const double& Mg1Output() const { return mg1Output; }
    const double& Mg2Output() const { return mg2.Output(); }
    MG& Mg1() { return mg1; }
    MG& Mg2() { return mg2; }
    const MG& Mg1() const { return mg1; }
    const MG& Mg2() const { return mg2; }
    double Mg1Frequency() const { return mg1Freq; }

    // x if above 0, else 0 (NaN gives 0).
    static double PositivePart(double x) { return x > 0.0 ? x : 0.0; }
    // Truncation to whole pitch units, limited and NaN-safe.
    static int PitchUnits(double x);
    // Whole steps of a period, limited to the int range; NaN and negatives give 0.
    static int Steps(double x);

private:
    const double* OrZero(const double* source) const { return source ? source : &zero; }
    void ModulateMg1Frequency();

    MG mg1;
    MG mg2;
    double mg1Output = 0.0;
    double sampleRate = 0.0;
    double mg1Freq = 0.0;
    double mg1FreqNorm = 0.0;
    const double zero = 0.0;
    bool fmOn = false;
    bool fmNegative = false;
    double fmMg1Depth = 0.0;
    double fmSourceDepth = 0.0;
    const double* fmSource = &zero;
    bool fcModOn = false;
    double fcMg1Depth = 0.0;
    double fcSourceDepth = 0.0;
    const double* fcSource = &zero;
    bool rsModOn = false;
    const double* rsSource = &zero;
    const double* mg1FreqSource = nullptr;
    const double* mg1AmpSource = nullptr;
    const double* vcaSource = nullptr;
    const double* gateSource = nullptr;
    const double* pwmSource = nullptr;
};

} // namespace zr
