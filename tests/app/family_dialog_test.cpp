#include <QCheckBox>
#include <QPushButton>
#include <QToolButton>

#include <QTableWidget>

#include "app_test_support.h"
#include "archive_file.h"
#include "store_view.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_dialog.h"
#include "term_tree_window.h"
#include "ui_family_dialog.h"
#include "ui_main_window.h"
#include "view.h"

namespace kalvo {
namespace {

class FamilyDialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TForm2::DialogFarbe = 0;
    }

    // Opens the dialog with the main window's button, as the user does.
    TForm2* Open() {
        QTest::mouseClick(form->Controls()->ButtonFunktionenschar, Qt::LeftButton);
        Settle();
        dialog = form->findChild<TForm2*>();
        if (dialog) Activate(dialog.data());
        ui = dialog ? dialog->Controls() : nullptr;
        return dialog;
    }

    // A click on the box of a slot's check box.
    void ClickSlot(int slot) {
        QCheckBox* box = dialog->SlotBox(slot);
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    }

    bool Closed() {
        Settle();
        return dialog.isNull();
    }

    // Some pixel of the 3 x 3 block around the world point has colour c.
    bool CurveAt(double x, double y, const QColor& c) {
        double px = 0, py = 0;
        WorldToPixel(x, y, px, py);
        const QImage& img = form->PaintBox1()->Picture();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QPoint p(static_cast<int>(std::lround(px)) + dx, static_cast<int>(std::lround(py)) + dy);
                if (img.rect().contains(p) && img.pixelColor(p) == c) return true;
            }
        return false;
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
    struct Case {
        const char* term;
        bool byAccelerator;
    };
    for (const Case c : {Case{"x^^2", false}, Case{"sin(x", false}, Case{"2x+", true}}) {
        messages.clear();
        Type(ui->Edit1, QString::fromUtf8(c.term), false);
        if (c.byAccelerator) {
            // A button's accelerator clicks it a moment later.
            QTest::keyClick(dialog->windowHandle(), Qt::Key_O, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.messages().empty(); }, 1000));
        } else {
            QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
        }
        Settle();
        ASSERT_FALSE(dialog.isNull()) << c.term;
        ASSERT_EQ(messages.messages().size(), 1u) << c.term;
        EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u) << messages.messages()[0];
        EXPECT_TRUE(ui->Edit1->hasFocus());
        EXPECT_EQ(gTerms.TermF.str(), before);
    }
    // A bad g is refused too, even when the focus is elsewhere.
    Type(ui->Edit1, QStringLiteral("x"));
    ui->Edit5->setFocus();
    ui->Edit2->setText(QStringLiteral("ln(("));
    messages.clear();
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    Settle();
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit2->hasFocus());
}

