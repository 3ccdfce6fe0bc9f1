#include "PluginInstance.h"

#include "HostContext.h"
#include "PluginModule.h"
#include "ToolError.h"

#include <array>
#include <cstring>

namespace zr::render
{

PluginInstance::PluginInstance(const PluginModule& module)
{
    effect_ = module.Entry()(&HostContext::AudioMaster);
    if (!effect_)
        throw ToolError("plug-in " + module.Path() +
                        " refused to create an instance (its entry returned null)");
    Validate(module.Path());
    Dispatch(vst::effOpen);
}

PluginInstance::~PluginInstance()
{
    Suspend();
    Dispatch(vst::effClose);
}

void PluginInstance::Validate(const std::string& path)
{
    const vst::AEffect& e = *effect_;
    if (e.magic != vst::kEffectMagic)
        throw ToolError(path + " is not a VST2 plug-in: its effect record has the wrong magic");
    if (!e.dispatcher) throw ToolError(path + ": the effect record has no dispatcher");
    if (e.numInputs < 0 || e.numInputs > kMaxChannels || e.numOutputs < 0 || e.numOutputs > kMaxChannels)
        throw ToolError(path + ": implausible channel counts " + std::to_string(e.numInputs) + " in, " +
                        std::to_string(e.numOutputs) + " out");
    if (e.numParams < 0 || e.numParams > kMaxCount || e.numPrograms < 0 || e.numPrograms > kMaxCount)
        throw ToolError(path + ": implausible parameter or program count");
}

std::intptr_t PluginInstance::Dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                       void* ptr, float opt)
{
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string PluginInstance::ReadText(std::int32_t opcode, std::int32_t index)
{
    std::array<char, kTextBuffer> buffer{};
    Dispatch(opcode, index, 0, buffer.data());
    buffer.back() = '\0';
    std::string text(buffer.data());
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string PluginInstance::EffectName()
{
    return ReadText(vst::effGetEffectName, 0);
}

std::string PluginInstance::ParamName(int index)
{
    return ReadText(vst::effGetParamName, index);
}

std::string PluginInstance::ParamDisplay(int index)
{
    std::string display = ReadText(vst::effGetParamDisplay, index);
    const std::string label = ReadText(vst::effGetParamLabel, index);
    while (!display.empty() && display.front() == ' ')
        display.erase(display.begin());
    return label.empty() ? display : display + " " + label;
}

std::string PluginInstance::ProgramName(int index)
{
    std::string name = ReadText(vst::effGetProgramNameIndexed, index);
    if (!name.empty()) return name;
    const auto current = Dispatch(vst::effGetProgram);
    SetProgram(index);
    name = ReadText(vst::effGetProgramName, 0);
    SetProgram(static_cast<int>(current));
    return name;
}

float PluginInstance::GetParameter(int index)
{
    return effect_->getParameter ? effect_->getParameter(effect_, index) : 0.0f;
}

void PluginInstance::SetParameter(int index, float value)
{
    if (effect_->setParameter) effect_->setParameter(effect_, index, value);
}

void PluginInstance::SetProgram(int index)
{
    Dispatch(vst::effBeginSetProgram);
    Dispatch(vst::effSetProgram, 0, index);
    Dispatch(vst::effEndSetProgram);
}

void PluginInstance::SetProgramName(const std::string& name)
{
    std::array<char, vst::kVstMaxProgNameLen> buffer{};
    std::strncpy(buffer.data(), name.c_str(), buffer.size() - 1);
    Dispatch(vst::effSetProgramName, 0, 0, buffer.data());
}

int PluginInstance::CurrentProgram()
{
    return static_cast<int>(Dispatch(vst::effGetProgram));
}

std::vector<std::uint8_t> PluginInstance::GetChunk(bool isProgram)
{
    void* data = nullptr;
    const std::intptr_t size = Dispatch(vst::effGetChunk, isProgram ? 1 : 0, 0, &data);
    if (size <= 0 || size > kMaxChunkBytes || !data)
        throw ToolError(std::string("the plug-in gave no ") + (isProgram ? "program" : "bank") + " chunk");
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

std::intptr_t PluginInstance::SetChunk(const std::vector<std::uint8_t>& bytes, bool isProgram)
{
    // The plug-in may keep the pointer only for the duration of the call; it gets its own copy.
    std::vector<std::uint8_t> copy = bytes;
    if (isProgram) Dispatch(vst::effBeginSetProgram);
    const auto answer = Dispatch(vst::effSetChunk, isProgram ? 1 : 0, static_cast<std::intptr_t>(copy.size()),
                                 copy.empty() ? nullptr : copy.data());
    if (isProgram) Dispatch(vst::effEndSetProgram);
    return answer;
}

void PluginInstance::Setup(double sampleRate, int blockSize, bool doublePrecision)
{
    Dispatch(vst::effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    Dispatch(vst::effSetBlockSize, 0, blockSize);
    Dispatch(vst::effSetProcessPrecision, 0,
             doublePrecision ? vst::kVstProcessPrecision64 : vst::kVstProcessPrecision32);
}

void PluginInstance::Resume()
{
    if (resumed_) return;
    Dispatch(vst::effMainsChanged, 0, 1);
    Dispatch(vst::effStartProcess);
    resumed_ = true;
}

void PluginInstance::Suspend()
{
    if (!resumed_) return;
    Dispatch(vst::effStopProcess);
    Dispatch(vst::effMainsChanged, 0, 0);
    resumed_ = false;
}

} // namespace zr::render
