// Heavy pictures on paper and in files, through the program's own paths:
// the printout into a PDF file (PrintGraphPage), the EMF and WMF file at
// "Auflösung" 4 (SaveGraphPicture) and the word-processor document
// (GraphToWordDocument, with nothing to open it). Each is split into the
// part inside the output's cancellable work, where the progress dialog
// shows after a second and "Abbrechen" stops it, and what comes after the
// work (the messages, whatever is written last): the second part blocks the
// window without a dialog, so it must stay short. Wall times, medians of a
// few runs.
//
// Measured on the 8-core development machine (seconds under the dialog +
// seconds after it; a graph area of 682 pixels, a PDF printer of 1200 dpi):
//
//                                every sample (before)   thinned, printer thread
//   store-sines-7500 print-pdf       3.08 + 11.95             2.18 + 0.00
//   store-sines-7500 emf-4           1.26 +  0.33             1.06 + 0.00
//   store-sines-7500 wmf-4           1.21 +  0.22             1.17 + 0.00
//   store-sines-7500 document-4      1.32 +  1.90             1.20 + 0.03
//   store-noise-7500 print-pdf       3.42 + 12.46            13.14 + 0.00
//   store-noise-7500 emf-4           1.33 +  0.37             1.69 + 0.01
//   store-noise-7500 wmf-4           1.29 +  0.38             1.65 + 0.01
//   store-noise-7500 document-4      1.29 +  1.85             2.01 + 0.56
//   blanc-sum-9999 print-pdf        12.43 +  0.01            12.80 + 0.00
//
// The sines' curves hand a metafile at "Auflösung" 4 20.1 million points
// with every sample and 0.81 million thinned; the noisy ones 20.3 and 11.7
// million.

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "bench_table.h"
#include "canvas_qpainter.h"
#include "canvas_recording.h"
#include "curves.h"
#include "function_set.h"
#include "graph_export.h"
#include "graph_state.h"
#include "graphics_export.h"
#include "object_lists.h"
#include "output_redirection.h"
#include "print_dialog.h"
#include "printing.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"
#include "work_budget.h"

using namespace kalvo;
namespace bench = kalvo::bench;

namespace {

double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// When the output's cancellable part ended: the rest of the output runs
// without a dialog.
struct PhaseClock : WorkProgress {
    double finished = 0;
    bool Progress(const CancellableWork&, long long) override { return true; }
    void Finished(const CancellableWork&) override { finished = Seconds(); }
} gPhase;

struct Scene {
    const char* name;
    void (*prepare)();
};

std::string RaisedSine(int k) { return "sin(x)+" + std::to_string(k) + "/1000"; }

const Scene kScenes[] = {
    // A full store, one thin curve each, in the main window's first size.
    {"store-sines-7500", [] {
         gTerms.TermF = RaisedSine(0);
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
         ArchivEintrag e;
         StoreGraphState(e);
         std::vector<ArchivEintrag> sets(SpeicherListe::kMaxCount, e);
         for (int k = 1; k <= SpeicherListe::kMaxCount; ++k) sets[static_cast<size_t>(k - 1)].f = RaisedSine(k);
         gFunktionenspeicher.InsertFirst(sets);
     }},
    // The same store with curves that turn at every sample: nothing to
    // leave out of them.
    {"store-noise-7500", [] {
         gTerms.TermF = "sin(1000*x)";
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
         ArchivEintrag e;
         StoreGraphState(e);
         std::vector<ArchivEintrag> sets(SpeicherListe::kMaxCount, e);
         for (int k = 1; k <= SpeicherListe::kMaxCount; ++k)
             sets[static_cast<size_t>(k - 1)].f = "sin(1000*x)+" + std::to_string(k) + "/1000";
         gFunktionenspeicher.InsertFirst(sets);
     }},
    // One curve of a long sum of costly terms: noise at every sample.
    {"blanc-sum-9999", [] {
         gTerms.TermF = "blanc(n*x)/n^2";
         gParams.FgSummeVon = 1;
         gParams.FgSummeBis = 9999;
         gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 0, true};
     }},
};

constexpr int kGraphSize = 682;

void Prepare(const Scene& scene) {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    gFunktionenspeicher.Init();
    gDisplay.Schaubilder = SchaubildTabelle{};
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = kGraphSize - 1;
    scene.prepare();
    // The screen's redraw lays out the axes the printout takes its size from.
    QImage screen(kGraphSize, kGraphSize, QImage::Format_RGB32);
    QPainterCanvas canvas(&screen);
    gOutput.AusgabeCanvas = &canvas;
    GrafikZeichnen(true);
    canvas.End();
    gOutput.AusgabeCanvas = nullptr;
    gOutput.RandLinks = gOutput.RandOben = 1;
    gOutput.PrintScaleX = gOutput.PrintScaleY = 1;
    gDisplay.Aufloesung = 4;
}

