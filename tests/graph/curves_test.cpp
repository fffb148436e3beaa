#include <cmath>
#include <set>

#include "curves.h"
#include "graph_test_support.h"
#include "object_lists.h"

namespace kalvo {
namespace {

constexpr Color kCurve = 0x0000FF;

class Curves : public GraphTest {
protected:
    void Plot(const char* term, int slot = 1) {
        gTerms.TermF = term;
        OnlySlot(slot, kCurve);
        Repaint();
    }
    // Every polyline not drawn in black (axes and ticks are black).
    std::vector<CanvasRecord> Coloured() {
        std::vector<CanvasRecord> out;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == CanvasRecord::Kind::Polyline && r.pen.color != 0) out.push_back(r);
        return out;
    }
};

TEST_F(Curves, SqrtStartsRightOfZeroAndPoleBranchesAreNeverJoined) {
    Plot("sqrt(x)");
    const auto root = Polylines(kCurve);
    ASSERT_EQ(root.size(), 1u);
    const CanvasPoint first = root[0].points.front();
    EXPECT_GE(first.x, 300);  // the first sample right of 0: the column of x = 0 is 299.5
    EXPECT_LE(first.x, 301);
    EXPECT_NEAR(first.y, 299.5, 5);
    EXPECT_EQ(root[0].points.back().x, 599);
    for (const char* term : {"tan(x)", "1/x"}) {
        Plot(term);
        const auto lines = Polylines(kCurve);
        ASSERT_GE(lines.size(), 2u) << term;
        for (const CanvasRecord& r : lines) {
            // No segment crosses the plot from one border to the other.
            for (size_t i = 1; i < r.points.size(); ++i)
                EXPECT_LT(std::abs(r.points[i].y - r.points[i - 1].y), 599) << term;
            for (const CanvasPoint& p : r.points) EXPECT_TRUE(p.y >= 0 && p.y <= 599) << term;
        }
    }
    // Each branch of 1/x runs into the border next to the pole.
    const auto lines = Polylines(kCurve);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points.back().y, 599);
    EXPECT_LT(lines[0].points.back().x, 300);
    EXPECT_EQ(lines[1].points.front().y, 0);
    EXPECT_GE(lines[1].points.front().x, 300);
}

TEST_F(Curves, FamilyMembersOverTheRangeAndTheList) {
    gParams.FgTVon = -2;
    gParams.FgTBis = 2;
    gParams.FgTSchrittweite = 1;
    gTerms.ParameterWerte = {5, 6, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    const struct { bool spectrum, list; size_t lines; std::set<double> slopes; } cases[] = {
        {true, false, 5, {-2, -1, 0, 1, 2}}, {true, true, 7, {-2, -1, 0, 1, 2, 5, 6}}, {false, false, 1, {5}},
        {false, true, 2, {5, 6}},
    };
    for (const auto& c : cases) {
        gDisplay.FarbspektrumParameter = c.spectrum;
        gTerms.ParameterAusListe = c.list;
        Plot("t*x");
        const auto lines = Coloured();
        ASSERT_EQ(lines.size(), c.lines) << c.spectrum << c.list;
        std::set<double> slopes;
        for (const CanvasRecord& r : lines) {
            const CanvasPoint a = r.points.front(), b = r.points.back();
            slopes.insert(std::round(-double(b.y - a.y) / double(b.x - a.x) * 2) / 2);
        }
        EXPECT_EQ(slopes, c.slopes) << c.spectrum << c.list;
        if (c.spectrum && c.list) {
            EXPECT_EQ(lines.front().pen.color, 0xFF0000u);  // scheme 1 at the start: blue
            EXPECT_EQ(lines[4].pen.color, 0x0100FEu);       // at the end: red 254, blue 1
            EXPECT_EQ(lines.back().pen.color, kCurve);      // list values keep the slot colour
        }
    }
    // A term without t is never coloured by the spectrum.
    gDisplay.FarbspektrumParameter = true;
    gDisplay.FarbspektrumNummer = 12;
    Plot("x");
    ASSERT_EQ(Coloured().size(), 1u);
    EXPECT_EQ(Coloured()[0].pen.color, kCurve);
}

TEST_F(Curves, SumOverTheIndexN) {
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 3;
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "n*x", true));
    EXPECT_NEAR(EvalSumOverN(0, 2, 0, SumStartIndex(), 3, 1), 12, 1e-12);
    EXPECT_NEAR(EvalSumClamped(1, 2, 0), 6, 1e-6);
    // A term without n is evaluated once, at the end of the range.
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x^2", true));
    EXPECT_EQ(SumStartIndex(), 3);
    EXPECT_NEAR(EvalSumClamped(0, 2, 0), 4, 1e-12);
    // Values are clamped into the limits.
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "10^30*x", true));
    EXPECT_EQ(EvalSumClamped(0, 1, 0), 1e10);
    EXPECT_EQ(EvalSumClamped(0, -1, 0), -1e10);
}

