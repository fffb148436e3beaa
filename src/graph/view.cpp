#include "view.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "axes.h"
#include "graph_state.h"
#include "number_text.h"

namespace kalvo {

void SetupAxes(KoordinatensystemEinstellung k) {
    GraphState& g = gGraph;
    OutputContext& o = gOutput;
    o.LogScaleX = o.LogScaleY = false;
    g.PiScaleX = g.PiScaleY = false;
    g.TickValueLabels = g.GridLines = g.GridSolid = g.GridPoints = false;
    o.ValueLimitHigh = 1e10;
    o.ValueLimitLow = -1e10;

    switch (k.Gitter) {
        case 0: g.GridPoints = true; break;
        case 1: g.GridLines = true; break;
        case 3: g.GridLines = g.GridSolid = true; break;
        default: break;
    }
    if (k.xSkalierung == 1) o.LogScaleX = true;
    if (k.xSkalierung == 2) g.PiScaleX = true;
    if (k.ySkalierung == 1) {
        o.LogScaleY = true;
        o.ValueLimitHigh = 1e20;
        o.ValueLimitLow = 1e-20;
    }
    if (k.ySkalierung == 2) g.PiScaleY = true;

    // Logarithmic decades are labelled in margins, whatever the record says.
    if (o.LogScaleX || o.LogScaleY) k.Art = 1;
    g.FrameLayout = k.Art == 1;

    if (!g.FrameLayout) {
        o.PlotLeft = 0;
        o.PlotTop = 0;
        o.PlotRight = o.PlotWidthPx;
        o.PlotBottom = o.PlotHeightPx;
    } else {
        const int fs = gDisplay.Schriftgroesse;
        // Margins by the point size, and wider where the font's cells are
        // taller than the point size promises.
        const FrameMargins m = MeasuredFrameMargins(o.LogScaleX);
        o.PlotRight = o.PlotWidthPx - 4 * fs;
        o.PlotBottom = o.PlotHeightPx - std::max((o.LogScaleX ? 6 : 4) * fs, m.below);
        o.PlotLeft = 7 * fs;
        o.PlotTop = std::max(2 * fs, m.above);
    }
    g.TickValueLabels = k.Beschriftung == 1;

    NormalizeWindow();
    ComputeScreenTransform();
}

void SetWindowLimits() {
    GraphState& g = gGraph;
    if (gOutput.LogScaleX) {
        g.LimitMaxX = 1e20;
        g.LimitMinX = 1e-7;
    } else {
        g.LimitMaxX = 1e10;
        g.LimitMinX = -1e10;
    }
    if (gOutput.LogScaleY) {
        g.LimitMaxY = 1e20;
        g.LimitMinY = 1e-7;
    } else {
        g.LimitMaxY = 1e10;
        g.LimitMinY = -1e10;
    }
}

double Pow10(int e) { return std::pow(10.0, e); }

void SnapLogDecades(double& low, double& high, int& expLow, int& decades, int& expHigh) {
    if (!(low > 0)) low = 0.01;
    expHigh = DecimalExponent(high);
    // The mantissa comes from the 15-digit text, so a power of ten that
    // arithmetic left a hair off still counts as one and the window keeps
    // its decades from one redraw to the next.
    if (std::fabs(DecimalMantissa(high) - 1.0) > 1e-12) expHigh = expHigh + 1;
    expLow = DecimalExponent(low);
    if (expLow == expHigh) expHigh = expHigh + 1;
    high = Pow10(expHigh);
    low = Pow10(expLow);
    decades = std::abs(expHigh - expLow);
}

void SetDefaultWindow() {
    ViewWindowState& v = gView;
    v.BereichX1 = -8;
    v.BereichX2 = 8;
    v.BereichY1 = -8;
    v.BereichY2 = 8;
    if (v.FgZeichenbereichAuto) {
        v.FgZeichenbereichVon = -8;
        v.FgZeichenbereichBis = 8;
    }
    v.H1Von = v.BereichX1;
    v.H4Bis = v.BereichX2;
    v.IntegralfunktionXo = 0;
}

static bool NormalizeOnce() {
    GraphState& g = gGraph;
    ViewWindowState& v = gView;
    OutputContext& o = gOutput;
    ParameterState& p = gParams;

    SetWindowLimits();
    if (v.BereichX1 < g.LimitMinX) v.BereichX1 = g.LimitMinX;
    if (v.BereichX2 > g.LimitMaxX) v.BereichX2 = g.LimitMaxX;
    if (v.BereichY1 < g.LimitMinY) v.BereichY1 = g.LimitMinY;
    if (v.BereichY2 > g.LimitMaxY) v.BereichY2 = g.LimitMaxY;

    const bool finite = std::isfinite(v.BereichX1) && std::isfinite(v.BereichX2) && std::isfinite(v.BereichY1) &&
                        std::isfinite(v.BereichY2);
    if (finite && o.LogScaleY) SnapLogDecades(v.BereichY1, v.BereichY2, g.LogExpLowY, o.DecadesY, g.LogExpHighY);
    if (finite && o.LogScaleX) SnapLogDecades(v.BereichX1, v.BereichX2, g.LogExpLowX, o.DecadesX, g.LogExpHighX);

    if (p.FgSummeSchrittweite < 1) p.FgSummeSchrittweite = 1;
    if (p.FgSummeVon > p.FgSummeBis) std::swap(p.FgSummeVon, p.FgSummeBis);

    if (v.BereichX1 > v.BereichX2) {
        std::swap(v.BereichX1, v.BereichX2);
        if (o.LogScaleX) std::swap(g.LogExpLowX, g.LogExpHighX);
    }
    if (v.FgZeichenbereichAuto) {
        v.FgZeichenbereichVon = v.BereichX1;
        v.FgZeichenbereichBis = v.BereichX2;
    }
    if (v.BereichY1 > v.BereichY2) {
        std::swap(v.BereichY1, v.BereichY2);
        if (o.LogScaleY) std::swap(g.LogExpLowY, g.LogExpHighY);
    }

    // A window that is not a number at all (a damaged file) is reset like
    // one that is too narrow or too wide.
    bool reset = !finite || v.FgZeichenbereichVon == v.FgZeichenbereichBis;
    const double wx = std::fabs(v.BereichX1 - v.BereichX2);
    const double wy = std::fabs(v.BereichY2 - v.BereichY1);
    if (!o.LogScaleX && (wx > 1e10 || wx < 0.0005)) reset = true;
    if (!o.LogScaleY && (wy > 1e10 || wy < 0.0005)) reset = true;
    if (o.LogScaleX && std::abs(g.LogExpHighX - g.LogExpLowX) > 10) reset = true;
    if (o.LogScaleY && std::abs(g.LogExpHighY - g.LogExpLowY) > 10) reset = true;

    if (o.LogScaleX && v.IntegralfunktionXo <= 0) v.IntegralfunktionXo = v.BereichX1;

    if (p.FgTSchrittweite == 0) p.FgTSchrittweite = 1.0;
    if (p.HTSchrittweite == 0) p.HTSchrittweite = 1.0;
    if (p.ParamkurveTSchrittweite == 0) p.ParamkurveTSchrittweite = 1.0;

    if (reset) SetDefaultWindow();
    return reset;
}

void NormalizeWindow() {
    // The default window -8..8 is no logarithmic window; normalising it once
    // more snaps it to decades before anything takes its logarithm.
    if (NormalizeOnce() && (gOutput.LogScaleX || gOutput.LogScaleY)) NormalizeOnce();
}

void ComputeScreenTransform() {
    GraphState& g = gGraph;
    const ViewWindowState& v = gView;
    OutputContext& o = gOutput;
    const double extentX = static_cast<double>(o.PlotRight - o.PlotLeft);
    const double extentY = static_cast<double>(o.PlotBottom - o.PlotTop);
    // Pixels per unit are kept on logarithmic axes too: sampling steps are
    // derived from them.
    o.PixelsPerUnitX = extentX / (v.BereichX2 - v.BereichX1);
    o.PixelsPerUnitY = extentY / (v.BereichY2 - v.BereichY1);
    if (o.LogScaleX) {
        g.PixelsPerDecadeX = extentX / (o.DecadesX > 0 ? o.DecadesX : 1);
        o.PixelOriginX = o.PlotLeft;
    } else {
        o.PixelOriginX = o.PlotLeft - v.BereichX1 * o.PixelsPerUnitX;
    }
    if (o.LogScaleY) {
        g.PixelsPerDecadeY = extentY / (o.DecadesY > 0 ? o.DecadesY : 1);
        o.PixelOriginY = o.PlotBottom;
    } else {
        o.PixelOriginY = o.PlotBottom + v.BereichY1 * o.PixelsPerUnitY;
    }
}

double PixelToWorldX(double px) {
    const OutputContext& o = gOutput;
    const GraphState& g = gGraph;
    if (o.LogScaleX) return std::pow(10.0, (px - o.PlotLeft) / g.PixelsPerDecadeX + g.LogExpLowX);
    return (px - o.PixelOriginX) / o.PixelsPerUnitX;
}

double PixelToWorldY(double py) {
    const OutputContext& o = gOutput;
    const GraphState& g = gGraph;
    if (o.LogScaleY) return std::pow(10.0, (o.PlotBottom - py) / g.PixelsPerDecadeY + g.LogExpLowY);
    return (o.PixelOriginY - py) / o.PixelsPerUnitY;
}

void SaveViewState() {
    GraphState& g = gGraph;
    g.SicherungTerm = gTerms.TermF;
    g.SicherungA = gTerms.KonstanteA;
    g.SicherungKoordinatensystem = gDisplay.Koordinatensystem;
    g.SicherungX1 = gView.BereichX1;
    g.SicherungX2 = gView.BereichX2;
    g.SicherungFgVon = gView.FgZeichenbereichVon;
    g.SicherungFgBis = gView.FgZeichenbereichBis;
    g.SicherungY1 = gView.BereichY1;
    g.SicherungY2 = gView.BereichY2;
}

void RestoreViewState() {
    const GraphState& g = gGraph;
    gTerms.TermF = g.SicherungTerm;
    gTerms.KonstanteA = g.SicherungA;
    gDisplay.Koordinatensystem = g.SicherungKoordinatensystem;
    gView.BereichX1 = g.SicherungX1;
    gView.BereichX2 = g.SicherungX2;
    gView.FgZeichenbereichVon = g.SicherungFgVon;
    gView.FgZeichenbereichBis = g.SicherungFgBis;
    gView.BereichY1 = g.SicherungY1;
    gView.BereichY2 = g.SicherungY2;
}

}  // namespace kalvo
