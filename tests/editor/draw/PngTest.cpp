#include "editor/draw/LICE_PNG.h"

#include <png.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{

// The image a test writes: libpng's colour type and depth, rows as libpng takes them, and the
// optional palette and transparency chunk.
struct PngImage
{
    int width = 1, height = 1;
    int colorType = PNG_COLOR_TYPE_GRAY;
    int bitDepth = 8;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_color> palette;
    std::vector<uint8_t> paletteAlpha; // tRNS for palette images
    bool hasTransparentColour = false;
    png_color_16 transparentColour{};
    bool interlaced = false;
};

void AppendToVector(png_structp png, png_bytep data, png_size_t size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

std::vector<uint8_t> Encode(const PngImage& image)
{
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)))
    {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the test image";
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, nullptr);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!image.palette.empty())
        png_set_PLTE(png, info, image.palette.data(), static_cast<int>(image.palette.size()));
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()),
                     nullptr);
    if (image.hasTransparentColour) png_set_tRNS(png, info, nullptr, 0, &image.transparentColour);
    std::vector<png_bytep> rows;
    for (const auto& row : image.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::unique_ptr<LICE_MemBitmap> Decode(const std::vector<uint8_t>& bytes)
{
    return LICE_LoadPNGFromMemory(bytes.data(), bytes.size());
}

std::vector<uint32_t> Pixels(const LICE_MemBitmap& bitmap)
{
    return {bitmap.Bits(), bitmap.Bits() + size_t(bitmap.Width()) * bitmap.Height()};
}

uint32_t Grey(uint32_t v, uint32_t alpha = 0xFF)
{
    return alpha << 24 | v << 16 | v << 8 | v;
}

// Grey images of depth 1, 2 and 4 pack several samples per byte, first sample in the high bits.
PngImage GreyRamp(int bitDepth)
{
    PngImage image;
    image.bitDepth = bitDepth;
    image.width = 1 << bitDepth;
    std::vector<uint8_t> row((image.width * bitDepth + 7) / 8);
    for (int v = 0; v < image.width; ++v)
        row[size_t(v * bitDepth / 8)] |= uint8_t(v << (8 - bitDepth - (v * bitDepth) % 8));
    image.rows = {row};
    return image;
}

TEST(PngTest, LowBitGreyIsExpandedToTheFullRange)
{
    for (int depth : {1, 2, 4})
    {
        auto bitmap = Decode(Encode(GreyRamp(depth)));
        ASSERT_NE(bitmap, nullptr) << depth;
        const uint32_t step = 255 / ((1 << depth) - 1); // 255, 85, 17
        std::vector<uint32_t> expected;
        for (int v = 0; v < (1 << depth); ++v)
            expected.push_back(Grey(v * step));
        EXPECT_EQ(Pixels(*bitmap), expected) << depth;
    }
}

TEST(PngTest, GreyOfEightAndSixteenBitsAndGreyWithAlpha)
{
    PngImage grey8;
    grey8.width = 3;
    grey8.rows = {{0x00, 0x7F, 0xFF}};
    auto bitmap = Decode(Encode(grey8));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{Grey(0), Grey(0x7F), Grey(0xFF)}));

    PngImage grey16 = grey8;
    grey16.bitDepth = 16;
    grey16.width = 2;
    grey16.rows = {{0x12, 0x34, 0xAB, 0xFF}}; // big-endian samples: the high byte is kept
    bitmap = Decode(Encode(grey16));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{Grey(0x12), Grey(0xAB)}));

    PngImage greyAlpha = grey8;
    greyAlpha.colorType = PNG_COLOR_TYPE_GRAY_ALPHA;
    greyAlpha.width = 2;
    greyAlpha.rows = {{0x40, 0x80, 0xC0, 0x00}};
    bitmap = Decode(Encode(greyAlpha));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{Grey(0x40, 0x80), Grey(0xC0, 0x00)}));
}

TEST(PngTest, PaletteIsExpandedAndItsTransparencyBecomesAlpha)
{
    PngImage image;
    image.colorType = PNG_COLOR_TYPE_PALETTE;
    image.width = 4;
    image.height = 2;
    image.palette = {{0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x12, 0x34, 0x56}};
    image.rows = {{0, 1, 2, 1}, {2, 2, 0, 0}};
    auto bitmap = Decode(Encode(image));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Width(), 4);
    EXPECT_EQ(bitmap->Height(), 2);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF123456, 0xFF00FF00,
                                                      0xFF123456, 0xFF123456, 0xFFFF0000, 0xFFFF0000}));

    image.paletteAlpha = {0x00, 0x80}; // entries without a value stay opaque
    bitmap = Decode(Encode(image));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{0x00FF0000, 0x8000FF00, 0xFF123456, 0x8000FF00,
                                                      0xFF123456, 0xFF123456, 0x00FF0000, 0x00FF0000}));

    PngImage twoBit = image; // palette indices packed four to a byte
    twoBit.bitDepth = 2;
    twoBit.height = 1;
    twoBit.rows = {{0b00011001}};
    bitmap = Decode(Encode(twoBit));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{0x00FF0000, 0x8000FF00, 0xFF123456, 0x8000FF00}));
}

