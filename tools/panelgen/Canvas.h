#pragma once

#include <cairo.h>

#include <string>
#include <string_view>

namespace zr::panelgen
{

struct Rgb
{
    double r;
    double g;
    double b;
};

enum class TextAlign
{
    Left,
    Centre,
    Right,
};

// An ARGB image surface with its cairo context, and the few drawing helpers the panel art shares.
class Canvas
{
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Cr() const { return cr_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Writes the surface as PNG; false on failure.
    bool WritePng(const std::string& path) const;

    void SetColor(Rgb c, double alpha = 1.0) const;
    void RoundedRect(double x, double y, double w, double h, double radius) const;
    void Circle(double cx, double cy, double radius) const;
    // Fills the current path with a vertical gradient from top to bottom colour.
    void FillVertical(double y0, double y1, Rgb top, Rgb bottom, double alpha = 1.0) const;
    // Fills the current path with a radial gradient lit from the upper left.
    void FillDome(double cx, double cy, double radius, Rgb light, Rgb dark) const;

    // Text with the panel's sans face (DejaVu Sans, condensed when asked); y is the baseline.
    void Text(std::string_view text, double x, double y, double size, TextAlign align, Rgb color,
              bool bold = true, bool condensed = false, double alpha = 1.0) const;
    double TextWidth(std::string_view text, double size, bool bold = true, bool condensed = false) const;

private:
    void SelectFont(double size, bool bold, bool condensed) const;

    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// Angle of a knob pointer: -135 degrees (value 0) to +135 degrees (value 1), 0 pointing up; radians.
double PointerAngle(double value);
// A point at `radius` from (cx, cy) in the direction of angle (radians, 0 up, clockwise).
void PolarPoint(double cx, double cy, double radius, double angle, double& x, double& y);

} // namespace zr::panelgen
