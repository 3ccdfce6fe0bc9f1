#include "plugin/Configuration.h"

#include "platform/FileAccess.h"
#include "platform/Folders.h"
#include "platform/IniDocument.h"
#include "platform/PrivateProfile.h"
#include "plugin/MessageBox.h"
#include "plugin/ProgramFolder.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace zr
{

namespace
{

constexpr std::string_view kTrue = "true";
constexpr std::string_view kFalse = "false";
constexpr std::string_view kPathPlaceholder = "%s";

constexpr std::string_view kMissingIniText = "The INI file does not exist.";
constexpr std::string_view kMissingIniTitle = "Problem with INI File";
constexpr std::string_view kReloadText =
    "The INI configuration file is:\n%s\n\nDo you really want to reload it?";
constexpr std::string_view kReloadTitle = "Reload Configuration";
constexpr std::string_view kSaveText =
    "The INI configuration file is:\n%s\n\nDo you really want to overwrite it?";
constexpr std::string_view kSaveTitle = "Save Configuration";
constexpr std::string_view kUnselectText = "The Startup Bank is:\n%s\n\nDo you really want to unselect it?";
constexpr std::string_view kUnselectTitle = "Unselect Startup Bank";

std::string ControllerKey(int controller)
{
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), controller).ptr;
    return std::string(Configuration::kControllerKeyPrefix) + std::string(digits.data(), end);
}

std::string PrintInt(int32_t value)
{
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return std::string(digits.data(), end);
}

// The INI file as a document: empty when the file is missing, nothing when it cannot be read.
std::optional<platform::IniDocument> LoadIni(const std::string& path)
{
    const platform::FileReadResult file = platform::ReadWholeFile(path, platform::kMaxProfileFileBytes);
    if (file.status == platform::FileReadStatus::Failed)
    {
        return std::nullopt;
    }
    return platform::IniDocument::Parse(file.contents);
}

// The value, or nothing when it is absent or empty.
std::optional<std::string> NonEmpty(const platform::IniDocument& ini, std::string_view section,
                                    std::string_view key)
{
    std::optional<std::string> value = ini.Get(section, key);
    return value && !value->empty() ? value : std::nullopt;
}

bool BreaksLine(std::string_view value)
{
    return value.find_first_of("\r\n") != std::string_view::npos;
}

} // namespace

Configuration::Configuration(IMessageBox& messages)
    : mMessages(messages), mSettingsFolder(platform::SettingsFolder()),
      mIniPath(platform::SettingsFilePath()), mTuningFolder(platform::DocumentsFolder()),
      mProgramFilesPath(mTuningFolder)
{
    for (std::atomic<int32_t>& entry : mControllers)
    {
        entry = kNoParameter;
    }
    platform::CreateFileIfMissing(mIniPath);
    ReadConfiguration(false);
}

void Configuration::ReadConfiguration(bool fromMenu)
{
    const bool iniExists = platform::FileExists(mIniPath);
    // The file is read once; a file that cannot be read gives the defaults, as a missing one does.
    const platform::IniDocument ini = LoadIni(mIniPath).value_or(platform::IniDocument());
    // Paths are read in full: a path cut to a fixed buffer would name another file.
    mStartupBankPath = NonEmpty(ini, kStartupBankSection, kStartupBankKey).value_or("");
    if (auto folder = NonEmpty(ini, kGlobalSection, kProgramFilesKey))
    {
        mProgramFilesPath = *folder;
    }
    if (auto thru = NonEmpty(ini, kMidiGlobalSection, kMidiThruKey))
    {
        mMidiThru = ParseSwitch(*thru);
    }
    if (auto ignore = NonEmpty(ini, kMidiGlobalSection, kIgnoreProgramChangeKey))
    {
        mIgnoreProgramChange = ParseSwitch(*ignore);
    }
    for (int c = 0; c < kControllerCount; ++c)
    {
        if (auto value = NonEmpty(ini, kMidiControlSection, ControllerKey(c)))
        {
            mControllers[static_cast<size_t>(c)] = ParseControllerEntry(*value);
        }
    }
    if (fromMenu && !iniExists)
    {
        mMessages.Show(kMissingIniText, kMissingIniTitle, MessageBoxButtons::Ok);
    }
}

bool Configuration::SaveConfiguration(Save what)
{
    std::optional<platform::IniDocument> ini = LoadIni(mIniPath);
    if (!ini)
    {
        return false;
    }
    PutStartupBank(*ini);
    if (what == Save::All || what == Save::MidiThru)
    {
        ini->Set(kMidiGlobalSection, kMidiThruKey, mMidiThru ? kTrue : kFalse);
    }
    if (what == Save::All || what == Save::IgnoreProgramChange)
    {
        ini->Set(kMidiGlobalSection, kIgnoreProgramChangeKey, mIgnoreProgramChange ? kTrue : kFalse);
    }
    if (what == Save::All)
    {
        PutControllers(*ini);
    }
    return Store(*ini);
}

