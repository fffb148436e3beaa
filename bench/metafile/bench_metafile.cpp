// Recording a 3D-sized picture (20,000 filled polygons) as a metafile, against
// drawing the same with QPainter into a QImage and into QSvgGenerator.

#include "metafile_recorder.h"
#include "scenes.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

#include <benchmark/benchmark.h>

namespace {

using kalvo::test::DrawPolygonScene;
using kalvo::test::kPolygonSceneHeight;
using kalvo::test::kPolygonSceneWidth;

void Record(kalvo::MetafileRecorder& recorder) {
    QPainter p(&recorder);
    DrawPolygonScene(p);
}

void BM_RecordOnly(benchmark::State& state) {
    for (auto _ : state) {
        kalvo::MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
        Record(recorder);
        benchmark::DoNotOptimize(recorder.isEmpty());
    }
}
BENCHMARK(BM_RecordOnly)->Unit(benchmark::kMillisecond);

void BM_RecordAndWrite(benchmark::State& state, kalvo::MetafileFormat format) {
    size_t bytes = 0;
    for (auto _ : state) {
        kalvo::MetafileRecorder recorder(kPolygonSceneWidth, kPolygonSceneHeight);
        Record(recorder);
        bytes = recorder.toBytes(format).size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK_CAPTURE(BM_RecordAndWrite, Emf, kalvo::MetafileFormat::Emf)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RecordAndWrite, Wmf, kalvo::MetafileFormat::Wmf)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_QImageRaster)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_QSvgGenerator)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
