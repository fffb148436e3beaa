#include "axes.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "graph_state.h"
#include "number_text.h"
#include "primitives.h"
#include "program_state.h"

namespace kalvo {

namespace {

struct Special {
    double spacing;
    int interval, decimals, width, phase;
};

// Rows whose labels are not written at every tick with plain integers.
constexpr Special kSpecial[] = {
    {500, 2, 0, 0, 1},    {200, 2, 0, 2, 0},   {100, 1, 0, 2, 0},   {50, 2, 0, 1, 1},    {20, 2, 0, 1, 0},
    {10, 1, 0, 1, 0},     {0.5, 2, 0, 0, 1},   {0.2, 2, 1, 0, 0},   {0.1, 2, 1, 0, 1},   {0.05, 2, 1, 0, 1},
    {0.02, 2, 2, 0, 0},   {0.01, 2, 2, 0, 1},  {0.005, 2, 2, 0, 1}, {0.002, 2, 3, 0, 0}, {0.001, 2, 3, 0, 1},
    {0.0005, 2, 3, 0, 1}, {0.0002, 2, 0, 0, 0}, {0.0001, 2, 0, 0, 0},
};

std::array<TickRow, kTickRows> BuildTable() {
    std::array<TickRow, kTickRows> rows{};
    int i = 0;
    for (int p = 9; p >= -4; --p) {
        for (int m : {5, 2, 1}) {
            TickRow& r = rows[static_cast<size_t>(i++)];
            // Spacings from their decimal text, so 0.2 is the double nearest to 0.2.
            r.spacing = StrToRealComma(std::to_string(m) + "e" + std::to_string(p));
            r.exponent = p >= 3 ? p : (r.spacing >= 0.0005 ? 0 : -4);
            r.labelStep = r.exponent == 0 ? r.spacing : m * std::pow(10.0, p - r.exponent);
            r.interval = 1;
            r.decimals = r.width = r.phase = 0;
            for (const Special& s : kSpecial) {
                if (s.spacing == r.spacing) {
                    r.interval = s.interval;
                    r.decimals = s.decimals;
                    r.width = s.width;
                    r.phase = s.phase;
                }
            }
        }
    }
    return rows;
}

// How many ticks a walk may visit; a plot has never more than a few dozen.
constexpr long long kMaxTicks = 4000;

struct AxisPens {
    CanvasPen axis, grid;
};

void SetAxisPen(const AxisPens& p) { Ausgabe().SetPen(p.axis); }
void SetGridPen(const AxisPens& p) { Ausgabe().SetPen(p.grid); }

// Text in a smaller font for exponents; the label size comes back afterwards.
void SmallText(double x, double y, const std::string& text, int labelSize) {
    Canvas& c = Ausgabe();
    c.SetFontSize(RoundToInt(labelSize * 0.75));
    ScaledText(x, y, text);
    c.SetFontSize(labelSize);
}

// Which ticks carry a value in the axis layout.
struct LabelRule {
    int beschriftung;
    bool positiveWritten = false;
    bool Allows(long long k) {
        if (beschriftung == 2) return false;
        if (k < 0) return beschriftung == 1;
        if (beschriftung == 0 && positiveWritten) return false;
        return true;
    }
};

bool PhaseHolds(long long k, int interval, int phase) {
    return interval <= 1 ? phase == 0 : (std::llabs(k + 1) % interval) == phase;
}

// First and last k of a walk: ticks at origin + k * step strictly inside
// (lo, hi), the positive walk from the origin on, the negative one below it.
struct Walk {
    long long first = 1, last = 0;
};

Walk PositiveWalk(double origin, double step, double lo, double hi) {
    Walk w;
    double k0 = origin > lo ? 0.0 : std::floor((lo - origin) / step);
    while (origin + k0 * step <= lo) k0 += 1;
    double k1 = std::ceil((hi - origin) / step);
    while (k1 >= k0 && origin + k1 * step >= hi) k1 -= 1;
    if (k1 - k0 >= kMaxTicks) k1 = k0 + kMaxTicks - 1;
    w.first = static_cast<long long>(k0);
    w.last = static_cast<long long>(k1);
    return w;
}

Walk NegativeWalk(double origin, double step, double lo, double hi) {
    Walk w;
    double k1 = origin - step < hi ? -1.0 : std::ceil((hi - origin) / step);
    while (origin + k1 * step >= hi) k1 -= 1;
    double k0 = std::floor((lo - origin) / step);
    while (k0 <= k1 && origin + k0 * step <= lo) k0 += 1;
    if (k1 - k0 >= kMaxTicks) k0 = k1 - kMaxTicks + 1;
    w.first = static_cast<long long>(k0);
    w.last = static_cast<long long>(k1);
    return w;
}

bool WalkableAxis(double origin, double step) {
    return std::isfinite(origin) && std::isfinite(step) && step >= 1.0 && std::fabs(origin) < 1e15;
}

void ChooseTicks(bool logScale, bool piScale, double width, double ppu, double& unitsPerCm, double& maxTicks,
                 double& tickPixels, double& basePixels, double& labelStep, double& tickStep, int& exponent,
                 int& interval, int& decimals, int& fieldWidth, int& phase) {
    if (logScale) return;
    if (const TickRow* r = ChooseTickRow(width, maxTicks)) unitsPerCm = r->spacing;
    if (piScale) maxTicks *= 3.141592654;
    if (const TickRow* r = ChooseTickRow(width, maxTicks)) {
        tickPixels = r->spacing * ppu * (piScale ? 3.141592654 : 1.0);
        basePixels = piScale ? tickPixels / 3.141592654 : tickPixels;
        labelStep = r->labelStep;
        tickStep = r->spacing;
        exponent = r->exponent;
        interval = r->interval;
        decimals = r->decimals;
        fieldWidth = r->width;
        phase = r->phase;
    }
}

std::string ValueText(double value, int width, int decimals) { return RealToStrComma(value, width, decimals); }

void DrawLinearX(const AxisPens& pens, double originX, double originY) {
    GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const double tp = g.TickPixelsX;
    const double tpy = g.TickPixelsY;
    const bool frame = g.FrameLayout;
    const double step = gOutput.TickLabelStepX;
    const std::string stepText = ValueText(step, g.TickWidthX, g.TickDecimalsX);
    const double stepWidth = TextWidthScaled(stepText);
    const Walk pos = PositiveWalk(originX, tp, o.PlotLeft, o.PlotRight - 5);
    const Walk neg = NegativeWalk(originX, tp, o.PlotLeft + 5, o.PlotRight);

    if (g.GridLines) {
        // Twice as fine as the ticks: every half step inside the walk limits.
        SetGridPen(pens);
        const Walk half = PositiveWalk(originX, tp / 2, o.PlotLeft + 5, o.PlotRight - 5);
        const Walk halfNeg = NegativeWalk(originX, tp / 2, o.PlotLeft + 5, o.PlotRight - 5);
        for (const Walk& w : {pos, neg}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double col = originX + k * tp;
                ScaledLine(col, o.PlotBottom, col, o.PlotTop);
            }
        }
        for (const Walk& w : {half, halfNeg}) {
            for (long long j = w.first; j <= w.last; ++j) {
                if (j % 2 == 0) continue;
                const double col = originX + j * (tp / 2);
                ScaledLine(col, o.PlotBottom, col, o.PlotTop);
            }
        }
    }
    if (g.GridPoints && !o.LogScaleY && WalkableAxis(originY, tpy)) {
        SetGridPen(pens);
        const Walk up = PositiveWalk(-originY, tpy, -o.PlotBottom - 0.5, -o.PlotTop + 0.5);
        const Walk down = NegativeWalk(-originY, tpy, -o.PlotBottom - 0.5, -o.PlotTop + 0.5);
        for (const Walk& w : {pos, neg}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double col = originX + k * tp;
                for (const Walk& r : {up, down})
                    for (long long j = r.first; j <= r.last; ++j) ScaledCross(col, originY - j * tpy);
            }
        }
    }

