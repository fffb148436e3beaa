#include <QListWidget>
#include <tuple>

#include "analysis_test_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "curves.h"
#include "discussion_window.h"
#include "number_text.h"
#include "ui_discussion_window.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

class DiscussionWindow : public AnalysisWindowTest {
protected:
    void SetUp() override {
        AnalysisWindowTest::SetUp();
        gTerms.TermF = "x^2-4";
        gTerms.TermG = "x^3";
        form = std::make_unique<TForm11>();
        ui = form->Controls();
    }
    void TearDown() override {
        form.reset();
        AnalysisWindowTest::TearDown();
    }
    QStringList Zeilen(QListWidget* l) const {
        QStringList z;
        for (int i = 0; i < l->count(); ++i) z << Kurz(l->item(i)->text());
        return z;
    }
    void Anzeigen() { Open(form.get()); }

    std::unique_ptr<TForm11> form;
    Ui::TForm11* ui = nullptr;
};

TEST_F(DiscussionWindow, ARunFillsTheListsAndTheSymmetry) {
    Anzeigen();
    form->SpeedButton1Click();
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(-2,00|0,00)m=-4,00", "N(2,00|0,00)m=4,00"}));
    EXPECT_EQ(Zeilen(ui->ListBox2), QStringList({"T(0,00|-4,00)m=0,00"}));
    EXPECT_EQ(Zeilen(ui->ListBox3), QStringList({"---.---"}));
    EXPECT_EQ(ui->Label6->text(), QStringLiteral("Das Schaubild ist symmetrisch zur y-Achse."));
    // The pole lists show only while their search is ticked.
    EXPECT_FALSE(ui->ListBox4->isVisibleTo(form.get()));
    ui->CheckBox1->click();
    EXPECT_TRUE(ui->ListBox4->isVisibleTo(form.get()));
    EXPECT_EQ(Zeilen(ui->ListBox4), QStringList({"---.----"}));
    ui->CheckBox1->click();
    EXPECT_FALSE(ui->ListBox5->isVisibleTo(form.get()));
}

TEST_F(DiscussionWindow, NewTermForGLeavesFUnchangedAndAFaultyOneIsNotStored) {
    Anzeigen();
    form->Button1Click();
    EXPECT_EQ(ui->Button1->text(), QStringLiteral("g(x,t)="));
    EXPECT_EQ(ui->edit1->text(), QStringLiteral("x^3"));
    EXPECT_EQ(Zeilen(ui->ListBox3), QStringList({"TR(0,00|0,00)m=0,00"}));
    const int redraws = host.redraws;
    Type(ui->edit1, QStringLiteral("X^2 - 1"));
    EXPECT_EQ(gTerms.TermG.str(), "x^2-1");
    EXPECT_EQ(host.redraws, redraws + 1);
    EXPECT_EQ(Zeilen(ui->ListBox1).size(), 2);
    form->BitBtn1Click();
    EXPECT_EQ(gTerms.TermG.str(), "x^2-1");
    EXPECT_EQ(gTerms.TermF.str(), "x^2-4");
    EXPECT_FALSE(form->isVisible());
    // A term with a syntax error is neither stored nor examined.
    Anzeigen();
    form->SpeedButton1Click();
    Type(ui->edit1, QStringLiteral("x^^2"));
    ASSERT_FALSE(messages.messages().empty());
    EXPECT_EQ(gTerms.TermF.str(), "x^2-4");
    EXPECT_EQ(ui->ListBox1->count(), 0);
    EXPECT_EQ(ui->Label6->text(), QString());
    EXPECT_TRUE(ui->edit1->hasFocus());
}

