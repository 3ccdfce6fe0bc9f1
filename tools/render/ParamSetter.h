// Applies --param assignments: finds parameters by the names the plug-in reports.
#pragma once

#include "RenderOptions.h"

#include <string>
#include <vector>

namespace zr::render
{

class PluginInstance;

// The parameter indexes an assignment addresses among `names` (index i holds the name of
// parameter i): every parameter of that name (case ignored), or only the block-th one of them.
// Throws ToolError when there is none.
std::vector<int> ResolveParam(const std::vector<std::string>& names, const ParamAssignment& assignment);

void ApplyParams(PluginInstance& plugin, const std::vector<ParamAssignment>& assignments);

} // namespace zr::render
