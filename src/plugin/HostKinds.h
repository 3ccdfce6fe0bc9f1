#pragma once

#include <string_view>

namespace zr
{

// The hosts told apart by their product strings; the values are the host kinds that GetHost reports.
enum class HostKind : int
{
    Unknown = 0,
    Reaper = 1,
    ProTools = 2,
    Cubase = 3,
    Nuendo = 4,
    Cakewalk = 5,
    Fruity = 7,
    Samplitude = 8,
    Live = 9,
    Melodyne = 12,
    VstManLib = 13,
    AuLab = 14,
    Forte = 15,
    Chainer = 16,
    Audition = 17,
    Orion = 18,
    SawStudio = 20,
    Logic = 21,
    GarageBand = 22,
    Digital = 23,
    Standalone = 24,
    AudioMulch = 25,
    PreSonus = 26,
    Vst3PluginTestHost = 27,
    Ardour = 28,
    Renoise = 29,
    OpenMpt = 30
};

// Kind for a product string: the first entry of the table whose substring the product string holds
// (case-insensitive); Unknown when none does.
HostKind HostKindOf(std::string_view product);
// True for the hosts whose channel layout is limited to stereo.
bool IsStereoOnly(HostKind kind);

} // namespace zr
