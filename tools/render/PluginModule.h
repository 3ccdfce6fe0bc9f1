// A VST2 module (shared object) loaded with dlopen, and its entry function.
#pragma once

#include "plugin/VstAbi.h"

#include <string>

namespace zr::render
{

class PluginModule
{
public:
    // The module shipped with the tool: ZR440064.so (ZR4400.so in a 32-bit build) in the folder
    // that holds the running executable.
    static std::string DefaultPath();

    // Loads the module and finds "VSTPluginMain", falling back to "main". Throws ToolError when
    // the file is missing, cannot be loaded or exports neither entry.
    explicit PluginModule(const std::string& path);
    ~PluginModule();
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    vst::PluginEntryProc Entry() const { return entry_; }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    void* handle_ = nullptr;
    vst::PluginEntryProc entry_ = nullptr;
};

} // namespace zr::render
