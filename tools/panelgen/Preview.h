#pragma once

#include <string>

namespace zr::panelgen
{

// Composes the images drawn into `folder` into one picture of the whole panel, every control at
// its place with a sample value, so the art can be judged without the plug-in. False on failure.
bool WritePreview(const std::string& folder, const std::string& path);

} // namespace zr::panelgen