    SetAxisPen(pens);
    LabelRule rule{gDisplay.Koordinatensystem.Beschriftung};
    const double row = originY;
    for (const bool positive : {true, false}) {
        const Walk& w = positive ? pos : neg;
        for (long long i = 0; i <= w.last - w.first; ++i) {
            const long long k = positive ? w.first + i : w.last - i;
            const double col = originX + k * tp;
            if (frame) {
                ScaledLine(col, o.PlotBottom + 4, col, o.PlotBottom);
                if (!g.TickValueLabels) continue;
                if (k == 0) {
                    const std::string t = "0";
                    if (col < o.PlotRight - 8) ScaledText(col - 4, o.PlotBottom + TextHeightPx(t) / 2, t);
                } else if (PhaseHolds(k, g.TickLabelIntervalX, g.TickPhaseX)) {
                    std::string t = ValueText(k * step, g.TickWidthX, g.TickDecimalsX);
                    AppendPiSuffixX(t);
                    if (col < o.PlotRight - 8.0 * CharCount(stepText))
                        ScaledText(col - 4.0 * CharCount(t), o.PlotBottom + TextHeightPx(t) / 2, t);
                }
            } else {
                ScaledLine(col, row + 4, col, row - 4);
                if (k != 0 && PhaseHolds(k, g.TickLabelIntervalX, g.TickPhaseX) && rule.Allows(k)) {
                    std::string t = ValueText(k * step, g.TickWidthX, g.TickDecimalsX);
                    AppendPiSuffixX(t);
                    if (col < o.PlotRight - stepWidth) {
                        ScaledText(col - TextWidthScaled(t) / 2.0, row + TextHeightPx(t) / 3.0, t);
                        if (k > 0) rule.positiveWritten = true;
                    }
                }
            }
        }
    }
}

