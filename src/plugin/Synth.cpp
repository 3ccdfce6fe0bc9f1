#include "plugin/Synth.h"

#include "editor/graphics/IGraphics.h"
#include "platform/CurlHttpFetcher.h"
#include "platform/headless/HeadlessPlatform.h"
#include "plugin/FactoryBank.h"
#include "platform/IHttpFetcher.h"
#include "plugin/ILearnSwitch.h"
#include "plugin/UpdateCheck.h"

#include <mutex>
#include <string>

namespace zr
{

namespace
{
using ScopedLock = std::lock_guard<std::recursive_mutex>;
} // namespace

Synth::Synth(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText, int nPresets,
             std::string_view effectName, std::string_view productName, std::string_view vendorName,
             int32_t version, int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks,
             bool isInstrument)
    : IPlugVST(hostCallback, nParams, channelIOText, nPresets, effectName, productName, vendorName, version,
               uniqueId, latency, doesMidi, doesStateChunks, isInstrument),
      // Without a window the panel is drawn and presented into memory.
      mPendingGraphics(std::make_unique<IGraphics>(*this, kEditorWidth, kEditorHeight, kEditorFps,
                                                   std::make_unique<HeadlessPlatform>())),
      mGraphics(mPendingGraphics.get()), updateSite_(UpdateSite::OfBuild()),
      updateFetcher_(std::make_unique<platform::CurlHttpFetcher>())
{
}

Synth::~Synth() = default;

void Synth::BuildAndAttachEditor()
{
    BuildPanel(*mGraphics);
    AttachEditor(std::move(mPendingGraphics));
    SetEditorSize(mGraphics->Width(), mGraphics->Height());
}

void Synth::SetUp()
{
    ScopedLock lock(Mutex());
    IPlugVST::SetUp();
    DisarmLearn();
}

void Synth::ParamChanged(int index)
{
    ScopedLock lock(Mutex());
    IPlugVST::ParamChanged(index);
    if (mLearnArmed && index >= 0 && index < NParams())
    {
        mLearnedParameter = index;
        LearnStep();
    }
}

void Synth::SetActive(bool active)
{
    ScopedLock lock(Mutex());
    IPlugVST::SetActive(active);
    if (active)
    {
        AllParamsChanged();
    }
}

bool Synth::LoadStartupBank()
{
    return FactoryBank::LoadStartupBank(*this, mConfiguration);
}

void Synth::InitProgram()
{
    ScopedLock lock(Mutex());
    // Each parameter changes as from the editor (ParamChanged runs, the host hears of it), but
    // takes its default exactly: the way through the normalised position would round some
    // defaults of shaped parameters.
    for (int i = 0; i < NParams(); ++i)
    {
        ChangeParamValue(i, GetParam(i)->Default(), ParamSource::Editor);
    }
    ModifyCurrentPreset(kInitProgramName);
    RefreshParamControls();
    NotifyHostAllParams();
}

void Synth::SetMessageBox(IMessageBox* messages)
{
    mMessages.SetTarget(messages ? *messages : mHeadlessMessages);
}

bool Synth::ReloadStartupBankFromMenu()
{
    return FactoryBank::ReloadStartupBankFromMenu(*this, mConfiguration, mMessages);
}

void Synth::SetLearnSwitch(ILearnSwitch* learnSwitch)
{
    ScopedLock lock(Mutex());
    mLearnSwitch = learnSwitch;
}

void Synth::ArmLearn(bool unlearn)
{
    ScopedLock lock(Mutex());
    mLearnArmed = true;
    mUnlearnMode = unlearn;
    mLearnedController = kNone;
    mLearnedParameter = kNone;
}

void Synth::DisarmLearn()
{
    ScopedLock lock(Mutex());
    mLearnArmed = false;
    mUnlearnMode = false;
}

void Synth::LearnController(int controller)
{
    if (mLearnArmed && controller >= 0 && controller < kNumControllers)
    {
        mLearnedController = controller;
        LearnStep();
    }
}

void Synth::LearnStep()
{
    if (!mUnlearnMode)
    {
        if (mLearnedController != kNone && mLearnedParameter != kNone)
        {
            mConfiguration.UnmapParameter(mLearnedParameter);
            MapController(mLearnedController, mLearnedParameter);
            DisarmLearn();
        }
    }
    else if (mLearnedController != kNone)
    {
        MapController(mLearnedController, kNone);
        DisarmLearn();
    }
    else if (mLearnedParameter != kNone)
    {
        mConfiguration.UnmapParameter(mLearnedParameter);
        DisarmLearn();
    }
    if (!mLearnArmed && mLearnSwitch)
    {
        mLearnSwitch->SwitchOff();
    }
}

void Synth::CopyProgram()
{
    ScopedLock lock(Mutex());
    ModifyCurrentPreset();
    mCopiedProgram = GetCurrentPresetIdx();
    mClipboard.Clear();
    SerializeProgramState(mClipboard);
}

bool Synth::PasteProgram()
{
    ScopedLock lock(Mutex());
    if (mClipboard.Size() == 0)
    {
        return false;
    }
    UnserializeProgramState(mClipboard, 0);
    // An invalid index gives "", which keeps the current name.
    const std::string name(GetPresetName(mCopiedProgram));
    ModifyCurrentPreset(name);
    NotifyHostAllParams();
    return true;
}

void Synth::SelectProgramFromEditor(int index)
{
    ScopedLock lock(Mutex());
    ModifyCurrentPreset();
    SelectPreset(index);
    NotifyHostProgramChange();
    NotifyHostAllParams();
}

void Synth::SelectPreviousProgram()
{
    ScopedLock lock(Mutex());
    const int current = GetCurrentPresetIdx();
    SelectProgramFromEditor(current > 0 ? current - 1 : NPresets() - 1);
}

void Synth::SelectNextProgram()
{
    ScopedLock lock(Mutex());
    const int current = GetCurrentPresetIdx();
    SelectProgramFromEditor(current + 1 < NPresets() ? current + 1 : 0);
}

bool Synth::PasteProgramFromMenu()
{
    return AskUnlessNo(kPasteQuestion, kPasteTitle) && PasteProgram();
}

bool Synth::InitProgramFromMenu()
{
    if (!AskUnlessNo(kInitQuestion, kInitTitle))
    {
        return false;
    }
    InitProgram();
    return true;
}

int Synth::CheckOnlineForUpdate(IGraphics& graphics)
{
    return UpdateCheck(updateSite_, *updateFetcher_).Run(graphics);
}

void Synth::SetUpdateSource(const UpdateSite& site, std::unique_ptr<IHttpFetcher> fetcher)
{
    updateSite_ = site;
    if (fetcher) updateFetcher_ = std::move(fetcher);
}

bool Synth::AskUnlessNo(std::string_view question, std::string_view title)
{
    return mMessages.Show(question, title, MessageBoxButtons::YesNoCancel) != MessageBoxAnswer::No;
}

} // namespace zr
