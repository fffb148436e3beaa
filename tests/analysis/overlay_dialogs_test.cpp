#include "analysis_test_support.h"
#include "area_dialog.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "curves.h"
#include "draw_combo_box.h"
#include "iteration_dialog.h"
#include "numeric_tables.h"
#include "sums_dialog.h"
#include "ui_area_dialog.h"
#include "ui_iteration_dialog.h"
#include "ui_sums_dialog.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

using OverlayDialogs = AnalysisWindowTest;

// ---- areas ----

TEST_F(OverlayDialogs, AreaComputesWhenShownAndOnRequest) {
    // Exact areas: by hand (odd integrands, whole periods, |x^3 - x| on
    // [-2, 2] is 5) and by mpmath.quad in 30 digits for 400(x^2 - 4) on [-1, 2].
    const struct { const char *f, *g, *a, *b, *orientiert, *absolut; } faelle[] = {
        {"sin(x)", "0", "0", "2pi", "0,0000[FE]", "4,0000[FE]"},
        {"sin(x)*cos(x)", "0", "0", "pi", "0,0000[FE]", "1,0000[FE]"},
        {"x^3", "x", "-2", "2", "0,0000[FE]", "5,0000[FE]"}, {"x", "0", "-1", "1", "0,0000[FE]", "1,0000[FE]"},
        // A pole inside the bounds whose area grows without bound: none.
        {"1/x^2", "0", "-1", "2", "nichtdef.", "nichtdef."}, {"x^2", "1/x", "-1", "2", "nichtdef.", "nichtdef."},
        {"tan(x)", "0", "1", "2", "nichtdef.", "nichtdef."},
        {"400*(x^2-4)", "0", "-1", "2", "-3,6000E+3[FE]", "3,6000E+3[FE]"},
        // Root-type ends and curves that cross the axis or each other, to the
        // last digit shown (pi/2, pi, 12; mpmath.quad split at the zeros).
        {"sqrt(1-x^2)", "0", "-1", "1", "1,5708[FE]", "1,5708[FE]"},
        {"sqrt(4-x^2)", "0", "0", "2", "3,1416[FE]", "3,1416[FE]"},
        {"x^(1/3)", "0", "0", "8", "12,0000[FE]", "12,0000[FE]"},
        {"sin(x^2)", "0", "0", "6", "0,6385[FE]", "3,5775[FE]"},
        {"x^4-5*x^2+4", "0", "-2,5", "2,5", "6,9792[FE]", "12,8458[FE]"},
        // Undefined at isolated points: the improper integral where it
        // converges (2, 2 Si(1), 2 ln 2 - 3 and 1 + 2 ln 2 by hand), none
        // where it does not, nor a principal value, nor on a stretch.
        {"1/sqrt(x)", "0", "0", "1", "2,0000[FE]", "2,0000[FE]"},
        {"sin(x)/x", "0", "-1", "1", "1,8922[FE]", "1,8922[FE]"},
        {"ln(abs(x))", "0", "-1", "2", "-1,6137[FE]", "2,3863[FE]"},
        {"1/x", "0", "-1", "1", "nichtdef.", "nichtdef."}, {"sqrt(x)", "0", "-1", "1", "nichtdef.", "nichtdef."},
        // The last row stands for the iteration count below.
        {"x^2", "x+2", "-3", "3", "6,0000[FE]", "15,0000[FE]"},
    };
    gTerms.TermF = "x";
    gTerms.TermG = "0";
    gOverlay.GrenzeA = -1;
    gOverlay.GrenzeB = 1;
    auto* w = Open(new TForm13);
    Ui::TForm13* ui = w->Controls();
    EXPECT_EQ(Kurz(ui->Label18->text()), QStringLiteral("0,0000[FE]"));
    EXPECT_EQ(Kurz(ui->Label19->text()), QStringLiteral("1,0000[FE]"));
    for (const auto& f : faelle) {
        Type(ui->edit1, QString::fromLatin1(f.f));
        Type(ui->Edit2, QString::fromLatin1(f.g));
        Type(ui->Edit3, QString::fromLatin1(f.a));
        Type(ui->Edit4, QString::fromLatin1(f.b));
        ui->BitBtn2->click();
        EXPECT_EQ(Kurz(ui->Label18->text()), QString::fromLatin1(f.orientiert)) << f.f << " - " << f.g;
        EXPECT_EQ(Kurz(ui->Label19->text()), QString::fromLatin1(f.absolut)) << f.f << " - " << f.g;
        EXPECT_EQ(gTerms.TermF.str(), f.f);
    }
    // The largest iteration count settles to the same digits.
    Type(ui->Edit6, QStringLiteral("500"));
    ui->BitBtn2->click();
    EXPECT_EQ(Kurz(ui->Label19->text()), QStringLiteral("15,0000[FE]"));
    EXPECT_TRUE(messages.messages().empty());
    w->close();
}

