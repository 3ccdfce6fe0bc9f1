#pragma once

#include <array>
#include <functional>

namespace zr
{

class IControl;
class IGraphics;
class IZRInfoBubble;
class IZRPresetMenu;
class IZRSwitchMidiLearn;
class Synth;

// The instrument's panel on its graphics object: attaches every control of the layout table in
// order and keeps the controls that the instrument drives later (program display, learn button,
// information panel, lights). Lives in the instrument; everything runs on the user-interface thread
// except ShowPower, which the host may call from the audio thread with the instance lock held.
class ZRPanel
{
public:
    struct LightStates
    {
        std::array<bool, 3> mg1{};
        std::array<bool, 3> mg2{};
        bool sampleHold = false;
        bool envelope = false;
    };

    // Fills graphics's control list. kick fires the trigger kick (the instrument's external trigger 1).
    void Attach(IGraphics& graphics, Synth& synth, std::function<void()> kick);

    // The power light follows the instance's switch.
    void ShowPower(bool on);
    // Each light is shown while its state is true; a light is touched only when its state changes.
    void ShowLights(const LightStates& states);
    // The program display shows the current program again.
    void RefreshProgramDisplay();

    IZRPresetMenu* ProgramDisplay() const { return programDisplay_; }
    IZRSwitchMidiLearn* LearnButton() const { return learn_; }
    IZRInfoBubble* InfoPanel() const { return info_; }

private:
    // A light and the state it shows.
    struct Light
    {
        IControl* control = nullptr;
        bool lit = false;
    };
    static void Show(Light& light, bool lit);
    void KeepLight(IControl* control, int role, int block);

    IZRPresetMenu* programDisplay_ = nullptr;
    IZRSwitchMidiLearn* learn_ = nullptr;
    IZRInfoBubble* info_ = nullptr;
    Light power_;
    Light sampleHold_;
    Light envelope_;
    std::array<Light, 3> mg1_;
    std::array<Light, 3> mg2_;
};

} // namespace zr
