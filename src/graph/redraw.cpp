#include "redraw.h"

#include <algorithm>
#include <cmath>

#include "analysis_state.h"
#include "axes.h"
#include "curves.h"
#include "derived_curves.h"
#include "graph_host.h"
#include "graph_state.h"
#include "integration.h"
#include "iteration.h"
#include "marks.h"
#include "primitives.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

// Slots 1 to 4: f and its derivatives, with the function list.
void DrawSlotF(int slot) {
    DrawFunctionGraph(gTerms.TermF.str(), slot - 1, gParams.FgTVon, gParams.FgTBis, gParams.FgTSchrittweite);
}

// Slots 8 to 11: g and its derivatives.
void DrawSlotG(int slot) {
    DrawFunctionGraph(gTerms.TermG.str(), slot - 8, gParams.FgTVon, gParams.FgTBis, gParams.FgTSchrittweite);
}

// Slots 5, 6, 7 for f and 12, 13, 14 for g.
const Funktionsterm& TermOfSlot(int slot) { return slot < 8 ? gTerms.TermF : gTerms.TermG; }
void DrawSlotIntegral(int slot) { DrawIntegralFunction(TermOfSlot(slot).str()); }
void DrawSlotInverse(int slot) { DrawInverseRelation(TermOfSlot(slot).str()); }
void DrawSlotDirectionField(int slot) {
    const ViewWindowState& v = gView;
    DrawDirectionField(TermOfSlot(slot).str(), v.BereichX1, v.BereichX2, v.BereichY1, v.BereichY2);
}

// Slots 15 to 19: f + g, f - g, f * g, f / g, f ^ g.
void DrawSlotCombination(int slot) {
    static constexpr char kOperators[] = {'+', '-', '*', '/', '^'};
    DrawCombination(gTerms.TermF.str(), gTerms.TermG.str(), kOperators[slot - 15]);
}

// Slots 20 and 21: f(g(x)) and g(f(x)).
void DrawSlotComposition(int slot) {
    if (slot == 20)
        DrawComposition(gTerms.TermF.str(), gTerms.TermG.str());
    else
        DrawComposition(gTerms.TermG.str(), gTerms.TermF.str());
}

void DrawSlotLinesU(int) {
    DrawVerticalLineU(gView.GeradeU1);
    DrawVerticalLineU(gView.GeradeU2);
    DrawVerticalLineU(gView.GeradeU3);
}

// Slots 23 to 30: the curve, its slope curve, x(t) and y(t) with derivatives.
void DrawSlotParametric(int slot) {
    const TermState& t = gTerms;
    if (slot <= 24)
        DrawParametricCurve(t.TermXt.str(), t.TermYt.str(), slot - 23);
    else if (slot <= 27)
        DrawXtItem(t.TermXt.str(), slot - 25);
    else
        DrawYtItem(t.TermYt.str(), slot - 28);
}

// Slots 31 to 34: h and its derivatives.
void DrawSlotPiecewise(int slot) { DrawPiecewise(slot - 31); }

void DrawFlaecheOverlay() { DrawFlaeche(gOverlay.GrenzeA, gOverlay.GrenzeB, gTerms.ParameterWerte[0]); }
void DrawWertepaareOverlay() { DrawDataPoints(gRegression.WertepaarSymbol); }
void DrawSummenOverlay() {
    const OverlayState& o = gOverlay;
    DrawOberUntersumme(o.AnzahlRechtecke, o.SummenAnzeigeart, o.GrenzeA, o.GrenzeB);
}
void DrawNewtonOverlay() { DrawNewtonTangents(gTerms.ParameterWerte[0], gOverlay.Startwert); }