TEST_F(DiscussionWindow, MarkingAfterClosing) {
    struct Fall { const char* wie; bool markiert; } faelle[] = {{"Beenden", false}, {"Esc", false}, {"Titelleiste", true}, {"OK zeichnen", true}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.wie);
        gDiscussion.SonderpunkteZeichnen = false;
        Anzeigen();
        ui->CheckBox2->click();
        ui->ColorButton1->SetSelectionColor(0xFF);
        const int redraws = host.redraws;
        const std::string wie = f.wie;
        if (wie == "Beenden") ui->SpeedButton3->click();
        if (wie == "Esc") QTest::keyClick(ui->edit1, Qt::Key_Escape);
        if (wie == "Titelleiste") form->close();
        if (wie == "OK zeichnen") ui->BitBtn1->click();
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(gDiscussion.SonderpunkteZeichnen, f.markiert);
        EXPECT_EQ(gDiscussion.DiskussionFarbe, 0xFFu);
        EXPECT_GE(host.redraws, redraws + 1);
        Settle();
        // Only hidden: the window and its lists stay for the next opening.
        ASSERT_TRUE(form);
    }
}

TEST_F(DiscussionWindow, ShowingLoadsTheFieldsAndARunReadsThem) {
    gTerms.TermF = "x^2-t";
    gDiscussion.SonderpunkteBeschriften = true;
    gDiscussion.DiskussionMitG = true;
    gView.BereichX1 = -3;
    gView.BereichX2 = 5;
    gTerms.ParameterWerte[0] = 2;
    Anzeigen();
    EXPECT_FALSE(gDiscussion.DiskussionMitG);
    EXPECT_TRUE(ui->CheckBox3->Checked());
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("-3,00"));
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("5,00"));
    EXPECT_EQ(Kurz(ui->Edit5->text()), QStringLiteral("2,00"));
    // The fields set the shared t; a reversed interval is ordered.
    Type(ui->Edit2, QStringLiteral("5"));
    Type(ui->Edit3, QStringLiteral("-5"));
    Type(ui->Edit5, QStringLiteral("9"));
    EXPECT_EQ(gTerms.ParameterWerte[0], 9);
    form->SpeedButton1Click();
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("-5,00"));
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("5,00"));
    EXPECT_EQ(gKurvendiskussion.SuchintervallVon, -5);
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(-3,00|0,00)m=-6,00", "N(3,00|0,00)m=6,00"}));
}

TEST_F(DiscussionWindow, DefaultsGoBackToF) {
    Anzeigen();
    form->Button1Click();
    ui->CheckBox2->click();
    form->SpeedButton2Click();
    EXPECT_FALSE(ui->CheckBox2->Checked());
    EXPECT_EQ(ui->Button1->text(), QStringLiteral("f(x,t)="));
    EXPECT_EQ(ui->edit1->text(), QStringLiteral("x^2-4"));
    // Leaving the field now stores f, not g.
    Type(ui->edit1, QStringLiteral("x^2-9"));
    EXPECT_EQ(gTerms.TermF.str(), "x^2-9");
    EXPECT_EQ(gTerms.TermG.str(), "x^3");
}

TEST_F(DiscussionWindow, ListsAlwaysBelongToTheTermShown) {
    // A window made on first use has nothing to keep: it searches.
    const QStringList vonX2minus4 = {"N(-2,00|0,00)m=-4,00", "N(2,00|0,00)m=4,00"};
    Anzeigen();
    EXPECT_EQ(Zeilen(ui->ListBox1), vonX2minus4);
    EXPECT_EQ(ui->Label6->text(), QStringLiteral("Das Schaubild ist symmetrisch zur y-Achse."));
    // Runs of the redraw and of the area window (here on x - 1) fill the
    // result arrays, not the lists of the window.
    {
        QuietParsing quiet;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x-1", true));
    }
    KurvendiskussionBerechnen(-8, 8, 16.0 / 500, 0);
    EXPECT_EQ(gDiscussion.AnzahlNullstellen, 1);
    EXPECT_EQ(Zeilen(ui->ListBox1), vonX2minus4);
    // Opened again on another term (changed in another window meanwhile),
    // on another view or parameter: the lists are those of what is shown.
    form->close();
    gTerms.TermF = "x^2-9";
    Anzeigen();
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(-3,00|0,00)m=-6,00", "N(3,00|0,00)m=6,00"}));
    form->close();
    gView.BereichX1 = 0;
    Anzeigen();
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(3,00|0,00)m=6,00"}));
    form->close();
    gTerms.TermF = "x^2-t";
    gTerms.ParameterWerte[0] = 4;
    Anzeigen();
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(2,00|0,00)m=4,00"}));
    // "Vorgabe" with g examined puts f back without a search: the lists of
    // g go.
    form->Button1Click();
    EXPECT_EQ(Zeilen(ui->ListBox3), QStringList({"TR(0,00|0,00)m=0,00"}));
    form->SpeedButton2Click();
    EXPECT_EQ(ui->ListBox3->count(), 0);
    EXPECT_EQ(ui->Label6->text(), QString());
}

