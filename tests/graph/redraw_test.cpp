#include <QColor>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <optional>
#include <stdexcept>

#include "analysis_state.h"
#include "canvas_qpainter.h"
#include "curves.h"
#include "function_set.h"
#include "graph_host.h"
#include "graph_test_support.h"
#include "message_sink.h"
#include "metafile_recorder.h"
#include "object_lists.h"
#include "output_redirection.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

struct Call { int slot; CanvasPen pen; bool listTerms; double x1, x2; std::string f; };
std::vector<Call> gCalls;

void Spy(int slot) {
    gCalls.push_back(Call{slot, Ausgabe().Pen(), gGraph.ListentermeZeichnen, gView.BereichX1, gView.BereichX2,
                          gTerms.TermF.str()});
}

class Redraw : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        saved_ = Drawers();
        for (int i = 1; i <= kGraphSlots; ++i) Drawers().slotDrawers[static_cast<size_t>(i)] = Spy;
        gCalls.clear();
        gDisplay.Schaubilder = SchaubildTabelle{};
    }
    void TearDown() override {
        Drawers() = saved_;
        SetGraphHost(nullptr);
        GraphTest::TearDown();
    }
    GraphDrawers saved_;
};

TEST_F(Redraw, EveryShownSlotIsDrawnWithItsPen) {
    const int shown[] = {1, 4, 5, 22, 34};
    for (int i : shown) gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{Color(i), uint8_t(i % 4), true};
    gDisplay.Schaubilder[6] = Schaubild{6, 0, false};
    GrafikZeichnen(false);
    ASSERT_EQ(gCalls.size(), 5u);
    for (size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(gCalls[k].slot, shown[k]);
        EXPECT_EQ(gCalls[k].pen, (CanvasPen{Color(shown[k]), shown[k] % 4 + 1, PenStyle::Solid}));
        EXPECT_EQ(gCalls[k].listTerms, shown[k] < 5);
    }
}

TEST_F(Redraw, PrintingWidensSlotPensByTheRoundedFactor) {
    gDisplay.Schaubilder[2] = Schaubild{0, 1, true};
    gDisplay.Koordinatensystem.Art = 1;
    RecordingCanvas printer;
    {
        OutputRedirection redirect({.canvas = &printer, .faktorX = 4.2, .faktorY = 4.2, .plotWidthPx = 599,
                                    .plotHeightPx = 599, .printing = true});
        GrafikZeichnen(true);
    }
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(gCalls[0].pen.width, 8);
    // The plot frame: axis width class 0 times the pen unit 3.
    const auto& r = printer.Records();
    ASSERT_GE(r.size(), 4u);
    EXPECT_EQ(r.back().pen.width, 3);
    EXPECT_EQ(r.back().points.front().x, ToDevice(70, 4.2));
}

// A printer or a picture for a file gets as many times the screen's work as
// it has pixels more (or samples, where those are more), up to half a
// minute; the print preview waits like the screen. Seen from a slot drawer,
// as the seconds a budget opened there is granted.
TEST_F(Redraw, PrintersAndPicturesGetTheirPixelsTimesTheScreensWorkUpToHalfAMinute) {
    static double granted;
    Drawers().slotDrawers[1] = [](int) {
        WorkBudget probe(1e6);
        granted = probe.SecondsLeft();
    };
    gDisplay.Schaubilder[1] = Schaubild{0, 0, true};
    RecordingCanvas device;
    auto on = [&](double factor, double samples, bool printing, bool metafile, bool preview) {
        return OutputTarget{&device, factor, factor, samples, 599, 599, printing, metafile, preview};
    };
    const struct {
        OutputTarget target;
        double seconds;
    } cases[] = {
        {on(1, 1, false, false, false), 1},
        {on(3, 3, false, true, false), 9},      // a picture at the resolution 3
        {on(1.5, 4, true, false, false), 4},    // four samples a pixel outweigh the pixels
        {on(6.25, 4, true, false, false), 30},  // a page at 600 dots per inch: 39 times the pixels
        {on(6.25, 4, true, false, true), 1},    // its preview
    };
    for (const auto& c : cases) {
        granted = -1;
        OutputRedirection redirect(c.target);
        GrafikZeichnen(true);
        EXPECT_NEAR(granted, c.seconds * kRedrawSeconds, 0.01) << c.seconds;
    }
}