// The objects stand on the graph of f at the start of its t range.
void DrawTangenteObject(const tElement& e) { DrawTangente(e.LinienFarbe, gParams.FgTVon, e.x1); }
void DrawNormaleObject(const tElement& e) { DrawNormale(e.LinienFarbe, gParams.FgTVon, e.x1); }
void DrawSenkrechteObject(const tElement& e) { DrawSenkrechte(e.LinienFarbe, e.x1); }
void DrawWaagrechteObject(const tElement& e) { DrawWaagrechte(e.LinienFarbe, gParams.FgTVon, e.x1); }
void DrawPunkt1Object(const tElement& e) { DrawPointMarker(1, e.LinienFarbe, gParams.FgTVon, e.x1); }
void DrawPunkt2Object(const tElement& e) { DrawPointMarker(2, e.LinienFarbe, gParams.FgTVon, e.x1); }

GraphDrawers MakeDrawers() {
    GraphDrawers d;
    auto range = [&d](int from, int to, SlotDrawer drawer) {
        for (int i = from; i <= to; ++i) d.slotDrawers[static_cast<size_t>(i)] = drawer;
    };
    range(1, 4, DrawSlotF);
    range(5, 5, DrawSlotIntegral);
    range(6, 6, DrawSlotDirectionField);
    range(7, 7, DrawSlotInverse);
    range(8, 11, DrawSlotG);
    range(12, 12, DrawSlotIntegral);
    range(13, 13, DrawSlotDirectionField);
    range(14, 14, DrawSlotInverse);
    range(15, 19, DrawSlotCombination);
    range(20, 21, DrawSlotComposition);
    range(22, 22, DrawSlotLinesU);
    range(23, 30, DrawSlotParametric);
    range(31, 34, DrawSlotPiecewise);
    d.flaeche = DrawFlaecheOverlay;
    d.wertepaare = DrawWertepaareOverlay;
    d.summen = DrawSummenOverlay;
    d.iteration = DrawIterationDiagram;
    d.attraktor = DrawBifurcationDiagram;
    d.newton = DrawNewtonOverlay;
    d.sonderpunkte = DrawSpecialPoints;
    d.objects = {DrawTangenteObject, DrawNormaleObject, DrawSenkrechteObject,
                 DrawWaagrechteObject, DrawPunkt1Object, DrawPunkt2Object};
    return d;
}

// Overlays and object drawers evaluate the main tree; it must hold f, not
// whatever slot was drawn last.
void CompileF() { ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true); }

void RunOverlay(OverlayDrawer drawer) {
    if (!drawer) return;
    CompileF();
    drawer();
}

// A printer or a picture for a file has as many times the screen's pixels to
// fill, and takes as many samples more: it gets as many times the work, so
// that what the screen shows whole prints whole (a printout costs some five
// times the screen's work). Half a minute at most: a picture beyond that was
// cut on the screen already.
double OutputWorkFactor() {
    const OutputContext& o = gOutput;
    // The print preview is redrawn as its fields change, and waits like the screen.
    if (o.DruckVorschau || (!o.PrintingActive && !o.MetafileActive)) return 1.0;
    const double pixels = std::fabs(o.AusgabefaktorX * o.AusgabefaktorY);
    const double density = std::fabs(o.SamplesPerPixel);
    const double factor = std::max(pixels, density);
    return std::isfinite(factor) ? std::clamp(factor, 1.0, 30.0) : 1.0;
}

bool gLastRedrawCut = false;

// Puts the current state back when a stored function set has borrowed it,
// also when a drawer throws.
class StateRestorer {
public:
    explicit StateRestorer(const ArchivEintrag& e) : e_(e) {}
    ~StateRestorer() { LoadGraphState(e_); }

private:
    const ArchivEintrag& e_;
};

