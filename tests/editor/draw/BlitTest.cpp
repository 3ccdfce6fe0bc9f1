#include "editor/draw/LICE_Blit.h"
#include "editor/draw/LICE_MemBitmap.h"
#include "editor/draw/LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

namespace
{

constexpr int kAlphaCopy = LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;

// A one-pixel blit of s onto d.
uint32_t BlitPixel(uint32_t s, uint32_t d, float weight, int mode)
{
    LICE_MemBitmap src(1, 1), dst(1, 1);
    src.Bits()[0] = s;
    dst.Bits()[0] = d;
    LICE_Blit(&dst, &src, 0, 0, 0, 0, 1, 1, weight, mode);
    return dst.Bits()[0];
}

uint32_t FillPixel(uint32_t colour, uint32_t d, float weight, int mode)
{
    LICE_MemBitmap dst(1, 1);
    dst.Bits()[0] = d;
    LICE_FillRect(&dst, 0, 0, 1, 1, colour, weight, mode);
    return dst.Bits()[0];
}

int Channel(uint32_t pixel, int shift)
{
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// Worked by hand from the documented arithmetic (coverage in 256ths, products rounded to nearest).
struct HandCase
{
    const char* what;
    uint32_t src, dst;
    float weight;
    int mode;
    uint32_t expected;
};

const HandCase kHandCases[] = {
    // a = 128 + 1 = 129: R (255*129 + 128) >> 8 = 128, B (255*127 + 128) >> 8 = 127.
    {"half-alpha copy", 0x80FF0000, 0xFF0000FF, 1.0f, kAlphaCopy, 0xFF80007F},
    // Opaque source at weight 0.5: a = 128, each channel halved.
    {"weighted alpha copy", 0xFF204060, 0xFF000000, 0.5f, kAlphaCopy, 0xFF102030},
    {"transparent source", 0x00FFFFFF, 0xFF123456, 1.0f, kAlphaCopy, 0xFF123456},
    {"opaque source", 0xFFABCDEF, 0x00123456, 1.0f, kAlphaCopy, 0xFFABCDEF},
    // Over a transparent destination the coverage becomes its alpha; the colours mix as over an
    // opaque one: (255*129 + 128) >> 8 = 128 everywhere.
    {"alpha accumulates", 0x80FFFFFF, 0x00000000, 1.0f, kAlphaCopy, 0x80808080},
    {"plain copy keeps alpha", 0x12345678, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY, 0x12345678},
    // Weight 0.25 without source alpha mixes all four channels: 0.25 s + 0.75 d.
    {"weighted plain copy", 0x40FF8000, 0xC0000080, 0.25f, LICE_BLIT_MODE_COPY, 0xA0402060},
    // Add, a = 129: 192*129/256 = 97; R saturates, G 96 + 97, B 0 + 97; alpha 128 + 127*129/256.
    {"add with alpha", 0x80C0C0C0, 0x80A06000, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA, 0xC0FFC161},
    {"add ignores source alpha", 0x0010F080, 0xFF202090, 1.0f, LICE_BLIT_MODE_ADD, 0xFF30FFFF},
    {"add transparent source", 0x00FFFFFF, 0xFF102030, 1.0f, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA,
     0xFF102030},
    // Dodge: R 64*255/127 = 128.5 -> 129, G unchanged under 0, B 255 under 255.
    {"dodge", 0xFF8000FF, 0xFF408010, 1.0f, LICE_BLIT_MODE_DODGE, 0xFF8180FF},
    // Dodge of black stays black, even under white.
    {"dodge of black", 0xFFFFFFFF, 0xFF000000, 1.0f, LICE_BLIT_MODE_DODGE, 0xFF000000},
    // With alpha 128 (a = 129) the dodged value is mixed in: R (129*129 + 64*127 + 128) >> 8 = 97,
    // B (255*129 + 16*127 + 128) >> 8 = 136.
    {"dodge with alpha", 0x808000FF, 0xFF408010, 1.0f, LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA,
     0xFF618088},
    {"unknown mode copies", 0x11223344, 0x55667788, 1.0f, 7, 0x11223344},
};

TEST(BlitTest, ModesAndAlphaGiveTheHandComputedPixels)
{
    for (const HandCase& c : kHandCases)
    {
        EXPECT_EQ(BlitPixel(c.src, c.dst, c.weight, c.mode), c.expected) << c.what;
        EXPECT_EQ(FillPixel(c.src, c.dst, c.weight, c.mode), c.expected) << c.what << " (fill)";
    }
}

TEST(BlitTest, AlphaCopyIsWithinOneOfTheExactMixForEveryAlphaAndWeight)
{
    const uint32_t dst = 0xFF20A0F0;
    for (float weight : {1.0f, 0.75f, 0.5f, 0.1f})
        for (uint32_t alpha = 0; alpha < 256; ++alpha)
        {
            const uint32_t src = alpha << 24 | 0xF01060;
            const uint32_t out = BlitPixel(src, dst, weight, kAlphaCopy);
            const double a = alpha / 255.0 * weight;
            for (int shift : {0, 8, 16})
            {
                const double exact = Channel(src, shift) * a + Channel(dst, shift) * (1.0 - a);
                EXPECT_NEAR(Channel(out, shift), exact, 1.0) << "alpha " << alpha << " weight " << weight;
            }
            EXPECT_EQ(out >> 24, 0xFFu);
        }
}

TEST(BlitTest, LongRowsBlendEveryPixelAsASinglePixelBlitDoes)
{
    // Groups of transparent and of opaque pixels, every alpha, and a tail shorter than a group.
    std::vector<uint32_t> alphas(8, 0x00);
    alphas.insert(alphas.end(), 8, 0xFF);
    for (uint32_t a = 0; a < 256; ++a)
        alphas.push_back(a);
    alphas.insert(alphas.end(), {0x01, 0xFE, 0x80});
    const int n = static_cast<int>(alphas.size());
    LICE_MemBitmap src(n, 1), dst(n, 1);
    for (int i = 0; i < n; ++i)
    {
        src.Bits()[i] = alphas[i] << 24 | (uint32_t(i * 7919) & 0xFFFFFF);
        dst.Bits()[i] = uint32_t(i * 104729) | (i % 3 == 0 ? 0xFF000000u : 0u);
    }
    for (int mode : {kAlphaCopy, LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA, LICE_BLIT_MODE_COPY})
    {
        LICE_MemBitmap out = dst;
        LICE_Blit(&out, &src, 0, 0, 0, 0, n, 1, 1.0f, mode);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out.Bits()[i], BlitPixel(src.Bits()[i], dst.Bits()[i], 1.0f, mode)) << "pixel " << i;
    }
}

TEST(BlitTest, WeightOutsideZeroToOne)
{
    const uint32_t d = 0xFF102030;
    for (float weight : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()})
    {
        EXPECT_EQ(BlitPixel(0xFFFFFFFF, d, weight, LICE_BLIT_MODE_COPY), d);
        EXPECT_EQ(BlitPixel(0xFFFFFFFF, d, weight, kAlphaCopy), d);
        EXPECT_EQ(FillPixel(0xFFFFFFFF, d, weight, LICE_BLIT_MODE_ADD), d);
    }
    EXPECT_EQ(BlitPixel(0x80FFFFFF, d, 3.0f, kAlphaCopy), BlitPixel(0x80FFFFFF, d, 1.0f, kAlphaCopy));
}

