#include "primitives.h"

#include <algorithm>
#include <cmath>

#include "graph_state.h"
#include "number_text.h"
#include "term.h"

namespace kalvo {

Canvas& NoCanvas() {
    static NullCanvas canvas;
    return canvas;
}

namespace {

double Clamp(double v, double lo, double hi) { return ClampPixel(v, lo, hi); }

bool Redirected() { return gOutput.PrintingActive || gOutput.MetafileActive; }

// The line cut to the guard band; false when nothing is left.
bool ClipToGuard(double& x1, double& y1, double& x2, double& y2) {
    const double g = GuardBand();
    return ClipLine(x1, y1, x2, y2, -g, -g, gOutput.PlotWidthPx + g, gOutput.PlotHeightPx + g);
}

}  // namespace

// Liang-Barsky.
bool ClipLine(double& x1, double& y1, double& x2, double& y2, double left, double top, double right, double bottom,
              double* t0Out, double* t1Out) {
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return false;
    const auto inside = [&](double x, double y) { return x >= left && x <= right && y >= top && y <= bottom; };
    if (inside(x1, y1) && inside(x2, y2)) {
        if (t0Out) *t0Out = 0;
        if (t1Out) *t1Out = 1;
        return true;
    }
    const double dx = x2 - x1, dy = y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0) {
            if (r > t1) return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0) return false;
            t1 = std::min(t1, r);
        }
    }
    const double ax = t0 > 0 ? x1 + t0 * dx : x1, ay = t0 > 0 ? y1 + t0 * dy : y1;
    const double bx = t1 < 1 ? x1 + t1 * dx : x2, by = t1 < 1 ? y1 + t1 * dy : y2;
    x1 = ax;
    y1 = ay;
    x2 = bx;
    y2 = by;
    if (t0Out) *t0Out = t0;
    if (t1Out) *t1Out = t1;
    return true;
}

CanvasFont GraphAreaFont() {
    CanvasFont f;
    f.name = gDisplay.Schriftname;
    f.size = gDisplay.Schriftgroesse;
    f.bold = gDisplay.SchriftFett;
    return f;
}

int OutputPenWidth(int width) {
    if (!Redirected()) return width;
    return width * std::clamp(ToDevice(gOutput.AusgabefaktorX, 1.0), 1, 100);
}

void SetPen(Color color, int width, PenStyle style) { Ausgabe().SetPen(color, width, style); }

void SetBrushFromPen(BrushStyle style) { Ausgabe().SetBrush(Ausgabe().Pen().color, style); }

int TextWidthScaled(std::string_view text) {
    const int w = MeasureText(GraphAreaFont(), text).width;
    return Redirected() ? ToDevice(w, 1.3) : w;
}

// The height of a text cell is that of the font, whatever the text.
int TextHeightPx(std::string_view) { return MeasureText(GraphAreaFont(), {}).height; }

// The capital letter pi.
static constexpr std::string_view kPiSuffix = "\xCE\xA0";

void AppendPiSuffixX(std::string& text) {
    if (gGraph.PiScaleX) text += kPiSuffix;
}

void AppendPiSuffixY(std::string& text) {
    if (gGraph.PiScaleY) text += kPiSuffix;
}

Color SpectrumColor(int k, int u, int grey) {
    const int d = 255 - u;
    switch (k) {
        case 1: return MakeRGB(u, 0, d);
        case 2: return MakeRGB(0, d, u);
        case 3: return MakeRGB(d, u, 0);
        case 4: return MakeRGB(d, 0, 0);
        case 5: return MakeRGB(0, d, 0);
        case 6: return MakeRGB(0, 0, d);
        case 7: return MakeRGB(0, u, 255);
        case 8: return MakeRGB(u, 0, 255);
        case 9: return MakeRGB(128, 0, u);
        case 10: return MakeRGB(u, 0, 128);
        case 11: return MakeRGB(0, u, 128);
        case 12: return MakeRGB(grey, grey, grey);
        default: return 0;
    }
}

