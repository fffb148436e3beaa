#include "curve_fit_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QProcess>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include "bit_check_box.h"
#include "number_cells.h"
#include "numlib_state.h"
#include "printing.h"
#include "sine_start_dialog.h"
#include "window_test_support.h"

namespace kalvo {
namespace {

class CurveFitWindow : public test::WindowTest {
protected:
    QPointer<TForm22> Open() {
        auto w = Shown<TForm22>();
        grid = w->findChild<QTableWidget*>(QStringLiteral("StringGrid1"));
        return w;
    }
    void Fill(TForm22* w, const test::Rows& rows) {
        int r = 1;
        for (const auto& [x, y] : rows) {
            w->SetCell(r, 0, QString::fromStdString(x));
            w->SetCell(r, 1, QString::fromStdString(y));
            ++r;
        }
    }
    static QString Write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(bytes);
        return path;
    }
    QString Label(TForm22* w, const char* name) { return w->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    template <typename T>
    T* Child(TForm22* w, const char* name) { return w->findChild<T*>(QString::fromLatin1(name)); }

    QTableWidget* grid = nullptr;
};

TEST_F(CurveFitWindow, TypedCellsBecomeTheirValuesAndEnterWalksTheTable) {
    test::QtMessages qt;
    auto w = Open();
    grid->setFocus();
    grid->setCurrentCell(0, 0);
    grid->editItem(grid->item(0, 0));
    Type("sqrt(2)");
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Cell(1, 0), "1,4142135623731");
    EXPECT_EQ(grid->currentColumn(), 1);
    Type("2.5");  // the point becomes a comma
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Cell(1, 1), "2,5");
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(gRegression.MesswertTexteY[1], "2,5");
    // A cell that holds no valid term is emptied and keeps the caret.
    Type("3+");
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 1);
    EXPECT_EQ(grid->currentColumn(), 0);
    EXPECT_EQ(messages.messages().size(), 1u);
    Key(Qt::Key_Return);
    EXPECT_EQ(w->Cell(2, 0), "");
    EXPECT_EQ(grid->currentColumn(), 1);
    // From the last row Enter goes back to row 1.
    grid->setCurrentCell(kWertepaarZeilen - 1, 1);
    Key(Qt::Key_Return);
    EXPECT_EQ(grid->currentRow(), 0);
    // Every Enter ended the cell's editing the way the grid expects: nothing printed.
    EXPECT_EQ(qt.printed(), QStringList());
}

TEST_F(CurveFitWindow, RefitShowsTheTermAndOkHandsThePairsToTheGraph) {
    auto w = Open();
    Fill(w, {{"3", "7,2"}, {"1", "2,9"}, {"", "5"}, {"2", "5,1"}, {"4", "8,8"}});
    Child<QRadioButton>(w, "RadioButton1")->click();
    EXPECT_EQ(Label(w, "Label5"), "y = 1,9800*x+1,0500");
    EXPECT_TRUE(Label(w, "Label1").startsWith("Korrelationskoeffizient: r ="));
    EXPECT_EQ(w->Cell(1, 0), "1");  // sorted, gaps closed
    EXPECT_EQ(w->Cell(4, 1), "8,8");
    EXPECT_EQ(gTerms.TermF.str(), "1.9800*x+1.0500");

    // The quadratic radio keeps its model and shows a, b, c in the report.
    Child<QRadioButton>(w, "RadioButton8")->click();
    EXPECT_EQ(gRegression.RegressionModell, 8);
    w->BitBtn4Click();
    EXPECT_TRUE(w->ProtokollSichtbar());
    EXPECT_EQ(w->ProtokollZeilen()[4].left(7), "   a = ");
    w->SpeedButton2Click();
    EXPECT_FALSE(w->ProtokollSichtbar());

    Child<QPushButton>(w, "BitBtn1")->click();
    EXPECT_EQ(gRegression.RegressionPunktzahl, 4);
    EXPECT_TRUE(Deleted(w));
    EXPECT_EQ(host.redraws, 1);
}

TEST_F(CurveFitWindow, EscAndBeendenEmptyTheTableTheWindowBoxKeepsIt) {
    for (bool beenden : {false, true}) {
        SinusFit.SinusAutomatisch = false;
        gRegression.RegressionsgraphZeichnen = false;
        auto w = Open();
        Fill(w, {{"1", "1"}, {"2", "2"}});
        w->BitBtn2Click();
        if (beenden) Child<QPushButton>(w, "BitBtn3")->click();
        else Key(Qt::Key_Escape);
        EXPECT_TRUE(Deleted(w));
        EXPECT_FALSE(gRegression.WertepaareZeichnen);
        EXPECT_TRUE(gRegression.RegressionsgraphZeichnen);
        EXPECT_EQ(gRegression.RegressionPunktzahl, 0);
        EXPECT_EQ(RegrAnzahl, 0);
        EXPECT_EQ(gRegression.MesswertTexteX[1], "");
        EXPECT_EQ(SinusFit.SinusAutomatisch, beenden);
    }
    EXPECT_EQ(host.redraws, 2);

    auto w = Open();
    Fill(w, {{"2", "1"}, {"1", "3"}});
    w->BitBtn2Click();
    w->close();
    EXPECT_TRUE(Deleted(w));
    auto again = Open();
    EXPECT_EQ(again->Cell(1, 0) + again->Cell(2, 1), "11");  // sorted, as it was checked
}

