// zr4400-panelgen: draws the 20 panel images from the panel's layout table.
//
//   cmake -S . -B build -G Ninja -DZR_BUILD_PANELGEN=ON
//   cmake --build build --target zr4400-panelgen
//   build/zr4400-panelgen resources/img
//
// writes back.png, knob.png ... into the given folder (the sizes and frame counts of the table).
// `build/zr4400-panelgen --preview resources/img panel.png` composes the drawn images into a picture
// of the whole panel with sample values.
// The images are committed; run this after changing the layout table or the art, then rebuild the
// module, which embeds them. Needs cairo and the DejaVu fonts (fonts-dejavu-core).
#include "BackgroundArt.h"
#include "Canvas.h"
#include "ControlArt.h"
#include "Preview.h"
#include "editor/panel/PanelLayout.h"

#include <cstdio>
#include <string>

namespace
{

// The file name of an image: the last part of its resource name.
std::string FileName(std::string_view resourceName)
{
    const auto slash = resourceName.rfind('/');
    return std::string(slash == std::string_view::npos ? resourceName : resourceName.substr(slash + 1));
}

bool DrawImage(const zr::panel::PanelImage& image, zr::panelgen::Canvas& canvas)
{
    if (image.id == zr::panel::kBackImage)
    {
        zr::panelgen::DrawBackground(canvas);
        return true;
    }
    return zr::panelgen::DrawControlImage(image, canvas);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--preview")
    {
        return zr::panelgen::WritePreview(argv[2], argv[3]) ? 0 : 1;
    }
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: zr4400-panelgen <output folder>\n"
                             "       zr4400-panelgen --preview <image folder> <output.png>\n");
        return 2;
    }
    const std::string folder = argv[1];
    for (const zr::panel::PanelImage& image : zr::panel::PanelImages())
    {
        zr::panelgen::Canvas canvas(image.Width(), image.Height());
        const std::string path = folder + "/" + FileName(image.name);
        if (!DrawImage(image, canvas) || !canvas.WritePng(path))
        {
            std::fprintf(stderr, "zr4400-panelgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