void GradientPenColor(double t) {
    const ParameterState& p = gParams;
    const bool spectrum = FunktionTermbaum.UsesT() && gDisplay.FarbspektrumParameter && p.FgTVon != p.FgTBis &&
                          !gGraph.ListenPhase;
    if (!spectrum) {
        Ausgabe().SetPenColor(gGraph.AktuelleLinienfarbe);
        return;
    }
    const double rel = std::fabs((t - p.FgTVon) / (p.FgTBis - p.FgTVon));
    const int k = ToDevice(Clamp(rel, 0, 1e6), 127.0);
    const int c = (2 * k) % 256;
    Ausgabe().SetPenColor(SpectrumColor(std::clamp(gDisplay.FarbspektrumNummer, 1, 13), c, c));
}

void ScaledLine(double x1, double y1, double x2, double y2) {
    if (!ClipToGuard(x1, y1, x2, y2)) return;
    Canvas& c = Ausgabe();
    c.MoveTo(DeviceX(x1), DeviceY(y1));
    c.LineTo(DeviceX(x2), DeviceY(y2));
}

void ScaledRectangle(double x1, double y1, double x2, double y2) {
    ScaledLine(x1, y1, x2, y1);
    ScaledLine(x2, y1, x2, y2);
    ScaledLine(x2, y2, x1, y2);
    ScaledLine(x1, y2, x1, y1);
}

void ScaledCross(double x, double y) {
    ScaledLine(x - 2, y, x + 3, y);
    ScaledLine(x, y + 2, x, y - 3);
}

void ClippedMoveToXY(double x, double y) {
    const OutputContext& o = gOutput;
    Ausgabe().MoveTo(DeviceX(Clamp(x, o.PlotLeft, o.PlotRight)), DeviceY(Clamp(y, o.PlotTop, o.PlotBottom)));
}

void ClippedLineToXY(double x, double y) {
    const OutputContext& o = gOutput;
    Ausgabe().LineTo(DeviceX(Clamp(x, o.PlotLeft, o.PlotRight)), DeviceY(Clamp(y, o.PlotTop, o.PlotBottom)));
}

void ClippedRectangle(double x1, double y1, double x2, double y2) {
    const OutputContext& o = gOutput;
    Ausgabe().Rectangle(DeviceX(Clamp(x1, o.PlotLeft, o.PlotRight)), DeviceY(Clamp(y1, o.PlotTop, o.PlotBottom)),
                        DeviceX(Clamp(x2, o.PlotLeft, o.PlotRight)), DeviceY(Clamp(y2, o.PlotTop, o.PlotBottom)));
}

void ClippedSegment(double x1, double y1, double x2, double y2) {
    ClippedMoveToXY(x1, y1);
    ClippedLineToXY(x2, y2);
}

static bool InsidePlot(double x, double y) {
    const OutputContext& o = gOutput;
    return x >= o.PlotLeft && x <= o.PlotRight && y >= o.PlotTop && y <= o.PlotBottom;
}

void CircleMarker(double x, double y) {
    if (!InsidePlot(x, y)) return;
    Canvas& c = Ausgabe();
    c.SetBrushStyle(BrushStyle::Clear);
    c.Ellipse(DeviceX(x - 4), DeviceY(y - 4), DeviceX(x + 4), DeviceY(y + 4));
    c.SetBrushStyle(BrushStyle::Clear);
}

void DotMarker(double x, double y) {
    if (!InsidePlot(x, y)) return;
    Canvas& c = Ausgabe();
    SetBrushFromPen(BrushStyle::Solid);
    c.Ellipse(DeviceX(x - 3), DeviceY(y - 3), DeviceX(x + 3), DeviceY(y + 3));
    c.SetBrushStyle(BrushStyle::Clear);
}

// A text placed beyond the guard band can never be seen, and its cell
// would reach beyond the int range of the device.
static bool TextInReach(double x, double y) {
    const double g = GuardBand();
    return x > -g && x < gOutput.PlotWidthPx + g && y > -g && y < gOutput.PlotHeightPx + g;
}

void BoxedText(std::string_view text, double x, double y) {
    if (gOutput.DruckVorschau || !TextInReach(x, y)) return;
    Canvas& c = Ausgabe();
    const int X = DeviceX(x), Y = DeviceY(y);
    const CanvasSize s = c.TextExtent(text);
    c.TextRect(CanvasRect{X - 1, Y - 1, X + s.width + 1, Y + s.height + 1}, X, Y, text);
}

void ScaledText(double x, double y, std::string_view text) {
    if (TextInReach(x, y)) Ausgabe().TextOut(DeviceX(x), DeviceY(y), text);
}

}  // namespace kalvo
