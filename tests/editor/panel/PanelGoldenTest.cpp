// The Init program's panel, drawn as a whole, against a stored pixel hash. After an intended change
// of the art or the drawing, regenerate with ZR_GOLDEN_REGENERATE=1 (the test then rewrites
// golden/init-panel.txt); on a mismatch the picture drawn is left as init-panel-actual.png in the
// working folder for a look.
#include "PanelShot.h"

#include "instrument/ZR4400.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace
{

std::string GoldenPath()
{
    const char* dir = std::getenv("ZR_TEST_DATA");
    return std::string(dir ? dir : ".") + "/golden/init-panel.txt";
}

bool Regenerating()
{
    const char* flag = std::getenv("ZR_GOLDEN_REGENERATE");
    return flag && std::string(flag) == "1";
}

std::string HexOf(uint64_t hash)
{
    std::ostringstream out;
    out << std::hex << hash;
    return out.str();
}

} // namespace

TEST(PanelGoldenTest, InitProgramPanelMatchesTheStoredPicture)
{
    zr::PanelShot shot;
    shot.Plug().InitProgram();
    const std::vector<uint32_t> pixels = shot.Draw();
    ASSERT_EQ(shot.Width(), 1480);
    ASSERT_EQ(shot.Height(), 660);
    const std::string actual = HexOf(zr::HashPixels(pixels));
    if (Regenerating())
    {
        std::ofstream(GoldenPath()) << actual << "\n";
        GTEST_SKIP() << "regenerated " << GoldenPath();
    }
    std::string expected;
    std::ifstream(GoldenPath()) >> expected;
    EXPECT_EQ(actual, expected) << "see init-panel-actual.png";
    if (actual != expected)
    {
        zr::WritePanelPng("init-panel-actual.png", pixels, shot.Width(), shot.Height());
    }
}

// The same instance drawn twice gives the same picture, and a moved knob changes it only near the
// knob.
TEST(PanelGoldenTest, DrawingIsRepeatableAndLocal)
{
    zr::PanelShot shot;
    shot.Plug().InitProgram();
    shot.SetParameter(183, 0.0f); // "Final", big knob at (1394, 134)
    const std::vector<uint32_t> first = shot.Draw();
    EXPECT_EQ(shot.Draw(), first);
    shot.SetParameter(183, 1.0f);
    const std::vector<uint32_t> moved = shot.Draw();
    int changed = 0;
    for (int y = 0; y < shot.Height(); ++y)
    {
        for (int x = 0; x < shot.Width(); ++x)
        {
            const size_t i = static_cast<size_t>(y) * shot.Width() + x;
            if (moved[i] == first[i]) continue;
            ++changed;
            EXPECT_TRUE(x >= 1394 && x < 1434 && y >= 134 && y < 174) << x << "," << y;
        }
    }
    EXPECT_GT(changed, 20);
}
