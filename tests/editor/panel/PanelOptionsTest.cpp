#include "PanelOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace zr::paneltool
{
namespace
{

PanelOptions Parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "zr4400-panel");
    return ParsePanelArguments(static_cast<int>(args.size()), args.data());
}

TEST(PanelOptionsTest, ReadsEveryStepAndTheOutput)
{
    const PanelOptions o = Parse({"--fxb", "b.fxb", "--program", "5", "--fxp", "p.fxp", "--param",
                                  "B:Cutoff=0.3", "--param", "#183=1", "--param", "Final=0", "--hover",
                                  "51,450", "--click", "3,4", "--drag", "151,96,0,-40", "out.png"});
    EXPECT_EQ(o.output, "out.png");
    EXPECT_EQ(o.fxb, "b.fxb");
    EXPECT_EQ(o.fxp, "p.fxp");
    EXPECT_EQ(o.program, 5);
    ASSERT_EQ(o.params.size(), 3u);
    EXPECT_EQ(o.params[0].name, "Cutoff");
    EXPECT_EQ(o.params[0].block, 1);
    EXPECT_DOUBLE_EQ(o.params[0].value, 0.3);
    EXPECT_EQ(o.params[1].index, 183);
    EXPECT_TRUE(o.params[1].name.empty());
    EXPECT_EQ(o.params[2].block, -1);
    EXPECT_EQ(o.hover->x, 51);
    EXPECT_EQ(o.hover->y, 450);
    EXPECT_EQ(o.click->x, 3);
    EXPECT_EQ(o.drag->from.x, 151);
    EXPECT_EQ(o.drag->dy, -40);
    EXPECT_TRUE(Parse({"--help"}).help);
}

TEST(PanelOptionsTest, RefusesMalformedArguments)
{
    const std::vector<std::vector<const char*>> bad = {
        {},                                 // no output
        {"a.png", "b.png"},                 // two outputs
        {"--program", "x", "o.png"},        // not a number
        {"--program"},                      // no value
        {"--param", "Cutoff", "o.png"},     // no value
        {"--param", "Cutoff=1.5", "o.png"}, // out of range
        {"--param", "=0.5", "o.png"},       // no name
        {"--hover", "1", "o.png"},          // one number
        {"--drag", "1,2,3", "o.png"},       // three numbers
        {"--click", "1,,2", "o.png"},       // empty number
        {"--zoom", "2", "o.png"},           // unknown
    };
    for (const auto& args : bad)
    {
        EXPECT_THROW(Parse(args), BadArguments) << (args.empty() ? "(none)" : args[0]);
    }
}

} // namespace
} // namespace zr::paneltool
