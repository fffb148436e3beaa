#include <QFile>
#include <QTableWidget>
#include <QToolButton>

#include "app_test_support.h"
#include "archive_file.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "edit_field.h"
#include "family_dialog.h"
#include "family_widgets.h"
#include "store_view.h"
#include "term_tree_window.h"
#include "ui_family_dialog.h"
#include "ui_main_window.h"

namespace kalvo {
namespace {

class FamilyDialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TForm2::DialogFarbe = 0;
    }

    TForm2* Open() {
        dialog = OpenBy<TForm2>(form->Controls()->ButtonFunktionenschar);
        ui = dialog ? dialog->Controls() : nullptr;
        return dialog;
    }

    bool Closed() {
        Settle();
        return dialog.isNull();
    }

    QPointer<TForm2> dialog;
    Ui::TForm2* ui = nullptr;
};

TEST_F(FamilyDialogTest, ATermTypedAndOkDrawsItsGraphWhereTheTransformSays) {
    gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};  // f in red
    ASSERT_TRUE(Open());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Funktionenschar"));
    Type(ui->Edit1, QStringLiteral("x^2 - 3"), false);
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(gTerms.TermF.str(), "x^2-3");

    const QColor red(255, 0, 0);
    for (double x : {-3.0, -1.5, 0.0, 0.5, 2.0, 3.3}) {
        EXPECT_TRUE(CurveAt(x, x * x - 3, red)) << x;
        EXPECT_FALSE(CurveAt(x, x * x - 1, red)) << x;
    }
}

TEST_F(FamilyDialogTest, ABadTermShowsItsMessageOnceAndKeepsTheDialogOpen) {
    const std::string before = gTerms.TermF.str();
    ASSERT_TRUE(Open());
    for (const char* term : {"x^^2", "sin(x", "2x+"}) {
        messages.clear();
        Type(ui->Edit1, QString::fromUtf8(term), false);
        Click(ui->BitBtn2);
        ASSERT_FALSE(dialog.isNull()) << term;
        ASSERT_EQ(messages.messages().size(), 1u) << term;
        EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u) << messages.messages()[0];
        EXPECT_TRUE(ui->Edit1->hasFocus());
        EXPECT_EQ(gTerms.TermF.str(), before);
    }
    // A bad g is refused too, even when the focus is elsewhere.
    Type(ui->Edit1, QStringLiteral("x"));
    ui->Edit5->setFocus();
    ui->Edit2->setText(QStringLiteral("ln(("));
    messages.clear();
    Click(ui->BitBtn2);
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit2->hasFocus());
    // Cancel with a bad term in the focused field says nothing, and redraws as every close does.
    ui->Edit2->setText(QStringLiteral("x"));
    Type(ui->Edit1, QStringLiteral("x^^2"), false);
    messages.clear();
    gDisplay.Koordinatensystem.Achsenfarbe = 0x0000FF;  // a change only the redraw shows
    QTest::mouseClick(ui->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(YAxisIn(QColor(255, 0, 0)));
}

TEST_F(FamilyDialogTest, AFamilyOfTooManyCurvesIsRefusedWithTheFocusInTheStep) {
    const ParameterState before = gParams;
    ASSERT_TRUE(Open());
    Type({{ui->Edit1, "t*x"}, {ui->Edit5, "2"}, {ui->Edit6, "-2"}});
    // 4000001 curves; then 251, one more than a family may have.
    for (const char* step : {"0.000001", "-0.016"}) {
        for (QAbstractButton* button : std::initializer_list<QAbstractButton*>{ui->BitBtn2, ui->BitBtn5}) {
            Type(ui->Edit7, QString::fromUtf8(step));
            messages.clear();
            Click(button);
            ASSERT_FALSE(dialog.isNull()) << step;
            ASSERT_EQ(messages.messages().size(), 1u) << step;
            EXPECT_EQ(messages.messages()[0], "Mit dieser Schrittweite hätte die Schar mehr als 250 Kurven. "
                                              "Bitte eine größere Schrittweite für t eingeben.");
            EXPECT_TRUE(ui->Edit7->hasFocus()) << step;
            EXPECT_TRUE(gParams == before);
            EXPECT_TRUE(gFunktionenspeicher.Empty());
        }
    }
    // 4 / 0.02 + 1 = 201 curves are drawn.
    Type(ui->Edit7, QStringLiteral("0.02"));
    messages.clear();
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(gParams.FgTSchrittweite, 0.02);
}

