#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

#include "analysis_test_support.h"
#include "bit_check_box.h"
#include "mgrid.h"
#include "newton_dialog.h"
#include "ui_newton_dialog.h"
#include "ui_value_table.h"
#include "value_table.h"

namespace kalvo {
namespace {

using TableWindows = AnalysisWindowTest;

TEST_F(TableWindows, ValueTableComputesWhenShownAndOnRequest) {
    gTerms.TermF = "x^2";
    gView.BereichX1 = -2;
    gView.BereichX2 = 2;
    auto* w = Open(new TForm12);
    Ui::TForm12* ui = w->Controls();
    EXPECT_EQ(ui->StringGrid1->rowCount(), 6);
    EXPECT_EQ(ui->StringGrid1->Cells(0, 0), QStringLiteral("     x"));
    EXPECT_EQ(Kurz(ui->StringGrid1->Cells(1, 1)), QStringLiteral("4,00"));
    // Mended fields are shown as they were used.
    Type(ui->Edit2, QStringLiteral("1"));
    Type(ui->Edit3, QStringLiteral("0"));
    Type(ui->Edit4, QStringLiteral("-0,5"));
    w->BitBtn1Click();
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("0,00"));
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("1,00"));
    EXPECT_EQ(Kurz(ui->Edit4->text()), QStringLiteral("0,50"));
    EXPECT_EQ(ui->StringGrid1->rowCount(), 4);
    // The term typed here is the table's, and not stored as f.
    Type(ui->edit1, QStringLiteral("1/x"));
    w->BitBtn1Click();
    EXPECT_EQ(ui->StringGrid1->Cells(1, 1), QStringLiteral(" nicht def."));
    EXPECT_EQ(gTerms.TermF.str(), "x^2");
    Type(ui->Edit5, QStringLiteral("3"));
    EXPECT_EQ(gTerms.ParameterWerte[0], 3);
    QPointer<TForm12> p(w);
    const int redraws = host.redraws;
    QTest::keyClick(ui->edit1, Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(p.isNull());
    EXPECT_EQ(host.redraws, redraws + 1);
}

TEST_F(TableWindows, ValueTableClipboardText) {
    gTerms.TermF = "2*x";
    gView.BereichX1 = 0;
    gView.BereichX2 = 1;
    auto* w = Open(new TForm12);
    w->Controls()->BitBtn5->click();
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList zeilen = text.split(QStringLiteral("\r\n"));
    // Title, empty line, heading, two rows; every line ends with CR LF.
    ASSERT_EQ(zeilen.size(), 6);
    EXPECT_EQ(zeilen[0], QStringLiteral("Wertetabelle:  f(x) = 2*x"));
    EXPECT_EQ(zeilen[1], QString());
    EXPECT_EQ(zeilen[2], QStringLiteral("     x\t    f(x)\t   f'(x)\t   f''(x)\t   f'''(x)"));
    EXPECT_EQ(zeilen[4].split(QLatin1Char('\t')).size(), 5);
    EXPECT_EQ(Kurz(zeilen[4].split(QLatin1Char('\t'))[1]), QStringLiteral("2,00"));
    EXPECT_EQ(zeilen[5], QString());
    w->close();
}

TEST_F(TableWindows, ValueTablePrintoutGoesOnOverPages) {
    if (!HatPdftotext()) FAIL() << "pdftotext is missing: tools/install-deps installs it";
    gTerms.TermF = "x";
    auto* w = Open(new TForm12);
    Type(w->Controls()->Edit4, QStringLiteral("0,1"));
    w->BitBtn1Click();
    ASSERT_EQ(w->Controls()->StringGrid1->rowCount(), 102);
    w->Controls()->BitBtn4->click();
    const QString text = PdfText();
    EXPECT_TRUE(Gedruckt(text, "Wertetabelle:  f(x) = x"));
    // The first and the last row are both printed.
    EXPECT_TRUE(Gedruckt(text, "-8,00")) << text.toStdString();
    EXPECT_TRUE(Gedruckt(text, "2,002,001,00"));
    EXPECT_GE(pdfSeiten, 2);
    // Every page starts its table with the header row.
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), PdfPfad(), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString boxes = QString::fromUtf8(p.readAllStandardOutput());
    const QStringList pages = boxes.split(QStringLiteral("<page "), Qt::SkipEmptyParts).mid(1);
    ASSERT_EQ(pages.size(), pdfSeiten);
    for (const QString& page : pages) EXPECT_TRUE(page.contains(QStringLiteral(">f(x)</word>"))) << page.left(300).toStdString();
    // Font heights in 0.1 mm: 54 for the title, 44 for the table, as the
    // height of the font's cell. The monospaced printer font (Liberation
    // Mono for "Courier New") has a cell of 1.1328 em and characters 0.6 em
    // wide, so "Wertetabelle:" is 13 * 0.6 * 5.4 mm / 1.1328 = 37.18 mm
    // (105.4 pt) wide and "f'(x)" 5 * 0.6 * 4.4 mm / 1.1328 = 11.65 mm (33.03 pt).
    auto width = [&](const QString& word) {
        const QRegularExpression box(QStringLiteral("xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\"[^>]*>") +
                                     QRegularExpression::escape(word) + QStringLiteral("</word>"));
        const QRegularExpressionMatch m = box.match(boxes);
        return m.hasMatch() ? m.captured(2).toDouble() - m.captured(1).toDouble() : 0.0;
    };
    EXPECT_NEAR(width(QStringLiteral("Wertetabelle:")), 105.4, 2.0);
    EXPECT_NEAR(width(QStringLiteral("f&apos;(x)")), 33.03, 1.0);
    w->close();
}

