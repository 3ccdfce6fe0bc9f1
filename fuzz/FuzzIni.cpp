// INI files: the text is parsed, looked up and edited as the configuration does; an edit with a
// well-formed section and key must read back exactly, and the profile functions on a file holding
// the text never fail to answer.
#include "FuzzInstance.h"
#include "platform/IniDocument.h"
#include "platform/PrivateProfile.h"
#include "plugin/Configuration.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <string>

namespace
{

std::string gProfilePath;

bool WellFormedName(const std::string& name, const char* forbidden)
{
    // Blanks around names are not kept by the format, and a leading ";" makes a comment.
    return !name.empty() && name.find_first_of(forbidden) == std::string::npos && name.front() != ' ' &&
           name.back() != ' ' && name.front() != '\t' && name.back() != '\t' && name.front() != ';' &&
           name.front() != '[';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    zr::fuzz::UsePrivateHome();
    gProfilePath = std::string(std::getenv("HOME")) + "/zr4400.ini";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(24);
    const std::string key = input.ConsumeRandomLengthString(24);
    const std::string value = input.ConsumeRandomLengthString(24);
    const std::string text = input.ConsumeRemainingBytesAsString();

    zr::platform::IniDocument document = zr::platform::IniDocument::Parse(text);
    if (const auto found = document.Get(section, key))
    {
        zr::platform::LeadingInt(*found);
        zr::Configuration::ParseControllerEntry(*found);
        zr::Configuration::ParseSwitch(*found);
    }
    document.Set(section, key, value);
    const zr::platform::IniDocument reread = zr::platform::IniDocument::Parse(document.Text());
    if (WellFormedName(section, "\r\n[]") && WellFormedName(key, "\r\n=") &&
        value.find_first_of("\r\n") == std::string::npos &&
        value.find_first_of(" \t\"'") == std::string::npos)
    {
        if (reread.Get(section, key) != value)
        {
            zr::fuzz::Fail("a written key does not read back");
        }
    }
    document.DeleteKey(section, key);
    document.DeleteSection(section);

    if (std::FILE* file = std::fopen(gProfilePath.c_str(), "wb"))
    {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    zr::platform::ReadProfileString(section, key, "default", gProfilePath);
    zr::platform::ReadProfileInt(section, key, 7, gProfilePath);
    return 0;
}