TEST_F(FamilyDialogTest, NumberFieldsTakeConstantTermsFallBackWhereUndefinedAndOkPutsTheRangeInOrder) {
    gParams.FgTBis = 4;
    ASSERT_TRUE(Open());
    // Field, typed, shown; "ln(0)" is undefined: the shared value comes back.
    const std::tuple<TermEdit*, const char*, const char*> cases[] = {
        {ui->Edit6, "ln(0)", "4,00"}, {ui->Edit6, "2^3", "8,00"},   {ui->Edit12, "-1.25", "-1,25"},
        {ui->Edit11, "abc", "1"},     {ui->Edit9, "abc", "0"},      {ui->Edit10, "+12", "12"},
        {ui->Edit10, "1234", "123"},  {ui->Edit11, "0", "0"},
    };
    for (const auto& [edit, typed, shown] : cases) {
        Type(edit, QString::fromUtf8(typed));
        EXPECT_EQ(edit->text().trimmed(), QString::fromUtf8(shown)) << typed;
    }
    EXPECT_EQ(dialog->WorkingCopies().tBis, 8);
    EXPECT_EQ(dialog->WorkingCopies().nSchritt, 0);
    EXPECT_TRUE(messages.messages().empty());
    // A syntax error keeps the focus in the field.
    Type(ui->Edit13, QStringLiteral("2*/3"));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit13->hasFocus());

    // OK puts the t range in order and transfers the fields.
    Type({{ui->Edit13, "pi"}, {ui->Edit1, "t*x^2"}, {ui->Edit2, "SIN(X)"}, {ui->Edit5, "3"}, {ui->Edit6, "-3"}});
    Type({{ui->Edit7, "-0.5"}, {ui->Edit9, "2"}, {ui->Edit10, "9"}, {ui->Edit14, "sqrt(4)"}});
    EXPECT_EQ(ui->Edit14->text().trimmed(), QStringLiteral("2,00"));
    EXPECT_EQ(ui->Edit7->text().trimmed(), QStringLiteral("-0,50"));
    ui->TrackBar1->setValue(7);
    EXPECT_EQ(ui->PaintBox2->Spectrum(), 7);
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(gParams.FgTVon, -3);
    EXPECT_EQ(gParams.FgTBis, 3);
    EXPECT_EQ(gParams.FgTSchrittweite, 0.5);
    EXPECT_EQ(gParams.FgSummeVon, 2);
    EXPECT_EQ(gParams.FgSummeBis, 9);
    EXPECT_EQ(gTerms.KonstanteA, 2);
    EXPECT_NEAR(gView.GeradeU1, 3.14159, 1e-5);
    EXPECT_EQ(gTerms.TermG.str(), "sin(x)");
    EXPECT_EQ(gDisplay.FarbspektrumNummer, 7);
}