void DrawSlots() {
    GraphDrawers& d = Drawers();
    for (int i = 1; i <= kGraphSlots && !WorkBudgetSpent(); ++i) {
        const Schaubild& s = gDisplay.Schaubilder[static_cast<size_t>(i)];
        SetPen(s.Linienfarbe, OutputPenWidth(std::clamp<int>(s.Linienart, 0, 3) + 1), PenStyle::Solid);
        gGraph.AktuelleLinienfarbe = s.Linienfarbe;
        gGraph.ListentermeZeichnen = i < 5;
        if (s.zeichnen && d.slotDrawers[static_cast<size_t>(i)]) d.slotDrawers[static_cast<size_t>(i)](i);
    }
}

void DrawAllFunctionSets() {
    ArchivEintrag current;
    StoreGraphState(current);
    StateRestorer restore(current);
    const int count = gFunktionenspeicher.Count();
    for (int k = 0; k <= count && !WorkBudgetSpent(); ++k) {
        if (k >= 1) {
            AddWork(kStoredSetCost);
            Host().FunktionstermeAusListe(k);
            // A stored set brings its own window, but the picture and its
            // transform are the current window's: every set is sampled there.
            gView.BereichX1 = current.x1;
            gView.BereichX2 = current.x2;
            gView.BereichY1 = current.y1;
            gView.BereichY2 = current.y2;
        }
        DrawSlots();
        LoadGraphState(current);
    }
}

void DrawTextObject(const tElement& e) {
    Canvas& c = Ausgabe();
    CanvasFont f;
    f.name = e.SchriftName;
    f.bold = e.Schriftart & kFontBold;
    f.italic = e.Schriftart & kFontItalic;
    f.underline = e.Schriftart & kFontUnderline;
    f.strikeOut = e.Schriftart & kFontStrikeOut;
    f.color = e.SchriftFarbe;
    const OutputContext& o = gOutput;
    if (o.PrintingActive && o.PrinterPixelsPerInchX > 0)
        f.size = ToDevice(e.SchriftHoehe * o.AusgabefaktorX / o.PrinterPixelsPerInchX * 330 * 0.39, 1.0);
    else
        f.size = ToDevice(e.SchriftHoehe, o.AusgabefaktorY);
    c.SetFont(f);
    c.SetBrushStyle(BrushStyle::Clear);
    BoxedText(e.Text.str(), e.x1, e.y1);
}

}  // namespace

bool LastRedrawCut() { return gLastRedrawCut; }

std::string CutPictureText(std::string_view done) {
    return "Die Grafik wurde nicht vollst\xC3\xA4ndig " + std::string(done) + " (zu viel Rechenaufwand).";
}

GraphDrawers& Drawers() {
    static GraphDrawers drawers = MakeDrawers();
    return drawers;
}

