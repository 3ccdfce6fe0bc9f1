#include "BackgroundArt.h"

#include "ControlArt.h"
#include "Palette.h"
#include "editor/panel/PanelLayout.h"

#include <cmath>
#include <cstdint>

namespace zr::panelgen
{
namespace
{
using panel::ControlKind;
using panel::LabelSide;
using panel::PanelControl;
using panel::PanelRect;
namespace pal = palette;

constexpr double kLabelSize = 9.0;
constexpr double kTitleSize = 10.0;

// A small deterministic generator, so every run draws the same grain.
class Grain
{
public:
    double Next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53);
    }

private:
    uint64_t state_ = 0x2545F4914F6CDD1DULL;
};

// Dark metal brushed horizontally: every row a slightly different shade, with longer streaks.
void DrawBrushedMetal(const Canvas& canvas)
{
    cairo_t* cr = canvas.Cr();
    cairo_rectangle(cr, 0, 0, canvas.Width(), canvas.Height());
    canvas.FillVertical(0, canvas.Height(), {0.19, 0.20, 0.22}, {0.13, 0.14, 0.155});
    Grain grain;
    cairo_set_line_width(cr, 1.0);
    for (int y = 0; y < canvas.Height(); ++y)
    {
        const double shade = grain.Next();
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, canvas.Width(), y + 0.5);
        canvas.SetColor(shade > 0.5 ? Rgb{1, 1, 1} : pal::kBlack, 0.035 * std::fabs(shade - 0.5) * 2.0);
        cairo_stroke(cr);
    }
    constexpr int kStreaks = 2600;
    for (int s = 0; s < kStreaks; ++s)
    {
        const double x = grain.Next() * canvas.Width();
        const double y = std::floor(grain.Next() * canvas.Height()) + 0.5;
        const double length = 20.0 + grain.Next() * 140.0;
        const bool light = grain.Next() > 0.5;
        cairo_move_to(cr, x, y);
        cairo_line_to(cr, x + length, y);
        canvas.SetColor(light ? Rgb{1, 1, 1} : pal::kBlack, 0.045);
        cairo_stroke(cr);
    }
}

void DrawScrew(const Canvas& canvas, double cx, double cy)
{
    cairo_t* cr = canvas.Cr();
    canvas.Circle(cx, cy, 4.5);
    canvas.FillDome(cx, cy, 4.5, pal::kCapLight, {0.30, 0.31, 0.33});
    canvas.Circle(cx, cy, 4.5);
    canvas.SetColor(pal::kBlack, 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - 3.0, cy - 1.2);
    cairo_line_to(cr, cx + 3.0, cy + 1.2);
    canvas.SetColor(pal::kBlack, 0.75);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
}

// A raised plate: block strips, the global column, the bottom row, the information panel.
void DrawPlate(const Canvas& canvas, const panel::PanelSection& section)
{
    cairo_t* cr = canvas.Cr();
    const PanelRect& r = section.rect;
    canvas.RoundedRect(r.L + 1.0, r.T + 2.0, r.W(), r.H(), 6.0);
    canvas.SetColor(pal::kBlack, 0.45);
    cairo_fill(cr);
    canvas.RoundedRect(r.L, r.T, r.W(), r.H(), 6.0);
    canvas.FillVertical(r.T, r.B, {0.245, 0.258, 0.28}, {0.19, 0.20, 0.218}, 0.92);
    canvas.RoundedRect(r.L + 0.5, r.T + 0.5, r.W() - 1.0, r.H() - 1.0, 5.5);
    canvas.SetColor({1, 1, 1}, 0.16);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (section.title.empty())
    {
        return;
    }
    // Title bar along the top.
    constexpr double kBarHeight = 22.0;
    canvas.RoundedRect(r.L + 3.0, r.T + 3.0, r.W() - 6.0, kBarHeight - 3.0, 4.0);
    canvas.FillVertical(r.T + 3.0, r.T + kBarHeight, {0.07, 0.075, 0.085}, {0.11, 0.115, 0.125});
    canvas.Text(section.title, r.L + 10.0, r.T + 16.5, 12.0, TextAlign::Left, pal::kAccent);
}