TEST_F(OverlayDialogs, AnAreaCutShortShowsItsTextAndSaysSo) {
    SteppingClock clock;
    gTerms.TermF = "x";
    gOverlay.GrenzeA = -1;
    gOverlay.GrenzeB = 1;
    auto* w = Open(new TForm13);
    Ui::TForm13* ui = w->Controls();
    // 9,999 terms a value: far more than a second's work.
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    Type(ui->edit1, QStringLiteral("sin(n*x)/n^2"));
    ui->BitBtn2->click();
    EXPECT_EQ(ui->Label18->text() + "|" + ui->Label19->text(),
              QStringLiteral("zu viel Rechenaufwand|zu viel Rechenaufwand"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], kBerechnungAbgebrochen);
    // One term: 2 - 2 cos 1 by hand.
    gParams.FgSummeBis = 1;
    ui->BitBtn2->click();
    EXPECT_EQ(Kurz(ui->Label18->text()) + "|" + Kurz(ui->Label19->text()), QStringLiteral("0,0000[FE]|0,9194[FE]"));
    EXPECT_EQ(messages.messages().size(), 1u);
    // Whether the area up to 0 exists cannot be told; |f| has none.
    Type(ui->edit1, QStringLiteral("sin(ln(x))/x"));
    Type(ui->Edit3, QStringLiteral("0"));
    ui->BitBtn2->click();
    EXPECT_EQ(ui->Label18->text() + "|" + ui->Label19->text(), QStringLiteral("zu viel Rechenaufwand|nicht def."));
    EXPECT_EQ(messages.messages().size(), 2u);
    w->close();
}

TEST_F(OverlayDialogs, ASumPastTheLimitIsUndefinedInTablesAndAreas) {
    gTerms.TermF = "x/n";
    gTerms.TermG = "0";
    gOverlay.GrenzeA = 0;
    gOverlay.GrenzeB = 1;
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = static_cast<int>(kMaxSumTerms) + 1;
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x/n", true));
    bool definiert = true;
    FamilienWert(0, 1, 0, definiert);
    EXPECT_FALSE(definiert);
    auto* w = Open(new TForm13);
    EXPECT_EQ(w->Controls()->Label18->text(), QStringLiteral("nicht def."));
    w->close();
}

TEST_F(OverlayDialogs, AreaIterationFieldAndBoundsFromTheIntersections) {
    gTerms.TermF = "x^2";
    gTerms.TermG = "1";
    auto* w = Open(new TForm13);
    Ui::TForm13* ui = w->Controls();
    const std::pair<const char*, int> faelle[] = {{"-20", 20}, {"0", 1}, {"1000", 500}, {"-2147483648", 500}, {"37", 37}};
    for (const auto& [ein, aus] : faelle) {
        Type(ui->Edit6, QString::fromLatin1(ein));
        EXPECT_EQ(w->FlaecheIterationen(), aus) << ein;
        EXPECT_EQ(ui->Edit6->text(), QString::number(aus));
    }
    messages.clear();
    Type(ui->Edit6, QStringLiteral("viele"));
    EXPECT_EQ(w->FlaecheIterationen(), 37);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "'viele' ist kein g\xC3\xBCltiger Integerwert");
    EXPECT_TRUE(ui->Edit6->hasFocus());
    ui->SpeedButton1->click();
    EXPECT_NEAR(gOverlay.GrenzeA, -1, 1e-5);
    EXPECT_NEAR(gOverlay.GrenzeB, 1, 1e-5);
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("-1,00"));
    // Without an intersection in the view the bounds stay.
    Type(ui->Edit2, QStringLiteral("-5"));
    ui->SpeedButton1->click();
    EXPECT_NEAR(w->FlaecheGrenzeA(), -1, 1e-5);
    w->close();
}

TEST_F(OverlayDialogs, AreaSwitchesAndClosing) {
    gOverlay.SummenAnzeigeart = 4;
    auto* w = Open(new TForm13);
    Ui::TForm13* ui = w->Controls();
    ui->CheckBox1->click();
    EXPECT_TRUE(gOverlay.FlaecheZeichnen);
    ui->FillStyleComboBox1->SetFillStyle(6);
    emit ui->FillStyleComboBox1->OnClick();
    EXPECT_EQ(gOverlay.FuellmusterFlaeche, 6);
    ui->ColorButton1->SetSelectionColor(0x00FF00);
    EXPECT_EQ(gOverlay.FuellfarbeFlaeche, 0xFFu);  // only with OK
    Type(ui->Edit3, QStringLiteral("2"));
    ui->BitBtn1->click();
    EXPECT_EQ(gOverlay.SummenAnzeigeart, 1);
    EXPECT_EQ(gOverlay.FuellfarbeFlaeche, 0x00FF00u);
    EXPECT_EQ(gOverlay.GrenzeA, 2);
    EXPECT_TRUE(gOverlay.FlaecheZeichnen);
    Settle();
    w = Open(new TForm13);
    EXPECT_TRUE(w->Controls()->CheckBox1->Checked());
    QTest::keyClick(w->Controls()->edit1, Qt::Key_Escape);
    EXPECT_FALSE(gOverlay.FlaecheZeichnen);
}

