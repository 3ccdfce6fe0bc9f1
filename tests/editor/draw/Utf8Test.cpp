#include "editor/draw/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zr::draw
{
namespace
{

std::u32string Decode(std::string_view text)
{
    std::u32string out;
    for (size_t pos = 0; pos < text.size();)
        out.push_back(NextCodePoint(text, pos));
    return out;
}

constexpr char32_t R = kReplacementCharacter;

TEST(Utf8Test, ValidSequencesOfEveryLength)
{
    EXPECT_EQ(Decode("A\x7F"), U"A\x7F");
    EXPECT_EQ(Decode("\xC2\xB0"), U"\u00B0");
    EXPECT_EQ(Decode("\xE2\x82\xAC"), U"\u20AC");
    EXPECT_EQ(Decode("\xEF\xBF\xBF"), U"\uFFFF");
    EXPECT_EQ(Decode("\xF0\x9F\x8E\xB9"), U"\U0001F3B9");
    EXPECT_EQ(Decode("\xF4\x8F\xBF\xBF"), U"\U0010FFFF");
}

TEST(Utf8Test, InvalidSequencesBecomeReplacementsAndDecodingResumes)
{
    struct Case
    {
        const char* bytes;
        std::u32string expected;
    };
    const std::vector<Case> cases = {
        {"\x80"
         "a",
         {R, U'a'}},                        // stray continuation
        {"\xC3(", {R, U'('}},               // missing continuation
        {"\xC0\xAF", {R, R}},               // overlong lead bytes are never valid
        {"\xE0\x80\xAF", {R, R, R}},        // overlong three-byte form
        {"\xED\xA0\x80", {R, R, R}},        // surrogate
        {"\xF4\x90\x80\x80", {R, R, R, R}}, // above U+10FFFF
        {"\xF5\x80", {R, R}},
        {"\xE2\x82", {R}}, // cut off at the end: one replacement
        {"\xF0\x9F\x8E"
         "b",
         {R, U'b'}},
        {"\xFF\xFE", {R, R}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decode(c.bytes), c.expected) << c.bytes;
}

} // namespace
} // namespace zr::draw
