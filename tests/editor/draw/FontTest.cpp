#include "editor/draw/FontFaces.h"
#include "editor/draw/LICE_CachedFont.h"
#include "editor/draw/LICE_MemBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace
{

using zr::draw::FindFontFace;
using zr::draw::FontFamily;
using zr::draw::FontFamilyForFaceName;

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr int kLeft = 0, kCentre = 1, kRight = 2;

std::unique_ptr<LICE_CachedFont> Font(std::string_view face = "Verdana", int height = 12, bool bold = false,
                                      bool italic = false, bool antialias = true)
{
    auto font = LICE_CachedFont::Create(face, height, bold, italic, antialias);
    EXPECT_NE(font, nullptr) << face << " " << height;
    return font;
}

int Width(LICE_CachedFont& font, std::string_view text)
{
    int w = -1, h = -1;
    EXPECT_TRUE(font.DrawText(nullptr, text, 0, 0, 0, 0, kBlack, kLeft, true, &w, &h));
    return w;
}

LICE_MemBitmap Canvas(int w, int h, uint32_t colour = kBlack)
{
    LICE_MemBitmap bitmap(w, h);
    std::fill_n(bitmap.Bits(), size_t(w) * h, colour);
    return bitmap;
}

// The box around every pixel that differs from the background.
struct Ink
{
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1; // right and bottom outside

    bool Empty() const { return right < 0; }
    double CentreX() const { return (left + right) / 2.0; }
    double CentreY() const { return (top + bottom) / 2.0; }
};

Ink FindInk(const LICE_MemBitmap& bitmap, uint32_t background)
{
    Ink ink;
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x)
            if (bitmap.Bits()[y * bitmap.Width() + x] != background)
            {
                ink.left = std::min(ink.left, x);
                ink.top = std::min(ink.top, y);
                ink.right = std::max(ink.right, x + 1);
                ink.bottom = std::max(ink.bottom, y + 1);
            }
    return ink;
}

Ink DrawAndFindInk(LICE_CachedFont& font, std::string_view text, int x, int y, int w, int h, int align)
{
    LICE_MemBitmap canvas = Canvas(200, 60);
    EXPECT_TRUE(font.DrawText(&canvas, text, x, y, w, h, kWhite, align));
    return FindInk(canvas, kBlack);
}

TEST(FontFacesTest, PanelNamesMapToTheEmbeddedFamilies)
{
    EXPECT_EQ(FontFamilyForFaceName("Verdana"), FontFamily::DejaVuSans);
    EXPECT_EQ(FontFamilyForFaceName("Tahoma"), FontFamily::DejaVuSans);
    EXPECT_EQ(FontFamilyForFaceName("Arial"), FontFamily::LiberationSans);
    EXPECT_EQ(FontFamilyForFaceName("arial"), FontFamily::LiberationSans);
    EXPECT_EQ(FontFamilyForFaceName("Comic Sans"), FontFamily::DejaVuSans);
    EXPECT_EQ(FontFamilyForFaceName(""), FontFamily::DejaVuSans);
}

TEST(FontFacesTest, EveryStyleOfEveryFamilyIsEmbedded)
{
    for (FontFamily family : {FontFamily::DejaVuSans, FontFamily::LiberationSans})
        for (bool bold : {false, true})
            for (bool italic : {false, true})
            {
                const auto face = FindFontFace(family, bold, italic);
                EXPECT_GT(face.bytes.size(), 10000u) << int(family) << bold << italic;
                // Only Liberation Sans has an italic face; the others are slanted.
                const bool italicFace = family == FontFamily::LiberationSans && !bold;
                EXPECT_EQ(face.synthesizeOblique, italic && !italicFace) << int(family) << bold << italic;
            }
}

TEST(FontTest, SizesThatCannotBeMadeGiveNone)
{
    EXPECT_EQ(LICE_CachedFont::Create("Verdana", 0, false, false), nullptr);
    EXPECT_EQ(LICE_CachedFont::Create("Verdana", -12, false, false), nullptr);
    EXPECT_EQ(LICE_CachedFont::Create("Verdana", 100000, false, false), nullptr);
}

TEST(FontTest, MeasuringGivesWidthAndHeight)
{
    auto font = Font();
    EXPECT_EQ(Width(*font, ""), 0);
    EXPECT_GT(Width(*font, "Hello world"), Width(*font, "Hello"));
    EXPECT_GT(Width(*font, "WWW"), Width(*font, "iii"));
    int w = 0, h = 0;
    font->DrawText(nullptr, "Hg", 0, 0, 0, 0, kBlack, kLeft, true, &w, &h);
    EXPECT_NEAR(h, 12, 1);
    auto big = Font("Verdana", 24);
    EXPECT_GT(Width(*big, "Hello"), Width(*font, "Hello") * 3 / 2);

    auto bold = Font("Verdana", 12, true);
    EXPECT_GT(Width(*bold, "Oscillator level"), Width(*font, "Oscillator level"));
    // Liberation Sans is narrower than DejaVu Sans: the names reach different faces.
    auto arial = Font("Arial", 12);
    EXPECT_LT(Width(*arial, "Oscillator level"), Width(*font, "Oscillator level"));
}