TEST_F(FamilyDialogTest, TheParameterListIsReadWhenItsFieldIsLeft) {
    ASSERT_TRUE(Open());
    Type(ui->Edit8, QStringLiteral("1.5;2;sqrt(9)"), false);
    EXPECT_EQ(ui->Edit8->text(), QStringLiteral("1,5;2;sqrt(9)"));  // each "." key gave a ","
    QTest::keyClick(ui->Edit8, Qt::Key_Return);
    EXPECT_EQ(gTerms.ParameterWerte[10], 3);
    EXPECT_EQ(gTerms.ParameterWerte[0], 1.5);
    EXPECT_EQ(gTerms.ParameterWerte[2], 3);
    EXPECT_FALSE(ui->Edit8->hasFocus());

    // A refused entry keeps the field and what was typed.
    Type(ui->Edit8, QStringLiteral("1;ln(0);2"));
    EXPECT_TRUE(ui->Edit8->hasFocus());
    EXPECT_EQ(ui->Edit8->text(), QStringLiteral("1;ln(0);2"));
    // Cancel keeps what leaving the field already stored.
    QTest::mouseClick(ui->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(gTerms.ParameterWerte[10], 2);
}

TEST_F(FamilyDialogTest, FestlegenSwitchesTheDrawingRangeBetweenFixedAndFollowing) {
    ASSERT_TRUE(Open());
    EXPECT_FALSE(ui->CheckBox23->Checked());
    EXPECT_FALSE(ui->Edit3->isEnabled());
    QTest::mouseClick(ui->CheckBox23, Qt::LeftButton);
    EXPECT_TRUE(ui->Edit3->isEnabled());
    EXPECT_TRUE(ui->Edit4->isEnabled());
    EXPECT_FALSE(gView.FgZeichenbereichAuto);
    QTest::mouseClick(ui->CheckBox23, Qt::LeftButton);
    EXPECT_FALSE(ui->Edit4->isEnabled());
    EXPECT_TRUE(gView.FgZeichenbereichAuto);
}

TEST_F(FamilyDialogTest, StoringRepairsTheRangesDeletingTheNewestLoadsTheOneBeforeAndAFullStoreSaysSo) {
    ASSERT_TRUE(Open());
    EXPECT_FALSE(ui->BitBtn6->isEnabled());
    // Both terms empty: nothing is stored.
    ui->Edit1->clear(), ui->Edit2->clear();
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    EXPECT_TRUE(gFunktionenspeicher.Empty());

    gDisplay.Schaubilder[1] = Schaubild{0x00FF00, 1, true};
    Type({{ui->Edit1, "x^3"}, {ui->Edit7, "0"}});
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(gFunktionenspeicher.Count(), 1);
    EXPECT_TRUE(ui->BitBtn6->isEnabled());
    EXPECT_TRUE(ui->SpeedButton9->isEnabled());

    gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 3, true};
    Type({{ui->Edit1, "t*x"}, {ui->Edit5, "3"}, {ui->Edit6, "-3"}, {ui->Edit7, "-2"}});
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(gFunktionenspeicher.Count(), 2);

    ArchivEintrag newest, older;
    gFunktionenspeicher.Get(1, newest);
    gFunktionenspeicher.Get(2, older);
    EXPECT_EQ(older.fgParameter.Schrittweite, 1);  // a step of 0 is never stored
    EXPECT_EQ(newest.fgParameter, (Parameterbereich{-3, 3, 2}));
    EXPECT_EQ(ui->Edit7->text().trimmed(), QStringLiteral("2,00"));

    QTest::mouseClick(ui->BitBtn6, Qt::LeftButton);
    ASSERT_EQ(gFunktionenspeicher.Count(), 1);
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("x^3"));
    EXPECT_EQ(gTerms.TermF.str(), "x^3");
    EXPECT_EQ(gDisplay.Schaubilder[1], (Schaubild{0x00FF00, 1, true}));
    EXPECT_TRUE(ui->Edit1->hasFocus());

    QTest::mouseClick(ui->SpeedButton11, Qt::LeftButton);
    EXPECT_TRUE(gFunktionenspeicher.Empty());
    EXPECT_FALSE(ui->BitBtn6->isEnabled());
    EXPECT_FALSE(ui->SpeedButton11->isEnabled());
    EXPECT_FALSE(ui->SpeedButton9->isEnabled());

    // A full store takes no more and says so.
    gFunktionenspeicher.InsertFirst(std::vector<ArchivEintrag>(SpeicherListe::kMaxCount));
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Der Funktionenspeicher ist voll: Er fasst höchstens 7500 Funktionssätze.");
    EXPECT_EQ(gFunktionenspeicher.Count(), SpeicherListe::kMaxCount);
}

