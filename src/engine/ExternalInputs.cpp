#include "engine/ExternalInputs.h"

namespace zr
{

void ExternalInputs::Update(int controller, double value)
{
    for (Trigger& trigger : triggers_)
    {
        if (trigger.controller == controller)
        {
            trigger.state = value > kTriggerThreshold;
            return;
        }
    }
    for (int i = 0; i < kVoltages; ++i)
    {
        if (voltageController_[i] == controller)
        {
            voltage_[i] = value;
            return;
        }
    }
}

void ExternalInputs::SetTriggerController(int index, int controller)
{
    if (index >= 0 && index < kTriggers) triggers_[index].controller = controller;
}

void ExternalInputs::SetVoltageController(int index, int controller)
{
    if (index >= 0 && index < kVoltages) voltageController_[index] = controller;
}

} // namespace zr
