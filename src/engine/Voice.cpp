#include "engine/Voice.h"

#include <algorithm>
#include <cmath>

namespace zr
{

namespace
{
constexpr double kKeyScaleSlope = 6.0 / 127.0;
constexpr double kKeyScaleCenter = 3.0;
constexpr double kIndexLimit = 1e9; // keeps the cutoff index conversion defined for any input
} // namespace

void Voice::SetUp(double fs, const CutoffTable* cutoffs, const int* cutoffMod)
{
    active_ = keyDown_ = pedalHeld_ = false;
    note_ = kNoteAfterSetUp;
    octaveNumber_ = note_ / 12;
    noteName_ = note_ % 12;
    serial_ = 0;
    phase_.ForgetLevel();
    em_.SetUp(fs);
    filter_.SetTables(cutoffs, cutoffMod);
}

void Voice::Start(int note, int serial)
{
    // A new key takes its own table level at once; the same key restarted keeps fading as it was.
    if (note != note_) phase_.ForgetLevel();
    note_ = note;
    active_ = true;
    keyDown_ = true;
    serial_ = serial;
    octaveNumber_ = note / 12;
    noteName_ = note % 12;
    em_.Start();
    keyCV_ = (note - kKeyCvCenter) / kKeyCvSpan;
    keyScale_ = 0.5 + 0.5 * std::tanh(kKeyScaleSlope * note - kKeyScaleCenter);
}

void Voice::TickUpdate(int blockCutoffIndex)
{
    if (!active_) return;
    em_.SetAttack((attackSource_ ? *attackSource_ : 0.0) + emAtk_);
    if (releaseTrigger_ && *releaseTrigger_) em_.Release();
    em_.Step();
    const double cutoff = (fcBal_ * keyCV_ + expand_ * em_.Value()) * kCutoffSweep + blockCutoffIndex;
    filter_.SetBaseCutoff(std::isnan(cutoff)
                              ? blockCutoffIndex
                              : static_cast<int>(std::clamp(cutoff, -kIndexLimit, kIndexLimit)));
    filter_.UpdateFeedback();
    active_ = em_.GetState() != EM::kIdle;
}

} // namespace zr
