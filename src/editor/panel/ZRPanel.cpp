#include "editor/panel/ZRPanel.h"

#include "editor/graphics/IBitmapControl.h"
#include "editor/graphics/IGraphics.h"
#include "editor/graphics/ITextControl.h"
#include "editor/panel/IZRInfoBubble.h"
#include "editor/panel/IZRKnobMultiControl.h"
#include "editor/panel/IZRKnobMultiControlText.h"
#include "editor/panel/IZRMicroTuningMenu.h"
#include "editor/panel/IZROptionMenu.h"
#include "editor/panel/IZRPopUpMenuControl.h"
#include "editor/panel/IZRPresetMenu.h"
#include "editor/panel/IZRSwitchControl.h"
#include "editor/panel/IZRSwitchMidiLearn.h"
#include "editor/panel/IZRUtilMenu.h"
#include "editor/panel/IZRUtilityKick.h"
#include "editor/panel/PanelLayout.h"
#include "editor/panel/PanelTextStyle.h"
#include "plugin/Synth.h"

#include <memory>

namespace zr
{
namespace
{
using panel::ControlKind;
using panel::PanelControl;

IRectangle ToRect(const panel::PanelRect& r)
{
    return {r.L, r.T, r.R, r.B};
}

IArgbColor ToColor(const panel::PanelColor& c)
{
    return {c.A, c.R, c.G, c.B};
}

// The version label and the information lines.
ITextStyle LabelStyle(std::string_view face, int align)
{
    return PanelTextStyle(face, 12, {128, 255, 255, 255}, align);
}

// Builds the controls of one layout entry and adds them to the graphics object.
class ControlFactory
{
public:
    ControlFactory(IGraphics& graphics, Synth& synth, std::function<void()> kick)
        : graphics_(graphics), synth_(synth), kick_(std::move(kick))
    {
    }

    IBitmapStrip Strip(int id) const
    {
        const panel::PanelImage* image = panel::FindPanelImage(id);
        return image ? graphics_.LoadBitmap(id, image->name, image->frames) : IBitmapStrip{};
    }

    template <typename Control> Control* Add(std::unique_ptr<Control> control)
    {
        Control* raw = control.get();
        graphics_.AddControl(std::move(control));
        return raw;
    }