TEST(BlitTest, FillWithAlphaZeroLeavesTheDestination)
{
    LICE_MemBitmap dst(3, 2);
    std::fill_n(dst.Bits(), 6, 0x80402010u);
    for (int mode : {LICE_BLIT_MODE_COPY, LICE_BLIT_MODE_ADD, LICE_BLIT_MODE_DODGE})
        LICE_FillRect(&dst, 0, 0, 3, 2, 0x00FFFFFF, 1.0f, mode | LICE_BLIT_USE_ALPHA);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dst.Bits()[i], 0x80402010u);
    LICE_FillRect(&dst, 0, 0, 3, 2, 0x00FFFFFF, 1.0f, LICE_BLIT_MODE_COPY); // no alpha: a plain fill
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(dst.Bits()[i], 0x00FFFFFFu);
}

// A bitmap whose rows are longer than its width; the padding must never be written.
class PaddedBitmap final : public LICE_IBitmap
{
public:
    static constexpr int kPadding = 3;
    static constexpr uint32_t kGuard = 0xDEADBEEF;

    PaddedBitmap(int w, int h) : width_(w), height_(h), pixels_(size_t(w + kPadding) * h, kGuard)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                At(x, y) = 0;
    }
    uint32_t* Bits() override { return pixels_.data(); }
    using LICE_IBitmap::Bits;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    int RowSpan() const override { return width_ + kPadding; }
    bool Resize(int, int) override { return false; }
    uint32_t& At(int x, int y) { return pixels_[size_t(y) * RowSpan() + x]; }
    bool GuardsIntact() const
    {
        for (int y = 0; y < height_; ++y)
            for (int p = 0; p < kPadding; ++p)
                if (pixels_[size_t(y) * (width_ + kPadding) + width_ + p] != kGuard) return false;
        return true;
    }

private:
    int width_, height_;
    std::vector<uint32_t> pixels_;
};

struct ClipCase
{
    int dstx, dsty, srcx, srcy, w, h;
};

