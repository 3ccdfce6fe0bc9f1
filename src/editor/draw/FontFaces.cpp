#include "editor/draw/FontFaces.h"

#include "platform/ModuleResources.h"

#include <algorithm>
#include <cctype>

namespace zr::draw
{

namespace
{

constexpr std::string_view kFontResourceType = "FONT";

bool EqualIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return std::tolower(uint8_t(x)) == std::tolower(uint8_t(y)); });
}

// The embedded faces (names as src/editor/draw/CMakeLists.txt embeds them) of one style: the face,
// and whether it lacks the slant that was asked for.
struct FaceChoice
{
    std::string_view resourceName;
    bool synthesizeOblique;
};

FaceChoice ChooseFace(FontFamily family, bool bold, bool italic)
{
    if (family == FontFamily::LiberationSans)
    {
        if (bold) return {"LiberationSans-Bold", italic};
        return {italic ? "LiberationSans-Italic" : "LiberationSans-Regular", false};
    }
    return {bold ? "DejaVuSans-Bold" : "DejaVuSans", italic};
}

} // namespace

FontFamily FontFamilyForFaceName(std::string_view faceName)
{
    if (EqualIgnoringCase(faceName, "Arial")) return FontFamily::LiberationSans;
    return FontFamily::DejaVuSans; // "Verdana", "Tahoma" and anything unknown
}

FontFaceData FindFontFace(FontFamily family, bool bold, bool italic)
{
    const FaceChoice choice = ChooseFace(family, bold, italic);
    return {platform::FindResource(kFontResourceType, choice.resourceName), choice.synthesizeOblique};
}

} // namespace zr::draw
