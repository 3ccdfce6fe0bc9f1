#include "PngPixels.h"
#include "editor/panel/PanelLayout.h"
#include "platform/ModuleResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

namespace zr::panel
{
namespace
{

using test::DecodePng;
using test::PngPixels;

std::string CommittedPath(const PanelImage& image)
{
    const std::string_view name = image.name;
    return std::string(ZR_PANEL_IMAGE_DIR) + "/" + std::string(name.substr(name.rfind('/') + 1));
}

PngPixels LoadCommitted(const PanelImage& image)
{
    const auto bytes = test::ReadFileBytes(CommittedPath(image));
    auto pixels = DecodePng(bytes);
    return pixels ? *pixels : PngPixels{};
}

TEST(PanelImagesTest, TwentyImagesWithIdsInOrderAndPngNames)
{
    const auto images = PanelImages();
    ASSERT_EQ(images.size(), 20u);
    for (size_t i = 0; i < images.size(); ++i)
    {
        EXPECT_EQ(images[i].id, kFirstImageId + static_cast<int>(i));
        EXPECT_TRUE(images[i].name.starts_with("resources/img/"));
        EXPECT_TRUE(images[i].name.ends_with(".png"));
        EXPECT_EQ(FindPanelImage(images[i].id), &images[i]);
    }
    EXPECT_EQ(FindPanelImage(100), nullptr);
    EXPECT_EQ(FindPanelImage(121), nullptr);
}

TEST(PanelImagesTest, CommittedImagesHaveTheTableSizes)
{
    for (const PanelImage& image : PanelImages())
    {
        const PngPixels pixels = LoadCommitted(image);
        EXPECT_EQ(pixels.width, image.Width()) << image.name;
        EXPECT_EQ(pixels.height, image.Height()) << image.name;
    }
}

TEST(PanelImagesTest, ModuleEmbedsTheCommittedImagesByTheirIds)
{
    for (const PanelImage& image : PanelImages())
    {
        const auto embedded = platform::FindResource("PNG", image.id);
        const auto committed = test::ReadFileBytes(CommittedPath(image));
        ASSERT_FALSE(embedded.empty()) << image.name;
        EXPECT_TRUE(std::equal(embedded.begin(), embedded.end(), committed.begin(), committed.end()))
            << image.name;
    }
}

// Every frame of every strip except the background draws something, and the frames of a strip differ.
TEST(PanelImagesTest, EveryFrameIsDrawnAndFramesDiffer)
{
    for (const PanelImage& image : PanelImages())
    {
        const PngPixels pixels = LoadCommitted(image);
        ASSERT_EQ(pixels.height, image.Height()) << image.name;
        std::string previous;
        for (int k = 0; k < image.frames; ++k)
        {
            const auto first =
                pixels.rgba.begin() + static_cast<long>(k) * image.frameHeight * image.frameWidth * 4;
            const std::string frame(first, first + image.frameHeight * image.frameWidth * 4);
            int opaque = 0;
            for (size_t i = 3; i < frame.size(); i += 4)
            {
                opaque += static_cast<uint8_t>(frame[i]) > 128 ? 1 : 0;
            }
            EXPECT_GT(opaque, image.frameWidth * image.frameHeight / 8) << image.name << " frame " << k;
            EXPECT_NE(frame, previous) << image.name << " frame " << k;
            previous = frame;
        }
    }
}

// The direction of a knob frame's pointer: the centroid of the light pixels on the knob body (the
// scale around it left out), in degrees from straight up, clockwise.
double PointerDegrees(const PngPixels& pixels, int frameSize, int frame)
{
    double sx = 0.0;
    double sy = 0.0;
    int n = 0;
    const double c = frameSize / 2.0;
    for (int y = 0; y < frameSize; ++y)
    {
        for (int x = 0; x < frameSize; ++x)
        {
            const uint8_t* p = pixels.At(x, frame * frameSize + y);
            const double dx = x + 0.5 - c;
            const double dy = y + 0.5 - c;
            const bool onBody = dx * dx + dy * dy < 0.33 * 0.33 * frameSize * frameSize;
            if (onBody && p[0] > 200 && p[1] > 200 && p[2] > 200 && p[3] > 200)
            {
                sx += x + 0.5 - c;
                sy += y + 0.5 - c;
                ++n;
            }
        }
    }
    return n == 0 ? 999.0 : std::atan2(sx, -sy) * 180.0 / std::numbers::pi;
}

TEST(PanelImagesTest, KnobPointersSweepTheUsualArc)
{
    for (int id : {kKnobImage, kKnobBigImage, kKnobSmallImage})
    {
        const PanelImage& image = *FindPanelImage(id);
        const PngPixels pixels = LoadCommitted(image);
        ASSERT_EQ(image.frames, 65);
        for (int k : {0, 16, 32, 48, 64})
        {
            const double expected = -135.0 + 270.0 * k / 64.0;
            EXPECT_NEAR(PointerDegrees(pixels, image.frameWidth, k), expected, 12.0)
                << image.name << " frame " << k;
        }
    }
}

// Where two controls of one kind overlap (the stacked selectors of the external inputs), every shared
// pixel is transparent in at least one of them, so neither covers what the other shows.
TEST(PanelImagesTest, ControlsOfOneKindNeverOverlapVisibly)
{
    const auto controls = PanelControls();
    int overlaps = 0;
    for (size_t i = 0; i < controls.size(); ++i)
    {
        for (size_t j = i + 1; j < controls.size(); ++j)
        {
            const PanelControl& a = controls[i];
            const PanelControl& b = controls[j];
            if (a.kind != b.kind || a.kind == ControlKind::InfoLine || !a.rect.Intersects(b.rect))
            {
                continue;
            }
            ++overlaps;
            ASSERT_NE(a.image, kNoImage) << "parameters " << a.param << " and " << b.param;
            const PanelImage& image = *FindPanelImage(a.image);
            const PngPixels pixels = LoadCommitted(image);
            const PanelImage& onImage =
                *FindPanelImage(TraitsOf(a.kind).onImage == kNoImage ? a.image : TraitsOf(a.kind).onImage);
            const PngPixels onPixels = LoadCommitted(onImage);
            for (int y = std::max(a.rect.T, b.rect.T); y < std::min(a.rect.B, b.rect.B); ++y)
            {
                for (int x = std::max(a.rect.L, b.rect.L); x < std::min(a.rect.R, b.rect.R); ++x)
                {
                    const bool clearInA = pixels.Alpha(x - a.rect.L, y - a.rect.T) == 0 &&
                                          onPixels.Alpha(x - a.rect.L, y - a.rect.T) == 0;
                    const bool clearInB = pixels.Alpha(x - b.rect.L, y - b.rect.T) == 0 &&
                                          onPixels.Alpha(x - b.rect.L, y - b.rect.T) == 0;
                    EXPECT_TRUE(clearInA || clearInB)
                        << "parameters " << a.param << " and " << b.param << " at " << x << "," << y;
                }
            }
        }
    }
    // The clock buttons and the controller numbers, 18 pixels high at a 16-pixel pitch.
    EXPECT_EQ(overlaps, 3 + 1 + 7);
}

} // namespace
} // namespace zr::panel