TEST_F(FamilyDialogTest, CancelWithABadTermInTheFocusedFieldSaysNothing) {
    ASSERT_TRUE(Open());
    Type(ui->Edit1, QStringLiteral("x^^2"), false);
    QTest::mouseClick(ui->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(FamilyDialogTest, ASlotCheckBoxWritesTheSlotAtOnceEvenWhenCancelled) {
    ASSERT_TRUE(Open());
    ui->ColorButton1->SetSelectionColor(0x0000FF);
    ui->LineWidthComboBox1->SetLineWidth(3);
    ClickSlot(2);
    EXPECT_EQ(gDisplay.Schaubilder[2], (Schaubild{0x0000FF, 2, true}));
    EXPECT_EQ(TForm2::DialogFarbe, 0x0000FFu);

    ClickSlot(1);  // f was drawn: now it is not
    EXPECT_FALSE(gDisplay.Schaubilder[1].zeichnen);
    EXPECT_EQ(gDisplay.Schaubilder[1].Linienart, 0);  // its pen stays

    QTest::keyClick(ui->Edit1, Qt::Key_Escape);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(gDisplay.Schaubilder[2].zeichnen);
    EXPECT_FALSE(gDisplay.Schaubilder[1].zeichnen);
    // The dialog's colour stays for the next opening.
    ASSERT_TRUE(Open());
    EXPECT_EQ(ui->ColorButton1->SelectionColor(), 0x0000FFu);
    EXPECT_TRUE(dialog->SlotBox(2)->isChecked());
    EXPECT_FALSE(dialog->SlotBox(1)->isChecked());
    EXPECT_GT(ui->PaintBox1->LineY(2), ui->PaintBox1->LineY(1));
}

TEST_F(FamilyDialogTest, LoeschenUnticksAllSlotsOfTheDialog) {
    gDisplay.Schaubilder[31] = Schaubild{0, 0, true};  // the piecewise function is not the dialog's
    for (int i : {1, 4, 15, 22}) gDisplay.Schaubilder[static_cast<size_t>(i)].zeichnen = true;
    ASSERT_TRUE(Open());
    QTest::mouseClick(ui->SpeedButton4, Qt::LeftButton);
    for (int i = 1; i <= kFamilySlots; ++i) {
        EXPECT_FALSE(gDisplay.Schaubilder[static_cast<size_t>(i)].zeichnen) << i;
        EXPECT_FALSE(dialog->SlotBox(i)->isChecked()) << i;
    }
    EXPECT_TRUE(gDisplay.Schaubilder[31].zeichnen);
}

TEST_F(FamilyDialogTest, OkPutsTheTRangeInOrderAndTransfersTheFields) {
    ASSERT_TRUE(Open());
    Type(ui->Edit1, QStringLiteral("t*x^2"));
    Type(ui->Edit2, QStringLiteral("SIN(X)"));
    Type(ui->Edit5, QStringLiteral("3"));
    Type(ui->Edit6, QStringLiteral("-3"));
    Type(ui->Edit7, QStringLiteral("-0.5"));
    Type(ui->Edit9, QStringLiteral("2"));
    Type(ui->Edit10, QStringLiteral("9"));
    Type(ui->Edit14, QStringLiteral("sqrt(4)"));
    Type(ui->Edit13, QStringLiteral("pi"));
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

TEST_F(FamilyDialogTest, AFamilyOfTooManyCurvesIsRefusedWithTheFocusInTheStep) {
    const ParameterState before = gParams;
    ASSERT_TRUE(Open());
    Type(ui->Edit1, QStringLiteral("t*x"));
    Type(ui->Edit5, QStringLiteral("2"));
    Type(ui->Edit6, QStringLiteral("-2"));
    // 4000001 curves; then 251, one more than a family may have.
    for (const char* step : {"0.000001", "-0.016"}) {
        for (QAbstractButton* button : {static_cast<QAbstractButton*>(ui->BitBtn2), static_cast<QAbstractButton*>(ui->BitBtn5)}) {
            Type(ui->Edit7, QString::fromUtf8(step));
            messages.clear();
            QTest::mouseClick(button, Qt::LeftButton);
            Settle();
            ASSERT_FALSE(dialog.isNull()) << step;
            ASSERT_EQ(messages.messages().size(), 1u) << step;
            EXPECT_EQ(messages.messages()[0],
                      "Mit dieser Schrittweite hätte die Schar mehr als 250 Kurven. Bitte eine größere Schrittweite für t eingeben.");
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

TEST_F(FamilyDialogTest, AFullStoreTakesNoMoreAndSaysSo) {
    gFunktionenspeicher.InsertFirst(std::vector<ArchivEintrag>(SpeicherListe::kMaxCount));
    ASSERT_TRUE(Open());
    Type(ui->Edit1, QStringLiteral("x^2"));
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], "Der Funktionenspeicher ist voll: Er fasst höchstens 7500 Funktionssätze.");
    EXPECT_EQ(gFunktionenspeicher.Count(), SpeicherListe::kMaxCount);
}

TEST_F(FamilyDialogTest, NumberFieldsTakeConstantTermsAndFallBackWhereUndefined) {
    gParams.FgTBis = 4;
    ASSERT_TRUE(Open());
    struct Case {
        TermEdit* edit;
        const char* typed;
        const char* shown;
    };
    const Case cases[] = {
        {ui->Edit6, "ln(0)", "4,00"},    // undefined: the shared value comes back
        {ui->Edit6, "2^3", "8,00"},      {ui->Edit12, "-1.25", "-1,25"},
        {ui->Edit11, "abc", "1"},        {ui->Edit9, "abc", "0"},
        {ui->Edit10, "+12", "12"}, {ui->Edit10, "1234", "123"},      {ui->Edit11, "0", "0"},
    };
    for (const Case& c : cases) {
        Type(c.edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(c.edit->text().trimmed(), QString::fromUtf8(c.shown)) << c.typed;
    }
    EXPECT_EQ(dialog->WorkingCopies().tBis, 8);
    EXPECT_EQ(dialog->WorkingCopies().nSchritt, 0);
    EXPECT_TRUE(messages.messages().empty());
    // A syntax error keeps the focus in the field.
    Type(ui->Edit13, QStringLiteral("2*/3"));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit13->hasFocus());
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

TEST_F(FamilyDialogTest, StoringRepairsTheRangesAndDeletingTheNewestLoadsTheOneBefore) {
    ASSERT_TRUE(Open());
    EXPECT_FALSE(ui->BitBtn6->isEnabled());
    // Both terms empty: nothing is stored.
    ui->Edit1->clear();
    ui->Edit2->clear();
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    EXPECT_TRUE(gFunktionenspeicher.Empty());

    gDisplay.Schaubilder[1] = Schaubild{0x00FF00, 1, true};
    Type(ui->Edit1, QStringLiteral("x^3"));
    Type(ui->Edit7, QStringLiteral("0"));
    QTest::mouseClick(ui->BitBtn5, Qt::LeftButton);
    ASSERT_EQ(gFunktionenspeicher.Count(), 1);
    EXPECT_TRUE(ui->BitBtn6->isEnabled());
    EXPECT_TRUE(ui->SpeedButton9->isEnabled());

    gDisplay.Schaubilder[1] = Schaubild{0xFF0000, 3, true};
    Type(ui->Edit1, QStringLiteral("t*x"));
    Type(ui->Edit5, QStringLiteral("3"));
    Type(ui->Edit6, QStringLiteral("-3"));
    Type(ui->Edit7, QStringLiteral("-2"));
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
}

TEST_F(FamilyDialogTest, VorgabeLeavesOnlyFDrawnAndEmptiesTheStore) {
    gTerms.TermF = "x";
    form->FunktionstermeInListe(1);
    gView.BereichX1 = -2;
    gView.BereichY2 = 20;
    gTerms.KonstanteC = 7;
    gTerms.Listenterme[2] = "x^2";
    gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 3, true};
    gDisplay.Schaubilder[9] = Schaubild{0x0000FF, 3, true};
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

TEST_F(FamilyDialogTest, EveryCloseRedrawsTheGraph) {
    ASSERT_TRUE(Open());
    gDisplay.Koordinatensystem.Achsenfarbe = 0x0000FF;  // a change only the redraw shows
    QTest::mouseClick(ui->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    const QImage& img = form->PaintBox1()->Picture();
    const int mid = img.width() / 2;
    bool red = false;
    for (int dx = -1; dx <= 1; ++dx) red |= img.pixelColor(mid + dx, img.height() / 3) == QColor(255, 0, 0);
    EXPECT_TRUE(red);
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
    QTest::mouseClick(ui->SpeedButton9, Qt::LeftButton);
    Settle();
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

}  // namespace
}  // namespace kalvo

namespace kalvo {
namespace {

TEST_F(FamilyDialogTest, TheTermTreeShowsTheFieldsTermAndTakesBothTerms) {
    ASSERT_TRUE(Open());
    ui->Edit1->setText("2x^2");
    ui->Edit2->setText("sin(x)");
    QTest::mouseClick(ui->BitBtn3, Qt::LeftButton);
    Settle();
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
