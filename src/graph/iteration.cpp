#include "iteration.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "analysis_state.h"
#include "curves.h"
#include "decimal.h"
#include "graph_state.h"
#include "plot_support.h"
#include "primitives.h"
#include "program_state.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

double Limited(double v) { return std::clamp(v, -1e10, 1e10); }

// The value of f at x in the main tree, limited; TermOK says whether it is defined.
double GeneralMapValue(double x) {
    bool defined;
    const double v = NSum(0, x, gTerms.ParameterWerte[0], CurrentNRange(), defined);
    gTerms.TermOK = defined;
    return Limited(v);
}

// A mark of the sequence graph: a dot while the sequence is short, else a
// small cross, both only inside the plot.
void SequenceMark(double px, double py, bool dots) {
    if (dots) {
        DotMarker(px, py);
        return;
    }
    const OutputContext& o = gOutput;
    if (px < o.PlotLeft || px > o.PlotRight || py < o.PlotTop || py > o.PlotBottom) return;
    ScaledLine(px - 1, py, px + 2, py);
    ScaledLine(px, py + 1, px, py - 2);
}

// KonstanteA back to its value when the attractor diagram is done with it.
class KeepKonstanteA {
public:
    KeepKonstanteA() : a_(gTerms.KonstanteA) {}
    ~KeepKonstanteA() { gTerms.KonstanteA = a_; }
    KeepKonstanteA(const KeepKonstanteA&) = delete;
    KeepKonstanteA& operator=(const KeepKonstanteA&) = delete;

private:
    double a_;
};

bool ReadDataText(const std::string& text, double& value) {
    std::string s;
    for (char c : text)
        if (c != ' ') s.push_back(c);
    return ParseDecimal(s, value);
}

void DataMarker(int kind, double px, double py) {
    Canvas& c = Ausgabe();
    const Color color = c.Pen().color;
    const int wide = std::max(1, RoundToInt(2 * gOutput.AusgabefaktorX));
    switch (kind) {
        case 1: CircleMarker(px, py); break;
        case 2:
        case 3:
            if (kind == 2)
                SetBrushFromPen(BrushStyle::Solid);
            else
                c.SetBrushStyle(BrushStyle::Clear);
            c.Rectangle(DeviceX(px - 4), DeviceY(py - 4), DeviceX(px + 4), DeviceY(py + 4));
            c.SetBrushStyle(BrushStyle::Clear);
            break;
        case 4:
            ScaledLine(px, py - 4, px, py + 5);
            ScaledLine(px - 4, py, px + 5, py);
            break;
        case 5:
            SetPen(color, wide, PenStyle::Solid);
            ScaledLine(px, py - 4, px, py + 4);
            ScaledLine(px - 4, py, px + 4, py);
            SetPen(color, OutputPenWidth(1), PenStyle::Solid);
            break;
        case 6:
            ScaledLine(px - 4, py - 4, px + 5, py + 5);
            ScaledLine(px - 4, py + 4, px + 5, py - 5);
            break;
        case 7:
            SetPen(color, wide, PenStyle::Solid);
            ScaledLine(px - 4, py - 4, px + 4, py + 4);
            ScaledLine(px - 4, py + 4, px + 4, py - 4);
            SetPen(color, OutputPenWidth(1), PenStyle::Solid);
            break;
        default: DotMarker(px, py); break;
    }
}

}  // namespace

double LogisticStep(double x) {
    // Not the evaluator's work, but work all the same.
    AddWork(3);
    gTerms.TermOK = true;
    return Limited(gTerms.KonstanteA * x * (1 - x));
}

double IterationMapValue(double x) { return gIteration.IterLogistisch ? LogisticStep(x) : GeneralMapValue(x); }

double KteIterierte(int k, double a, double x) {
    gTerms.KonstanteA = a;
    gTerms.TermOK = true;
    k = std::min(k, kMaxIterierteK);
    for (int i = 1; i <= k && std::fabs(x) < 1e10; ++i) {
        const double next = IterationMapValue(x);
        if (!gTerms.TermOK) return x;
        x = next;
    }
    return x;
}

void CompileIterationTerm() {
    ParseTerm(FunktionTermbaum, gIteration.IterLogistisch ? std::string("ax(1-x)") : gTerms.TermF.str(), true);
}

void AutoScaleIteration() {
    IterationState& it = gIteration;
    CompileIterationTerm();
    const double a = it.IterationParameterA;
    const double x0 = gOverlay.Startwert;
    double max = x0, min = 0;
    const int count = std::min(50, it.IterationenN);
    double v = x0;
    for (int i = 1; i <= count; ++i) {
        v = KteIterierte(1, a, v);
        if (!gTerms.TermOK) return;
        max = std::max(max, v);
        min = std::min(min, v);
    }
    if (it.IterPfadAktiv && a / 4 > max) max = a / 4;
    double von = min >= 0 ? 0 : min - (max - min) / 10;
    double bis = max + (max - min) / 3;
    const double span = std::fabs(bis - von);
    if (!(span <= 1e10) || span < 3e-10) {
        von = 0;
        bis = 1;
    }
    it.IterYVon = it.IterPfadXVon = it.AttraktorYVon = von;
    it.IterYBis = it.IterPfadXBis = it.AttraktorYBis = bis;
}