TEST(FontTest, KerningPairsSitCloser)
{
    for (std::string_view face : {"Verdana", "Arial"})
    {
        auto font = Font(face, 24);
        EXPECT_LT(Width(*font, "AV"), Width(*font, "A") + Width(*font, "V")) << face;
        EXPECT_EQ(Width(*font, "HH"), 2 * Width(*font, "H")) << face;
    }
}

TEST(FontTest, MeasuringDrawsNothingAndDrawingReportsTheSameSize)
{
    auto font = Font();
    LICE_MemBitmap canvas = Canvas(100, 30);
    int w = 0, h = 0;
    EXPECT_TRUE(font->DrawText(&canvas, "Tune", 0, 0, 100, 30, kWhite, kLeft, true, &w, &h));
    EXPECT_TRUE(FindInk(canvas, kBlack).Empty());
    int drawnW = 0, drawnH = 0;
    EXPECT_TRUE(font->DrawText(&canvas, "Tune", 0, 0, 100, 30, kWhite, kLeft, false, &drawnW, &drawnH));
    EXPECT_EQ(drawnW, w);
    EXPECT_EQ(drawnH, h);
    EXPECT_FALSE(FindInk(canvas, kBlack).Empty());
    EXPECT_FALSE(font->DrawText(nullptr, "Tune", 0, 0, 100, 30, kWhite, kLeft));
}

TEST(FontTest, AlignmentPlacesTheInkInTheBox)
{
    auto font = Font("Verdana", 12);
    const int boxX = 20, boxY = 10, boxW = 160, boxH = 40;
    const int textW = Width(*font, "HIH");
    const Ink left = DrawAndFindInk(*font, "HIH", boxX, boxY, boxW, boxH, kLeft);
    const Ink centre = DrawAndFindInk(*font, "HIH", boxX, boxY, boxW, boxH, kCentre);
    const Ink right = DrawAndFindInk(*font, "HIH", boxX, boxY, boxW, boxH, kRight);
    ASSERT_FALSE(left.Empty());
    // H has small side bearings: the ink starts and ends within two pixels of the advance box.
    EXPECT_NEAR(left.left, boxX, 2);
    EXPECT_NEAR(left.right, boxX + textW, 2);
    EXPECT_NEAR(right.right, boxX + boxW, 2);
    EXPECT_NEAR(centre.CentreX(), boxX + boxW / 2.0, 1.5);
    // The same glyphs, moved only horizontally; vertically centred in the box.
    EXPECT_EQ(centre.right - centre.left, left.right - left.left);
    EXPECT_EQ(centre.top, left.top);
    EXPECT_EQ(right.bottom, left.bottom);
    EXPECT_NEAR(left.CentreY(), boxY + boxH / 2.0, 2.5);
}

TEST(FontTest, TextIsNotClippedToItsBoxButToTheBitmap)
{
    auto font = Font();
    const Ink overflow = DrawAndFindInk(*font, "A long text in a small box", 10, 10, 20, 12, kLeft);
    EXPECT_GT(overflow.right, 60);
    // Partly and wholly outside the bitmap: what lies inside is drawn, nothing else is touched.
    const Ink cut = DrawAndFindInk(*font, "Edge", -10, 50, 100, 20, kLeft);
    EXPECT_FALSE(cut.Empty());
    EXPECT_EQ(cut.left, 0);
    EXPECT_EQ(cut.bottom, 60);
    EXPECT_TRUE(DrawAndFindInk(*font, "Far", -100000, 1 << 30, 10, 10, kCentre).Empty());
    EXPECT_TRUE(DrawAndFindInk(*font, "Far", INT_MAX, INT_MIN, INT_MAX, INT_MAX, kRight).Empty());
}

TEST(FontTest, ColourAndItsAlpha)
{
    auto font = Font("Verdana", 20, false, false, false); // no antialiasing: full coverage or none
    LICE_MemBitmap canvas = Canvas(60, 30, 0xFF204080);
    font->DrawText(&canvas, "H", 0, 0, 60, 30, 0xFFF0C010, kCentre);
    int inked = 0;
    for (int i = 0; i < 60 * 30; ++i)
    {
        const uint32_t p = canvas.Bits()[i];
        ASSERT_TRUE(p == 0xFF204080u || p == 0xFFF0C010u) << std::hex << p;
        inked += p == 0xFFF0C010u;
    }
    EXPECT_GT(inked, 20);

    LICE_MemBitmap half = Canvas(60, 30);
    font->DrawText(&half, "H", 0, 0, 60, 30, 0x80FFFFFF, kCentre);
    const uint32_t brightest = *std::max_element(half.Bits(), half.Bits() + 60 * 30);
    EXPECT_EQ(brightest, 0xFF808080u); // alpha 128 at full coverage: 255 x 129/256

    LICE_MemBitmap none = Canvas(60, 30);
    EXPECT_TRUE(font->DrawText(&none, "H", 0, 0, 60, 30, 0x00FFFFFF, kCentre));
    EXPECT_TRUE(FindInk(none, kBlack).Empty());
}

