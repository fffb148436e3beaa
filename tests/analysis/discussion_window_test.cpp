#include <QListWidget>

#include "analysis_test_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "discussion_window.h"
#include "ui_discussion_window.h"

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

TEST_F(DiscussionWindow, NewTermForGLeavesFUnchanged) {
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
}

TEST_F(DiscussionWindow, ATermWithASyntaxErrorIsNeitherStoredNorExamined) {
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
    struct Fall {
        const char* wie;
        bool markiert;
    } faelle[] = {{"Beenden", false}, {"Esc", false}, {"Titelleiste", true}, {"OK zeichnen", true}};
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

TEST_F(DiscussionWindow, ShowingLoadsTheStateAndKeepsTheLists) {
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
    form->SpeedButton1Click();
    form->close();
    Anzeigen();
    EXPECT_EQ(Zeilen(ui->ListBox1).size(), 2);
}

TEST_F(DiscussionWindow, AReversedIntervalIsOrdered) {
    Anzeigen();
    Type(ui->Edit2, QStringLiteral("5"));
    Type(ui->Edit3, QStringLiteral("-5"));
    form->SpeedButton1Click();
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("-5,00"));
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("5,00"));
    EXPECT_EQ(gKurvendiskussion.SuchintervallVon, -5);
    // The zeros of x^2 - 4 lie inside [-5, 5].
    EXPECT_EQ(Zeilen(ui->ListBox1).size(), 2);
}

TEST_F(DiscussionWindow, TheParameterFieldSetsTheSharedT) {
    gTerms.TermF = "x^2-t";
    Anzeigen();
    Type(ui->Edit5, QStringLiteral("9"));
    EXPECT_EQ(gTerms.ParameterWerte[0], 9);
    form->SpeedButton1Click();
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

TEST_F(DiscussionWindow, RunsOfTheRedrawFillTheListsToo) {
    Anzeigen();
    form->SpeedButton1Click();
    QuietParsing quiet;
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x-1", true));
    KurvendiskussionBerechnen(-8, 8, 16.0 / 500, 0);
    EXPECT_EQ(Zeilen(ui->ListBox1), QStringList({"N(1,00|0,00)m=1,00"}));
}

TEST_F(DiscussionWindow, PrintoutHasTitleRangeAndOnlyNonEmptySections) {
    if (!HatPdftotext()) FAIL() << "pdftotext is missing: tools/install-deps installs it";
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
    if (!HatPdftotext()) FAIL() << "pdftotext is missing: tools/install-deps installs it";
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

}  // namespace
}  // namespace kalvo
