// Saving and loading function archives through the program's own file
// routines, for stores of growing size. The table compares the largest
// store with the smallest one scaled up: a ratio near 1 means the time
// grows with the number of sets and no faster.

#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "bench_table.h"

#include "archive_file.h"
#include "graph_state.h"
#include "message_sink.h"
#include "program_state.h"

namespace {

using namespace kalvo;

constexpr int kSmall = 1000;
constexpr int kLarge = SpeicherListe::kMaxCount;

// A set with every text and number filled in, as a user's sets are.
ArchivEintrag TypicalSet(int k) {
    ArchivEintrag e;
    for (int i = 1; i <= kGraphSlots; ++i)
        e.Schaubilder[i] = {static_cast<Color>(i * 4099 + k), static_cast<uint8_t>(i % 4), i % 3 == 0};
    e.a = 0.1 * k, e.b = -2.5, e.c = 1.0 / 3.0, e.d = 6.02214076e23;
    e.x1 = -10, e.x2 = 10, e.y1 = -0.5, e.y2 = 1e3;
    e.f = "sin(¶x)+" + std::to_string(k), e.g = "t*x^2-1";
    e.fgBereich = {-2, 3}, e.fgParameter = {-1, 1, 0.25};
    e.Liste = "1;2;3;", e.Wert = {1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 3};
    e.Summe = {1, 9, 2};
    for (int i = 1; i <= 4; ++i) {
        e.h[i] = "x^" + std::to_string(i);
        e.hBereich[i] = {-i * 1.0, i * 1.0};
    }
    e.xt = "cos(t)", e.yt = "sin(2t)", e.xytParameter = {-1, 2, 0.05};
    return e;
}

void FillStore(int sets) {
    ResetProgramState();
    ResetGraphState();
    for (int k = 1; k <= sets; ++k) gFunktionenspeicher.Insert(k, TypicalSet(k));
}

void BM_SaveArchive(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath("speicher.lib").toStdString();
    MessageRecorder messages;
    FillStore(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(SaveFunctionArchive(path));
    if (!messages.messages().empty()) state.SkipWithError(messages.messages().front().c_str());
}
BENCHMARK(BM_SaveArchive)->Arg(kSmall)->Arg(kLarge / 2)->Arg(kLarge)->Unit(benchmark::kMillisecond);

void BM_LoadArchive(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = QDir(dir.path()).filePath("speicher.lib").toStdString();
    MessageRecorder messages;
    const int sets = static_cast<int>(state.range(0));
    FillStore(sets);
    SaveFunctionArchive(path);
    for (auto _ : state) {
        state.PauseTiming();
        gFunktionenspeicher.Done();
        state.ResumeTiming();
        benchmark::DoNotOptimize(LoadFunctionArchive(path));
    }
    if (gFunktionenspeicher.Count() != sets) state.SkipWithError("the store did not get every set");
    if (!messages.messages().empty()) state.SkipWithError(messages.messages().front().c_str());
}
BENCHMARK(BM_LoadArchive)->Arg(kSmall)->Arg(kLarge / 2)->Arg(kLarge)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Every benchmark repeated, each repetition short; flags given on the
    // command line come after these and win.
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(kalvo::bench::kRepetitions);
    std::string minTime = "--benchmark_min_time=0.05";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, {repetitions.data(), minTime.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    kalvo::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double scale = static_cast<double>(kLarge) / kSmall;
    const std::string large = std::to_string(kLarge), small = std::to_string(kSmall);
    for (const char* op : {"Save", "Load"}) {
        const std::string name = std::string("BM_") + op + "Archive/";
        kalvo::bench::TableRow(std::string("archive ") + (op[0] == 'S' ? "save " : "load ") + large + " sets (vs " +
                                   small + " sets scaled up)",
                               reporter.Seconds(name + large) * 1e3, reporter.Seconds(name + small) * 1e3 * scale,
                               "ms");
    }
    benchmark::Shutdown();
    return 0;
}
