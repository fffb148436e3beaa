#include <cmath>

#include "axes.h"
#include "graph_test_support.h"

namespace kalvo {
namespace {

class Axes : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        gDisplay.Schaubilder = SchaubildTabelle{};
    }
    void Draw(double x1, double x2, double y1, double y2) {
        SetWindow(x1, x2, y1, y2);
        Repaint();
    }
    using GraphTest::Count;
    int Count(const std::string& s) {
        const auto t = Texts();
        return static_cast<int>(std::count(t.begin(), t.end(), s));
    }
};

TEST(TickTable, SmallestSpacingWithFewerTicksThanTheLimit) {
    const struct { double width, maxTicks, spacing; } cases[] = {
        {16, 23, 1}, {16, 19, 1}, {20, 23, 1}, {20, 19, 2}, {10000, 23, 500}, {100000, 23, 5000},
        {16, 23 * 3.141592654, 0.5}, {1e10, 19, 1e9}, {0.0005, 19, 0.0001}, {-16, 20, 1},
    };
    for (const auto& c : cases) {
        const TickRow* r = ChooseTickRow(c.width, c.maxTicks);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->spacing, c.spacing) << c.width << " / " << c.maxTicks;
    }
    EXPECT_EQ(ChooseTickRow(1e12, 19), nullptr);
}

TEST_F(Axes, AxisLayoutLabelsEveryTickOnBothSides) {
    Draw(-8, 8, -8, 8);
    for (int i = -7; i <= 7; ++i)
        for (const std::string& label : {std::to_string(i), std::to_string(i) + " "})  // x values, y values
            EXPECT_EQ(Count(label), i ? 1 : 0) << label;
    EXPECT_FALSE(HasText("8"));
    EXPECT_TRUE(HasText("x") && HasText("y"));
    EXPECT_EQ(gOutput.UnitsPerCmX, 1);
    EXPECT_EQ(gOutput.TickLabelStepX, 1);
    EXPECT_NEAR(gGraph.TickPixelsX, 599 / 16.0, 1e-9);
    EXPECT_EQ(Count(CanvasRecord::Kind::Polygon), 2u);  // arrowheads at the ends of both axes
    Draw(-8, 8, 1, 10);  // the x axis lies below the plot: no arrowhead for it
    EXPECT_EQ(Count(CanvasRecord::Kind::Polygon), 1u);
    gDisplay.Koordinatensystem.Art = 1;
    Draw(-8, 8, -8, 8);
    EXPECT_EQ(Count(CanvasRecord::Kind::Polygon), 0u);
}

TEST_F(Axes, WhichValuesTheLabelSettingWrites) {
    gDisplay.Koordinatensystem.Beschriftung = 0;
    Draw(-8, 8, -8, 8);
    EXPECT_TRUE(HasText("1") && HasText("1 "));
    EXPECT_FALSE(HasText("2") || HasText("-1") || HasText("-1 "));
    gDisplay.Koordinatensystem.Beschriftung = 2;
    Draw(-8, 8, -8, 8);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"x", "y"}));
}

TEST_F(Axes, LargeAndSmallUnitsCarryAPowerOfTen) {
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 799;  // 23 ticks at most from 700 pixels on
    Draw(0, 10000, -8, 8);
    EXPECT_TRUE(HasText("1000") && HasText("2000") && HasText("9000"));
    EXPECT_FALSE(HasText("500") || HasText("1500"));
    Draw(0, 100000, -8, 8);
    EXPECT_TRUE(HasText("5") && HasText("10") && HasText("95"));
    EXPECT_TRUE(HasText("x/10") && HasText("3"));
    Draw(0, 0.01, -8, 8);
    EXPECT_TRUE(HasText("0,001") && HasText("0,009"));
    EXPECT_FALSE(HasText("0,0005") || HasText("0,0015"));
    EXPECT_EQ(gGraph.TickExponentX, 0);
    Draw(0, 0.001, -8, 8);
    EXPECT_TRUE(HasText("x/10") && HasText("-4") && HasText("1") && HasText("9"));
    EXPECT_FALSE(HasText("2"));
}

TEST_F(Axes, PiScaledAxisTicksEveryHalfPi) {
    gDisplay.Koordinatensystem.xSkalierung = 2;
    Draw(-8, 8, -8, 8);
    EXPECT_EQ(gGraph.TickStepX, 0.5);
    EXPECT_NEAR(gGraph.TickPixelsX, 0.5 * 3.141592654 * 599 / 16.0, 1e-9);
    for (const char* s : {"1\u03A0", "2\u03A0", "-1\u03A0", "-2\u03A0"}) EXPECT_TRUE(HasText(s)) << s;
    EXPECT_FALSE(HasText("0,5\u03A0"));
    EXPECT_EQ(gOutput.UnitsPerCmX, 1);  // the first pass ignores pi
}

TEST_F(Axes, FrameLayoutLabelsTheMarginsOnly) {
    gDisplay.Koordinatensystem.Art = 1;
    Draw(-10, 10, -10, 10);
    EXPECT_EQ(gOutput.UnitsPerCmX, 2);
    for (const char* s : {"0", "2", "4", "8", "-8", "0 ", "8 ", "-8 "}) EXPECT_TRUE(HasText(s)) << s;
    EXPECT_FALSE(HasText("1") || HasText("10"));
    // Values of the y axis end left of the plot.
    for (const CanvasRecord& r : Records(CanvasRecord::Kind::Text))
        if (r.text == "8 ") {
            EXPECT_LE(r.at.x + MeasureText(r.font, r.text).width, gOutput.PlotLeft - 2);
        }
    gDisplay.Koordinatensystem.Beschriftung = 0;
    Draw(-10, 10, -10, 10);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"x", "y"}));
}

