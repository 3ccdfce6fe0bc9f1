#include "platform/ModuleResources.h"

#include <gtest/gtest.h>

#include <string>

namespace zr::platform
{
namespace
{

TEST(ModuleResourcesTest, FindsTheFactoryBankByTypeAndName)
{
    const auto bank = FindResource("PROGDATA", "PROGINIT");
    ASSERT_GT(bank.size(), 160u);
    EXPECT_EQ(std::string(bank.begin(), bank.begin() + 4), "CcnK");
    EXPECT_EQ(std::string(bank.begin() + 8, bank.begin() + 12), "FBCh");
    EXPECT_EQ(bank.data(), FindResource("PROGDATA", "PROGINIT").data()); // the same bytes each time
}

TEST(ModuleResourcesTest, UnknownTypesNamesAndIdsFindNothing)
{
    EXPECT_TRUE(FindResource("PROGDATA", "PROGINI").empty());
    EXPECT_TRUE(FindResource("PNG", "PROGINIT").empty());
    EXPECT_TRUE(FindResource("PROGDATA", 0).empty());
    EXPECT_TRUE(FindResource("PNG", 100).empty()); // the panel images are 101 .. 120
    EXPECT_TRUE(FindResource("PNG", 121).empty());
    for (const EmbeddedResource& resource : EmbeddedResources())
    {
        EXPECT_TRUE(resource.name != nullptr || resource.id != kNoResourceId);
    }
}

} // namespace
} // namespace zr::platform