TEST_F(CurveFitWindow, SineStartValuesOnlyFromFivePairsOfTheSineModel) {
    auto w = Open();
    auto* button = Child<QToolButton>(w, "SpeedButton3");
    Child<QRadioButton>(w, "RadioButton10")->setChecked(true);
    Fill(w, {{"0", "1"}, {"1", "2"}, {"2", "1"}, {"3", "0"}});
    w->BitBtn2Click();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(messages.messages().back(), "Zahl der Wertepaare erhöhen!");
    Fill(w, {{"0", "1"}, {"1", "2"}, {"2", "1"}, {"3", "0"}, {"4", "1"}, {"5", "2"}});
    w->BitBtn2Click();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_TRUE(Label(w, "Label5").startsWith("f(x) = "));
    w->SpeedButton1Click();
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(w->Cell(1, 0), "");
}

TEST_F(CurveFitWindow, NorrisDataGiveTheCertifiedLine) {
    const test_support::NistData d = test_support::ReadNist("Norris.txt");
    auto w = Open();
    Fill(w, test::RowsOf(d));
    Child<QRadioButton>(w, "RadioButton1")->click();
    EXPECT_EQ(Label(w, "Label5"), "y = 1,0021*x-0,2623");
    EXPECT_EQ(Label(w, "Label1"), "Korrelationskoeffizient: r =   1,0000     ");
    EXPECT_NEAR(RegrParameter[1], d.certified.at("B1"), 1e-12);
    EXPECT_NEAR(RegrParameter[0], d.certified.at("B0"), 1e-10);
}

TEST_F(CurveFitWindow, FilesLoadSaveAndBadFilesLeaveTheTable) {
    auto w = Open();
    Fill(w, {{"1,5", "3,5"}, {"-2", "1E-7"}, {"4", "2"}});
    w->SaveFile(dir.filePath("werte.neu.txt"), 3);
    QFile saved(dir.filePath("werte.txt"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "-2\t1E-7\r\n1.5\t3.5\r\n4\t2\r\n");
    EXPECT_EQ(QDir::currentPath(), QDir(dir.path()).canonicalPath());

    struct Bad { const char* name; QByteArray bytes; const char* message; } bad[] = {
        {"leer.txt", "\r\n\r\n", "enthält keine Wertepaare"},
        {"fremd.dat", "Messung\r\n2\r\n1;2\r\n", "enthält keine Wertepaare"},
        {"zaehlung.dat", "Regression\r\nzwei\r\n1;2\r\n", "zweite Zeile muss die Anzahl der Wertepaare angeben"},
        {"binaer.txt", QByteArray("\x00\xff\x01;\x02", 5), "enthält keine Wertepaare"},
    };
    for (const Bad& b : bad) {
        messages.clear();
        w->LoadFile(Write(dir.filePath(b.name), b.bytes));
        ASSERT_FALSE(messages.messages().empty()) << b.name;
        EXPECT_NE(messages.messages().front().find(b.message), std::string::npos) << messages.messages().front();
        EXPECT_EQ(w->Cell(1, 0), "-2") << b.name;
    }
    w->LoadFile(dir.filePath("fehlt.dat"));
    EXPECT_NE(messages.messages().back().find("kann nicht gelesen werden"), std::string::npos);
    EXPECT_EQ(RegrAnzahl, 3);  // nothing read: the table and its pairs stay

    // Lines that hold no pair are left out, and said once; nothing is invented for them.
    messages.clear();
    w->LoadFile(Write(dir.filePath("gemischt.dat"), "Regression\r\n6\r\nx;y\r\n3;6\r\n1 2\r\n1;2\r\n"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0],
              "2 Zeilen ohne gültiges Zahlenpaar übergangen (zuerst Zeile 3).\n"
              "Die Datei gibt 6 Wertepaare an, hat aber nur 4 Zeilen dafür; gelesen wurde, was vorhanden ist.");
    EXPECT_EQ(RegrAnzahl, 2);
    EXPECT_EQ(w->Cell(1, 0), "1");
    EXPECT_EQ(w->Cell(2, 1), "6");
    EXPECT_EQ(w->Cell(3, 0), "");
    EXPECT_EQ(Label(w, "Label5"), "y = 2,0000*x+0,0000");

    // A file with more pairs than the table shows its first 500, and says so.
    QByteArray many;
    for (int i = 600; i >= 1; --i) many += QByteArray::number(i) + ";" + QByteArray::number(2 * i) + "\n";
    messages.clear();
    w->LoadFile(Write(dir.filePath("viele.txt"), many));
    EXPECT_EQ(RegrAnzahl, 500);
    EXPECT_EQ(w->Cell(1, 0), "101");
    EXPECT_EQ(w->Cell(500, 1), "1200");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Die Datei hat 600 Wertepaare, die Tabelle fasst 500: Geladen wurden die ersten "
                                      "500; wird die Tabelle gespeichert, fehlen darin die übrigen 100.");
    EXPECT_EQ(Label(w, "Label5"), "y = 2,0000*x+0,0000");

    w->LoadFile(dir.filePath("werte.txt"));
    EXPECT_EQ(RegrAnzahl, 3);
    EXPECT_EQ(w->Cell(2, 1), "3,5");
    EXPECT_EQ(w->Cell(4, 0), "");
}

