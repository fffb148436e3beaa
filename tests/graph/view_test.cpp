#include <cmath>
#include <limits>

#include "graph_test_support.h"
#include "object_lists.h"

namespace kalvo {
namespace {

using View = GraphTest;

struct Window { double x1, x2, y1, y2; };

TEST_F(View, NormalizeWindowSwapsClampsAndResets) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { const char* what; Window in; Window out; } cases[] = {
        {"swapped ends", {3, -2, 5, 1}, {-2, 3, 1, 5}},
        {"narrowest window kept", {0, 0.0005, -1, 1}, {0, 0.0005, -1, 1}},
        {"too narrow", {0, 0.0004, -1, 1}, {-8, 8, -8, 8}}, {"too narrow in y", {0, 1, 2, 2.0004}, {-8, 8, -8, 8}},
        {"clamped, then too wide", {-1e11, 5, -1, 1}, {-8, 8, -8, 8}},
        {"widest window kept", {-5e9, 5e9, -1, 1}, {-5e9, 5e9, -1, 1}},
        {"not a number", {nan, 1, -1, 1}, {-8, 8, -8, 8}}, {"infinite", {-1, 1, -INFINITY, 1}, {-8, 8, -8, 8}},
        {"at 1e10, 0.0006 wide", {1e10 - 0.0006, 1e10, -1, 1}, {1e10 - 0.0006, 1e10, -1, 1}},
    };
    for (const auto& c : cases) {
        SetWindow(c.in.x1, c.in.x2, c.in.y1, c.in.y2);
        NormalizeWindow();
        EXPECT_EQ(std::tie(gView.BereichX1, gView.BereichX2, gView.BereichY1, gView.BereichY2),
                  std::tie(c.out.x1, c.out.x2, c.out.y1, c.out.y2))
            << c.what;
        // The family range follows the window while it is automatic.
        EXPECT_EQ(gView.FgZeichenbereichVon, gView.BereichX1) << c.what;
        EXPECT_EQ(gView.FgZeichenbereichBis, gView.BereichX2) << c.what;
    }
}

TEST_F(View, LogarithmicWindowsSnapToWholeDecades) {
    gOutput.LogScaleX = true;
    const struct { double x1, x2, low, high; int decades; } cases[] = {
        {0.05, 150, 0.01, 1000, 5}, {1, 100, 1, 100, 2}, {5, 7, 1, 10, 1},
        {-3, 50, 1e-7, 100, 9},  // clamped to the lowest value first
        {1000, 5, 10, 1000, 2},  // swapped after snapping
        {0.01, 1000.0000000000001, 0.01, 1000, 5},  // arithmetic left a hair off a power of ten
        {0.01, 999.9999999999999, 0.01, 1000, 5},
        {1e-5, 1e7, 1e-7, 10, 8},  // 12 decades: reset, and normalised again to decades
    };
    for (const auto& c : cases) {
        SetWindow(c.x1, c.x2, -1, 1);
        NormalizeWindow();
        EXPECT_EQ(gView.BereichX1, c.low) << c.x1 << ".." << c.x2;
        EXPECT_EQ(gView.BereichX2, c.high) << c.x1 << ".." << c.x2;
        EXPECT_EQ(gOutput.DecadesX, c.decades) << c.x1 << ".." << c.x2;
        EXPECT_EQ(Pow10(gGraph.LogExpLowX), gView.BereichX1);
    }
}

TEST_F(View, NormalizeWindowMendsRangesAndStepsTheDefaultKeepsAFixedFamilyRange) {
    gParams.FgSummeVon = 5;
    gParams.FgSummeBis = 2;
    gParams.FgSummeSchrittweite = 0;
    gParams.FgTSchrittweite = 0;
    gParams.HTSchrittweite = 0.001;
    gParams.ParamkurveTSchrittweite = 0;
    NormalizeWindow();
    EXPECT_EQ(gParams.FgSummeVon, 2);
    EXPECT_EQ(gParams.FgSummeBis, 5);
    EXPECT_EQ(gParams.FgSummeSchrittweite, 1);
    EXPECT_EQ(gParams.FgTSchrittweite, 1.0);
    EXPECT_EQ(gParams.HTSchrittweite, 0.001);
    EXPECT_EQ(gParams.ParamkurveTSchrittweite, 1.0);

    // A fixed family range without width resets the window.
    gView.FgZeichenbereichAuto = false;
    gView.FgZeichenbereichVon = gView.FgZeichenbereichBis = 2;
    SetWindow(0, 1, 0, 1);
    NormalizeWindow();
    EXPECT_EQ(gView.BereichX1, -8);
    EXPECT_EQ(gView.FgZeichenbereichVon, 2);

    // On a logarithmic axis an integral start at 0 moves to the left end.
    gView.FgZeichenbereichAuto = true;
    gOutput.LogScaleX = true;
    gView.IntegralfunktionXo = 0;
    SetWindow(1, 100, 0, 1);
    NormalizeWindow();
    EXPECT_EQ(gView.IntegralfunktionXo, 1);
    // The default window keeps a fixed family range.
    gView.FgZeichenbereichAuto = false;
    gView.FgZeichenbereichVon = 1;
    gView.FgZeichenbereichBis = 2;
    gView.IntegralfunktionXo = 3;
    SetDefaultWindow();
    EXPECT_EQ(gView.FgZeichenbereichVon, 1);
    EXPECT_EQ(gView.H1Von, -8);
    EXPECT_EQ(gView.H4Bis, 8);
    EXPECT_EQ(gView.IntegralfunktionXo, 0);
}

TEST_F(View, PlotRectangleForEachLayout) {
    const struct { uint8_t art, xs, ys; int left, top, right, bottom; } cases[] = {
        {0, 0, 0, 0, 0, 600, 400}, {1, 0, 0, 70, 20, 560, 360}, {1, 1, 0, 70, 20, 560, 340},
        {0, 0, 1, 70, 20, 560, 360}, {0, 1, 1, 70, 20, 560, 340}, {0, 2, 2, 0, 0, 600, 400},
    };
    gDisplay.Schriftgroesse = 10;
    gOutput.PlotWidthPx = 600;
    gOutput.PlotHeightPx = 400;
    for (const auto& c : cases) {
        KoordinatensystemEinstellung k;
        k.Art = c.art;
        k.xSkalierung = c.xs;
        k.ySkalierung = c.ys;
        SetWindow(1, 100, 1, 100);
        SetupAxes(k);
        EXPECT_EQ(gOutput.PlotLeft, c.left);
        EXPECT_EQ(gOutput.PlotTop, c.top);
        EXPECT_EQ(gOutput.PlotRight, c.right);
        EXPECT_EQ(gOutput.PlotBottom, c.bottom);
        EXPECT_EQ(k.Art, c.art);  // the caller's record keeps its layout
    }
}

TEST_F(View, LogarithmicAxesStayPutWhenSetUpAgainAndLimitValuesAboveZero) {
    KoordinatensystemEinstellung k;
    SetupAxes(k);
    EXPECT_EQ(gOutput.ValueLimitLow, -1e10);
    k.xSkalierung = k.ySkalierung = 1;
    SetWindow(0.05, 150, 0.003, 2e6);
    for (int i = 0; i < 5; ++i) {
        SetupAxes(k);
        EXPECT_EQ(std::tie(gView.BereichX1, gView.BereichX2, gView.BereichY1, gView.BereichY2),
                  std::tuple(0.01, 1000.0, 0.001, 1e7));
        EXPECT_EQ(gOutput.DecadesY, 10);
    }
    EXPECT_EQ(gOutput.ValueLimitHigh, 1e20);
    EXPECT_EQ(gOutput.ValueLimitLow, 1e-20);
}

TEST_F(View, WorldAndPixelsRoundTrip) {
    for (const uint8_t scale : {0, 1}) {
        KoordinatensystemEinstellung k;
        k.xSkalierung = k.ySkalierung = scale;
        const Window w = scale ? Window{0.01, 1000, 1, 1e6} : Window{-3, 5, -20, 4};
        SetWindow(w.x1, w.x2, w.y1, w.y2);
        SetupAxes(k);
        for (const double fx : {0.013, 0.5, 1.0, 7.7, 999.0}) {
            const double x = scale ? fx : fx / 200 - 3;
            const double y = scale ? fx * 1000 : fx / 50 - 20;
            double px, py;
            WorldToPixel(x, y, px, py);
            EXPECT_NEAR(PixelToWorldX(px), x, std::fabs(x) * 1e-12);
            EXPECT_NEAR(PixelToWorldY(py), y, std::fabs(y) * 1e-12);
        }
        double px, py;
        WorldToPixel(gView.BereichX1, gView.BereichY2, px, py);
        EXPECT_NEAR(px, gOutput.PlotLeft, 1e-9);
        EXPECT_NEAR(py, gOutput.PlotTop, 1e-9);
        // Pixels per unit exist on logarithmic axes too; sampling steps come from them.
        EXPECT_NEAR(gOutput.PixelsPerUnitX, (gOutput.PlotRight - gOutput.PlotLeft) / (gView.BereichX2 - gView.BereichX1),
                    1e-12);
    }
}

TEST_F(View, FunctionSetRoundTripsEveryField) {
    ViewWindowState& v = gView;
    v = ViewWindowState{-1, 2, -3, 4, -5, 6, false, -7, 8, -9, 10, -11, 12, -13, 14, 15, 16, 17, 18};
    gParams = ParameterState{1.5, 2.5, 0.5, 3.5, 4.5, 0.25, 5.5, 6.5, 0.125, 7, 9, 2};
    gTerms.TermF = "x^2";
    gTerms.TermG = "sin(x)";
    gTerms.TermXt = "cos(t)";
    gTerms.TermYt = "sin(t)";
    gTerms.TermH1 = "1";
    gTerms.TermH2 = "2";
    gTerms.TermH3 = "3";
    gTerms.TermH4 = "4";
    gTerms.ParameterListe = "2;3";
    gTerms.ParameterListe2 = "4;5";
    gTerms.ParameterWerte = {2, 3, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    gTerms.ParameterWerte2 = {4, 5, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    gTerms.KonstanteA = 2;
    gTerms.KonstanteB = 3;
    gTerms.KonstanteC = 4;
    gTerms.KonstanteD = 5;
    gDisplay.Nachkommastellen = 3;
    gDisplay.Koordinatensystem.Gitter = 1;
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    gDisplay.Schaubilder[5] = Schaubild{0x123456, 2, true};
    // Whether the family range follows the window is no part of a set.
    const ViewWindowState view = gView;
    const ParameterState params = gParams;
    const TermState terms = gTerms;
    const DisplayState display = gDisplay;

    ArchivEintrag e;
    StoreGraphState(e);
    ResetProgramState();
    gView.FgZeichenbereichAuto = false;
    LoadGraphState(e);
    EXPECT_EQ(gView, view);
    EXPECT_EQ(gParams, params);
    EXPECT_EQ(gTerms, terms);
    EXPECT_EQ(gDisplay, display);
}

TEST_F(View, ViewBackupRestoresTheIterationDialogsChanges) {
    gTerms.TermF = "x^2";
    gTerms.KonstanteA = 2;
    SetWindow(-1, 1, -2, 2);
    gDisplay.Koordinatensystem.Art = 1;
    SaveViewState();
    gTerms.TermF = "ax(1-x)";
    gTerms.KonstanteA = 3.5;
    SetWindow(0, 1.1, 0, 1.1);
    gDisplay.Koordinatensystem.Art = 0;
    RestoreViewState();
    EXPECT_EQ(gTerms.TermF.str(), "x^2");
    EXPECT_EQ(gTerms.KonstanteA, 2);
    EXPECT_EQ(gView.BereichX1, -1);
    EXPECT_EQ(gView.BereichY2, 2);
    EXPECT_EQ(gDisplay.Koordinatensystem.Art, 1);
}

}  // namespace
}  // namespace kalvo