void Configuration::SetStartupBank(std::string_view path)
{
    mStartupBankPath = path;
    if (std::optional<platform::IniDocument> ini = LoadIni(mIniPath))
    {
        PutStartupBank(*ini);
        Store(*ini);
    }
}

void Configuration::ClearStartupBank()
{
    mStartupBankPath.clear();
    platform::WriteProfileString(kStartupBankSection, std::nullopt, std::nullopt, mIniPath);
}

void Configuration::SetProgramFilesPath(std::string_view folder)
{
    mProgramFilesPath = folder;
    platform::WriteProfileString(kGlobalSection, kProgramFilesKey, folder, mIniPath);
}

bool Configuration::ReloadConfigurationFromMenu()
{
    if (!Ask(kReloadText, mIniPath, kReloadTitle, true))
    {
        return false;
    }
    ReadConfiguration(true);
    return true;
}

bool Configuration::SaveConfigurationFromMenu()
{
    return Ask(kSaveText, mIniPath, kSaveTitle, true) && SaveConfiguration(Save::All);
}

bool Configuration::UnselectStartupBankFromMenu()
{
    if (!Ask(kUnselectText, mStartupBankPath, kUnselectTitle, false))
    {
        return false;
    }
    ClearStartupBank();
    return true;
}

void Configuration::ChooseProgramFilesPath(std::string_view chosenFile)
{
    if (chosenFile.empty())
    {
        return;
    }
    ProgramFolder::RememberFileFolder(chosenFile);
    SetProgramFilesPath(ProgramFolder::FolderOf(chosenFile));
}

void Configuration::UnmapParameter(int32_t parameter)
{
    for (std::atomic<int32_t>& entry : mControllers)
    {
        int32_t expected = parameter;
        entry.compare_exchange_strong(expected, kNoParameter);
    }
}

void Configuration::ToggleMidiThru()
{
    mMidiThru = !mMidiThru;
    SaveConfiguration(Save::MidiThru);
}

void Configuration::ToggleIgnoreProgramChange()
{
    mIgnoreProgramChange = !mIgnoreProgramChange;
    SaveConfiguration(Save::IgnoreProgramChange);
}

int32_t Configuration::ControllerParameter(int controller) const
{
    return controller >= 0 && controller < kControllerCount
               ? mControllers[static_cast<size_t>(controller)].load()
               : kNoParameter;
}

void Configuration::SetControllerParameter(int controller, int32_t parameter)
{
    if (controller >= 0 && controller < kControllerCount)
    {
        mControllers[static_cast<size_t>(controller)] = parameter;
    }
}

int32_t Configuration::ParseControllerEntry(std::string_view value)
{
    const int number = platform::LeadingInt(value);
    return number == 0 && (value.empty() || value.front() != '0') ? kNoParameter : number;
}

std::string Configuration::FormatWithPath(std::string_view format, std::string_view path)
{
    const size_t at = format.find(kPathPlaceholder);
    if (at == std::string_view::npos)
    {
        return std::string(format);
    }
    std::string text(format.substr(0, at));
    text += path;
    text += format.substr(at + kPathPlaceholder.size());
    return text;
}

bool Configuration::ParseSwitch(std::string_view value)
{
    return value.size() == kTrue.size() &&
           std::equal(value.begin(), value.end(), kTrue.begin(),
                      [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

void Configuration::PutStartupBank(platform::IniDocument& ini) const
{
    ini.DeleteSection(kStartupBankSection);
    // A path with a line break would split the file's lines; the section then stays empty.
    if (!BreaksLine(mStartupBankPath))
    {
        ini.Set(kStartupBankSection, kStartupBankKey, mStartupBankPath);
    }
}

void Configuration::PutControllers(platform::IniDocument& ini) const
{
    ini.DeleteSection(kMidiControlSection);
    for (int c = 0; c < kControllerCount; ++c)
    {
        const int32_t parameter = mControllers[static_cast<size_t>(c)];
        if (parameter != kNoParameter)
        {
            ini.Set(kMidiControlSection, ControllerKey(c), PrintInt(parameter));
        }
    }
}

bool Configuration::Store(const platform::IniDocument& ini) const
{
    return platform::ReplaceFileAtomically(mIniPath, ini.Text());
}

bool Configuration::Ask(std::string_view textFormat, std::string_view path, std::string_view title,
                        bool onlyYes)
{
    const MessageBoxAnswer answer =
        mMessages.Show(FormatWithPath(textFormat, path), title, MessageBoxButtons::YesNoCancel);
    return onlyYes ? answer == MessageBoxAnswer::Yes : answer != MessageBoxAnswer::No;
}

} // namespace zr