// The text of a PDF as pdftotext reads it, blanks run together.
static QString PdfText(const QString& pdf, int& pages) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    pages = static_cast<int>(text.count(QLatin1Char('\f')));
    return text.simplified();
}

TEST_F(CurveFitWindow, ReportPrintsEveryLineUpToItsEndMarkOnAsManyPagesAsItNeeds) {
    ASSERT_FALSE(QStandardPaths::findExecutable("pdftotext").isEmpty()) << "pdftotext (poppler-utils) is missing";
    const QString pdf = dir.filePath("protokoll.pdf");
    auto w = Open();
    w->ChoosePrinter = [&pdf](PrintJob& printer) {
        printer.SetPdfOutput(pdf);
        return true;
    };
    Fill(w, {{"1", "2"}, {"2", "4,1"}, {"3", "5,9"}});
    w->BitBtn4Click();
    Child<QPlainTextEdit>(w, "Memo1")->appendPlainText(QStringLiteral("nach dem Ende"));
    w->BitBtn5Click();
    int pages = 0;
    QString text = PdfText(pdf, pages);
    EXPECT_TRUE(text.contains(QStringLiteral("Regressionsmodell: y = m*x + c")));
    EXPECT_TRUE(text.contains(QStringLiteral("Standardabweichung")));
    EXPECT_FALSE(text.contains(QStringLiteral("nach dem Ende")));
    EXPECT_EQ(pages, 1);
    w->SpeedButton2Click();

    // 200 pairs: every one of them on paper, the column header over each page's part of the table.
    for (int i = 1; i <= 200; ++i) {
        w->SetCell(i, 0, QString::number(i));
        w->SetCell(i, 1, QString::number(3 * i + (i % 7)));
    }
    w->BitBtn4Click();
    const QStringList report = w->ProtokollZeilen();
    ASSERT_EQ(report.size(), 20 + 197);
    w->BitBtn5Click();
    text = PdfText(pdf, pages);
    EXPECT_GE(pages, 4);
    for (int i = 14; i < 14 + 200; ++i) EXPECT_TRUE(text.contains(report[i].simplified())) << report[i].toStdString();
    EXPECT_TRUE(text.contains(report[report.size() - 2].simplified()));  // s after the table
    EXPECT_EQ(text.count(QStringLiteral("x y gemessen y berechnet delta y")), pages);
}

