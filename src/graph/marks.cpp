#include "marks.h"

#include <algorithm>
#include <cmath>

#include "analysis_state.h"
#include "curves.h"
#include "decimal.h"
#include "derived_curves.h"
#include "graph_state.h"
#include "plot_support.h"
#include "primitives.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

// Grid lines of a direction field per axis; far more than a plot can show.
constexpr long long kMaxFieldLines = 200;

struct Point {
    double x, y;
    bool defined;
};

// (x0, f(x0, t)) of the term in the main tree, summed over n.
Point PointOnGraph(double t, double x0) {
    bool defined;
    const double y = NSum(0, x0, t, CurrentNRange(), defined);
    return Point{x0, y, defined};
}

double SlopeAt(double t, double x0, bool& defined) { return NSum(1, x0, t, CurrentNRange(), defined); }

// The straight line of slope m through p across the window. Between linear
// axes it is one line cut to the plot: sampled column by column, a line
// steeper than the plot is high per column would vanish. On a logarithmic
// axis it is a curve, plotted from its term in the current graph colour;
// afterwards f is back in the main tree.
void PlotStraightLine(double m, const Point& p) {
    const ViewWindowState& v = gView;
    const double b = p.y - m * p.x;
    if (!gOutput.LogScaleX && !gOutput.LogScaleY) {
        double x1, y1, x2, y2;
        WorldToPixel(v.BereichX1, m * v.BereichX1 + b, x1, y1);
        WorldToPixel(v.BereichX2, m * v.BereichX2 + b, x2, y2);
        PlotLine(x1, y1, x2, y2);
        return;
    }
    if (ParseTerm(FunktionTermbaum, TangentEquationText(m, b), true)) PlotCurve(0, v.BereichX1, v.BereichX2, 0, 0, 1);
    ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
}

// A dotted line from the x axis up or down to the point's pixel, in its column.
void DropToAxis(Color color, double px, double py) {
    SetPen(color, OutputPenWidth(1), PenStyle::Dot);
    PlotLine(px, AxisRow(), px, py);
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
}

double PixelX(const Point& p) { return ColumnOf(p.x); }
double PixelY(const Point& p) { return RowOf(ClampValue(p.y)); }

void VerticalAcrossPlot(double x) {
    const double px = ColumnOf(x);
    PlotLine(px, gOutput.PlotBottom, px, gOutput.PlotTop);
}

// The slope triangle of a tangent: one unit to the right, m up.
void SlopeTriangle(const Point& p, double m) {
    const double px = PixelX(p), py = PixelY(p);
    const double qx = ColumnOf(p.x + 1), qy = RowOf(ClampValue(p.y + m));
    SetPen(kRed, 3, PenStyle::Solid);
    if (gOverlay.ObjektF1) PlotLine(px, AxisRow(), px, RowOf(ClampValue(m)));
    PlotLine(qx, py, qx, qy);
    SetPen(kGreen, 3, PenStyle::Solid);
    PlotLine(px, py, qx, py);
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

// Tangent and normal share everything but their slope.
void DrawLineThrough(Color color, const Point& p, double m) {
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    gGraph.AktuelleLinienfarbe = color;
    PlotStraightLine(m, p);
    DropToAxis(kBlack, PixelX(p), PixelY(p));
}

void MarkSpecialPoint(double x, double y, const char* label, double labelDx) {
    double px, py;
    WorldToPixel(x, ClampValue(y), px, py);
    DotMarker(px, py);
    const OutputContext& o = gOutput;
    // A label outside the plot would stand in the margins, or nowhere.
    const bool inside = px >= o.PlotLeft && px <= o.PlotRight && py >= o.PlotTop && py <= o.PlotBottom;
    if (gDiscussion.SonderpunkteBeschriften && inside) BoxedText(label, px + labelDx, py - 20);
}

}  // namespace

std::string TangentEquationText(double m, double b) {
    return RoundTripText(m) + "*x+(" + RoundTripText(b) + ")";
}

void DrawTangente(Color color, double t, double x0) {
    const Point p = PointOnGraph(t, x0);
    if (!p.defined) return;
    bool defined;
    const double m = SlopeAt(t, x0, defined);
    if (!defined || !(std::fabs(m) < 5000)) return;
    DrawLineThrough(color, p, m);
    if (gOverlay.ObjektM || gOverlay.ObjektF1) SlopeTriangle(p, m);
}

