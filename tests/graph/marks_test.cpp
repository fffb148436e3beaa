#include <cmath>

#include "analysis_state.h"
#include "graph_host.h"
#include "graph_test_support.h"
#include "marks.h"
#include "object_lists.h"

namespace kalvo {
namespace {

constexpr Color kObject = 0x123456;
constexpr Color kRed = 0x0000FF;
constexpr Color kGreen = 0x008000;
constexpr Color kBlue = 0xFF0000;

class Marks : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        SetupAxes(gDisplay.Koordinatensystem);
    }
    void F(const char* term) {
        gTerms.TermF = term;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, term, true));
        canvas.ClearRecords();
    }
    std::vector<CanvasRecord> Lines(Color c, PenStyle style = PenStyle::Solid) {
        std::vector<CanvasRecord> out;
        for (const CanvasRecord& r : Polylines(c))
            if (r.pen.style == style) out.push_back(r);
        return out;
    }
};

TEST_F(Marks, TangentTermReadsBackExactlyAndTheTangentHasItsSlopeTriangle) {
    for (const auto& [m, b] : {std::pair{2.0, -1.0}, std::pair{-0.1, 1e-7}, std::pair{4999.0, -1e20},
                              std::pair{1.0 / 3, -0.0}, std::pair{-2.5e-300, 7.25}}) {
        const std::string text = TangentEquationText(m, b);
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, text, true)) << text;
        for (double x : {-3.0, 0.5, 2.0})
            EXPECT_DOUBLE_EQ(EvalTerm(FunktionTermbaum, x, 0, 0, 0, 0), m * x + b) << text;
    }
    EXPECT_EQ(TangentEquationText(2, -1), "2*x+(-1)");
    F("x^2");
    gOverlay.ObjektM = true;
    DrawTangente(kObject, 0, 1);
    const auto tangent = Lines(kObject);
    ASSERT_EQ(tangent.size(), 1u);
    for (const CanvasPoint& p : tangent[0].points) {
        const CanvasPoint q = Pixel(PixelToWorldX(p.x), 2 * PixelToWorldX(p.x) - 1);
        if (p.y > 0 && p.y < 599) {
            EXPECT_NEAR(p.y, q.y, 1);
        }
    }
    // The dotted drop from the point of contact to the x axis.
    const auto drop = Lines(0, PenStyle::Dot);
    ASSERT_EQ(drop.size(), 1u);
    EXPECT_EQ(Ends(drop[0]), std::pair(Pixel(1, 0), Pixel(1, 1)));
    // One unit to the right, two up: red leg upright, green leg level.
    const auto red = Lines(kRed), green = Lines(kGreen);
    ASSERT_EQ(red.size(), 1u);
    ASSERT_EQ(green.size(), 1u);
    EXPECT_EQ(red[0].pen.width, 3);
    EXPECT_EQ(Ends(red[0]), std::pair(Pixel(2, 1), Pixel(2, 3)));
    EXPECT_EQ(Ends(green[0]), std::pair(Pixel(1, 1), Pixel(2, 1)));
    // After the object f is back in the main tree.
    EXPECT_DOUBLE_EQ(EvalTerm(FunktionTermbaum, 3, 0, 0, 0, 0), 9);
}

TEST_F(Marks, SteepAndUndefinedObjectsAreLeftOutButANormalStandsUpright) {
    const struct { const char* term; double x0; bool tangent, normal, level, point; } cases[] = {
        {"2000x^3", 0.04, true, true, true, true},  // slope 9.6
        {"2000x^3", 1, false, false, false, true},  // slope 6000; (1, 2000) far above the window
        {"4999x", 1, true, false, false, true},  // slope 4999, steeper than a pixel column
        {"x^2", 0.0004, true, false, true, true},  // normal slope -1250
        {"sqrt(x)", -1, false, false, false, false},  // no point at all
        {"ln(x)", 0, false, false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.term);
        const std::pair<void (*)(Color, double, double), bool> objects[] = {
            {DrawTangente, c.tangent}, {DrawNormale, c.normal}, {DrawWaagrechte, c.level}};
        for (const auto& [draw, drawn] : objects) {
            F(c.term);
            draw(kObject, 0, c.x0);
            EXPECT_EQ(!Lines(kObject).empty(), drawn);
        }
        F(c.term);
        DrawPointMarker(1, kObject, 0, c.x0);
        EXPECT_EQ(!Lines(kObject, PenStyle::Dot).empty() || Count(CanvasRecord::Kind::Ellipse) > 0, c.point);
    }
    // The normal stands upright where the tangent is level.
    F("x^2");
    DrawNormale(kObject, 0, 0);
    auto lines = Lines(kObject);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Ends(lines[0]), std::pair(CanvasPoint{300, 599}, CanvasPoint{300, 0}));
    F("x^2");
    DrawNormale(kObject, 0, 1);  // y = -(x - 1)/2 + 1
    lines = Lines(kObject);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(Ends(lines[0]), std::pair(Pixel(-8, 5.5), Pixel(8, -2.5)));
}

