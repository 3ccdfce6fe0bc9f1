#include "editor/graphics/IArgbColor.h"
#include "editor/graphics/IBitmapStrip.h"
#include "editor/graphics/IPopupList.h"
#include "editor/graphics/IRectangle.h"

#include <gtest/gtest.h>

using zr::IRectangle;

TEST(IRectangle, ContainsLeftAndTopButNotRightAndBottom)
{
    const IRectangle r{10, 20, 30, 40};
    EXPECT_TRUE(r.Contains(10, 20));
    EXPECT_TRUE(r.Contains(29, 39));
    EXPECT_FALSE(r.Contains(30, 39));
    EXPECT_FALSE(r.Contains(29, 40));
    EXPECT_FALSE(r.Contains(9, 25));
    EXPECT_FALSE(IRectangle{}.Contains(0, 0)); // the empty rectangle holds not even its origin
}

TEST(IRectangle, UnionWithAnEmptyOperandIsTheOther)
{
    const IRectangle a{10, 20, 30, 40};
    const IRectangle b{5, 25, 12, 60};
    EXPECT_EQ(a.Union(b), (IRectangle{5, 20, 30, 60}));
    EXPECT_EQ(a.Union({}), a);
    EXPECT_EQ(IRectangle{}.Union(a), a);
    EXPECT_TRUE(IRectangle{}.Union({}).Empty());
    // A rectangle touching the origin is not empty and takes part in unions.
    EXPECT_EQ((IRectangle{0, 0, 1, 1}).Union(a), (IRectangle{0, 0, 30, 40}));
}

TEST(IRectangle, IntersectionOfDisjointOrEmptyIsEmpty)
{
    const IRectangle a{10, 20, 30, 40};
    EXPECT_EQ(a.Intersect({25, 35, 50, 50}), (IRectangle{25, 35, 30, 40}));
    EXPECT_TRUE(a.Intersects({29, 39, 31, 41}));
    // Edges touch but share no pixel.
    EXPECT_FALSE(a.Intersects({30, 20, 40, 40}));
    EXPECT_TRUE(a.Intersect({30, 20, 40, 40}).Empty());
    EXPECT_FALSE(a.Intersects({0, 0, 10, 20}));
    EXPECT_FALSE(a.Intersects({}));
    EXPECT_FALSE(IRectangle{}.Intersects(a));
    EXPECT_TRUE(a.Intersect({}).Empty());
}

TEST(IArgbColor, PixelPacksAlphaRedGreenBlue)
{
    EXPECT_EQ((zr::IArgbColor{255, 0x12, 0x34, 0x56}).Pixel(), 0xff123456u);
    EXPECT_EQ((zr::IArgbColor{0x80, 0, 0, 0xff}).Pixel(), 0x800000ffu);
    // Out-of-range channels cannot spill into their neighbours.
    EXPECT_EQ((zr::IArgbColor{300, -5, 256, 1}).Pixel(), 0xff00ff01u);
}

TEST(IBitmapStrip, FrameForValueRoundsToTheNearestFrame)
{
    zr::IBitmapStrip strip{nullptr, 20, 650, 65, false};
    EXPECT_EQ(strip.FrameFor(0.0), 1);
    EXPECT_EQ(strip.FrameFor(1.0), 65);
    EXPECT_EQ(strip.FrameFor(0.5), 33);
    EXPECT_EQ(strip.FrameFor(2.0), 65);
    EXPECT_EQ(strip.FrameFor(-1.0), 1);
    EXPECT_EQ(strip.FrameHeight(), 10);
    EXPECT_EQ(strip.FrameRect(3, 4), (IRectangle{3, 4, 23, 14}));
    strip.N = 1;
    EXPECT_EQ(strip.FrameFor(0.7), 1);
    zr::IBitmapStrip wide{nullptr, 90, 10, 3, true};
    EXPECT_EQ(wide.FrameWidth(), 30);
    EXPECT_EQ(wide.FrameHeight(), 10);
}

TEST(IPopupList, ShownTextCarriesTheNumberingPrefix)
{
    zr::IPopupList plain;
    plain.AddItem("one");
    zr::IPopupList numbered(2);
    numbered.AddItem("first");
    numbered.AddItem("second");
    zr::IPopupList& sub = numbered.AddSubList("more");
    sub.AddItem("deep");
    EXPECT_EQ(plain.ShownText(0), "one");
    EXPECT_EQ(numbered.ShownText(1), "02: second");
    EXPECT_EQ(sub.ShownText(0), "01: deep");
    EXPECT_EQ(numbered.ShownText(7), "");
    EXPECT_EQ(numbered.ChosenIndex(), -1);
    plain.AddSeparator();
    EXPECT_FALSE(plain.Item(1)->Enabled());
}
