#include "plugin/HostKinds.h"

#include <gtest/gtest.h>

#include <set>

namespace zr
{
namespace
{

TEST(HostKinds, OnlyForteAuditionOrionAndSawStudioAreLimitedToStereo)
{
    std::set<int> stereoOnly;
    for (int kind = -1; kind <= 32; ++kind)
    {
        if (IsStereoOnly(static_cast<HostKind>(kind)))
            stereoOnly.insert(kind);
    }
    EXPECT_EQ(stereoOnly, (std::set<int>{15, 17, 18, 20}));
}

TEST(HostKinds, TheFirstListedSubstringWinsWhateverTheCase)
{
    EXPECT_EQ(HostKindOf("Adobe AUDITION"), HostKind::Audition);
    EXPECT_EQ(HostKindOf("Cubase Live"), HostKind::Cubase); // "cubase" comes before "live"
    EXPECT_EQ(HostKindOf("Digital Performer"), HostKind::Digital);
    EXPECT_EQ(HostKindOf("unknown host"), HostKind::Unknown);
    EXPECT_FALSE(IsStereoOnly(HostKindOf("")));
}

} // namespace
} // namespace zr