TEST_F(Marks, LinesPointMarksAndNewtonTangents) {
    F("x^2");
    DrawSenkrechte(kObject, 2);
    DrawWaagrechte(kObject, 0, -2);
    DrawSenkrechte(kObject, 20);  // beyond the window: nothing, not a line on the border
    const auto lines = Lines(kObject);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].points.front(), (CanvasPoint{Pixel(2, 0).x, 599}));
    EXPECT_EQ(Ends(lines[1]), std::pair(CanvasPoint{0, Pixel(0, 4).y}, CanvasPoint{599, Pixel(0, 4).y}));
    for (int kind : {1, 2}) {
        F("x^2");
        DrawPointMarker(kind, kObject, 0, 2);
        const auto ellipses = Records(CanvasRecord::Kind::Ellipse);
        ASSERT_EQ(ellipses.size(), 1u);
        const CanvasPoint p = Pixel(2, 4);
        const int d = kind == 1 ? 3 : 4;
        EXPECT_EQ(ellipses[0].rect, (CanvasRect{p.x - d, p.y - d, p.x + d, p.y + d}));
        EXPECT_EQ(ellipses[0].brush.style, kind == 1 ? BrushStyle::Solid : BrushStyle::Clear);
        EXPECT_EQ(ellipses[0].pen.color, kObject);
        EXPECT_EQ(Lines(kObject, PenStyle::Dot).size(), 1u);
    }
    F("x^2");
    DrawPointMarker(1, kObject, 0, 3);  // (3, 9) lies above the plot: only its drop
    EXPECT_EQ(Count(CanvasRecord::Kind::Ellipse), 0u);
    ASSERT_EQ(Lines(kObject, PenStyle::Dot).size(), 1u);
    EXPECT_EQ(Lines(kObject, PenStyle::Dot)[0].points.back().y, 0);
    // Newton's tangents.
    F("x^2-2");
    DrawNewtonTangents(0, 1);
    const auto tangents = Lines(kRed);
    ASSERT_GE(tangents.size(), 3u);
    ASSERT_LE(tangents.size(), 5u);
    EXPECT_EQ(Ends(tangents[0]), std::pair(Pixel(1.5, 0), Pixel(1, -1)));
    const auto drops = Lines(kBlue, PenStyle::Dot);
    ASSERT_FALSE(drops.empty());
    EXPECT_EQ(drops[0].points.back(), Pixel(1, -1));
    // From a point with f' = 0 there is no step; without a zero it ends after 200.
    F("x^2-1");
    DrawNewtonTangents(0, 0);
    EXPECT_TRUE(Lines(kRed).empty());
    F("x^2+1");
    DrawNewtonTangents(0, 3);
    EXPECT_LE(Lines(kRed).size(), 201u);
}