// A recessed field with its title set into the top line.
void DrawField(const Canvas& canvas, const panel::PanelSection& section)
{
    cairo_t* cr = canvas.Cr();
    const PanelRect& r = section.rect;
    canvas.RoundedRect(r.L + 0.5, r.T + 0.5, r.W() - 1.0, r.H() - 1.0, 4.0);
    canvas.SetColor(pal::kBlack, 0.16);
    cairo_fill_preserve(cr);
    canvas.SetColor(pal::kFrame, 0.75);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    if (section.title.empty())
    {
        return;
    }
    const double x = r.L + 8.0;
    const double width = canvas.TextWidth(section.title, kTitleSize, true, true);
    cairo_rectangle(cr, x - 3.0, r.T - 2.0, width + 6.0, 4.0);
    canvas.SetColor({0.225, 0.237, 0.257});
    cairo_fill(cr);
    canvas.Text(section.title, x, r.T + 3.5, kTitleSize, TextAlign::Left, pal::kAccent, true, true);
}

void DrawSections(const Canvas& canvas)
{
    for (const panel::PanelSection& section : panel::PanelSections())
    {
        if (section.strong)
        {
            DrawPlate(canvas, section);
        }
    }
    for (const panel::PanelSection& section : panel::PanelSections())
    {
        if (!section.strong)
        {
            DrawField(canvas, section);
        }
    }
}

// A dark display window, sunk into the panel.
void DrawWindow(const Canvas& canvas, const PanelRect& r)
{
    cairo_t* cr = canvas.Cr();
    canvas.RoundedRect(r.L - 2.0, r.T - 2.0, r.W() + 4.0, r.H() + 4.0, 3.0);
    canvas.SetColor(pal::kBlack, 0.9);
    cairo_fill(cr);
    canvas.RoundedRect(r.L - 1.0, r.T - 1.0, r.W() + 2.0, r.H() + 2.0, 2.0);
    canvas.FillVertical(r.T, r.B, {0.02, 0.03, 0.035}, {0.06, 0.08, 0.09});
    canvas.RoundedRect(r.L - 2.5, r.T - 2.5, r.W() + 5.0, r.H() + 5.0, 3.5);
    canvas.SetColor({1, 1, 1}, 0.18);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
}

// The face of a click area without an image: a flat button with its label.
void DrawAreaButton(const Canvas& canvas, const PanelRect& r, std::string_view label, bool arrow)
{
    cairo_t* cr = canvas.Cr();
    canvas.RoundedRect(r.L + 0.5, r.T + 0.5, r.W() - 1.0, r.H() - 1.0, 3.0);
    canvas.FillVertical(r.T, r.B, {0.40, 0.41, 0.44}, {0.17, 0.18, 0.19});
    canvas.RoundedRect(r.L + 0.5, r.T + 0.5, r.W() - 1.0, r.H() - 1.0, 3.0);
    canvas.SetColor(pal::kBlack, 0.85);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    const double cx = (r.L + r.R) / 2.0;
    const double cy = (r.T + r.B) / 2.0;
    if (arrow)
    {
        cairo_move_to(cr, cx - 4.0, cy - 2.0);
        cairo_line_to(cr, cx + 4.0, cy - 2.0);
        cairo_line_to(cr, cx, cy + 2.5);
        cairo_close_path(cr);
        canvas.SetColor(pal::kLabel);
        cairo_fill(cr);
        return;
    }
    canvas.Text(label, cx, cy + 3.5, kLabelSize + 1.0, TextAlign::Centre, pal::kLabel, true, true);
}

void DrawLightSocket(const Canvas& canvas, const PanelRect& r)
{
    const double cx = (r.L + r.R) / 2.0;
    const double cy = (r.T + r.B) / 2.0;
    canvas.Circle(cx, cy, 5.5);
    canvas.FillDome(cx, cy, 5.5, {0.55, 0.56, 0.58}, {0.15, 0.15, 0.16});
    canvas.Circle(cx, cy, 3.8);
    canvas.FillDome(cx, cy, 3.8, {0.40, 0.10, 0.08}, {0.16, 0.02, 0.02});
}