void DrawNormale(Color color, double t, double x0) {
    const Point p = PointOnGraph(t, x0);
    if (!p.defined) return;
    bool defined;
    const double d = SlopeAt(t, x0, defined);
    if (!defined) return;
    if (d == 0) {
        // Where the tangent is level the normal stands upright.
        SetPen(color, OutputPenWidth(1), PenStyle::Solid);
        VerticalAcrossPlot(x0);
        SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
        return;
    }
    const double m = -1 / d;
    if (!(std::fabs(m) < 1000)) return;
    DrawLineThrough(color, p, m);
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

void DrawSenkrechte(Color color, double x0) {
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    VerticalAcrossPlot(x0);
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

void DrawWaagrechte(Color color, double t, double x0) {
    const Point p = PointOnGraph(t, x0);
    // An undefined point has no height; drawing it at 0 would claim one.
    if (!p.defined) return;
    const OutputContext& o = gOutput;
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    const double py = PixelY(p);
    PlotLine(o.PlotLeft, py, o.PlotRight, py);
    DropToAxis(kBlack, PixelX(p), py);
}

void DrawPointMarker(int kind, Color color, double t, double x0) {
    const Point p = PointOnGraph(t, x0);
    if (!p.defined) return;
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    const double px = PixelX(p), py = PixelY(p);
    if (kind == 1)
        DotMarker(px, py);
    else
        CircleMarker(px, py);
    Ausgabe().SetBrushStyle(BrushStyle::Clear);
    DropToAxis(color, px, py);
}

void DrawNewtonTangents(double t, double x0) {
    double eps = 0.1;
    for (int i = 0; i < 7; ++i) eps /= 10;
    const NRange n = CurrentNRange();
    double x = x0;
    bool ok = true;
    for (int k = 1; k <= 200 && std::isfinite(x); ++k) {
        const double previous = x;
        bool definedY, definedD;
        const double y = NSum(0, x, t, n, definedY);
        const double d = NSum(1, x, t, n, definedD);
        ok = definedY && definedD;
        if (ok && d != 0 && std::fabs(d) > 1e-5 && std::fabs(y) < 10000) {
            const double next = x - y / d;
            const double px = ColumnOf(x), py = RowOf(y);
            SetPen(kBlue, OutputPenWidth(1), PenStyle::Dot);
            PlotLine(px, AxisRow(), px, py);
            SetPen(kRed, OutputPenWidth(1), PenStyle::Solid);
            PlotLine(ColumnOf(next), AxisRow(), px, py);
            x = next;
        }
        if (!(std::fabs(x - previous) >= 10 * eps) || !ok) break;
    }
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

void DrawSpecialPoints() {
    const DiscussionResults& d = gDiscussion;
    // Counts are clamped to the arrays, whoever filled them.
    const int zeros = std::clamp(d.AnzahlNullstellen, 0, kMaxSpecialPoints);
    const int extrema = std::clamp(d.AnzahlExtrema, 0, kMaxSpecialPoints);
    const int inflections = std::clamp(d.AnzahlWendepunkte, 0, kMaxSpecialPoints);
    const int asymptotes = std::clamp(d.AnzahlAsymptoten, 0, kMaxAsymptoten);
    const int poles = std::clamp(d.AnzahlPole, 0, kMaxPoles);
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
    for (int i = 1; i <= std::max(kMaxSpecialPoints, poles); ++i) {
        const auto k = static_cast<size_t>(i);
        if (i <= zeros) MarkSpecialPoint(d.NullstelleX[k], 0, "N", -14);
        if (i <= extrema) MarkSpecialPoint(d.ExtremumX[k], d.ExtremumY[k], d.ExtremumArt[k] ? "H" : "T", 4);
        if (i <= inflections)
            MarkSpecialPoint(d.WendepunktX[k], d.WendepunktY[k], d.WendepunktArt[k] ? "TR" : "W", 4);
        if (i > asymptotes && i > poles) continue;
        SetPen(d.DiskussionFarbe, OutputPenWidth(1), PenStyle::Dot);
        if (i <= asymptotes) {
            gGraph.AktuelleLinienfarbe = d.DiskussionFarbe;
            if (ParseTerm(FunktionTermbaum, d.AsymptotenText[k - 1].str(), true))
                PlotCurve(0, v.FgZeichenbereichVon, v.FgZeichenbereichBis, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
        }
        if (i <= poles) DrawVerticalLineU(d.PolX[k]);
        SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
    }
}

void DrawDirectionField(std::string_view term, double x1, double x2, double y1, double y2) {
    const std::string text = CutToChars(term, kTermChars);
    if (text.empty() || !ParseTerm(FunktionTermbaum, text, true)) return;
    const double t = gTerms.ParameterWerte[0];
    const NRange n = CurrentNRange();
    // The grid of the tick spacings, each axis its own.
    const double hx = gOutput.UnitsPerCmX, hy = gOutput.UnitsPerCmY;
    if (!(hx > 0) || !(hy > 0)) return;
    const long long columns = StepsWithin(x1, x2, WidenedStep(x1, x2, hx, kMaxFieldLines), kMaxFieldLines);
    const long long rows = StepsWithin(y1, y2, WidenedStep(y1, y2, hy, kMaxFieldLines), kMaxFieldLines);
    const double sx = WidenedStep(x1, x2, hx, kMaxFieldLines), sy = WidenedStep(y1, y2, hy, kMaxFieldLines);
    const double width = x2 - x1;
    for (long long i = 0; i <= columns; ++i) {
        const double x = x1 + static_cast<double>(i) * sx;
        bool defined;
        const double m = std::clamp(NSum(0, x, t, n, defined), -1e10, 1e10);
        if (!defined) continue;
        const double delta = width / (50 * std::sqrt(m * m + 1));
        for (long long j = 0; j <= rows; ++j) {
            const double y = y1 + static_cast<double>(j) * sy;
            double ax = x - delta, ay = y - m * delta;
            if (ax < x1 || ay < y1 || ay > y2) ax = x, ay = y;
            double bx = x + delta, by = y + m * delta;
            if (bx > x2 || by < y1 || by > y2) bx = x, by = y;
            double pax, pay, pbx, pby;
            WorldToPixel(ax, ay, pax, pay);
            WorldToPixel(bx, by, pbx, pby);
            PlotLine(pax, pay, pbx, pby);
        }
    }
}

}  // namespace kalvo
