// The module's entry function. It is compiled into the plug-in modules only (not into the core
// library), with every other symbol hidden, so that a host sees exactly two names: VSTPluginMain
// and, for older hosts, main.
#include "instrument/ZR4400.h"
#include "plugin/VstAbi.h"
#if ZR_WITH_X11
#include "editor/graphics/IGraphics.h"
#include "platform/linux/WindowPlatform.h"
#endif

#include <algorithm>
#include <memory>
#include <mutex>

#define ZR_EXPORT __attribute__((visibility("default")))

namespace
{

// Serialises instance creation across the process; lives as long as the module is loaded.
std::mutex& CreationMutex()
{
    static std::mutex mutex;
    return mutex;
}

} // namespace

extern "C" ZR_EXPORT zr::vst::AEffect* VSTPluginMain(zr::vst::AudioMasterCallback hostCallback)
{
    std::lock_guard creationLock(CreationMutex());
    try
    {
        auto plug = std::make_unique<zr::ZR4400>(hostCallback);
#if ZR_WITH_X11
        // A host opens the editor inside its own window.
        plug->GetGraphics().SetPlatform(zr::MakeWindowPlatform(plug->GetGraphics()));
#endif
        {
            std::lock_guard instanceLock(plug->Mutex());
            plug->FillEmptyPresets(zr::ZR4400::kNumPresets);
        }
        zr::vst::AEffect* effect = plug->GetAEffect();
        effect->numPrograms = std::max(effect->numPrograms, 1);
        plug.release(); // owned by the host from here on; effClose destroys it
        return effect;
    }
    catch (...)
    {
        return nullptr;
    }
}

// The same function under the name older hosts look for. "main" cannot be declared with this
// signature in C++, so the alias gets its symbol name from an assembler label.
extern "C" ZR_EXPORT zr::vst::AEffect*
VSTPluginMainLegacy(zr::vst::AudioMasterCallback hostCallback) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
