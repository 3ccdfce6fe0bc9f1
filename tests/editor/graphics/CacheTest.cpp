// The process-wide image and font caches, and the graphics object under automation from another
// thread.
#include "EditorTestPlug.h"

#include "editor/graphics/BitmapCache.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IKnobMultiControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>

using namespace zr;

TEST(BitmapCache, AMissingImageIsRememberedAsNone)
{
    BitmapCache& cache = BitmapCache::Instance();
    const size_t before = cache.Size();
    EXPECT_EQ(cache.Get(54321, "missing.png"), nullptr);
    EXPECT_EQ(cache.Get(54321, "missing.png"), nullptr);
    EXPECT_EQ(cache.Size(), before + 1);
    // Only PNG names are loaded at all.
    EXPECT_EQ(BitmapCache::LoadPngResource(54322, "missing.bmp"), nullptr);
    EXPECT_EQ(BitmapCache::LoadPngResource(54322, "png"), nullptr);
}

TEST(FontCache, ConcurrentRequestsShareOneFont)
{
    FontCache& cache = FontCache::Instance();
    LICE_CachedFont* fonts[4] = {};
    std::vector<std::thread> threads;
    for (auto& font : fonts)
        threads.emplace_back([&font, &cache] { font = cache.Get("Verdana", 13, true, false, true); });
    for (auto& thread : threads)
        thread.join();
    ASSERT_NE(fonts[0], nullptr);
    for (LICE_CachedFont* font : fonts)
        EXPECT_EQ(font, fonts[0]);
    EXPECT_NE(cache.Get("Verdana", 13, false, false, true), fonts[0]);
}

TEST(GraphicsThreads, AutomationFromAnotherThreadWhileTheEditorDraws)
{
    EditorRig rig(400, 60);
    auto image =
        MakeStripImage(20, 20, 11, [](int frame) { return 0xff000000u | static_cast<uint32_t>(frame); });
    std::vector<IKnobMultiControl*> knobs;
    for (int i = 0; i < 16; ++i)
    {
        knobs.push_back(&rig.Add<IKnobMultiControl>(
            i * 24, 10, i % 2 ? EditorTestPlug::kLevel : EditorTestPlug::kSteps, StripOf(*image, 11)));
    }
    rig.Attach();
    std::atomic<bool> done{false};
    // As the plug-in base delivers host automation: under the instance lock.
    std::thread automation(
        [&]
        {
            for (int n = 0; n < 2000; ++n)
            {
                std::lock_guard<std::recursive_mutex> lock(rig.plug.Mutex());
                rig.graphics.PushParamToControls(EditorTestPlug::kLevel, (n % 11) / 10.0, true);
            }
            std::lock_guard<std::recursive_mutex> lock(rig.plug.Mutex());
            rig.graphics.PushParamToControls(EditorTestPlug::kLevel, 0.7, true);
            done = true;
        });
    while (!done)
        rig.Tick();
    automation.join();
    rig.Tick();
    rig.Tick();
    EXPECT_EQ(rig.platform.FramePixel(24 + 5, 15), 0xff000008u); // 0.7: frame 8
    EXPECT_EQ(rig.platform.FramePixel(5, 15), 0xff000004u);      // steps 0.3: frame 4, untouched
    EXPECT_DOUBLE_EQ(knobs[1]->Value(), 0.7);
}
