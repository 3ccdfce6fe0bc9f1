#include "Canvas.h"

#include <cmath>
#include <numbers>

namespace zr::panelgen
{

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), cr_(cairo_create(surface_))
{
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas()
{
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

bool Canvas::WritePng(const std::string& path) const
{
    cairo_surface_flush(surface_);
    return cairo_surface_write_to_png(surface_, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

void Canvas::SetColor(Rgb c, double alpha) const
{
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, alpha);
}

void Canvas::RoundedRect(double x, double y, double w, double h, double radius) const
{
    const double r = std::fmin(radius, std::fmin(w, h) / 2.0);
    constexpr double kQuarter = std::numbers::pi / 2.0;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, x + w - r, y + r, r, -kQuarter, 0.0);
    cairo_arc(cr_, x + w - r, y + h - r, r, 0.0, kQuarter);
    cairo_arc(cr_, x + r, y + h - r, r, kQuarter, 2.0 * kQuarter);
    cairo_arc(cr_, x + r, y + r, r, 2.0 * kQuarter, 3.0 * kQuarter);
    cairo_close_path(cr_);
}

void Canvas::Circle(double cx, double cy, double radius) const
{
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, cx, cy, radius, 0.0, 2.0 * std::numbers::pi);
    cairo_close_path(cr_);
}

void Canvas::FillVertical(double y0, double y1, Rgb top, Rgb bottom, double alpha) const
{
    cairo_pattern_t* pattern = cairo_pattern_create_linear(0.0, y0, 0.0, y1);
    cairo_pattern_add_color_stop_rgba(pattern, 0.0, top.r, top.g, top.b, alpha);
    cairo_pattern_add_color_stop_rgba(pattern, 1.0, bottom.r, bottom.g, bottom.b, alpha);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
}

void Canvas::FillDome(double cx, double cy, double radius, Rgb light, Rgb dark) const
{
    cairo_pattern_t* pattern =
        cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.45, radius * 0.1, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(pattern, 0.0, light.r, light.g, light.b);
    cairo_pattern_add_color_stop_rgb(pattern, 1.0, dark.r, dark.g, dark.b);
    cairo_set_source(cr_, pattern);
    cairo_fill(cr_);
    cairo_pattern_destroy(pattern);
}

void Canvas::SelectFont(double size, bool bold, bool condensed) const
{
    cairo_select_font_face(cr_, condensed ? "DejaVu Sans Condensed" : "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr_, options);
    cairo_font_options_destroy(options);
}

double Canvas::TextWidth(std::string_view text, double size, bool bold, bool condensed) const
{
    SelectFont(size, bold, condensed);
    const std::string s(text);
    cairo_text_extents_t extents;
    cairo_text_extents(cr_, s.c_str(), &extents);
    return extents.x_advance;
}

void Canvas::Text(std::string_view text, double x, double y, double size, TextAlign align, Rgb color,
                  bool bold, bool condensed, double alpha) const
{
    const double width = TextWidth(text, size, bold, condensed);
    double left = x;
    if (align == TextAlign::Centre)
    {
        left = x - width / 2.0;
    }
    else if (align == TextAlign::Right)
    {
        left = x - width;
    }
    // Whole pixels keep small glyphs crisp.
    cairo_move_to(cr_, std::round(left), std::round(y));
    SetColor(color, alpha);
    const std::string s(text);
    cairo_show_text(cr_, s.c_str());
}

double PointerAngle(double value)
{
    constexpr double kHalfSweep = 135.0;
    return (-kHalfSweep + 2.0 * kHalfSweep * value) * std::numbers::pi / 180.0;
}

void PolarPoint(double cx, double cy, double radius, double angle, double& x, double& y)
{
    x = cx + radius * std::sin(angle);
    y = cy - radius * std::cos(angle);
}

} // namespace zr::panelgen