TEST_F(Redraw, RedirectionGivesEverythingBack) {
    gDisplay.Koordinatensystem.Art = 1;
    GrafikZeichnen(false);
    const OutputContext before = gOutput;
    const double tickPixels = gGraph.TickPixelsX;
    RecordingCanvas other;
    try {
        OutputRedirection redirect({.canvas = &other, .faktorX = 3, .faktorY = 3, .samplesPerPixel = 3,
                                    .plotWidthPx = 199, .plotHeightPx = 199, .metafile = true});
        Drawers().slotDrawers[1] = [](int) { throw std::runtime_error("kaputt"); };
        gDisplay.Schaubilder[1] = Schaubild{0, 0, true};
        GrafikZeichnen(true);
        FAIL();
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(gOutput.AusgabeCanvas, &canvas);
    EXPECT_EQ(gOutput.AusgabefaktorX, 1);
    EXPECT_EQ(gOutput.SamplesPerPixel, 1);
    EXPECT_FALSE(gOutput.MetafileActive);
    EXPECT_EQ(gOutput.PlotWidthPx, 599);
    EXPECT_EQ(gOutput.PlotRight, before.PlotRight);
    EXPECT_EQ(gOutput.PixelsPerUnitX, before.PixelsPerUnitX);
    EXPECT_EQ(gGraph.TickPixelsX, tickPixels);
    EXPECT_EQ(gGraph.StiftEinheit, 1);
}

TEST_F(Redraw, StoredFunctionSetsAreDrawnInTheirColoursAndGiveTheStateBack) {
    gDisplay.Schaubilder[1] = Schaubild{0x11, 0, true};
    gTerms.TermF = "x";
    for (const auto& [colour, term] : {std::pair{Color(0x22), "x^2"}, std::pair{Color(0x33), "x^3"}}) {
        ArchivEintrag e;
        StoreGraphState(e);
        e.Schaubilder[1].Linienfarbe = colour;
        e.f = term;
        // A stored window far beyond anything the current picture can show.
        e.x1 = e.fgBereich.von = -1e300;
        e.x2 = e.fgBereich.bis = 1e300;
        gFunktionenspeicher.Insert(gFunktionenspeicher.Count() + 1, e);
    }
    const ViewWindowState view = gView;
    const TermState terms = gTerms;
    const DisplayState display = gDisplay;
    GrafikZeichnen(false);
    ASSERT_EQ(gCalls.size(), 3u);
    EXPECT_EQ(gCalls[0].pen.color, 0x11u);
    EXPECT_EQ(gCalls[1].pen.color, 0x22u);
    EXPECT_EQ(gCalls[2].pen.color, 0x33u);
    EXPECT_EQ(gCalls[2].f, "x^3");
    for (const Call& c : gCalls) EXPECT_EQ(std::pair(c.x1, c.x2), std::pair(-8.0, 8.0));
    EXPECT_EQ(gView, view);
    EXPECT_EQ(gTerms.TermF, terms.TermF);
    EXPECT_EQ(gDisplay, display);
    // The real drawers sample them in the current window.
    Drawers() = saved_;
    GrafikZeichnen(false);
    for (Color c : {0x22, 0x33}) {
        const auto lines = Polylines(c);
        ASSERT_EQ(lines.size(), 1u) << c;
        EXPECT_LE(lines[0].points.size(), 602u);
    }
}

TEST_F(Redraw, IterationDisplayReplacesTheSlots) {
    static int iterations, objects;
    iterations = objects = 0;
    Drawers().iteration = [] { ++iterations; };
    Drawers().objects[static_cast<size_t>(TDrawingTool::Senkrechte)] = [](const tElement&) { ++objects; };
    gDisplay.Schaubilder[1] = Schaubild{0, 0, true};
    gIteration.FolgeAnzeige = true;
    tElement line;
    line.Art = TDrawingTool::Senkrechte;
    gGrafikobjektliste.Insert(1, line);
    GrafikZeichnen(false);
    EXPECT_TRUE(gCalls.empty());
    EXPECT_EQ(iterations, 1);
    EXPECT_EQ(objects, 1);
}

TEST_F(Redraw, OverlaysFindFCompiled) {
    static double valueAt3;
    valueAt3 = 0;
    Drawers() = saved_;
    Drawers().newton = [] { valueAt3 = EvalTerm(FunktionTermbaum, 3, 0, 0, 0, 0); };
    gOverlay.NewtonZeichnen = true;
    gTerms.TermF = "x^2";
    gTerms.TermG = "x";
    gDisplay.Schaubilder[8] = Schaubild{0, 0, true};  // g is compiled last
    GrafikZeichnen(false);
    EXPECT_EQ(valueAt3, 9);
}

// The heaviest states a file can hold, drawn by the real drawers: each
// redraw stops at its budget, the last sample's work beyond it at most.
class RedrawBudgetTest : public GraphTest {
protected:
    // Everything the redraw does, in the budget's units.
    static long long Work() { return WorkDone(); }
};

std::string Nested(std::string s, size_t chars) {
    while (s.size() + 7 <= chars) s = "blanc(" + s + ")";
    return s;
}

TEST_F(RedrawBudgetTest, NoStoredStateTakesMoreThanTheBudget) {
    const struct { const char* name; const char* f; int nBis; int firstSlot, lastSlot; int storedSets; } cases[] = {
        {"families of 250 curves in every slot", "t*x+n", 0, 1, 34, 0},
        {"and many stored sets of them", "t*x+n", 0, 1, 34, 200},
        {"sums of ten thousand terms", "sin(n*x*t)/n", static_cast<int>(kMaxSumTerms) - 1, 1, 7, 0},
        {"the costliest function nested as deep as a term allows", nullptr, 0, 1, 34, 0},
        {"parametric curves at their finest step", nullptr, 0, 23, 30, 0},
    };
    constexpr double kSeconds = 0.02;
    constexpr long long kUnits = static_cast<long long>(kSeconds * kUnitsPerSecond);
    for (const auto& c : cases) {
        GraphTest::SetUp();  // a clean state for each case
        canvas.ClearRecords();
        for (int i = c.firstSlot; i <= c.lastSlot; ++i) gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{0xFF, 3, true};
        gParams.FgTVon = gParams.HTVon = -2;
        gParams.FgTBis = gParams.HTBis = 2;
        gParams.FgTSchrittweite = gParams.HTSchrittweite = 4.0 / 249;
        gParams.FgSummeBis = c.nBis;
        gParams.ParamkurveTVon = -1e6;
        gParams.ParamkurveTBis = 1e6;
        gParams.ParamkurveTSchrittweite = 1e-9;
        gView.IntegralfunktionXo = -1e9;
        gTerms.TermF = c.f ? c.f : Nested("t*x+n", kTermChars);
        gTerms.TermG = c.f ? "x-t" : Nested("x-t", kTermChars);
        gTerms.TermH1 = gTerms.TermF;
        gTerms.TermXt = c.f ? "cos(t)" : Nested("t", kTermChars);
        gTerms.TermYt = c.f ? "sin(t)" : Nested("t/2", kTermChars);
        ArchivEintrag e;
        StoreGraphState(e);
        for (int k = 0; k < c.storedSets; ++k) gFunktionenspeicher.Insert(1, e);

        const long long before = Work();
        {
            // A budget opened around the redraw is the one it keeps.
            WorkBudget budget(kSeconds);
            GrafikZeichnen(true);
        }
        EXPECT_TRUE(LastRedrawCut()) << c.name;
        EXPECT_LE(Work() - before, kUnits + kUnits / 50) << c.name;
    }
}

TEST_F(RedrawBudgetTest, AnOrdinaryPictureIsDrawnWhole) {
    // 41 curves of a family in f and its three derivatives, the list and g.
    gTerms.TermF = "sin(t*x)*x";
    gTerms.TermG = "x^2";
    gParams.FgTVon = -2;
    gParams.FgTBis = 2;
    gParams.FgTSchrittweite = 0.1;
    for (int i : {1, 2, 3, 4, 5, 8, 12, 20}) gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{0xFF, 3, true};
    GrafikZeichnen(true);
    EXPECT_FALSE(LastRedrawCut());
}

// What the dialogs and files allow draws whole where it is affordable, the
// budget counting what it costs on this machine; printers and pictures for
// files, with as many times the pixels, draw what the screen draws. Where a
// case has a machine's rate, the clock of such a machine is on: the budget
// then ends on its time, and the count must not end it before.
struct AffordableCase {
    const char* name;
    int width, height;
    bool printed;
    void (*prepare)();
    double unitsPerNanosecond = 0;  // 0: the clock is off, the count decides
};

void PrintTo(const AffordableCase& c, std::ostream* os) { *os << c.name; }

class AffordablePicture : public GraphTest, public ::testing::WithParamInterface<AffordableCase> {};

TEST_P(AffordablePicture, IsWholeOnScreenAndInPrint) {
    const AffordableCase& c = GetParam();
    NullCanvas null;
    gOutput.AusgabeCanvas = &null;
    gOutput.PlotWidthPx = c.width - 1;
    gOutput.PlotHeightPx = c.height - 1;
    gDisplay.Schaubilder[1] = Schaubild{0xFF, 0, true};
    c.prepare();
    std::optional<WorkRateClock> clock;
    if (c.unitsPerNanosecond > 0) clock.emplace(c.unitsPerNanosecond);
    GrafikZeichnen(true);
    EXPECT_FALSE(LastRedrawCut());
    if (c.printed) {
        // A printer page at 600 dots per inch, four samples a pixel.
        OutputTarget printer;
        printer.canvas = &null;
        printer.faktorX = printer.faktorY = 6.25;
        printer.samplesPerPixel = 4;
        printer.plotWidthPx = c.width - 1;
        printer.plotHeightPx = c.height - 1;
        printer.printing = true;
        OutputRedirection redirect(printer);
        GrafikZeichnen(true);
        EXPECT_FALSE(LastRedrawCut()) << "printed";
    }
    gFunktionenspeicher.Init();
}

// A full store of function sets, set k with the term made of `term` and k.
void FillStore(std::string (*term)(int k)) {
    ArchivEintrag e;
    StoreGraphState(e);
    std::vector<ArchivEintrag> sets(SpeicherListe::kMaxCount, e);
    for (int k = 1; k <= SpeicherListe::kMaxCount; ++k) sets[static_cast<size_t>(k - 1)].f = term(k);
    gFunktionenspeicher.InsertFirst(sets);
}

std::string RaisedSine(int k) { return "sin(x)+" + std::to_string(k) + "/1000"; }
std::string Cubic(int k) { return "x^3/64+" + std::to_string(k) + "/2000"; }

// Thin curves draw at about two units of the count per nanosecond on the
// machine the count was made on (bench/graph shows it for each scene).
constexpr double kThinLineRate = 2.1;

INSTANTIATE_TEST_SUITE_P(
    RedrawBudget, AffordablePicture,
    ::testing::Values(
        AffordableCase{"SumOfTenThousandTerms", 1600, 1000, false, [] {
                           gTerms.TermF = "sin(n*x)/n";
                           gParams.FgSummeVon = 1;
                           gParams.FgSummeBis = 10000;
                       }},
        // Each stored curve runs across the whole window: a thousand
        // million units at 1000 pixels, half a second here.
        AffordableCase{"StoreFullOfFunctionSets", 1000, 1000, false, [] { FillStore(RaisedSine); }, kThinLineRate},
        AffordableCase{"StoreFullOfCubicsAt1600", 1600, 1000, false, [] { FillStore(Cubic); }, kThinLineRate},
        AffordableCase{"StoreFullOfCubicsFullScreen", 1920, 1050, false, [] { FillStore(Cubic); }, kThinLineRate},
        AffordableCase{"FamilyOf241WithTheWidestPen", 1000, 1000, true, [] {
                           gTerms.TermF = "2*t+0.3*sin(50*x)";
                           gParams.FgTVon = -3;
                           gParams.FgTBis = 3;
                           gParams.FgTSchrittweite = 0.025;
                           gDisplay.Schaubilder[1].Linienart = 3;
                       }}),
    [](const ::testing::TestParamInfo<AffordableCase>& info) { return std::string(info.param.name); });

// Beyond the budget the picture is cut, and says so; the next whole one
// takes that back.
TEST_F(RedrawBudgetTest, AFamilyOfWideZigzagsIsCutAndTheNextWholePictureIsNot) {
    NullCanvas null;
    gOutput.AusgabeCanvas = &null;
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 999;
    gTerms.TermF = "8*sin(1000*x)*t/2";
    gParams.FgTVon = -2;
    gParams.FgTBis = 2;
    gParams.FgTSchrittweite = 0.016;
    gDisplay.Schaubilder[1] = Schaubild{0xFF, 3, true};
    const long long before = WorkDone();
    GrafikZeichnen(true);
    EXPECT_TRUE(LastRedrawCut());
    EXPECT_LE(WorkDone() - before, static_cast<long long>(1.01 * kRedrawSeconds * kUnitsPerSecond));
    gTerms.TermF = "sin(x)";
    GrafikZeichnen(true);
    EXPECT_FALSE(LastRedrawCut());
}

// The drawing objects are drawn inside the redraw's budget: a full list of
// text objects is cut where the budget ends, not drawn for seconds beyond it.
TEST_F(RedrawBudgetTest, AFullListOfTextObjectsIsCutAtTheBudget) {
    tElement text;
    text.Art = TDrawingTool::Textfeld;
    text.Text = "Beschriftung";
    text.SchriftName = "Arial";
    text.SchriftHoehe = 12;
    text.x1 = 100;
    text.y1 = 50;
    gGrafikobjektliste.InsertFirst(std::vector<tElement>(ElementListe::kMaxCount, text));
    const long long before = Work();
    Repaint(true);
    EXPECT_TRUE(LastRedrawCut());
    EXPECT_LE(Work() - before, static_cast<long long>(1.01 * kRedrawSeconds * kUnitsPerSecond));
    const std::vector<std::string> texts = Texts();
    const auto drawn = std::count(texts.begin(), texts.end(), "Beschriftung");
    EXPECT_GT(drawn, ElementListe::kMaxCount / 2);
    EXPECT_LT(drawn, ElementListe::kMaxCount);
    gGrafikobjektliste.Init();
}

// The special-point search keeps to the redraw's budget like everything
// else; marks from a search that was cut would be taken for all there are.
TEST_F(RedrawBudgetTest, TheSpecialPointSearchKeepsToTheRedrawsBudgetAndACutOneMarksNothing) {
    struct SearchingHost : GraphHost {
        bool defined = true;
        void SonderpunkteBerechnen(double, double, double, double) override {
            EvalSumOverN(0, 1, 0, 0, 0, 1);
            defined = gTerms.TermOK;
        }
    } host;
    SetGraphHost(&host);
    static int marked;
    marked = 0;
    const GraphDrawers saved = Drawers();
    Drawers().sonderpunkte = [] { ++marked; };
    gDiscussion.SonderpunkteZeichnen = true;
    gTerms.TermF = "x^2";
    gDisplay.Schaubilder[1] = Schaubild{0xFF, 0, true};
    {
        WorkBudget budget(1e-9);
        GrafikZeichnen(true);
    }
    Drawers() = saved;
    SetGraphHost(nullptr);
    EXPECT_TRUE(LastRedrawCut());
    EXPECT_FALSE(host.defined);
    EXPECT_EQ(marked, 0);
}

struct RecordingHost : GraphHost {
    std::vector<std::string> calls;
    void ClearGraph() override {
        calls.push_back("clear");
        GraphHost::ClearGraph();
    }
    void SummenAnzeige(bool on) override { calls.push_back(on ? "sums on" : "sums off"); }
};

TEST_F(Redraw, HostClearsAndSetsTheSumsButtonsAndTheBackgroundIsFilled) {
    RecordingHost host;
    SetGraphHost(&host);
    GrafikZeichnen(true);
    gOverlay.SummenZeichnen = true;
    GrafikZeichnen(false);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"clear", "sums off", "sums on"}));
    const CanvasRecord& fill = canvas.Records().front();
    EXPECT_EQ(fill.kind, CanvasRecord::Kind::FillRect);
    EXPECT_EQ(fill.rect, (CanvasRect{0, 0, 600, 600}));
    EXPECT_EQ(fill.brush, (CanvasBrush{0xFFFFFF, BrushStyle::Solid}));
    // Clearing the drawing objects redraws as well.
    gGrafikobjektliste.Insert(1, tElement{});
    canvas.ClearRecords();
    ClearDrawingObjects();
    EXPECT_TRUE(gGrafikobjektliste.Empty());
    EXPECT_EQ(canvas.Records().front().kind, CanvasRecord::Kind::FillRect);
    // The printer's background while printing.
    gDisplay.HintergrundDrucker = 0x00FFFF;
    RecordingCanvas printer;
    OutputRedirection redirect(
        {.canvas = &printer, .faktorX = 2, .faktorY = 3, .plotWidthPx = 99, .plotHeightPx = 99, .printing = true});
    GrafikZeichnen(true);
    EXPECT_EQ(printer.Records().front().rect, (CanvasRect{0, 0, 200, 300}));
    EXPECT_EQ(printer.Records().front().brush.color, 0x00FFFFu);
}

