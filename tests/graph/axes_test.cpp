#include <QFontDatabase>
#include <QStringList>

#include <cmath>
#include <set>
#include <sstream>
#include <tuple>

#include "axes.h"
#include "graph_test_support.h"
#include "number_text.h"
#include "output_redirection.h"

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

// Every installed family with Latin letters (not a symbol font, whose
// letters are pictures), the program's default and the generic name the
// font dialog falls back to, at every size it offers (8 to 14).
std::vector<std::string> LabelFonts() {
    std::set<std::string> names{"Courier New", "Sans Serif", "Arial"};
    for (const QString& f : QFontDatabase::families()) {
        const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(f);
        if (systems.contains(QFontDatabase::Latin) && !systems.contains(QFontDatabase::Symbol))
            names.insert(f.toStdString());
    }
    return {names.begin(), names.end()};
}

struct Output {
    const char* name;
    double fx, fy, fontDpi;
    bool printing, metafile;
    int pageCut = 0;  // screen pixels of the graph's right and bottom margin beyond the page
};

// The screen, a metafile at resolution 3 with the export's font factor 1.1,
// and a printer of 600 dpi with the printer's font, the graph stretched
// wider than high: its text, sized by the width, is tall for the rows; once
// on a page that ends in the graph's margins.
constexpr Output kOutputs[] = {
    {"Bildschirm", 1, 1, kScreenDpi, false, false},
    {"Metafile", 3, 3, kScreenDpi, false, true},
    {"Drucker", 5.2, 4.4, 600, true, false},
    {"Drucker, Seitenrand", 5.2, 4.4, 600, true, false, 30},
};

int OutputFontSize(const Output& out, int size) {
    if (out.printing) return std::max(1, RoundToInt(size * out.fx / out.fontDpi * 330 * 0.39));
    return RoundToInt(size * out.fy * (out.metafile ? 1.1 : 1.0));
}

struct Scene {
    const char* name;
    int xSkalierung, ySkalierung, art;
    double x1, x2, y1, y2;
    const char* xTitle;
    int values;  // tick values on the linear axes
};

constexpr Scene kScenes[] = {
    {"log y, the open report", 0, 1, 1, -2, 10, 0.1, 10000, "Zeit t in s.", 0},
    {"log x", 1, 0, 1, 0.01, 1000, -3, 4, "Zeit t in s.", 0},
    {"log x and y, seven decades each", 1, 1, 1, 1e-7, 1, 1, 1e7, "x", 0},
    {"log x with a single decade", 1, 0, 1, 2, 7, -1, 1, "x", 0},
    {"frame", 0, 0, 1, -10, 10, -10, 10, "Zeit t in s.", 18},
    {"frame, powers of ten", 0, 0, 1, 0, 100000, 0, 0.001, "Zeit t in s.", 16},
    {"frame, decimals", 0, 0, 1, -0.01, 0.01, -0.05, 0.05, "x", 10},
    {"axes", 0, 0, 0, -8, 8, -8, 8, "Zeit t in s.", 28},
    {"axes, powers of ten", 0, 0, 0, -100000, 100000, -0.001, 0.001, "x", 14},
    {"axes, origin in the top right corner", 0, 0, 0, -10, 0.3, -10, 0.3, "Zeit t in s.", 15},
    {"axes, x axis below the plot", 0, 0, 0, -8, 8, 1, 9, "Zeit t in s.", 7},
    {"pi", 2, 2, 0, -8, 8, -8, 8, "x", 8},
    {"pi, frame", 2, 2, 1, -8, 8, -8, 8, "x", 10},
};

// The cell of a recorded text in the font it was drawn in.
CanvasRect Cell(const CanvasRecord& r, double dpi) {
    const CanvasSize s = MeasureText(r.font, r.text, dpi);
    return {r.at.x, r.at.y, r.at.x + s.width, r.at.y + s.height};
}

