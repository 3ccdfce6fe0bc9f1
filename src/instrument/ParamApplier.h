#pragma once

#include "engine/Engine.h"
#include "instrument/ParamRows.h"

#include <array>

namespace zr
{

class ParamStore;

// Carries parameter values into the engine: the block step (with the voice step for the 64
// voices of the block), "Use Hold" for all blocks, and the global step, all read from the row
// table. One per instrument. Runs on whatever thread changed the parameter; the caller (the
// instrument's ParamChanged) holds the instance lock and handles MIDI learn. Allocates nothing.
class ParamApplier
{
public:
    static constexpr double kDefaultKeptFrequency = 0.2; // Hz, "MG1 Freq", "MG2 Freq", "S/H Freq"

    ParamApplier(Engine& engine, ParamStore& params);
    ParamApplier(const ParamApplier&) = delete;
    ParamApplier& operator=(const ParamApplier&) = delete;

    // Applies the current value of parameter index (0 .. 228); other indexes do nothing.
    void Apply(int index);

    // Sets parameter index to keptValue (limited to its range, host and editor not informed) and
    // runs the store's ParamChanged for it, which re-enters Apply.
    void Reapply(int index, double keptValue);

    // Frequencies kept outside the parameter table so that they can be re-applied. Block numbers
    // outside 0 .. 2 read 0 and write nothing.
    double Mg1Freq(int block) const;
    double Mg2Freq(int block) const;
    double ShFreq() const { return shFreq_; }
    void SetMg1Freq(int block, double hz);
    void SetMg2Freq(int block, double hz);
    void SetShFreq(double hz) { shFreq_ = hz; }

    Engine& GetEngine() { return engine_; }
    ParamStore& Params() { return params_; }

private:
    static bool ValidBlock(int block) { return block >= 0 && block < Engine::kBlocks; }
    void ApplyBlock(int block, int position, double value);

    Engine& engine_;
    ParamStore& params_;
    const ParamRows& rows_;
    std::array<double, Engine::kBlocks> mg1Freq_;
    std::array<double, Engine::kBlocks> mg2Freq_;
    double shFreq_ = kDefaultKeptFrequency;
};

} // namespace zr
