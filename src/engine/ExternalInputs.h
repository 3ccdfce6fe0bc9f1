#pragma once

#include <array>

namespace zr
{

// Two trigger inputs and eight voltage inputs, each fed by a selectable MIDI controller. Updated
// from the MIDI queue drain on the audio thread; the control tick turns them into patch sources.
class ExternalInputs
{
public:
    static constexpr int kTriggers = 2;
    static constexpr int kVoltages = 8;
    static constexpr double kTriggerThreshold = 0.5;

    struct Trigger
    {
        int controller = 0;
        bool state = false;
        bool previous = false;
    };

    // The first input (trigger 1, trigger 2, voltage 1 .. 8) whose controller is c takes value v.
    void Update(int controller, double value);

    void SetTriggerController(int index, int controller);
    void SetVoltageController(int index, int controller);

    Trigger& GetTrigger(int index) { return triggers_[index]; }
    const Trigger& GetTrigger(int index) const { return triggers_[index]; }
    // Stable address: the CV source "VC1" .. "VC8".
    const double& Voltage(int index) const { return voltage_[index]; }

private:
    std::array<Trigger, kTriggers> triggers_{};
    std::array<int, kVoltages> voltageController_{};
    std::array<double, kVoltages> voltage_{};
};

} // namespace zr