TEST(FontTest, AntialiasedEdgesAreGrey)
{
    auto font = Font("Verdana", 12);
    LICE_MemBitmap canvas = Canvas(60, 30);
    font->DrawText(&canvas, "oscillator", 0, 0, 60, 30, kWhite, kLeft);
    const bool hasGrey = std::any_of(canvas.Bits(), canvas.Bits() + 60 * 30,
                                     [](uint32_t p) { return p != kBlack && p != kWhite; });
    EXPECT_TRUE(hasGrey);
}

TEST(FontTest, ItalicSlantsTheGlyphs)
{
    for (std::string_view face : {"Verdana", "Arial"})
    {
        auto upright = Font(face, 16);
        auto italic = Font(face, 16, false, true);
        auto boldItalic = Font(face, 16, true, true);
        ASSERT_NE(boldItalic, nullptr);
        // An upright I is one vertical bar; slanted, its top row starts right of its bottom row.
        auto rowSpan = [](LICE_CachedFont& font, bool top)
        {
            LICE_MemBitmap canvas = Canvas(40, 40);
            font.DrawText(&canvas, "I", 0, 0, 40, 40, kWhite, kCentre);
            const Ink ink = FindInk(canvas, kBlack);
            const int y = top ? ink.top : ink.bottom - 1;
            int first = 0;
            while (first < 40 && canvas.Bits()[y * 40 + first] == kBlack)
                ++first;
            return first;
        };
        EXPECT_NEAR(rowSpan(*upright, true), rowSpan(*upright, false), 0) << face;
        EXPECT_GE(rowSpan(*italic, true) - rowSpan(*italic, false), 2) << face;
        EXPECT_GE(rowSpan(*boldItalic, true) - rowSpan(*boldItalic, false), 2) << face;
    }
}

TEST(FontTest, GlyphsAreRenderedOnceAndReused)
{
    auto font = Font();
    LICE_MemBitmap canvas = Canvas(100, 20);
    EXPECT_EQ(font->CachedGlyphCount(), 0);
    font->DrawText(&canvas, "aaaa", 0, 0, 100, 20, kWhite, kLeft);
    EXPECT_EQ(font->CachedGlyphCount(), 1);
    const LICE_MemBitmap first = canvas;
    canvas = Canvas(100, 20);
    font->DrawText(&canvas, "aaaa", 0, 0, 100, 20, kWhite, kLeft);
    EXPECT_EQ(font->CachedGlyphCount(), 1);
    EXPECT_TRUE(
        std::equal(first.Bits(), first.Bits() + 2000, canvas.Bits())); // the cached glyph draws the same
    font->DrawText(&canvas, "ab\xC3\xA9\xC3\xA9", 0, 0, 100, 20, kWhite, kLeft);
    EXPECT_EQ(font->CachedGlyphCount(), 3);
}

TEST(FontTest, InvalidUtf8DrawsReplacementsWithoutFailing)
{
    auto font = Font();
    LICE_MemBitmap canvas = Canvas(200, 30);
    for (std::string_view bad :
         {std::string_view("\xC3("), std::string_view("\x80\x80\x80"), std::string_view("ab\xE2\x82"),
          std::string_view("\xF4\x90\x80\x80"), std::string_view("\0\0", 2)})
    {
        EXPECT_TRUE(font->DrawText(&canvas, bad, 0, 0, 200, 30, kWhite, kLeft));
        EXPECT_GT(Width(*font, bad), 0) << bad;
    }
    // An invalid byte measures as the replacement character does.
    EXPECT_EQ(Width(*font, "\x80"), Width(*font, "\xEF\xBF\xBD"));
}

TEST(FontTest, FontsOfTheirOwnOnSeveralThreads)
{
    // Faces are opened and closed on one shared FreeType library while other threads draw.
    LICE_MemBitmap reference = Canvas(120, 20);
    Font("Tahoma", 11)->DrawText(&reference, "Envelope 3", 0, 0, 120, 20, kWhite, kLeft);
    std::vector<std::thread> threads;
    std::vector<int> mismatches(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(
            [&, t]
            {
                for (int round = 0; round < 20; ++round)
                {
                    auto font = LICE_CachedFont::Create(t % 2 ? "Arial" : "Tahoma", 11, round % 2, false);
                    LICE_MemBitmap canvas = Canvas(120, 20);
                    font->DrawText(&canvas, "Envelope 3", 0, 0, 120, 20, kWhite, kLeft);
                    auto same = LICE_CachedFont::Create("Tahoma", 11, false, false);
                    canvas = Canvas(120, 20);
                    same->DrawText(&canvas, "Envelope 3", 0, 0, 120, 20, kWhite, kLeft);
                    mismatches[t] += !std::equal(canvas.Bits(), canvas.Bits() + 2400, reference.Bits());
                }
            });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

} // namespace
