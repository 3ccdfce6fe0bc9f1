// One plug-in instance created through the module's entry function, driven as a host drives
// it. Every text the plug-in hands back is read through a generous, zeroed buffer and cut at
// its end, so a plug-in that writes past the published limits or writes nothing does no harm.
#pragma once

#include "plugin/VstAbi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zr::render
{

class PluginModule;

class PluginInstance
{
public:
    static constexpr int kMaxChannels = 64;   // more than this is taken for a broken record
    static constexpr int kMaxCount = 1 << 16; // bound for parameter and program counts
    static constexpr std::size_t kTextBuffer = 512;
    static constexpr std::intptr_t kMaxChunkBytes = std::intptr_t{256} << 20; // larger: a broken answer

    // Calls the entry with the host callback, checks the effect record and opens the instance.
    // Throws ToolError when the entry returns nothing or the record is not a VST2 effect.
    explicit PluginInstance(const PluginModule& module);
    ~PluginInstance(); // effClose
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    vst::AEffect& Effect() { return *effect_; }
    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f);

    int NumParams() const { return effect_->numParams; }
    int NumPrograms() const { return effect_->numPrograms; }
    int NumInputs() const { return effect_->numInputs; }
    int NumOutputs() const { return effect_->numOutputs; }
    std::int32_t UniqueId() const { return effect_->uniqueID; }
    bool HasFlag(std::int32_t flag) const { return (effect_->flags & flag) != 0; }

    std::string EffectName();
    std::string ParamName(int index);
    std::string ParamDisplay(int index); // display text and label
    std::string ProgramName(int index);  // without changing the current program
    float GetParameter(int index);
    void SetParameter(int index, float value);
    void SetProgram(int index);
    void SetProgramName(const std::string& name);
    int CurrentProgram();
    std::int32_t Version() const { return effect_->version; }
    // The plug-in's opaque chunk of the current program or of the whole bank (effGetChunk), copied;
    // throws ToolError when it gives none (or an implausible size).
    std::vector<std::uint8_t> GetChunk(bool isProgram);
    // Hands an opaque chunk over (program or bank); returns the plug-in's answer.
    std::intptr_t SetChunk(const std::vector<std::uint8_t>& bytes, bool isProgram);

    void Setup(double sampleRate, int blockSize, bool doublePrecision);
    void Resume();
    void Suspend();

private:
    std::string ReadText(std::int32_t opcode, std::int32_t index);
    void Validate(const std::string& path);

    vst::AEffect* effect_ = nullptr;
    bool resumed_ = false;
};

} // namespace zr::render
