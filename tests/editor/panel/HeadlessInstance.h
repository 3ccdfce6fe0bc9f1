#pragma once

#include "../../plugin/FakeVstHost.h"
#include "../../plugin/FileTestSupport.h"

#include "editor/graphics/IGraphics.h"
#include "platform/headless/HeadlessPlatform.h"

// An instance in a private home (its own INI file, documents folder and program folder) whose
// editor answers from the headless platform's script.
struct HeadlessInstance
{
    FileTestHome home;
    FakeVstHost host;
    VstInstance vi{host};
    zr::ZR4400& plug = vi.Plug();
    zr::IGraphics& graphics = plug.GetGraphics();
    zr::HeadlessPlatform& platform = dynamic_cast<zr::HeadlessPlatform&>(graphics.Platform());
};
