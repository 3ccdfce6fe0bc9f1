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

void Voice::SetUp(double fs, int bufferSize, const CutoffTable* cutoffs, const int* cutoffMod)
{
    active_ = keyDown_ = pedalHeld_ = false;
    note_ = kNoteAfterSetUp;
    octaveNumber_ = note_ / 12;
    noteName_ = note_ % 12;
    serial_ = 0;
    if (static_cast<int>(buffer_.size()) != bufferSize) buffer_.assign(bufferSize, 0.0);
    em_.SetUp(fs);
    filter_.SetTables(cutoffs, cutoffMod);
}

void Voice::Start(int note, int serial)
{
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

void Voice::Render(double* voiceMix, int m, int p)
{
    if (!active_) return;
    double* buffer = buffer_.data();
    bank_->RenderNoteSignal(buffer, m, p, octaveNumber_, noteName_, phase_);
    filter_.Process(buffer, m, p);
    const double gain = Gain();
    for (int j = 0; j < m; ++j)
    {
        voiceMix[j] += buffer[j] * em_.Value() * gain;
        // One step per tick position after the first (the per-tick update made that one), however
        // the host split the tick into chunks.
        if (p + j > 0) em_.Step();
    }
}

} // namespace zr
