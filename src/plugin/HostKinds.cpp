#include "plugin/HostKinds.h"

#include "plugin/HostText.h"

#include <array>
#include <string>

namespace zr
{

namespace
{

// A host kind, the substring of the product string that identifies it, and its quirks.
struct HostKindEntry
{
    std::string_view substring;
    HostKind kind;
    bool stereoOnly = false;
};

// Searched in this order; the first substring found in the product string gives the kind.
constexpr std::array<HostKindEntry, 26> kHostKinds{{
    {"cubase", HostKind::Cubase},
    {"reaper", HostKind::Reaper},
    {"nuendo", HostKind::Nuendo},
    {"cakewalk", HostKind::Cakewalk},
    {"samplitude", HostKind::Samplitude},
    {"fruity", HostKind::Fruity},
    {"live", HostKind::Live},
    {"melodyne", HostKind::Melodyne},
    {"vstmanlib", HostKind::VstManLib},
    {"aulab", HostKind::AuLab},
    {"garageband", HostKind::GarageBand},
    {"forte", HostKind::Forte, true},
    {"chainer", HostKind::Chainer},
    {"audition", HostKind::Audition, true},
    {"orion", HostKind::Orion, true},
    {"sawstudio", HostKind::SawStudio, true},
    {"logic", HostKind::Logic},
    {"digital", HostKind::Digital},
    {"audiomulch", HostKind::AudioMulch},
    {"presonus", HostKind::PreSonus},
    {"vst3plugintesthost", HostKind::Vst3PluginTestHost},
    {"protools", HostKind::ProTools},
    {"ardour", HostKind::Ardour},
    {"openmpt", HostKind::OpenMpt},
    {"renoise", HostKind::Renoise},
    {"standalone", HostKind::Standalone},
}};

} // namespace

HostKind HostKindOf(std::string_view product)
{
    const std::string lower = ToLower(product);
    for (const HostKindEntry& entry : kHostKinds)
    {
        if (lower.find(entry.substring) != std::string::npos)
        {
            return entry.kind;
        }
    }
    return HostKind::Unknown;
}

bool IsStereoOnly(HostKind kind)
{
    for (const HostKindEntry& entry : kHostKinds)
    {
        if (entry.kind == kind)
        {
            return entry.stereoOnly;
        }
    }
    return false;
}

} // namespace zr
