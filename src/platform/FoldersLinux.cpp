#include "platform/Folders.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "platform/FileAccess.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace zr::platform
{

namespace
{

// The file in ApplicationDataFolder() where the desktop environment names the user's folders.
constexpr const char* kUserDirsFileName = "user-dirs.dirs";
// Longest user-dirs.dirs file that is read; real ones are well under a kilobyte.
constexpr std::size_t kMaxUserDirsBytes = 64 * 1024;
constexpr std::string_view kHomeVariable = "$HOME";

std::optional<std::string> AbsoluteEnvironmentPath(const char* name)
{
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::string(value);
}

std::optional<std::string> PasswordHome()
{
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr ||
        found->pw_dir == nullptr || found->pw_dir[0] != '/')
        return std::nullopt;
    return std::string(found->pw_dir);
}

// The value of a shell assignment's right-hand side: quotes removed, backslash escapes resolved.
std::string ShellWord(std::string_view text)
{
    std::string word;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\\' && i + 1 < text.size())
            word += text[++i];
        else if (!quoted && (c == ' ' || c == '\t' || c == '#'))
            break;
        else
            word += c;
    }
    return word;
}

// The folder that user-dirs.dirs gives for name ("$HOME/..." or an absolute path); the last assignment
// wins, as when the shell reads the file.
std::optional<std::string> UserDir(std::string_view name)
{
    const FileReadResult file =
        ReadWholeFile(ApplicationDataFolder() + "/" + kUserDirsFileName, kMaxUserDirsBytes);
    if (file.status != FileReadStatus::Read) return std::nullopt;
    std::optional<std::string> folder;
    std::string_view rest = file.contents;
    while (!rest.empty())
    {
        const std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.substr(0, name.size()) != name || line.substr(name.size(), 1) != "=") continue;
        const std::string word = ShellWord(line.substr(name.size() + 1));
        if (word.substr(0, kHomeVariable.size()) == kHomeVariable &&
            (word.size() == kHomeVariable.size() || word[kHomeVariable.size()] == '/'))
            folder = HomeFolder() + word.substr(kHomeVariable.size());
        else if (!word.empty() && word.front() == '/')
            folder = word;
    }
    return folder;
}

std::string StripTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// The folder user-dirs.dirs names, else fallback under the home folder, else the home folder itself;
// only folders that exist are taken.
std::string UserFolder(std::string_view userDirName, const char* fallbackName)
{
    if (const auto named = UserDir(userDirName); named && IsFolder(*named))
        return StripTrailingSlashes(*named);
    const std::string fallback = HomeFolder() + "/" + fallbackName;
    return IsFolder(fallback) ? fallback : HomeFolder();
}

} // namespace

std::string HomeFolder()
{
    if (auto home = AbsoluteEnvironmentPath("HOME")) return StripTrailingSlashes(*home);
    return StripTrailingSlashes(PasswordHome().value_or("/"));
}

std::string ApplicationDataFolder()
{
    if (auto config = AbsoluteEnvironmentPath("XDG_CONFIG_HOME")) return StripTrailingSlashes(*config);
    return HomeFolder() + "/.config";
}

std::string SettingsFolder()
{
    const std::string folder = ApplicationDataFolder() + "/" + kSettingsFolderName;
    CreateFolders(folder);
    return folder;
}

std::string SettingsFilePath()
{
    return SettingsFolder() + "/" + kSettingsFileName;
}

std::string DocumentsFolder()
{
    return UserFolder("XDG_DOCUMENTS_DIR", "Documents");
}

std::string DesktopFolder()
{
    return UserFolder("XDG_DESKTOP_DIR", "Desktop");
}

namespace
{
// The folder part of path with its trailing separator; "" without one.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}
} // namespace

std::string ExecutableFolder()
{
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    return n > 0 ? FolderOf(std::string(path, static_cast<size_t>(n))) : std::string();
}

std::string ModuleFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&FolderOf), &info) || !info.dli_fname) return {};
    return FolderOf(info.dli_fname);
}

} // namespace zr::platform