// ---- sums ----

TEST_F(OverlayDialogs, SumsDefaultsAndOk) {
    gOverlay.GrenzeA = -3;
    gOverlay.GrenzeB = 3;
    gOverlay.AnzahlRechtecke = 16;
    auto* w = Open(new TForm15);
    Ui::TForm15* ui = w->Controls();
    EXPECT_TRUE(ui->RadioButton1->isChecked());
    EXPECT_EQ(ui->Edit4->text(), QStringLiteral("16"));
    ui->BitBtn3->click();
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("0,00"));
    EXPECT_EQ(Kurz(ui->Edit3->text()), QStringLiteral("1,00"));
    EXPECT_EQ(ui->Edit4->text(), QStringLiteral("4"));
    EXPECT_EQ(gOverlay.GrenzeA, -3);  // the bounds only with OK
    ui->RadioButton5->click();
    ui->ColorButton5->SetSelectionColor(0x123456);
    ui->BitBtn1->click();
    EXPECT_EQ(gOverlay.SummenAnzeigeart, 5);
    EXPECT_EQ(gOverlay.FarbeZwischenwertsumme, 0x123456u);
    EXPECT_EQ(gOverlay.GrenzeA, 0);
    EXPECT_EQ(gOverlay.GrenzeB, 1);
}

TEST_F(OverlayDialogs, SumsCountAndSwitch) {
    auto* w = Open(new TForm15);
    Ui::TForm15* ui = w->Controls();
    const std::pair<const char*, int> faelle[] = {{"12", 12}, {"abc", 1}, {"0", 1}, {"-7", 1}, {"99999", 1024}};
    for (const auto& [ein, aus] : faelle) {
        Type(ui->Edit4, QString::fromLatin1(ein));
        EXPECT_EQ(gOverlay.AnzahlRechtecke, aus) << ein;  // at once
    }
    ui->CheckBox1->click();
    EXPECT_TRUE(gOverlay.SummenZeichnen);
    const int redraws = host.redraws;
    ui->BitBtn2->click();
    EXPECT_FALSE(gOverlay.SummenZeichnen);
    EXPECT_EQ(host.redraws, redraws + 1);
}

// ---- iteration ----

class IterationDialog : public AnalysisWindowTest {
protected:
    TForm16* OpenIteration(bool logistisch) {
        gIteration.IterLogistisch = logistisch;
        auto* w = Open(new TForm16);
        ui = w->Controls();
        return w;
    }
    Ui::TForm16* ui = nullptr;
};

TEST_F(IterationDialog, FirstOpeningAsLogisticEquation) {
    gTerms.TermF = "sin(x)";
    gIteration.IterationParameterA = 2;
    auto* w = OpenIteration(true);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Logistische Gleichung"));
    EXPECT_FALSE(ui->Edit1->isVisibleTo(w));
    EXPECT_EQ(gIteration.IterationParameterA, 3.1);
    EXPECT_EQ(gOverlay.Startwert, 0.2);
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("3,100"));
    EXPECT_EQ(ui->Edit4->text(), QStringLiteral("50"));
    EXPECT_EQ(ui->Edit7->text(), QStringLiteral("1"));
    EXPECT_EQ(gIteration.AttraktorABis, 4);
    EXPECT_EQ(gIteration.IterYBis, 1.1);
    EXPECT_EQ(gTerms.TermF.str(), "");
    EXPECT_FALSE(ui->Edit8->isEnabled());
    ui->RadioButton3->click();
    EXPECT_TRUE(ui->Edit8->isEnabled());
    w->BitBtn2Click();
    // Ended without a picture: f is back.
    EXPECT_EQ(gTerms.TermF.str(), "sin(x)");
}