TEST_F(Redraw, TextObjectsAtTheirSizeOnScreenAndPrinter) {
    tElement text;
    text.Art = TDrawingTool::Textfeld;
    text.Text = "Hallo";
    text.SchriftName = "Arial";
    text.SchriftHoehe = 12;
    text.SchriftFarbe = 0xFF;
    text.Schriftart = kFontBold | kFontItalic;
    text.x1 = 100;
    text.y1 = 50;
    gGrafikobjektliste.Insert(1, text);
    GrafikZeichnen(false);
    const auto texts = Records(CanvasRecord::Kind::Text);
    const auto found = std::find_if(texts.begin(), texts.end(), [](const auto& r) { return r.text == "Hallo"; });
    ASSERT_NE(found, texts.end());
    EXPECT_EQ(found->font.size, 12);
    EXPECT_TRUE(found->font.bold && found->font.italic && !found->font.underline);
    EXPECT_EQ(found->font.color, 0xFFu);
    EXPECT_EQ(found->at, (CanvasPoint{100, 50}));
    EXPECT_TRUE(found->clipped);
    EXPECT_EQ(found->rect.left, 99);
    EXPECT_EQ(found->brush.style, BrushStyle::Clear);
    // The graph font comes back after the objects.
    EXPECT_EQ(canvas.Font().name, gDisplay.Schriftname);

    RecordingCanvas printer;
    OutputRedirection redirect(
        {.canvas = &printer, .faktorX = 5, .faktorY = 5, .plotWidthPx = 599, .plotHeightPx = 599, .printing = true});
    gOutput.PrinterPixelsPerInchX = 600;
    GrafikZeichnen(false);
    for (const CanvasRecord& r : printer.Records())
        if (r.kind == CanvasRecord::Kind::Text && r.text == "Hallo") {
            EXPECT_EQ(r.font.size, 13);
            EXPECT_EQ(r.at, (CanvasPoint{500, 250}));
        }
}

