#include "graph_test_support.h"

namespace kalvo {
namespace {

class Primitives : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        gDisplay.Koordinatensystem.Art = 1;  // plot 70..559 x 20..559
        SetupAxes(gDisplay.Koordinatensystem);
    }
    CanvasRecord Last() { return canvas.Records().back(); }
};

TEST_F(Primitives, CurveMovesAndLinesStayInThePlot) {
    const OutputContext& o = gOutput;
    const struct { bool line; double x, y; CanvasPoint end; } cases[] = {
        {false, o.PlotLeft - 50.0, 100, {o.PlotLeft - 3, 100}},
        {false, o.PlotRight + 50.0, 100, {o.PlotRight + 3, 100}},
        {false, 200, o.PlotBottom + 70.0, {200, o.PlotBottom}}, {false, 200, 1e300, {200, o.PlotBottom}},
        {true, 300, o.PlotTop - 9.0, {300, o.PlotTop}},
        {true, 1e12, 300, {static_cast<int>(o.PlotRight + 1000 + 599), 300}},
    };
    for (const auto& c : cases) {
        canvas.MoveTo(150, 150);
        if (c.line)
            ClippedLineTo(c.x, c.y);
        else
            ClippedMoveTo(c.x, c.y);
        EXPECT_EQ(canvas.PenPos(), c.end) << c.x << "," << c.y;
    }
}

TEST_F(Primitives, ScalingRoundsHalvesToEvenAfterCuttingLines) {
    gOutput.AusgabefaktorX = gOutput.AusgabefaktorY = 3;
    ScaledCross(10, 10);
    const auto& r = canvas.Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].points, (std::vector<CanvasPoint>{{24, 30}, {39, 30}}));
    EXPECT_EQ(r[1].points, (std::vector<CanvasPoint>{{30, 36}, {30, 21}}));
    gOutput.AusgabefaktorX = gOutput.AusgabefaktorY = 1;
    ScaledLine(0.5, 1.5, 2.5, 3.5);
    EXPECT_EQ(Last().points, (std::vector<CanvasPoint>{{0, 2}, {2, 4}}));
    // Lines far outside are cut before rounding.
    canvas.ClearRecords();
    ScaledLine(-1e12, 300, 1e12, 300);
    ASSERT_EQ(canvas.Records().size(), 1u);
    for (const CanvasPoint& p : Last().points) EXPECT_LT(std::abs(p.x), 3000);
    canvas.ClearRecords();
    ScaledLine(-1e12, -1e12, -1e11, -1e12);  // wholly outside: nothing
    ScaledLine(NAN, 0, 10, 10);
    EXPECT_TRUE(canvas.Records().empty());
}

TEST_F(Primitives, MarkersOnlyInsideThePlotAndTextWidthsGrowForPrinters) {
    const OutputContext& o = gOutput;
    CircleMarker(o.PlotLeft, o.PlotTop);
    DotMarker(o.PlotRight, o.PlotBottom);
    CircleMarker(o.PlotLeft - 1, 100);
    DotMarker(100, o.PlotBottom + 1);
    const auto& r = canvas.Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].rect, (CanvasRect{o.PlotLeft - 4, o.PlotTop - 4, o.PlotLeft + 4, o.PlotTop + 4}));
    EXPECT_EQ(r[0].brush.style, BrushStyle::Clear);
    EXPECT_EQ(r[1].brush.style, BrushStyle::Solid);
    EXPECT_EQ(canvas.Brush().style, BrushStyle::Clear);
    // Text widths grow for printers; a preview boxes no text.
    const int w = TextWidthScaled("0123456789");
    EXPECT_EQ(w, MeasureText(GraphAreaFont(), "0123456789").width);
    gOutput.PrintingActive = true;
    EXPECT_EQ(TextWidthScaled("0123456789"), ToDevice(w, 1.3));
    gOutput.PrintingActive = false;
    gOutput.DruckVorschau = true;
    canvas.ClearRecords();
    BoxedText("Hallo", 10, 10);
    EXPECT_TRUE(canvas.Records().empty());
}

TEST_F(Primitives, SpectrumColoursOverTheFamilyRange) {
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "t*x", true));
    gParams.FgTVon = -2;
    gParams.FgTBis = 2;
    const struct { int scheme; double t; Color colour; } cases[] = {
        {1, -2, 0xFF0000}, {1, 2, 0x0100FE}, {1, 0, 0x7F0080}, {12, -2, 0}, {12, 2, 0xFEFEFE}, {13, 1, 0},
        {4, 2, 0x000001},
        {99, -2, 0},  // an unknown scheme counts as the last
    };
    for (const auto& c : cases) {
        gDisplay.FarbspektrumNummer = c.scheme;
        GradientPenColor(c.t);
        EXPECT_EQ(canvas.Pen().color, c.colour) << c.scheme << " at " << c.t;
    }
    gGraph.AktuelleLinienfarbe = 0x123456;
    gGraph.ListenPhase = true;
    GradientPenColor(2);
    EXPECT_EQ(canvas.Pen().color, 0x123456u);
}

}  // namespace
}  // namespace kalvo
