#include "editor/graphics/IEditorPlatform.h"

#include "platform/Folders.h"

namespace zr
{

namespace
{
std::string WithSeparator(std::string folder)
{
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder;
}
} // namespace

std::string IEditorPlatform::HostFolder() const
{
    return platform::ExecutableFolder();
}

std::string IEditorPlatform::ModuleFolder() const
{
    return platform::ModuleFolder();
}

std::string IEditorPlatform::DesktopFolder() const
{
    return WithSeparator(platform::DesktopFolder());
}

std::string IEditorPlatform::ApplicationDataFolder(bool system) const
{
    return system ? std::string("/usr/share/") : WithSeparator(platform::ApplicationDataFolder());
}

} // namespace zr
