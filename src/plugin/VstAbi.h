// Our own description of the VST 2.4 binary interface: the records, callback types, opcodes and
// flags exchanged between a host and a plug-in module. Both sides of this project use it: the
// plug-in adapter and the command-line render host. Every layout is checked below for the
// i386 and the x86_64 C ABI, which is what real hosts and plug-ins are built against.
//
// All names live in namespace zr::vst so that they never clash with another copy of these
// declarations inside the same host process.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zr::vst
{

struct AEffect;

// Calling convention: the platform's default C convention (cdecl on i386, System V on x86_64).
using AudioMasterCallback = std::intptr_t (*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                              std::intptr_t value, void* ptr, float opt);
using DispatcherProc = std::intptr_t (*)(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                         std::intptr_t value, void* ptr, float opt);
using ProcessProc = void (*)(AEffect* effect, float** inputs, float** outputs, std::int32_t sampleFrames);
using ProcessDoubleProc = void (*)(AEffect* effect, double** inputs, double** outputs,
                                   std::int32_t sampleFrames);
using SetParameterProc = void (*)(AEffect* effect, std::int32_t index, float value);
using GetParameterProc = float (*)(AEffect* effect, std::int32_t index);

// The module's entry function, exported as "VSTPluginMain" (and, for old hosts, as "main").
using PluginEntryProc = AEffect* (*)(AudioMasterCallback host);

// Four-character code as the interface stores it: the first character in the highest byte.
constexpr std::int32_t FourCC(char a, char b, char c, char d)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(static_cast<unsigned char>(a)) << 24) |
                                     (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 16) |
                                     (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 8) |
                                     static_cast<std::uint32_t>(static_cast<unsigned char>(d)));
}

constexpr std::int32_t kEffectMagic = FourCC('V', 's', 't', 'P');
constexpr std::int32_t kEffectIdentify = FourCC('N', 'v', 'E', 'f'); // answer to effIdentify
constexpr std::int32_t kVstVersion = 2400;                           // answer to effGetVstVersion

// Fixed text lengths of the interface, terminator included.
constexpr std::size_t kVstMaxProgNameLen = 24;
constexpr std::size_t kVstMaxParamStrLen = 8;
constexpr std::size_t kVstMaxVendorStrLen = 64;
constexpr std::size_t kVstMaxProductStrLen = 64;
constexpr std::size_t kVstMaxEffectNameLen = 32;
constexpr std::size_t kVstMaxLabelLen = 64;
constexpr std::size_t kVstMaxShortLabelLen = 8;