enum class Output { Pdf, Emf, Wmf, Document };

const char* Name(Output o) {
    switch (o) {
        case Output::Pdf: return "print-pdf";
        case Output::Emf: return "emf-4";
        case Output::Wmf: return "wmf-4";
        case Output::Document: return "document-4";
    }
    return "";
}

// One output of the scene; the seconds of its two parts.
bool Run(Output output, const QString& dir, double& cancellable, double& after) {
    gPhase.finished = 0;
    const double start = Seconds();
    bool ok = false;
    switch (output) {
        case Output::Pdf: {
            const std::shared_ptr<PrintJob> job = NewPrintJob();
            if (!job) return false;
            job->SetPdfOutput(QDir(dir).filePath(QStringLiteral("grafik.pdf")));
            ok = PrintGraphPage(*job);
            break;
        }
        case Output::Emf:
        case Output::Wmf: {
            const std::string path =
                QDir(dir).filePath(output == Output::Emf ? QStringLiteral("bild.emf") : QStringLiteral("bild.wmf")).toStdString();
            ok = SaveGraphPicture(path).ok;
            break;
        }
        case Output::Document:
            LastPictureFilter() = 0;
            ok = GraphToWordDocument(dir.toStdString(), [](const std::string&) { return true; }).ok;
            break;
    }
    const double end = Seconds();
    cancellable = gPhase.finished - start;
    after = end - gPhase.finished;
    return ok;
}

void BM_Output(benchmark::State& state, const Scene* scene, Output output) {
    Prepare(*scene);
    QTemporaryDir dir;
    double cancellable = 0, after = 0;
    bool ok = true;
    for (auto _ : state) {
        ok = Run(output, dir.path(), cancellable, after) && ok;
        state.SetIterationTime(cancellable + after);
    }
    state.counters["ok"] = ok ? 1 : 0;
    state.counters["cut"] = LastRedrawCut() ? 1 : 0;
    state.counters["dialog_s"] = cancellable;
    state.counters["after_s"] = after;
    gFunktionenspeicher.Init();
}

constexpr Output kOutputs[] = {Output::Pdf, Output::Emf, Output::Wmf, Output::Document};

// The points the scene's curves hand a metafile at "Auflösung" 4 with every
// sample and with those its pixels can show.
std::pair<size_t, size_t> CurvePoints(const Scene& scene) {
    Prepare(scene);
    const GraphPictureLayout layout = *GraphPictureLayoutNow();
    size_t counts[2] = {};
    for (int thinned = 0; thinned < 2; ++thinned) {
        RecordingCanvas device;
        device.SetLineTolerance(thinned ? kVectorLineTolerance : 0);
        OutputTarget target;
        target.canvas = &device;
        target.faktorX = layout.faktorX;
        target.faktorY = layout.faktorY;
        target.samplesPerPixel = layout.faktorY;
        target.plotWidthPx = layout.plotWidthPx;
        target.plotHeightPx = layout.plotHeightPx;
        target.metafile = true;
        {
            OutputRedirection redirect(target);
            GrafikZeichnen(true);
        }
        for (const CanvasRecord& r : device.Records()) counts[thinned] += r.points.size();
    }
    gFunktionenspeicher.Init();
    return {counts[0], counts[1]};
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SetWorkProgress(&gPhase);
    for (const Scene& s : kScenes)
        for (Output o : kOutputs)
            benchmark::RegisterBenchmark((std::string("Output/") + s.name + "/" + Name(o)).c_str(), BM_Output, &s, o)
                ->Unit(benchmark::kMillisecond)
                ->UseManualTime()
                ->Iterations(1)
                ->Repetitions(3);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\npoints of the curves in a metafile at Aufl\u00F6sung 4\n%-20s %12s %12s\n", "scene", "all", "kept");
    for (const Scene& s : kScenes) {
        const auto [all, kept] = CurvePoints(s);
        std::printf("%-20s %12zu %12zu\n", s.name, all, kept);
    }
    std::printf("\nmedian of 3, wall time\n%-36s %12s %12s %5s\n", "output", "dialog s", "after s", "cut");
    for (const Scene& s : kScenes)
        for (Output o : kOutputs) {
            const std::string name = std::string("Output/") + s.name + "/" + Name(o);
            std::printf("%-36s %12.2f %12.2f %5.0f\n", (std::string(s.name) + " " + Name(o)).c_str(),
                        reporter.Counter(name, "dialog_s"), reporter.Counter(name, "after_s"),
                        reporter.Counter(name, "cut"));
        }
    benchmark::Shutdown();
    return 0;
}