bool Overlap(const CanvasRect& a, const CanvasRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

constexpr Color kAxisColour = 0x0000C0;

// Whether a line of an axis (the axis itself, not a tick across it) runs
// through the inside of a cell.
bool Crosses(const CanvasRecord& line, const CanvasRect& c) {
    const CanvasPoint a = line.points.front(), b = line.points.back();
    if (a.y == b.y && std::abs(b.x - a.x) > 20)
        return a.y > c.top && a.y < c.bottom - 1 && std::max(a.x, b.x) > c.left && std::min(a.x, b.x) < c.right;
    if (a.x == b.x && std::abs(b.y - a.y) > 20)
        return a.x > c.left && a.x < c.right - 1 && std::max(a.y, b.y) > c.top && std::min(a.y, b.y) < c.bottom;
    return false;
}

// A tick value as the axes write it: a number with a decimal comma, the pi
// sign and, on the y axis, a blank after it.
bool IsTickValue(const std::string& t) {
    std::string s = t;
    if (!s.empty() && s.back() == ' ') s.pop_back();
    if (s.size() > 2 && s.compare(s.size() - 2, 2, "\u03A0") == 0) s.resize(s.size() - 2);
    return !s.empty() && std::isfinite(StrToRealComma(s)) && s.find_first_not_of("-0123456789,") == std::string::npos;
}

// Draws the coordinate system of the scene on the output and checks every
// text of it: whole cells, none over another, on the surface, every decade
// with its exponent, both titles, no axis line through a title, and most
// of the tick values.
void CheckLabels(const Scene& scene, const Output& out) {
    KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    k.xSkalierung = static_cast<uint8_t>(scene.xSkalierung);
    k.ySkalierung = static_cast<uint8_t>(scene.ySkalierung);
    k.Art = static_cast<uint8_t>(scene.art);
    k.xAchsentext = scene.xTitle;
    SetWindow(scene.x1, scene.x2, scene.y1, scene.y2);
    SetupAxes(k);

    RecordingCanvas target(out.fontDpi);
    CanvasFont font = GraphAreaFont();
    font.size = OutputFontSize(out, gDisplay.Schriftgroesse);
    target.SetFont(font);
    int exponentX = 0, exponentY = 0;
    {
        OutputRedirection redirect({.canvas = &target, .faktorX = out.fx, .faktorY = out.fy, .plotWidthPx = 599,
                                    .plotHeightPx = 599, .printing = out.printing, .metafile = out.metafile,
                                    .pageRight = out.pageCut ? ToDevice(600 - out.pageCut, out.fx) : 0,
                                    .pageBottom = out.pageCut ? ToDevice(600 - out.pageCut, out.fy) : 0});
        GrafikZeichnen(true);
        exponentX = gGraph.TickExponentX;
        exponentY = gGraph.TickExponentY;
    }
    std::vector<CanvasRecord> texts, axisLines;
    for (const CanvasRecord& r : target.Records()) {
        if (r.kind == CanvasRecord::Kind::Text) texts.push_back(r);
        if (r.kind == CanvasRecord::Kind::Polyline && r.pen.color == kAxisColour) axisLines.push_back(r);
    }
    std::vector<CanvasRect> cells;
    for (const CanvasRecord& r : texts) cells.push_back(Cell(r, out.fontDpi));

    const CanvasRect surface{0, 0, ToDevice(600 - out.pageCut, out.fx), ToDevice(600 - out.pageCut, out.fy)};
    for (size_t i = 0; i < texts.size(); ++i) {
        const CanvasRect& a = cells[i];
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= surface.right && a.bottom <= surface.bottom)
            << "\"" << texts[i].text << "\" cut off at the edge";
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(Overlap(a, cells[j])) << "\"" << texts[i].text << "\" over \"" << texts[j].text << "\"";
    }

    // Every decade of a logarithmic axis: "10" and its exponent raised after it.
    std::multiset<std::string> exponents, wanted;
    const int decadesX = scene.xSkalierung == 1 ? gOutput.DecadesX : -1;
    const int decadesY = scene.ySkalierung == 1 ? gOutput.DecadesY : -1;
    for (int d = 0; d <= decadesX; ++d) wanted.insert(IntToText(gGraph.LogExpLowX + d));
    for (int d = 0; d <= decadesY; ++d) wanted.insert(IntToText(gGraph.LogExpLowY + d));
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
        const CanvasRecord& e = texts[i + 1];
        if (texts[i].text != "10" || e.font.size >= texts[i].font.size) continue;
        EXPECT_EQ(cells[i + 1].left, cells[i].right) << e.text;
        EXPECT_LT(cells[i + 1].top, cells[i].top) << e.text;
        exponents.insert(e.text);
    }
    EXPECT_EQ(exponents, wanted);

    // Both titles, with the exponent of their tick values.
    for (const auto& [title, exponent, linear] :
         {std::tuple{k.xAchsentext.str(), exponentX, scene.xSkalierung != 1},
          std::tuple{k.yAchsentext.str(), exponentY, scene.ySkalierung != 1}}) {
        const bool power = linear && exponent != 0;
        const std::string shown = power ? title + "/10" : title;
        const auto it =
            std::find_if(texts.begin(), texts.end(), [&](const CanvasRecord& r) { return r.text == shown; });
        ASSERT_NE(it, texts.end()) << shown;
        if (power) {
            ASSERT_NE(it + 1, texts.end());
            EXPECT_EQ((it + 1)->text, IntToText(exponent));
        }
        // No axis line or side of the frame runs through a title, also where
        // the larger fonts of printers and metafiles have no room in the margins.
        for (const CanvasRecord& line : axisLines)
            EXPECT_FALSE(Crosses(line, cells[static_cast<size_t>(it - texts.begin())])) << shown;
    }

    if (scene.xSkalierung == 1 || scene.ySkalierung == 1) return;
    int values = 0;
    for (const CanvasRecord& r : texts) values += IsTickValue(r.text);
    // All of them on the screen and in metafiles, give or take one where the
    // values next to the origin meet; most of them on the printer, whose
    // larger text leaves out a value that would cover its neighbour; a third
    // of them where the page ends in the margins, which leaves less room.
    const int least = out.pageCut ? scene.values / 3 : out.printing ? 2 * scene.values / 3 : scene.values - 1;
    EXPECT_GE(values, least);
}

TEST_F(Axes, LabelsNeitherOverlapNorLoseACharacterInAnyFontSizeOrOutput) {
    KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    k.Beschriftung = 1;
    k.yAchsentext = "Weg s in m";
    k.Achsenfarbe = kAxisColour;
    for (const std::string& font : LabelFonts()) {
        for (int size = 8; size <= 14; ++size) {
            gDisplay.Schriftname = font;
            gDisplay.Schriftgroesse = size;
            gDisplay.SchriftFett = size == 11;  // bold, wider, at one of the sizes
            for (const Scene& scene : kScenes) {
                for (const Output& out : kOutputs) {
                    std::ostringstream what;
                    what << font << " " << size << " pt, " << scene.name << ", " << out.name;
                    SCOPED_TRACE(what.str());
                    CheckLabels(scene, out);
                }
            }
        }
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
