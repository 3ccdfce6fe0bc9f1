#include "PluginModule.h"

#include "ToolError.h"

#include <dlfcn.h>
#include <filesystem>
#include <sys/stat.h>

namespace zr::render
{

std::string PluginModule::DefaultPath()
{
    const char* fileName = sizeof(void*) == 8 ? "ZR440064.so" : "ZR4400.so";
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return fileName;
    return (exe.parent_path() / fileName).string();
}

PluginModule::PluginModule(const std::string& path) : path_(path)
{
    struct stat st
    {
    };
    if (stat(path.c_str(), &st) != 0) throw ToolError("plug-in module not found: " + path);
    if (!S_ISREG(st.st_mode)) throw ToolError("plug-in module is not a regular file: " + path);
    // A path without a slash would make dlopen search the library path instead of the file.
    const std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    handle_ = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
    {
        const char* why = dlerror();
        throw ToolError("cannot load plug-in module " + path + ": " + (why ? why : "unknown reason"));
    }
    for (const char* name : {"VSTPluginMain", "main"})
        if (void* symbol = dlsym(handle_, name))
        {
            entry_ = reinterpret_cast<vst::PluginEntryProc>(symbol);
            return;
        }
    dlclose(handle_);
    throw ToolError(path + " is not a VST2 plug-in: it exports neither VSTPluginMain nor main");
}

PluginModule::~PluginModule()
{
    if (handle_) dlclose(handle_);
}

} // namespace zr::render
