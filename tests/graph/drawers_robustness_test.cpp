// Every drawer at once under states no dialog should let through: each
// redraw must finish and keep every coordinate near the surface.

#include <array>
#include <cctype>
#include <climits>
#include <cmath>
#include <functional>
#include <span>

#include "analysis_state.h"
#include "graph_test_support.h"
#include "object_lists.h"

namespace kalvo {
namespace {

// Checks every coordinate as it is drawn instead of keeping it: the worst
// cases here draw hundreds of thousands of strips and dashes.
class BoundsCanvas final : public Canvas {
public:
    int worst = 0;  // the largest coordinate seen, by size

protected:
    void DoPolyline(std::span<const CanvasPoint> points) override { See(points); }
    void DoPolygon(std::span<const CanvasPoint> points) override { See(points); }
    void DoRectangle(const CanvasRect& r) override { See(r); }
    void DoEllipse(const CanvasRect& r) override { See(r); }
    void DoFillRect(const CanvasRect& r) override { See(r); }
    void DoText(int x, int y, std::string_view, const CanvasRect* clip) override {
        See(std::array{CanvasPoint{x, y}});
        if (clip) See(*clip);
    }
    CanvasSize DoTextExtent(std::string_view) override { return {8, 16}; }
    void DoClip(const CanvasRect*) override {}

private:
    void See(const CanvasRect& r) { See(std::array{CanvasPoint{r.left, r.top}, CanvasPoint{r.right, r.bottom}}); }
    void See(std::span<const CanvasPoint> points) {
        for (const CanvasPoint& p : points) worst = std::max({worst, Size(p.x), Size(p.y)});
    }
    static int Size(int v) { return v == INT_MIN ? INT_MAX : std::abs(v); }
};

class DrawersRobustness : public GraphTest {
protected:
    void EverythingOn() {
        for (int i = 1; i <= kGraphSlots; ++i)
            gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{Color(i), uint8_t(i % 4), true};
        TermState& t = gTerms;
        t.TermF = "sin(x)+t";
        t.TermG = "1/x";
        t.TermXt = "3cos(t)";
        t.TermYt = "2sin(t)";
        t.TermH1 = t.TermH2 = t.TermH3 = t.TermH4 = "x^2-t";
        gGraph.AktuelleLinienfarbe = 1;
        OverlayState& o = gOverlay;
        o.SummenZeichnen = o.FlaecheZeichnen = o.NewtonZeichnen = true;
        o.ObjektM = true;
        gDiscussion.SonderpunkteBeschriften = true;
        gDiscussion.AnzahlNullstellen = gDiscussion.AnzahlExtrema = gDiscussion.AnzahlWendepunkte = 2;
        gDiscussion.AnzahlPole = gDiscussion.AnzahlAsymptoten = 1;
        gDiscussion.AsymptotenText[0] = "x";
        gRegression.RegressionPunktzahl = 3;
        gRegression.AbweichungenZeichnen = true;
        for (size_t i = 1; i <= 3; ++i) {
            gRegression.MesswertTexteX[i] = std::to_string(i);
            gRegression.MesswertTexteY[i] = "1e300";
        }
        for (int k = 0; k < 6; ++k) {
            tElement e;
            e.Art = static_cast<TDrawingTool>(k);
            e.x1 = 1;
            e.f1flag = k == 0;
            gGrafikobjektliste.Insert(k + 1, e);
        }
    }

    // The redraw once with the slots and overlays, and once with each iteration picture.
    void DrawAll(const std::string& what) {
        for (int display = 0; display < 4; ++display) {
            IterationState& it = gIteration;
            it.IterPfadAnzeige = it.IterPfadAktiv = display == 1;
            it.FolgeAnzeige = display == 2;
            it.AttraktorAnzeige = display == 3;
            if (display > 0) gOverlay.SummenZeichnen = gOverlay.FlaecheZeichnen = false;
            BoundsCanvas bounds;
            gOutput.AusgabeCanvas = &bounds;
            GrafikZeichnen(true);
            bounds.Flush();
            gOutput.AusgabeCanvas = &canvas;
            EXPECT_LT(bounds.worst, 5000) << what << " " << display;
        }
    }
};

struct Scenario { const char* what; std::function<void()> set; };

const Scenario kScenarios[] = {
    {"plain", [] {}},
    {"undefined everywhere",
     [] {
         TermState& t = gTerms;
         t.TermF = t.TermG = t.TermH1 = t.TermH2 = t.TermH3 = t.TermH4 = "ln(-1-x^2)";
         t.TermXt = t.TermYt = "ln(-1-t^2)";
     }},
    {"window at 1e10", [] { SetWindow(1e10 - 0.001, 1e10, 1e10 - 0.001, 1e10); }},
    {"window 1e10 wide", [] { SetWindow(-5e9, 5e9, -5e9, 5e9); }},
    {"zero and negative steps",
     [] {
         gParams.FgTVon = -1;
         gParams.FgTBis = 1;
         gParams.FgTSchrittweite = -0.0;
         gParams.HTSchrittweite = gParams.ParamkurveTSchrittweite = -1e-300;
         gParams.FgSummeSchrittweite = 0;
     }},
    {"huge counts",
     [] {
         gOverlay.AnzahlRechtecke = INT_MAX;
         IterationState& it = gIteration;
         it.IterationenN = it.VorIterationen = it.NachIterationen = it.IterierteK = INT_MAX;
         gRegression.RegressionPunktzahl = INT_MAX;
         gDiscussion.AnzahlNullstellen = gDiscussion.AnzahlPole = gDiscussion.AnzahlAsymptoten = INT_MAX;
         gParams.FgSummeBis = 1000;
     }},
    {"not a number",
     [] {
         gOverlay.Startwert = gOverlay.GrenzeA = NAN;
         gView.IntegralfunktionXo = gView.GeradeU1 = NAN;
         gTerms.ParameterWerte[0] = NAN;
         gIteration.IterationParameterA = NAN;
         gDiscussion.ExtremumY[1] = NAN;
     }},
    {"far away",
     [] {
         gView.IntegralfunktionXo = gOverlay.GrenzeA = gParams.ParamkurveTVon = gView.H1Von = -1e300;
         gOverlay.GrenzeB = gOverlay.Startwert = gParams.ParamkurveTBis = gView.H1Bis = 1e300;
     }},
    {"logarithmic axes",
     [] {
         gDisplay.Koordinatensystem.xSkalierung = gDisplay.Koordinatensystem.ySkalierung = 1;
         SetWindow(0.01, 1000, 0.01, 1000);
         gView.IntegralfunktionXo = 1;
     }},
    {"empty value table", [] { gRegression.MesswertTexteX[1] = ""; }},
};

class PathologicalStates : public DrawersRobustness, public ::testing::WithParamInterface<size_t> {};

TEST_P(PathologicalStates, FinishNearTheSurface) {
    const Scenario& c = kScenarios[GetParam()];
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 299;
    EverythingOn();
    c.set();
    DrawAll(c.what);
    EXPECT_FALSE(ParserWMode);
}

INSTANTIATE_TEST_SUITE_P(Drawers, PathologicalStates, ::testing::Range<size_t>(0, std::size(kScenarios)),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             std::string name;
                             for (const char* p = kScenarios[info.param].what; *p; ++p)
                                 if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
                             return name;
                         });

}  // namespace
}  // namespace kalvo