void DrawLinearY(const AxisPens& pens, double originX, double originY) {
    GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const double tp = g.TickPixelsY;
    const bool frame = g.FrameLayout;
    const double step = g.TickLabelStepY;
    // Rows grow downwards; the walks run over the negated rows so that
    // "positive" is upwards, as on the axis.
    const Walk up = PositiveWalk(-originY, tp, -o.PlotBottom, -(o.PlotTop + 5));
    const Walk down = NegativeWalk(-originY, tp, -(o.PlotBottom - 5), -o.PlotTop);

    if (g.GridLines) {
        SetGridPen(pens);
        const Walk half = PositiveWalk(-originY, tp / 2, -(o.PlotBottom - 5), -(o.PlotTop + 5));
        const Walk halfNeg = NegativeWalk(-originY, tp / 2, -(o.PlotBottom - 5), -(o.PlotTop + 5));
        for (const Walk& w : {up, down}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double row = originY - k * tp;
                ScaledLine(o.PlotLeft, row, o.PlotRight, row);
            }
        }
        for (const Walk& w : {half, halfNeg}) {
            for (long long j = w.first; j <= w.last; ++j) {
                if (j % 2 == 0) continue;
                const double row = originY - j * (tp / 2);
                ScaledLine(o.PlotLeft, row, o.PlotRight, row);
            }
        }
    }

    SetAxisPen(pens);
    LabelRule rule{gDisplay.Koordinatensystem.Beschriftung};
    const double col = originX;
    for (const bool positive : {true, false}) {
        const Walk& w = positive ? up : down;
        for (long long i = 0; i <= w.last - w.first; ++i) {
            const long long k = positive ? w.first + i : w.last - i;
            const double row = originY - k * tp;
            if (frame) {
                ScaledLine(o.PlotLeft - 5, row, o.PlotLeft, row);
                if (!g.TickValueLabels) continue;
                std::string t;
                if (k == 0) {
                    if (!(row < o.PlotBottom - 4)) continue;
                    t = "0 ";
                } else if (PhaseHolds(k, g.TickLabelIntervalY, g.TickPhaseY)) {
                    if (!(row < o.PlotBottom - 6)) continue;
                    t = ValueText(k * step, g.TickWidthY, g.TickDecimalsY);
                    AppendPiSuffixY(t);
                    t += ' ';
                } else {
                    continue;
                }
                ScaledText(o.PlotLeft - 3 - TextWidthScaled(t), row - TextHeightPx(t) / 2.0, t);
            } else {
                ScaledLine(col - 3, row, col + 4, row);
                if (k != 0 && PhaseHolds(k, g.TickLabelIntervalY, g.TickPhaseY) && rule.Allows(k)) {
                    std::string t = ValueText(k * step, g.TickWidthY, g.TickDecimalsY);
                    AppendPiSuffixY(t);
                    t += ' ';
                    ScaledText(col - TextWidthScaled(t), row - TextHeightPx(t) / 2.0, t);
                    if (k > 0) rule.positiveWritten = true;
                }
            }
        }
    }
}

void DrawLogX(const AxisPens& pens, int labelSize) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int decades = std::max(1, o.DecadesX);
    const int s = decades > 6 ? 10 : decades > 4 ? 5 : decades > 2 ? 2 : 1;
    const double ppd = g.PixelsPerDecadeX;
    SetAxisPen(pens);
    for (int d = 0; d <= decades; ++d) {
        const double X = d == 0 ? o.PlotLeft - 12 : o.PlotLeft + d * ppd;
        SmallText(X + 15, o.PlotBottom + 16, IntToText(g.LogExpLowX + d), labelSize);
        ScaledText(X - 6, o.PlotBottom + 20, "10");
        if (d == decades) break;
        for (int m = 2; m <= 10; ++m) {
            if (m % s != 0) continue;
            const double xm = o.PlotLeft + (d + std::log10(static_cast<double>(m))) * ppd;
            ScaledLine(xm, o.PlotBottom + 4, xm, o.PlotBottom);
            if (m < 10) ScaledText(xm - 4, o.PlotBottom + 6, IntToText(m));
            if (g.GridLines) {
                SetGridPen(pens);
                ScaledLine(xm, o.PlotBottom, xm, o.PlotTop);
                SetAxisPen(pens);
            }
        }
    }
    const std::string& title = gDisplay.Koordinatensystem.xAchsentext.str();
    ScaledText(o.PlotRight - TextWidthScaled(title) - 2, o.PlotBottom + 4 * gDisplay.Schriftgroesse, title);
}

