// The redraw against its two parts: the evaluations it makes and the
// polylines it draws. For each picture and size three timings run:
//   Redraw - GrafikZeichnen into a QImage,
//   Eval   - the same term evaluations alone, through the evaluator,
//   Draw   - the same records (curves, axes, grid, labels, clips) drawn by
//            plain QPainter,
// and the summary prints redraw / (eval + draw), medians of repeated runs.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "canvas_qpainter.h"
#include "canvas_recording.h"
#include "bench_table.h"
#include "record_replay.h"
#include "analysis_state.h"
#include "curve_discussion.h"
#include "curves.h"
#include "graph_host.h"
#include "integration.h"
#include "derived_curves.h"
#include "function_set.h"
#include "object_lists.h"
#include "graph_state.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"
#include "view.h"

using namespace kalvo;
namespace bench = kalvo::bench;

namespace {

enum class Scene { Family, Sum, List, Derived };

const char* Name(Scene s) {
    switch (s) {
        case Scene::Family: return "family";
        case Scene::Sum: return "sum";
        case Scene::List: return "list";
        case Scene::Derived: return "derived";
    }
    return "";
}

// The grid with the curves derived from f and g: g and g', f+g and f(g).
void PrepareDerived() {
    gTerms.TermF = "sin(x)+x/4";
    gTerms.TermG = "x^2/8-1";
    gDisplay.Koordinatensystem.Gitter = 3;
    gDisplay.Schaubilder[8] = Schaubild{0xFF0000, 0, true};
    gDisplay.Schaubilder[9] = Schaubild{0x008000, 0, true};
    gDisplay.Schaubilder[15] = Schaubild{0x0000FF, 0, true};
    gDisplay.Schaubilder[20] = Schaubild{0xFF00FF, 0, true};
}

void Prepare(Scene scene, int size) {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    gDisplay.Schaubilder = SchaubildTabelle{};
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = size - 1;
    switch (scene) {
        case Scene::Family:
            // sin(t x) x in f, f', f'', f''' for t from -5 to 5 step 0.1
            gTerms.TermF = "sin(t*x)*x";
            gParams.FgTVon = -5;
            gParams.FgTBis = 5;
            gParams.FgTSchrittweite = 0.1;
            for (size_t i = 1; i <= 4; ++i) gDisplay.Schaubilder[i] = Schaubild{static_cast<Color>(0x40 * i), 0, true};
            break;
        case Scene::Sum:
            // the sum over n = 1..50 of sin(n x) / n
            gTerms.TermF = "sin(n*x)/n";
            gParams.FgSummeVon = 1;
            gParams.FgSummeBis = 50;
            gView.BereichY1 = -2;
            gView.BereichY2 = 2;
            gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
            break;
        case Scene::List:
            // x^2 and the eight terms of the function list
            gTerms.TermF = "x^2";
            for (size_t i = 1; i <= kListTerms; ++i) gTerms.Listenterme[i] = "x^2+" + std::to_string(i);
            gView.BereichY1 = -2;
            gView.BereichY2 = 14;
            gDisplay.Schaubilder[1] = Schaubild{0x800000, 0, true};
            break;
        case Scene::Derived: PrepareDerived(); break;
    }
}

// The budget's count against the clock, per nanosecond of the runs: about 1
// where the count is right for this machine. The clock decides in the
// program, so a scene above 1 is not cut before its time.
benchmark::Counter UnitsPerNanosecond(long long work) {
    return benchmark::Counter(static_cast<double>(work) * 1e-9, benchmark::Counter::kIsRate);
}

int EvaluationsPerSample(int order) { return order == 0 ? 1 : order == 2 ? 3 : 4; }

// The sample points of the redraw, evaluated by the evaluator alone.
// Returns the number of term evaluations.
long long EvaluateAlone(Scene scene) {
    SetupAxes(gDisplay.Koordinatensystem);
    const double x1 = gView.BereichX1, x2 = gView.BereichX2;
    const double dx = 1.0 / (gOutput.PixelsPerUnitX * gOutput.SamplesPerPixel);
    const long long last = static_cast<long long>(std::ceil((x2 - x1) / dx));
    long long evaluations = 0;
    double sink = 0;
    auto sweep = [&](int order, double t, double nStart, double nEnd) {
        for (long long k = 0; k <= last; ++k) {
            const double x = std::min(x1 + static_cast<double>(k) * dx, x2);
            if (nStart == nEnd)
                sink += EvalTermDerivative(FunktionTermbaum, order, x, 0, t, nStart);
            else
                sink += EvalFunktionSumN(order, x, t, nStart, nEnd, 1);
        }
        evaluations += (last + 1) * EvaluationsPerSample(order) * static_cast<long long>(nEnd - nStart + 1);
    };
    // g and g' as themselves; f+g and f(g) as the terms the redraw compiles.
    auto derived = [&] {
        ParseTerm(FunktionTermbaum, gTerms.TermG.str(), true);
        sweep(0, 0, 0, 0);
        sweep(1, 0, 0, 0);
        ParseTerm(FunktionTermbaum, CombinedTermText(gTerms.TermF.str(), gTerms.TermG.str(), '+'), true);
        sweep(0, 0, 0, 0);
        ParseTerm(FunktionTermbaum, ComposedTermText(gTerms.TermF.str(), gTerms.TermG.str()), true);
        sweep(0, 0, 0, 0);
    };
    switch (scene) {
        case Scene::Derived: derived(); break;
        case Scene::Family:
            ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
            for (int order = 0; order <= 3; ++order)
                for (int j = 0; j <= 100; ++j) sweep(order, -5 + j * 0.1, 0, 0);
            break;
        case Scene::Sum:
            ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
            sweep(0, 0, 1, 50);
            break;
        case Scene::List:
            ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
            sweep(0, 0, 0, 0);
            for (size_t i = 1; i <= kListTerms; ++i) {
                ParseTerm(FunktionTermbaum, gTerms.Listenterme[i].str(), true);
                sweep(0, 0, 0, 0);
            }
            break;
    }
    benchmark::DoNotOptimize(sink);
    return evaluations;
}

// What the redraw draws, recorded once.
std::vector<CanvasRecord> Record(Scene scene, int size) {
    Prepare(scene, size);
    RecordingCanvas recorder;
    gOutput.AusgabeCanvas = &recorder;
    GrafikZeichnen(true);
    gOutput.AusgabeCanvas = nullptr;
    return recorder.Records();
}

void BM_Redraw(benchmark::State& state, Scene scene, int size) {
    Prepare(scene, size);
    QImage image(size, size, QImage::Format_RGB32);
    long long work = 0;
    for (auto _ : state) {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        const long long before = WorkDone();
        GrafikZeichnen(true);
        canvas.End();
        work += WorkDone() - before;
        gOutput.AusgabeCanvas = nullptr;
    }
    // These pictures are drawn whole.
    state.counters["cut"] = LastRedrawCut() ? 1 : 0;
    state.counters["units/ns"] = UnitsPerNanosecond(work);
}

void BM_Eval(benchmark::State& state, Scene scene, int size) {
    Prepare(scene, size);
    long long evaluations = 0;
    for (auto _ : state) evaluations += EvaluateAlone(scene);
    state.counters["evals/s"] = benchmark::Counter(static_cast<double>(evaluations), benchmark::Counter::kIsRate);
    state.counters["evals"] = static_cast<double>(evaluations / std::max<long long>(1, state.iterations()));
}

void BM_Draw(benchmark::State& state, Scene scene, int size) {
    const std::vector<CanvasRecord> records = Record(scene, size);
    QImage image(size, size, QImage::Format_RGB32);
    size_t points = 0;
    for (const CanvasRecord& r : records) points += r.points.size();
    for (auto _ : state) {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setRenderHint(QPainter::TextAntialiasing, false);
        bench::ReplayRecords(p, records);
    }
    state.counters["records"] = static_cast<double>(records.size());
    state.counters["points"] = static_cast<double>(points);
}

constexpr Scene kScenes[] = {Scene::Family, Scene::Sum, Scene::List, Scene::Derived};
constexpr int kSizes[] = {600, 2000};

// The heaviest states a settings file or an archive can hold, drawn at a
// desktop size: every one of the 34 slots on with the widest pen, families
// of the most members the dialog allows for f, g and h with the parameter
// list on top, the function list, the parametric curve at its finest step,
// and then what makes each case worst.
enum class Worst { CheapTerms, CostlyTerms, LongSums, StoredSets, CostlyCurvesOnly };

constexpr Worst kWorst[] = {Worst::CheapTerms, Worst::CostlyTerms, Worst::LongSums, Worst::StoredSets,
                            Worst::CostlyCurvesOnly};

const char* Name(Worst w) {
    switch (w) {
        case Worst::CheapTerms: return "cheap-terms";
        case Worst::CostlyTerms: return "costly-terms";
        case Worst::LongSums: return "long-sums";
        case Worst::StoredSets: return "stored-sets";
        case Worst::CostlyCurvesOnly: return "costly-curves-only";
    }
    return "";
}

// blanc(blanc(...(inner)...)) as long as a term of `chars` characters allows:
// one of the costliest functions nested as deep as the field takes it.
std::string Nested(const std::string& inner, size_t chars) {
    std::string s = inner;
    while (s.size() + 7 <= chars) s = "blanc(" + s + ")";
    return s;
}

constexpr int kWorstWidth = 1600, kWorstHeight = 1000;

void PrepareWorst(Worst w) {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    gOutput.PlotWidthPx = kWorstWidth - 1;
    gOutput.PlotHeightPx = kWorstHeight - 1;
    for (size_t i = 1; i <= kGraphSlots; ++i) gDisplay.Schaubilder[i] = Schaubild{static_cast<Color>(0x3030 * i), 3, true};
    gDisplay.FarbspektrumParameter = true;
    gTerms.ParameterAusListe = true;
    gTerms.ParameterWerte = {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 10};
    gTerms.ParameterWerte2 = gTerms.ParameterWerte;
    // 250 members from -2 to 2.
    gParams.FgTVon = gParams.HTVon = -2;
    gParams.FgTBis = gParams.HTBis = 2;
    gParams.FgTSchrittweite = gParams.HTSchrittweite = 4.0 / (kMaxFamilyMembers - 1);
    gParams.ParamkurveTVon = -1e6;
    gParams.ParamkurveTBis = 1e6;
    gParams.ParamkurveTSchrittweite = 1e-9;
    gView.GeradeU1 = 1;
    gView.GeradeU2 = 2;
    gView.GeradeU3 = 3;
    gView.IntegralfunktionXo = -1e9;  // the integral functions walk from far outside
    const bool costly = w == Worst::CostlyTerms || w == Worst::CostlyCurvesOnly;
    // Only the parametric curve and its parts, at their finest step.
    if (w == Worst::CostlyCurvesOnly)
        for (size_t i = 1; i <= 22; ++i) gDisplay.Schaubilder[i].zeichnen = false;
    const std::string f = costly ? Nested("t*x+n", kTermChars) : "t*x+n";
    const std::string g = costly ? Nested("x-t", kTermChars) : "x-t";
    gTerms.TermF = f;
    gTerms.TermG = g;
    for (size_t i = 1; i <= kListTerms; ++i) gTerms.Listenterme[i] = costly ? Nested("t*x", kListTermChars) : "t*x^2+" + std::to_string(i);
    gTerms.TermH1 = gTerms.TermH2 = gTerms.TermH3 = gTerms.TermH4 = costly ? Nested("t+x", kTermChars) : "t+x";
    gTerms.TermXt = costly ? Nested("t", kTermChars) : "cos(t)";
    gTerms.TermYt = costly ? Nested("t/2", kTermChars) : "sin(t)";
    if (w == Worst::LongSums) {
        gTerms.TermF = "sin(n*x*t)/n";
        gTerms.TermG = "cos(n*x)/n^2";
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = kMaxSumTerms;
    }
    if (w == Worst::StoredSets) {
        ArchivEintrag e;
        StoreGraphState(e);
        gFunktionenspeicher.InsertFirst(std::vector<ArchivEintrag>(SpeicherListe::kMaxCount, e));
    }
}

void BM_WorstRedraw(benchmark::State& state, Worst w) {
    PrepareWorst(w);
    QImage image(kWorstWidth, kWorstHeight, QImage::Format_RGB32);
    bool cut = false;
    long long work = 0, allWork = 0;
    for (auto _ : state) {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        const long long before = WorkDone();
        GrafikZeichnen(true);
        work = WorkDone() - before;
        allWork += work;
        cut = LastRedrawCut();
        canvas.End();
        gOutput.AusgabeCanvas = nullptr;
    }
    state.counters["cut"] = cut ? 1 : 0;
    state.counters["work-units"] = static_cast<double>(work);
    state.counters["units/ns"] = UnitsPerNanosecond(allWork);
    gFunktionenspeicher.Init();
}

// Pictures that once froze the window, each against the plain drawing of
// the same curves (thin pen, no overlay, no grid): what the wide pen, the
// overlay or the grid adds, and whether the redraw's budget had to cut it.
struct HeavyScene {
    const char* name;
    int width, height;
    void (*prepare)(bool plain);
};

void HeavyBase(int width, int height) {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    gDisplay.Schaubilder = SchaubildTabelle{};
    gOutput.PlotWidthPx = width - 1;
    gOutput.PlotHeightPx = height - 1;
    gDisplay.FarbspektrumParameter = true;
}

void FamilyOf(const char* f, double from, double to, double step, bool plain) {
    gTerms.TermF = f;
    gParams.FgTVon = from;
    gParams.FgTBis = to;
    gParams.FgTSchrittweite = step;
    gDisplay.Schaubilder[1] = Schaubild{0xFF0000, static_cast<uint8_t>(plain ? 0 : 3), true};
}

// f = sum over n = 1..9999 of sin(n x) / n^2, with an overlay on it.
void LongSum() {
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
}

void Sums(int strips) {
    gOverlay.SummenZeichnen = true;
    gOverlay.AnzahlRechtecke = strips;
    gOverlay.SummenAnzeigeart = kObersumme;
    gOverlay.GrenzeA = -3;
    gOverlay.GrenzeB = 3;
}

std::string RaisedSine(int k) { return "sin(x)+" + std::to_string(k) + "/1000"; }
std::string Cubic(int k) { return "x^3/64+" + std::to_string(k) + "/2000"; }

// Set k of the store draws the curve term(k); plain: the current one alone.
void StoreOf(std::string (*term)(int k), bool plain) {
    gTerms.TermF = term(0);
    gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
    if (plain) return;
    ArchivEintrag e;
    StoreGraphState(e);
    std::vector<ArchivEintrag> sets(SpeicherListe::kMaxCount, e);
    for (int k = 1; k <= SpeicherListe::kMaxCount; ++k) sets[static_cast<size_t>(k - 1)].f = term(k);
    gFunktionenspeicher.InsertFirst(sets);
}

const HeavyScene kHeavy[] = {
    {"wide-pen-family-1000", 1000, 1000, [](bool plain) { FamilyOf("8*sin(1000*x)*t/2", -2, 2, 0.016, plain); }},
    {"wide-pen-family-1600", 1600, 1000, [](bool plain) { FamilyOf("8*sin(1000*x)*t/2", -2, 2, 0.016, plain); }},
    {"wide-pen-family-50", 1000, 1000, [](bool plain) { FamilyOf("t*sin(50*x)", -2, 2, 0.016, plain); }},
    {"sum-family", 1000, 1000, [](bool) {
         FamilyOf("sin(n*x)/n+t/(2*n^2)", -4, 4, 0.5, true);
         gParams.FgSummeVon = 1;
         gParams.FgSummeBis = 999;
     }},
    {"sum-10000-1600", 1600, 1000, [](bool) {
         gTerms.TermF = "sin(n*x)/n";
         gParams.FgSummeVon = 1;
         gParams.FgSummeBis = 10000;
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
     }},
    {"stored-sets-7500", 1000, 1000, [](bool plain) {
         gTerms.TermF = "x^2/4";
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
         if (plain) return;
         ArchivEintrag e;
         StoreGraphState(e);
         gFunktionenspeicher.InsertFirst(std::vector<ArchivEintrag>(SpeicherListe::kMaxCount, e));
     }},
    {"attractor-long-sum", 1000, 1000, [](bool plain) {
         LongSum();
         if (plain) return;
         gIteration.AttraktorAnzeige = true;
         gIteration.VorIterationen = gIteration.NachIterationen = 200;
     }},
    {"iteration-path-long-sum", 1000, 1000, [](bool plain) {
         LongSum();
         if (plain) return;
         gIteration.IterPfadAnzeige = gIteration.IterPfadAktiv = true;
     }},
    {"sequence-long-sum", 1000, 1000, [](bool plain) {
         LongSum();
         if (plain) return;
         gIteration.FolgeAnzeige = true;
     }},
    {"upper-sums-1024-long-sum", 1000, 1000, [](bool plain) { LongSum(); if (!plain) Sums(1024); }},
    {"upper-sums-100000-long-sum", 1000, 1000, [](bool plain) { LongSum(); if (!plain) Sums(kMaxRechtecke); }},
    {"special-points-long-sum", 1000, 1000, [](bool plain) {
         LongSum();
         gDiscussion.SonderpunkteZeichnen = !plain;
     }},
    // A full store, one thin curve in the window for each set: at the main
    // window's first size, at 1000 pixels, at 1600 and on a full screen.
    {"store-sines-7500-682", 682, 682, [](bool plain) { StoreOf(RaisedSine, plain); }},
    {"store-sines-7500-1000", 1000, 1000, [](bool plain) { StoreOf(RaisedSine, plain); }},
    {"store-cubics-7500-1600", 1600, 1000, [](bool plain) { StoreOf(Cubic, plain); }},
    {"store-cubics-7500-1920", 1920, 1050, [](bool plain) { StoreOf(Cubic, plain); }},
    {"text-objects-65535", 1000, 1000, [](bool plain) {
         gTerms.TermF = "x^2/4";
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
         if (plain) return;
         tElement text;
         text.Art = TDrawingTool::Textfeld;
         text.Text = "Beschriftung";
         text.SchriftName = "Arial";
         text.SchriftHoehe = 12;
         text.x1 = 100;
         text.y1 = 50;
         gGrafikobjektliste.InsertFirst(std::vector<tElement>(ElementListe::kMaxCount, text));
     }},
    {"dotted-grid-widest", 1000, 1000, [](bool plain) {
         gTerms.TermF = "x^2/4";
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
         if (plain) return;
         gDisplay.Koordinatensystem.Gitter = 1;
         gDisplay.Koordinatensystem.Gitterdicke = 9;
     }},
};

// The special points of the discussion are searched above the graph engine.
struct SearchingHost : GraphHost {
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        KurvendiskussionBerechnen(a, b, step, t);
    }
} gSearchingHost;

