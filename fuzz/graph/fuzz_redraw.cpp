// Any bytes as kalvo.INI and as a function archive, with the analysis
// overlays the last byte switches on, then the whole graph drawn at a small
// size: no crash, no undefined behaviour, and whatever the files hold the
// redraw stops at its work budget.
//
// The redraw keeps a budget opened around it. A twentieth of its own lets the
// fuzzer run many inputs a second. The budget's wall clock runs too, so a
// drawing path that neither counts its work nor looks at the budget shows as
// an input that takes longer than a few seconds, which fails the run.
//
// The settings file runs up to the first form feed, the archive follows it.

#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "analysis_state.h"
#include "archive_file.h"
#include "canvas_qpainter.h"
#include "curve_discussion.h"
#include "curves.h"
#include "graph_host.h"
#include "graph_state.h"
#include "ini_file.h"
#include "integration.h"
#include "program_state.h"
#include "redraw.h"
#include "settings_file.h"
#include "term.h"

namespace {

using namespace kalvo;

constexpr int kWidth = 160, kHeight = 120;
constexpr double kBudgetSeconds = kRedrawSeconds / 20;
// What a single input may take at most, sanitizers and all: the budget
// stops everything long before.
constexpr double kMostSeconds = 3.0;

// The special points are searched above the graph engine, as the main window does.
struct SearchingHost : GraphHost {
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        KurvendiskussionBerechnen(a, b, step, t);
    }
} gHost;

// Bit by bit of the last byte: sums (with many strips), area, Newton,
// special points, data points, and one of the three iteration pictures.
void SwitchOverlays(uint8_t bits) {
    OverlayState& o = gOverlay;
    o.SummenZeichnen = bits & 1;
    o.AnzahlRechtecke = bits & 2 ? kMaxRechtecke : 64;
    o.SummenAnzeigeart = 1 + (bits >> 5) % 5;
    o.FlaecheZeichnen = bits & 4;
    o.NewtonZeichnen = bits & 8;
    o.GrenzeA = gView.BereichX1;
    o.GrenzeB = gView.BereichX2;
    gDiscussion.SonderpunkteZeichnen = bits & 16;
    IterationState& it = gIteration;
    switch (bits >> 6) {
        case 1: it.IterPfadAnzeige = it.IterPfadAktiv = true; break;
        case 2: it.FolgeAnzeige = true; break;
        case 3:
            it.AttraktorAnzeige = true;
            it.VorIterationen = it.NachIterationen = 200;
            break;
        default: break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QGuiApplication(*argc, *argv);
    SetGraphHost(&gHost);
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
    if (size > 0) SwitchOverlays(data[size - 1]);

    static QImage image(kWidth, kHeight, QImage::Format_RGB32);
    {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        gOutput.PlotWidthPx = kWidth - 1;
        gOutput.PlotHeightPx = kHeight - 1;
        const auto start = std::chrono::steady_clock::now();
        {
            WorkBudget budget(kBudgetSeconds);
            GrafikZeichnen(true);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (seconds > kMostSeconds) {
            std::fprintf(stderr, "one redraw took %.1f s, beyond its budget\n", seconds);
            std::abort();
        }
        canvas.End();
        gOutput.AusgabeCanvas = nullptr;
    }
    gFunktionenspeicher.Init();
    return 0;
}