TEST_F(DiscussionWindow, ListsFollowTheConstantsSetElsewhere) {
    // The family dialog and the linear-system window set a to d while the
    // window is hidden; the term text stays the same.
    struct Fall { const char* term; double TermState::*konstante; };
    const Fall faelle[] = {{"x^2-a", &TermState::KonstanteA}, {"x^2-b", &TermState::KonstanteB},
                           {"x^2-c", &TermState::KonstanteC}, {"x^2-d", &TermState::KonstanteD}};
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.term);
        gTerms.TermF = f.term;
        gTerms.*f.konstante = 4;
        Anzeigen();
        EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(-2,00|0,00)m=-4,00", "N(2,00|0,00)m=4,00"}));
        EXPECT_EQ(Zeilen(ui->ListBox2), QStringList({"T(0,00|-4,00)m=0,00"}));
        ui->BitBtn1->click();
        gTerms.*f.konstante = 9;
        Anzeigen();
        EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(-3,00|0,00)m=-6,00", "N(3,00|0,00)m=6,00"}));
        EXPECT_EQ(Zeilen(ui->ListBox2), QStringList({"T(0,00|-9,00)m=0,00"}));
        form->close();
        gTerms.*f.konstante = 1;
    }
    // Nothing changed: the lists stay as they are, without a search.
    gTerms.TermF = "x^2-a";
    Anzeigen();
    ui->ListBox1->addItem(QStringLiteral("unverändert"));
    form->close();
    Anzeigen();
    EXPECT_EQ(ui->ListBox1->count(), 3);
}

TEST_F(DiscussionWindow, PolesAndAsymptotesShowTheDecimalComma) {
    gTerms.TermF = "x+1+1/(x-1)";
    Anzeigen();
    ui->CheckBox1->click();
    ASSERT_EQ(ui->ListBox4->count(), 1);
    EXPECT_EQ(ui->ListBox4->item(0)->text(), QStringLiteral("x =  1,00"));
    ASSERT_EQ(ui->ListBox5->count(), 1);
    EXPECT_EQ(ui->ListBox5->item(0)->text(), QStringLiteral("y =  x +  1,00"));
    // The stored line is a term the drawing compiles.
    EXPECT_EQ(gDiscussion.AsymptotenText[0].str(), "x+1.00");
    // A one-sided pole names its side after the place, within the list's width.
    Type(ui->edit1, QStringLiteral("exp(1/x)+1/(x+4)"));
    ASSERT_EQ(ui->ListBox4->count(), 2);
    EXPECT_EQ(ui->ListBox4->item(0)->text(), QStringLiteral("x = -4,00"));
    EXPECT_EQ(ui->ListBox4->item(1)->text(), QStringLiteral("x =  0,00 (rechtsseitig)"));
    EXPECT_LT(ui->ListBox4->fontMetrics().horizontalAdvance(ui->ListBox4->item(1)->text()),
              ui->ListBox4->viewport()->width());
}

