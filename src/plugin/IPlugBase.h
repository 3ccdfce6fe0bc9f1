#pragma once

#include "common/HostTimeInfo.h"
#include "common/MidiMessage.h"
#include "common/SysExMessage.h"
#include "plugin/ChannelIO.h"
#include "plugin/ChunkBuffer.h"
#include "plugin/IEditorLink.h"
#include "plugin/IParameter.h"
#include "plugin/ParamSource.h"
#include "plugin/ParamStore.h"
#include "plugin/PresetEntry.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace zr
{

// One audio channel as the audio routine sees it.
struct ChannelRecord
{
    // Set by the host adapter for channels that the host uses.
    bool connected = false;
    // Where the audio routine reads or writes this channel's samples.
    double* data = nullptr;
    // Block-size doubles owned by the record.
    std::vector<double> scratch;
    // Outputs: the host's single-precision buffer of the current call.
    float* hostBuffer = nullptr;
};

// The plug-in object that the host adapter and the editor talk to. It owns the parameters, the
// program slots, the channel records, the identity and the instance lock.
//
// Locking: one recursive lock per instance. The host adapter holds it for every dispatcher call,
// every process call and the parameter get/set callbacks. SetParamFromEditor, SerializeParams,
// UnserializeParams, NotifyHostAllParams and AttachEditor take it themselves, as do the base
// versions of SetUp, ParamChanged and SetActive. The program operations (SelectPreset,
// ModifyCurrentPreset, FillEmptyPresets, SerializePresets, UnserializePresets) and
// UnserializeProgramState expect their caller to hold it.
class IPlugBase : public ParamStore
{
public:
    static constexpr int32_t kChunkMagic = 0x70666674; // bytes "tffp"
    static constexpr int32_t kChunkVersion = 0x00010000;
    static constexpr int kDefaultBlockSize = 1024;
    // Scratch buffers never grow beyond this; larger host blocks are rendered in slices.
    static constexpr int kMaxBlockSize = 65536;
    static constexpr double kDefaultSampleRate = 44100.0;
    static constexpr size_t kMaxIdentityLength = 127;
    static constexpr int kApiVst2 = 0;
    static constexpr std::string_view kEmptySlotName = "empty";
    static constexpr std::string_view kFilledSlotName = "Empty";
    static constexpr std::string_view kUserPresetName = "user preset";

    IPlugBase(int nParams, std::string_view channelIOText, int nPresets, std::string_view effectName,
              std::string_view productName, std::string_view vendorName, int32_t version, int32_t uniqueId,
              int latency, bool doesMidi, bool doesStateChunks, bool isInstrument);
    virtual ~IPlugBase() = default;
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // ---- Hooks for the instrument -------------------------------------------------------------
    // Sample rate or block size changed, or the instance was switched off (dispatcher thread).
    virtual void SetUp();
    // Parameter index changed its value (any thread that changed it, including the audio thread
    // for MIDI-mapped controllers; called only with valid indexes).
    void ParamChanged(int index) override;
    // Renders frames samples (audio thread, lock held by the caller). The base copies input i to
    // output i and clears the outputs without an input.
    virtual void ProcessAudio(double** inputs, double** outputs, int frames);
    // Editor window opened or closed (user-interface thread).
    virtual void EditorOpened() {}
    virtual void EditorClosed() {}
    // Periodic idle call from the host (user-interface thread).
    virtual void Idle() {}
    // Host switched processing on or off (dispatcher thread, sometimes the audio thread).
    virtual void SetActive(bool active);
    // One MIDI event of the current block (audio thread). The base passes it on to the host.
    virtual void HandleMidi(const MidiMessage& message);
    // One system-exclusive event of the current block (audio thread); the base ignores it.
    virtual void HandleSysEx(const SysExMessage& message) { static_cast<void>(message); }
    // Name of a MIDI note (dispatcher thread); the base has none.
    virtual bool GetNoteName(int note, std::string& text);
    // Program state of the current parameters, appended to chunk (dispatcher or editor thread,
    // caller holds the lock; allocates).
    virtual bool SerializeProgramState(ChunkBuffer& chunk) { return SerializeParams(chunk); }
    // Loads a program state at pos; returns the next position or -1 (dispatcher or editor
    // thread, caller holds the lock).
    virtual int UnserializeProgramState(const ChunkBuffer& chunk, int pos)
    {
        return UnserializeParams(chunk, pos);
    }
    // End of IdentifyHostOnce (dispatcher thread).
    virtual void OnHostIdentified() {}
    // A control of the editor moved (editor thread; takes the lock): ChangeParam with the source
    // Editor. Bad indexes do nothing.
    virtual void SetParamFromEditor(int index, double normalized);

    // ---- Host side, supplied by the host adapter ----------------------------------------------
    // Mouse down/up on a control bound to index (editor thread, without the lock).
    virtual void BeginParamEdit(int index) = 0;
    virtual void EndParamEdit(int index) = 0;
    // Automation record of a changed parameter (thread of the change, lock held).
    virtual void NotifyHostParamChange(int index, double normalized) = 0;
    // The host should re-read program names and parameter displays (user-interface thread).
    virtual void NotifyHostProgramChange() = 0;
    // Fills info from the host's transport; false when the host reports nothing (audio thread).
    virtual bool GetHostTime(HostTimeInfo& info) = 0;
    // MIDI thru (audio thread); true when the host accepted the event.
    virtual bool SendMidiToHost(const MidiMessage& message) = 0;
    // True while the host renders faster than real time (audio or dispatcher thread).
    virtual bool IsRenderingOffline() { return false; }
    // Host kind, -1 until identified (dispatcher thread).
    virtual int GetHost() { return mHost; }
    // Kind of host interface, kApiVst2 (any thread).
    virtual int GetAPI() const { return kApiVst2; }
    // Identifies the host once per instance, then calls OnHostIdentified (dispatcher thread).
    virtual void IdentifyHostOnce() {}

    // ---- Editor, programs and set-up ----------------------------------------------------------
    // Takes the lock; pushes every normalised value to the editor's controls, lets the editor
    // create its drawing surfaces and keeps it for the life of the instance (user-interface thread).
    virtual void AttachEditor(std::unique_ptr<IEditorLink> editor);
    // Latency reported to the host (dispatcher thread).
    virtual void SetLatency(int samples) { mLatency = samples; }
    // Pushes every value (not normalised) into the editor's controls, if an editor is attached
    // (thread of the change, lock held by the caller).
    virtual void RefreshParamControls();
    // Reads a bank (see SerializePresets) at pos, then reselects the current program; returns the
    // last position or -1 (dispatcher or editor thread, caller holds the lock).
    virtual int UnserializePresets(const ChunkBuffer& chunk, int pos);
    // Stores the current state in the current slot; a non-empty name renames the slot
    // (dispatcher or editor thread, caller holds the lock).
    virtual void ModifyCurrentPreset(std::string_view name = {});
    // The program list or a program name changed (dispatcher or editor thread).
    virtual void PresetsChanged() {}
    // Stores the host's sample rate; non-finite or non-positive rates are ignored (dispatcher thread).
    virtual void ApplySampleRate(double rate);
    // Resizes and clears every channel's scratch buffer when the size changes (dispatcher thread;
    // allocates). Sizes above kMaxBlockSize are limited to it, sizes below 1 are ignored.
    virtual void ApplyBlockSize(int frames);

    // ---- Parameters ---------------------------------------------------------------------------
    // The parameters themselves: ParamStore (NParams, GetParam).
    // The one way a parameter changes (takes the lock; any thread). The value is sanitised (NaN
    // counts as 0, then it is limited to the range: 0..1 for a normalised position, min..max for
    // a value), stored, applied by ParamChanged, then those that the source names are told: the
    // host by NotifyHostParamChange with the sanitised position, the editor by its normalised
    // stored value. Bad indexes do nothing.
    void ChangeParam(int index, double normalized, ParamSource source);
    void ChangeParamValue(int index, double value, ParamSource source);
    // After a program load stored every value (ReadParamValues): each parameter in index order is
    // applied and shown in the editor, as ChangeParam with the source Program does.
    void ApplyLoadedParams();
    // ParamChanged for every index in order.
    void AllParamsChanged();
    // Takes the lock; NotifyHostParamChange with every normalised value, in index order.
    void NotifyHostAllParams();
    // Base program format: every value as a double. Both take the lock.
    bool SerializeParams(ChunkBuffer& chunk);
    int UnserializeParams(const ChunkBuffer& chunk, int pos);
    // Appends every value as a double.
    void WriteParamValues(ChunkBuffer& chunk) const;
    // Sets the parameters in index order from the doubles at pos, without ParamChanged. A NaN or
    // infinite value gives the parameter its default; the first parameter for which fewer than 8
    // bytes remain is set to 0 clamped into its range and -1 is returned.
    int ReadParamValues(const ChunkBuffer& chunk, int pos);

    // ---- Programs -----------------------------------------------------------------------------
    int NPresets() const { return static_cast<int>(mPresets.size()); }
    int GetCurrentPresetIdx() const { return mCurrentPreset; }
    // nullptr for an index out of range.
    PresetEntry* GetPreset(int index);
    // "" for an index out of range.
    std::string_view GetPresetName(int index) const;
    // Loads slot index, or stores the current state in it if it is empty; false for an index out
    // of range or a slot that cannot be read.
    bool SelectPreset(int index);
    // count times: the first empty slot is named "Empty" and given the current state.
    void FillEmptyPresets(int count);
    // Bank format: for each slot its name, its initialised flag and, if initialised, its state.
    bool SerializePresets(ChunkBuffer& chunk) const;

    // ---- Chunk header -------------------------------------------------------------------------
    // Empties chunk and writes the magic and the version.
    static void StartChunk(ChunkBuffer& chunk);
    // The version after a magic at pos (pos moves past both), 0 without a magic (pos stays), 0 with
    // a magic but no version (pos becomes -1).
    static int32_t ReadChunkVersion(const ChunkBuffer& chunk, int& pos);

    // ---- Channels and identity ----------------------------------------------------------------
    // True if a legal configuration has that many inputs and outputs; -1 stands for any number.
    bool LegalIO(int inputs, int outputs) const;
    int NInChannels() const { return static_cast<int>(mInChannels.size()); }
    int NOutChannels() const { return static_cast<int>(mOutChannels.size()); }
    ChannelRecord* GetInChannel(int index);
    ChannelRecord* GetOutChannel(int index);

    const std::string& GetEffectName() const { return mEffectName; }
    const std::string& GetProductName() const { return mProductName; }
    const std::string& GetVendorName() const { return mVendorName; }
    int32_t GetUniqueID() const { return mUniqueId; }
    // Packed major * 65536 + minor * 256 + release, or decimal major * 10000 + minor * 100 + release.
    int32_t GetEffectVersion(bool decimal) const;
    bool DoesMidi() const { return mDoesMidi; }
    bool DoesStateChunks() const { return mDoesStateChunks; }
    bool IsInstrument() const { return mIsInstrument; }
    double GetSampleRate() const { return mSampleRate; }
    int GetBlockSize() const { return mBlockSize; }
    int GetLatency() const { return mLatency; }
    int GetTailSize() const { return mTailSize; }
    IEditorLink* GetEditor() const { return mEditor.get(); }

    // The instance lock (see the class comment).
    std::recursive_mutex& Mutex() const { return mMutex; }

protected:
    void SetHost(int kind) { mHost = kind; }

private:
    using Lock = std::lock_guard<std::recursive_mutex>;

    // ParamChanged, then the host and the editor as source says.
    void CommitParamChange(int index, double normalized, ParamSource source);
    // Number of slots whose name contains "user preset".
    int CountUserPresets() const;
    // Empties the slot's chunk and writes the current state into it.
    bool StoreCurrentState(PresetEntry& slot);

    std::vector<PresetEntry> mPresets;
    int mCurrentPreset = 0;
    std::string mEffectName;
    std::string mProductName;
    std::string mVendorName;
    int32_t mUniqueId;
    int32_t mVersion;
    bool mDoesMidi;
    bool mDoesStateChunks;
    bool mIsInstrument;
    double mSampleRate = kDefaultSampleRate;
    int mBlockSize = 0;
    int mLatency;
    int mTailSize = 0;
    int mHost = -1;
    std::vector<ChannelIO> mChannelIO;
    std::vector<ChannelRecord> mInChannels;
    std::vector<ChannelRecord> mOutChannels;
    std::unique_ptr<IEditorLink> mEditor;
    mutable std::recursive_mutex mMutex;
};

} // namespace zr
