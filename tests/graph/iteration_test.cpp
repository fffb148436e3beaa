#include <cmath>

#include "analysis_state.h"
#include "graph_test_support.h"
#include "iteration.h"

namespace kalvo {
namespace {

constexpr Color kIter = 0x00C0C0;

class Iteration : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        gIteration.IterFarbe = kIter;
        gDisplay.Schaubilder = SchaubildTabelle{};
    }
};

TEST_F(Iteration, IteratesOfTheMapAndTheAutomaticWindows) {
    const struct { bool logistic; const char* term; int k; double a, x, expected; bool defined; } cases[] = {
        {true, "", 1, 4, 0.5, 1, true}, {true, "", 2, 4, 0.5, 0, true}, {true, "", 0, 4, 0.5, 0.5, true},
        {true, "", 3, 1e6, 2, -1e10, true},  // limited, and no step beyond
        {false, "a*x", 2, 3, 1, 9, true},  // the parameter a of the general term
        {false, "2x", 3, 1, 1, 8, true}, {false, "x^2", 5, 1, 1e6, 1e10, true},
        {false, "sqrt(x)-1", 3, 1, 0, -1, false}, {false, "x+1", 1000, 1, 0, kMaxIterierteK, true},
    };
    for (const auto& c : cases) {
        gIteration.IterLogistisch = c.logistic;
        gTerms.TermF = c.term;
        CompileIterationTerm();
        const double v = KteIterierte(c.k, c.a, c.x);
        EXPECT_EQ(gTerms.TermOK, c.defined) << c.term << c.k;
        EXPECT_DOUBLE_EQ(v, c.expected) << c.term << c.k;
        EXPECT_EQ(gTerms.KonstanteA, c.a);
    }
    // The automatic windows over the iterates.
    const struct { bool logistic, path; const char* term; double a, x0, von, bis; } windows[] = {
        {true, true, "", 4, 0.3, 0, 4.0 / 3}, {false, false, "x-1", 1, 0, -55, 50.0 / 3},
        {false, false, "x^10", 1, 10, 0, 1},  // beyond 1e10 the window falls back to 0..1
        {false, false, "x", 1, NAN, 0, 1}, {false, false, "x", 1, 1e-9, 0, 1.0e-9 * 4 / 3},
        {false, false, "x", 1, 0, 0, 1},  // all iterates 0: no height at all
    };
    for (const auto& c : windows) {
        IterationState& it = gIteration;
        it.IterLogistisch = c.logistic;
        it.IterPfadAktiv = c.path;
        it.IterationParameterA = c.a;
        gOverlay.Startwert = c.x0;
        gTerms.TermF = c.term;
        AutoScaleIteration();
        EXPECT_NEAR(it.IterYVon, c.von, 1e-9) << c.term;
        EXPECT_NEAR(it.IterYBis, c.bis, 1e-9 * std::fabs(c.bis) + 1e-15) << c.term;
        EXPECT_EQ(it.IterPfadXVon, it.IterYVon);
        EXPECT_EQ(it.AttraktorYBis, it.IterYBis);
    }
    // An undefined iterate leaves every window as it was.
    gTerms.TermF = "ln(x)";
    gOverlay.Startwert = 0.5;
    gIteration.IterYVon = 7;
    AutoScaleIteration();
    EXPECT_EQ(gIteration.IterYVon, 7);
}

TEST_F(Iteration, SequenceMarksAndConnections) {
    IterationState& it = gIteration;
    it.IterLogistisch = true;
    it.IterationParameterA = 3.2;
    it.FolgeAnzeige = true;
    gOverlay.Startwert = 0.2;
    const struct { int n; bool connect; size_t dots; bool lines; } cases[] = {
        {100, true, 101, true}, {100, false, 101, false}, {150, false, 0, true}, {0, true, 1, false}};
    for (const auto& c : cases) {
        it.IterationenN = c.n;
        it.IterPunkteVerbinden = c.connect;
        SetWindow(0, std::max(c.n, 1), 0, 1.1);
        Repaint();
        EXPECT_EQ(Count(CanvasRecord::Kind::Ellipse), c.dots) << c.n;
        const auto lines = Polylines(kIter);
        EXPECT_EQ(!lines.empty(), c.lines) << c.n << c.connect;
        if (c.n > 100 && !c.connect) {
            // Small crosses from one pixel left and below to two right and above.
            ASSERT_GE(lines.size(), 2u);
            EXPECT_EQ(lines[0].points.back().x - lines[0].points.front().x, 3);
        }
    }
}

TEST_F(Iteration, StaircaseBetweenTheGraphAndTheDiagonal) {
    IterationState& it = gIteration;
    it.IterLogistisch = true;
    it.IterationParameterA = 2.5;
    it.IterPfadAnzeige = it.IterPfadAktiv = true;
    it.IterXnMarkieren = true;
    it.IterationenN = 20;
    gOverlay.Startwert = 0.2;
    SetWindow(0, 1, 0, 1);
    GrafikZeichnen(false);
    ASSERT_EQ(Polylines(0x0000FF).size(), 1u);  // y = x in red
    const auto graph = Polylines(0xFF0000);      // a x (1 - x) in blue
    ASSERT_EQ(graph.size(), 1u);
    for (const CanvasPoint& p : graph[0].points) {
        const double x = PixelToWorldX(p.x);
        EXPECT_NEAR(p.y, Pixel(x, 2.5 * x * (1 - x)).y, 1.5);
    }
    const auto stairs = Polylines(kIter);
    ASSERT_GE(stairs.size(), 3u);
    EXPECT_EQ(Ends(stairs[0]), std::pair(Pixel(0.2, 0), Pixel(0.2, 0.4)));
    EXPECT_EQ(stairs[1].points.back(), Pixel(0.4, 0.4));
    // The last point, the fixed point 0.6, drops to the axis.
    EXPECT_EQ(stairs.back().points.back().y, Pixel(0, 0).y);
    EXPECT_NEAR(stairs.back().points.front().x, Pixel(0.6, 0).x, 1);
}