TEST_F(DiscussionWindow, PrintoutHasTitleRangeAndOnlyNonEmptySections) {
    ASSERT_TRUE(HatPdftotext());
    Anzeigen();
    ui->SpeedButton4->click();
    ASSERT_EQ(druckauftraege, 1);
    const QString text = PdfText();
    EXPECT_TRUE(Gedruckt(text, "Kurvendiskussion:  f(x) = x^2-4")) << text.toStdString();
    EXPECT_TRUE(Gedruckt(text, "Suchbereich: [-8,00;8,00]"));
    EXPECT_TRUE(Gedruckt(text, "Schnittpunkte mit der x-Achse"));
    EXPECT_TRUE(Gedruckt(text, "Hoch- und Tiefpunkte"));
    EXPECT_FALSE(Gedruckt(text, "Wendepunkte"));
    EXPECT_TRUE(Gedruckt(text, "Das Schaubild ist symmetrisch zur y-Achse."));
    EXPECT_FALSE(gKurvendiskussion.DiskussionDruck);
}

TEST_F(DiscussionWindow, PrintoutWithTheGraphGivesTheScreenBack) {
    ASSERT_TRUE(HatPdftotext());
    gTerms.TermF = "t*x^2";
    gTerms.ParameterWerte[0] = 2;
    Anzeigen();
    ui->CheckBox4->click();
    const OutputContext vorher = gOutput;
    const int redraws = host.redraws;
    ui->SpeedButton4->click();
    EXPECT_EQ(host.redraws, redraws + 1);
    EXPECT_EQ(gOutput.AusgabefaktorX, vorher.AusgabefaktorX);
    EXPECT_EQ(gOutput.SamplesPerPixel, vorher.SamplesPerPixel);
    EXPECT_FALSE(gOutput.PrintingActive);
    EXPECT_EQ(gOutput.AusgabeCanvas, vorher.AusgabeCanvas);
    const QString text = PdfText();
    EXPECT_TRUE(Gedruckt(text, "f(x) = t*x^2 ; t =2,00")) << text.toStdString();
}

// A graph below the lists that the printout's work budget cut is printed as
// far as it goes, and a message says so.
TEST_F(DiscussionWindow, APrintedGraphThatWasCutSaysSo) {
    ASSERT_TRUE(HatPdftotext());
    Anzeigen();
    ui->CheckBox4->click();
    ui->SpeedButton4->click();
    EXPECT_TRUE(messages.messages().empty());
    SteppingClock clock(1'000'000'000);  // a second passes at every look
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    ui->SpeedButton4->click();
    EXPECT_EQ(messages.messages(), std::vector<std::string>{CutPictureText("gedruckt")});
    EXPECT_TRUE(Gedruckt(PdfText(), "Kurvendiskussion:  f(x) = x^2-4"));
}

TEST_F(DiscussionWindow, ALongPrintoutGoesOnOverPagesWithEveryLineAndTheGraph) {
    ASSERT_TRUE(HatPdftotext());
    gTerms.TermF = "sin(x)";
    Anzeigen();
    // sin on [-40, 40]: 25 zeros k*pi, 26 extrema pi/2 + k*pi, 25 inflection
    // points; on [-60, 60]: 39, 38 and 39.
    for (const auto& [von, bis, seiten] : {std::tuple{-40, 40, 2}, std::tuple{-60, 60, 3}}) {
        SCOPED_TRACE(von);
        Type(ui->Edit2, QText(IntToText(von)));
        Type(ui->Edit3, QText(IntToText(bis)));
        if (!ui->CheckBox4->Checked()) ui->CheckBox4->click();
        ui->SpeedButton4->click();
        const QString text = PdfText();
        QStringList zeilen;
        for (QListWidget* l : {ui->ListBox1, ui->ListBox2, ui->ListBox3}) zeilen += Zeilen(l);
        EXPECT_EQ(zeilen.size(), von == -40 ? 76 : 116);
        for (const QString& z : zeilen) EXPECT_TRUE(text.contains(z)) << z.toStdString();
        const QString satz = QStringLiteral("DasSchaubildistsymmetrischzumUrsprung.");
        ASSERT_TRUE(text.contains(satz));
        // The graph's axis labels come after the symmetry sentence, on a
        // page of their own when the lists leave no room.
        EXPECT_FALSE(text.section(satz, 1).isEmpty());
        EXPECT_EQ(pdfSeiten, seiten);
    }
}

}  // namespace
}  // namespace kalvo