void DrawObjectList() {
    Canvas& c = Ausgabe();
    const CanvasFont graphFont = c.Font();
    const ParameterState& p = gParams;
    const int count = gGrafikobjektliste.Count();
    // Inside the redraw's budget like everything else it draws: a list of
    // tens of thousands of text objects takes seconds.
    for (int i = 1; i <= count && !WorkBudgetSpent(); ++i) {
        tElement e;
        gGrafikobjektliste.Get(i, e);
        gOverlay.ObjektM = e.mflag;
        gOverlay.ObjektF1 = e.f1flag;
        if (e.f1flag) {
            SetPen(kRed, 1, PenStyle::Solid);
            // The plotter takes its colour from the graph colour, which the
            // objects before may have set to theirs.
            gGraph.AktuelleLinienfarbe = kRed;
            DrawFunctionGraph(gTerms.TermF.str(), 1, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
            SetPen(kBlack, 1, PenStyle::Solid);
        }
        if (e.Art == TDrawingTool::Textfeld) {
            DrawTextObject(e);
            continue;
        }
        const auto kind = static_cast<size_t>(e.Art);
        if (kind < Drawers().objects.size() && Drawers().objects[kind]) {
            CompileF();
            Drawers().objects[kind](e);
        }
    }
    c.SetFont(graphFont);
    c.SetBrushStyle(BrushStyle::Solid);
}

void ClearDrawingObjects() {
    while (!gGrafikobjektliste.Empty()) gGrafikobjektliste.Delete(1);
    GrafikZeichnen(true);
}

void GrafikZeichnen(bool clearFirst) {
    // The progress dialog of a printout or an export lets events run in the
    // middle of its drawing; a redraw they started would draw on the
    // output's canvas with half its state. Whoever asked draws once it is done.
    static int drawing = 0;
    if (drawing > 0 && InsideWorkProgress()) return;
    ++drawing;
    struct Leave {
        ~Leave() { --drawing; }
    } leave;
    // A term with a syntax error must not open a message box from inside a
    // paint, which would only cause the next paint.
    QuietParsing quiet;
    OutputContext& o = gOutput;
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    Canvas& c = Ausgabe();
    WorkBudget budget(kRedrawSeconds * OutputWorkFactor());
    // Whatever way the redraw ends, its caller learns whether it was whole.
    struct CutReport {
        const WorkBudget& budget;
        ~CutReport() { gLastRedrawCut = budget.Cut(); }
    } report{budget};

    // Printers and metafiles come with a label font their caller has scaled.
    if (!o.PrintingActive && !o.MetafileActive) c.SetFontSize(gDisplay.Schriftgroesse);
    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
    SetupAxes(k);
    if (clearFirst) Host().ClearGraph();
    // A plot under two pixels (a hidden or tiny window) has no room for a
    // graph, and its transform would make every sampler step by nothing.
    if (o.PlotRight - o.PlotLeft < 2 || o.PlotBottom - o.PlotTop < 2) {
        c.Flush();
        return;
    }

    DrawKoordinatensystem(o.PixelOriginX, o.PixelOriginY, o.PixelsPerUnitX, o.PixelsPerUnitY);
    GraphDrawers& d = Drawers();
    if (gOverlay.FlaecheZeichnen) RunOverlay(d.flaeche);
    c.SetBrushColor(kWhite);
    if (gRegression.WertepaareZeichnen) RunOverlay(d.wertepaare);
    Host().SummenAnzeige(gOverlay.SummenZeichnen);
    if (gOverlay.SummenZeichnen) RunOverlay(d.summen);

    const IterationState& it = gIteration;
    if (it.IterPfadAnzeige || it.FolgeAnzeige) RunOverlay(d.iteration);
    if (it.AttraktorAnzeige) RunOverlay(d.attraktor);
    if (!it.IterPfadAnzeige && !it.FolgeAnzeige && !it.AttraktorAnzeige) {
        DrawAllFunctionSets();
        if (gOverlay.NewtonZeichnen) RunOverlay(d.newton);
        if (gDiscussion.SonderpunkteZeichnen || gDiscussion.SonderpunkteBeschriften) {
            ParseTerm(FunktionTermbaum, gDiscussion.DiskussionMitG ? gTerms.TermG.str() : gTerms.TermF.str(), true);
            const ViewWindowState& v = gView;
            // Marks from a search that was cut would pass for all there are.
            WorkBudget search(kRedrawSeconds);
            Host().SonderpunkteBerechnen(v.BereichX1, v.BereichX2, std::fabs(v.BereichX2 - v.BereichX1) / 500,
                                         gTerms.ParameterWerte[0]);
            if (d.sonderpunkte && !search.Cut()) d.sonderpunkte();
        }
    }

    DrawObjectList();
    SetPen(static_cast<Color>(k.Achsenfarbe), (std::clamp(k.Achsendicke, 0, 9) + 1) * gGraph.StiftEinheit,
           PenStyle::Solid);
    if (gGraph.FrameLayout) ScaledRectangle(o.PlotLeft, o.PlotTop, o.PlotRight, o.PlotBottom);
    if (gDisplay.Rahmen) ScaledRectangle(0, 0, o.PlotWidthPx, o.PlotHeightPx);
    c.Flush();
}

}  // namespace kalvo