TEST_F(Marks, SpecialPointsWithLabels) {
    F("x^3-3x");
    DiscussionResults& d = gDiscussion;
    d.SonderpunkteBeschriften = true;
    d.DiskussionFarbe = kObject;
    d.AnzahlNullstellen = 2;
    d.NullstelleX[1] = 2;
    d.NullstelleX[2] = 1e6;  // far outside: no mark and no label
    d.AnzahlExtrema = d.AnzahlWendepunkte = d.AnzahlAsymptoten = d.AnzahlPole = 1;
    d.ExtremumX[1] = -1;
    d.ExtremumY[1] = 2;
    d.ExtremumArt[1] = d.WendepunktArt[1] = 1;
    d.AsymptotenText[0] = "x/2";
    d.PolX[1] = -3;
    DrawSpecialPoints();
    std::vector<std::pair<std::string, CanvasPoint>> labels;
    for (const CanvasRecord& r : Records(CanvasRecord::Kind::Text)) labels.emplace_back(r.text, r.at);
    const CanvasPoint n = Pixel(2, 0), h = Pixel(-1, 2), tr = Pixel(0, 0);
    const std::vector<std::pair<std::string, CanvasPoint>> expected = {
        {"N", {n.x - 14, n.y - 20}}, {"H", {h.x + 4, h.y - 20}}, {"TR", {tr.x + 4, tr.y - 20}}};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(Count(CanvasRecord::Kind::Ellipse), 3u);
    const auto dotted = Lines(kObject, PenStyle::Dot);
    ASSERT_EQ(dotted.size(), 2u);  // the asymptote y = x/2 and the pole x = -3
    EXPECT_EQ(dotted[0].points.front(), Pixel(-8, -4));
    EXPECT_EQ(dotted[1].points.front().x, Pixel(-3, 0).x);
    // Counts beyond the arrays are held to them.
    d.AnzahlNullstellen = 1000;
    d.AnzahlPole = -4;
    d.AnzahlAsymptoten = 99;
    canvas.ClearRecords();
    DrawSpecialPoints();
    EXPECT_LE(Count(CanvasRecord::Kind::Ellipse), size_t(kMaxSpecialPoints + 2));
}

struct SearchHost : GraphHost {
    std::vector<double> args;
    double valueAt2 = 0;
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        args = {a, b, step, t};
        valueAt2 = EvalTerm(FunktionTermbaum, 2, 0, 0, 0, 0);
        gDiscussion.AnzahlNullstellen = 1;
        gDiscussion.NullstelleX[1] = 1;
    }
};

TEST_F(Marks, TheRedrawSearchesTheChosenTermThroughTheHost) {
    SearchHost host;
    SetGraphHost(&host);
    gTerms.TermF = "x";
    gTerms.TermG = "x^3";
    gTerms.ParameterWerte[0] = 3.5;
    SetWindow(-2, 3, -8, 8);
    gDiscussion.SonderpunkteZeichnen = true;
    gDiscussion.DiskussionMitG = true;
    GrafikZeichnen(false);
    SetGraphHost(nullptr);
    EXPECT_EQ(host.args, (std::vector<double>{-2, 3, 0.01, 3.5}));
    EXPECT_EQ(host.valueAt2, 8);
    EXPECT_EQ(Count(CanvasRecord::Kind::Ellipse), 1u);
    EXPECT_TRUE(Texts().size() > 0 && !HasText("N"));  // marks without labels
}

TEST_F(Marks, DirectionField) {
    const struct { const char* term; double y1, y2; size_t segments; } cases[] = {
        {"0", -8, 8, 17 * 17},
        {"0", -80, 80, 17 * 17},  // each axis steps by its own tick spacing
        {"sqrt(x)", -8, 8, 9 * 17 - 1},  // at the corner (8, -8) both ends fall back to the centre
        {"ln(-1-x^2)", -8, 8, 0},
    };
    for (const auto& c : cases) {
        SetWindow(-8, 8, c.y1, c.y2);
        GrafikZeichnen(false);  // the tick spacings of this window
        F(c.term);
        DrawDirectionField(c.term, -8, 8, c.y1, c.y2);
        const auto segments = Records(CanvasRecord::Kind::Polyline);
        EXPECT_EQ(segments.size(), c.segments) << c.term << c.y2;
        for (const CanvasRecord& r : segments) {
            if (std::string(c.term) != "0") break;
            // Level, 2/50 of the window wide, half that at the borders.
            EXPECT_EQ(r.points.front().y, r.points.back().y);
            const int length = r.points.back().x - r.points.front().x;
            EXPECT_TRUE(std::abs(length - 24) <= 1 || std::abs(length - 12) <= 1) << length;
        }
    }
}

}  // namespace
}  // namespace kalvo
