// Renders the redraw of a prepared state offscreen into a PNG, for looking
// at pictures: render_graph <scene> <size> <file.png> [frame] [grid=N] [print]
// Scenes: ableitungen, schar, logx, logy, pix, hyperbel, wurzel, tan, summe, liste.

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstring>
#include <string>

#include "analysis_state.h"
#include "canvas_qpainter.h"
#include "graph_state.h"
#include "output_redirection.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"

using namespace kalvo;

namespace {

void Slot(int i, Color c, int art = 0) {
    gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{c, static_cast<uint8_t>(art), true};
}

bool Scene(const std::string& name) {
    gDisplay.Schaubilder = SchaubildTabelle{};
    if (name == "ableitungen") {
        gTerms.TermF = "x^2";
        Slot(1, 0x000000, 1);
        Slot(2, 0x0000FF);
        Slot(3, 0xFF0000);
        Slot(4, 0x008000);
    } else if (name == "schar") {
        gTerms.TermF = "sin(t*x)";
        gParams.FgTVon = 1;
        gParams.FgTBis = 3;
        gParams.FgTSchrittweite = 0.5;
        gView.BereichY1 = -2;
        gView.BereichY2 = 2;
        Slot(1, 0, 1);
    } else if (name == "logx") {
        gTerms.TermF = "lg(x)";
        gTerms.TermG = "sqrt(x)";
        gDisplay.Koordinatensystem.xSkalierung = 1;
        gView.BereichX1 = 0.01;
        gView.BereichX2 = 1000;
        gView.BereichY1 = -3;
        gView.BereichY2 = 4;
        Slot(1, 0x0000FF, 1);
        Slot(8, 0xFF0000, 1);
    } else if (name == "logy") {
        gTerms.TermF = "exp(x)";
        gDisplay.Koordinatensystem.ySkalierung = 1;
        gView.BereichX1 = -2;
        gView.BereichX2 = 10;
        gView.BereichY1 = 0.1;
        gView.BereichY2 = 10000;
        Slot(1, 0x0000FF, 1);
    } else if (name == "pix") {
        gTerms.TermF = "sin(x)";
        gDisplay.Koordinatensystem.xSkalierung = 2;
        gView.BereichY1 = -2;
        gView.BereichY2 = 2;
        Slot(1, 0x0000FF, 1);
    } else if (name == "hyperbel") {
        gTerms.TermF = "1/x";
        Slot(1, 0x0000FF, 1);
    } else if (name == "wurzel") {
        gTerms.TermF = "sqrt(x)";
        Slot(1, 0x0000FF, 1);
    } else if (name == "tan") {
        gTerms.TermF = "tan(x)";
        Slot(1, 0x0000FF, 1);
    } else if (name == "summe") {
        gTerms.TermF = "sin(n*x)/n";
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = 50;
        gView.BereichY1 = -2;
        gView.BereichY2 = 2;
        Slot(1, 0x0000FF);
    } else if (name == "liste") {
        gTerms.TermF = "x^2";
        for (size_t i = 1; i <= kListTerms; ++i) gTerms.Listenterme[i] = "x^2+" + std::to_string(i);
        gView.BereichY1 = -2;
        gView.BereichY2 = 14;
        Slot(1, 0x800000);
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "render_graph <scene> <size> <file.png> [frame] [grid=N] [print]\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    if (!Scene(argv[1])) {
        std::fprintf(stderr, "unknown scene %s\n", argv[1]);
        return 2;
    }
    bool print = false;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "frame")) gDisplay.Koordinatensystem.Art = 1;
        if (!std::strncmp(argv[i], "grid=", 5)) gDisplay.Koordinatensystem.Gitter = static_cast<uint8_t>(std::atoi(argv[i] + 5));
        if (!std::strcmp(argv[i], "print")) print = true;
    }
    const int size = std::max(16, std::atoi(argv[2]));
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainterCanvas canvas(&image);
        if (print) {
            // A picture three times the size of a 600-pixel screen graph, as for a metafile.
            OutputTarget target;
            target.canvas = &canvas;
            target.faktorX = target.faktorY = size / 600.0;
            target.samplesPerPixel = 3;
            target.plotWidthPx = target.plotHeightPx = 599;
            target.metafile = true;
            gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
            CanvasFont f;
            f.name = gDisplay.Schriftname;
            f.size = static_cast<int>(gDisplay.Schriftgroesse * target.faktorY * 1.1 + 0.5);
            canvas.SetFont(f);
            OutputRedirection redirect(target);
            GrafikZeichnen(true);
        } else {
            gOutput.AusgabeCanvas = &canvas;
            gOutput.PlotWidthPx = gOutput.PlotHeightPx = size - 1;
            GrafikZeichnen(true);
        }
        canvas.End();
    }
    if (!image.save(QString::fromLocal8Bit(argv[3]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