void DrawLabel(const Canvas& canvas, const PanelControl& c)
{
    if (c.label.empty())
    {
        return;
    }
    const PanelRect& r = c.rect;
    const double cx = (r.L + r.R) / 2.0;
    const double cy = (r.T + r.B) / 2.0;
    switch (c.labelSide)
    {
    case LabelSide::Above:
        canvas.Text(c.label, cx, r.T - 3.0, kLabelSize, TextAlign::Centre, pal::kLabel, true, true);
        break;
    case LabelSide::Below:
        canvas.Text(c.label, cx, r.B + 9.0, kLabelSize, TextAlign::Centre, pal::kLabel, true, true);
        break;
    case LabelSide::Left:
        canvas.Text(c.label, r.L - 3.0, cy + 3.5, kLabelSize, TextAlign::Right, pal::kLabel, true, true);
        break;
    case LabelSide::Right:
        canvas.Text(c.label, r.R + 3.0, cy + 3.5, kLabelSize, TextAlign::Left, pal::kLabel, true, true);
        break;
    case LabelSide::Inside:
    case LabelSide::None:
        break;
    }
}

// Position names around a rotary selector, each at its pointer position.
void DrawRotaryLegends(const Canvas& canvas, const PanelControl& c)
{
    const int positions = static_cast<int>(c.legends.size());
    const double cx = (c.rect.L + c.rect.R) / 2.0;
    const double cy = (c.rect.T + c.rect.B) / 2.0;
    const double radius = c.rect.W() / 2.0 + 3.0;
    for (int p = 0; p < positions; ++p)
    {
        const double angle = RotaryAngle(positions, p);
        double x;
        double y;
        PolarPoint(cx, cy, radius, angle, x, y);
        const double s = std::sin(angle);
        const TextAlign align = s < -0.3 ? TextAlign::Right : (s > 0.3 ? TextAlign::Left : TextAlign::Centre);
        canvas.Text(c.legends[p], x, y + 3.5 - 2.0 * std::cos(angle), kLabelSize, align, pal::kLegend, true,
                    true);
    }
}

// Position names beside the lever, top to bottom.
void DrawLeverLegends(const Canvas& canvas, const PanelControl& c)
{
    const int positions = static_cast<int>(c.legends.size());
    const double step = (c.rect.H() - 9.0) / (positions - 1);
    for (int p = 0; p < positions; ++p)
    {
        canvas.Text(c.legends[p], c.rect.R + 2.0, c.rect.T + 4.5 + step * p + 3.5, kLabelSize,
                    TextAlign::Left, pal::kLegend, true, true);
    }
}

void DrawControlPrint(const Canvas& canvas, const PanelControl& c)
{
    switch (c.kind)
    {
    case ControlKind::ProgramDisplay:
        DrawWindow(canvas, panel::kProgramNumberRect);
        DrawWindow(canvas, panel::kProgramNameRect);
        break;
    case ControlKind::InfoPanel:
        DrawWindow(canvas, {c.rect.L - 2, c.rect.T - 1, c.rect.R + 2, c.rect.B - 12});
        break;
    case ControlKind::OptionMenu:
        DrawAreaButton(canvas, c.rect, c.label, false);
        break;
    case ControlKind::UtilMenu:
    case ControlKind::MicroTuningMenu:
        DrawAreaButton(canvas, c.rect, c.label, true);
        break;
    case ControlKind::Light:
        DrawLightSocket(canvas, c.rect);
        break;
    case ControlKind::Rotary4:
    case ControlKind::Rotary6:
        DrawRotaryLegends(canvas, c);
        break;
    case ControlKind::Lever3:
        DrawLeverLegends(canvas, c);
        break;
    default:
        break;
    }
    DrawLabel(canvas, c);
}

void DrawTexts(const Canvas& canvas)
{
    for (const panel::PanelText& text : panel::PanelTexts())
    {
        const bool logo = text.size >= 18;
        canvas.Text(text.text, text.x, text.y, text.size, TextAlign::Centre,
                    logo ? pal::kAccent : pal::kLabel, true, !logo);
    }
}

} // namespace

void DrawBackground(Canvas& canvas)
{
    DrawBrushedMetal(canvas);
    constexpr double kScrewInset = 9.0;
    DrawScrew(canvas, kScrewInset, kScrewInset);
    DrawScrew(canvas, canvas.Width() - kScrewInset, kScrewInset);
    DrawScrew(canvas, kScrewInset, canvas.Height() - kScrewInset);
    DrawScrew(canvas, canvas.Width() - kScrewInset, canvas.Height() - kScrewInset);
    DrawSections(canvas);
    for (const PanelControl& control : panel::PanelControls())
    {
        DrawControlPrint(canvas, control);
    }
    DrawTexts(canvas);
}

} // namespace zr::panelgen