// The effect record the plug-in hands to the host. Field order and sizes are the binary
// interface; the compiler's natural alignment produces the padding after magic and flags on
// x86_64 (checked below).
struct AEffect
{
    std::int32_t magic; // kEffectMagic
    DispatcherProc dispatcher;
    ProcessProc process; // deprecated accumulating process
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    std::int32_t numPrograms;
    std::int32_t numParams;
    std::int32_t numInputs;
    std::int32_t numOutputs;
    std::int32_t flags; // EffectFlags
    std::intptr_t resvd1;
    std::intptr_t resvd2;
    std::int32_t initialDelay; // latency in samples
    std::int32_t realQualities;
    std::int32_t offQualities;
    float ioRatio;
    void* object; // the plug-in's own instance
    void* user;   // free for the host
    std::int32_t uniqueID;
    std::int32_t version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

enum EffectFlags : std::int32_t
{
    effFlagsHasEditor = 1 << 0,
    effFlagsCanMono = 1 << 3,
    effFlagsCanReplacing = 1 << 4,
    effFlagsProgramChunks = 1 << 5,
    effFlagsIsSynth = 1 << 8,
    effFlagsNoSoundInStop = 1 << 9,
    effFlagsCanDoubleReplacing = 1 << 12,
};

// Opcodes the host sends through the plug-in's dispatcher.
enum EffectOpcode : std::int32_t
{
    effOpen = 0,
    effClose = 1,
    effSetProgram = 2,
    effGetProgram = 3,
    effSetProgramName = 4,
    effGetProgramName = 5,
    effGetParamLabel = 6,
    effGetParamDisplay = 7,
    effGetParamName = 8,
    effSetSampleRate = 10,
    effSetBlockSize = 11,
    effMainsChanged = 12,
    effEditGetRect = 13,
    effEditOpen = 14,
    effEditClose = 15,
    effEditIdle = 19,
    effIdentify = 22,
    effGetChunk = 23,
    effSetChunk = 24,
    effProcessEvents = 25,
    effCanBeAutomated = 26,
    effString2Parameter = 27,
    effGetProgramNameIndexed = 29,
    effGetInputProperties = 33,
    effGetOutputProperties = 34,
    effGetPlugCategory = 35,
    effSetSpeakerArrangement = 42,
    effGetEffectName = 45,
    effGetVendorString = 47,
    effGetProductString = 48,
    effGetVendorVersion = 49,
    effVendorSpecific = 50,
    effCanDo = 51,
    effGetTailSize = 52,
    effIdle = 53,
    effGetVstVersion = 58,
    effGetMidiKeyName = 66,
    effBeginSetProgram = 67,
    effEndSetProgram = 68,
    effGetSpeakerArrangement = 69,
    effStartProcess = 71,
    effStopProcess = 72,
    effSetProcessPrecision = 77,
};

// Opcodes the plug-in sends through the host's audio-master callback.
enum AudioMasterOpcode : std::int32_t
{
    audioMasterAutomate = 0,
    audioMasterVersion = 1,
    audioMasterCurrentId = 2,
    audioMasterIdle = 3,
    audioMasterWantMidi = 6,
    audioMasterGetTime = 7,
    audioMasterProcessEvents = 8,
    audioMasterIOChanged = 13,
    audioMasterSizeWindow = 15,
    audioMasterGetSampleRate = 16,
    audioMasterGetBlockSize = 17,
    audioMasterGetInputLatency = 18,
    audioMasterGetOutputLatency = 19,
    audioMasterGetCurrentProcessLevel = 23,
    audioMasterGetAutomationState = 24,
    audioMasterGetVendorString = 32,
    audioMasterGetProductString = 33,
    audioMasterGetVendorVersion = 34,
    audioMasterVendorSpecific = 35,
    audioMasterCanDo = 37,
    audioMasterGetLanguage = 38,
    audioMasterGetDirectory = 41,
    audioMasterUpdateDisplay = 42,
    audioMasterBeginEdit = 43,
    audioMasterEndEdit = 44,
};

enum ProcessLevel : std::int32_t
{
    kVstProcessLevelUnknown = 0,
    kVstProcessLevelUser = 1,
    kVstProcessLevelRealtime = 2,
    kVstProcessLevelPrefetch = 3,
    kVstProcessLevelOffline = 4,
};

enum ProcessPrecision : std::int32_t // value of effSetProcessPrecision
{
    kVstProcessPrecision32 = 0,
    kVstProcessPrecision64 = 1,
};

enum PlugCategory : std::int32_t
{
    kPlugCategUnknown = 0,
    kPlugCategEffect = 1,
    kPlugCategSynth = 2,
};

enum AutomationState : std::int32_t
{
    kVstAutomationUnsupported = 0,
    kVstAutomationOff = 1,
};

enum HostLanguage : std::int32_t
{
    kVstLangEnglish = 1,
};

// Answers of effCanDo and audioMasterCanDo.
constexpr std::intptr_t kCanDoYes = 1;
constexpr std::intptr_t kCanDoNo = -1;
constexpr std::intptr_t kCanDoDontKnow = 0;

// ---- Events -------------------------------------------------------------------------------

enum EventType : std::int32_t
{
    kVstMidiType = 1,
    kVstSysExType = 6,
};

struct VstEvent // generic event; every event record starts like this
{
    std::int32_t type;
    std::int32_t byteSize;    // size of the whole record: 32 for a VstMidiEvent
    std::int32_t deltaFrames; // sample offset within the current block
    std::int32_t flags;
    char data[16];
};

enum MidiEventFlags : std::int32_t
{
    kVstMidiEventIsRealtime = 1,
};

struct VstMidiEvent
{
    std::int32_t type; // kVstMidiType
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t noteLength;
    std::int32_t noteOffset;
    char midiData[4]; // status, data 1, data 2, zero
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

struct VstMidiSysexEvent
{
    std::int32_t type; // kVstSysExType
    std::int32_t byteSize;
    std::int32_t deltaFrames;
    std::int32_t flags;
    std::int32_t dumpBytes;
    std::intptr_t resvd1;
    char* sysexDump;
    std::intptr_t resvd2;
};

// A list of event pointers. The record declares two entries; senders allocate it with room for
// numEvents pointers (kVstEventsHeaderSize + numEvents pointers).
struct VstEvents
{
    std::int32_t numEvents;
    std::intptr_t reserved;
    VstEvent* events[2];
};

constexpr std::size_t kVstEventsHeaderSize = 2 * sizeof(void*);

// ---- Transport ----------------------------------------------------------------------------

enum TimeInfoFlags : std::int32_t
{
    kVstTransportChanged = 1,
    kVstTransportPlaying = 1 << 1,
    kVstTransportCycleActive = 1 << 2,
    kVstTransportRecording = 1 << 3,
    kVstAutomationWriting = 1 << 6,
    kVstAutomationReading = 1 << 7,
    kVstNanosValid = 1 << 8,
    kVstPpqPosValid = 1 << 9,
    kVstTempoValid = 1 << 10,
    kVstBarsValid = 1 << 11,
    kVstCyclePosValid = 1 << 12,
    kVstTimeSigValid = 1 << 13,
    kVstSmpteValid = 1 << 14,
    kVstClockValid = 1 << 15,
};

struct VstTimeInfo
{
    double samplePos; // current position in samples
    double sampleRate;
    double nanoSeconds;   // system time
    double ppqPos;        // musical position in quarter notes
    double tempo;         // beats per minute
    double barStartPos;   // quarter-note position of the last bar start
    double cycleStartPos; // quarter-note positions of the loop
    double cycleEndPos;
    std::int32_t timeSigNumerator;
    std::int32_t timeSigDenominator;
    std::int32_t smpteOffset;
    std::int32_t smpteFrameRate;
    std::int32_t samplesToNextClock;
    std::int32_t flags; // TimeInfoFlags
};

// ---- Editor, channels, speakers, key names ------------------------------------------------

struct ERect
{
    std::int16_t top;
    std::int16_t left;
    std::int16_t bottom;
    std::int16_t right;
};

enum PinFlags : std::int32_t
{
    kVstPinIsActive = 1 << 0,
    kVstPinIsStereo = 1 << 1,
    kVstPinUseSpeaker = 1 << 2,
};

struct VstPinProperties
{
    char label[kVstMaxLabelLen];
    std::int32_t flags; // PinFlags
    std::int32_t arrangementType;
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};

enum SpeakerArrangementType : std::int32_t
{
    kSpeakerArrUserDefined = -2,
    kSpeakerArrEmpty = -1,
    kSpeakerArrMono = 0,
    kSpeakerArrStereo = 1,
};

constexpr int kVstMaxSpeakers = 8; // entries declared in VstSpeakerArrangement

struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[64];
    std::int32_t type;
    char future[28];
};

struct VstSpeakerArrangement
{
    std::int32_t type; // SpeakerArrangementType
    std::int32_t numChannels;
    VstSpeakerProperties speakers[kVstMaxSpeakers];
};

struct MidiKeyName
{
    std::int32_t thisProgramIndex;
    std::int32_t thisKeyNumber;
    char keyName[kVstMaxLabelLen];
    std::int32_t reserved;
    std::int32_t flags;
};

// ---- Layout checks ------------------------------------------------------------------------

static_assert(sizeof(float) == 4 && sizeof(double) == 8);
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8, "only i386 and x86_64 layouts are described");

