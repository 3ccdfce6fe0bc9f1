#include "plugin/IPlugVST.h"

#include "plugin/HostText.h"

#include <algorithm>

namespace zr
{

std::intptr_t IPlugVST::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                 float opt)
{
    switch (opcode)
    {
    case vst::effOpen:
        IdentifyHostOnce();
        AllParamsChanged();
        return 0;
    case vst::effSetProgram:
        ModifyCurrentPreset();
        SelectPreset(ToIndex(value));
        return 0;
    case vst::effGetProgram:
        return GetCurrentPresetIdx();
    case vst::effSetProgramName:
        if (ptr)
        {
            ModifyCurrentPreset(HostText(ptr));
            PresetsChanged();
        }
        return 0;
    case vst::effGetProgramName:
        CopyText(ptr, GetPresetName(GetCurrentPresetIdx()), kProgramNameSize);
        return 0;
    case vst::effGetParamLabel:
        if (const IParameter* param = GetParam(index))
        {
            CopyText(ptr, param->GetLabelForHost(), kParamTextSize);
        }
        return 0;
    case vst::effGetParamDisplay:
        if (const IParameter* param = GetParam(index))
        {
            CopyText(ptr, param->GetDisplay(param->Value(), false, true), kParamTextSize);
        }
        return 0;
    case vst::effGetParamName:
        if (const IParameter* param = GetParam(index))
        {
            CopyText(ptr, param->Name(), kParamTextSize);
        }
        return 0;
    case vst::effSetSampleRate:
        ApplySampleRate(opt);
        SetUp();
        return 0;
    case vst::effSetBlockSize:
        ApplyBlockSize(static_cast<int>(std::clamp<std::intptr_t>(value, 0, kMaxBlockSize)));
        SetUp();
        return 0;
    case vst::effMainsChanged:
        SetActive(value != 0);
        if (value == 0)
        {
            SetUp();
        }
        return 0;
    case vst::effEditGetRect:
        if (ptr && GetEditor())
        {
            *static_cast<vst::ERect**>(ptr) = &mEditorRect;
            return 1;
        }
        return 0;
    case vst::effEditOpen:
        if (IEditorLink* editor = GetEditor(); editor && editor->OpenEditorWindow(ptr))
        {
            EditorOpened();
            return 1;
        }
        return 0;
    case vst::effEditClose:
        if (IEditorLink* editor = GetEditor())
        {
            EditorClosed();
            editor->CloseEditorWindow();
            return 1;
        }
        return 0;
    case vst::effEditIdle:
    case vst::effIdle:
        Idle();
        return 0;
    case vst::effIdentify:
        return vst::kEffectIdentify;
    case vst::effGetChunk:
        return GetChunk(index, static_cast<void**>(ptr));
    case vst::effSetChunk:
        return SetChunk(index, ptr, value);
    case vst::effProcessEvents:
        return ProcessEvents(static_cast<const vst::VstEvents*>(ptr));
    case vst::effCanBeAutomated:
        return 1;
    case vst::effString2Parameter:
        return String2Parameter(index, static_cast<const char*>(ptr));
    case vst::effGetProgramNameIndexed:
    {
        const std::string_view name = GetPresetName(index);
        CopyText(ptr, name, kProgramNameSize);
        return ptr && !name.empty() ? 1 : 0;
    }
    case vst::effGetInputProperties:
        return PinProperties(true, index, static_cast<vst::VstPinProperties*>(ptr));
    case vst::effGetOutputProperties:
        return PinProperties(false, index, static_cast<vst::VstPinProperties*>(ptr));
    case vst::effGetPlugCategory:
        return IsInstrument() ? vst::kPlugCategSynth : vst::kPlugCategEffect;
    case vst::effSetSpeakerArrangement:
        return SetSpeakerArrangement(reinterpret_cast<const vst::VstSpeakerArrangement*>(value),
                                     static_cast<const vst::VstSpeakerArrangement*>(ptr));
    case vst::effGetEffectName:
        CopyText(ptr, GetEffectName(), kEffectNameSize);
        return ptr ? 1 : 0;
    case vst::effGetVendorString:
        CopyText(ptr, GetVendorName(), kVendorTextSize);
        return ptr ? 1 : 0;
    case vst::effGetProductString:
        CopyText(ptr, GetProductName(), kVendorTextSize);
        return ptr ? 1 : 0;
    case vst::effGetVendorVersion:
        return GetEffectVersion(true);
    case vst::effVendorSpecific:
        return VendorSpecific(index, value, ptr, opt);
    case vst::effCanDo:
        return CanDo(static_cast<const char*>(ptr));
    case vst::effGetTailSize:
        return GetTailSize();
    case vst::effGetVstVersion:
        return vst::kVstVersion;
    case vst::effGetMidiKeyName:
        return GetMidiKeyName(static_cast<vst::MidiKeyName*>(ptr));
    case vst::effGetSpeakerArrangement:
        if (value)
        {
            *reinterpret_cast<vst::VstSpeakerArrangement**>(value) = &mInputSpeakers;
        }
        if (ptr)
        {
            *static_cast<vst::VstSpeakerArrangement**>(ptr) = &mOutputSpeakers;
        }
        return 1;
    default:
        return 0;
    }
}

} // namespace zr
