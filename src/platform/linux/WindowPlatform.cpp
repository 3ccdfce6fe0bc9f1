#include "platform/linux/WindowPlatform.h"

#include "platform/linux/X11EditorPlatform.h"

namespace zr
{

std::unique_ptr<IEditorPlatform> MakeWindowPlatform(IGraphics& graphics)
{
    return std::make_unique<X11EditorPlatform>(graphics);
}

} // namespace zr
