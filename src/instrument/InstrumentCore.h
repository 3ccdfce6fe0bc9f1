#pragma once

#include "engine/Engine.h"
#include "instrument/ParamApplier.h"

namespace zr
{

class ParamStore;

// The instrument without a host: the sound engine, the parameter table defined in a parameter
// store, and the application that carries each value into the engine. The instrument plug-in owns
// one, and so does the headless instrument that the tests, the bank generator and the benchmarks
// build. The store's ParamChanged calls Apply.
class InstrumentCore
{
public:
    // Defines the instrument's parameter table in params, which outlives the core.
    explicit InstrumentCore(ParamStore& params);
    InstrumentCore(const InstrumentCore&) = delete;
    InstrumentCore& operator=(const InstrumentCore&) = delete;

    // The current value of parameter index into the engine (thread of the change, lock held).
    void Apply(int index) { applier_.Apply(index); }

    // A program, bank or chunk has just been loaded (lock held): with no voice sounding, the
    // cutoff glides land on the loaded values at once instead of sweeping the first note.
    void ProgramLoaded() { engine_.LandCutoffGlidesWhenSilent(); }

    Engine& GetEngine() { return engine_; }
    ParamApplier& Applier() { return applier_; }

private:
    Engine engine_;
    ParamApplier applier_;
};

} // namespace zr
