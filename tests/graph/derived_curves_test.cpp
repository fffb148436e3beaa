#include <cmath>

#include "derived_curves.h"
#include "graph_test_support.h"

namespace kalvo {
namespace {

constexpr Color kCurveColor = 0x0000FF;

class DerivedCurves : public GraphTest {
protected:
    std::vector<CanvasRecord> Draw(int slot) {
        OnlySlot(slot, kCurveColor);
        Repaint();
        return Polylines(kCurveColor);
    }
    static std::vector<CanvasPoint> Points(const std::vector<CanvasRecord>& lines) {
        std::vector<CanvasPoint> out;
        for (const CanvasRecord& r : lines) out.insert(out.end(), r.points.begin(), r.points.end());
        return out;
    }
    static double Px(double x) {
        double px, py;
        WorldToPixel(x, 0, px, py);
        return px;
    }
    static double Py(double y) {
        double px, py;
        WorldToPixel(0, y, px, py);
        return py;
    }
};

TEST_F(DerivedCurves, TermTexts) {
    const struct { std::string got, expected; } cases[] = {
        {CombinedTermText("x^2", "sin(x)", '+'), "(x^2)+(sin(x))"},
        {CombinedTermText("x{Parabel}", "", '/'), "(x)/(0)"},
        {CombinedTermText("{nur Text}", "x", '-'), "({nur Text})-(x)"},
        {ComposedTermText("exp(x)+x", "x^2"), "exp((x^2))+(x^2)"}, {ComposedTermText("EXP(X)", "t*x"), "EXP((t*x))"},
        // The x of maxint is part of its name; the x before pi is the variable.
        {ComposedTermText("maxint(x)", "x+1"), "maxint((x+1))"}, {ComposedTermText("2xpi", "t"), "2(t)pi"},
        {ComposedTermText("sin(x){Welle}", "3x{drei}"), "sin((3x))"}, {std::string(WithoutRemark("{x}")), "{x}"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.got, c.expected);
    // A composition is not cut short: its term stays the composition.
    const std::string inner(100, '1');
    const std::string composed = ComposedTermText("x+x+x", inner);
    EXPECT_EQ(composed.size(), 3 * (inner.size() + 2) + 2);
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, ComposedTermText("x^2-x", "x+1"), true));
    EXPECT_DOUBLE_EQ(EvalTerm(FunktionTermbaum, 2, 0, 0, 0, 0), 6);
}

TEST_F(DerivedCurves, IntegralFunctionEndsWhereTheIntegrandIsUndefined) {
    // No integral from xo reaches across a place where f is undefined or has
    // a pole: the curve covers exactly the stretch around xo where f is
    // defined. The antiderivatives F with F(xo) = 0 are worked out by hand.
    const struct {
        const char* term;
        double xo;
        double lo, hi;            // the stretch the curve may cover; lo > hi: no curve
        double reachLo, reachHi;  // where it is still inside the plot
        double (*integral)(double);
    } cases[] = {
        {"1/x", 1, 0, 8, 0.01, 2, [](double x) { return std::log(x); }},
        {"sqrt(x^2-1)", 2, 1, 8, 1.02, 4,
         [](double x) {
             const auto g = [](double u) { return (u * std::sqrt(u * u - 1) - std::log(u + std::sqrt(u * u - 1))) / 2; };
             return g(x) - g(2);
         }},
        {"tan(x)", 0, -M_PI / 2, M_PI / 2, -1.4, 1.4, [](double x) { return -std::log(std::cos(x)); }},
        {"ln(x)", 1, 0, 8, 0.05, 5, [](double x) { return x * std::log(x) - x + 1; }},
        {"1/(x-3)^2", 0, -8, 3, -8, 2.8, [](double x) { return 1 / (3 - x) - 1.0 / 3; }},
        {"sqrt(x)", -1, 1, 0, 0, 0, nullptr},  // undefined at xo itself
        {"1", 0, -8, 8, -8, 8, [](double x) { return x; }},
    };
    for (const auto& c : cases) {
        gTerms.TermF = c.term;
        gView.IntegralfunktionXo = c.xo;
        const auto points = Points(Draw(5));
        if (c.lo > c.hi) {
            EXPECT_LE(points.size(), 1u) << c.term;
            continue;
        }
        ASSERT_FALSE(points.empty()) << c.term;
        double left = 1e9, right = -1e9;
        for (const CanvasPoint& p : points) {
            left = std::min(left, double(p.x));
            right = std::max(right, double(p.x));
            // Away from the ends, where the curve runs off steeply, it follows
            // F within the rounding of its column and row.
            const double x = PixelToWorldX(p.x), x1 = PixelToWorldX(p.x - 0.6), x2 = PixelToWorldX(p.x + 0.6);
            if (x1 > c.lo + 0.2 && x2 < c.hi - 0.2 && p.y > 0 && p.y < 599 && std::fabs(c.integral(x)) < 7.5) {
                const double r1 = Py(c.integral(x1)), r2 = Py(c.integral(x2));
                EXPECT_GE(p.y, std::min(r1, r2) - 1.5) << c.term << " at x = " << x;
                EXPECT_LE(p.y, std::max(r1, r2) + 1.5) << c.term << " at x = " << x;
            }
        }
        EXPECT_GE(left, Px(c.lo) - 1) << c.term;
        EXPECT_LE(right, Px(c.hi) + 1) << c.term;
        EXPECT_LE(left, Px(c.reachLo) + 1) << c.term;
        EXPECT_GE(right, Px(c.reachHi) - 1) << c.term;
    }
}

TEST_F(DerivedCurves, InverseRelationMirrorsAtTheDiagonalAndCombinationsBreakAtPoles) {
    gTerms.TermF = "x^2";
    const auto points = Points(Draw(7));
    ASSERT_GT(points.size(), 100u);
    bool upper = false, lower = false;
    for (const CanvasPoint& p : points) {
        ASSERT_GE(p.y, 0);
        ASSERT_LE(p.y, 599);
        const double v = PixelToWorldY(p.y);
        if (p.x < 596) {
            EXPECT_NEAR(p.x, Px(v * v), 2.5) << p.y;
        }
        upper |= v > 1;
        lower |= v < -1;
    }
    EXPECT_TRUE(upper && lower);
    // Combinations need both terms and break at poles.
    gTerms.TermF = "x";
    gTerms.TermG = "";
    EXPECT_TRUE(Draw(15).empty());
    gTerms.TermG = "x-2";
    const auto lines = Draw(18);  // x / (x - 2)
    ASSERT_GE(lines.size(), 2u);
    for (const CanvasRecord& r : lines)
        for (size_t i = 1; i < r.points.size(); ++i) EXPECT_LT(std::abs(r.points[i].y - r.points[i - 1].y), 599);
    gTerms.TermF = "x^2";
    gTerms.TermG = "x+1";
    const auto composed = Draw(21);  // g(f(x)) = x^2 + 1
    ASSERT_EQ(composed.size(), 1u);
    for (const CanvasPoint& p : composed[0].points)
        if (p.y > 0) {
            EXPECT_NEAR(p.y, Py(std::pow(PixelToWorldX(p.x), 2) + 1), 1.5);
        }
}

TEST_F(DerivedCurves, VerticalLinesAndParametricCirclesAreClippedToTheWindow) {
    const struct {
        double u1, u2, u3;
        size_t lines;
    } cases[] = {{0, 2, -3, 2}, {-8, 8, 0, 0}, {9, -7.9, 1e300, 1}, {NAN, 4, 4, 2}};
    for (const auto& c : cases) {
        gView.GeradeU1 = c.u1;
        gView.GeradeU2 = c.u2;
        gView.GeradeU3 = c.u3;
        const auto lines = Draw(22);
        EXPECT_EQ(lines.size(), c.lines) << c.u1;
        for (const CanvasRecord& r : lines) {
            EXPECT_EQ(r.points.front().x, r.points.back().x);
            EXPECT_EQ(r.points.front().y, 0);
            EXPECT_EQ(r.points.back().y, 599);
        }
    }
    // A parametric circle is closed and clipped on the circle.
    gParams.ParamkurveTSchrittweite = 0.01;
    for (double radius : {5.0, 10.0}) {
        gTerms.TermXt = radius == 5 ? "5cos(t)" : "10cos(t)";
        gTerms.TermYt = radius == 5 ? "5sin(t)" : "10sin(t)";
        const auto lines = Draw(23);
        ASSERT_FALSE(lines.empty()) << radius;
        // Parts beyond the plot are cut off, not squeezed onto its border.
        for (const CanvasPoint& p : Points(lines))
            EXPECT_NEAR(std::hypot(p.x - 299.5, p.y - 299.5), radius * 599 / 16, 1.5) << radius;
        if (radius == 5) {
            ASSERT_EQ(lines.size(), 1u);
            const CanvasPoint a = lines[0].points.front(), b = lines[0].points.back();
            EXPECT_LE(std::abs(a.x - b.x) + std::abs(a.y - b.y), 2);
        } else {
            EXPECT_EQ(lines.size(), 4u);  // four arcs across the corners
        }
    }
    EXPECT_FALSE(ParserWMode);
}

TEST_F(DerivedCurves, ParametricCurveBreaksWhereItIsUndefined) {
    const struct { const char* x; const char* y; size_t pieces; } cases[] = {
        {"t", "sqrt(t^2-1)", 2},  // undefined for -1 < t < 1
        {"3cos(t)", "3sqrt(sin(t))", 3},  // upper half circles, undefined between them
        {"t", "ln(t)", 1},
        {"2cos(t)", "2sin(t)", 1},  // defined everywhere: one closed line
    };
    for (const auto& c : cases) {
        gTerms.TermXt = c.x;
        gTerms.TermYt = c.y;
        gParams.ParamkurveTVon = -7;
        gParams.ParamkurveTBis = 7;
        gParams.ParamkurveTSchrittweite = 0.01;
        const auto lines = Draw(23);
        EXPECT_EQ(lines.size(), c.pieces) << c.x << ", " << c.y;
        // Neighbouring samples lie close together; no line bridges a gap
        // (which here would run along the x axis from x = -1 to 1 or -3 to 3).
        for (const CanvasRecord& r : lines)
            for (size_t i = 1; i < r.points.size(); ++i)
                EXPECT_LT(std::abs(r.points[i].x - r.points[i - 1].x) + std::abs(r.points[i].y - r.points[i - 1].y), 50)
                    << c.x << ", " << c.y << " at " << r.points[i].x;
    }
}

TEST_F(DerivedCurves, SlopeCurveBreaksWhereXStandsStillComponentGraphsStayInside) {
    gTerms.TermXt = "cos(t)";
    gTerms.TermYt = "sin(t)";
    gParams.ParamkurveTSchrittweite = 0.01;
    const auto lines = Draw(24);  // -cos(t)/sin(t) over cos(t)
    ASSERT_GE(lines.size(), 2u);
    for (const CanvasPoint& p : Points(lines)) {
        const double x = PixelToWorldX(p.x);
        if (p.y > 1 && p.y < 598 && std::fabs(x) < 0.7) {
            const double slope = -x / std::sqrt(1 - x * x);
            const bool upper = std::fabs(Py(slope) - p.y) < 3, lower = std::fabs(Py(-slope) - p.y) < 3;
            EXPECT_TRUE(upper || lower) << p.x << " " << p.y;
        }
    }
    // Component graphs stay inside the window.
    gParams.ParamkurveTVon = -10;
    gParams.ParamkurveTBis = 10;
    gParams.ParamkurveTSchrittweite = 0.05;
    gTerms.TermYt = "t/2";
    gTerms.TermXt = "t";
    const auto y = Draw(28);
    ASSERT_EQ(y.size(), 1u);
    EXPECT_EQ(y[0].points.front().x, 0);
    EXPECT_EQ(y[0].points.back().x, 599);
    EXPECT_EQ(gView.BereichX1, -8);
    const auto x = Draw(25);  // t upward: the same line
    ASSERT_EQ(x.size(), 1u);
    for (const CanvasPoint& p : x[0].points) EXPECT_NEAR(p.x + p.y, 599, 1.5);
    EXPECT_EQ(x[0].points.front().y, 599);
    EXPECT_EQ(x[0].points.back().y, 0);
    const auto dx = Draw(26);  // x'(t) = 1 upright
    ASSERT_EQ(dx.size(), 1u);
    EXPECT_NEAR(dx[0].points.front().x, Px(1), 1);
    EXPECT_EQ(dx[0].points.front().x, dx[0].points.back().x);
    gTerms.TermYt = "x";  // x is no variable of a parametric term
    EXPECT_TRUE(Draw(29).empty());
    EXPECT_FALSE(ParserWMode);
}

TEST_F(DerivedCurves, PiecewiseWalksTheHParametersAndGivesTheFamilyBack) {
    gTerms.TermH2 = "t*x";
    gView.H2Von = 0;
    gView.H2Bis = 20;
    gParams.HTVon = 1;
    gParams.HTBis = 3;
    gParams.HTSchrittweite = 1;
    gParams.FgTVon = -5;
    gParams.FgTBis = 5;
    gTerms.ParameterWerte2 = {7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
    gTerms.ParameterAusListe = true;
    const ParameterState params = gParams;
    const TermState terms = gTerms;
    OnlySlot(31, kCurveColor);
    Repaint();
    auto lines = Records(CanvasRecord::Kind::Polyline);
    std::erase_if(lines, [](const CanvasRecord& r) { return r.pen.color == 0; });
    ASSERT_EQ(lines.size(), 4u);  // t = 1, 2, 3 and the list value 7
    for (const CanvasRecord& r : lines) {
        EXPECT_NEAR(r.points.front().x, 300, 1);
        EXPECT_TRUE(r.points.back().x == 599 || r.points.back().y == 0);
    }
    EXPECT_EQ(lines.back().pen.color, kCurveColor);
    EXPECT_EQ(gParams, params);
    EXPECT_EQ(gTerms.ParameterWerte, terms.ParameterWerte);
    EXPECT_EQ(gTerms.ParameterListe, terms.ParameterListe);
}

}  // namespace
}  // namespace kalvo