class NewtonWindow : public AnalysisWindowTest {
protected:
    TForm17* OpenNewton(const char* term) {
        gTerms.TermF = term;
        auto* w = Open(new TForm17);
        ui = w->Controls();
        return w;
    }
    QString Zelle(int c, int r) const { return Kurz(ui->StringGrid1->Cells(c, r)); }
    Ui::TForm17* ui = nullptr;
};

TEST_F(NewtonWindow, ShowingComputesFromOne) {
    gOverlay.NewtonZeichnen = true;
    gOverlay.Startwert = 5;
    auto* w = OpenNewton("x^2-2");
    EXPECT_EQ(gOverlay.Startwert, 1.0);
    EXPECT_TRUE(ui->CheckBox1->Checked());
    EXPECT_EQ(ui->StringGrid1->rowCount(), 5);
    EXPECT_EQ(ui->StringGrid1->Cells(4, 0), QStringLiteral("f(x(n))/f'(x(n))"));
    EXPECT_EQ(Zelle(0, 4), QStringLiteral("3"));
    EXPECT_EQ(Zelle(5, 4), QStringLiteral("1,414214"));
    EXPECT_EQ(ui->Label5->text(), QString());
    w->close();
}

TEST_F(NewtonWindow, StopReasonsAndTheTable) {
    auto* w = OpenNewton("x^2+1");
    EXPECT_EQ(ui->Label5->text(), QString::fromUtf8(kAbleitungNull));
    EXPECT_EQ(ui->StringGrid1->rowCount(), 3);
    EXPECT_EQ(Zelle(5, 1), QStringLiteral("0,000000"));
    EXPECT_EQ(Zelle(0, 2), QString());
    // A start value that is a zero leaves the table as it was.
    Type(ui->edit1, QStringLiteral("x^2-1"));
    w->BitBtn1Click();
    EXPECT_EQ(ui->Label5->text(), QStringLiteral("Startwert ist Nullstelle!"));
    EXPECT_EQ(ui->StringGrid1->rowCount(), 3);
    EXPECT_EQ(gTerms.TermF.str(), "x^2-1");
    Type(ui->Edit2, QStringLiteral("3"));
    EXPECT_EQ(gOverlay.Startwert, 3);
    Type(ui->edit1, QStringLiteral("ln(x)"));
    w->BitBtn1Click();
    EXPECT_TRUE(ui->Label5->text().endsWith(QStringLiteral(" ----> nicht definiert !")));
    EXPECT_EQ(ui->StringGrid1->rowCount(), 2);
    // Steps that shrink steadily go on to the cap, and their numbers fit.
    Type(ui->edit1, QStringLiteral("sgn(x)*abs(x)^0,501"));
    Type(ui->Edit2, QStringLiteral("1"));
    w->BitBtn1Click();
    ASSERT_EQ(ui->StringGrid1->rowCount(), kNewtonMaxSchritteStetig + 1);
    EXPECT_EQ(Zelle(0, kNewtonMaxSchritteStetig), QStringLiteral("1999"));
    EXPECT_GE(ui->StringGrid1->columnWidth(0),
              ui->StringGrid1->fontMetrics().horizontalAdvance(QStringLiteral("1999")));
    w->close();
}

