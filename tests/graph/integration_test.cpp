#include <climits>
#include <cmath>

#include "analysis_state.h"
#include "graph_host.h"
#include "graph_test_support.h"
#include "integration.h"
#include "redraw.h"
#include "view.h"

namespace kalvo {
namespace {

struct SumsHost : GraphHost {
    std::vector<std::string> texts;
    void SummenText(const std::string& text) override { texts.push_back(text); }
};

class Integration : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        SetGraphHost(&host);
        SetupAxes(gDisplay.Koordinatensystem);
    }
    void TearDown() override {
        SetGraphHost(nullptr);
        GraphTest::TearDown();
    }
    void Compile(const char* term) { ASSERT_TRUE(ParseTerm(FunktionTermbaum, term, true)); }
    std::vector<CanvasRecord> Records(CanvasRecord::Kind kind) {
        std::vector<CanvasRecord> out;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == kind) out.push_back(r);
        return out;
    }
    SumsHost host;
};

TEST_F(Integration, RiemannSums) {
    const struct {
        const char* term;
        int n;
        double a, b, o, u, z;
    } cases[] = {
        {"x", 4, 0, 1, 0.625, 0.375, 0.5},
        {"x", 4, 1, 0, 0.625, 0.375, 0.5},  // the bounds in either order
        {"x^2", 2, 0, 2, 5, 1, 2.5},
        {"x", 0, 0, 1, 0, 0, 0},  // no strips, no sums (not NaN)
        {"x", -3, 0, 1, 0, 0, 0},
        {"1-x^2", 2, -1, 1, 2, 0, 1.5},
        // An undefined start of a strip counts as 0 for its smallest and largest value.
        {"sqrt(x)", 1, -1, 3, 4 * std::sqrt(3.0), 0, 4},
        {"ln(x)", 1, -2, -1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        Compile(c.term);
        const RiemannSummen s = RiemannSums(c.n, c.a, c.b, 0);
        EXPECT_NEAR(s.Obersumme, c.o, 1e-9) << c.term << c.n;
        EXPECT_NEAR(s.Untersumme, c.u, 1e-9) << c.term << c.n;
        EXPECT_NEAR(s.Zwischenwertsumme, c.z, 1e-9) << c.term << c.n;
    }
}

TEST_F(Integration, StatusLineOfEveryMode) {
    RiemannSummen s;
    s.n = 4;
    s.Obersumme = 0.625;
    s.Untersumme = 0.375;
    s.Zwischenwertsumme = 2.5;
    EXPECT_EQ(SummenText(kObersumme, s), "n = 4  O =  0,6250");
    EXPECT_EQ(SummenText(kUntersumme, s), "n = 4  U =  0,3750");
    EXPECT_EQ(SummenText(kOberUndUntersumme, s), "n = 4  O =  0,6250  U =  0,3750  Fehlerintervall D = O - U =  0,2500");
    EXPECT_EQ(SummenText(kFehlerintervall, s), SummenText(kOberUndUntersumme, s));
    EXPECT_EQ(SummenText(kZwischenwertsumme, s), "n = 4  Z =  2,5000");
    EXPECT_EQ(SummenText(0, s), "n = 4  ");
}

TEST_F(Integration, TheRedrawDrawsTheStripsOfTheModeAndReportsTheSums) {
    gTerms.TermF = "x";
    gOverlay.SummenZeichnen = true;
    gOverlay.GrenzeA = 0;
    gOverlay.GrenzeB = 4;
    gOverlay.AnzahlRechtecke = 4;
    gOverlay.FuellmusterSummen = kBrushHorizontal;
    const struct {
        int mode;
        size_t rectangles;
        Color first;
        BrushStyle firstStyle;
        size_t blackLines;
    } cases[] = {
        {kObersumme, 4, gOverlay.FarbeObersumme, BrushStyle::Horizontal, 0},
        {kUntersumme, 4, gOverlay.FarbeUntersumme, BrushStyle::Horizontal, 0},
        {kZwischenwertsumme, 4, gOverlay.FarbeZwischenwertsumme, BrushStyle::Horizontal, 0},
        {kOberUndUntersumme, 8, gOverlay.FarbeUntersumme, BrushStyle::FDiagonal, 0},
        // Lines from the axis to the lower end of each strip: at 2, 3 and 4 (at 0 and 1 they have no length).
        {kFehlerintervall, 8, gOverlay.FarbeFehlerintervall, BrushStyle::Horizontal, 3},
    };
    for (const auto& c : cases) {
        canvas.ClearRecords();
        host.texts.clear();
        gOverlay.SummenAnzeigeart = c.mode;
        GrafikZeichnen(false);
        const auto rects = Records(CanvasRecord::Kind::Rectangle);
        ASSERT_EQ(rects.size(), c.rectangles) << c.mode;
        EXPECT_EQ(rects[0].brush.color, c.first) << c.mode;
        EXPECT_EQ(rects[0].pen.color, c.first) << c.mode;
        EXPECT_EQ(rects[0].brush.style, c.firstStyle) << c.mode;
        // Strips stand side by side on the x axis, one unit wide each.
        EXPECT_EQ(rects.back().rect.right - rects.back().rect.left, 37) << c.mode;
        size_t vertical = 0;
        for (const CanvasRecord& r : canvas.Records())
            if (r.kind == CanvasRecord::Kind::Polyline && r.pen.color == 0 && r.points.size() == 2 &&
                r.points[0].x == r.points[1].x && r.points[0].x > 300 && std::abs(r.points[0].y - r.points[1].y) > 10)
                ++vertical;
        EXPECT_EQ(vertical, c.blackLines) << c.mode;
        ASSERT_EQ(host.texts.size(), 1u);
        EXPECT_EQ(host.texts[0].substr(0, 7), "n = 4  ");
    }
    // A strip whose middle is undefined is not drawn, and counts 0 there.
    canvas.ClearRecords();
    gTerms.TermF = "1/(x-1.5)";
    gOverlay.SummenAnzeigeart = kObersumme;
    GrafikZeichnen(false);
    EXPECT_EQ(Records(CanvasRecord::Kind::Rectangle).size(), 3u);
}

TEST_F(Integration, HugeCountsAndBoundsFinish) {
    Compile("sin(x)");
    gOutput.AusgabeCanvas = nullptr;  // a hundred thousand strips need no recording
    const RiemannSummen many = DrawOberUntersumme(INT_MAX, kOberUndUntersumme, 0, 1);
    gOutput.AusgabeCanvas = &canvas;
    EXPECT_EQ(many.n, kMaxRechtecke);
    EXPECT_NEAR(many.Obersumme, 1 - std::cos(1.0), 1e-4);
    EXPECT_NEAR(many.Untersumme, 1 - std::cos(1.0), 1e-4);
    canvas.ClearRecords();
    const RiemannSummen wide = DrawOberUntersumme(3, kObersumme, -1e10, 1e10);
    EXPECT_NEAR(wide.Obersumme, 2e10 / 3 * 3, 2e10 * 1e-3);
    // Strips that lie beyond the plot are not squeezed onto its border.
    EXPECT_LE(Records(CanvasRecord::Kind::Rectangle).size(), 1u);
    const RiemannSummen odd = DrawOberUntersumme(2, kObersumme, NAN, 1);
    EXPECT_EQ(odd.Obersumme, 0);
}

TEST_F(Integration, AreaBetweenTheGraphs) {
    gTerms.TermF = "4-x^2";
    gTerms.TermG = "";
    gOverlay.FuellmusterFlaeche = kBrushCross;
    gOverlay.FuellfarbeFlaeche = 0x00FF00;
    const struct {
        double a, b;
        int columns;  // 0: nothing drawn
    } cases[] = {{-2, 2, 150}, {2, -2, 150}, {-20, 20, 600}, {9, 20, 0}, {-20, -9, 0}, {NAN, 1, 0}};
    for (const auto& c : cases) {
        canvas.ClearRecords();
        DrawFlaeche(c.a, c.b, 0);
        const auto polygons = Records(CanvasRecord::Kind::Polygon);
        if (c.columns == 0) {
            EXPECT_TRUE(polygons.empty()) << c.a;
            continue;
        }
        ASSERT_EQ(polygons.size(), 1u) << c.a;
        const CanvasRecord& p = polygons[0];
        EXPECT_EQ(p.brush.color, 0x00FF00u);
        EXPECT_EQ(p.brush.style, BrushStyle::Cross);
        ASSERT_EQ(p.points.size(), 2u * static_cast<size_t>(c.columns)) << c.a;
        // Upper edge along f, lower edge along g = 0 back again; all inside the plot.
        for (const CanvasPoint& q : p.points) {
            EXPECT_GE(q.y, 0);
            EXPECT_LE(q.y, 599);
        }
        EXPECT_EQ(p.points[static_cast<size_t>(c.columns) - 1].x, p.points[static_cast<size_t>(c.columns)].x);
        EXPECT_EQ(p.points.back().y, 300);
    }
    // The top of the parabola, at the column of 0.
    canvas.ClearRecords();
    DrawFlaeche(-2, 2, 0);
    double px, py;
    WorldToPixel(0, 4, px, py);
    const auto p = Records(CanvasRecord::Kind::Polygon)[0].points;
    EXPECT_NEAR(p[75].y, py, 1);
}

TEST_F(Integration, Simpson) {
    const struct {
        const char* term;
        int mode, maxPairs;
        double a, b, expected;
        bool undefined;
        double tolerance = 1e-6;
    } cases[] = {
        {"x^2", kIntegrandF, 500, 0, 3, 9, false},
        {"x", kIntegrandBetrag, 500, -1, 1, 1, false},
        {"x", kIntegrandQuadrat, 500, 0, 1, 1.0 / 3, false},
        {"10^20*x", kIntegrandQuadrat, 500, 1, 2, 1e10, false},
        {"x", kIntegrandX2Ableitung, 500, 0, 1, 1.0 / 3, false},
        {"x^2", kIntegrandF, 500, 3, 0, -9, false},
        {"x^2", kIntegrandF, 500, 2, 2, 0, false},
        {"sin(x)", kIntegrandF, 500, 0, 2 * M_PI, 0, false},
        {"1/x", kIntegrandF, 500, -1, 1, 0, true},
        // f' is undefined left of 0: that part counts 0 and the integral stays reliable.
        {"sqrt(x)", kIntegrandX2Ableitung, 500, -1, 1, 0.2, false, 1e-4},
        {"x^2", kIntegrandF, 1, 0, 3, 9, false},  // 8 pairs are always taken
    };
    for (const auto& c : cases) {
        Compile(c.term);
        gOverlay.IntegrandUndefiniert = !c.undefined;
        const double v = IntegralSimpson(c.maxPairs, c.mode, 0, c.a, c.b);
        EXPECT_EQ(gOverlay.IntegrandUndefiniert, c.undefined) << c.term;
        if (!c.undefined) {
            EXPECT_NEAR(v, c.expected, c.tolerance * std::max(1.0, std::fabs(c.expected))) << c.term;
        }
    }
    Compile("x^2");
    EXPECT_DOUBLE_EQ(SimpsonStep(2, kIntegrandF, 0, 0, 3), 9);
    IntegralSimpson(500, kIntegrandF, 0, NAN, 1);
    EXPECT_TRUE(gOverlay.IntegrandUndefiniert);
    // A term in t and n: the sum over the family's n range at the given t.
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 2;
    Compile("n*t*x");
    EXPECT_NEAR(IntegralSimpson(500, kIntegrandF, 2, 0, 1), 3, 1e-9);
    EXPECT_EQ(gParams.FgSummeVon, 1);
}

}  // namespace
}  // namespace kalvo
