#pragma once

#include <memory>

namespace zr
{

class IEditorPlatform;
class IGraphics;

// The editor platform of this system's window system (X11 on Linux), for graphics.
std::unique_ptr<IEditorPlatform> MakeWindowPlatform(IGraphics& graphics);

} // namespace zr
