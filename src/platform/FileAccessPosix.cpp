#include "platform/FileAccess.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zr::platform
{

namespace
{

// Permissions of a file that did not exist before it was first written.
constexpr mode_t kNewFileMode = 0644;

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty())
    {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The file a path finally names, symbolic links followed; the path itself when that cannot be resolved.
std::filesystem::path ResolvedTarget(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const auto target = std::filesystem::weakly_canonical(path, error);
    return error ? std::filesystem::path(path) : target;
}

void SyncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

FileReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes)
{
    FileReadResult result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
    {
        result.status = errno == ENOENT ? FileReadStatus::Missing : FileReadStatus::Failed;
        return result;
    }
    struct stat info
    {
    };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > maxBytes)
    {
        ::close(fd);
        return result;
    }
    // One byte of room past the size seen by fstat tells a file that grew meanwhile.
    result.contents.resize(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t total = 0;
    while (total < result.contents.size())
    {
        const ssize_t got = ::read(fd, result.contents.data() + total, result.contents.size() - total);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0)
        {
            ::close(fd);
            result.contents.clear();
            return result;
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    ::close(fd);
    if (total == result.contents.size())
    {
        result.contents.clear();
        return result;
    }
    result.contents.resize(total);
    result.status = FileReadStatus::Read;
    return result;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view contents)
{
    const std::filesystem::path target = ResolvedTarget(path);
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string temporary = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    struct stat existing
    {
    };
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 ? existing.st_mode & 07777 : kNewFileMode;
    const bool written = ::fchmod(fd, mode) == 0 && WriteAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0)
    {
        ::unlink(temporary.c_str());
        return false;
    }
    SyncFolder(folder);
    return true;
}

bool FileExists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsFolder(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

bool CreateFolders(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directories(path, error);
    return IsFolder(path);
}

bool CreateFileIfMissing(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK, kNewFileMode);
    if (fd < 0) return false;
    ::close(fd);
    return FileExists(path);
}

} // namespace zr::platform
