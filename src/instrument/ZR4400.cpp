#include "instrument/ZR4400.h"

#include "editor/graphics/IEditorPlatform.h"
#include "editor/graphics/IGraphics.h"

#include "instrument/ParameterTable.h"
#include "plugin/ProgramFiles.h"
#include "plugin/ProgramState.h"

#include <mutex>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;
} // namespace

ZR4400::ZR4400(vst::AudioMasterCallback hostCallback)
    : Synth(hostCallback, Param::kNumParams, kChannelIO, kNumPresets, kEffectName, kProductName, kVendorName,
            kVersion, kUniqueId, 0, true, true, true)
{
    GetEngine().SetHost(&mEngineLink);
    AllParamsChanged();
    BuildAndAttachEditor();
    LoadFirstBank();
}

void ZR4400::LoadFirstBank()
{
    ScopedLock lock(Mutex());
    if (!ProgramFiles::LoadBank(*this, GetConfiguration().StartupBankPath()))
    {
        // LoadStartupBank then fails at once on the empty path and falls back to the factory bank.
        GetConfiguration().ForgetStartupBank();
        LoadStartupBank();
    }
}

void ZR4400::SetActive(bool active)
{
    ScopedLock lock(Mutex());
    Synth::SetActive(active);
    if (active)
    {
        RefreshParamControls();
    }
    mPanel.ShowPower(active);
}

void ZR4400::RefreshParamControls()
{
    Synth::RefreshParamControls();
    mPanel.RefreshProgramDisplay();
}

void ZR4400::BuildPanel(IGraphics& graphics)
{
    mPanel.Attach(graphics, *this, [this] { FireTriggerKick(); });
}

void ZR4400::FireTriggerKick()
{
    ExternalInputs::Trigger& trigger = GetEngine().Inputs().GetTrigger(0);
    trigger.state = true;
    trigger.previous = false;
}

void ZR4400::Idle()
{
    ScopedLock lock(Mutex());
    if (!GetGraphics().Platform().HasEditorWindow()) return;
    ZRPanel::LightStates lights;
    for (int b = 0; b < Param::kNumBlocks; ++b)
    {
        const BlockModulation& modulation = GetEngine().Block(b).Modulation();
        lights.mg1[static_cast<size_t>(b)] = modulation.Mg1().Output() > 0.0;
        lights.mg2[static_cast<size_t>(b)] = modulation.Mg2().Output() > 0.0;
    }
    const Modulation& modulation = GetEngine().GetModulation();
    lights.sampleHold = modulation.SampleHold().Cycle().InFirstHalf();
    lights.envelope = modulation.Geg().CurrentState() != GeneralEnvelope::kIdle;
    mPanel.ShowLights(lights);
}

void ZR4400::SetUp()
{
    ScopedLock lock(Mutex());
    Synth::SetUp();
    GetEngine().SetUp(GetSampleRate(), GetBlockSize());
}

void ZR4400::ParamChanged(int index)
{
    ScopedLock lock(Mutex());
    Synth::ParamChanged(index);
    mCore.Apply(index);
}

void ZR4400::ProcessAudio(double** inputs, double** outputs, int frames)
{
    static_cast<void>(inputs);
    if (outputs && NOutChannels() >= 2)
    {
        // What the host does not report keeps the defaults: 120 bpm, 4/4, unknown positions, stopped.
        HostTimeInfo time;
        GetHostTime(time);
        GetEngine().ProcessAudio(outputs[0], outputs[1], frames, time);
    }
}

void ZR4400::HandleMidi(const MidiMessage& message)
{
    GetEngine().HandleMidi(message);
}

void ZR4400::AllNotesOff()
{
    GetEngine().AllNotesOff();
}

bool ZR4400::SerializeProgramState(ChunkBuffer& chunk)
{
    return ProgramState::Serialize(*this, chunk);
}

int ZR4400::UnserializeProgramState(const ChunkBuffer& chunk, int pos)
{
    pos = ProgramState::Unserialize(*this, chunk, pos);
    mCore.ProgramLoaded();
    return pos;
}

void ZR4400::InitProgram()
{
    ScopedLock lock(Mutex());
    Synth::InitProgram();
    mCore.ProgramLoaded();
}

int ZR4400::EngineLink::MappedParameter(int controller) const
{
    const int parameter = mPlug.Synth::MappedParameter(controller);
    return parameter >= 0 && parameter < mPlug.NParams() ? parameter : kNone;
}

double ZR4400::EngineLink::NormalizedValue(int parameter) const
{
    const IParameter* param = mPlug.GetParam(parameter);
    return param ? param->GetNormalized() : 0.0;
}

void ZR4400::EngineLink::ChangeParamFromController(int parameter, double normalized)
{
    mPlug.ChangeParam(parameter, normalized, ParamSource::Controller);
}

} // namespace zr