void DrawLogY(const AxisPens& pens, int labelSize) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int decades = std::max(1, o.DecadesY);
    const int s = decades > 7 ? 10 : decades > 4 ? 5 : decades > 1 ? 2 : 1;
    const double ppd = g.PixelsPerDecadeY;
    SetAxisPen(pens);
    for (int d = 0; d <= decades; ++d) {
        const double Y = o.PlotBottom - d * ppd;
        SmallText(o.PlotLeft - 35, Y - 10, IntToText(g.LogExpLowY + d), labelSize);
        ScaledText(o.PlotLeft - 56, Y - 6, "10");
        if (d == decades) break;
        for (int m = 2; m <= 10; ++m) {
            if (m % s != 0) continue;
            const double ym = o.PlotBottom - (d + std::log10(static_cast<double>(m))) * ppd;
            ScaledLine(o.PlotLeft - 5, ym, o.PlotLeft, ym);
            if (m < 10) ScaledText(o.PlotLeft - 18, ym - 6, IntToText(m));
            if (g.GridLines) {
                SetGridPen(pens);
                ScaledLine(o.PlotLeft, ym, o.PlotRight, ym);
                SetAxisPen(pens);
            }
        }
    }
    const std::string& title = gDisplay.Koordinatensystem.yAchsentext.str();
    ScaledText(o.PlotLeft, o.PlotTop - TextHeightPx(title) - 2, title);
}

void DrawTitles(double originX, double originY, int labelSize) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    const bool frame = g.FrameLayout;
    if (!o.LogScaleX) {
        std::string title = k.xAchsentext.str();
        const int e = g.TickExponentX;
        if (e != 0) title += "/10";
        const double w = TextWidthScaled(title);
        if (e != 0) {
            if (frame) {
                ScaledText(o.PlotRight - w - 4, o.PlotBottom + 25, title);
                SmallText(o.PlotRight - 4, o.PlotBottom + 20, IntToText(e), labelSize);
            } else {
                ScaledText(o.PlotRight - w - 18, originY - 20, title);
                SmallText(o.PlotRight - 18, originY - 25, IntToText(e), labelSize);
            }
        } else if (frame) {
            ScaledText(o.PlotRight - w - 2, o.PlotBottom + 20, title);
        } else {
            ScaledText(o.PlotRight - 6 - w, originY - 6 - TextHeightPx(title), title);
        }
    }
    if (!o.LogScaleY) {
        std::string title = k.yAchsentext.str();
        const int e = g.TickExponentY;
        if (e != 0) title += "/10";
        const double w = TextWidthScaled(title);
        const double w2 = TextWidthScaled("  ");
        if (e != 0) {
            if (frame) {
                ScaledText(o.PlotLeft - w2, o.PlotTop - 16, title);
                SmallText(o.PlotLeft - w2 + w + 4, o.PlotTop - 21, IntToText(e), labelSize);
            } else {
                ScaledText(originX + 10, o.PlotTop + 3, title);
                SmallText(originX + 10 + MeasureText(GraphAreaFont(), title).width, o.PlotTop, IntToText(e), labelSize);
            }
        } else if (frame) {
            ScaledText(o.PlotLeft - w2, o.PlotTop - 19, title);
        } else {
            ScaledText(originX + 8, o.PlotTop + 1, title);
        }
    }
}

