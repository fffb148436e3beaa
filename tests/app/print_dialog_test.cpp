#include <QProcess>
#include <QRegularExpression>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>

#include "app_test_support.h"
#include "curves.h"
#include "edit_field.h"
#include "graph_link.h"
#include "print_dialog.h"
#include "printing.h"
#include "ui_main_window.h"
#include "ui_print_dialog.h"
#include "user_choices.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

class PrintTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Choices().choosePrinter = [this](QWidget*, std::shared_ptr<PrintJob> printer, std::function<void(bool)> done) {
            ++printerQuestions;
            jobName = printer->DocName();
            printer->SetPdfOutput(pdf);
            // An unprintable border, as real printers have.
            printer->SetPageMarginsMm(QMarginsF(5, 5, 5, 5));
            done(printerChosen);
        };
    }

    TGrafikDruckenDlg* Open() {
        QTest::mouseClick(form->Controls()->ButtonDrucken, Qt::LeftButton);
        Settle();
        dialog = form->findChild<TGrafikDruckenDlg*>();
        if (dialog) Activate(dialog.data());
        return dialog;
    }

    QString pdf = dir.filePath(QStringLiteral("grafik.pdf"));
    bool printerChosen = true;
    int printerQuestions = 0;
    QString jobName;
    QPointer<TGrafikDruckenDlg> dialog;
};

TEST_F(PrintTest, FieldRulesKeepTheGraphOnTheSheet) {
    // The window -8..8 has ticks a unit apart: 16 cm each way.
    ASSERT_TRUE(Open());
    Ui::TGrafikDruckenDlg* ui = dialog->Controls();
    EXPECT_EQ(ui->Label7->text(), QStringLiteral("Breite:  16,00 cm"));
    EXPECT_TRUE(ui->Edit1->hasFocus());
    struct Step {
        TermEdit* field;  // nullptr: "Horizontal", then "Vertikal"
        const char* text;
    };
    struct Case {
        std::vector<Step> steps;
        double width, height, left, top;
        const char* percentShown;
    };
    const Case cases[] = {
        {{{ui->Edit1, "50"}}, 8, 16, 1, 1, "50,00"},
        {{{ui->Edit1, "150"}}, 20, 16, 1, 1, "125,00"},
        {{{ui->Edit3, "1"}}, 2, 16, 1, 1, "12,50"},
        {{{ui->Edit3, "16"}, {ui->Edit5, "10"}}, 16, 16, 5, 1, "100,00"},
        {{{ui->Edit3, "15"}, {ui->Edit4, "15"}, {nullptr, ""}}, 15, 15, 3, 7.35, "93,75"},
        {{{ui->Edit2, "x"}, {ui->Edit6, "-3"}}, 16, 2, 1, 0, "100,00"},
        {{{ui->Edit4, "40"}}, 16, 28.7, 1, 1, "100,00"},
    };
    for (const Case& c : cases) {
        QTest::mouseClick(ui->BitBtn3, Qt::LeftButton);
        for (const Step& s : c.steps) {
            if (s.field) {
                Type(s.field, QString::fromUtf8(s.text));
            } else {
                QTest::mouseClick(ui->Button1, Qt::LeftButton);
                QTest::mouseClick(ui->Button2, Qt::LeftButton);
            }
        }
        const std::string name = c.steps.front().field ? c.steps.front().field->objectName().toStdString() : "";
        EXPECT_DOUBLE_EQ(dialog->DruckBreite, c.width) << name;
        EXPECT_DOUBLE_EQ(dialog->DruckHoehe, c.height) << name;
        EXPECT_NEAR(gOutput.RandLinks, c.left, 1e-12) << name;
        EXPECT_NEAR(gOutput.RandOben, c.top, 1e-12) << name;
        EXPECT_EQ(ui->Edit1->text().toStdString(), c.percentShown) << name;
    }
}

