#pragma once

#include <array>

namespace zr
{

// Values of the control-voltage source list: what a CV patch point ("FM Src", "fC Src", "S/H In",
// "VP1 Src" ...) selects.
namespace CvSource
{
enum : int
{
    kOff = 0,
    kPlus5V,
    kGe1Negative, // 1 - GEG level
    kGe2Rising,   // GEG level - 1
    kGe3Positive, // GEG level
    kMg1A,
    kMg2A,
    kMg1B,
    kMg2B,
    kMg1C,
    kMg2C,
    kSampleHold, // "S/H"; "Rnd" (the noise generator) on the "S/H In" list
    kVp1,
    kVp2,
    kKey,
    kPitchBend,
    kPitchBendPositive,
    kModWheel,
    kModWheelPositive,
    kLag1,
    kLag2,
    kAtn1,
    kAtn2,
    kAtn3,
    kVc1, // "VC1" .. "VC8": external voltage inputs 1 .. 8
    kCount = kVc1 + 8
};
// The "S/H In" entry that samples the noise generator instead of a reference.
constexpr int kShRandom = kSampleHold;
} // namespace CvSource

// Values of the trigger source list ("EM R Src", "GEG Src1", "GEG Src2"): one-tick flags.
namespace TriggerSource
{
enum : int
{
    kOff = 0,
    kKeyboard, // "KBD": the held-key count reached "KBD Trig"
    kSingle,   // "Sng": a note on left exactly one key held
    kMultiple, // "Mlt": every note on
    kMg1A,     // clock edges of MG1 and MG2 of blocks A, B, C
    kMg2A,
    kMg1B,
    kMg2B,
    kMg1C,
    kMg2C,
    kSampleHold,
    kClk1, // "Clk1" .. "Clk4": host division starts of the external clocks
    kClk2,
    kClk3,
    kClk4,
    kTrg1, // rising edges of the external trigger inputs
    kTrg2,
    kCount
};
} // namespace TriggerSource

// The two source lists resolved into plain references. The owner binds every entry once, to
// values and flags that live as long as it does; parameter changes then look a selection up here,
// and the control tick reads through the stored reference without any lookup.
// Binding happens at construction, lookups under the instance lock.
class PatchSources
{
public:
    void BindCv(int value, const double& source);
    void BindTrigger(int value, const bool& flag);

    // The value that CV list entry `value` refers to; nullptr for "off" and out-of-range values.
    const double* Cv(int value) const;
    // The flag that trigger list entry `value` refers to; nullptr for "off" and out-of-range values.
    const bool* Trigger(int value) const;

private:
    std::array<const double*, CvSource::kCount> cv_{};
    std::array<const bool*, TriggerSource::kCount> triggers_{};
};

} // namespace zr