void DrawIterationDiagram() {
    const IterationState& it = gIteration;
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    const double a = it.IterationParameterA;
    gTerms.KonstanteA = a;
    CompileIterationTerm();
    const int width = OutputPenWidth(it.IterFett ? 3 : 1);
    const int k = std::clamp(it.IterierteK, 0, kMaxIterierteK);
    const int steps = std::clamp(it.IterationenN, 0, kMaxIterationSteps);

    if (it.IterPfadAktiv) {
        SetPen(kRed, width, PenStyle::Solid);
        gGraph.AktuelleLinienfarbe = kRed;
        if (ParseTerm(FunktionTermbaum, "x", true))
            PlotCurve(0, v.BereichX1, v.BereichX2, gParams.FgTVon, gParams.FgTVon, 1);
        SetPen(kBlue, width, PenStyle::Solid);
        CompileIterationTerm();
        double spp = o.SamplesPerPixel;
        if (!(spp > 0) || !std::isfinite(spp)) spp = 1;
        AxisSamples samples(v.BereichX1, v.BereichX2, 1.0 / (o.PixelsPerUnitX * std::min(spp, 64.0)), o.LogScaleX,
                            o.DecadesX < 3 ? 2 : 1);
        RowTrace trace(100);
        double x;
        while (samples.Next(x)) {
            const double y = KteIterierte(k, a, x);
            if (gTerms.TermOK)
                trace.Defined(ColumnOf(x), RowOf(ClampValue(y)));
            else
                trace.Undefined();
        }
    }

    SetPen(it.IterFarbe, OutputPenWidth(1), PenStyle::Solid);
    const bool dots = steps <= 100;
    double x = gOverlay.Startwert;
    double px, py;
    if (it.IterPfadAktiv) {
        px = ColumnOf(x);
        py = AxisRow();
    } else {
        px = ColumnOf(0);
        py = RowOf(ClampValue(x));
        SequenceMark(px, py, dots);
    }
    for (int n = 1; n <= steps && std::fabs(x) < 1e10 && !WorkBudgetSpent(); ++n) {
        const double next = KteIterierte(k, a, x);
        if (!gTerms.TermOK) break;
        if (it.IterPfadAktiv) {
            const double qx = ColumnOf(next), qy = RowOf(ClampValue(next));
            PlotLine(px, py, px, qy);
            PlotLine(px, qy, qx, qy);
            px = qx;
            py = qy;
        } else {
            const double qx = ColumnOf(n), qy = RowOf(ClampValue(next));
            const double prevX = ColumnOf(n - 1), prevY = RowOf(ClampValue(x));
            if (qy >= o.PlotTop && qy <= o.PlotBottom) {
                SequenceMark(qx, qy, dots);
                if (it.IterPunkteVerbinden && prevX >= o.PlotLeft && qx <= o.PlotRight) PlotLine(prevX, prevY, qx, qy);
            }
        }
        x = next;
    }
    if (it.IterPfadAktiv && it.IterXnMarkieren) PlotLine(px, py, px, AxisRow());
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

void DrawBifurcationDiagram() {
    IterationState& it = gIteration;
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    SetPen(it.IterFarbe, OutputPenWidth(1), PenStyle::Solid);
    if (v.BereichX1 < it.AttraktorAVon) it.AttraktorAVon = v.BereichX1;
    if (v.BereichX2 > it.AttraktorABis) it.AttraktorABis = v.BereichX2;
    KeepKonstanteA keepA;
    CompileIterationTerm();
    const int pre = std::clamp(it.VorIterationen, 0, kMaxAttraktorIterationen);
    const int post = std::clamp(it.NachIterationen, 0, kMaxAttraktorIterationen);
    const double x0 = gOverlay.Startwert;
    // One parameter value per pixel column.
    for (int c = o.PlotLeft; c <= o.PlotRight && !WorkBudgetSpent(); ++c) {
        const double a = PixelToWorldX(c);
        double x = x0;
        gTerms.KonstanteA = a;
        gTerms.TermOK = true;
        // The transient is not drawn.
        for (int i = 1; i <= pre && std::fabs(x) < 1e10; ++i) {
            x = IterationMapValue(x);
            if (!gTerms.TermOK) break;
        }
        if (!gTerms.TermOK) continue;
        for (int j = 1; j <= post && std::fabs(x) < 10000; ++j) {
            x = IterationMapValue(x);
            if (!gTerms.TermOK) break;
            const double py = RowOf(ClampValue(x));
            if (py > o.PlotTop && py < o.PlotBottom && c > o.PlotLeft && c < o.PlotRight) ScaledLine(c, py, c + 1, py);
        }
    }
    if (it.IterAMarkieren) {
        SetPen(kBlue, OutputPenWidth(1), PenStyle::Dot);
        const double px = ColumnOf(it.IterationParameterA);
        PlotLine(px, o.PlotTop, px, o.PlotBottom);
    }
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

void DrawDataPoints(int kind) {
    const RegressionState& r = gRegression;
    const OutputContext& o = gOutput;
    const int count = std::clamp(r.RegressionPunktzahl, 0, kMaxMesswerte);
    // Deviations need a fitted curve; without one f is empty.
    const bool deviations = r.AbweichungenZeichnen && !gTerms.TermF.empty();
    SetPen(r.MesspunktFarbe, OutputPenWidth(1), PenStyle::Solid);
    for (int i = 1; i <= count; ++i) {
        const std::string& tx = r.MesswertTexteX[static_cast<size_t>(i)];
        const std::string& ty = r.MesswertTexteY[static_cast<size_t>(i)];
        if (tx.empty() || ty.empty()) break;
        double x, y;
        if (!ReadDataText(tx, x) || !ReadDataText(ty, y)) continue;
        const double px = ColumnOf(ClampX(x)), py = RowOf(ClampValue(y));
        if (px > o.PlotLeft && px < o.PlotRight && py > o.PlotTop && py < o.PlotBottom) DataMarker(kind, px, py);
        if (deviations) {
            const double f = GeneralMapValue(x);
            if (gTerms.TermOK) PlotLine(px, py, px, RowOf(ClampValue(f)));
        }
    }
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
}

}  // namespace kalvo
