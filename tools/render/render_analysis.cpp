// Renders the analysis windows and the main graph with the overlay each of
// them switches on, offscreen into PNG files for looking at them:
// render_analysis <folder>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cstdio>
#include <functional>
#include <string>

#include "analysis_state.h"
#include "analysis_support.h"
#include "area_dialog.h"
#include "bit_check_box.h"
#include "canvas_qpainter.h"
#include "curve_discussion.h"
#include "discussion_window.h"
#include "graph_host.h"
#include "graph_state.h"
#include "iteration_dialog.h"
#include "newton_dialog.h"
#include "program_state.h"
#include "redraw.h"
#include "sums_dialog.h"
#include "term.h"
#include "ui_area_dialog.h"
#include "ui_discussion_window.h"
#include "ui_iteration_dialog.h"
#include "ui_newton_dialog.h"
#include "ui_sums_dialog.h"
#include "value_table.h"
#include "view.h"

using namespace kalvo;

namespace {

QString gOrdner;

class RenderHost : public GraphHost {
public:
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        KurvendiskussionBerechnen(a, b, step, t);
    }
    void RedrawMainGraph(bool) override {}
};

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

void Fenster(QWidget* w, const char* name) {
    Settle();
    w->grab().save(gOrdner + "/" + name + ".png");
    std::printf("%s.png\n", name);
}

// The printouts go into PDF files of the folder.
void Drucke(QWidget* w, QPushButton* knopf, const char* name) {
    SetDruckerWahl([name](QWidget*, const std::function<void(PrintJob&)>& drucken) {
        const std::shared_ptr<PrintJob> printer = NewPrintJob();
        if (!printer) return;
        printer->SetPdfOutput(gOrdner + "/" + name + ".pdf");
        drucken(*printer);
    });
    knopf->click();
    SetDruckerWahl(nullptr);
    std::printf("%s.pdf\n", name);
    (void)w;
}

void Graph(const char* name) {
    QImage image(600, 600, QImage::Format_RGB32);
    {
        QPainterCanvas canvas(&image);
        gOutput.AusgabeCanvas = &canvas;
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
        GrafikZeichnen(true);
        gOutput.AusgabeCanvas = nullptr;
    }
    image.save(gOrdner + "/graph_" + name + ".png");
    std::printf("graph_%s.png\n", name);
}

void Neu() {
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    ResetKurvendiskussion();
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
    SetupAxes(gDisplay.Koordinatensystem);
}

template <typename W>
W* Zeigen(W* w) {
    w->show();
    (void)QTest::qWaitForWindowExposed(w);
    return w;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "render_analysis <folder>\n");
        return 2;
    }
    gOrdner = QString::fromLocal8Bit(argv[1]);
    RenderHost host;
    SetGraphHost(&host);

    Neu();
    gTerms.TermF = "(x^3-3*x)/4";
    {
        TForm11 w;
        Zeigen(&w);
        w.Controls()->CheckBox1->click();
        w.Controls()->CheckBox3->click();
        Fenster(&w, "kurvendiskussion");
        w.Controls()->CheckBox4->click();
        Drucke(&w, w.Controls()->SpeedButton4, "druck_kurvendiskussion");
        w.close();
    }
    Graph("sonderpunkte");

    // Borders of the domain, corners, poles and asymptotes in the window.
    const std::pair<const char*, const char*> diskussionen[] = {
        {"sqrt(9-x^2)", "kurvendiskussion_rand"},
        {"abs(x^2-4)", "kurvendiskussion_ecken"},
        {"ln(x-1)+1/x", "kurvendiskussion_pole"},
        {"exp(1/x)+1/(x+4)", "kurvendiskussion_einseitig"},
    };
    for (const auto& [term, name] : diskussionen) {
        Neu();
        gTerms.TermF = term;
        TForm11 w;
        Zeigen(&w);
        w.Controls()->CheckBox1->click();
        Fenster(&w, name);
        w.close();
    }
    // A long printout over pages, with the graph.
    Neu();
    gTerms.TermF = "sin(x)";
    {
        TForm11 w;
        Zeigen(&w);
        w.Controls()->Edit2->setText(QStringLiteral("-40"));
        w.Controls()->Edit3->setText(QStringLiteral("40"));
        w.Edit2Exit();
        w.Edit3Exit();
        w.Controls()->CheckBox4->click();
        Drucke(&w, w.Controls()->SpeedButton4, "druck_kurvendiskussion_lang");
        w.close();
    }

    Neu();
    gTerms.TermF = "x^2/4";
    {
        auto* w = Zeigen(new TForm12);
        Fenster(w, "wertetabelle");
        Drucke(w, w->findChild<QPushButton*>("BitBtn4"), "druck_wertetabelle");
        w->close();
    }
    // Derivatives where they exist only: none at the end of the domain.
    Neu();
    gTerms.TermF = "sqrt(x)";
    gView.BereichX1 = -2;
    {
        auto* w = Zeigen(new TForm12);
        Fenster(w, "wertetabelle_wurzel");
        w->close();
    }

    Neu();
    gTerms.TermF = "x^2-2";
    gTerms.TermG = "x/2+1";
    {
        auto* w = Zeigen(new TForm13);
        w->Controls()->SpeedButton1->click();
        w->Controls()->BitBtn2->click();
        w->Controls()->CheckBox1->click();
        Fenster(w, "flaechen");
        w->Controls()->BitBtn1->click();
    }
    gDisplay.Schaubilder[8] = Schaubild{0xFF0000, 1, true};
    Graph("flaeche");

    Neu();
    gTerms.TermF = "0.2*x^2+1";
    gOverlay.GrenzeA = -2;
    gOverlay.GrenzeB = 4;
    {
        auto* w = Zeigen(new TForm15);
        w->Controls()->RadioButton3->click();
        w->Controls()->CheckBox1->click();
        Fenster(w, "summen");
        w->Controls()->BitBtn1->click();
    }
    Graph("summen");

    Neu();
    gTerms.TermF = "x^3-2*x-5";
    {
        auto* w = Zeigen(new TForm17);
        w->Controls()->CheckBox1->click();
        Fenster(w, "newton");
        Drucke(w, w->Controls()->BitBtn5, "druck_newton");
        w->Controls()->BitBtn4->click();
    }
    gOverlay.Startwert = 3;
    Graph("newton");

    const std::pair<const char*, int> iterationen[] = {{"pfad", 1}, {"folge", 2}, {"attraktor", 3}};
    for (const auto& [name, radio] : iterationen) {
        Neu();
        gIteration.IterLogistisch = true;
        auto* w = Zeigen(new TForm16);
        Ui::TForm16* ui = w->Controls();
        if (radio == 1) ui->RadioButton1->click();
        if (radio == 2) ui->RadioButton2->click();
        if (radio == 3) ui->RadioButton3->click();
        if (radio == 1) Fenster(w, "iteration");
        w->BitBtn1Click();
        Settle();
        Graph(name);
    }
    Neu();
    gTerms.TermF = "cos(x)";
    gIteration.IterLogistisch = false;
    Fenster(Zeigen(new TForm16), "iteration_allgemein");
    SetGraphHost(nullptr);
    return 0;
}
