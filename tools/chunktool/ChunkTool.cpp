// zr4400-chunktool MODULE program|bank [--vary] [--load FILE]
// Loads a VST2 module as a host does, optionally sets every parameter to a fixed pattern
// (--vary) and loads a chunk of the same kind from FILE, then writes the module's chunk to stdout.
#include "plugin/VstAbi.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{

namespace vst = zr::vst;

constexpr int kPatternStep = 37; // spreads the pattern over the parameter range
constexpr int kPatternModulus = 101;

std::intptr_t HostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void*, float)
{
    return opcode == vst::audioMasterVersion ? vst::kVstVersion : 0;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "zr4400-chunktool: %s\n", message.c_str());
    return 1;
}

std::intptr_t Dispatch(vst::AEffect* effect, std::int32_t opcode, std::int32_t index = 0,
                       std::intptr_t value = 0, void* ptr = nullptr)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, 0.0f);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || (std::strcmp(argv[2], "program") != 0 && std::strcmp(argv[2], "bank") != 0))
    {
        return Fail("usage: zr4400-chunktool MODULE program|bank [--vary] [--load FILE]");
    }
    const int kind = std::strcmp(argv[2], "bank") == 0 ? 0 : 1;
    bool vary = false;
    std::string loadPath;
    for (int i = 3; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--vary") == 0)
            vary = true;
        else if (std::strcmp(argv[i], "--load") == 0 && i + 1 < argc)
            loadPath = argv[++i];
        else
            return Fail(std::string("unknown argument ") + argv[i]);
    }

    void* module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) return Fail(dlerror());
    auto entry = reinterpret_cast<vst::PluginEntryProc>(dlsym(module, "VSTPluginMain"));
    vst::AEffect* effect = entry ? entry(&HostCallback) : nullptr;
    if (!effect || effect->magic != vst::kEffectMagic) return Fail("not a VST2 plug-in");
    Dispatch(effect, vst::effOpen);

    if (vary)
    {
        for (int i = 0; i < effect->numParams; ++i)
            effect->setParameter(effect, i,
                                 static_cast<float>((i * kPatternStep) % kPatternModulus) / 100.0f);
    }
    if (!loadPath.empty())
    {
        std::ifstream file(loadPath, std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (!file.good() && !file.eof()) return Fail("cannot read " + loadPath);
        if (Dispatch(effect, vst::effSetChunk, kind, static_cast<std::intptr_t>(bytes.size()),
                     bytes.data()) != 1)
            return Fail("the module refused the chunk in " + loadPath);
    }
    void* data = nullptr;
    const std::intptr_t size = Dispatch(effect, vst::effGetChunk, kind, 0, &data);
    if (size <= 0 || !data) return Fail("the module gave no chunk");
    std::fwrite(data, 1, static_cast<size_t>(size), stdout);

    Dispatch(effect, vst::effClose);
    dlclose(module);
    return 0;
}
