#pragma once

namespace zr
{

class VoiceGroup;

// A voice's envelope modulator: attack to 1, decay to the sustain level, release to 0, with an
// optional hold latch. Stepped once per sample on the audio thread; the setters are the voice
// parameter step (instance lock held).
class EM
{
public:
    enum State
    {
        kIdle,
        kAttack,
        kDecay,
        kRelease
    };

    enum ReleaseMode
    {
        kDamp,
        kHalfDamp,
        kLongRelease,
        kReleaseModeCount
    };

    static constexpr double kHoldLatchAbove = 0.7;   // attack input that latches with "Use Hold" on
    static constexpr double kHoldReleaseBelow = 0.3; // attack input that unlatches

    void SetUp(double fs);

    // Enters attack from the current value, or releases a latched envelope (hold toggle).
    void Start();
    // The common release step.
    void Release();
    // One envelope step.
    void Step();

    // Per tick: attack input in 0..1; the attack rate follows it while attacking.
    void SetAttack(double attack);
    void SetDecay(double value);
    void SetSustain(double value);
    void SetReleaseMode(int mode);
    void SetOverReleaseTime(double value);
    void SetOverRelease(bool on);
    void SetHoldEnabled(bool on) { holdEnabled_ = on; }
    void SetUseHold(bool on) { useHold_ = on; }

    double Value() const { return value_; }
    int GetState() const { return state_; }
    bool Held() const { return held_; }
    bool HoldEnabled() const { return holdEnabled_; }
    bool Latched() const { return holdEnabled_ && held_; }
    bool UseHold() const { return useHold_; }
    // Decaying towards a sustain level above 0 at a rate of at most 1: every following step moves
    // the value between its current level and the target, so no step ends the stage.
    bool Settled() const
    {
        return state_ == kDecay && target_ >= kSettledFloor && value_ > 0.0 && rate_ >= 0.0 && rate_ <= 1.0;
    }
    bool OverRelease() const { return overRelease_; }
    double Decay() const { return decay_; }
    double Sustain() const { return sustain_; }
    double ReleaseTime() const { return releaseTime_; }

private:
    friend class VoiceGroup;

    static constexpr double kDecayFloor = 0.2;
    static constexpr double kSettledFloor = 1e-9; // far above the rounding of a step
    static constexpr double kDecaySpan = 0.8;

    double Rate(double u) const;
    void RefreshReleaseRate();
    // The hold latch part of a step. Within one render chunk its inputs do not change, so after the
    // first step of a chunk it changes nothing.
    void Latch();
    // The state change of a step after the value moved: attack ends at 1, decay and release at 0.
    void Settle();

    double value_ = 0.0;
    double attack_ = 0.0;
    double decay_ = 0.0;
    double sustain_ = 0.0;
    double normalRelease_ = 0.0;
    double overReleaseTime_ = 0.0;
    bool holdEnabled_ = false;
    bool useHold_ = false;
    bool overRelease_ = false;
    int state_ = kIdle;
    bool held_ = false;
    double releaseTime_ = 0.0;
    double target_ = 0.0;
    double rate_ = 0.0;
    double lnTenOverFs_ = 0.0;
};

} // namespace zr
