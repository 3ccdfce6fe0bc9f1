#include "plugin/IPlugVST.h"

#include "plugin/DenormalGuard.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <type_traits>

namespace zr
{

namespace
{

using ScopedLock = std::lock_guard<std::recursive_mutex>;

struct HostKindEntry
{
    std::string_view substring;
    int kind;
};

// Searched in this order; the first substring found in the product string gives the kind.
constexpr std::array<HostKindEntry, 26> kHostKinds{{
    {"cubase", 3},      {"reaper", 1},      {"nuendo", 4},
    {"cakewalk", 5},    {"samplitude", 8},  {"fruity", 7},
    {"live", 9},        {"melodyne", 12},   {"vstmanlib", 13},
    {"aulab", 14},      {"garageband", 22}, {"forte", 15},
    {"chainer", 16},    {"audition", 17},   {"orion", 18},
    {"sawstudio", 20},  {"logic", 21},      {"digital", 23},
    {"audiomulch", 25}, {"presonus", 26},   {"vst3plugintesthost", 27},
    {"protools", 2},    {"ardour", 28},     {"openmpt", 30},
    {"renoise", 29},    {"standalone", 24},
}};

constexpr std::string_view kForcingVendors[] = {"native instruments", "juce vst host"};

std::string ToLower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c)
                   { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
    return lower;
}

// Copies text into a host buffer of size bytes, cut so that the terminator fits.
void CopyText(void* destination, std::string_view text, size_t size)
{
    if (!destination || size == 0)
    {
        return;
    }
    const size_t length = std::min(text.size(), size - 1);
    auto* out = static_cast<char*>(destination);
    if (length > 0)
    {
        std::memcpy(out, text.data(), length);
    }
    out[length] = '\0';
}

// A text from a host pointer, read up to its terminator or kMaxHostTextLength characters.
std::string_view HostText(const void* text)
{
    const auto* chars = static_cast<const char*>(text);
    return {chars, strnlen(chars, IPlugVST::kMaxHostTextLength)};
}

// An index argument that does not fit an int becomes -1 (out of range everywhere).
int ToIndex(std::intptr_t value)
{
    return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
               ? static_cast<int>(value)
               : -1;
}

// The decimal number at the start of text (leading blanks skipped); 0 when there is none, like the
// C library conversion, but independent of the process locale.
double ParseDecimal(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\n\r\f\v");
    if (first == std::string_view::npos)
    {
        return 0.0;
    }
    text.remove_prefix(first);
    if (!text.empty() && text.front() == '+')
    {
        text.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() ? value : 0.0;
}

int32_t SpeakerArrangementType(int channels)
{
    switch (channels)
    {
    case 0:
        return vst::kSpeakerArrEmpty;
    case 1:
        return vst::kSpeakerArrMono;
    case 2:
        return vst::kSpeakerArrStereo;
    default:
        return vst::kSpeakerArrUserDefined;
    }
}

void InitSpeakers(vst::VstSpeakerArrangement& arrangement, int channels)
{
    arrangement.type = SpeakerArrangementType(channels);
    arrangement.numChannels = channels;
}

} // namespace

IPlugVST::IPlugVST(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText,
                   int nPresets, std::string_view effectName, std::string_view productName,
                   std::string_view vendorName, int32_t version, int32_t uniqueId, int latency, bool doesMidi,
                   bool doesStateChunks, bool isInstrument)
    : IPlugBase(nParams, channelIOText, nPresets, effectName, productName, vendorName, version, uniqueId,
                latency, doesMidi, doesStateChunks, isInstrument),
      mHostCallback(hostCallback), mInputPointers(static_cast<size_t>(NInChannels()), nullptr),
      mOutputPointers(static_cast<size_t>(NOutChannels()), nullptr)
{
    mAEffect.magic = vst::kEffectMagic;
    mAEffect.dispatcher = &VSTDispatcher;
    mAEffect.process = &VSTProcess;
    mAEffect.processReplacing = &VSTProcessReplacing;
    mAEffect.processDoubleReplacing = &VSTProcessDoubleReplacing;
    mAEffect.setParameter = &VSTSetParameter;
    mAEffect.getParameter = &VSTGetParameter;
    mAEffect.numPrograms = NPresets();
    mAEffect.numParams = NParams();
    mAEffect.numInputs = NInChannels();
    mAEffect.numOutputs = NOutChannels();
    mAEffect.flags = vst::effFlagsCanReplacing | vst::effFlagsCanDoubleReplacing;
    if (doesStateChunks)
    {
        mAEffect.flags |= vst::effFlagsProgramChunks;
    }
    if (isInstrument)
    {
        mAEffect.flags |= vst::effFlagsIsSynth;
    }
    if (LegalIO(1, -1))
    {
        mAEffect.flags |= vst::effFlagsCanMono;
    }
    mAEffect.initialDelay = latency;
    mAEffect.ioRatio = 1.0f;
    mAEffect.object = this;
    mAEffect.uniqueID = uniqueId;
    mAEffect.version = GetEffectVersion(true);

    InitSpeakers(mInputSpeakers, NInChannels());
    InitSpeakers(mOutputSpeakers, NOutChannels());
    ConnectChannels(true, NInChannels());
    ConnectChannels(false, NOutChannels());
}

IPlugVST* IPlugVST::FromAEffect(vst::AEffect* effect)
{
    return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

int IPlugVST::HostKindFromProductString(std::string_view product)
{
    const std::string lower = ToLower(product);
    for (const HostKindEntry& entry : kHostKinds)
    {
        if (lower.find(entry.substring) != std::string::npos)
        {
            return entry.kind;
        }
    }
    return 0;
}

// ---- Host calls -------------------------------------------------------------------------------

std::intptr_t IPlugVST::CallHost(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                 float opt) const
{
    return mHostCallback ? mHostCallback(const_cast<vst::AEffect*>(&mAEffect), opcode, index, value, ptr, opt)
                         : 0;
}

std::string IPlugVST::AskHostString(std::int32_t opcode) const
{
    std::array<char, kHostStringBufferSize> buffer{};
    CallHost(opcode, 0, 0, buffer.data());
    buffer.back() = '\0';
    return buffer.data();
}

void IPlugVST::BeginParamEdit(int index)
{
    CallHost(vst::audioMasterBeginEdit, index);
}

void IPlugVST::EndParamEdit(int index)
{
    CallHost(vst::audioMasterEndEdit, index);
}

void IPlugVST::NotifyHostParamChange(int index, double normalized)
{
    CallHost(vst::audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::NotifyHostProgramChange()
{
    CallHost(vst::audioMasterUpdateDisplay);
}

bool IPlugVST::GetHostTime(HostTimeInfo& info)
{
    const auto* time =
        reinterpret_cast<const vst::VstTimeInfo*>(CallHost(vst::audioMasterGetTime, 0, kTimeInfoRequest));
    if (!time)
    {
        return false;
    }
    const int32_t flags = time->flags;
    info.samplePosition = time->samplePos;
    if ((flags & vst::kVstTempoValid) && std::isfinite(time->tempo) && time->tempo > 0.0)
    {
        info.tempo = time->tempo;
    }
    if ((flags & vst::kVstPpqPosValid) && time->ppqPos >= 0.0)
    {
        info.musicalPosition = time->ppqPos;
    }
    if ((flags & vst::kVstBarsValid) && time->barStartPos >= 0.0)
    {
        info.lastBar = time->barStartPos;
    }
    if ((flags & vst::kVstCyclePosValid) && time->cycleStartPos >= 0.0 && time->cycleEndPos >= 0.0)
    {
        info.cycleStart = time->cycleStartPos;
        info.cycleEnd = time->cycleEndPos;
    }
    if ((flags & vst::kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0)
    {
        info.numerator = time->timeSigNumerator;
        info.denominator = time->timeSigDenominator;
    }
    info.playing = (flags & vst::kVstTransportPlaying) != 0;
    info.cycling = (flags & vst::kVstTransportCycleActive) != 0;
    return true;
}

bool IPlugVST::SendMidiToHost(const MidiMessage& message)
{
    vst::VstMidiEvent event{};
    event.type = vst::kVstMidiType;
    event.byteSize = sizeof(vst::VstMidiEvent);
    event.deltaFrames = message.offset;
    event.midiData[0] = static_cast<char>(message.status);
    event.midiData[1] = static_cast<char>(message.data1);
    event.midiData[2] = static_cast<char>(message.data2);
    vst::VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<vst::VstEvent*>(&event);
    return CallHost(vst::audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPlugVST::IsRenderingOffline()
{
    return CallHost(vst::audioMasterGetCurrentProcessLevel) == vst::kVstProcessLevelOffline;
}

int IPlugVST::GetHost()
{
    if (IPlugBase::GetHost() == -1)
    {
        SetHost(HostKindFromProductString(AskHostString(vst::audioMasterGetProductString)));
    }
    return IPlugBase::GetHost();
}

void IPlugVST::IdentifyHostOnce()
{
    if (mHostSetUpDone)
    {
        return;
    }
    mHostSetUpDone = true;
    const int kind = GetHost();
    if (std::find(std::begin(kStereoOnlyHosts), std::end(kStereoOnlyHosts), kind) !=
        std::end(kStereoOnlyHosts))
    {
        for (int i = kStereoChannels; i < NInChannels(); ++i)
        {
            GetInChannel(i)->connected = false;
        }
        for (int i = kStereoChannels; i < NOutChannels(); ++i)
        {
            GetOutChannel(i)->connected = true;
        }
    }
    mAEffect.numInputs = NInChannels();
    mAEffect.numOutputs = NOutChannels();
    OnHostIdentified();
}

void IPlugVST::AttachEditor(std::unique_ptr<IEditorLink> editor)
{
    ScopedLock lock(Mutex());
    IPlugBase::AttachEditor(std::move(editor));
    if (GetEditor())
    {
        mAEffect.flags |= vst::effFlagsHasEditor;
    }
}

void IPlugVST::SetEditorSize(int width, int height)
{
    mEditorRect = {0, 0, static_cast<std::int16_t>(height), static_cast<std::int16_t>(width)};
}

bool IPlugVST::ForcesProgramChunks()
{
    if (!mForcesProgramChunks)
    {
        const std::string vendor = ToLower(AskHostString(vst::audioMasterGetVendorString));
        mForcesProgramChunks = std::find(std::begin(kForcingVendors), std::end(kForcingVendors), vendor) !=
                               std::end(kForcingVendors);
    }
    return *mForcesProgramChunks;
}

// ---- Chunks, events, texts --------------------------------------------------------------------

std::intptr_t IPlugVST::GetChunk(std::int32_t index, void** data)
{
    if (!data)
    {
        return 0;
    }
    const bool bank = index == 0 && !ForcesProgramChunks();
    ChunkBuffer& chunk = bank ? mBankChunk : mProgramChunk;
    StartChunk(chunk);
    bool ok = false;
    if (bank)
    {
        ModifyCurrentPreset();
        ok = SerializePresets(chunk);
    }
    else
    {
        ok = SerializeProgramState(chunk);
        chunk.PutString(GetPresetName(GetCurrentPresetIdx()));
    }
    if (!ok || chunk.Size() == 0)
    {
        return 0;
    }
    *data = const_cast<uint8_t*>(chunk.Data());
    return chunk.Size();
}

std::intptr_t IPlugVST::SetChunk(std::int32_t index, const void* data, std::intptr_t size)
{
    if (!data || size <= 0 || size > std::numeric_limits<int>::max())
    {
        return 0;
    }
    const int bytes = static_cast<int>(size);
    const bool forced = ForcesProgramChunks();
    const bool bankKind = index == 0 && !forced;
    ChunkBuffer& chunk = bankKind ? mBankChunk : mProgramChunk;
    chunk.Assign(data, bytes);
    int pos = 0;
    const int32_t version = ReadChunkVersion(chunk, pos);
    if (bankKind && version >= kChunkVersion)
    {
        pos = UnserializePresets(chunk, pos);
    }
    else
    {
        pos = UnserializeProgramState(chunk, pos);
        std::string name;
        if (pos >= 0 && pos < bytes)
        {
            pos = chunk.GetString(&name, pos);
        }
        ModifyCurrentPreset(name);
    }
    if (forced && pos != bytes)
    {
        // These hosts may hand back a bank chunk even though they were given program chunks.
        mBankChunk.Assign(data, bytes);
        pos = 0;
        if (ReadChunkVersion(mBankChunk, pos) >= kChunkVersion)
        {
            pos = UnserializePresets(mBankChunk, pos);
        }
    }
    if (pos < 0)
    {
        return 0;
    }
    RefreshParamControls();
    return 1;
}

std::intptr_t IPlugVST::ProcessEvents(const vst::VstEvents* events)
{
    if (!events)
    {
        return 0;
    }
    vst::VstEvent* const* list = events->events;
    // An offset belongs to the coming block: one outside the announced block size is a host fault
    // and is moved to the nearest frame of the block, so no event waits in the queue for later
    // blocks (where it would outlive an all-notes-off).
    const int lastFrame = std::max(GetBlockSize() - 1, 0);
    const auto offsetInBlock = [lastFrame](int32_t deltaFrames)
    { return std::clamp(deltaFrames, 0, lastFrame); };
    for (int32_t i = 0; i < events->numEvents; ++i)
    {
        const vst::VstEvent* event = list[i];
        if (!event)
        {
            continue;
        }
        if (event->type == vst::kVstMidiType)
        {
            const auto* midi = reinterpret_cast<const vst::VstMidiEvent*>(event);
            MidiMessage message;
            message.offset = offsetInBlock(midi->deltaFrames);
            message.status = static_cast<uint8_t>(midi->midiData[0]);
            message.data1 = static_cast<uint8_t>(midi->midiData[1]);
            message.data2 = static_cast<uint8_t>(midi->midiData[2]);
            HandleMidi(message);
        }
        else if (event->type == vst::kVstSysExType)
        {
            const auto* sysex = reinterpret_cast<const vst::VstMidiSysexEvent*>(event);
            SysExMessage message;
            message.offset = offsetInBlock(sysex->deltaFrames);
            message.data = reinterpret_cast<const uint8_t*>(sysex->sysexDump);
            message.size = message.data ? std::max(sysex->dumpBytes, 0) : 0;
            HandleSysEx(message);
        }
    }
    return 1;
}

std::intptr_t IPlugVST::String2Parameter(std::int32_t index, const char* text)
{
    IParameter* param = GetParam(index);
    if (!param)
    {
        return 0;
    }
    if (!text)
    {
        return 1;
    }
    return SetParamFromText(*param, index, HostText(text));
}

std::intptr_t IPlugVST::SetParamFromText(IParameter& param, int index, std::string_view text)
{
    double value = 0.0;
    if (param.DisplayTexts().empty())
    {
        value = ParseDecimal(text);
    }
    else if (!param.MapDisplayText(text, &value))
    {
        return 0;
    }
    if (IEditorLink* editor = GetEditor())
    {
        editor->PushParamToControls(index, value, false);
    }
    param.Set(value);
    ParamChanged(index);
    return 1;
}

std::intptr_t IPlugVST::CanDo(const char* text) const
{
    if (!text)
    {
        return 0;
    }
    const std::string_view question = HostText(text);
    if (question == "receiveVstTimeInfo")
    {
        return 1;
    }
    if (DoesMidi() && (question == "sendVstEvents" || question == "sendVstMidiEvent" ||
                       question == "receiveVstEvents" || question == "receiveVstMidiEvent"))
    {
        return 1;
    }
    if (question == "hasCockosExtensions" || question == "hasCockosViewAsConfig")
    {
        return kCockosAnswer;
    }
    return 0;
}

std::intptr_t IPlugVST::PinProperties(bool input, std::int32_t index, vst::VstPinProperties* properties)
{
    const int count = input ? NInChannels() : NOutChannels();
    if (!properties || index < 0 || index >= count)
    {
        return 0;
    }
    properties->flags = vst::kVstPinIsActive;
    if (index % 2 == 0 && index + 1 < count)
    {
        properties->flags |= vst::kVstPinIsStereo;
    }
    std::snprintf(properties->label, sizeof(properties->label), "%s %d", input ? "Input" : "Output",
                  index + 1);
    return 1;
}

void IPlugVST::ConnectChannels(bool input, int count)
{
    const int channels = input ? NInChannels() : NOutChannels();
    for (int i = 0; i < channels; ++i)
    {
        ChannelRecord* channel = input ? GetInChannel(i) : GetOutChannel(i);
        channel->connected = i < count;
        if (!channel->connected)
        {
            channel->data = channel->scratch.data();
        }
    }
}

std::intptr_t IPlugVST::SetSpeakerArrangement(const vst::VstSpeakerArrangement* inputs,
                                              const vst::VstSpeakerArrangement* outputs)
{
    if (inputs)
    {
        ConnectChannels(true, inputs->numChannels);
    }
    if (outputs)
    {
        ConnectChannels(false, outputs->numChannels);
    }
    return 1;
}

std::intptr_t IPlugVST::VendorSpecific(std::int32_t index, std::intptr_t value, void* ptr, float opt)
{
    const IParameter* param = GetParam(ToIndex(value));
    if (index == kVendorSpecificDisplay && ptr)
    {
        if (param)
        {
            const double x = std::isnan(opt) ? 0.0 : static_cast<double>(opt);
            CopyText(ptr, param->GetDisplay(x, true, true), kParamTextSize);
        }
        return kVendorSpecificAnswer;
    }
    if (index == kVendorSpecificIsStepped && param && param->GetType() != IParameter::Type::Double)
    {
        return kVendorSpecificAnswer;
    }
    return 0;
}

std::intptr_t IPlugVST::GetMidiKeyName(vst::MidiKeyName* key)
{
    if (!key)
    {
        return 0;
    }
    key->keyName[0] = '\0';
    std::string name;
    if (!GetNoteName(key->thisKeyNumber, name))
    {
        return 0;
    }
    CopyText(key->keyName, name, sizeof(key->keyName));
    return 1;
}

// ---- Dispatcher -------------------------------------------------------------------------------

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

// ---- Processing -------------------------------------------------------------------------------

template <typename Sample>
void IPlugVST::PrepareSlice(Sample** inputs, Sample** outputs, int offset, int frames)
{
    constexpr bool kDouble = std::is_same_v<Sample, double>;
    const auto count = static_cast<size_t>(frames);
    int host = 0;
    for (int i = 0; i < NInChannels(); ++i)
    {
        ChannelRecord& channel = *GetInChannel(i);
        Sample* source = nullptr;
        if (channel.connected)
        {
            source = inputs && inputs[host] ? inputs[host] + offset : nullptr;
            ++host;
        }
        if constexpr (kDouble)
        {
            if (source)
            {
                channel.data = source;
                mInputPointers[static_cast<size_t>(i)] = channel.data;
                continue;
            }
        }
        channel.data = channel.scratch.data();
        if (source)
        {
            std::copy_n(source, count, channel.data);
        }
        else
        {
            std::fill_n(channel.data, count, 0.0);
        }
        mInputPointers[static_cast<size_t>(i)] = channel.data;
    }
    host = 0;
    for (int i = 0; i < NOutChannels(); ++i)
    {
        ChannelRecord& channel = *GetOutChannel(i);
        Sample* target = nullptr;
        if (channel.connected)
        {
            target = outputs && outputs[host] ? outputs[host] + offset : nullptr;
            ++host;
        }
        channel.data = channel.scratch.data();
        channel.hostBuffer = nullptr;
        if constexpr (kDouble)
        {
            if (target)
            {
                channel.data = target;
            }
        }
        else
        {
            channel.hostBuffer = target;
        }
        mOutputPointers[static_cast<size_t>(i)] = channel.data;
    }
}

void IPlugVST::FinishSlice(int frames, ProcessKind kind)
{
    if (kind == ProcessKind::ReplaceDouble)
    {
        return;
    }
    for (int i = 0; i < NOutChannels(); ++i)
    {
        const ChannelRecord& channel = *GetOutChannel(i);
        float* out = channel.hostBuffer;
        if (!out)
        {
            continue;
        }
        const double* in = channel.data;
        if (kind == ProcessKind::Accumulate)
        {
            for (int n = 0; n < frames; ++n)
            {
                out[n] += static_cast<float>(in[n]);
            }
        }
        else
        {
            for (int n = 0; n < frames; ++n)
            {
                out[n] = static_cast<float>(in[n]);
            }
        }
    }
}

template <typename Sample>
void IPlugVST::Process(Sample** inputs, Sample** outputs, int frames, ProcessKind kind)
{
    ScopedLock lock(Mutex());
    DenormalGuard denormals;
    if (DoesMidi())
    {
        CallHost(vst::audioMasterWantMidi);
    }
    frames = std::max(frames, 0);
    const int slice = GetBlockSize();
    int offset = 0;
    // A call with 0 frames still reaches the audio routine once, with 0 frames.
    do
    {
        const int n = std::min(slice, frames - offset);
        PrepareSlice(inputs, outputs, offset, n);
        ProcessAudio(mInputPointers.data(), mOutputPointers.data(), n);
        FinishSlice(n, kind);
        offset += n;
    } while (offset < frames);
}

// ---- Callbacks given to the host --------------------------------------------------------------

std::intptr_t IPlugVST::VSTDispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                      std::intptr_t value, void* ptr, float opt)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return 0;
    }
    if (opcode == vst::effClose)
    {
        // Waits for a call in progress, then destroys the instance without holding its lock.
        {
            ScopedLock lock(plug->Mutex());
        }
        delete plug;
        return 0;
    }
    std::intptr_t result = 0;
    {
        ScopedLock lock(plug->Mutex());
        result = plug->Dispatch(opcode, index, value, ptr, opt);
    }
    // The window's events and timer without the lock: a menu or dialog opened from them waits for
    // the user, and audio blocks go on meanwhile.
    if (opcode == vst::effEditIdle)
    {
        if (IEditorLink* editor = plug->GetEditor()) editor->ServiceEditorWindow();
    }
    return result;
}

void IPlugVST::VSTProcess(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::Accumulate);
    }
}

void IPlugVST::VSTProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::Replace);
    }
}

void IPlugVST::VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                         std::int32_t frames)
{
    if (IPlugVST* plug = FromAEffect(effect))
    {
        plug->Process(inputs, outputs, frames, ProcessKind::ReplaceDouble);
    }
}

float IPlugVST::VSTGetParameter(vst::AEffect* effect, std::int32_t index)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return 0.0f;
    }
    ScopedLock lock(plug->Mutex());
    const IParameter* param = plug->GetParam(index);
    return param ? static_cast<float>(param->GetNormalized()) : 0.0f;
}

void IPlugVST::VSTSetParameter(vst::AEffect* effect, std::int32_t index, float value)
{
    IPlugVST* plug = FromAEffect(effect);
    if (!plug)
    {
        return;
    }
    ScopedLock lock(plug->Mutex());
    IParameter* param = plug->GetParam(index);
    if (!param)
    {
        return;
    }
    const double x = std::isnan(value) ? 0.0 : std::clamp(static_cast<double>(value), 0.0, 1.0);
    if (IEditorLink* editor = plug->GetEditor())
    {
        editor->PushParamToControls(index, x, true);
    }
    param->SetFromNormalized(x);
    plug->ParamChanged(index);
}

} // namespace zr