void DrawArrowheads(const AxisPens& pens, double originX, double originY, bool xAxis, bool yAxis) {
    const OutputContext& o = gOutput;
    const GraphState& g = gGraph;
    Canvas& c = Ausgabe();
    const CanvasBrush brush = c.Brush();
    SetAxisPen(pens);
    auto triangle = [&](double ax, double ay, double bx, double by, double cx, double cy) {
        const CanvasPoint p[3] = {{DeviceX(ax), DeviceY(ay)}, {DeviceX(bx), DeviceY(by)}, {DeviceX(cx), DeviceY(cy)}};
        c.SetBrush(pens.axis.color, BrushStyle::Solid);
        c.Polygon(p);
    };
    if (xAxis && gView.BereichX2 > 0 && o.PlotRight - std::trunc(originX) > std::trunc(g.TickPixelsX)) {
        const double r = o.PlotRight, row = originY;
        if (o.DruckVorschau) {
            ScaledLine(r - 4, row - 2, r, row);
            ScaledLine(r - 4, row + 2, r, row);
        } else {
            triangle(r - 10, row - 4, r, row, r - 10, row + 4);
        }
    }
    if (yAxis && gView.BereichY2 > 0 && std::trunc(originY) - o.PlotTop > std::trunc(g.TickPixelsY)) {
        const double col = originX, t = o.PlotTop;
        if (o.DruckVorschau) {
            ScaledLine(col - 2, t + 4, col, t);
            ScaledLine(col + 2, t + 4, col, t);
        } else {
            triangle(col - 4, t + 10, col, t, col + 4, t + 10);
        }
    }
    c.SetBrush(brush);
}

}  // namespace

const TickRow* TickTable() {
    static const std::array<TickRow, kTickRows> rows = BuildTable();
    return rows.data();
}

const TickRow* ChooseTickRow(double windowWidth, double maxTicks) {
    const TickRow* chosen = nullptr;
    const TickRow* rows = TickTable();
    for (int i = 0; i < kTickRows; ++i)
        if (std::fabs(windowWidth) / rows[i].spacing < maxTicks) chosen = &rows[i];
    return chosen;
}

void DrawKoordinatensystem(double originX, double originY, double pixelsPerUnitX, double pixelsPerUnitY) {
    GraphState& g = gGraph;
    OutputContext& o = gOutput;
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    Canvas& c = Ausgabe();

    CanvasFont font = c.Font();
    font.name = gDisplay.Schriftname;
    font.bold = gDisplay.SchriftFett;
    c.SetFont(font);
    const int labelSize = font.size;

    g.StiftEinheit = o.PrintingActive || o.MetafileActive ? 3 : 1;
    double maxTicks = 23;
    if (o.PlotWidthPx < 700) maxTicks = 20;
    if (g.FrameLayout) maxTicks = 19;
    g.MaxTicksX = g.MaxTicksY = maxTicks;

    ChooseTicks(o.LogScaleX, g.PiScaleX, gView.BereichX2 - gView.BereichX1, pixelsPerUnitX, o.UnitsPerCmX, g.MaxTicksX,
                g.TickPixelsX, g.TickBasePixelsX, o.TickLabelStepX, g.TickStepX, g.TickExponentX,
                g.TickLabelIntervalX, g.TickDecimalsX, g.TickWidthX, g.TickPhaseX);
    ChooseTicks(o.LogScaleY, g.PiScaleY, gView.BereichY2 - gView.BereichY1, pixelsPerUnitY, o.UnitsPerCmY, g.MaxTicksY,
                g.TickPixelsY, g.TickBasePixelsY, g.TickLabelStepY, g.TickStepY, g.TickExponentY,
                g.TickLabelIntervalY, g.TickDecimalsY, g.TickWidthY, g.TickPhaseY);

    const int unit = g.StiftEinheit;
    AxisPens pens;
    pens.axis = CanvasPen{static_cast<Color>(k.Achsenfarbe), (std::clamp(k.Achsendicke, 0, 9) + 1) * unit,
                          PenStyle::Solid};
    pens.grid = CanvasPen{static_cast<Color>(k.Gitterfarbe), (std::clamp(k.Gitterdicke, 0, 9) + 1) * unit,
                          g.GridSolid ? PenStyle::Solid : PenStyle::Dot};

    if (o.LogScaleX)
        DrawLogX(pens, labelSize);
    else if (WalkableAxis(originX, g.TickPixelsX))
        DrawLinearX(pens, originX, originY);
    if (o.LogScaleY)
        DrawLogY(pens, labelSize);
    else if (WalkableAxis(originY, g.TickPixelsY))
        DrawLinearY(pens, originX, originY);
    SetAxisPen(pens);
    DrawTitles(originX, originY, labelSize);

    const bool yAxis = !o.LogScaleX && originX > o.PlotLeft && originX < o.PlotRight;
    const bool xAxis = !o.LogScaleY && originY > o.PlotTop && originY < o.PlotBottom;
    SetAxisPen(pens);
    if (yAxis) ScaledLine(originX, o.PlotBottom, originX, o.PlotTop);
    if (xAxis) ScaledLine(o.PlotLeft, originY, o.PlotRight, originY);
    if (!g.FrameLayout) DrawArrowheads(pens, originX, originY, xAxis, yAxis);
    c.SetPen(0, unit, PenStyle::Solid);
}

}  // namespace kalvo