TEST_F(NewtonWindow, DecimalsField) {
    auto* w = OpenNewton("x^2-2");
    const std::pair<const char*, const char*> faelle[] = {{"0", "6"}, {"9", "7"}, {"x", "6"}, {"3", "3"}};
    for (const auto& [ein, aus] : faelle) {
        Type(ui->Edit4, QString::fromLatin1(ein));
        EXPECT_EQ(ui->Edit4->text(), QString::fromLatin1(aus)) << ein;
    }
    w->BitBtn1Click();
    EXPECT_EQ(Zelle(5, 1), QStringLiteral("1,500"));
    w->close();
}

TEST_F(NewtonWindow, DrawingSwitchAndClosing) {
    OpenNewton("x^2-2");
    ui->CheckBox1->click();
    EXPECT_TRUE(gOverlay.NewtonZeichnen);
    Type(ui->Edit3, QStringLiteral("4"));
    EXPECT_EQ(gTerms.ParameterWerte[0], 4);
    ui->BitBtn4->click();  // OK keeps the tangents
    EXPECT_TRUE(gOverlay.NewtonZeichnen);
    Settle();
    OpenNewton("x^2-2");
    const int redraws = host.redraws;
    ui->BitBtn2->click();  // "Beenden" switches them off
    EXPECT_FALSE(gOverlay.NewtonZeichnen);
    EXPECT_EQ(host.redraws, redraws + 1);
}

TEST_F(NewtonWindow, ClipboardAndPrintout) {
    auto* w = OpenNewton("x^2-2");
    ui->BitBtn6->click();
    const QStringList zeilen = QGuiApplication::clipboard()->text().split(QStringLiteral("\r\n"));
    ASSERT_EQ(zeilen.size(), 2 + 5 + 1);
    EXPECT_EQ(zeilen[0], QStringLiteral("Newtonverfahren:  f(x) = x^2-2"));
    EXPECT_EQ(zeilen[2].split(QLatin1Char('\t')).size(), 6);
    if (HatPdftotext()) {
        ui->BitBtn5->click();
        const QString text = PdfText();
        EXPECT_TRUE(Gedruckt(text, "Newtonverfahren:  f(x) = x^2-2"));
        EXPECT_TRUE(Gedruckt(text, "1,414214")) << text.toStdString();
        // A slow run (112 steps) goes on over pages, each under the header
        // row, down to its last step.
        Type(ui->edit1, QStringLiteral("x^5"));
        Type(ui->Edit2, QStringLiteral("2"));
        Type(ui->Edit4, QStringLiteral("3"));
        ui->BitBtn5->click();
        ASSERT_EQ(ui->StringGrid1->rowCount(), 113);
        const QString lang = PdfText();
        EXPECT_GE(pdfSeiten, 3);
        EXPECT_TRUE(Gedruckt(lang, "111 0,000 0,000 0,000 0,000 0,000")) << lang.toStdString();
        QProcess p;
        p.start(QStringLiteral("pdftotext"), {PdfPfad(), QStringLiteral("-")});
        ASSERT_TRUE(p.waitForFinished(20000));
        const QStringList seiten =
            QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        ASSERT_EQ(seiten.size(), pdfSeiten);
        for (const QString& seite : seiten) EXPECT_TRUE(seite.contains(QStringLiteral("f(x(n))/f'(x(n))")));
    }
    w->close();
}

}  // namespace
}  // namespace kalvo
