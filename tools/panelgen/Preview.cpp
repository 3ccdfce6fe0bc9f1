#include "Preview.h"

#include "Canvas.h"
#include "editor/panel/PanelLayout.h"

#include <cmath>
#include <map>

namespace zr::panelgen
{
namespace
{
using panel::ControlKind;
using panel::PanelControl;

std::string FileOf(const std::string& folder, int id)
{
    const panel::PanelImage* image = panel::FindPanelImage(id);
    const std::string_view name = image->name;
    return folder + "/" + std::string(name.substr(name.rfind('/') + 1));
}

// A sample value per control, varied so that every kind of frame shows up somewhere.
double SampleValue(const PanelControl& c, int ordinal)
{
    if (c.frames <= 2)
    {
        return ordinal % 3 == 0 ? 1.0 : 0.0;
    }
    return std::fmod(0.13 + 0.37 * ordinal, 1.0);
}

void Blit(cairo_t* cr, cairo_surface_t* strip, const PanelControl& c, int x, int y, int frame)
{
    const panel::PanelImage* image = panel::FindPanelImage(c.image);
    cairo_save(cr);
    cairo_rectangle(cr, x, y, image->frameWidth, image->frameHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip, x, y - frame * image->frameHeight);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace

bool WritePreview(const std::string& folder, const std::string& path)
{
    Canvas canvas(panel::kPanelWidth, panel::kPanelHeight);
    cairo_t* cr = canvas.Cr();
    std::map<int, cairo_surface_t*> strips;
    for (const panel::PanelImage& image : panel::PanelImages())
    {
        strips[image.id] = cairo_image_surface_create_from_png(FileOf(folder, image.id).c_str());
        if (cairo_surface_status(strips[image.id]) != CAIRO_STATUS_SUCCESS)
        {
            return false;
        }
    }
    int ordinal = 0;
    for (const PanelControl& c : panel::PanelControls())
    {
        ++ordinal;
        if (c.image == panel::kNoImage)
        {
            continue;
        }
        const int frame = static_cast<int>(std::lround((c.frames - 1) * SampleValue(c, ordinal)));
        const bool selector = panel::TraitsOf(c.kind).popupMode != 0;
        if (selector && ordinal % 2 == 0)
        {
            const int on = panel::TraitsOf(c.kind).onImage;
            PanelControl shown = c;
            shown.image = on;
            Blit(cr, strips[on], shown, c.rect.L, c.rect.T, 0);
            const bool number = c.kind == ControlKind::Number;
            canvas.Text(number ? "74" : (c.kind == ControlKind::Button ? "1/16" : "MG1A"),
                        (c.rect.L + c.rect.R) / 2.0, c.rect.T + 15.0, 11.0, TextAlign::Centre,
                        number ? Rgb{1, 1, 1} : Rgb{0, 0, 0}, false, false, number ? 0.63 : 1.0);
            continue;
        }
        Blit(cr, strips[c.image], c, c.rect.L, c.rect.T, c.kind == ControlKind::Light ? 0 : frame);
        if (c.kind == ControlKind::ValueKnob)
        {
            canvas.Text("0.00", (c.rect.L + c.rect.L + 24) / 2.0, c.rect.T + 36.0, 12.0, TextAlign::Centre,
                        {1.0, 0.63, 0.0}, false, false, 0.25);
        }
    }
    canvas.Text("0", 66, 599, 12, TextAlign::Centre, {1, 1, 1}, false);
    canvas.Text("Init", 108, 599, 12, TextAlign::Left, {1, 1, 1}, false);
    canvas.Text("v.1.2.5.N", 418, 639, 12, TextAlign::Centre, {1, 1, 1}, false, false, 0.5);
    canvas.Text("GEG Trigger 1", 1296, 587, 12, TextAlign::Left, {1, 1, 1}, false, false, 0.5);
    canvas.Text("Input: Trigger", 1296, 598, 12, TextAlign::Left, {1, 1, 1}, false, false, 0.5);
    canvas.Text("Keyboard Trigger", 1296, 627, 12, TextAlign::Left, {1, 1, 1}, false, false, 0.5);
    canvas.Text("Output: Trigger", 1296, 638, 12, TextAlign::Left, {1, 1, 1}, false, false, 0.5);
    for (auto& [id, surface] : strips)
    {
        cairo_surface_destroy(surface);
    }
    return canvas.WritePng(path);
}

} // namespace zr::panelgen