TEST_F(FamilyDialogTest, VorgabeLeavesOnlyFDrawnAndEmptiesTheStore) {
    gTerms.TermF = "x";
    form->FunktionstermeInListe(1);
    gView.BereichX1 = -2, gView.BereichY2 = 20, gTerms.KonstanteC = 7, gTerms.Listenterme[2] = "x^2";
    gDisplay.Schaubilder[1] = gDisplay.Schaubilder[9] = Schaubild{0x0000FF, 3, true};
    gDisplay.FarbspektrumNummer = 5;
    ASSERT_TRUE(Open());
    ui->ColorButton1->SetSelectionColor(0x00FF00);
    QTest::mouseClick(ui->BitBtn4, Qt::LeftButton);

    EXPECT_TRUE(gFunktionenspeicher.Empty());
    EXPECT_EQ(gDisplay.Schaubilder[1], (Schaubild{0, 0, true}));
    for (int i = 2; i <= kFamilySlots; ++i) EXPECT_FALSE(gDisplay.Schaubilder[static_cast<size_t>(i)].zeichnen) << i;
    EXPECT_EQ(gView.BereichX1, -8);
    EXPECT_EQ(gView.BereichY2, 8);
    EXPECT_EQ(gTerms.KonstanteC, 1);
    EXPECT_TRUE(gTerms.Listenterme[2].empty());
    EXPECT_EQ(gDisplay.FarbspektrumNummer, 5);
    EXPECT_TRUE(ui->Edit1->text().isEmpty());
    EXPECT_EQ(ui->Edit16->text().trimmed(), QStringLiteral("1,00"));
    EXPECT_EQ(ui->ColorButton1->SelectionColor(), 0u);
    EXPECT_TRUE(dialog->SlotBox(1)->isChecked());
    EXPECT_FALSE(ui->BitBtn6->isEnabled());
}

TEST_F(FamilyDialogTest, APiTermShowsPiAndIsStoredAsBefore) {
    const QString pi = QString(QChar(0x03C0));
    gTerms.TermF = "cos(a*2*\xC2\xB6)";  // as files have always held it
    ASSERT_TRUE(Open());
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("cos(a*2*") + pi + QStringLiteral(")"));
    // A typed π is pi.
    ui->Edit2->setFocus();
    for (QChar ch : QStringLiteral("2") + pi + QStringLiteral("x"))
        QTest::sendKeyEvent(QTest::Click, ui->Edit2, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::keyClick(ui->Edit2, Qt::Key_Return);
    EXPECT_EQ(ui->Edit2->text(), QStringLiteral("2") + pi + QStringLiteral("x"));
    // The store's table shows π too.
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    Click(ui->SpeedButton9);
    auto* store = dialog->findChild<TForm20*>();
    ASSERT_TRUE(store);
    auto* table = store->findChild<QTableWidget*>();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->item(1, 1)->text(), QStringLiteral(" 2") + pi + QStringLiteral("x"));
    store->close();
    Settle();
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_EQ(gTerms.TermF.str(), "cos(a*2*\xC2\xB6)");
    EXPECT_EQ(gTerms.TermG.str(), "2\xC2\xB6x");
    const QString file = dir.filePath(QStringLiteral("pi.lib"));
    ASSERT_TRUE(SaveFunctionArchive(file.toStdString()));
    QFile archive(file);
    ASSERT_TRUE(archive.open(QIODevice::ReadOnly));
    const QByteArray bytes = archive.readAll();
    EXPECT_TRUE(bytes.contains("cos(a*2*\xC2\xB6)"));
    EXPECT_TRUE(bytes.contains("2\xC2\xB6x"));
    EXPECT_FALSE(bytes.contains("\xCF\x80"));
}

TEST_F(FamilyDialogTest, TheTermTreeShowsTheFieldsTermAndTakesBothTerms) {
    ASSERT_TRUE(Open());
    ui->Edit1->setText("2x^2");
    ui->Edit2->setText("sin(x)");
    Click(ui->BitBtn3);
    auto* tree = dialog->findChild<TForm19*>();
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->TermText(), "2x^2");
    EXPECT_EQ(gTerms.TermG.str(), "sin(x)");
    tree->close();
    Settle();
    EXPECT_FALSE(dialog->findChild<TForm19*>());
    EXPECT_EQ(gTerms.TermF.str(), "2x^2");
}

}  // namespace
}  // namespace kalvo
