// Renders the redraw of a prepared state offscreen into a PNG, for looking
// at pictures: render_graph <scene> <size> <file.png> [frame] [grid=N] [print]
// [font=NAME] [pt=N] [bold] [xtitle=TEXT] [ytitle=TEXT] [druck=FILE.pdf]
// With druck the graph is also printed into a PDF file as "Grafik drucken"
// prints it at its natural size.
// Scenes: potenzen, ableitungen, schar, logx, logy, pix, hyperbel, wurzel, tan, summe, liste,
// integral, integralwurzel, umkehr, quotient, geraden, lissajous, paramwurzel, stueckweise, obersumme,
// untersumme, oberunter, fehler, zwischen, flaeche, objekte, newton,
// sonderpunkte, pol, richtungsfeld, spinnweb, folge, attraktor, regression.

#include <QApplication>
#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "analysis_state.h"
#include "canvas_qpainter.h"
#include "graph_state.h"
#include "iteration.h"
#include "number_text.h"
#include "output_redirection.h"
#include "print_dialog.h"
#include "printing.h"
#include "program_state.h"
#include "object_lists.h"
#include "redraw.h"
#include "term.h"

using namespace kalvo;

namespace {

void Slot(int i, Color c, int art = 0) {
    gDisplay.Schaubilder[static_cast<size_t>(i)] = Schaubild{c, static_cast<uint8_t>(art), true};
}

bool Scene(const std::string& name) {
    gDisplay.Schaubilder = SchaubildTabelle{};
    if (name == "potenzen") {
        // Both axes carry a power of ten: 10^3 on x, 10^-4 on y.
        gTerms.TermF = "x^2/1e13";
        gView.BereichX1 = 0;
        gView.BereichX2 = 100000;
        gView.BereichY1 = 0;
        gView.BereichY2 = 0.001;
        gDisplay.Koordinatensystem.Beschriftung = 1;
        Slot(1, 0x0000FF, 1);
    } else if (name == "ableitungen") {
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
    } else if (name == "integral") {
        gTerms.TermF = "sin(x)";
        gView.IntegralfunktionXo = -2;
        gView.BereichY1 = -3;
        gView.BereichY2 = 3;
        Slot(1, 0x000000);
        Slot(5, 0x0000FF, 1);
    } else if (name == "integralwurzel") {
        gTerms.TermF = "sqrt(x^2-1)";
        gView.IntegralfunktionXo = 2;
        Slot(1, 0x000000);
        Slot(5, 0x0000FF, 1);
    } else if (name == "umkehr") {
        gTerms.TermF = "x^3";
        gView.BereichX1 = gView.BereichY1 = -3;
        gView.BereichX2 = gView.BereichY2 = 3;
        Slot(1, 0x000000);
        Slot(7, 0xFF0000, 1);
    } else if (name == "quotient") {
        gTerms.TermF = "x^2-1";
        gTerms.TermG = "x-2";
        Slot(1, 0x808080);
        Slot(8, 0x808080);
        Slot(18, 0x0000FF, 1);
        Slot(15, 0x008000);
    } else if (name == "geraden") {
        gTerms.TermF = "x^2/4";
        gView.GeradeU1 = 0;
        gView.GeradeU2 = -3;
        gView.GeradeU3 = 5.5;
        Slot(1, 0);
        Slot(22, 0xFF00FF, 1);
    } else if (name == "lissajous") {
        gTerms.TermXt = "4sin(2t)";
        gTerms.TermYt = "4cos(3t)";
        gParams.ParamkurveTSchrittweite = 0.005;
        Slot(23, 0x0000FF, 1);
        Slot(24, 0x008000);
        Slot(28, 0xC0C0C0);
    } else if (name == "paramwurzel") {
        gTerms.TermXt = "t";
        gTerms.TermYt = "sqrt(t^2-1)";
        gParams.ParamkurveTVon = -8;
        gParams.ParamkurveTBis = 8;
        Slot(23, 0x0000FF, 1);
    } else if (name == "stueckweise") {
        gTerms.TermH1 = "-x-2";
        gTerms.TermH2 = "x^2/2";
        gTerms.TermH3 = "2+t*sin(x)";
        gParams.HTVon = 0.5;
        gParams.HTBis = 1.5;
        gParams.HTSchrittweite = 0.5;
        gView.H1Von = -8;
        gView.H1Bis = -2;
        gView.H2Von = -2;
        gView.H2Bis = 2;
        gView.H3Von = 2;
        gView.H3Bis = 8;
        Slot(31, 0x0000FF, 1);
        Slot(32, 0x00A000);
    } else if (name == "obersumme" || name == "untersumme" || name == "oberunter" || name == "fehler" ||
               name == "zwischen") {
        gTerms.TermF = "x^2/4-1";
        gOverlay.SummenZeichnen = true;
        gOverlay.SummenAnzeigeart = name == "obersumme" ? 1 : name == "untersumme" ? 2 : name == "oberunter" ? 3
                                    : name == "fehler" ? 4 : 5;
        gOverlay.GrenzeA = -3;
        gOverlay.GrenzeB = 5;
        gOverlay.AnzahlRechtecke = 8;
        gView.BereichY1 = -4;
        gView.BereichY2 = 8;
        Slot(1, 0, 1);
    } else if (name == "flaeche") {
        gTerms.TermF = "4-x^2/2";
        gTerms.TermG = "x/2-1";
        gOverlay.FlaecheZeichnen = true;
        gOverlay.GrenzeA = -3.5;
        gOverlay.GrenzeB = 3;
        Slot(1, 0x0000FF, 1);
        Slot(8, 0xFF0000, 1);
    } else if (name == "objekte") {
        gTerms.TermF = "x^3/8-x";
        Slot(1, 0, 1);
        tElement e;
        e.Art = TDrawingTool::Tangente;
        e.x1 = 3;
        e.LinienFarbe = 0x0000FF;
        e.mflag = true;
        gGrafikobjektliste.Insert(1, e);
        e = tElement{};
        e.Art = TDrawingTool::Normale;
        e.x1 = -1;
        e.LinienFarbe = 0x008000;
        gGrafikobjektliste.Insert(2, e);
        e.Art = TDrawingTool::Punkt1;
        e.x1 = 1.5;
        e.LinienFarbe = 0xFF0000;
        gGrafikobjektliste.Insert(3, e);
        e.Art = TDrawingTool::Punkt2;
        e.x1 = -4;
        gGrafikobjektliste.Insert(4, e);
        e.Art = TDrawingTool::Waagrechte;
        e.x1 = -1.1547;
        e.LinienFarbe = 0x808000;
        gGrafikobjektliste.Insert(5, e);
        e.Art = TDrawingTool::Senkrechte;
        e.x1 = 5;
        e.LinienFarbe = 0x800080;
        gGrafikobjektliste.Insert(6, e);
        e.Art = TDrawingTool::Tangente;
        e.x1 = -2.5;
        e.mflag = false;
        e.f1flag = true;
        e.LinienFarbe = 0x0080FF;
        gGrafikobjektliste.Insert(7, e);
    } else if (name == "newton") {
        gTerms.TermF = "x^3/4-x-2";
        gOverlay.NewtonZeichnen = true;
        gOverlay.Startwert = 5;
        Slot(1, 0, 1);
    } else if (name == "sonderpunkte") {
        gTerms.TermF = "x^3/4-3x";
        gDiscussion.SonderpunkteBeschriften = true;
        DiscussionResults& d = gDiscussion;
        d.AnzahlNullstellen = 3;
        d.NullstelleX[1] = -std::sqrt(12.0);
        d.NullstelleX[2] = 0;
        d.NullstelleX[3] = std::sqrt(12.0);
        d.AnzahlExtrema = 2;
        d.ExtremumX[1] = -2;
        d.ExtremumY[1] = 4;
        d.ExtremumArt[1] = 1;
        d.ExtremumX[2] = 2;
        d.ExtremumY[2] = -4;
        d.AnzahlWendepunkte = 1;
        Slot(1, 0x0000FF, 1);
    } else if (name == "pol") {
        gTerms.TermF = "x/2+1/(x-2)";
        gDiscussion.SonderpunkteBeschriften = true;
        DiscussionResults& d = gDiscussion;
        d.DiskussionFarbe = 0x0000C0;
        d.AnzahlExtrema = 2;
        d.ExtremumX[1] = 2 - std::sqrt(2.0);
        d.ExtremumY[1] = d.ExtremumX[1] / 2 + 1 / (d.ExtremumX[1] - 2);
        d.ExtremumArt[1] = 1;
        d.ExtremumX[2] = 2 + std::sqrt(2.0);
        d.ExtremumY[2] = d.ExtremumX[2] / 2 + 1 / (d.ExtremumX[2] - 2);
        d.AnzahlPole = 1;
        d.PolX[1] = 2;
        d.AnzahlAsymptoten = 1;
        d.AsymptotenText[0] = "0.5*x";
        Slot(1, 0x0000FF, 1);
    } else if (name == "richtungsfeld") {
        gTerms.TermF = "sin(x)";
        gTerms.TermG = "-cos(x)";
        Slot(6, 0x808080);
        Slot(12, 0x0000FF, 1);
        gView.IntegralfunktionXo = 0;
    } else if (name == "spinnweb" || name == "folge" || name == "attraktor") {
        IterationState& it = gIteration;
        it.IterLogistisch = true;
        it.IterationParameterA = name == "spinnweb" ? 3.7 : 3.2;
        gOverlay.Startwert = 0.2;
        it.IterXnMarkieren = true;
        it.IterAMarkieren = true;
        it.IterFarbe = 0x008000;
        KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
        k.Art = 1;
        k.Beschriftung = 1;
        if (name == "spinnweb") {
            it.IterPfadAnzeige = it.IterPfadAktiv = true;
            it.IterierteK = 1;
            k.xAchsentext = "x(n)";
            AutoScaleIteration();
            gView.BereichX1 = it.IterPfadXVon;
            gView.BereichX2 = it.IterPfadXBis;
            gView.BereichY1 = it.IterYVon;
            gView.BereichY2 = it.IterYBis;
        } else if (name == "folge") {
            it.FolgeAnzeige = true;
            it.IterationenN = 40;
            k.xAchsentext = "n";
            AutoScaleIteration();
            gView.BereichX1 = 0;
            gView.BereichX2 = it.IterationenN;
            gView.BereichY1 = it.IterYVon;
            gView.BereichY2 = it.IterYBis;
        } else {
            it.AttraktorAnzeige = true;
            it.AttraktorAVon = 2.5;
            it.AttraktorABis = 4;
            it.VorIterationen = 200;
            it.NachIterationen = 200;
            it.IterFarbe = 0;
            k.xAchsentext = "a";
            k.yAchsentext = "Attraktor";
            AutoScaleIteration();
            gView.BereichX1 = it.AttraktorAVon;
            gView.BereichX2 = it.AttraktorABis;
            gView.BereichY1 = 0;
            gView.BereichY2 = 1.1;
        }
    } else if (name == "regression") {
        const double xs[] = {-6, -4.5, -3, -1, 0.5, 2, 3.5, 5, 6.5};
        const double ys[] = {-4.1, -2.2, -2.5, 0.3, 0.4, 2.6, 2.1, 4.4, 4.6};
        gRegression.RegressionPunktzahl = 9;
        for (size_t i = 0; i < 9; ++i) {
            gRegression.MesswertTexteX[i + 1] = FormatNumberCommaTight(2, xs[i]);
            gRegression.MesswertTexteY[i + 1] = FormatNumberCommaTight(2, ys[i]);
        }
        gRegression.AbweichungenZeichnen = true;
        gRegression.MesspunktFarbe = 0x0000FF;
        gRegression.WertepaarSymbol = 2;
        gTerms.TermF = "0.72x+0.05";
        Slot(1, 0, 1);
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
    QApplication app(argc, argv);
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    if (!Scene(argv[1])) {
        std::fprintf(stderr, "unknown scene %s\n", argv[1]);
        return 2;
    }
    bool print = false;
    const char* pdf = nullptr;
    for (int i = 4; i < argc; ++i) {
        if (!std::strcmp(argv[i], "frame")) gDisplay.Koordinatensystem.Art = 1;
        if (!std::strncmp(argv[i], "grid=", 5)) gDisplay.Koordinatensystem.Gitter = static_cast<uint8_t>(std::atoi(argv[i] + 5));
        if (!std::strcmp(argv[i], "print")) print = true;
        if (!std::strncmp(argv[i], "druck=", 6)) pdf = argv[i] + 6;
        if (!std::strncmp(argv[i], "symbol=", 7)) gRegression.WertepaarSymbol = std::atoi(argv[i] + 7);
        if (!std::strncmp(argv[i], "n=", 2)) gOverlay.AnzahlRechtecke = std::atoi(argv[i] + 2);
        if (!std::strncmp(argv[i], "font=", 5)) gDisplay.Schriftname = argv[i] + 5;
        if (!std::strncmp(argv[i], "pt=", 3))
            gDisplay.Schriftgroesse = std::clamp(std::atoi(argv[i] + 3), 1, 72);
        if (!std::strcmp(argv[i], "bold")) gDisplay.SchriftFett = true;
        if (!std::strncmp(argv[i], "xtitle=", 7)) gDisplay.Koordinatensystem.xAchsentext = argv[i] + 7;
        if (!std::strncmp(argv[i], "ytitle=", 7)) gDisplay.Koordinatensystem.yAchsentext = argv[i] + 7;
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
    if (pdf) {
        const std::shared_ptr<PrintJob> printer = NewPrintJob();
        if (!printer) return 1;
        printer->SetPdfOutput(QString::fromLocal8Bit(pdf));
        gOutput.PrintScaleX = gOutput.PrintScaleY = 1;
        if (!PrintGraphPage(*printer)) return 1;
    }
    return 0;
}