    IControl* Build(const PanelControl& c, std::array<ITextControl*, 4>& infoLines, int& infoLineCount)
    {
        const IRectangle rect = ToRect(c.rect);
        const int x = c.rect.L;
        const int y = c.rect.T;
        switch (c.kind)
        {
        case ControlKind::Background:
            graphics_.SetBackgroundImage(panel::kBackImage, panel::FindPanelImage(panel::kBackImage)->name);
            return graphics_.GetControl(0);
        case ControlKind::ProgramDisplay:
            return Add(std::make_unique<IZRPresetMenu>(synth_, ToRect(panel::kProgramNumberRect),
                                                       ToRect(panel::kProgramNameRect)));
        case ControlKind::UtilityKick:
            return Add(std::make_unique<IZRUtilityKick>(
                synth_, x, y, c.param, Strip(c.image),
                c.param == panel::PseudoIndex::kTriggerKick ? kick_ : std::function<void()>{}));
        case ControlKind::OptionMenu:
            return Add(std::make_unique<IZROptionMenu>(synth_, rect, c.param));
        case ControlKind::UtilMenu:
            return Add(std::make_unique<IZRUtilMenu>(synth_, rect, c.param, c.block));
        case ControlKind::MicroTuningMenu:
            return Add(std::make_unique<IZRMicroTuningMenu>(synth_, rect, c.param, c.block));
        case ControlKind::VersionLabel:
            return Add(std::make_unique<ITextControl>(
                synth_, rect, LabelStyle("Verdana", ITextStyle::kAlignCenter), panel::kVersionText));
        case ControlKind::MidiLearn:
            return Add(std::make_unique<IZRSwitchMidiLearn>(synth_, x, y, c.param, Strip(panel::kLearnImage),
                                                            Strip(panel::kUnlearnImage)));
        case ControlKind::Light:
        {
            IBitmapControl* light =
                Add(std::make_unique<IBitmapControl>(synth_, x, y, c.param, Strip(c.image)));
            light->Hide(true);
            return light;
        }
        case ControlKind::InfoLine:
        {
            ITextControl* line = Add(
                std::make_unique<ITextControl>(synth_, rect, LabelStyle("Arial", ITextStyle::kAlignNear)));
            if (infoLineCount < 4) infoLines[infoLineCount++] = line;
            return line;
        }
        case ControlKind::InfoPanel:
            return Add(std::make_unique<IZRInfoBubble>(synth_, rect, infoLines));
        case ControlKind::Knob:
        case ControlKind::BigKnob:
        case ControlKind::Rotary6:
        case ControlKind::Rotary4:
        case ControlKind::Lever3:
            return Add(std::make_unique<IZRKnobMultiControl>(synth_, x, y, c.param, Strip(c.image), c.gearing,
                                                             c.copyMenu));
        case ControlKind::Switch:
        case ControlKind::OrangeSwitch:
        case ControlKind::SideSwitch:
            return Add(std::make_unique<IZRSwitchControl>(synth_, x, y, c.param, Strip(c.image), c.copyMenu));
        case ControlKind::ValueKnob:
        {
            const panel::PanelRect r = c.rect;
            const IRectangle given{r.L, r.T, r.R, r.B - IZRKnobMultiControlText::kTextHeight};
            return Add(std::make_unique<IZRKnobMultiControlText>(synth_, given, c.param, Strip(c.image),
                                                                 c.copyMenu));
        }
        case ControlKind::Plug2:
        case ControlKind::Plug3:
        case ControlKind::Button:
        case ControlKind::Number:
        {
            const panel::KindTraits traits = panel::TraitsOf(c.kind);
            return Add(std::make_unique<IZRPopUpMenuControl>(synth_, x, y, c.param, ToColor(traits.textColor),
                                                             Strip(traits.image), Strip(traits.onImage),
                                                             c.popupMode, c.copyMenu));
        }
        }
        return nullptr;
    }

private:
    IGraphics& graphics_;
    Synth& synth_;
    std::function<void()> kick_;
};

// The information panel is attached after the global selectors; every selector learns of it once
// the whole panel is there.
void ConnectSelectors(IGraphics& graphics, IZRInfoBubble* info)
{
    for (int i = 0; i < graphics.NControls(); ++i)
    {
        if (auto* selector = dynamic_cast<IZRPopUpMenuControl*>(graphics.GetControl(i)))
        {
            selector->SetInfoPanel(info);
        }
    }
}

} // namespace

void ZRPanel::Attach(IGraphics& graphics, Synth& synth, std::function<void()> kick)
{
    *this = ZRPanel{};
    ControlFactory factory(graphics, synth, std::move(kick));
    graphics.SetHandleMouseOver(true);
    std::array<ITextControl*, 4> infoLines{};
    int infoLineCount = 0;
    for (const PanelControl& c : panel::PanelControls())
    {
        IControl* control = factory.Build(c, infoLines, infoLineCount);
        switch (c.kind)
        {
        case ControlKind::ProgramDisplay:
            programDisplay_ = static_cast<IZRPresetMenu*>(control);
            break;
        case ControlKind::MidiLearn:
            learn_ = static_cast<IZRSwitchMidiLearn*>(control);
            break;
        case ControlKind::InfoPanel:
            info_ = static_cast<IZRInfoBubble*>(control);
            break;
        case ControlKind::Light:
            KeepLight(control, static_cast<int>(c.light), c.block);
            break;
        default:
            break;
        }
    }
    ConnectSelectors(graphics, info_);
    synth.DisarmLearn();
    synth.SetLearnSwitch(learn_);
}

void ZRPanel::KeepLight(IControl* control, int role, int block)
{
    switch (static_cast<panel::LightRole>(role))
    {
    case panel::LightRole::Power:
        power_.control = control;
        break;
    case panel::LightRole::SampleHold:
        sampleHold_.control = control;
        break;
    case panel::LightRole::Envelope:
        envelope_.control = control;
        break;
    case panel::LightRole::Mg1:
        mg1_[block].control = control;
        break;
    case panel::LightRole::Mg2:
        mg2_[block].control = control;
        break;
    case panel::LightRole::None:
        break;
    }
}

void ZRPanel::Show(Light& light, bool lit)
{
    if (!light.control || light.lit == lit) return;
    light.lit = lit;
    light.control->Hide(!lit);
}

void ZRPanel::ShowPower(bool on)
{
    if (power_.control) power_.control->Hide(!on);
    power_.lit = on;
}

void ZRPanel::ShowLights(const LightStates& states)
{
    for (size_t b = 0; b < mg1_.size(); ++b)
    {
        Show(mg1_[b], states.mg1[b]);
        Show(mg2_[b], states.mg2[b]);
    }
    Show(sampleHold_, states.sampleHold);
    Show(envelope_, states.envelope);
}

void ZRPanel::RefreshProgramDisplay()
{
    if (programDisplay_) programDisplay_->Refresh();
}

} // namespace zr
