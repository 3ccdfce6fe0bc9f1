#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace zr
{

class IMessageBox;

namespace platform
{
class IniDocument;
}

// The per-user settings of the instrument, kept in the INI file "zr4400.ini" of the settings folder:
//
//   [Startup Bank]  File=<bank file loaded when an instance is created>
//   [Global]        Path to Program Files=<default folder of the file dialogs>
//   [MIDI Global]   MIDI Thru=true|false   Ignore Program Change=true|false
//   [MIDI Control]  CC<c>=<parameter index driven by controller c>
//
// Numbers are written and read with a decimal point whatever the process locale. Every operation
// runs on the editor's thread (menus) or during instance construction; the caller serialises them.
// The audio thread only reads the MIDI switches and reads and writes the controller map (MIDI
// learn): those are atomic, so the menu commands never need the instance lock while they ask
// questions or touch the file.
class Configuration
{
public:
    static constexpr int kControllerCount = 120;
    static constexpr int32_t kNoParameter = -1;

    static constexpr std::string_view kStartupBankSection = "Startup Bank";
    static constexpr std::string_view kStartupBankKey = "File";
    static constexpr std::string_view kGlobalSection = "Global";
    static constexpr std::string_view kProgramFilesKey = "Path to Program Files";
    static constexpr std::string_view kMidiGlobalSection = "MIDI Global";
    static constexpr std::string_view kMidiThruKey = "MIDI Thru";
    static constexpr std::string_view kIgnoreProgramChangeKey = "Ignore Program Change";
    static constexpr std::string_view kMidiControlSection = "MIDI Control";
    static constexpr std::string_view kControllerKeyPrefix = "CC";

    // What SaveConfiguration writes besides the startup bank.
    enum class Save
    {
        All,
        MidiThru,
        IgnoreProgramChange
    };

    using ControllerMap = std::array<std::atomic<int32_t>, kControllerCount>;

    // Finds (and creates) the settings folder, creates an empty INI file when there is none and reads
    // it. Messages of the menu commands go to messages, which must outlive the configuration.
    explicit Configuration(IMessageBox& messages);

    // Reads the INI file over the current settings; values that are absent keep them. fromMenu: the
    // user asked for it, and hears about a missing file.
    void ReadConfiguration(bool fromMenu);
    // Writes the startup bank and, as asked, the MIDI switches and the controller map. False when a
    // write failed.
    bool SaveConfiguration(Save what);

    // The startup bank: set and written; cleared and its section emptied; forgotten in memory only
    // (after it failed to load).
    void SetStartupBank(std::string_view path);
    void ClearStartupBank();
    void ForgetStartupBank() { mStartupBankPath.clear(); }
    // The default folder of the file dialogs, kept and written to the INI file.
    void SetProgramFilesPath(std::string_view folder);

    // ---- Menu commands -------------------------------------------------------------------------
    // "Reload Configuration" and "Save Configuration" ask first and go on only on Yes; true when
    // they went on (and, for the save, every write succeeded).
    bool ReloadConfigurationFromMenu();
    bool SaveConfigurationFromMenu();
    // "Unselect Startup Bank" asks first and goes on unless the answer is No.
    bool UnselectStartupBankFromMenu();
    // "Default Path for Program Files": the folder of the chosen file becomes the remembered folder
    // of the file dialogs and the program files path. An empty path (a cancelled dialog) does nothing.
    void ChooseProgramFilesPath(std::string_view chosenFile);
    // "MIDI Thru" and "Ignore Program Change": flip the switch and write it.
    void ToggleMidiThru();
    void ToggleIgnoreProgramChange();

    // ---- Settings ------------------------------------------------------------------------------
    const std::string& SettingsFolder() const { return mSettingsFolder; }
    const std::string& IniPath() const { return mIniPath; }
    const std::string& TuningFolder() const { return mTuningFolder; }
    void SetTuningFolder(std::string_view folder) { mTuningFolder = folder; }
    const std::string& StartupBankPath() const { return mStartupBankPath; }
    const std::string& ProgramFilesPath() const { return mProgramFilesPath; }
    // The MIDI switches (any thread). The setters change the setting in memory only.
    bool MidiThru() const { return mMidiThru; }
    bool IgnoreProgramChange() const { return mIgnoreProgramChange; }
    void SetMidiThru(bool on) { mMidiThru = on; }
    void SetIgnoreProgramChange(bool on) { mIgnoreProgramChange = on; }

    // The parameter driven by controller c; kNoParameter for none or a controller out of range (any
    // thread).
    int32_t ControllerParameter(int controller) const;
    // Assigns a controller (kNoParameter removes it); controllers out of range are ignored (any thread).
    void SetControllerParameter(int controller, int32_t parameter);
    // Removes every assignment of the parameter (any thread).
    void UnmapParameter(int32_t parameter);
    ControllerMap& Controllers() { return mControllers; }
    const ControllerMap& Controllers() const { return mControllers; }

    // The value that an INI entry gives a controller: the leading decimal integer, except that a
    // text that reads as 0 without beginning with the digit 0 is no number and gives kNoParameter.
    static int32_t ParseControllerEntry(std::string_view value);
    // The question text with its "%s" replaced by the path.
    static std::string FormatWithPath(std::string_view format, std::string_view path);
    // "true" in any case is true; anything else false.
    static bool ParseSwitch(std::string_view value);

private:
    // Edits of the INI document, written in one atomic replace by Store.
    void PutStartupBank(platform::IniDocument& ini) const;
    void PutControllers(platform::IniDocument& ini) const;
    bool Store(const platform::IniDocument& ini) const;
    // Shows a question about the INI file or the startup bank with the path in its text.
    bool Ask(std::string_view textFormat, std::string_view path, std::string_view title, bool onlyYes);

    IMessageBox& mMessages;
    std::string mSettingsFolder;
    std::string mIniPath;
    std::string mTuningFolder;
    std::string mStartupBankPath;
    std::string mProgramFilesPath;
    std::atomic<bool> mMidiThru = false;
    std::atomic<bool> mIgnoreProgramChange = false;
    ControllerMap mControllers;
};

} // namespace zr
