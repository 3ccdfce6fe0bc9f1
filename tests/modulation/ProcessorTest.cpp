#include "modulation/Attenuator.h"
#include "modulation/VoltageProcessor.h"

#include <gtest/gtest.h>

using namespace zr;

TEST(VoltageProcessor, MapsTheInputRangeOntoBToA)
{
    struct Case
    {
        double a, b, in, out;
    };
    const Case cases[] = {
        {0.5, 0.0, -1.0, 0.0},   {0.5, 0.0, 1.0, 0.5},   {0.5, 0.0, 0.0, 0.25}, // -1..+1 to 0..0.5
        {1.0, -1.0, -0.3, -0.3}, {1.0, -1.0, 0.8, 0.8},                         // passes
        {-1.0, 1.0, 0.8, -0.8},  {-1.0, 1.0, -1.0, 1.0},                        // inverts
        {0.4, 0.4, -1.0, 0.4},   {0.4, 0.4, 0.7, 0.4},                          // constant A
    };
    for (const Case& c : cases)
    {
        VoltageProcessor vp;
        double source = c.in;
        vp.SetA(c.a);
        vp.SetB(c.b);
        vp.SetInput(&source);
        vp.Process();
        EXPECT_NEAR(vp.Output(), c.out, 1e-15) << c.a << " " << c.b << " " << c.in;
    }
}

TEST(VoltageProcessor, NoInputGivesZero)
{
    VoltageProcessor vp;
    vp.SetA(0.5);
    vp.SetB(0.7);
    vp.Process();
    EXPECT_DOUBLE_EQ(vp.Output(), 0.0);
}

TEST(VoltageProcessor, SecondProcessorCanReadTheFirstOnesInput)
{
    VoltageProcessor vp1, vp2;
    double own = 1.0, shared = -1.0;
    vp2.SetA(1.0);
    vp2.SetB(-1.0);
    vp2.SetInput(&own);
    vp2.ReadInputOf(&vp1);
    vp2.Process();
    EXPECT_DOUBLE_EQ(vp2.Output(), 0.0); // VP1 has no input, whatever VP2's own selection

    vp1.SetInput(&shared);
    vp2.Process();
    EXPECT_DOUBLE_EQ(vp2.Output(), -1.0);

    shared = 0.25; // follows the source value and VP1's later selections
    vp2.Process();
    EXPECT_DOUBLE_EQ(vp2.Output(), 0.25);

    vp2.ReadInputOf(nullptr);
    vp2.Process();
    EXPECT_DOUBLE_EQ(vp2.Output(), 1.0);
}

TEST(Attenuator, ScalesItsInput)
{
    Attenuator atn;
    atn.Process();
    EXPECT_DOUBLE_EQ(atn.Output(), 0.0);
    double source = 0.8;
    atn.SetInput(&source);
    for (const double factor : {-1.0, -0.5, 0.0, 0.25, 1.0})
    {
        atn.SetFactor(factor);
        atn.Process();
        EXPECT_DOUBLE_EQ(atn.Output(), factor * 0.8);
    }
    atn.SetInput(nullptr);
    atn.Process();
    EXPECT_DOUBLE_EQ(atn.Output(), 0.0);
}
