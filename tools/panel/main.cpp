// zr4400-panel: the panel of an instance, drawn offscreen into a PNG file (see PanelUsage).
#include "PanelOptions.h"
#include "PanelShot.h"

#include "instrument/ZR4400.h"
#include "plugin/ProgramFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace
{
using zr::paneltool::BadArguments;

bool SameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) {
                                                  return std::tolower(static_cast<unsigned char>(x)) ==
                                                         std::tolower(static_cast<unsigned char>(y));
                                              });
}

std::vector<int> Resolve(zr::ZR4400& plug, const zr::paneltool::ParamSetting& setting)
{
    if (setting.index >= 0)
    {
        if (setting.index >= plug.NParams())
            throw BadArguments("no parameter #" + std::to_string(setting.index));
        return {setting.index};
    }
    std::vector<int> matches;
    for (int i = 0; i < plug.NParams(); ++i)
    {
        if (SameName(plug.GetParam(i)->Name(), setting.name)) matches.push_back(i);
    }
    if (matches.empty()) throw BadArguments("no parameter named \"" + setting.name + "\"");
    if (setting.block < 0) return matches;
    if (setting.block >= static_cast<int>(matches.size()))
        throw BadArguments("no block " + std::string(1, static_cast<char>('A' + setting.block)) + " of \"" +
                           setting.name + "\"");
    return {matches[static_cast<size_t>(setting.block)]};
}

int Run(const zr::paneltool::PanelOptions& o)
{
    zr::PanelShot shot;
    zr::ZR4400& plug = shot.Plug();
    if (!o.fxb.empty() && !zr::ProgramFiles::LoadBank(plug, o.fxb))
        throw BadArguments("cannot load the bank " + o.fxb);
    if (o.program)
    {
        if (*o.program < 0 || *o.program >= zr::ZR4400::kNumPresets)
            throw BadArguments("--program must be 0 .. 63");
        plug.SelectPreset(*o.program);
    }
    if (!o.fxp.empty() && !zr::ProgramFiles::LoadProgram(plug, o.fxp))
        throw BadArguments("cannot load the program " + o.fxp);
    for (const auto& setting : o.params)
    {
        for (int index : Resolve(plug, setting))
            shot.SetParameter(index, static_cast<float>(setting.value));
    }
    if (o.click) shot.Click(o.click->x, o.click->y);
    if (o.drag) shot.Drag(o.drag->from.x, o.drag->from.y, o.drag->dx, o.drag->dy);
    if (o.hover) shot.Hover(o.hover->x, o.hover->y);
    const std::vector<uint32_t> pixels = shot.Draw();
    if (!zr::WritePanelPng(o.output, pixels, shot.Width(), shot.Height()))
    {
        std::fprintf(stderr, "zr4400-panel: cannot write %s\n", o.output.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try
    {
        const zr::paneltool::PanelOptions options = zr::paneltool::ParsePanelArguments(argc, argv);
        if (options.help)
        {
            std::fputs(zr::paneltool::PanelUsage().c_str(), stdout);
            return 0;
        }
        return Run(options);
    }
    catch (const BadArguments& e)
    {
        std::fprintf(stderr, "zr4400-panel: %s\n\n%s", e.what(), zr::paneltool::PanelUsage().c_str());
        return 2;
    }
}