TEST_F(Iteration, AttractorDiagram) {
    IterationState& it = gIteration;
    it.IterLogistisch = true;
    it.AttraktorAnzeige = true;
    it.AttraktorAVon = 2.6;
    it.AttraktorABis = 2.9;
    it.IterAMarkieren = true;
    it.IterationParameterA = 2.75;
    it.VorIterationen = 200;
    gOverlay.Startwert = 0.2;
    gTerms.KonstanteA = 1.5;
    SetWindow(2.5, 2.9, 0, 1);
    GrafikZeichnen(false);
    EXPECT_EQ(it.AttraktorAVon, 2.5);
    EXPECT_EQ(gTerms.KonstanteA, 1.5);
    // One fixed point 1 - 1/a per column.
    const auto dashes = Polylines(kIter);
    EXPECT_GE(dashes.size(), 590u);
    for (const CanvasRecord& r : dashes) {
        ASSERT_EQ(r.points.size(), 2u);
        EXPECT_EQ(r.points[1].x - r.points[0].x, 1);
        const double a = PixelToWorldX(r.points[0].x);
        EXPECT_NEAR(r.points[0].y, Pixel(a, 1 - 1 / a).y, 1.5);
    }
    const auto marker = Polylines(0xFF0000);
    ASSERT_EQ(marker.size(), 1u);
    EXPECT_EQ(marker[0].pen.style, PenStyle::Dot);
    // A general term undefined everywhere draws no point.
    it.IterLogistisch = false;
    gTerms.TermF = "ln(-1-x^2)";
    Repaint();
    EXPECT_TRUE(Polylines(kIter).empty());
}

TEST_F(Iteration, DataPoints) {
    RegressionState& r = gRegression;
    r.MesspunktFarbe = kIter;
    r.RegressionPunktzahl = 7;
    // The empty y of row 6 ends the rows even though a seventh follows.
    const char* xs[] = {"", "1", "2,5", " -3 ", "abc", "4", "5", "6"};
    const char* ys[] = {"", "1", "2.5", "-1", "2", "8", "", "6"};
    for (size_t i = 1; i <= 7; ++i) {
        r.MesswertTexteX[i] = xs[i];
        r.MesswertTexteY[i] = ys[i];
    }
    const struct { int kind; CanvasRecord::Kind shape; BrushStyle brush; size_t lines; int width; } cases[] = {
        {0, CanvasRecord::Kind::Ellipse, BrushStyle::Solid, 0, 1},
        {1, CanvasRecord::Kind::Ellipse, BrushStyle::Clear, 0, 1},
        {2, CanvasRecord::Kind::Rectangle, BrushStyle::Solid, 0, 1},
        {3, CanvasRecord::Kind::Rectangle, BrushStyle::Clear, 0, 1},
        {4, CanvasRecord::Kind::Polyline, BrushStyle::Solid, 2, 1},
        {5, CanvasRecord::Kind::Polyline, BrushStyle::Solid, 2, 2},
        {6, CanvasRecord::Kind::Polyline, BrushStyle::Solid, 2, 1},
        {7, CanvasRecord::Kind::Polyline, BrushStyle::Solid, 2, 2},
    };
    for (const auto& c : cases) {
        r.WertepaarSymbol = c.kind;
        Repaint();
        std::vector<CanvasRecord> marks = Records(c.shape);
        std::erase_if(marks, [](const CanvasRecord& rec) { return rec.pen.color != kIter; });
        // Three rows are drawn: (1, 1), (2.5, 2.5) and (-3, -1); "abc" is no number, (4, 8) lies on the border.
        const size_t per = c.lines ? c.lines : 1;
        ASSERT_EQ(marks.size(), 3 * per) << c.kind;
        if (!c.lines) {
            EXPECT_EQ(marks[0].brush.style, c.brush) << c.kind;
            const CanvasPoint p = Pixel(1, 1);
            const int d = c.kind < 2 ? (c.kind == 0 ? 3 : 4) : 4;
            EXPECT_EQ(marks[0].rect, (CanvasRect{p.x - d, p.y - d, p.x + d, p.y + d})) << c.kind;
        } else {
            EXPECT_EQ(marks[0].pen.width, c.width) << c.kind;
        }
    }
    // Deviations from the fitted graph, only where there is one.
    r.WertepaarSymbol = 0;
    r.AbweichungenZeichnen = true;
    gTerms.TermF = "x/2";
    Repaint();
    const auto deviations = Polylines(kIter);
    ASSERT_EQ(deviations.size(), 4u);  // (4, 8) has no marker but its deviation
    EXPECT_EQ(Ends(deviations[0]), std::pair(Pixel(1, 1), Pixel(1, 0.5)));
    gTerms.TermF = "";
    Repaint();
    EXPECT_TRUE(Polylines(kIter).empty());
}

}  // namespace
}  // namespace kalvo
