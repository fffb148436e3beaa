// Offscreen pictures of the curve-fitting, sine start-value and linear-system
// windows, for looking at them:
//     render_regression <folder>
#include <QApplication>
#include <QDir>
#include <QRadioButton>
#include <QTest>

#include <cmath>

#include "analysis_state.h"
#include "curve_fit_window.h"
#include "lgs_window.h"
#include "mgrid.h"
#include "number_cells.h"
#include "numlib_state.h"
#include "program_state.h"
#include "sine_start_dialog.h"
#include "term.h"

using namespace kalvo;

static void Save(QWidget* w, const QString& folder, const char* name) {
    w->show();
    QTest::qWait(50);
    w->grab().save(QDir(folder).filePath(QString::fromLatin1(name)));
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    ResetProgramState();
    InitTermTrees();

    auto* fit = new TForm22;
    fit->setAttribute(Qt::WA_DeleteOnClose, false);
    for (int i = 1; i <= 12; ++i) {
        const double x = i * 0.5;
        fit->SetCell(i, 0, QString::fromStdString(GeneralNumberText(x)));
        fit->SetCell(i, 1, QString::fromStdString(GeneralNumberText(0.5 * x * x - x + 1 + 0.1 * std::sin(7 * x))));
    }
    gRegression.RegressionModell = 8;
    fit->show();
    fit->BitBtn2Click();
    Save(fit, folder, "curve_fit.png");
    fit->BitBtn4Click();
    Save(fit, folder, "curve_fit_report.png");
    fit->SpeedButton2Click();

    // A rational fit of degree 4/4: the longest term the window shows.
    gRegression.ZaehlerGrad = gRegression.NennerGrad = 4;
    fit->findChild<QRadioButton*>(QStringLiteral("RadioButton3"))->setChecked(true);
    fit->BitBtn2Click();
    Save(fit, folder, "curve_fit_rational.png");

    fit->findChild<QRadioButton*>(QStringLiteral("RadioButton10"))->setChecked(true);
    for (int i = 1; i <= 12; ++i)
        fit->SetCell(i, 1, QString::fromStdString(GeneralNumberText(2 * std::sin(1.3 * i * 0.5 + 0.4) + 1)));
    fit->BitBtn2Click();
    auto* sine = new TForm50(fit);
    sine->setAttribute(Qt::WA_DeleteOnClose, false);
    Save(sine, folder, "sine_start.png");

    auto* lgs = new TForm23;
    lgs->setAttribute(Qt::WA_DeleteOnClose, false);
    const char* cells[3][4] = {{"2", "4", "-1", "6"}, {"1", "-1", "1/3", "0"}, {"3", "0", "1", "sqrt(2)"}};
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 4; ++c) lgs->Eingabe()->SetCells(c, r, QString::fromUtf8(cells[r - 1][c]));
    lgs->show();
    lgs->SpeedButton2Click();
    Save(lgs, folder, "lgs.png");
    lgs->SetGroesse(5, 7);
    lgs->SpeedButton2Click();
    Save(lgs, folder, "lgs_5x7.png");
    lgs->SetGroesse(5, 6);
    lgs->SpeedButton1Click();
    Save(lgs, folder, "lgs_5x6_empty.png");
    for (int r = 1; r <= 5; ++r)
        for (int c = 0; c < 6; ++c)
            lgs->Eingabe()->SetCells(c, r, QString::fromUtf8(c == r - 1 ? "3" : c == 5 ? "sqrt(2)" : "1/7"));
    lgs->SpeedButton2Click();
    Save(lgs, folder, "lgs_5x6.png");
    return 0;
}
