#include "plugin/IParameter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <string_view>

using namespace zr;

namespace
{
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

IParameter DoubleParam(double step, double min = 0.0, double max = 1.0, double shape = 1.0)
{
    IParameter p;
    p.DefineDouble("p", min, min, max, step, "", shape);
    return p;
}

IParameter IntParam()
{
    IParameter p;
    p.DefineInt("PB Range", 0.0, -24.0, 24.0);
    return p;
}
} // namespace

TEST(IParameter, DisplayPrecisionFollowsTheStep)
{
    EXPECT_EQ(DoubleParam(0.01).DisplayPrecision(), 2);
    EXPECT_EQ(DoubleParam(1.0).DisplayPrecision(), 0);
    EXPECT_EQ(DoubleParam(1.0 / 3.0).DisplayPrecision(), 6);
    EXPECT_EQ(DoubleParam(0.001).DisplayPrecision(), 3);
    EXPECT_EQ(DoubleParam(0.1).DisplayPrecision(), 1);
}

TEST(IParameter, DefineDoubleWidensAnEmptyRangeByOneStep)
{
    IParameter p;
    p.DefineDouble("p", 0.0, 0.0, 0.0, 1.0);
    EXPECT_EQ(p.Min(), 0.0);
    EXPECT_EQ(p.Max(), 1.0);
}

TEST(IParameter, ShapeZeroKeepsTheCurrentShape)
{
    IParameter p;
    p.DefineDouble("p", 0.0, 0.0, 1.0, 0.01, "", 0.0);
    EXPECT_EQ(p.Shape(), 1.0);
    p.DefineDouble("p", 0.0, 0.0, 1.0, 0.01, "", 3.0);
    EXPECT_EQ(p.Shape(), 3.0);
}

TEST(IParameter, TheFirstInitializerFixesTheType)
{
    IParameter p = IntParam();
    EXPECT_EQ(p.GetType(), IParameter::Type::Int);
    EXPECT_EQ(p.Step(), 1.0);
    p.DefineDouble("again", 0.0, 0.0, 1.0, 0.5);
    EXPECT_EQ(p.GetType(), IParameter::Type::Int);

    IParameter b;
    b.DefineBool("FM Mod", true);
    EXPECT_EQ(b.GetType(), IParameter::Type::Bool);
    EXPECT_EQ(b.Value(), 1.0);
    ASSERT_EQ(b.DisplayTexts().size(), 2u);
    EXPECT_STREQ(b.GetDisplayText(0.0), "off");
    EXPECT_STREQ(b.GetDisplayText(1.0), "on");

    IParameter e;
    constexpr std::array<std::string_view, 3> texts = {"Damp", "Halp Damp", "Release"};
    e.DefineEnum("EM Rel", 2.0, texts);
    EXPECT_EQ(e.GetType(), IParameter::Type::Enum);
    EXPECT_EQ(e.Max(), 2.0);
    EXPECT_EQ(e.Value(), 2.0);
    EXPECT_EQ(e.GetDisplay(), "Release");
}

TEST(IParameter, SetFromNormalizedRoundsNonDoublesAndFollowsTheShape)
{
    IParameter pb = IntParam();
    pb.SetFromNormalized(0.5);
    EXPECT_EQ(pb.Value(), 0.0);
    pb.SetFromNormalized(0.51); // -24 + 24.48 rounds to 0
    EXPECT_EQ(pb.Value(), 0.0);
    pb.SetFromNormalized(0.52); // 0.96 rounds to 1
    EXPECT_EQ(pb.Value(), 1.0);

    IParameter shaped = DoubleParam(0.1, 0.0, 100.0, 2.0);
    shaped.SetFromNormalized(0.5);
    EXPECT_DOUBLE_EQ(shaped.Value(), 25.0);
    EXPECT_DOUBLE_EQ(shaped.GetNormalized(), 0.5);
    shaped.SetFromNormalized(0.3333); // doubles are not rounded to the step
    EXPECT_DOUBLE_EQ(shaped.Value(), 0.3333 * 0.3333 * 100.0);
}

