// Any bytes as kalvo.INI and as a function archive, then the whole graph
// drawn at a small size: no crash, no undefined behaviour, and whatever the
// files hold the redraw stops at its budget, far inside libFuzzer's timeout.
//
// The redraw keeps a budget opened around it. A twentieth of its own lets the
// fuzzer run many inputs a second, and a drawing path that does not keep to
// the budget overshoots it at once instead of only when it hangs.
//
// The settings file runs up to the first form feed, the archive follows it.

#include <QGuiApplication>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "archive_file.h"
#include "canvas_qpainter.h"
#include "curves.h"
#include "graph_state.h"
#include "ini_file.h"
#include "program_state.h"
#include "redraw.h"
#include "settings_file.h"
#include "term.h"

namespace {

using namespace kalvo;

constexpr int kWidth = 160, kHeight = 120;
constexpr long long kBudget = kRedrawBudget / 20;
// The last sample the budget allowed: a value and its lines, or one column
// of a direction field.
constexpr long long kLastSample = 1'000'000;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t cut = bytes.find('\f');
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    IniFile settings;
    settings.Parse(bytes.substr(0, cut));
    ReadSettings(settings);
    if (cut != std::string_view::npos) {
        IniFile archive;
        archive.Parse(bytes.substr(cut + 1));
        if (LooksLikeArchive(archive)) ApplyArchive(ReadArchive(archive, ArchiveFromProgram(false)));
    }

    static QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        gOutput.PlotWidthPx = kWidth - 1;
        gOutput.PlotHeightPx = kHeight - 1;
        const auto work = [&canvas] { return TermWork() + static_cast<long long>(canvas.Operations()) * kDrawPointCost; };
        const long long before = work();
        {
            RedrawBudget budget(kBudget);
            GrafikZeichnen(true);
        }
        // Nothing is drawn beyond the budget but the last sample it allowed.
        if (work() - before > kBudget + kLastSample) std::abort();
        canvas.End();
        gOutput.AusgabeCanvas = nullptr;
    }
    gFunktionenspeicher.Init();
    return 0;
}
