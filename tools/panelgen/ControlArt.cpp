#include "ControlArt.h"

#include "Palette.h"

#include <cmath>
#include <numbers>

namespace zr::panelgen
{
namespace
{
using panel::PanelImage;
namespace pal = palette;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Scale ticks of a 270-degree knob: eleven, the ends and the centre longer.
void DrawKnobScale(const Canvas& canvas, double cx, double cy, double inner, double outer)
{
    cairo_t* cr = canvas.Cr();
    constexpr int kTicks = 11;
    for (int t = 0; t < kTicks; ++t)
    {
        const double angle = PointerAngle(static_cast<double>(t) / (kTicks - 1));
        const bool major = t == 0 || t == kTicks / 2 || t == kTicks - 1;
        double x0;
        double y0;
        double x1;
        double y1;
        PolarPoint(cx, cy, major ? inner - 0.6 : inner + 0.4, angle, x0, y0);
        PolarPoint(cx, cy, outer, angle, x1, y1);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        canvas.SetColor(major ? pal::kLabel : pal::kLegend, major ? 1.0 : 0.8);
        cairo_set_line_width(cr, major ? 1.3 : 1.0);
        cairo_stroke(cr);
    }
}

// A black knob with a silver rim and a white pointer at `angle`.
void DrawKnobBody(const Canvas& canvas, double cx, double cy, double radius, double angle,
                  double pointerWidth)
{
    cairo_t* cr = canvas.Cr();
    // Drop shadow.
    canvas.Circle(cx + 0.6, cy + 1.1, radius + 0.6);
    canvas.SetColor(pal::kBlack, 0.55);
    cairo_fill(cr);
    // Silver skirt.
    canvas.Circle(cx, cy, radius);
    canvas.FillDome(cx, cy, radius, pal::kCapLight, pal::kCapDark);
    // Grip ridges on the skirt.
    constexpr int kRidges = 28;
    for (int r = 0; r < kRidges; ++r)
    {
        double x0;
        double y0;
        double x1;
        double y1;
        const double a = kTwoPi * r / kRidges;
        PolarPoint(cx, cy, radius * 0.80, a, x0, y0);
        PolarPoint(cx, cy, radius - 0.3, a, x1, y1);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
    }
    canvas.SetColor(pal::kBlack, 0.28);
    cairo_set_line_width(cr, 0.7);
    cairo_stroke(cr);
    // Black cap.
    const double cap = radius * 0.78;
    canvas.Circle(cx, cy, cap);
    canvas.FillDome(cx, cy, cap, pal::kKnobLight, pal::kKnobDark);
    canvas.Circle(cx, cy, cap);
    canvas.SetColor(pal::kBlack, 0.9);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
    // Pointer, from near the centre across the skirt.
    double x0;
    double y0;
    double x1;
    double y1;
    PolarPoint(cx, cy, radius * 0.22, angle, x0, y0);
    PolarPoint(cx, cy, radius - 0.4, angle, x1, y1);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    canvas.SetColor(pal::kBlack, 0.6);
    cairo_set_line_width(cr, pointerWidth + 1.2);
    cairo_stroke(cr);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    canvas.SetColor(pal::kPointer);
    cairo_set_line_width(cr, pointerWidth);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void DrawKnobStrip(const PanelImage& image, const Canvas& canvas)
{
    const double size = image.frameWidth;
    const double radius = size * 0.37;
    const double pointerWidth = size >= 40 ? 2.4 : 2.0;
    for (int k = 0; k < image.frames; ++k)
    {
        const double cx = size / 2.0;
        const double cy = image.frameHeight * k + image.frameHeight / 2.0;
        DrawKnobScale(canvas, cx, cy, radius + 1.6, size / 2.0 - 0.4);
        DrawKnobBody(canvas, cx, cy, radius, PointerAngle(static_cast<double>(k) / (image.frames - 1)),
                     pointerWidth);
    }
}

// A pointer knob on a selector: dots at every position, the chosen one lit.
void DrawRotaryStrip(const PanelImage& image, const Canvas& canvas)
{
    cairo_t* cr = canvas.Cr();
    const int positions = image.frames;
    const double size = image.frameWidth;
    for (int k = 0; k < positions; ++k)
    {
        const double cx = size / 2.0;
        const double cy = image.frameHeight * k + image.frameHeight / 2.0;
        for (int p = 0; p < positions; ++p)
        {
            double x;
            double y;
            PolarPoint(cx, cy, size / 2.0 - 2.4, RotaryAngle(positions, p), x, y);
            canvas.Circle(x, y, p == k ? 2.0 : 1.3);
            canvas.SetColor(p == k ? pal::kAccent : pal::kLegend, p == k ? 1.0 : 0.85);
            cairo_fill(cr);
        }
        const double angle = RotaryAngle(positions, k);
        const double radius = size * 0.31;
        canvas.Circle(cx + 0.6, cy + 1.1, radius + 0.6);
        canvas.SetColor(pal::kBlack, 0.55);
        cairo_fill(cr);
        canvas.Circle(cx, cy, radius);
        canvas.FillDome(cx, cy, radius, pal::kKnobLight, pal::kKnobDark);
        // The bar of the pointer knob, dark with a white line along it.
        double x0;
        double y0;
        double x1;
        double y1;
        PolarPoint(cx, cy, -radius * 0.55, angle, x0, y0);
        PolarPoint(cx, cy, radius + 2.0, angle, x1, y1);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        canvas.SetColor({0.20, 0.21, 0.23});
        cairo_set_line_width(cr, 7.0);
        cairo_stroke(cr);
        PolarPoint(cx, cy, radius * 0.05, angle, x0, y0);
        cairo_move_to(cr, x0, y0);
        cairo_line_to(cr, x1, y1);
        canvas.SetColor(pal::kPointer);
        cairo_set_line_width(cr, 2.0);
        cairo_stroke(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    }
}

// A chrome bat in a dark slot; the slot runs along the frame's long side.
void DrawBat(const Canvas& canvas, double x, double y, double w, double h, Rgb light, Rgb dark)
{
    cairo_t* cr = canvas.Cr();
    canvas.RoundedRect(x + 0.5, y + 0.9, w, h, 2.0);
    canvas.SetColor(pal::kBlack, 0.5);
    cairo_fill(cr);
    canvas.RoundedRect(x, y, w, h, 2.0);
    canvas.FillVertical(y, y + h, light, dark);
    canvas.RoundedRect(x + 0.5, y + 0.5, w - 1.0, h - 1.0, 1.6);
    canvas.SetColor(pal::kBlack, 0.6);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

void DrawSlot(const Canvas& canvas, double x, double y, double w, double h)
{
    canvas.RoundedRect(x, y, w, h, std::fmin(w, h) / 2.0);
    canvas.FillVertical(y, y + h, {0.02, 0.02, 0.02}, {0.12, 0.12, 0.13});
    canvas.RoundedRect(x + 0.5, y + 0.5, w - 1.0, h - 1.0, std::fmin(w, h) / 2.0);
    canvas.SetColor({0.45, 0.47, 0.50}, 0.7);
    cairo_set_line_width(canvas.Cr(), 0.8);
    cairo_stroke(canvas.Cr());
}

// Vertical switches and the lever: frame 1 has the bat at the bottom for the two-position switches
// (off) and at the top for the lever (its first position); the last frame at the other end.
void DrawVerticalSwitchStrip(const PanelImage& image, const Canvas& canvas, Rgb light, Rgb dark,
                             bool offAtBottom)
{
    const double w = image.frameWidth;
    const double h = image.frameHeight;
    const double batH = 9.0;
    for (int k = 0; k < image.frames; ++k)
    {
        const double top = h * k;
        DrawSlot(canvas, w / 2.0 - 2.5, top + 1.0, 5.0, h - 2.0);
        const double travel = h - batH - 1.0;
        double t = image.frames > 1 ? static_cast<double>(k) / (image.frames - 1) : 0.0;
        if (offAtBottom)
        {
            t = 1.0 - t;
        }
        DrawBat(canvas, 0.5, top + 0.5 + travel * t, w - 1.0, batH - 0.5, light, dark);
        // A line across the bat for grip.
        cairo_move_to(canvas.Cr(), 2.0, top + 0.5 + travel * t + batH / 2.0);
        cairo_line_to(canvas.Cr(), w - 2.0, top + 0.5 + travel * t + batH / 2.0);
        canvas.SetColor(pal::kBlack, 0.35);
        cairo_set_line_width(canvas.Cr(), 1.0);
        cairo_stroke(canvas.Cr());
    }
}

void DrawSideSwitchStrip(const PanelImage& image, const Canvas& canvas)
{
    const double w = image.frameWidth;
    const double h = image.frameHeight;
    const double batW = 9.0;
    for (int k = 0; k < image.frames; ++k)
    {
        const double top = h * k;
        DrawSlot(canvas, 1.0, top + h / 2.0 - 2.5, w - 2.0, 5.0);
        const double left = 0.5 + (w - batW - 1.0) * k / (image.frames - 1);
        DrawBat(canvas, left, top + 0.5, batW, h - 1.0, pal::kCapLight, pal::kCapDark);
    }
}

void DrawLed(const Canvas& canvas)
{
    cairo_t* cr = canvas.Cr();
    cairo_pattern_t* glow = cairo_pattern_create_radial(3.4, 3.2, 0.3, 4.0, 4.0, 4.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 0.92, 0.85, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.35, pal::kRedLit.r, pal::kRedLit.g, pal::kRedLit.b, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.85, 0.6, 0.02, 0.0, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, 0.35, 0.0, 0.0, 0.9);
    canvas.Circle(4.0, 4.0, 3.8);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
}

// The face gradient of a push button, top to bottom.
struct FaceColors
{
    Rgb top;
    Rgb bottom;
};
constexpr FaceColors kRaisedFace{{0.42, 0.43, 0.46}, {0.17, 0.18, 0.19}};
constexpr FaceColors kPressedFace{{0.12, 0.12, 0.13}, {0.24, 0.25, 0.27}};
constexpr FaceColors kLitFace{{1.0, 0.35, 0.25}, {0.70, 0.06, 0.03}};

// A rounded plate across the whole width from top, height high: a gradient face with a rim.
void DrawFacePlate(const Canvas& canvas, double top, double height, double radius, FaceColors face, Rgb rim,
                   double rimAlpha)
{
    canvas.RoundedRect(0.5, top, canvas.Width() - 1.0, height, radius);
    canvas.FillVertical(top, top + height, face.top, face.bottom);
    canvas.RoundedRect(0.5, top, canvas.Width() - 1.0, height, radius);
    canvas.SetColor(rim, rimAlpha);
    cairo_set_line_width(canvas.Cr(), 1.0);
    cairo_stroke(canvas.Cr());
}

void DrawPlug(const Canvas& canvas, bool on)
{
    cairo_t* cr = canvas.Cr();
    const double w = canvas.Width();
    const double h = canvas.Height();
    if (on)
    {
        DrawFacePlate(canvas, 0.5, h - 1.0, 3.0, {{0.99, 0.97, 0.90}, {0.82, 0.79, 0.70}}, pal::kAccent, 1.0);
        return;
    }
    DrawFacePlate(canvas, 0.5, h - 1.0, 3.0, {{0.33, 0.34, 0.37}, {0.16, 0.17, 0.18}}, pal::kBlack, 0.8);
    // The jack socket: a threaded silver ring around a black hole.
    canvas.Circle(w / 2.0, h / 2.0, 6.5);
    canvas.FillDome(w / 2.0, h / 2.0, 6.5, pal::kCapLight, pal::kCapDark);
    canvas.Circle(w / 2.0, h / 2.0, 3.6);
    canvas.SetColor(pal::kBlack);
    cairo_fill(cr);
    canvas.Circle(w / 2.0, h / 2.0, 6.5);
    canvas.SetColor(pal::kBlack, 0.7);
    cairo_set_line_width(cr, 0.8);
    cairo_stroke(cr);
}

// Selector buttons keep one transparent row at top and bottom, so buttons stacked at a 16-pixel
// pitch show a gap.
void DrawSelectorButton(const Canvas& canvas, bool on)
{
    const double h = canvas.Height();
    if (on)
    {
        DrawFacePlate(canvas, 1.5, h - 3.0, 2.5, {{1.0, 0.83, 0.45}, {0.93, 0.58, 0.14}}, {0.45, 0.25, 0.0},
                      0.9);
        return;
    }
    DrawFacePlate(canvas, 1.5, h - 3.0, 2.5, {{0.25, 0.26, 0.29}, {0.10, 0.105, 0.115}}, {0.55, 0.57, 0.61},
                  0.9);
}

// A two-frame push button: frame 1 raised, frame 2 with `second`'s face; `print` draws what the
// face shows (given the frame's top and whether it is the second frame).
template <typename Print>
void DrawPushButtonStrip(const PanelImage& image, const Canvas& canvas, FaceColors second, Print print)
{
    cairo_t* cr = canvas.Cr();
    const double w = image.frameWidth;
    const double h = image.frameHeight;
    for (int k = 0; k < image.frames; ++k)
    {
        const bool down = k == 1;
        const double top = h * k;
        canvas.RoundedRect(0.5, top + 0.5, w - 1.0, h - 1.0, 3.0);
        canvas.SetColor(pal::kBlack, 0.85);
        cairo_fill(cr);
        canvas.RoundedRect(1.5, top + 1.5, w - 3.0, h - 3.0, 2.5);
        const FaceColors face = down ? second : kRaisedFace;
        canvas.FillVertical(top, top + h, face.top, face.bottom);
        print(top, down);
    }
}

void DrawArrowStrip(const PanelImage& image, const Canvas& canvas, bool pointsLeft)
{
    DrawPushButtonStrip(image, canvas, kPressedFace,
                        [&](double top, bool pressed)
                        {
                            cairo_t* cr = canvas.Cr();
                            const double cx = image.frameWidth / 2.0 + (pressed ? 0.5 : 0.0);
                            const double cy = top + image.frameHeight / 2.0 + (pressed ? 0.5 : 0.0);
                            const double dir = pointsLeft ? -1.0 : 1.0;
                            cairo_move_to(cr, cx + dir * 4.5, cy);
                            cairo_line_to(cr, cx - dir * 3.5, cy - 5.0);
                            cairo_line_to(cr, cx - dir * 3.5, cy + 5.0);
                            cairo_close_path(cr);
                            canvas.SetColor(pressed ? pal::kAccent : pal::kLabel);
                            cairo_fill(cr);
                        });
}

void DrawLearnStrip(const PanelImage& image, const Canvas& canvas, std::string_view word)
{
    DrawPushButtonStrip(image, canvas, kLitFace,
                        [&](double top, bool on)
                        {
                            canvas.Text(word, image.frameWidth / 2.0, top + image.frameHeight / 2.0 + 3.5,
                                        10.0, TextAlign::Centre, on ? Rgb{1, 1, 1} : pal::kLabel, true, true);
                        });
}

void DrawKickStrip(const PanelImage& image, const Canvas& canvas)
{
    cairo_t* cr = canvas.Cr();
    const double c = image.frameWidth / 2.0;
    for (int k = 0; k < image.frames; ++k)
    {
        const bool pressed = k == 1;
        const double cy = image.frameHeight * k + c;
        canvas.Circle(c, cy, c - 0.5);
        canvas.SetColor(pal::kBlack, 0.9);
        cairo_fill(cr);
        canvas.Circle(c, cy, c - 2.0);
        if (pressed)
        {
            canvas.FillDome(c, cy, c - 2.0, {1.0, 0.85, 0.5}, {0.85, 0.40, 0.02});
        }
        else
        {
            canvas.FillDome(c, cy, c - 2.0, {0.62, 0.36, 0.12}, {0.30, 0.15, 0.03});
        }
    }
}

} // namespace

int RotaryPositions(int imageId)
{
    return imageId == panel::kSwitch4Image ? 4 : 6;
}

double RotaryAngle(int positions, int position)
{
    // Six positions over 250 degrees, four over 180: the pointer steps are clearly apart.
    const double sweep = positions >= 6 ? 250.0 : 180.0;
    const double degrees = -sweep / 2.0 + sweep * position / (positions - 1);
    return degrees * std::numbers::pi / 180.0;
}

bool DrawControlImage(const PanelImage& image, Canvas& canvas)
{
    switch (image.id)
    {
    case panel::kKnobImage:
    case panel::kKnobBigImage:
    case panel::kKnobSmallImage:
        DrawKnobStrip(image, canvas);
        return true;
    case panel::kSwitch4Image:
    case panel::kSwitch6Image:
        DrawRotaryStrip(image, canvas);
        return true;
    case panel::kSwitch2Image:
        DrawVerticalSwitchStrip(image, canvas, pal::kCapLight, pal::kCapDark, true);
        return true;
    case panel::kSwitch2OrangeImage:
        DrawVerticalSwitchStrip(image, canvas, {1.0, 0.72, 0.35}, {0.80, 0.38, 0.02}, true);
        return true;
    case panel::kSwitch3Image:
        DrawVerticalSwitchStrip(image, canvas, pal::kCapLight, pal::kCapDark, false);
        return true;
    case panel::kSwitch2HorizImage:
        DrawSideSwitchStrip(image, canvas);
        return true;
    case panel::kLedImage:
        DrawLed(canvas);
        return true;
    case panel::kPlugOffImage:
    case panel::kPlugOnImage:
        DrawPlug(canvas, image.id == panel::kPlugOnImage);
        return true;
    case panel::kButtonOffImage:
    case panel::kButtonOnImage:
        DrawSelectorButton(canvas, image.id == panel::kButtonOnImage);
        return true;
    case panel::kPrevImage:
    case panel::kNextImage:
        DrawArrowStrip(image, canvas, image.id == panel::kPrevImage);
        return true;
    case panel::kLearnImage:
        DrawLearnStrip(image, canvas, "LEARN");
        return true;
    case panel::kUnlearnImage:
        DrawLearnStrip(image, canvas, "UNLEARN");
        return true;
    case panel::kKickImage:
        DrawKickStrip(image, canvas);
        return true;
    default:
        return false;
    }
}

} // namespace zr::panelgen