TEST(IParameter, SetFromNormalizedKeepsBadHostValuesInRange)
{
    IParameter pb = IntParam();
    IParameter cents = DoubleParam(1.0, -100.0, 100.0);
    IParameter shaped = DoubleParam(0.1, 0.05, 1500.0, 6.0);
    for (IParameter* p : {&pb, &cents, &shaped})
    {
        p->SetFromNormalized(-0.5);
        EXPECT_EQ(p->Value(), p->Min());
        p->SetFromNormalized(kNaN);
        EXPECT_EQ(p->Value(), p->Min());
        p->SetFromNormalized(1.5);
        EXPECT_EQ(p->Value(), p->Max());
        p->SetFromNormalized(kInf);
        EXPECT_EQ(p->Value(), p->Max());
        p->SetFromNormalized(-kInf);
        EXPECT_EQ(p->Value(), p->Min());
    }
}

TEST(IParameter, SetClampsAndIgnoresNaN)
{
    IParameter p = DoubleParam(0.01, -1.0, 1.0);
    p.Set(0.3);
    EXPECT_EQ(p.Value(), 0.3);
    p.Set(kNaN);
    EXPECT_EQ(p.Value(), 0.3);
    p.Set(7.0);
    EXPECT_EQ(p.Value(), 1.0);
    p.Set(-kInf);
    EXPECT_EQ(p.Value(), -1.0);
}

TEST(IParameter, NormalizedValueClampsFirst)
{
    IParameter p = DoubleParam(0.01, 0.0, 100.0, 2.0);
    EXPECT_DOUBLE_EQ(p.GetNormalized(25.0), 0.5);
    EXPECT_EQ(p.GetNormalized(-5.0), 0.0);
    EXPECT_EQ(p.GetNormalized(500.0), 1.0);
    EXPECT_EQ(p.GetNormalized(kNaN), 0.0);
}

TEST(IParameter, DisplayUsesTextsPrecisionAndTruncation)
{
    IParameter pb = IntParam();
    EXPECT_EQ(pb.GetDisplay(-3.7, false, true), "-3");
    EXPECT_EQ(pb.GetDisplay(0.0, true, true), "-24");
    EXPECT_EQ(pb.GetDisplay(1.0, true, true), "24");

    IParameter level = DoubleParam(0.01);
    EXPECT_EQ(level.GetDisplay(0.25, false, true), "0.25");
    EXPECT_EQ(level.GetDisplay(1.0, false, true), "1.00");
    EXPECT_EQ(level.GetDisplay(kNaN, false, true), "nan");

    IParameter b;
    b.DefineBool("ChEnable", false);
    EXPECT_EQ(b.GetDisplay(1.9, false, true), "on"); // 1.9 truncates to 1
    EXPECT_EQ(b.GetDisplay(-0.5, false, true), "off");
    EXPECT_EQ(b.GetDisplay(1.0, false, false), "1");
    EXPECT_EQ(b.GetDisplay(0.75, true, true), "off"); // normalised 0.75 is value 0.75, truncated 0
}

TEST(IParameter, EmptyDisplayTextsFallBackToTheNumber)
{
    IParameter p;
    p.DefineDouble("p", 0.0, 0.0, 3.0, 1.0);
    p.AppendDisplayText(1, "");
    p.AppendDisplayText(2, "two");
    p.AppendDisplayText(2, "second two");
    EXPECT_EQ(p.GetDisplayText(1.0), nullptr);
    EXPECT_EQ(p.GetDisplay(1.0, false, true), "1");
    EXPECT_EQ(p.GetDisplay(2.0, false, true), "two");
    double v = -1.0;
    EXPECT_TRUE(p.MapDisplayText("second two", &v));
    EXPECT_EQ(v, 2.0);
    v = -1.0;
    EXPECT_FALSE(p.MapDisplayText("three", &v));
    EXPECT_EQ(v, -1.0);
}

TEST(IParameter, LabelForHostIsEmptyWhenATextIsShown)
{
    IParameter p;
    p.DefineDouble("PWM Int", 50.0, 0.0, 100.0, 0.1, "%");
    EXPECT_EQ(p.GetLabelForHost(), "%");
    p.AppendDisplayText(50, "half");
    EXPECT_EQ(p.GetLabelForHost(), "");
    p.Set(10.0);
    EXPECT_EQ(p.GetLabelForHost(), "%");
}

TEST(IParameter, NamesAndLabelsAreCutTo31Characters)
{
    IParameter p;
    const std::string longText(40, 'x');
    p.DefineDouble(longText, 0.0, 0.0, 1.0, 0.1, longText);
    p.AppendDisplayText(0, longText);
    EXPECT_EQ(p.Name().size(), 31u);
    EXPECT_EQ(p.Label().size(), 31u);
    EXPECT_EQ(std::string(p.GetDisplayText(0.0)).size(), 31u);
}