TEST_F(Axes, LogarithmicAxisLabelsDecades) {
    gDisplay.Koordinatensystem.xSkalierung = 1;
    Draw(1, 1e7, -8, 8);
    EXPECT_EQ(Count("10"), 8);
    for (int e = 0; e <= 7; ++e) EXPECT_EQ(Count(std::to_string(e)), 1) << e;  // exponents; no minor digits
    Draw(0.01, 1000, -8, 8);
    EXPECT_EQ(Count("10"), 6);
    EXPECT_EQ(Count("5"), 5);  // stride 5 above four decades: 5 in each decade
    EXPECT_EQ(Count("-2"), 1);
    Draw(1, 100, -8, 8);
    for (const char* d : {"3", "4", "9"}) EXPECT_EQ(Count(d), 2) << d;  // every digit in both decades
}

TEST_F(Axes, GridIsTwiceAsFineAsTheTicksOrCrossesThem) {
    KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    k.Gitterfarbe = 0x00FF00;
    k.Achsenfarbe = 0x0000FF;
    k.Achsendicke = 1;
    for (const auto& [gitter, style] : {std::pair{1, PenStyle::Dot}, std::pair{3, PenStyle::Solid}}) {
        k.Gitter = static_cast<uint8_t>(gitter);
        Draw(-8, 8, -8, 8);
        std::vector<int> columns;
        for (const CanvasRecord& r : Polylines(0x00FF00)) {
            EXPECT_EQ(r.pen.style, style);
            if (r.points.front().x == r.points.back().x) columns.push_back(r.points.front().x);
        }
        std::sort(columns.begin(), columns.end());
        ASSERT_EQ(columns.size(), 31u);  // -7.5 .. 7.5
        for (size_t i = 1; i < columns.size(); ++i) EXPECT_NEAR(columns[i] - columns[i - 1], 599 / 32.0, 1.0);
        // Tick marks and axes keep the axis pen whatever the grid did before them.
        for (const CanvasRecord& r : Records(CanvasRecord::Kind::Polyline))
            EXPECT_TRUE(r.pen.color == 0x00FF00 || r.pen == (CanvasPen{0x0000FF, 2, PenStyle::Solid})) << r.pen.color;
    }
    // Crosses at every tick intersection.
    k.Gitter = 0;
    Draw(-8, 8, -8, 8);
    EXPECT_EQ(Polylines(0x00FF00).size(), 15u * 17u * 2u);  // rows on the borders count
    // A logarithmic y axis has no linear rows to cross.
    k.ySkalierung = 1;
    Draw(-8, 8, 1, 100);
    EXPECT_TRUE(Polylines(0x00FF00).empty());
}

TEST_F(Axes, FarAwayWindowsDrawOnlyVisibleTicks) {
    // The x axis in sight, the y axis far to the left: its labels, which
    // nobody could see, are not drawn at all.
    Draw(1e9, 1e9 + 16, -8, 8);
    EXPECT_TRUE(HasText("1000000001") || HasText("1000000002"));
    for (const CanvasRecord& r : Records(CanvasRecord::Kind::Text)) EXPECT_LT(std::abs(r.at.y), 2600) << r.text;
    Draw(1e9, 1e9 + 16, -1e9 - 16, -1e9);
    for (const CanvasRecord& r : canvas.Records())
        for (const CanvasPoint& p : r.points) {
            EXPECT_GT(p.x, -2000);
            EXPECT_LT(p.x, 2600);
        }
}

}  // namespace
}  // namespace kalvo

namespace kalvo {
namespace {

TEST(TickTable, RowsFromLargestToSmallest) {
    const TickRow* rows = TickTable();
    EXPECT_EQ(rows[0].spacing, 5e9);
    EXPECT_EQ(rows[0].exponent, 9);
    EXPECT_EQ(rows[0].labelStep, 5);
    EXPECT_EQ(rows[kTickRows - 1].spacing, 0.0001);
    const struct {
        double spacing, labelStep;
        int exponent, interval, decimals, width, phase;
    } cases[] = {
        {1000, 1, 3, 1, 0, 0, 0},    {500, 500, 0, 2, 0, 0, 1}, {200, 200, 0, 2, 0, 2, 0},
        {5, 5, 0, 1, 0, 0, 0},       {0.2, 0.2, 0, 2, 1, 0, 0}, {0.0005, 0.0005, 0, 2, 3, 0, 1},
        {0.0002, 2, -4, 2, 0, 0, 0}, {2e6, 2, 6, 1, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const TickRow* r = nullptr;
        for (int i = 0; i < kTickRows; ++i)
            if (rows[i].spacing == c.spacing) r = &rows[i];
        ASSERT_NE(r, nullptr) << c.spacing;
        EXPECT_DOUBLE_EQ(r->labelStep, c.labelStep) << c.spacing;
        EXPECT_EQ(r->exponent, c.exponent) << c.spacing;
        EXPECT_EQ(r->interval, c.interval) << c.spacing;
        EXPECT_EQ(r->decimals, c.decimals) << c.spacing;
        EXPECT_EQ(r->width, c.width) << c.spacing;
        EXPECT_EQ(r->phase, c.phase) << c.spacing;
    }
}

}  // namespace
}  // namespace kalvo