TEST_F(PrintTest, ThePreviewDrawsLabelsAtTheirPrintedSizeWhereThePrintoutWillBe) {
    // At one pixel per millimetre a 16 cm graph is 160 pixels wide. A label
    // cell of the printout is about 5 mm high (12 points scaled by the
    // printer factors), so the digits under the x axis are at most 6 pixels
    // high; in the screen's font they were 10 and ran into each other.
    ASSERT_TRUE(Open());
    const QImage& p = dialog->Controls()->Image1->Picture();
    ASSERT_EQ(p.size(), QSize(160, 160));
    auto inked = [&](int x, int y) { return qGray(p.pixel(x, y)) < 230; };
    int axisRow = 0, axisColumn = 0, mostInRow = -1, mostInColumn = -1;
    for (int i = 0; i < 160; ++i) {
        int row = 0, column = 0;
        for (int j = 0; j < 160; ++j) row += inked(j, i), column += inked(i, j);
        if (row > mostInRow) mostInRow = row, axisRow = i;
        if (column > mostInColumn) mostInColumn = column, axisColumn = i;
    }
    // The labels -7 .. -2, left of the y axis and its own labels.
    int top = p.height(), bottom = -1;
    for (int x = 0; x < axisColumn - 14; ++x)
        for (int y = axisRow + 2; y < std::min(p.height(), axisRow + 20); ++y)
            if (inked(x, y)) top = std::min(top, y), bottom = std::max(bottom, y);
    ASSERT_GE(bottom, top) << "no labels";
    EXPECT_LE(bottom - top + 1, 6);

    // The preview stands on the sheet where the printout will be; the y axis runs down its middle.
    Type(dialog->Controls()->Edit1, QStringLiteral("50"));
    EXPECT_EQ(dialog->Controls()->Image1->PictureAt(), QPoint(10, 10));
    ASSERT_EQ(p.size(), QSize(80, 160));
    EXPECT_NE(p.pixelColor(39, 80), QColor(Qt::white));
    ExpectScreenOutput();
}

TEST_F(PrintTest, CancelInEitherDialogPrintsNothingAndLogarithmicAxesStartAtFifteenCentimetres) {
    ASSERT_TRUE(Open());
    QTest::mouseClick(dialog->Controls()->BitBtn2, Qt::LeftButton);
    Settle();
    EXPECT_EQ(printerQuestions, 0);
    printerChosen = false;
    gDisplay.Koordinatensystem.xSkalierung = gDisplay.Koordinatensystem.ySkalierung = 1;
    form->Redraw(true);
    ASSERT_TRUE(Open());
    EXPECT_EQ(std::pair(dialog->OriginalBreite, dialog->OriginalHoehe), std::pair(15.0, 15.0));
    QTest::mouseClick(dialog->Controls()->BitBtn1, Qt::LeftButton);
    Settle();
    EXPECT_EQ(printerQuestions, 1);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(gControl.DruckenOK);
}

TEST_F(PrintTest, ThePrintedGraphHasTheChosenSizeAndMargins) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty() || QStandardPaths::findExecutable("pdftotext").isEmpty())
        FAIL() << "poppler-utils are missing: tools/install-deps installs it";
    gDisplay.Rahmen = true;  // a frame around the whole graph
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    gTerms.TermF = "x^2";
    gGrafikobjektliste.Insert(1, tElement{TDrawingTool::Textfeld, false, false, "Beschriftung", 50, 50, 150, 70,
                                          "Arial", 12, 0, 0, 0});
    form->Redraw(true);
    ASSERT_TRUE(Open());
    Type(dialog->Controls()->Edit1, QStringLiteral("50"));
    Type(dialog->Controls()->Edit6, QStringLiteral("2"));
    QTest::mouseClick(dialog->Controls()->BitBtn1, Qt::LeftButton);
    Settle();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(jobName, QStringLiteral("Kalvograf"));  // for the printer queue and a PDF printer's file name

    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    const QString words = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* w : {"Zeit", "Beschriftung", "-7"}) EXPECT_TRUE(words.contains(QString::fromUtf8(w))) << w;

    // At 100 dots per inch a centimetre is 39.37 pixels: the frame stands
    // 1 cm from the left and 2 cm from the top edge of the paper, 8 cm wide
    // and 16 cm high.
    const QString png = dir.filePath(QStringLiteral("seite"));
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
                                              QStringLiteral("-singlefile"), pdf, png});
    ASSERT_TRUE(raster.waitForFinished(20000));
    const QImage page(png + QStringLiteral(".png"));
    ASSERT_FALSE(page.isNull());
    QRect ink;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (qGray(page.pixel(x, y)) < 128) ink |= QRect(x, y, 1, 1);
    const double cm = 100 / 2.54;
    EXPECT_NEAR(ink.left(), 1 * cm, 2);
    EXPECT_NEAR(ink.top(), 2 * cm, 2);
    EXPECT_NEAR(ink.width(), 8 * cm, 3);
    EXPECT_NEAR(ink.height(), 16 * cm, 3);

    ExpectScreenOutput();
}

