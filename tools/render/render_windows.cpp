// Renders the 3D window or the solids window offscreen into a PNG, for
// looking at them:
//   render_windows flaeche <file.png> [z=<term>] [param=<x>;<y>;<z>] [a=lo:hi] [b=lo:hi] [n=30]
//                  [achsen=0..5] [licht] [zwerte] [spektrum=k] [phi=45] [theta=60] [liste] [size=1280x800]
//   render_windows koerper <file.png> [f=<term>] [a=0] [b=1] [y] [zu] [achsen=0..3] [licht] [size=1280x800]
// With druck=<file.pdf> the picture is also printed into that file as the print button does,
// with datei=<file.wmf|file.emf> saved as the save button does.

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>

#include <cstdio>
#include <string>

#include "analysis_state.h"
#include "bit_check_box.h"
#include "edit_field.h"
#include "graph_state.h"
#include "printing.h"
#include "program_state.h"
#include "solid_window.h"
#include "surface_window.h"
#include "term.h"
#include "ui_solid_window.h"
#include "ui_surface_window.h"
#include "ui_view_panel.h"
#include "view_panel.h"

using namespace kalvo;

namespace {

void Setze(QLineEdit* e, const std::string& text) {
    e->setFocus();
    e->setText(QString::fromStdString(text));
    if (auto* t = qobject_cast<TermEdit*>(e)) t->commitField();
}

bool Wert(const std::string& arg, const char* name, std::string& wert) {
    const std::string p = std::string(name) + "=";
    if (arg.rfind(p, 0) != 0) return false;
    wert = arg.substr(p.size());
    return true;
}

void Ansicht(TBedienung3D* b, const std::string& arg) {
    std::string w;
    const Ui::TBedienung3D* c = b->Controls();
    if (arg == "licht") c->CheckBoxBeleuchtung->click();
    if (arg == "zwerte") c->RadioButtonZWerte->setChecked(true);
    if (arg == "hinten") c->CheckBoxNachHinten->click();
    if (arg == "ohnefarbe") c->CheckBoxFarbwechsel->click(), c->CheckBoxSpektrum->click();
    if (Wert(arg, "spektrum", w)) c->TrackBarSpektrum->setValue(std::stoi(w));
    if (Wert(arg, "phi", w)) Setze(c->EditPhi, w);
    if (Wert(arg, "theta", w)) Setze(c->EditTheta, w);
    if (Wert(arg, "streck", w)) c->TrackBarStreckfaktor->setValue(std::stoi(w));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "render_windows flaeche|koerper <file.png> [options]\n");
        return 2;
    }
    ResetProgramState();
    ResetGraphState();
    InitTermTrees();
    const std::string art = argv[1];
    int w = 1280, h = 800;
    for (int i = 3; i < argc; ++i) {
        std::string v;
        if (Wert(argv[i], "size", v)) std::sscanf(v.c_str(), "%dx%d", &w, &h);
    }

    QWidget* fenster = nullptr;
    if (art == "flaeche") {
        auto* f = new TForm30;
        fenster = f;
        f->resize(w, h);
        f->show();
        const Ui::TForm30* ui = f->Controls();
        for (int i = 3; i < argc; ++i) {
            const std::string a = argv[i];
            std::string v;
            if (a.rfind("param=", 0) == 0) {
                ui->RadioButtonParameter->setChecked(true);
                v = a.substr(6);
                const size_t s1 = v.find(';'), s2 = v.find(';', s1 + 1);
                Setze(ui->EditPx, v.substr(0, s1));
                Setze(ui->EditPy, v.substr(s1 + 1, s2 - s1 - 1));
                Setze(ui->EditPz, v.substr(s2 + 1));
            }
            if (Wert(a, "z", v)) Setze(ui->EditZ, v);
            if (Wert(a, "n", v)) Setze(ui->EditZerlegung, v);
            if (Wert(a, "a", v)) Setze(ui->EditMin1, v.substr(0, v.find(':'))), Setze(ui->EditMax1, v.substr(v.find(':') + 1));
            if (Wert(a, "b", v)) Setze(ui->EditMin2, v.substr(0, v.find(':'))), Setze(ui->EditMax2, v.substr(v.find(':') + 1));
            if (Wert(a, "achsen", v)) {
                QRadioButton* r[] = {ui->RadioButtonOhne, ui->RadioButtonKreuz1, ui->RadioButtonKreuz2,
                                     ui->RadioButtonSkalierung, ui->RadioButtonRahmen, ui->RadioButtonRahmenSkalierung};
                r[std::stoi(v) % 6]->setChecked(true);
            }
            Ansicht(ui->Bedienung, a);
        }
        f->BitBtnOkClick();
        for (int i = 3; i < argc; ++i)
            if (std::string(argv[i]) == "liste") {
                ui->SpeedButtonListe->click();
                ui->SpeedButtonAufnehmen->click();
            }
    } else {
        auto* k = new Tform21;
        fenster = k;
        k->resize(w, h);
        k->show();
        const Ui::Tform21* ui = k->Controls();
        for (int i = 3; i < argc; ++i) {
            const std::string a = argv[i];
            std::string v;
            if (Wert(a, "f", v)) Setze(ui->EditF, v);
            if (Wert(a, "a", v)) Setze(ui->EditA, v);
            if (Wert(a, "b", v)) Setze(ui->EditB, v);
            if (Wert(a, "n", v)) Setze(ui->EditZerlegung, v);
            if (a == "y") ui->RadioButtonGrafik2->setChecked(true);
            if (a == "zu") ui->CheckBoxGeschlossen->SetChecked(true);
            if (Wert(a, "achsen", v)) {
                QRadioButton* r[] = {ui->RadioButtonOhne, ui->RadioButtonKreuz, ui->RadioButtonRahmen,
                                     ui->RadioButtonRahmenSkalierung};
                r[std::stoi(v) % 4]->setChecked(true);
            }
            Ansicht(ui->Bedienung, a);
        }
        k->BitBtnOkClick();
    }
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
    for (int i = 3; i < argc; ++i) {
        std::string pdf;
        auto* f = static_cast<T3DFenster*>(fenster);
        if (Wert(argv[i], "datei", pdf)) {
            const QString name = QString::fromStdString(pdf);
            f->GrafikSpeichern(name, name.endsWith(QStringLiteral(".emf")) ? 1 : 0);
        }
        if (!Wert(argv[i], "druck", pdf)) continue;
        f->ChoosePrinter = [&](PrintJob& p) {
            p.SetPdfOutput(QString::fromStdString(pdf));
            return true;
        };
        f->DruckerClick();
    }
    const bool ok = fenster->grab().save(QString::fromLocal8Bit(argv[2]));
    delete fenster;
    return ok ? 0 : 1;
}