constexpr bool kIs64Bit = sizeof(void*) == 8;

template <std::size_t Offset32, std::size_t Offset64>
constexpr std::size_t kAbiOffset = kIs64Bit ? Offset64 : Offset32;

static_assert(offsetof(AEffect, magic) == 0);
static_assert(offsetof(AEffect, dispatcher) == kAbiOffset<4, 8>);
static_assert(offsetof(AEffect, process) == kAbiOffset<8, 16>);
static_assert(offsetof(AEffect, setParameter) == kAbiOffset<12, 24>);
static_assert(offsetof(AEffect, getParameter) == kAbiOffset<16, 32>);
static_assert(offsetof(AEffect, numPrograms) == kAbiOffset<20, 40>);
static_assert(offsetof(AEffect, numParams) == kAbiOffset<24, 44>);
static_assert(offsetof(AEffect, numInputs) == kAbiOffset<28, 48>);
static_assert(offsetof(AEffect, numOutputs) == kAbiOffset<32, 52>);
static_assert(offsetof(AEffect, flags) == kAbiOffset<36, 56>);
static_assert(offsetof(AEffect, resvd1) == kAbiOffset<40, 64>);
static_assert(offsetof(AEffect, resvd2) == kAbiOffset<44, 72>);
static_assert(offsetof(AEffect, initialDelay) == kAbiOffset<48, 80>);
static_assert(offsetof(AEffect, realQualities) == kAbiOffset<52, 84>);
static_assert(offsetof(AEffect, offQualities) == kAbiOffset<56, 88>);
static_assert(offsetof(AEffect, ioRatio) == kAbiOffset<60, 92>);
static_assert(offsetof(AEffect, object) == kAbiOffset<64, 96>);
static_assert(offsetof(AEffect, user) == kAbiOffset<68, 104>);
static_assert(offsetof(AEffect, uniqueID) == kAbiOffset<72, 112>);
static_assert(offsetof(AEffect, version) == kAbiOffset<76, 116>);
static_assert(offsetof(AEffect, processReplacing) == kAbiOffset<80, 120>);
static_assert(offsetof(AEffect, processDoubleReplacing) == kAbiOffset<84, 128>);
static_assert(offsetof(AEffect, future) == kAbiOffset<88, 136>);
static_assert(sizeof(AEffect) == kAbiOffset<144, 192>);