// The picture is recorded after the fit, so that it shows the curve the
// report describes: after editing the table it equals the picture of a
// second export of the same table.
TEST_F(CurveFitWindow, WordDocumentCarriesTheReportAndThePictureOfTheEditedTable) {
    QDir::setCurrent(dir.path());
    gOutput.PlotWidthPx = gOutput.PlotHeightPx = 399;
    auto w = Open();
    Fill(w, {{"1", "2"}, {"2", "4,1"}, {"3", "5,9"}});
    std::string opened;
    w->WordOpener = [&opened](const std::string& path) {
        opened = path;
        return true;
    };
    auto picture = [&] {
        w->SpeedButton27Click();
        QFile f(dir.filePath("temp.wmf"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QByteArray first = picture();
    EXPECT_TRUE(messages.messages().empty()) << messages.messages().front();
    EXPECT_EQ(gRegression.RegressionPunktzahl, 3);
    QFile doc(QString::fromStdString(opened));
    ASSERT_TRUE(doc.open(QIODevice::ReadOnly));
    const QByteArray rtf = doc.readAll();
    EXPECT_TRUE(rtf.contains("Regressionsmodell: y = m*x + c"));
    EXPECT_TRUE(rtf.contains("\\wmetafile8"));
    EXPECT_TRUE(rtf.contains("Courier New"));

    Fill(w, {{"1", "9"}, {"2", "6"}, {"3", "2"}});
    const QByteArray edited = picture();
    EXPECT_TRUE(w->ProtokollZeilen()[5].contains(QStringLiteral("-3,5000")));  // m of the new table
    EXPECT_NE(edited, first);
    EXPECT_EQ(picture(), edited);

    w->WordOpener = [](const std::string&) { return false; };
    w->SpeedButton27Click();
    EXPECT_EQ(messages.messages().back().rfind("Microsoft Word kann nicht gestartet werden!\n", 0), 0u);
}

// The term of a rational fit of degree 4/4 is far wider than a line's; the
// window keeps its size, the label shows what fits and its tool tip the rest.
TEST_F(CurveFitWindow, LongTermsLeaveTheWindowItsSize) {
    gRegression.ZaehlerGrad = 4;
    gRegression.NennerGrad = 4;
    gRegression.RegressionNachkommastellen = 6;
    auto w = Open();
    Fill(w, test::RowsOf(0.37, 0.37, 15, [](double x) { return (1 + x - 0.3 * x * x) / (1 + 0.2 * x + 0.01 * x * x * x); }));
    Child<QRadioButton>(w, "RadioButton1")->click();
    QCoreApplication::processEvents();
    const QSize size = w->size();
    Child<QRadioButton>(w, "RadioButton3")->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(w->size(), size);
    auto* label = Child<QLabel>(w, "Label5");
    const QString term = w->Funktionstext();
    EXPECT_TRUE(term.startsWith(QStringLiteral("y = (")));
    EXPECT_EQ(label->toolTip(), term);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_TRUE(label->text().endsWith(QChar(0x2026)));
}

TEST_F(CurveFitWindow, SpinBoxesTakeNoTypedKeysAndStoreTheirValues) {
    auto w = Open();
    auto* decimals = Child<QSpinBox>(w, "SpinEdit2");
    decimals->setFocus();
    Type("6");
    EXPECT_EQ(decimals->value(), 4);
    decimals->stepUp();
    EXPECT_EQ(gRegression.RegressionNachkommastellen, 5);
    Child<QSpinBox>(w, "SpinEdit1")->stepUp();
    EXPECT_EQ(gRegression.PolynomGrad, 4);
}

// The start-value dialog of the sine fit.
class SineStartDialog : public test::WindowTest {};

TEST_F(SineStartDialog, AutomaticValuesAreShownGreyedAndTypedOnesAreChecked) {
    SinusFit.SinusDefaultStart = {1.5, 0.5, 0.25, 2};
    SinusFit.SinusParameter = {2, 0, 1, 1};
    auto d = Shown<TForm50>();
    EXPECT_FALSE(d->Edit(1)->isEnabled());
    EXPECT_EQ(d->Edit(1)->text().trimmed(), "1,5000");
    EXPECT_EQ(d->LabelText("Label6"), "nicht def.");  // fitted b = 0: no period
    EXPECT_EQ(d->LabelText("Label5").trimmed(), "12,5664");

    d->findChild<TBitCheckBox*>(QStringLiteral("BitCheckBox1"))->click();
    EXPECT_FALSE(SinusFit.SinusAutomatisch);
    ASSERT_TRUE(d->Edit(1)->isEnabled());
    const struct { int edit; const char* typed; double value; } cases[] = {
        {1, "2", 2}, {3, "0", 0.25}, {3, "0,0009", 0.25}, {3, "0,001", 0.001}, {2, "-1", -1}};
    for (const auto& c : cases) {
        d->Edit(c.edit)->setText(QString::fromUtf8(c.typed));
        d->EditExit(c.edit);
        const double v = c.edit == 1 ? SinusFit.SinusStartA : c.edit == 2 ? SinusFit.SinusStartB : SinusFit.SinusStartC;
        EXPECT_DOUBLE_EQ(v, c.value) << c.typed;
    }
    EXPECT_EQ(d->Edit(1)->text(), "  2,0000");
    // A syntax error keeps the old value.
    d->Edit(1)->setText(QStringLiteral("2*"));
    d->EditExit(1);
    EXPECT_EQ(SinusFit.SinusStartA, 2);
    d->Edit(1)->setText(QStringLiteral("2"));

    const std::pair<const char*, int> iterations[] = {{"abc", 15}, {"0", 10}, {"31", 10}, {"30", 30}, {"1", 1}};
    for (auto [typed, n] : iterations) {
        d->Edit(7)->setText(QString::fromUtf8(typed));
        d->Edit7Exit();
        EXPECT_EQ(SinusFit.SinusIterationen, n) << typed;
    }
    d->Button1Click();
    EXPECT_TRUE(Deleted(d));
}

}  // namespace
}  // namespace kalvo
