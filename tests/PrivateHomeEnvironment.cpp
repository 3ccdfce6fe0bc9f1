// Linked into every test program: before the first test, HOME and the XDG folders point into a
// private temporary folder, so that instances (which read and create their INI file at creation)
// and tools run by the tests never touch the real user's folders. Afterwards the old values come
// back and the folder is removed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace
{

class PrivateHomeEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zr4400-home-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        mHome = pattern;
        Set("HOME", mHome);
        Set("XDG_CONFIG_HOME", mHome + "/.config");
        Set("XDG_DATA_HOME", mHome + "/.local/share");
        Set("XDG_CACHE_HOME", mHome + "/.cache");
        Set("XDG_DOCUMENTS_DIR", std::nullopt);
        Set("XDG_DESKTOP_DIR", std::nullopt);
    }

    void TearDown() override
    {
        for (const auto& [name, value] : mSaved)
        {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        mSaved.clear();
        std::error_code error;
        if (!mHome.empty()) std::filesystem::remove_all(mHome, error);
    }

private:
    void Set(const char* name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name);
        mSaved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }

    std::string mHome;
    std::vector<std::pair<std::string, std::optional<std::string>>> mSaved;
};

// gtest owns registered environments.
[[maybe_unused]] ::testing::Environment* const gPrivateHome =
    ::testing::AddGlobalTestEnvironment(new PrivateHomeEnvironment);

} // namespace
