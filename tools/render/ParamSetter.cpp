#include "ParamSetter.h"

#include "PluginInstance.h"
#include "ToolError.h"

#include <algorithm>
#include <cctype>

namespace zr::render
{
namespace
{

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) {
                                                  return std::tolower(static_cast<unsigned char>(x)) ==
                                                         std::tolower(static_cast<unsigned char>(y));
                                              });
}

} // namespace

std::vector<int> ResolveParam(const std::vector<std::string>& names, const ParamAssignment& a)
{
    if (a.index >= 0)
    {
        if (a.index >= static_cast<int>(names.size()))
            throw ToolError("--param " + a.text + ": the plug-in has only " + std::to_string(names.size()) +
                                " parameters",
                            kExitBadArguments);
        return {a.index};
    }
    std::vector<int> matches;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (SameName(names[i], a.name)) matches.push_back(static_cast<int>(i));
    if (matches.empty())
        throw ToolError("--param " + a.text + ": the plug-in has no parameter named \"" + a.name +
                            "\" (see --list-params)",
                        kExitBadArguments);
    if (a.block < 0) return matches;
    if (a.block >= static_cast<int>(matches.size()))
        throw ToolError("--param " + a.text + ": block " + std::string(1, static_cast<char>('A' + a.block)) +
                            " does not exist; " + std::to_string(matches.size()) +
                            " parameter(s) are named \"" + a.name + "\"",
                        kExitBadArguments);
    return {matches[static_cast<std::size_t>(a.block)]};
}

void ApplyParams(PluginInstance& plugin, const std::vector<ParamAssignment>& assignments)
{
    if (assignments.empty()) return;
    std::vector<std::string> names;
    for (int i = 0; i < plugin.NumParams(); ++i)
        names.push_back(plugin.ParamName(i));
    for (const ParamAssignment& a : assignments)
        for (int index : ResolveParam(names, a))
            plugin.SetParameter(index, static_cast<float>(a.value));
}

} // namespace zr::render