TEST_F(IterationDialog, CountFields) {
    auto* w = OpenIteration(false);
    struct Fall { TermEdit* feld; const char* ein; int aus; const int* ziel; } faelle[] = {
        {ui->Edit4, "999", 500, &gIteration.IterationenN}, {ui->Edit4, "0", 50, &gIteration.IterationenN},
        {ui->Edit4, "ab", 500, &gIteration.IterationenN}, {ui->Edit4, "120", 120, &gIteration.IterationenN},
        {ui->Edit7, "0", 1, &gIteration.IterierteK}, {ui->Edit7, "25", 20, &gIteration.IterierteK},
        {ui->Edit7, "k", 20, &gIteration.IterierteK}, {ui->Edit5, "300", 200, &gIteration.VorIterationen},
        {ui->Edit5, "-1", 50, &gIteration.VorIterationen}, {ui->Edit6, "x", 50, &gIteration.NachIterationen},
    };
    for (const Fall& f : faelle) {
        Type(f.feld, QString::fromLatin1(f.ein));
        EXPECT_EQ(*f.ziel, f.aus) << f.ein;
        EXPECT_EQ(f.feld->text(), QString::number(f.aus));
    }
    // The count sets the view's x range at once.
    EXPECT_EQ(gView.BereichX1, 0);
    EXPECT_EQ(gView.BereichX2, 120);
    w->close();
}

TEST_F(IterationDialog, PathThenEndGivesTheViewBack) {
    gTerms.TermF = "x^3";
    gTerms.KonstanteA = 7;
    gView.BereichX1 = -4;
    gView.BereichY2 = 12;
    gDisplay.Koordinatensystem.xAchsentext = "x";
    gDisplay.Koordinatensystem.Art = 0;
    auto* w = OpenIteration(true);
    Type(ui->Edit2, QStringLiteral("4"));
    EXPECT_EQ(Kurz(ui->Edit2->text()), QStringLiteral("4,000"));
    Type(ui->Edit3, QStringLiteral("0,3"));
    ui->RadioButton1->click();
    w->BitBtn1Click();
    EXPECT_TRUE(gIteration.IterPfadAnzeige);
    EXPECT_TRUE(gIteration.IterPfadAktiv);
    EXPECT_EQ(gDisplay.Koordinatensystem.xAchsentext.str(), "x(n)");
    EXPECT_EQ(gDisplay.Koordinatensystem.yAchsentext.str(),
              "x(n+1) = f(x(n))  mit  f(x) = ax(1-x)  ; Parameter a =  4,0000");
    EXPECT_EQ(gView.BereichY1, 0);
    EXPECT_NEAR(gView.BereichY2, 4.0 / 3, 1e-12);
    EXPECT_NEAR(gView.BereichX2, 4.0 / 3, 1e-12);
    Settle();
    // The next opening keeps the picture's settings and ends it.
    w = OpenIteration(true);
    EXPECT_TRUE(ui->RadioButton1->isChecked());
    EXPECT_EQ(gIteration.IterationParameterA, 4);
    w->BitBtn2Click();
    EXPECT_FALSE(gIteration.IterPfadAnzeige);
    EXPECT_EQ(gTerms.TermF.str(), "x^3");
    EXPECT_EQ(gTerms.KonstanteA, 7);
    EXPECT_EQ(gView.BereichX1, -4);
    EXPECT_EQ(gView.BereichY2, 12);
    EXPECT_EQ(gDisplay.Koordinatensystem.Art, 0);
    EXPECT_EQ(gDisplay.Koordinatensystem.xAchsentext.str(), "x");
    Settle();
    OpenIteration(true);
    EXPECT_EQ(gIteration.IterationParameterA, 3.1);
}

TEST_F(IterationDialog, AttractorAndSequenceViews) {
    auto* w = OpenIteration(true);
    ui->RadioButton3->click();
    Type(ui->Edit8, QStringLiteral("2,5"));
    EXPECT_EQ(gView.BereichX1, 2.5);
    ui->CheckBox3->click();
    w->BitBtn1Click();
    EXPECT_TRUE(gIteration.AttraktorAnzeige);
    EXPECT_TRUE(gIteration.IterAMarkieren);
    EXPECT_EQ(gDisplay.Koordinatensystem.xAchsentext.str(), "a");
    EXPECT_EQ(gDisplay.Koordinatensystem.yAchsentext.str(), "Attraktor");
    EXPECT_EQ(gView.BereichX1, 2.5);
    EXPECT_EQ(gView.BereichX2, 4);
    Settle();
    // The general iteration of a term typed here, as a sequence.
    w = OpenIteration(false);
    EXPECT_TRUE(ui->Edit1->isVisibleTo(w));
    EXPECT_TRUE(ui->Edit8->isEnabled());
    Type(ui->Edit1, QStringLiteral("cos(x)"));
    EXPECT_EQ(gTerms.TermF.str(), "cos(x)");
    ui->RadioButton2->click();
    Type(ui->Edit4, QStringLiteral("30"));
    w->BitBtn1Click();
    EXPECT_TRUE(gIteration.FolgeAnzeige);
    EXPECT_FALSE(gIteration.AttraktorAnzeige);
    EXPECT_EQ(gDisplay.Koordinatensystem.xAchsentext.str(), "n");
    EXPECT_EQ(gView.BereichX2, 30);
}

}  // namespace
}  // namespace kalvo
