#pragma once

#include "instrument/HeadlessInstrument.h"
#include "instrument/ParameterTable.h"
#include "instrument/ZR4400.h"

#include <cmath>
#include <future>
#include <string>
#include <vector>

using namespace zr;

// True if the calling thread holds the lock: another thread then cannot take it.
inline bool HeldByThisThread(std::recursive_mutex& mutex)
{
    return !std::async(std::launch::async,
                       [&mutex]
                       {
                           if (!mutex.try_lock())
                           {
                               return false;
                           }
                           mutex.unlock();
                           return true;
                       })
                .get();
}

// The headless instrument, recording what it tells the host and what its handler is given.
class TestPlug : public HeadlessInstrument
{
public:
    static constexpr int kPresets = ZR4400::kNumPresets;
    static constexpr int32_t kUniqueId = ZR4400::kUniqueId;
    static constexpr int32_t kVersion = ZR4400::kVersion;

    enum class Format
    {
        Bare,  // the base format: values only
        Tagged // the instrument's program state
    };

    explicit TestPlug(Format format = Format::Tagged) : mFormat(format) {}

    // Records the changes made from outside; kept values that the parameter application re-applies
    // from inside the handler are not recorded.
    void ParamChanged(int index) override
    {
        const bool outer = mHandlerDepth++ == 0;
        HeadlessInstrument::ParamChanged(index);
        --mHandlerDepth;
        if (!outer)
        {
            return;
        }
        if (probeLockInParamChanged)
        {
            probeLockInParamChanged = false;
            lockHeldInParamChanged = HeldByThisThread(Mutex());
        }
        changed.push_back(index);
        events.emplace_back('c', index);
    }
    void NotifyHostParamChange(int index, double normalized) override
    {
        if (automated.empty())
        {
            lockHeldWhileNotifying = HeldByThisThread(Mutex());
        }
        automated.emplace_back(index, normalized);
        events.emplace_back('h', index);
    }
    bool SendMidiToHost(const MidiMessage& message) override
    {
        sentMidi.push_back(message);
        return true;
    }
    void PresetsChanged() override { ++presetsChanged; }
    bool SerializeProgramState(ChunkBuffer& chunk) override
    {
        return mFormat == Format::Tagged ? HeadlessInstrument::SerializeProgramState(chunk)
                                         : SerializeParams(chunk);
    }
    int UnserializeProgramState(const ChunkBuffer& chunk, int pos) override
    {
        return mFormat == Format::Tagged ? HeadlessInstrument::UnserializeProgramState(chunk, pos)
                                         : UnserializeParams(chunk, pos);
    }

    // True if every parameter holds a finite value inside its range.
    bool AllParamsInRange() const
    {
        for (int i = 0; i < NParams(); ++i)
        {
            const IParameter* p = GetParam(i);
            if (!std::isfinite(p->Value()) || p->Value() < p->Min() || p->Value() > p->Max())
            {
                return false;
            }
        }
        return true;
    }

    std::vector<double> Values() const
    {
        std::vector<double> values;
        for (int i = 0; i < NParams(); ++i)
        {
            values.push_back(GetParam(i)->Value());
        }
        return values;
    }

    std::vector<int> changed;
    std::vector<std::pair<int, double>> automated;
    // ('h', index) for a host notification, ('c', index) for ParamChanged, in call order.
    std::vector<std::pair<char, int>> events;
    std::vector<MidiMessage> sentMidi;

    void ClearRecords()
    {
        changed.clear();
        automated.clear();
        events.clear();
    }
    int presetsChanged = 0;
    bool lockHeldWhileNotifying = false;
    // When set, the next ParamChanged records whether the lock was held and clears the flag.
    bool probeLockInParamChanged = false;
    bool lockHeldInParamChanged = false;

private:
    Format mFormat;
    int mHandlerDepth = 0;
};