// Every edge of both bitmaps, the source rectangle reaching past the source, nothing left at all,
// and sizes or offsets at the ends of int.
const ClipCase kClipCases[] = {
    {1, 1, 0, 0, 4, 4},
    {-2, 1, 0, 0, 4, 4},
    {1, -3, 0, 0, 4, 4},
    {4, 1, 0, 0, 4, 4},
    {1, 5, 0, 0, 4, 4},
    {-1, -1, 0, 0, 9, 9},
    {0, 0, -2, 0, 4, 4},
    {0, 0, 0, -3, 4, 4},
    {2, 2, 1, 1, 9, 9},
    {0, 0, 3, 2, 4, 4},
    {-2, -2, -1, -1, 4, 4},
    {3, 3, -2, 1, 5, 2},
    {6, 0, 0, 0, 4, 4},
    {0, 6, 0, 0, 4, 4},
    {-4, 0, 0, 0, 4, 4},
    {0, 0, 4, 0, 4, 4},
    {0, 0, 0, 0, 0, 3},
    {0, 0, 0, 0, -5, -5},
    {INT_MIN, 0, 0, 0, 4, 4},
    {0, 0, INT_MAX, 0, 4, 4},
    {1, 1, 0, 0, INT_MAX, INT_MAX},
    {INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MAX},
};

TEST(BlitTest, ClippedOnBothBitmapsAtEveryEdge)
{
    constexpr int kSrc = 4, kDst = 6;
    LICE_MemBitmap src(kSrc, kSrc);
    for (int y = 0; y < kSrc; ++y)
        for (int x = 0; x < kSrc; ++x)
            src.Bits()[y * kSrc + x] = 0xFF000000u | uint32_t(x + 1) << 8 | uint32_t(y + 1);
    for (int mode : {LICE_BLIT_MODE_COPY, kAlphaCopy})
        for (const ClipCase& c : kClipCases)
        {
            PaddedBitmap dst(kDst, kDst);
            LICE_Blit(&dst, &src, c.dstx, c.dsty, c.srcx, c.srcy, c.w, c.h, 1.0f, mode);
            // Each destination pixel holds the source pixel that lands there, or stays 0.
            for (int y = 0; y < kDst; ++y)
                for (int x = 0; x < kDst; ++x)
                {
                    const long long i = (long long)x - c.dstx, j = (long long)y - c.dsty;
                    const long long sx = c.srcx + i, sy = c.srcy + j;
                    const bool lands = i >= 0 && j >= 0 && i < c.w && j < c.h && sx >= 0 && sy >= 0 &&
                                       sx < kSrc && sy < kSrc;
                    const uint32_t expected = lands ? src.Bits()[sy * kSrc + sx] : 0u;
                    ASSERT_EQ(dst.At(x, y), expected)
                        << "case " << (&c - kClipCases) << " mode " << mode << " at " << x << "," << y;
                }
            EXPECT_TRUE(dst.GuardsIntact());
        }
}

TEST(BlitTest, FillClippedAtEveryEdge)
{
    for (const ClipCase& c : kClipCases)
    {
        PaddedBitmap dst(5, 5);
        LICE_FillRect(&dst, c.dstx, c.dsty, c.w, c.h, 0xFF00FF00, 1.0f, LICE_BLIT_MODE_ADD);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x)
            {
                const long long i = (long long)x - c.dstx, j = (long long)y - c.dsty;
                const bool inside = i >= 0 && j >= 0 && i < c.w && j < c.h;
                ASSERT_EQ(dst.At(x, y), inside ? 0xFF00FF00u : 0u) << "case " << (&c - kClipCases);
            }
        EXPECT_TRUE(dst.GuardsIntact());
    }
}

TEST(BlitTest, EmptyBitmapsAndNullPointersDrawNothing)
{
    LICE_MemBitmap empty, one(1, 1);
    one.Bits()[0] = 0xFF010203;
    LICE_Blit(&one, &empty, 0, 0, 0, 0, 1, 1, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(&one, nullptr, 0, 0, 0, 0, 1, 1, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(nullptr, &one, 0, 0, 0, 0, 1, 1, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_Blit(&empty, &one, 0, 0, 0, 0, 1, 1, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_FillRect(&empty, 0, 0, 1, 1, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY);
    LICE_FillRect(nullptr, 0, 0, 1, 1, 0xFFFFFFFF, 1.0f, LICE_BLIT_MODE_COPY);
    EXPECT_EQ(one.Bits()[0], 0xFF010203u);
}

TEST(BitmapTest, ResizeLimitsAndSystemBitmap)
{
    LICE_MemBitmap bitmap(3, 2);
    EXPECT_EQ(bitmap.RowSpan(), 3);
    EXPECT_TRUE(bitmap.Resize(LICE_MemBitmap::kMaxSide, 1));
    EXPECT_FALSE(bitmap.Resize(LICE_MemBitmap::kMaxSide + 1, 1));
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_FALSE(bitmap.Resize(-1, 5));
    EXPECT_TRUE(bitmap.Resize(0, 5));
    EXPECT_EQ(bitmap.Height(), 0);

    LICE_SysBitmap surface(1480, 660);
    ASSERT_NE(surface.Bits(), nullptr);
    EXPECT_EQ(surface.Width(), 1480);
    EXPECT_EQ(surface.RowSpan(), 1480);
    surface.Bits()[1480 * 660 - 1] = 1; // the whole surface is addressable
    EXPECT_TRUE(surface.Resize(10, 20));
    EXPECT_EQ(surface.Height(), 20);
}

} // namespace
