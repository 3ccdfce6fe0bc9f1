// Command-line options of zr4400-render and their parsing.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::render
{

// One --param assignment: "[BLOCK:]NAME=VALUE" or "#INDEX=VALUE".
struct ParamAssignment
{
    std::string name;   // parameter name as the plug-in reports it (empty when index is used)
    int block = -1;     // 0 for A, 1 for B ...; -1: every parameter of that name
    int index = -1;     // explicit parameter index, or -1
    double value = 0.0; // normalised 0..1
    std::string text;   // the argument as given, for messages
};

struct RenderOptions
{
    static constexpr double kDefaultRate = 44100.0;
    static constexpr int kDefaultBlock = 512;
    static constexpr double kDefaultTail = 2.0;
    static constexpr double kMinRate = 1000.0;
    static constexpr double kMaxRate = 768000.0;
    static constexpr int kMaxBlock = 65536;
    static constexpr double kMaxTail = 600.0;

    std::string pluginPath; // empty: the default module next to the tool
    std::string midiPath;   // empty: the built-in demo phrase
    std::string outputPath;
    std::optional<int> program;
    std::string fxpPath;
    std::string fxbPath;
    std::string saveFxpPath; // written after every setting, before rendering
    std::string saveFxbPath;
    std::vector<ParamAssignment> params;
    double sampleRate = kDefaultRate;
    int blockSize = kDefaultBlock;
    bool doublePrecision = false;
    double tailSeconds = kDefaultTail;
    bool listPrograms = false;
    bool listParams = false;
    bool quiet = false;
    bool help = false;
};

// Parses argv; throws ToolError with kExitBadArguments on any mistake.
RenderOptions ParseArguments(int argc, const char* const* argv);

// Parses one --param argument; throws ToolError on a bad one.
ParamAssignment ParseParamAssignment(const std::string& text);

std::string UsageText();

} // namespace zr::render