// A window of 16 by 4 units printed at a centimetre per unit is scaled
// down four times more in height than in width, and its frame's margins
// with it, while the labels are sized by the width: the values and titles
// go on into the paper's margin, none is left out.
TEST_F(PrintTest, APrintoutFlatterThanTheScreenKeepsEveryLabel) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        FAIL() << "poppler-utils are missing: tools/install-deps installs it";
    gDisplay.Koordinatensystem.Art = 1;
    gDisplay.Koordinatensystem.Beschriftung = 1;
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    gDisplay.Koordinatensystem.yAchsentext = "Weg";
    gView.BereichY1 = -2;
    gView.BereichY2 = 2;
    gTerms.TermF = "sin(x)";
    form->Redraw(true);
    ASSERT_TRUE(Open());
    QTest::mouseClick(dialog->Controls()->BitBtn1, Qt::LeftButton);
    Settle();
    ASSERT_TRUE(QFile::exists(pdf));
    QProcess text;
    text.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(text.waitForFinished(20000));
    QStringList words = QString::fromUtf8(text.readAllStandardOutput()).split(QRegularExpression(QStringLiteral("\\s+")));
    for (const char* w : {"Zeit", "Weg", "-7", "-1", "1", "7", "2", "-2"})
        EXPECT_TRUE(words.contains(QString::fromUtf8(w))) << w;
}

// In a large window a window of 22 units has ticks a unit apart, 22 cm
// each way: the printout starts at the largest size that leaves the margins
// on the sheet, 19 cm each way (the printout has the size the dialog shows).
TEST_F(PrintTest, AGraphLargerThanTheSheetStartsAtTheLargestSizeThatFits) {
    form->resize(TForm1::ClientWidthFor(1000), 1000);
    gView.BereichX1 = gView.BereichY1 = -11;
    gView.BereichX2 = gView.BereichY2 = 11;
    form->Redraw(true);
    Settle();
    ASSERT_TRUE(Open());
    const Ui::TGrafikDruckenDlg* ui = dialog->Controls();
    EXPECT_EQ(ui->Label7->text().toStdString(), "Breite:  22,00 cm");
    EXPECT_EQ((ui->Edit1->text() + " " + ui->Edit2->text()).toStdString(), "86,36 86,36");
    EXPECT_DOUBLE_EQ(dialog->DruckBreite, 19);
    EXPECT_DOUBLE_EQ(dialog->DruckHoehe, 19);
}

