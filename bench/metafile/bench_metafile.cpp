// The graph's own metafile export against drawing the same picture into an
// image: the export records the central redraw into the metafile recorder
// and writes the EMF bytes; the yardstick runs the same redraw, at the same
// size, output factors and sampling density, into a QImage. Four pictures:
// one curve; ten curves (f, g, their derivatives, f + g and f * g) over the
// solid grid; a family of 20 curves; one curve over the dotted grid, whose
// dots a metafile has to carry one by one.
// Besides, a 3D-sized picture (20,000 filled polygons) recorded as a
// metafile, against drawing it with QPainter into a QImage and into
// QSvgGenerator. Figures are medians of repeated runs.

#include "metafile_recorder.h"
#include "scenes.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench_table.h"
#include "canvas_qpainter.h"
#include "graph_export.h"
#include "graph_state.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"

namespace {

using namespace kalvo;
namespace bench = kalvo::bench;
using kalvo::test::DrawPolygonScene;
using kalvo::test::kPolygonSceneHeight;
using kalvo::test::kPolygonSceneWidth;

// ------------------------------------------------------------ graph pictures

enum class Picture { OneCurve, TenCurves, Family20, DottedGrid };

const char* Name(Picture p) {
    switch (p) {
        case Picture::OneCurve: return "one curve";
        case Picture::TenCurves: return "ten curves with derivatives and grid";
        case Picture::Family20: return "family of 20";
        case Picture::DottedGrid: return "one curve over the dotted grid";
    }
    return "";
}

// The state of a graph area of 600 x 600 pixels showing the picture.
void Prepare(Picture picture) {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    gDisplay.Schaubilder = SchaubildTabelle{};
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
    switch (picture) {
        case Picture::OneCurve:
            gTerms.TermF = "sin(x)*x/2";
            gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};
            break;
        case Picture::TenCurves:
            gTerms.TermF = "x^3/20-x";
            gTerms.TermG = "sin(x)+1";
            gDisplay.Koordinatensystem.Gitter = 3;
            for (size_t slot : {1, 2, 3, 4, 8, 9, 10, 11, 15, 17})
                gDisplay.Schaubilder[slot] = Schaubild{static_cast<Color>(0x102030 * slot & 0xFFFFFF), 0, true};
            break;
        case Picture::Family20:
            gTerms.TermF = "sin(t*x)/t";
            gParams.FgTVon = 1;
            gParams.FgTBis = 20;
            gParams.FgTSchrittweite = 1;
            gView.BereichY1 = -2;
            gView.BereichY2 = 2;
            gDisplay.Schaubilder[1] = Schaubild{0x800000, 0, true};
            break;
        case Picture::DottedGrid:
            gTerms.TermF = "sin(x)*x/2";
            gDisplay.Koordinatensystem.Gitter = 1;
            gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};
            break;
    }
}

void BM_GraphExport(benchmark::State& state, Picture picture) {
    Prepare(picture);
    size_t bytes = 0;
    for (auto _ : state) {
        const auto recorded = RecordGraphPicture(kPictureFontFactorFile);
        bytes = recorded ? recorded->toEmf().size() : 0;
    }
    state.counters["emf_kB"] = static_cast<double>(bytes) / 1024;
    const auto recorded = RecordGraphPicture(kPictureFontFactorFile);
    state.counters["wmf_kB"] = recorded ? static_cast<double>(recorded->toWmf().size()) / 1024 : 0;
}

// The export's redraw into an image: the size, factors, density and font of
// RecordGraphPicture, the image in place of the recorder.
void BM_GraphImage(benchmark::State& state, Picture picture) {
    Prepare(picture);
    const GraphPictureLayout layout = *GraphPictureLayoutNow();
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    for (auto _ : state) {
        DrawGraphPicture(&image, layout, kPictureFontFactorFile, nullptr);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["pixels"] = static_cast<double>(image.width()) * image.height();
}

// ------------------------------------------------------------ polygon scene

void Record(MetafileRecorder& recorder) {
    QPainter p(&recorder);
    DrawPolygonScene(p);
}

void BM_RecordOnly(benchmark::State& state) {
    for (auto _ : state) {
        MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
        Record(recorder);
        benchmark::DoNotOptimize(recorder.isEmpty());
    }
}

void BM_RecordAndWrite(benchmark::State& state, MetafileFormat format) {
    size_t bytes = 0;
    for (auto _ : state) {
        MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
        Record(recorder);
        bytes = recorder.toBytes(format).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_QImageRaster(benchmark::State& state) {
    for (auto _ : state) {
        QImage image(kPolygonSceneWidth, kPolygonSceneHeight, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        DrawPolygonScene(p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bytes"] = static_cast<double>(kPolygonSceneWidth) * kPolygonSceneHeight * 4;
}

void BM_QSvgGenerator(benchmark::State& state) {
    size_t bytes = 0;
    for (auto _ : state) {
        QByteArray svg;
        QBuffer buffer(&svg);
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(QSize(kPolygonSceneWidth, kPolygonSceneHeight));
        {
            QPainter p(&generator);
            DrawPolygonScene(p);
        }
        bytes = static_cast<size_t>(svg.size());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

constexpr Picture kPictures[] = {Picture::OneCurve, Picture::TenCurves, Picture::Family20, Picture::DottedGrid};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::vector<benchmark::internal::Benchmark*> all;
    for (Picture p : kPictures) {
        all.push_back(benchmark::RegisterBenchmark((std::string("GraphExport/") + Name(p)).c_str(), BM_GraphExport, p));
        all.push_back(benchmark::RegisterBenchmark((std::string("GraphImage/") + Name(p)).c_str(), BM_GraphImage, p));
    }
    all.push_back(benchmark::RegisterBenchmark("Polygons/RecordOnly", BM_RecordOnly));
    all.push_back(benchmark::RegisterBenchmark("Polygons/RecordAndWrite/Emf", BM_RecordAndWrite, MetafileFormat::Emf));
    all.push_back(benchmark::RegisterBenchmark("Polygons/RecordAndWrite/Wmf", BM_RecordAndWrite, MetafileFormat::Wmf));
    all.push_back(benchmark::RegisterBenchmark("Polygons/QImageRaster", BM_QImageRaster));
    all.push_back(benchmark::RegisterBenchmark("Polygons/QSvgGenerator", BM_QSvgGenerator));
    for (auto* b : all) b->Unit(benchmark::kMillisecond)->MinTime(0.1)->Repetitions(bench::kRepetitions);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\nmedian of %d (CPU time)\n%-40s %12s %12s %8s\n", bench::kRepetitions, "picture", "export ms", "image ms",
                "ratio");
    for (Picture p : kPictures) {
        const double ours = reporter.Seconds(std::string("GraphExport/") + Name(p)) * 1e3;
        const double image = reporter.Seconds(std::string("GraphImage/") + Name(p)) * 1e3;
        if (ours <= 0 || image <= 0) continue;
        std::printf("%-40s %12.2f %12.2f %8.2f\n", Name(p), ours, image, ours / image);
        bench::TableRow(std::string("metafile export, ") + Name(p) + " (vs the redraw into a QImage)", ours, image, "ms");
    }
    benchmark::Shutdown();
    return 0;
}
