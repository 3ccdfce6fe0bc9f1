#include "plugin/IPlugBase.h"

#include "common/Sanitize.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zr
{

namespace
{

std::string BoundedIdentity(std::string_view text)
{
    return std::string(text.substr(0, IPlugBase::kMaxIdentityLength));
}

void ResizeScratch(std::vector<ChannelRecord>& channels, int frames)
{
    for (ChannelRecord& channel : channels)
    {
        channel.scratch.assign(static_cast<size_t>(frames), 0.0);
        channel.data = channel.scratch.data();
    }
}
} // namespace

IPlugBase::IPlugBase(int nParams, std::string_view channelIOText, int nPresets, std::string_view effectName,
                     std::string_view productName, std::string_view vendorName, int32_t version,
                     int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks, bool isInstrument)
    : ParamStore(nParams), mPresets(static_cast<size_t>(std::max(nPresets, 0))),
      mEffectName(BoundedIdentity(effectName)), mProductName(BoundedIdentity(productName)),
      mVendorName(BoundedIdentity(vendorName)), mUniqueId(uniqueId), mVersion(version), mDoesMidi(doesMidi),
      mDoesStateChunks(doesStateChunks), mIsInstrument(isInstrument), mLatency(latency),
      mChannelIO(ParseChannelIO(channelIOText))
{
    for (PresetEntry& slot : mPresets)
    {
        slot.SetName(kEmptySlotName);
    }
    int nInputs = 0;
    int nOutputs = 0;
    for (const ChannelIO& io : mChannelIO)
    {
        nInputs = std::max(nInputs, io.inputs);
        nOutputs = std::max(nOutputs, io.outputs);
    }
    mInChannels.resize(static_cast<size_t>(nInputs));
    mOutChannels.resize(static_cast<size_t>(nOutputs));
    mBlockSize = kDefaultBlockSize;
    ResizeScratch(mInChannels, mBlockSize);
    ResizeScratch(mOutChannels, mBlockSize);
}

void IPlugBase::SetUp()
{
    Lock lock(mMutex);
}

void IPlugBase::ParamChanged(int index)
{
    Lock lock(mMutex);
    static_cast<void>(index);
}

void IPlugBase::ProcessAudio(double** inputs, double** outputs, int frames)
{
    if (!outputs || frames <= 0)
    {
        return;
    }
    const auto count = static_cast<size_t>(frames);
    for (int i = 0; i < NOutChannels(); ++i)
    {
        if (!outputs[i])
        {
            continue;
        }
        if (inputs && i < NInChannels() && inputs[i])
        {
            std::memmove(outputs[i], inputs[i], count * sizeof(double));
        }
        else
        {
            std::fill_n(outputs[i], count, 0.0);
        }
    }
}

void IPlugBase::SetActive(bool active)
{
    Lock lock(mMutex);
    static_cast<void>(active);
}

void IPlugBase::HandleMidi(const MidiMessage& message)
{
    SendMidiToHost(message);
}

bool IPlugBase::GetNoteName(int note, std::string& text)
{
    static_cast<void>(note);
    text.clear();
    return false;
}

void IPlugBase::SetParamFromEditor(int index, double normalized)
{
    ChangeParam(index, normalized, ParamSource::Editor);
}

void IPlugBase::ChangeParam(int index, double normalized, ParamSource source)
{
    Lock lock(mMutex);
    IParameter* param = GetParam(index);
    if (!param)
    {
        return;
    }
    const double x = NanAsZeroClamped(normalized, 0.0, 1.0);
    param->SetFromNormalized(x);
    CommitParamChange(index, x, source);
}

void IPlugBase::ChangeParamValue(int index, double value, ParamSource source)
{
    Lock lock(mMutex);
    IParameter* param = GetParam(index);
    if (!param)
    {
        return;
    }
    param->Set(NanAsZeroClamped(value, param->Min(), param->Max()));
    CommitParamChange(index, param->GetNormalized(), source);
}

void IPlugBase::ApplyLoadedParams()
{
    Lock lock(mMutex);
    for (int i = 0; i < NParams(); ++i)
    {
        CommitParamChange(i, GetParam(i)->GetNormalized(), ParamSource::Program);
    }
}

void IPlugBase::CommitParamChange(int index, double normalized, ParamSource source)
{
    ParamChanged(index);
    if (TellsHost(source))
    {
        NotifyHostParamChange(index, normalized);
    }
    if (TellsEditor(source) && mEditor)
    {
        mEditor->PushParamToControls(index, GetParam(index)->GetNormalized(), true);
    }
}

void IPlugBase::AttachEditor(std::unique_ptr<IEditorLink> editor)
{
    Lock lock(mMutex);
    if (!editor)
    {
        return;
    }
    for (int i = 0; i < NParams(); ++i)
    {
        editor->PushParamToControls(i, GetParam(i)->GetNormalized(), true);
    }
    editor->PrepareDraw();
    mEditor = std::move(editor);
}

void IPlugBase::RefreshParamControls()
{
    if (!mEditor)
    {
        return;
    }
    for (int i = 0; i < NParams(); ++i)
    {
        mEditor->PushParamToControls(i, GetParam(i)->Value(), false);
    }
}

void IPlugBase::ApplySampleRate(double rate)
{
    if (std::isfinite(rate) && rate > 0.0)
    {
        mSampleRate = rate;
    }
}

void IPlugBase::ApplyBlockSize(int frames)
{
    frames = std::min(frames, kMaxBlockSize);
    if (frames < 1 || frames == mBlockSize)
    {
        return;
    }
    mBlockSize = frames;
    ResizeScratch(mInChannels, frames);
    ResizeScratch(mOutChannels, frames);
}

void IPlugBase::AllParamsChanged()
{
    for (int i = 0; i < NParams(); ++i)
    {
        ParamChanged(i);
    }
}

void IPlugBase::NotifyHostAllParams()
{
    Lock lock(mMutex);
    for (int i = 0; i < NParams(); ++i)
    {
        NotifyHostParamChange(i, GetParam(i)->GetNormalized());
    }
}

bool IPlugBase::SerializeParams(ChunkBuffer& chunk)
{
    Lock lock(mMutex);
    WriteParamValues(chunk);
    return chunk.Size() > 0;
}

int IPlugBase::UnserializeParams(const ChunkBuffer& chunk, int pos)
{
    Lock lock(mMutex);
    pos = ReadParamValues(chunk, pos);
    ApplyLoadedParams();
    return pos;
}

void IPlugBase::WriteParamValues(ChunkBuffer& chunk) const
{
    for (int i = 0; i < NParams(); ++i)
    {
        chunk.PutDouble(GetParam(i)->Value());
    }
}

int IPlugBase::ReadParamValues(const ChunkBuffer& chunk, int pos)
{
    for (int i = 0; i < NParams() && pos >= 0; ++i)
    {
        IParameter& param = *GetParam(i);
        double value = 0.0;
        pos = chunk.GetDouble(&value, pos);
        param.Set(std::isfinite(value) ? value : param.Default());
    }
    return pos;
}

PresetEntry* IPlugBase::GetPreset(int index)
{
    return index >= 0 && index < NPresets() ? &mPresets[static_cast<size_t>(index)] : nullptr;
}

std::string_view IPlugBase::GetPresetName(int index) const
{
    return index >= 0 && index < NPresets() ? std::string_view(mPresets[static_cast<size_t>(index)].name)
                                            : std::string_view();
}

int IPlugBase::CountUserPresets() const
{
    return static_cast<int>(std::count_if(mPresets.begin(), mPresets.end(),
                                          [](const PresetEntry& slot)
                                          { return slot.name.find(kUserPresetName) != std::string::npos; }));
}

bool IPlugBase::StoreCurrentState(PresetEntry& slot)
{
    // Emptied first: a slot marked uninitialised by a bank may still hold an older state.
    slot.chunk.Clear();
    return SerializeProgramState(slot.chunk);
}

bool IPlugBase::SelectPreset(int index)
{
    PresetEntry* slot = GetPreset(index);
    if (!slot)
    {
        return false;
    }
    bool ok = false;
    if (slot->initialized)
    {
        ok = UnserializeProgramState(slot->chunk, 0) > 0;
    }
    else
    {
        slot->initialized = true;
        slot->SetName(std::string(kUserPresetName) + " " + std::to_string(CountUserPresets() + 1));
        ok = StoreCurrentState(*slot);
    }
    if (ok)
    {
        mCurrentPreset = index;
        PresetsChanged();
    }
    return ok;
}

void IPlugBase::ModifyCurrentPreset(std::string_view name)
{
    PresetEntry* slot = GetPreset(mCurrentPreset);
    if (!slot)
    {
        return;
    }
    StoreCurrentState(*slot);
    if (!name.empty())
    {
        slot->SetName(name);
    }
}

void IPlugBase::FillEmptyPresets(int count)
{
    for (int n = 0; n < count; ++n)
    {
        const auto empty = std::find_if(mPresets.begin(), mPresets.end(),
                                        [](const PresetEntry& slot) { return !slot.initialized; });
        if (empty == mPresets.end())
        {
            return;
        }
        empty->initialized = true;
        empty->SetName(kFilledSlotName);
        StoreCurrentState(*empty);
    }
}

bool IPlugBase::SerializePresets(ChunkBuffer& chunk) const
{
    bool ok = true;
    for (const PresetEntry& slot : mPresets)
    {
        chunk.PutString(slot.name);
        chunk.PutBool(slot.initialized);
        if (slot.initialized)
        {
            chunk.PutChunk(slot.chunk);
        }
        ok = ok && chunk.Size() > 0;
    }
    return ok;
}

int IPlugBase::UnserializePresets(const ChunkBuffer& chunk, int pos)
{
    for (PresetEntry& slot : mPresets)
    {
        if (pos < 0)
        {
            break;
        }
        std::string name = slot.name;
        pos = chunk.GetString(&name, pos);
        slot.SetName(name);
        pos = chunk.GetBool(&slot.initialized, pos);
        // A bank cut off before the flag must not read a state from position -1.
        if (pos >= 0 && slot.initialized)
        {
            pos = UnserializeProgramState(chunk, pos);
            if (pos > 0)
            {
                StoreCurrentState(slot);
            }
        }
    }
    SelectPreset(mCurrentPreset);
    return pos;
}

void IPlugBase::StartChunk(ChunkBuffer& chunk)
{
    chunk.Clear();
    chunk.PutInt32(kChunkMagic);
    chunk.PutInt32(kChunkVersion);
}

int32_t IPlugBase::ReadChunkVersion(const ChunkBuffer& chunk, int& pos)
{
    int32_t magic = 0;
    const int afterMagic = chunk.GetInt32(&magic, pos);
    if (afterMagic < 0 || magic != kChunkMagic)
    {
        return 0;
    }
    int32_t version = 0;
    pos = chunk.GetInt32(&version, afterMagic);
    return pos < 0 ? 0 : version;
}

bool IPlugBase::LegalIO(int inputs, int outputs) const
{
    return std::any_of(mChannelIO.begin(), mChannelIO.end(),
                       [inputs, outputs](const ChannelIO& io) {
                           return (inputs == -1 || io.inputs == inputs) &&
                                  (outputs == -1 || io.outputs == outputs);
                       });
}

ChannelRecord* IPlugBase::GetInChannel(int index)
{
    return index >= 0 && index < NInChannels() ? &mInChannels[static_cast<size_t>(index)] : nullptr;
}

ChannelRecord* IPlugBase::GetOutChannel(int index)
{
    return index >= 0 && index < NOutChannels() ? &mOutChannels[static_cast<size_t>(index)] : nullptr;
}

int32_t IPlugBase::GetEffectVersion(bool decimal) const
{
    if (!decimal)
    {
        return mVersion;
    }
    const int32_t major = (mVersion >> 16) & 0xFFFF;
    const int32_t minor = (mVersion >> 8) & 0xFF;
    const int32_t release = mVersion & 0xFF;
    return major * 10000 + minor * 100 + release;
}

} // namespace zr