TEST_F(Curves, FunctionListIsDrawnWithFOnly) {
    gTerms.Listenterme[3] = "x^2";
    gTerms.TermG = "x";
    Plot("x", 1);
    EXPECT_EQ(Polylines(kCurve).size(), 2u);
    gTerms.TermF = "";
    OnlySlot(8, kCurve);
    Repaint();
    EXPECT_EQ(Polylines(kCurve).size(), 1u);
}

TEST_F(Curves, LogarithmicAxisSamplesFromEndToEnd) {
    gDisplay.Koordinatensystem.xSkalierung = 1;
    SetWindow(1, 100, -1, 3);
    Plot("lg(x)");
    const auto lines = Polylines(kCurve);
    ASSERT_EQ(lines.size(), 1u);
    const CanvasPoint a = lines[0].points.front(), b = lines[0].points.back();
    EXPECT_EQ(a.x, gOutput.PlotLeft);
    EXPECT_EQ(b.x, gOutput.PlotRight);
    double px, py;
    WorldToPixel(1, 2, px, py);
    EXPECT_NEAR(b.y, py, 1);
    // A straight line on the logarithmic axis: the middle decade is in the middle.
    for (const CanvasPoint& p : lines[0].points) {
        const double x = PixelToWorldX(p.x);
        WorldToPixel(x, std::log10(x), px, py);
        EXPECT_NEAR(p.y, py, 1.5);
    }
}

TEST_F(Curves, FamilyDrawingRangeIsClippedToTheWindow) {
    gView.FgZeichenbereichAuto = false;
    gView.FgZeichenbereichVon = 0;
    gView.FgZeichenbereichBis = 20;
    Plot("x");
    const auto lines = Polylines(kCurve);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].points.front().x, 300, 1);
    EXPECT_LE(lines[0].points.back().x, 600);
}

TEST_F(Curves, PathologicalStatesFinish) {
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 59;
    const struct {
        const char* what;
        const char* term;
        double tVon, tBis, tStep;
        int nVon, nBis, nStep;
        double x1, x2;
        size_t maxLines;
    } cases[] = {
        {"t step 0", "t*x", -2, 2, 0, 0, 0, 1, -8, 8, 5}, {"t step negative", "t*x", -2, 2, -1, 0, 0, 1, -8, 8, 5},
        {"t step not a number", "t*x", -2, 2, NAN, 0, 0, 1, -8, 8, 5},
        {"t range huge", "t*x", -1e12, 1e12, 1e-3, 0, 0, 1, -8, 8, size_t(kMaxFamilyMembers)},
        {"n step 0", "n*x", 0, 0, 1, 1, 3, 0, -8, 8, 1},
        {"n range huge", "n*x", 0, 0, 1, -2000000000, 2000000000, 1, -8, 8, 1},
        {"window at 1e10, 0.0006 wide", "x", 0, 0, 1, 0, 0, 1, 1e10 - 0.0006, 1e10, 1},
    };
    for (const auto& c : cases) {
        canvas.ClearRecords();
        gParams.FgTVon = c.tVon;
        gParams.FgTBis = c.tBis;
        gParams.FgSummeVon = c.nVon;
        gParams.FgSummeBis = c.nBis;
        SetWindow(c.x1, c.x2, -1, 1);
        SetupAxes(gDisplay.Koordinatensystem);
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, c.term, true));
        // Straight to the plotter: the redraw would have mended the steps first.
        gParams.FgTSchrittweite = c.tStep;
        gParams.FgSummeSchrittweite = c.nStep;
        OnlySlot(1, kCurve);
        gGraph.AktuelleLinienfarbe = kCurve;
        PlotCurve(0, gView.BereichX1, gView.BereichX2, c.tVon, c.tBis, c.tStep);
        EXPECT_LE(Coloured().size(), c.maxLines) << c.what;
    }
}

TEST_F(Curves, TinyPlotDrawsOnlyTheBackground) {
    gTerms.TermF = "x";
    for (const auto& [w, art] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{60, 1}, std::pair{-5, 0}}) {
        canvas.ClearRecords();
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = w;
        gDisplay.Koordinatensystem.Art = static_cast<uint8_t>(art);
        GrafikZeichnen(true);
        const auto& r = canvas.Records();
        ASSERT_EQ(r.size(), 1u) << w;
        EXPECT_EQ(r[0].kind, CanvasRecord::Kind::FillRect);
    }
}

TEST_F(Curves, StripExtremesAndMidpoint) {
    SetupAxes(gDisplay.Koordinatensystem);
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x^2", true));
    EXPECT_NEAR(StripMinimum(-1, 2, 0), 0, 1e-3);
    EXPECT_NEAR(StripMaximum(-1, 2, 0), 4, 1e-12);
    EXPECT_NEAR(StripMidpoint(-1, 2, 0), 0.25, 1e-12);
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "sqrt(x)", true));
    EXPECT_EQ(StripMinimum(-2, -1, 0), 0);  // undefined everywhere: 0
    EXPECT_NEAR(StripMaximum(-1, 4, 0), 2, 1e-12);
}

}  // namespace
}  // namespace kalvo
