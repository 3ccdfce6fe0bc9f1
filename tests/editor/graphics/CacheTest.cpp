// The process-wide image and font caches, and the graphics object under automation from another
// thread.
#include "EditorTestPlug.h"

#include "editor/graphics/BitmapCache.h"
#include "editor/graphics/FontCache.h"
#include "editor/graphics/IKnobMultiControl.h"
#include "editor/graphics/ITextControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
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

TEST(BitmapCache, TwoInstancesShareOneDecodedPanelImage)
{
    EditorRig first;
    EditorRig second;
    const IBitmapStrip a = first.graphics.LoadBitmap(101, "resources/img/back.png");
    const size_t size = BitmapCache::Instance().Size();
    const IBitmapStrip b = second.graphics.LoadBitmap(101, "resources/img/back.png");
    ASSERT_NE(a.image, nullptr);
    EXPECT_EQ(a.image, b.image);
    EXPECT_EQ(BitmapCache::Instance().Size(), size);
    EXPECT_EQ(a.W, 1480);
    EXPECT_EQ(a.H, 660);
    // The background control covers the image and copies it onto the panel.
    first.graphics.SetBackgroundImage(101, "resources/img/back.png");
    EXPECT_EQ(first.graphics.GetControl(0)->Rect(), (IRectangle{0, 0, 1480, 660}));
    // The same id under a name that is not a PNG is not loaded by the loader.
    EXPECT_EQ(BitmapCache::LoadPngResource(101, "resources/img/back.bmp"), nullptr);
    EXPECT_NE(BitmapCache::LoadPngResource(101, "BACK.PNG"), nullptr);
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

TEST(GraphicsThreads, TwoEditorsDrawWithSharedImagesAndFontsWhileAutomationArrives)
{
    struct Editor
    {
        EditorRig rig{300, 60};
        ITextControl* text = nullptr;
        IKnobMultiControl* knob = nullptr;
        Editor()
        {
            // The panel's knob strip, shared through the cache, and a text in a shared font.
            knob = &rig.Add<IKnobMultiControl>(0, 0, EditorTestPlug::kLevel,
                                               rig.graphics.LoadBitmap(104, "knob.png", 65));
            text = &rig.Add<ITextControl>(IRectangle{60, 0, 300, 30}, ITextStyle{}, "value");
            rig.Attach();
        }
    };
    Editor editors[2];
    ASSERT_NE(editors[0].knob->Strip().image, nullptr);
    EXPECT_EQ(editors[0].knob->Strip().image, editors[1].knob->Strip().image);
    std::atomic<int> finished{0};
    auto automate = [&](Editor& editor)
    {
        for (int n = 0; n < 500; ++n)
        {
            std::lock_guard<std::recursive_mutex> lock(editor.rig.plug.Mutex());
            editor.rig.graphics.PushParamToControls(EditorTestPlug::kLevel, (n % 10) * 10.0, false);
        }
        ++finished;
    };
    auto draw = [&](Editor& editor)
    {
        int n = 0;
        while (finished < 2)
        {
            editor.text->ShowPluginText(std::to_string(++n % 97));
            editor.rig.Tick();
        }
    };
    std::thread threads[] = {
        std::thread(automate, std::ref(editors[0])), std::thread(automate, std::ref(editors[1])),
        std::thread(draw, std::ref(editors[0])), std::thread(draw, std::ref(editors[1]))};
    for (auto& thread : threads)
        thread.join();
    for (Editor& editor : editors)
    {
        EXPECT_DOUBLE_EQ(editor.knob->Value(), 0.9);
        editor.rig.Tick();
        editor.rig.Tick();
        IRectangle area;
        EXPECT_FALSE(editor.rig.graphics.CollectDirty(area));
    }
}