TEST_F(Redraw, SyntaxErrorsInsideTheRedrawStayQuiet) {
    Drawers() = saved_;
    MessageRecorder messages;
    gTerms.TermF = "x+";
    gTerms.TermG = "sin(";
    gDisplay.Schaubilder[1] = Schaubild{0x11, 0, true};
    gDisplay.Schaubilder[8] = Schaubild{0x22, 0, true};
    GrafikZeichnen(false);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(Polylines(0x11).empty());
}

// The redraw on the other surfaces it serves: a PDF page through Qt's own
// printer-like device, and the metafile recorder, both scaled by the output
// factors as printing and export set them.
using OutputDevices = GraphTest;

TEST_F(OutputDevices, PrintedPageCarriesTheLabels) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) FAIL() << "pdftotext is missing: tools/install-deps installs it";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("graph.pdf");
    gTerms.TermF = "x^2";
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    {
        QPdfWriter writer(pdf);
        writer.setResolution(600);
        const double factor = 600 / kScreenDpi;
        QPainterCanvas canvas(&writer, 600);
        CanvasFont font;
        font.size = gDisplay.Schriftgroesse;
        canvas.SetFont(font);
        OutputRedirection redirect({.canvas = &canvas, .faktorX = factor, .faktorY = factor, .samplesPerPixel = 4,
                                    .plotWidthPx = 599, .plotHeightPx = 599, .printing = true});
        GrafikZeichnen(true);
    }
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* s : {"Zeit", "7", "-7", "y"}) EXPECT_TRUE(text.contains(s)) << s << " in " << text.toStdString();
}