static_assert(sizeof(VstEvent) == 32 && offsetof(VstEvent, deltaFrames) == 8 &&
              offsetof(VstEvent, data) == 16);
static_assert(sizeof(VstMidiEvent) == 32);
static_assert(offsetof(VstMidiEvent, noteLength) == 16 && offsetof(VstMidiEvent, midiData) == 24);
static_assert(offsetof(VstMidiEvent, detune) == 28 && offsetof(VstMidiEvent, reserved2) == 31);
static_assert(offsetof(VstMidiSysexEvent, dumpBytes) == 16);
static_assert(offsetof(VstMidiSysexEvent, resvd1) == kAbiOffset<20, 24>);
static_assert(offsetof(VstMidiSysexEvent, sysexDump) == kAbiOffset<24, 32>);
static_assert(sizeof(VstMidiSysexEvent) == kAbiOffset<32, 48>);
static_assert(offsetof(VstEvents, reserved) == kAbiOffset<4, 8>);
static_assert(offsetof(VstEvents, events) == kVstEventsHeaderSize);
static_assert(sizeof(VstEvents) == kAbiOffset<16, 32>);

static_assert(offsetof(VstTimeInfo, ppqPos) == 24 && offsetof(VstTimeInfo, tempo) == 32);
static_assert(offsetof(VstTimeInfo, barStartPos) == 40 && offsetof(VstTimeInfo, cycleEndPos) == 56);
static_assert(offsetof(VstTimeInfo, timeSigNumerator) == 64 && offsetof(VstTimeInfo, flags) == 84);
static_assert(sizeof(VstTimeInfo) == 88);

static_assert(sizeof(ERect) == 8 && offsetof(ERect, right) == 6);
static_assert(offsetof(VstPinProperties, flags) == 64 && offsetof(VstPinProperties, shortLabel) == 72);
static_assert(sizeof(VstPinProperties) == 128);
static_assert(offsetof(VstSpeakerProperties, name) == 16 && offsetof(VstSpeakerProperties, type) == 80);
static_assert(sizeof(VstSpeakerProperties) == 112);
static_assert(offsetof(VstSpeakerArrangement, speakers) == 8);
static_assert(sizeof(VstSpeakerArrangement) == 8 + kVstMaxSpeakers * 112);
static_assert(offsetof(MidiKeyName, keyName) == 8 && sizeof(MidiKeyName) == 80);

static_assert(kEffectMagic == 0x56737450 && kEffectIdentify == 0x4E764566);

} // namespace zr::vst