void BM_Heavy(benchmark::State& state, const HeavyScene* scene, bool plain) {
    HeavyBase(scene->width, scene->height);
    scene->prepare(plain);
    SetGraphHost(&gSearchingHost);
    QImage image(scene->width, scene->height, QImage::Format_RGB32);
    bool cut = false;
    long long work = 0;
    for (auto _ : state) {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        const long long before = WorkDone();
        GrafikZeichnen(true);
        canvas.End();
        work += WorkDone() - before;
        cut = LastRedrawCut();
        gOutput.AusgabeCanvas = nullptr;
    }
    SetGraphHost(nullptr);
    state.counters["cut"] = cut ? 1 : 0;
    state.counters["units/ns"] = UnitsPerNanosecond(work);
    gFunktionenspeicher.Init();
    gGrafikobjektliste.Init();
}

// Redraw against its parts, medians of the repetitions; each also a row of the table.
void Summary(const bench::MedianReporter& reporter) {
    std::printf("\nmedian of %d (CPU time)\n%-8s %6s %12s %12s %12s %8s %9s\n", bench::kRepetitions, "picture", "size",
                "redraw ms", "eval ms", "draw ms", "ratio", "units/ns");
    for (Scene s : kScenes) {
        for (int size : kSizes) {
            const std::string suffix = std::string("/") + Name(s) + "/" + std::to_string(size);
            const double redraw = reporter.Seconds("Redraw" + suffix) * 1e3, eval = reporter.Seconds("Eval" + suffix) * 1e3,
                         draw = reporter.Seconds("Draw" + suffix) * 1e3;
            if (redraw <= 0) continue;
            std::printf("%-8s %6d %12.2f %12.2f %12.2f %8.2f %9.2f\n", Name(s), size, redraw, eval, draw,
                        redraw / (eval + draw), reporter.Counter("Redraw" + suffix, "units/ns"));
            bench::TableRow(std::string("redraw ") + Name(s) + " " + std::to_string(size) + " px (vs evaluation + QPainter)",
                            redraw, eval + draw, "ms");
        }
    }
    std::printf("\nworst states, median CPU time\n%-28s %12s %9s %5s\n", "picture", "ms", "units/ns", "cut");
    for (Worst w : kWorst) {
        const std::string name = std::string("WorstRedraw/") + Name(w);
        const double ms = reporter.Seconds(name) * 1e3;
        if (ms <= 0) continue;
        std::printf("%-28s %12.1f %9.2f %5.0f\n", Name(w), ms, reporter.Counter(name, "units/ns"),
                    reporter.Counter(name, "cut"));
    }
    std::printf("\nheavy pictures, median wall time\n%-28s %12s %12s %8s %9s %5s\n", "picture", "ms", "plain ms", "ratio",
                "units/ns", "cut");
    for (const HeavyScene& h : kHeavy) {
        const std::string name = std::string("Heavy/") + h.name;
        const double ours = reporter.RealSeconds(name) * 1e3;
        const double plain = reporter.RealSeconds(std::string("HeavyPlain/") + h.name) * 1e3;
        if (ours <= 0 || plain <= 0) continue;
        std::printf("%-28s %12.1f %12.1f %8.2f %9.2f %5.0f\n", h.name, ours, plain, ours / plain,
                    reporter.Counter(name, "units/ns"), reporter.Counter(name, "cut"));
        bench::TableRow(std::string("redraw ") + h.name + " (vs the plain drawing)", ours, plain, "ms");
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    for (Scene s : kScenes) {
        for (int size : kSizes) {
            const std::string suffix = std::string("/") + Name(s) + "/" + std::to_string(size);
            for (auto* b : {benchmark::RegisterBenchmark(("Redraw" + suffix).c_str(), BM_Redraw, s, size),
                            benchmark::RegisterBenchmark(("Eval" + suffix).c_str(), BM_Eval, s, size),
                            benchmark::RegisterBenchmark(("Draw" + suffix).c_str(), BM_Draw, s, size)})
                b->Unit(benchmark::kMillisecond)->MinTime(0.1)->Repetitions(bench::kRepetitions);
        }
    }
    for (Worst w : kWorst)
        benchmark::RegisterBenchmark((std::string("WorstRedraw/") + Name(w)).c_str(), BM_WorstRedraw, w)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3)
            ->Repetitions(3);
    for (const HeavyScene& h : kHeavy)
        for (bool plain : {false, true})
            benchmark::RegisterBenchmark((std::string(plain ? "HeavyPlain/" : "Heavy/") + h.name).c_str(), BM_Heavy, &h,
                                         plain)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime()
                ->Iterations(1)
                ->Repetitions(3);
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    Summary(reporter);
    benchmark::Shutdown();
    return 0;
}
