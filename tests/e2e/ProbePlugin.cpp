// A minimal VST2 instrument that makes what the host delivers audible, so the render host's
// tests can check it sample by sample:
//   right output = (held MIDI note / 128) * parameter 0 ("Gain" of block A), switched at the
//                  exact event offsets;
//   left output  = (host tempo / 1000) * parameter 1 ("Gain" of block B), per block;
//                  -1 when the host gives no tempo.
// A program chunk of one float sets parameter 0, a bank chunk of one float sets parameter 1.
// ZR_PROBE_MODE selects another behaviour: "null" (entry returns null), "badmagic",
// "nodouble" (no double-precision processing), "accumulate" (only the old accumulating process
// call), "nan" (the right output is NaN while a note is held).
#include "plugin/VstAbi.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace zr::vst;

namespace
{

constexpr int kNumParams = 3;
constexpr int kNumPrograms = 4;
constexpr double kNoteScale = 128.0;
constexpr double kTempoScale = 1000.0;
const char* const kParamNames[kNumParams] = {"Gain", "Gain", "Spare"};

struct Probe
{
    bool nan = false;
    AEffect effect{};
    AudioMasterCallback host = nullptr;
    float params[kNumParams] = {1.0f, 1.0f, 0.0f};
    int program = 0;
    int note = 0;
    VstMidiEvent pending[256]{};
    int numPending = 0;
    float chunk[2] = {};
};

Probe* Self(AEffect* e)
{
    return static_cast<Probe*>(e->object);
}

void CopyText(void* ptr, const std::string& text, std::size_t capacity)
{
    if (!ptr) return;
    const std::size_t n = std::min(text.size(), capacity - 1);
    std::memcpy(ptr, text.data(), n);
    static_cast<char*>(ptr)[n] = '\0';
}

std::intptr_t Dispatcher(AEffect* e, std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                         float)
{
    Probe* p = Self(e);
    switch (opcode)
    {
    case effClose:
        delete p;
        return 0;
    case effSetProgram:
        if (value >= 0 && value < kNumPrograms) p->program = static_cast<int>(value);
        return 0;
    case effGetProgram:
        return p->program;
    case effGetProgramNameIndexed:
        CopyText(ptr, "Probe " + std::to_string(index), kVstMaxProgNameLen);
        return 1;
    case effGetParamName:
        if (index >= 0 && index < kNumParams) CopyText(ptr, kParamNames[index], kVstMaxParamStrLen);
        return 0;
    case effGetParamDisplay:
        if (index >= 0 && index < kNumParams)
            CopyText(ptr, std::to_string(static_cast<int>(p->params[index] * 100)), kVstMaxParamStrLen);
        return 0;
    case effGetParamLabel:
        CopyText(ptr, "%", kVstMaxParamStrLen);
        return 0;
    case effGetEffectName:
        CopyText(ptr, "Probe", kVstMaxEffectNameLen);
        return 1;
    case effSetChunk:
        if (!ptr || value != sizeof(float)) return 0;
        std::memcpy(&p->params[index == 0 ? 1 : 0], ptr, sizeof(float));
        return 1;
    case effProcessEvents:
    {
        auto* events = static_cast<VstEvents*>(ptr);
        VstEvent* const* list = events->events;
        for (int i = 0; i < events->numEvents && p->numPending < 256; ++i)
            if (list[i]->type == kVstMidiType)
                std::memcpy(&p->pending[p->numPending++], list[i], sizeof(VstMidiEvent));
        return 1;
    }
    default:
        return 0;
    }
}

double HostTempo(Probe* p)
{
    auto* info = reinterpret_cast<VstTimeInfo*>(
        p->host(&p->effect, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0));
    return info && (info->flags & kVstTempoValid) ? info->tempo : -kTempoScale;
}

template <typename Sample, bool Accumulate = false>
void Render(AEffect* e, Sample** outputs, std::int32_t frames)
{
    Probe* p = Self(e);
    const double left = HostTempo(p) / kTempoScale * p->params[1];
    int next = 0;
    for (int i = 0; i < frames; ++i)
    {
        for (; next < p->numPending && p->pending[next].deltaFrames <= i; ++next)
        {
            const auto* bytes = reinterpret_cast<const unsigned char*>(p->pending[next].midiData);
            const bool on = (bytes[0] & 0xF0) == 0x90 && bytes[2] > 0;
            if (on)
                p->note = bytes[1];
            else if ((bytes[0] & 0xE0) == 0x80 && bytes[1] == p->note)
                p->note = 0;
        }
        const double right = p->nan && p->note ? std::nan("") : p->note / kNoteScale * p->params[0];
        outputs[0][i] = static_cast<Sample>(left) + (Accumulate ? outputs[0][i] : Sample(0));
        outputs[1][i] = static_cast<Sample>(right) + (Accumulate ? outputs[1][i] : Sample(0));
    }
    p->numPending = 0;
}

void ProcessReplacing(AEffect* e, float**, float** outputs, std::int32_t frames)
{
    Render(e, outputs, frames);
}

void ProcessAccumulating(AEffect* e, float**, float** outputs, std::int32_t frames)
{
    Render<float, true>(e, outputs, frames);
}

void ProcessDouble(AEffect* e, double**, double** outputs, std::int32_t frames)
{
    Render(e, outputs, frames);
}

void SetParameter(AEffect* e, std::int32_t index, float value)
{
    if (index >= 0 && index < kNumParams) Self(e)->params[index] = value;
}

float GetParameter(AEffect* e, std::int32_t index)
{
    return index >= 0 && index < kNumParams ? Self(e)->params[index] : 0.0f;
}

} // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(AudioMasterCallback host)
{
    const char* modeText = std::getenv("ZR_PROBE_MODE");
    const std::string mode = modeText ? modeText : "";
    if (mode == "null") return nullptr;
    if (mode == "badmagic")
    {
        // A host refuses this record and so never closes it: it lives in the module, not on the heap.
        static Probe refused;
        return &refused.effect;
    }
    auto* p = new Probe;
    p->host = host;
    AEffect& e = p->effect;
    e.magic = kEffectMagic;
    e.dispatcher = Dispatcher;
    e.setParameter = SetParameter;
    e.getParameter = GetParameter;
    const bool accumulate = mode == "accumulate";
    p->nan = mode == "nan";
    e.process = accumulate ? ProcessAccumulating : nullptr;
    e.processReplacing = accumulate ? nullptr : ProcessReplacing;
    e.processDoubleReplacing = ProcessDouble;
    e.numPrograms = kNumPrograms;
    e.numParams = kNumParams;
    e.numOutputs = 2;
    e.flags = (accumulate ? 0 : effFlagsCanReplacing) | effFlagsProgramChunks | effFlagsIsSynth |
              (mode == "nodouble" ? 0 : effFlagsCanDoubleReplacing);
    e.ioRatio = 1.0f;
    e.object = p;
    e.uniqueID = FourCC('Z', 'P', 'r', 'b');
    e.version = 1;
    return &e;
}
