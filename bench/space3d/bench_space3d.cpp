// One 3D picture of sin(x) cos(y) with a net of n x n cells, the back walls
// and scaled axes, in a 600 x 600 control:
//   Screen   - into the screen image (QImage),
//   Metafile - recorded at twice the size, and the EMF bytes written,
//   Engine   - the same drawing calls into a canvas that draws nothing
//              (projection, sorting and colouring alone),
// each for the plain drawer (quadrilaterals with outlines, spectrum by
// height) and the lit drawer (two triangles per cell).

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "grafik3d.h"
#include "metafile_recorder.h"

using namespace kalvo;

namespace {

enum class Ziel { Screen, Metafile, Engine };

TFlaeche Flaeche(int n) {
    TFlaeche f(n, n);
    for (int i = 0; i <= n; ++i)
        for (int j = 0; j <= n; ++j) {
            const double x = -3 + 6.0 * i / n, y = -3 + 6.0 * j / n;
            f.Make(i, j, x, y, std::sin(x) * std::cos(y));
        }
    return f;
}

void BM_Bild(benchmark::State& state, Ziel ziel, bool licht, int n) {
    const TFlaeche f = Flaeche(n);
    Grafik3DEngine g;
    g.Groesse(600, 600);
    g.SetYrot(60);
    g.DefiniereWeltkoordinaten(-3, -3, -1, 3, 3, 1);
    NullCanvas nichts;
    if (ziel == Ziel::Engine) {
        g.SetDrucker(&nichts, 1, 1);
        g.DefGrafikAusgabe(tAusgabe::Drucker);
    }
    size_t bytes = 0;
    for (auto _ : state) {
        if (ziel == Ziel::Metafile) g.DefGrafikAusgabe(tAusgabe::WMF);
        g.Grafik_loeschen(0xFFFFFF);
        g.KoordinatenBox2(1, 0);
        if (licht) g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC);
        else g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC, 0, 1, true, 3, 3);
        g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
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
    const std::pair<Ziel, const char*> ziele[] = {{Ziel::Screen, "Screen"}, {Ziel::Metafile, "Metafile"}, {Ziel::Engine, "Engine"}};
    for (int n : {60, 99})
        for (auto [ziel, name] : ziele)
            for (bool licht : {false, true}) {
                const std::string titel = std::string(name) + (licht ? "/lit/" : "/plain/") + std::to_string(n);
                benchmark::RegisterBenchmark(titel.c_str(), BM_Bild, ziel, licht, n)
                    ->Unit(benchmark::kMillisecond)
                    ->MinTime(0.3);
            }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