TEST_F(OutputDevices, MetafileRecordsTheCurveWhereTheScreenHasIt) {
    gTerms.TermF = "x^2";
    gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};
    // A pole far beyond the picture must not reach the 16-bit coordinates.
    gTerms.TermG = "1/x";
    gDisplay.Schaubilder[8] = Schaubild{0xFF0000, 0, true};
    const int aufloesung = 3;
    MetafileRecorder recorder(600 * aufloesung, 600 * aufloesung);
    {
        QPainterCanvas canvas(&recorder);
        OutputRedirection redirect({.canvas = &canvas, .faktorX = aufloesung, .faktorY = aufloesung,
                                    .samplesPerPixel = aufloesung, .plotWidthPx = 599, .plotHeightPx = 599,
                                    .metafile = true});
        GrafikZeichnen(true);
    }
    const QImage image = recorder.toImage();
    SetupAxes(gDisplay.Koordinatensystem);
    double px, py;
    WorldToPixel(2, 4, px, py);
    int red = 0;
    for (int dy = -4; dy <= 4; ++dy)
        for (int dx = -4; dx <= 4; ++dx)
            red += QColor(image.pixel(ToDevice(px, aufloesung) + dx, ToDevice(py, aufloesung) + dy)) == Qt::red;
    EXPECT_GT(red, 3);
    EXPECT_FALSE(recorder.toWmf().empty());
}

}  // namespace
}  // namespace kalvo