TEST(PngTest, TransparentColourOfGreyAndRgbImages)
{
    PngImage grey;
    grey.width = 2;
    grey.rows = {{0x20, 0x21}};
    grey.hasTransparentColour = true;
    grey.transparentColour.gray = 0x20;
    auto bitmap = Decode(Encode(grey));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{Grey(0x20, 0), Grey(0x21)}));

    PngImage rgb;
    rgb.colorType = PNG_COLOR_TYPE_RGB;
    rgb.width = 2;
    rgb.rows = {{1, 2, 3, 4, 5, 6}};
    auto opaque = Decode(Encode(rgb));
    ASSERT_NE(opaque, nullptr);
    EXPECT_EQ(Pixels(*opaque), (std::vector<uint32_t>{0xFF010203, 0xFF040506}));
    rgb.hasTransparentColour = true;
    rgb.transparentColour.red = 4;
    rgb.transparentColour.green = 5;
    rgb.transparentColour.blue = 6;
    bitmap = Decode(Encode(rgb));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), (std::vector<uint32_t>{0xFF010203, 0x00040506}));
}

PngImage Rgba16()
{
    PngImage image;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    image.bitDepth = 16;
    image.width = 2;
    image.height = 2;
    image.rows = {
        {0xAB, 0xCD, 0x12, 0x34, 0x00, 0xFF, 0x80, 0x00, /**/ 0xFF, 0xFF, 0x00, 0x00, 0x7F, 0xFF, 0xFF, 0xFF},
        {0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, /**/ 0x10, 0x00, 0x20, 0x00, 0x30, 0x00, 0x40,
         0x00}};
    return image;
}

TEST(PngTest, SixteenBitRgbaIsCutToEightBits)
{
    const std::vector<uint32_t> expected{0x80AB1200, 0xFFFF007F, 0x00010203, 0x40102030};
    auto bitmap = Decode(Encode(Rgba16()));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), expected);

    PngImage interlaced = Rgba16();
    interlaced.interlaced = true;
    bitmap = Decode(Encode(interlaced));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Pixels(*bitmap), expected);
}

TEST(PngTest, TruncatedDataGivesNone)
{
    const std::vector<uint8_t> whole = Encode(Rgba16());
    ASSERT_NE(Decode(whole), nullptr);
    for (size_t size = 0; size < whole.size(); ++size)
    {
        const std::vector<uint8_t> part(whole.begin(), whole.begin() + size);
        EXPECT_EQ(LICE_LoadPNGFromMemory(part.data(), part.size()), nullptr) << size << " bytes";
    }
}

TEST(PngTest, OtherDataGivesNone)
{
    EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100), nullptr);
    const char gif[] = "GIF89a\x01\x00\x01\x00\x80\x00\x00";
    EXPECT_EQ(LICE_LoadPNGFromMemory(gif, sizeof gif), nullptr);
    std::vector<uint8_t> zeros(64);
    EXPECT_EQ(Decode(zeros), nullptr);

    // A damaged byte in the image data: the chunk's checksum no longer matches.
    std::vector<uint8_t> damaged = Encode(Rgba16());
    const auto idat = std::search(damaged.begin(), damaged.end(), std::begin("IDAT"), std::end("IDAT") - 1);
    ASSERT_NE(idat, damaged.end());
    idat[6] ^= 0x55;
    EXPECT_EQ(Decode(damaged), nullptr);
}

TEST(PngTest, SidesAndPixelCountsBeyondTheLimitsAreRefused)
{
    PngImage wide;
    wide.width = LICE_MemBitmap::kMaxSide;
    wide.rows = {std::vector<uint8_t>(size_t(wide.width), 0x42)};
    auto bitmap = Decode(Encode(wide));
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bits()[wide.width - 1], Grey(0x42));

    wide.width += 1;
    wide.rows[0].push_back(0x42);
    EXPECT_EQ(Decode(Encode(wide)), nullptr);

    // A few kilobytes that unpack to a gigabyte: one-bit black, the largest sides allowed.
    PngImage huge;
    huge.bitDepth = 1;
    huge.width = huge.height = LICE_MemBitmap::kMaxSide;
    huge.rows.assign(size_t(huge.height), std::vector<uint8_t>(size_t(huge.width / 8), 0));
    const std::vector<uint8_t> bomb = Encode(huge);
    EXPECT_LT(bomb.size(), 200000u);
    EXPECT_EQ(Decode(bomb), nullptr);
}

} // namespace
