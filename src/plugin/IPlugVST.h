#pragma once

#include "plugin/IPlugBase.h"
#include "plugin/VstAbi.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zr
{

// Binds the plug-in base to a VST2 host: fills the effect record, answers the dispatcher opcodes,
// runs the three process callbacks and the parameter callbacks, hands MIDI and the transport to
// the instrument and sends the host its notifications. Every callback takes the instance lock for
// its whole duration (effClose releases it before destroying the instance). Host input is
// untrusted: null pointers, bad indexes, NaN values and oversized blocks are answered safely.
class IPlugVST : public IPlugBase
{
public:
    // Text sizes, terminator included, of what is copied into host buffers.
    static constexpr size_t kParamTextSize = 24;
    static constexpr size_t kProgramNameSize = 24;
    static constexpr size_t kEffectNameSize = 32;
    static constexpr size_t kVendorTextSize = 64;
    // Longest text read from a host pointer (program names, parameter texts, canDo questions).
    static constexpr size_t kMaxHostTextLength = 255;
    // Buffer offered to the host for its product and vendor strings.
    static constexpr size_t kHostStringBufferSize = 256;

    static constexpr std::intptr_t kVendorSpecificAnswer = 0xBEEF;
    static constexpr std::intptr_t kCockosAnswer = 0xBEEF0000;
    static constexpr std::int32_t kVendorSpecificDisplay = 7;
    static constexpr std::int32_t kVendorSpecificIsStepped = 8;
    // audioMasterGetTime asks for tempo, musical position, bars, cycle and time signature.
    static constexpr std::intptr_t kTimeInfoRequest = vst::kVstPpqPosValid | vst::kVstTempoValid |
                                                      vst::kVstBarsValid | vst::kVstCyclePosValid |
                                                      vst::kVstTimeSigValid;
    // Channels kept for the hosts whose layout is limited to stereo (HostKinds).
    static constexpr int kStereoChannels = 2;

    IPlugVST(vst::AudioMasterCallback hostCallback, int nParams, std::string_view channelIOText, int nPresets,
             std::string_view effectName, std::string_view productName, std::string_view vendorName,
             int32_t version, int32_t uniqueId, int latency, bool doesMidi, bool doesStateChunks,
             bool isInstrument);

    // The record handed to the host; its object field leads back to this instance.
    vst::AEffect* GetAEffect() { return &mAEffect; }
    // The instance behind a record; nullptr for a null record or one without an object.
    static IPlugVST* FromAEffect(vst::AEffect* effect);

    // Host kind for a product string (case-insensitive substring search); 0 when none matches.
    static int HostKindFromProductString(std::string_view product);

    // ---- Host side of the plug-in base --------------------------------------------------------
    void BeginParamEdit(int index) override;
    void EndParamEdit(int index) override;
    void NotifyHostParamChange(int index, double normalized) override;
    void NotifyHostProgramChange() override;
    // Fills the fields the host marks valid (audio thread; no allocation).
    bool GetHostTime(HostTimeInfo& info) override;
    // One MIDI event through audioMasterProcessEvents (audio thread; no allocation).
    bool SendMidiToHost(const MidiMessage& message) override;
    bool IsRenderingOffline() override;
    // Asks the host's product string on the first call, then returns the stored kind.
    int GetHost() override;
    void IdentifyHostOnce() override;
    // Adds the editor flag to the effect record (user-interface thread).
    void AttachEditor(std::unique_ptr<IEditorLink> editor) override;
    // The editor rectangle the host is given: 0, 0, height, width.
    void SetEditorSize(int width, int height);

    // True for hosts whose vendor string is "native instruments" or "juce vst host": they get a
    // program chunk whatever kind they ask for. Asked once, then cached (dispatcher thread).
    bool ForcesProgramChunks();

    // ---- Dispatcher opcodes with more than a line of work (dispatcher thread, lock held) -------
    // Program chunk for index != 0 (or a forced program chunk), bank chunk for index 0. Returns
    // the size and stores the address of the bytes, which stay valid until the next request.
    std::intptr_t GetChunk(std::int32_t index, void** data);
    // 1 when the chunk was read completely, 0 otherwise (values read before a failure stay).
    std::intptr_t SetChunk(std::int32_t index, const void* data, std::intptr_t size);
    // MIDI and system-exclusive events of the coming process call (audio thread).
    std::intptr_t ProcessEvents(const vst::VstEvents* events);
    std::intptr_t String2Parameter(std::int32_t index, const char* text);
    std::intptr_t CanDo(const char* text) const;

private:
    enum class ProcessKind
    {
        Accumulate,
        Replace,
        ReplaceDouble
    };

    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                           float opt);
    std::intptr_t CallHost(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f) const;
    std::string AskHostString(std::int32_t opcode) const;

    // Renders frames in slices that fit the channel buffers.
    template <typename Sample> void Process(Sample** inputs, Sample** outputs, int frames, ProcessKind kind);
    template <typename Sample> void PrepareSlice(Sample** inputs, Sample** outputs, int offset, int frames);
    void FinishSlice(int frames, ProcessKind kind);
    std::intptr_t PinProperties(bool input, std::int32_t index, vst::VstPinProperties* properties);
    std::intptr_t SetSpeakerArrangement(const vst::VstSpeakerArrangement* inputs,
                                        const vst::VstSpeakerArrangement* outputs);
    void ConnectChannels(bool input, int count);
    // Both speaker arrangements from the channel counts (construction).
    void InitSpeakerArrangements();
    std::intptr_t VendorSpecific(std::int32_t index, std::intptr_t value, void* ptr, float opt);
    std::intptr_t GetMidiKeyName(vst::MidiKeyName* key);
    std::intptr_t SetParamFromText(IParameter& param, int index, std::string_view text);

    static std::intptr_t VSTDispatcher(vst::AEffect* effect, std::int32_t opcode, std::int32_t index,
                                       std::intptr_t value, void* ptr, float opt);
    static void VSTProcess(vst::AEffect* effect, float** inputs, float** outputs, std::int32_t frames);
    static void VSTProcessReplacing(vst::AEffect* effect, float** inputs, float** outputs,
                                    std::int32_t frames);
    static void VSTProcessDoubleReplacing(vst::AEffect* effect, double** inputs, double** outputs,
                                          std::int32_t frames);
    static float VSTGetParameter(vst::AEffect* effect, std::int32_t index);
    static void VSTSetParameter(vst::AEffect* effect, std::int32_t index, float value);

    vst::AudioMasterCallback mHostCallback;
    vst::AEffect mAEffect{};
    // Stays empty until an editor is attached.
    vst::ERect mEditorRect{};
    vst::VstSpeakerArrangement mInputSpeakers{};
    vst::VstSpeakerArrangement mOutputSpeakers{};
    ChunkBuffer mProgramChunk;
    ChunkBuffer mBankChunk;
    bool mHostSetUpDone = false;
    std::optional<bool> mForcesProgramChunks;
    // Per-call channel pointers handed to the audio routine, sized at construction.
    std::vector<double*> mInputPointers;
    std::vector<double*> mOutputPointers;
};

} // namespace zr
