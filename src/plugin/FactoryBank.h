#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace zr
{

class Configuration;
class IMessageBox;
class IPlugBase;

// The factory bank: an opaque bank file image embedded in the module as the resource of type
// "PROGDATA" named "PROGINIT" (built by zr4400-bankgen from resources/factory), and the startup bank
// that replaces it when the user chose one. Every operation takes the plug-in's lock and runs on the
// editor's thread or during instance construction.
class FactoryBank
{
public:
    static constexpr std::string_view kResourceType = "PROGDATA";
    static constexpr std::string_view kResourceName = "PROGINIT";
    // The fx version field of the factory image.
    static constexpr int32_t kFxVersion = 10202;

    static constexpr std::string_view kLoadStartupBankText =
        "The Startup Bank is:\n%s\n\nDo you really want to reload all programs?";
    static constexpr std::string_view kLoadStartupBankTitle = "Load Startup Bank";

    // Loads all programs from the embedded image; false when the module has none or it is damaged.
    static bool Load(IPlugBase& plug);
    // Loads all programs from an image: its 160-byte file header is skipped unexamined, then the
    // "tffp" header if present; the bank is checked whole before it is applied; the host is told.
    static bool LoadImage(IPlugBase& plug, std::span<const uint8_t> image);

    // At instance creation: the startup bank file if it loads; otherwise the startup bank is
    // forgotten for this instance (the INI file keeps it) and the factory bank is loaded. True when
    // either loaded.
    static bool LoadStartupBank(IPlugBase& plug, Configuration& configuration);
    // "Load Startup Bank": asks first; unless the answer is No, loads the startup bank file and
    // reports a failure with "Cannot load file!".
    static bool ReloadStartupBankFromMenu(IPlugBase& plug, const Configuration& configuration,
                                          IMessageBox& messages);
};

} // namespace zr
