#pragma once

#include <string>

namespace zr::platform
{

// The user's folders as the instrument uses them. Paths carry no trailing separator. Called from the
// editor's thread or during instance construction (they read the environment and the file system).

inline constexpr const char* kSettingsFolderName = "ZarnowAudio";
inline constexpr const char* kSettingsFileName = "zr4400.ini";

// The user's home folder.
std::string HomeFolder();
// The per-user folder for application settings (the local application-data folder of the design).
std::string ApplicationDataFolder();
// The instrument's settings folder inside ApplicationDataFolder(), created (with missing parents) when it
// does not exist.
std::string SettingsFolder();
// The INI file inside SettingsFolder().
std::string SettingsFilePath();
// The user's documents and desktop folders; the home folder when they do not exist.
std::string DocumentsFolder();
std::string DesktopFolder();
// The folders (with a trailing separator) of the running program and of the file holding this code;
// "" when they cannot be found.
std::string ExecutableFolder();
std::string ModuleFolder();

} // namespace zr::platform
