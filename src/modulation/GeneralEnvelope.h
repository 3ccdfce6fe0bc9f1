#pragma once

namespace zr
{

// The general envelope generator (GEG): delay, attack, then hold until the last key is released
// or, with auto release, an immediate release. Stage times follow the time law
// 10^(4.5 u - 2.3) seconds (5 ms at u = 0, 158 s at u = 1) through overshooting goals.
// Audio thread (trigger, key release, step); setters under the instance lock.
class GeneralEnvelope
{
public:
    enum State
    {
        kIdle = 0,
        kDelay = 1,
        kAttack = 2,
        kRelease = 3 // also the hold at full level
    };

    static constexpr double kRiseGoal = 10.0 / 9.0;  // goal of the delay counter and the attack
    static constexpr double kFallGoal = -1.0 / 9.0;  // goal of the release
    static constexpr double kAttackEnd = 0.999;      // level at which the attack is complete
    static constexpr double kRateExponentBase = 2.3; // R(u) = 10^(2.3 - 4.5 u) x ln 10 / fs
    static constexpr double kRateExponentSpan = 4.5;
    static constexpr double kInitialRate = 1000.0; // rate assumed until the first reset

    GeneralEnvelope();

    // Set-up: clears the envelope and counts its stages in samples at this rate.
    void Reset(double sampleRate);

    // A selected trigger fired: restarts the delay, the level keeps moving where it is.
    void Trigger();

    // The last held key was released: release from wherever the envelope is.
    void KeyRelease();

    // Once per sample.
    void Step();

    // "GEG Dly", "GEG Atk", "GEG Rel" (0 to 1; limited to that range). A change reaches the stage
    // that is running: the delay counter, the attack or the release.
    void SetDelay(double u);
    void SetAttack(double u);
    void SetRelease(double u);
    void SetAutoRelease(bool on) { autoRelease = on; }

    // Per-sample step factor of time position u.
    double StepFactor(double u) const;

    // Stable addresses for patch references: "GE1-" (1 - level), "GE2+" (level - 1), "GE3+" (level).
    const double& OutNegative() const { return outNegative; }
    const double& OutRising() const { return outRising; }
    const double& OutPositive() const { return outPositive; }

    int CurrentState() const { return state; }
    double Level() const { return level; }
    double DelayCounter() const { return delayCounter; }

private:
    void Rest();
    void StepDelay();
    void StepAttack();

    double outNegative = 1.0;
    double outRising = -1.0;
    double outPositive = 0.0;
    double delay = 0.0, attack = 0.0, release = 0.0;
    bool autoRelease = false;
    int state = kIdle;
    double target = 0.0;
    double factor = 0.0;
    double level = 0.0;
    double delayTarget = 0.0;
    double delayFactor = 0.0;
    double delayCounter = 0.0;
    double rateBase;
};

} // namespace zr
