// One 3D picture of sin(x) cos(y) with a net of n x n cells, the back walls
// and scaled axes, in a 600 x 600 control:
//   Screen   - into the screen image (QImage),
//   Metafile - recorded at twice the size, and the EMF bytes written,
//   Engine   - the same drawing calls into a canvas that draws nothing
//              (projection, sorting and colouring alone),
//   Replay   - the polygons, lines and texts of the same picture, recorded
//              once, filled and drawn by plain QPainter into the image: what
//              any program has to pay for the picture,
// each for the plain drawer (quadrilaterals with outlines, spectrum by
// height) and the lit drawer (two triangles per cell). Figures are medians.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "bench_table.h"
#include "record_replay.h"
#include "canvas_qpainter.h"
#include "canvas_recording.h"
#include "grafik3d.h"
#include "metafile_recorder.h"

using namespace kalvo;
namespace bench = kalvo::bench;

namespace {

enum class Ziel { Screen, Metafile, Engine, Replay };

constexpr int kSeite = 600;

TFlaeche Flaeche(int n) {
    TFlaeche f(n, n);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double x = -3 + 6.0 * i / n, y = -3 + 6.0 * j / n;
            f.Make(i, j, x, y, std::sin(x) * std::cos(y));
        }
    return f;
}

void Einrichten(Grafik3DEngine& g) {
    g.Groesse(kSeite, kSeite);
    g.SetYrot(60);
    g.DefiniereWeltkoordinaten(-3, -3, -1, 3, 3, 1);
}

void Zeichnen(Grafik3DEngine& g, const TFlaeche& f, bool licht) {
    g.Grafik_loeschen(0xFFFFFF);
    g.KoordinatenBox2(1, 0);
    if (licht)
        g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC);
    else
        g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC, 0, 1, true, 3, 3);
    g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
}

// What the picture draws, recorded once through the engine's printer target
// (output factor 1, so the same pixels as on the screen).
std::vector<CanvasRecord> Aufnehmen(const TFlaeche& f, bool licht) {
    Grafik3DEngine g;
    Einrichten(g);
    RecordingCanvas aufnahme;
    g.SetDrucker(&aufnahme, 1, 1);
    g.DefGrafikAusgabe(tAusgabe::Drucker);
    Zeichnen(g, f, licht);
    g.DefGrafikAusgabe(tAusgabe::Bildschirm);
    return aufnahme.Records();
}

void BM_Bild(benchmark::State& state, Ziel ziel, bool licht, int n) {
    const TFlaeche f = Flaeche(n);
    if (ziel == Ziel::Replay) {
        const std::vector<CanvasRecord> records = Aufnehmen(f, licht);
        QImage bild(kSeite, kSeite, QImage::Format_RGB32);
        size_t polygone = 0;
        for (const CanvasRecord& r : records) polygone += r.kind == CanvasRecord::Kind::Polygon;
        for (auto _ : state) {
            bild.fill(Qt::white);
            QPainter p(&bild);
            bench::ReplayRecords(p, records);
            p.end();
            benchmark::DoNotOptimize(bild.constBits());
        }
        state.counters["polygons"] = static_cast<double>(polygone);
        return;
    }
    Grafik3DEngine g;
    Einrichten(g);
    NullCanvas nichts;
    if (ziel == Ziel::Engine) {
        g.SetDrucker(&nichts, 1, 1);
        g.DefGrafikAusgabe(tAusgabe::Drucker);
    }
    size_t bytes = 0;
    for (auto _ : state) {
        if (ziel == Ziel::Metafile) g.DefGrafikAusgabe(tAusgabe::WMF);
        Zeichnen(g, f, licht);
        if (ziel == Ziel::Metafile) {
            g.Ziel().Flush();
            bytes = g.Metafile()->toEmf().size();
        }
        if (ziel == Ziel::Screen) benchmark::DoNotOptimize(g.Bitmap().constBits());
    }
    state.counters["polygons"] = licht ? 2.0 * n * n : double(n) * n;
    if (bytes) state.counters["emf_kB"] = double(bytes) / 1024;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::pair<Ziel, const char*> ziele[] = {
        {Ziel::Screen, "Screen"}, {Ziel::Replay, "Replay"}, {Ziel::Metafile, "Metafile"}, {Ziel::Engine, "Engine"}};
    for (int n : {60, 99})
        for (auto [ziel, name] : ziele)
            for (bool licht : {false, true}) {
                const std::string titel = std::string(name) + (licht ? "/lit/" : "/plain/") + std::to_string(n);
                benchmark::RegisterBenchmark(titel.c_str(), BM_Bild, ziel, licht, n)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.1)
                    ->Repetitions(bench::kRepetitions);
            }
    benchmark::Initialize(&argc, argv);
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedian of %d (CPU time)\n%-12s %12s %12s %8s\n", bench::kRepetitions, "picture", "frame ms",
                "replay ms", "ratio");
    for (int n : {60, 99})
        for (const char* art : {"plain", "lit"}) {
            const std::string suffix = std::string("/") + art + "/" + std::to_string(n);
            const double frame = reporter.Seconds("Screen" + suffix) * 1e3, replay = reporter.Seconds("Replay" + suffix) * 1e3;
            if (frame <= 0 || replay <= 0) continue;
            std::printf("%-12s %12.2f %12.2f %8.2f\n", (art + std::string(" ") + std::to_string(n)).c_str(), frame, replay,
                        frame / replay);
        }
    bench::TableRow("3D lit 99 x 99 frame (vs QPainter filling its polygons)", reporter.Seconds("Screen/lit/99") * 1e3,
                    reporter.Seconds("Replay/lit/99") * 1e3, "ms");
    benchmark::Shutdown();
    return 0;
}
