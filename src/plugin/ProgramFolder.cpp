#include "plugin/ProgramFolder.h"

#include <mutex>

namespace zr
{

namespace
{

struct RememberedFolder
{
    std::mutex mutex;
    std::string folder;
    bool initialized = false;
};

RememberedFolder& Remembered()
{
    static RememberedFolder remembered;
    return remembered;
}

} // namespace

std::string ProgramFolder::Get()
{
    RememberedFolder& r = Remembered();
    std::lock_guard lock(r.mutex);
    return r.folder;
}

void ProgramFolder::Set(std::string_view folder)
{
    RememberedFolder& r = Remembered();
    std::lock_guard lock(r.mutex);
    r.folder = folder;
    r.initialized = true;
}

void ProgramFolder::InitializeOnce(std::string_view programFilesPath)
{
    RememberedFolder& r = Remembered();
    std::lock_guard lock(r.mutex);
    if (!r.initialized)
    {
        r.folder = programFilesPath;
        r.initialized = true;
    }
}

void ProgramFolder::RememberFileFolder(std::string_view filePath)
{
    if (!filePath.empty())
    {
        Set(FolderOf(filePath));
    }
}

std::string ProgramFolder::FolderOf(std::string_view filePath)
{
    const size_t separator = filePath.find_last_of("/\\");
    return separator == std::string_view::npos ? std::string() : std::string(filePath.substr(0, separator));
}

void ProgramFolder::Reset()
{
    RememberedFolder& r = Remembered();
    std::lock_guard lock(r.mutex);
    r.folder.clear();
    r.initialized = false;
}

} // namespace zr