// The printout gets as many times the screen's budget as it has pixels
// more: what the screen shows whole prints whole without a word; a picture
// beyond even that is printed as far as it goes and says so. The preview
// keeps to the screen's budget and marks a picture it cut.
TEST_F(PrintTest, ACutPrintoutSaysSoAndAWholeOneSaysNothing) {
    bool previewMarked = false;
    auto print = [&] {
        messages.clear();
        QFile::remove(pdf);
        if (!Open()) return std::string("no dialog");
        // The sheet as it shows, with the preview and whatever note is on it.
        const QImage preview = dialog->Controls()->Image1->grab().toImage();
        previewMarked = false;
        for (int y = 0; y < preview.height(); ++y)
            for (int x = 0; x < preview.width(); ++x) previewMarked |= preview.pixelColor(x, y) == QColor(255, 255, 224);
        QTest::mouseClick(dialog->Controls()->BitBtn1, Qt::LeftButton);
        Settle();
        EXPECT_TRUE(QFile::exists(pdf));
        std::string said;
        for (const std::string& m : messages.messages()) said += m;
        return said;
    };
    gTerms.TermF = "2*t+0.3*sin(50*x)";
    gParams.FgTVon = -3;
    gParams.FgTBis = 3;
    gParams.FgTSchrittweite = 0.025;
    gDisplay.Schaubilder[1] = Schaubild{0xFF, 3, true};
    form->Redraw(true);
    ASSERT_FALSE(form->PaintBox1()->Surface().Cut());
    EXPECT_EQ(print(), "");
    EXPECT_FALSE(previewMarked);

    SteppingClock clock(1'000'000'000);
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    EXPECT_EQ(print(), CutPictureText("gedruckt"));
    EXPECT_TRUE(previewMarked);
    ExpectScreenOutput();
}

// A printout that lasts shows its progress with "Abbrechen": that stops it
// at once, nothing is printed, and a message says so. A redraw that the
// dialog's events ask for meanwhile waits for the printout instead of
// drawing on its canvas, and follows it.
TEST_F(PrintTest, ACancelledPrintoutPrintsNothingAndSaysSo) {
    SteppingClock clock;  // 10 milliseconds at every look
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    form->Redraw(true);
    ASSERT_TRUE(Open());
    messages.clear();
    bool waited = false;
    long long workAtPress = 0;
    PressAbbrechen press([&] {
        form->Redraw(true);
        waited = form->PaintBox1()->RedrawPending();
        workAtPress = WorkDone();
    });
    QTest::mouseClick(dialog->Controls()->BitBtn1, Qt::LeftButton);
    const long long workAfterPress = WorkDone() - workAtPress;
    Settle();
    ASSERT_TRUE(press.pressed);
    EXPECT_EQ(press.label, QStringLiteral("Die Grafik wird gedruckt \u2026"));
    EXPECT_LT(workAfterPress, 10 * kLookInterval * 100);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(messages.messages(), std::vector<std::string>{kDruckenAbgebrochen});
    EXPECT_TRUE(waited);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    QTest::qWait(300);
    EXPECT_FALSE(form->PaintBox1()->RedrawPending());
    ExpectScreenOutput();
}

// A preview the budget cut says so whole at the foot of the sheet, however
// small the graph on it: at the default 16 cm and at the least 2 cm. The
// note is broken into lines that each fit the area it is written on.
TEST_F(PrintTest, ThePreviewOfACutPictureSaysSoWholeOnTheSheet) {
    SteppingClock clock(1'000'000'000);
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    form->Redraw(true);
    ASSERT_TRUE(Open());
    TA4Sheet* sheet = dialog->Controls()->Image1;
    for (const char* percent : {"100", "12,5"}) {
        Type(dialog->Controls()->Edit1, QString::fromUtf8(percent));
        ASSERT_EQ(sheet->Note(), QStringLiteral("Vorschau unvollst\u00E4ndig (zu viel Rechenaufwand)")) << percent;
        const CutNoteLayout l = LayOutCutNote(sheet->rect(), sheet->Note());
        EXPECT_TRUE(sheet->rect().contains(l.box)) << percent;
        // Its letters in dark red on the sheet, inside the box.
        const QImage shown = sheet->grab().toImage();
        int red = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x) {
                const QColor c = shown.pixelColor(x, y);
                if (c.red() > 120 && c.green() < 90 && c.blue() < 90) {
                    ++red;
                    EXPECT_TRUE(l.box.contains(x, y)) << x << ", " << y;
                }
            }
        EXPECT_GT(red, 40) << percent;
    }
    const QString notes[] = {sheet->Note(), QString::fromStdString(CutPictureText("gezeichnet"))};
    for (const QString& note : notes)
        for (const int width : {100, 160, TA4Sheet::kSheetWidth, 640}) {
            const QRect area(0, 0, width, 300);
            const CutNoteLayout l = LayOutCutNote(area, note);
            EXPECT_EQ(l.lines.join(QLatin1Char(' ')), note) << width;
            EXPECT_TRUE(area.contains(l.box)) << width;
            for (const QString& line : l.lines)
                EXPECT_LE(QFontMetrics(l.font).horizontalAdvance(line), l.box.width() - 8) << width;
        }
    ExpectScreenOutput();
}

}  // namespace
}  // namespace kalvo
