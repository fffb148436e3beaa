// The dialogs of graph slots: the family, the parametric curves and the piecewise function.

#include <QCheckBox>
#include <QToolButton>

#include "app_test_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_dialog.h"
#include "family_widgets.h"
#include "parametric_dialog.h"
#include "piecewise_dialog.h"
#include "slot_marks.h"
#include "term.h"
#include "ui_main_window.h"
#include "ui_parametric_dialog.h"
#include "ui_piecewise_dialog.h"

namespace kalvo {
namespace {

// The three dialogs of graph slots, each with its own run of slots.
struct Sibling {
    const char* name;
    QToolButton* Ui::TForm1::*button;
    int first, count;
};
const Sibling kSiblings[] = {
    {"Funktionenschar", &Ui::TForm1::ButtonFunktionenschar, 1, kFamilySlots},
    {"Parameterkurven", &Ui::TForm1::ButtonParameterkurven, kParametricFirstSlot, kParametricSlots},
    {"Stueckweise", &Ui::TForm1::ButtonStueckweise, kPiecewiseFirstSlot, kPiecewiseSlots},
};

class CurveDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TForm2::DialogFarbe = TForm6::DialogFarbe = TForm7::DialogFarbe = 0;
    }

    TForm6* OpenPiecewise() { return h = OpenBy<TForm6>(form->Controls()->ButtonStueckweise); }
    TForm7* OpenParametric() { return p = OpenBy<TForm7>(form->Controls()->ButtonParameterkurven); }
    QDialog* Open(const Sibling& s) {
        Click(form->Controls()->*s.button);
        for (QDialog* d : form->findChildren<QDialog*>())
            if (d->isVisible()) return Activate(d), d;
        return nullptr;
    }

    static QCheckBox* Box(QDialog* d, int i) { return d->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i)); }
    static TColorButton* Pen(QDialog* d) { return d->findChild<TColorButton*>(QStringLiteral("ColorButton1")); }
    static void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    QPointer<TForm6> h;
    QPointer<TForm7> p;
};

const QColor kRed(255, 0, 0);

TEST_F(CurveDialogsTest, PiecewiseOkTransfersAndEachPieceIsDrawnOnItsInterval) {
    gDisplay.Schaubilder[1].zeichnen = false;
    gDisplay.Schaubilder[31] = Schaubild{0x0000FF, 0, true};
    ASSERT_TRUE(OpenPiecewise());
    Ui::TForm6* ui = h->Controls();
    EXPECT_EQ(h->windowTitle(), QStringLiteral("Stückweise definierte Funktion"));
    EXPECT_TRUE(ui->Edit1->hasFocus());
    EXPECT_TRUE(ui->CheckBox1->isChecked());
    Type({{ui->Edit1, "2"}, {ui->Edit6, "0"}, {ui->Edit2, "X - 2"}, {ui->Edit7, "1"}});
    Type({{ui->Edit13, "2"}, {ui->Edit14, "-2"}, {ui->Edit15, "0.5"}, {ui->Edit17, "sqrt(9)"}});
    ui->TrackBar1->setValue(4);
    EXPECT_EQ(ui->PaintBox2->Spectrum(), 4);
    QTest::mouseClick(ui->BitCheckBox2, Qt::LeftButton);
    Click(ui->BitBtn2);
    ASSERT_TRUE(h.isNull());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(gTerms.TermH1.str(), "2");
    EXPECT_EQ(gTerms.TermH2.str(), "x-2");
    EXPECT_EQ(gView.H1Bis, 0);
    EXPECT_EQ(gView.H2Von, 1);
    // No order or sign correction here.
    EXPECT_EQ(gParams.HTVon, 2);
    EXPECT_EQ(gParams.HTBis, -2);
    EXPECT_EQ(gParams.HTSchrittweite, 0.5);
    EXPECT_EQ(gTerms.KonstanteA, 3);
    EXPECT_EQ(gDisplay.FarbspektrumNummer, 4);
    EXPECT_TRUE(gTerms.ParameterAusListe);

    EXPECT_TRUE(CurveAt(-4, 2, kRed));
    EXPECT_FALSE(CurveAt(6, 2, kRed));
    EXPECT_TRUE(CurveAt(6, 4, kRed));
    EXPECT_FALSE(CurveAt(-4, -6, kRed));
    EXPECT_FALSE(CurveAt(0.5, -1.5, kRed));  // between the pieces
}

TEST_F(CurveDialogsTest, PiecewiseVorgabeTakesTheViewWindowAndUnticksEveryPiece) {
    gView.BereichX1 = -5, gView.BereichX2 = 5, gTerms.TermH3 = "x";
    for (int s = 31; s <= 34; ++s) gDisplay.Schaubilder[size_t(s)] = Schaubild{0xFF, 2, true};
    ASSERT_TRUE(OpenPiecewise());
    Ui::TForm6* ui = h->Controls();
    Type(ui->Edit18, QStringLiteral("4"));
    ui->ColorButton1->SetSelectionColor(0x00FF00);
    QTest::mouseClick(ui->BitBtn4, Qt::LeftButton);
    const ViewWindowState& v = gView;
    for (double von : {v.H1Von, v.H2Von, v.H3Von, v.H4Von}) EXPECT_EQ(von, -5);
    for (double bis : {v.H1Bis, v.H2Bis, v.H3Bis, v.H4Bis}) EXPECT_EQ(bis, 5);
    EXPECT_EQ(ui->Edit16->text(), QStringLiteral("1;"));
    EXPECT_EQ(ui->Edit12->text().trimmed(), QStringLiteral("5,00"));
    EXPECT_TRUE(ui->Edit3->text().isEmpty());
    EXPECT_EQ(gTerms.KonstanteB, 4);
    EXPECT_EQ(ui->ColorButton1->SelectionColor(), 0u);
    for (int i = 1; i <= kPiecewiseSlots; ++i)
        EXPECT_FALSE(Box(h, i)->isChecked() || gDisplay.Schaubilder[size_t(30 + i)].zeichnen) << i;
    EXPECT_TRUE(gDisplay.Schaubilder[1].zeichnen);
}

TEST_F(CurveDialogsTest, SlotMarksShowColourAndStyleAsADoubleLine) {
    // Line style, coloured rows around the line, dotted.
    for (const auto& [linienart, rowsInk, dotted] :
         {std::tuple<uint8_t, int, bool>{0, 2, false}, {1, 2, true}, {2, 3, false}, {3, 4, false}}) {
        gDisplay.Schaubilder[32] = Schaubild{0x0000FF, linienart, true};
        ASSERT_TRUE(OpenPiecewise());
        TSlotMarks* marks = h->Controls()->PaintBox1;
        const QImage img = marks->grab().toImage();
        const int y = marks->LineY(2);
        int rows = 0;
        for (int r = y - 4; r <= y + 4; ++r) rows += img.pixelColor(marks->width() / 2, r) == kRed ||
                                                     img.pixelColor(marks->width() / 2 + 1, r) == kRed;
        EXPECT_EQ(rows, rowsInk) << int(linienart);
        int gaps = 0;
        for (int x = 6; x < marks->width() - 6; ++x) gaps += img.pixelColor(x, y) != kRed;
        EXPECT_EQ(gaps > 0, dotted) << int(linienart);
        EXPECT_EQ(img.pixelColor(marks->width() / 2, marks->LineY(1)), img.pixelColor(1, 1));  // h is not drawn
        h->reject();
        Settle();
    }
}

TEST_F(CurveDialogsTest, ASlotBoxWritesItsSlotAtOnceAndTheDialogsPenStaysThroughCancel) {
    for (const Sibling& s : kSiblings)
        for (int box : {1, s.count}) {
            const size_t slot = size_t(s.first + box - 1);
            gDisplay.Schaubilder[slot] = Schaubild{};
            QPointer<QDialog> d = Open(s);
            ASSERT_TRUE(d) << s.name;
            d->findChild<TLineWidthComboBox*>(QStringLiteral("LineWidthComboBox1"))->SetLineWidth(3);
            Pen(d)->SetSelectionColor(0x0000FF);
            ClickBox(Box(d, box));
            EXPECT_EQ(gDisplay.Schaubilder[slot], (Schaubild{0x0000FF, 2, true})) << s.name << " " << box;
            d->reject();
            Settle();
            EXPECT_TRUE(gDisplay.Schaubilder[slot].zeichnen) << s.name << " " << box;
            // The dialog's pen stays for the next opening; unticking keeps the slot's pen.
            d = Open(s);
            ASSERT_TRUE(d) << s.name;
            EXPECT_EQ(Pen(d)->SelectionColor(), 0x0000FFu) << s.name;
            EXPECT_TRUE(Box(d, box)->isChecked()) << s.name << " " << box;
            ClickBox(Box(d, box));
            EXPECT_EQ(gDisplay.Schaubilder[slot], (Schaubild{0x0000FF, 2, false})) << s.name << " " << box;
            d->reject();
            Settle();
        }
}

TEST_F(CurveDialogsTest, LoeschenSwitchesOffOnlyTheDialogsOwnSlots) {
    for (const Sibling& s : kSiblings) {
        for (int i = 1; i <= kGraphSlots; ++i) gDisplay.Schaubilder[size_t(i)].zeichnen = true;
        QPointer<QDialog> d = Open(s);
        ASSERT_TRUE(d) << s.name;
        Click(d->findChild<QToolButton*>(QStringLiteral("SpeedButton4")));
        for (int i = 1; i <= kGraphSlots; ++i)
            EXPECT_EQ(gDisplay.Schaubilder[size_t(i)].zeichnen, i < s.first || i >= s.first + s.count) << s.name << i;
        for (int i = 1; i <= s.count; ++i) EXPECT_FALSE(Box(d, i)->isChecked()) << s.name << i;
        d->reject();
        Settle();
    }
}

TEST_F(CurveDialogsTest, BadTermsAndListEntriesKeepTheFocusAndOkRefuses) {
    ASSERT_TRUE(OpenPiecewise());
    Ui::TForm6* ui = h->Controls();
    Type(ui->Edit16, QStringLiteral("1;ln(0);2"));
    EXPECT_TRUE(ui->Edit16->hasFocus());
    EXPECT_EQ(gTerms.ParameterWerte2[10], 2);
    Type(ui->Edit16, QStringLiteral("1,5;3"));
    EXPECT_EQ(gTerms.ParameterWerte2[0], 1.5);
    const std::string before = gTerms.TermH4.str();
    ui->Edit4->setText(QStringLiteral("sin(x"));  // never left
    ui->Edit13->setFocus();
    messages.clear();
    Click(ui->BitBtn2);
    ASSERT_FALSE(h.isNull());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit4->hasFocus());
    EXPECT_EQ(gTerms.TermH4.str(), before);
    // A family of more curves than may be drawn: refused, the focus in the step.
    Type({{ui->Edit4, "t*x"}, {ui->Edit13, "0"}, {ui->Edit14, "10"}, {ui->Edit15, "0.001"}});
    messages.clear();
    Click(ui->BitBtn2);
    ASSERT_FALSE(h.isNull());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_NE(messages.messages()[0].find("mehr als 250 Kurven"), std::string::npos);
    EXPECT_TRUE(ui->Edit15->hasFocus());
    EXPECT_EQ(gTerms.TermH4.str(), before);
    h->reject();
    Settle();

    // The components of a parametric curve are terms in t: x is refused, w-mode ends with the field.
    ASSERT_TRUE(OpenParametric());
    messages.clear();
    Type(p->Controls()->Edit1, QStringLiteral("cos(x)"));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(p->Controls()->Edit1->hasFocus());
    Type(p->Controls()->Edit1, QStringLiteral("cos(t)"));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_FALSE(ParserWMode);
    Click(p->Controls()->BitBtn2);
    EXPECT_TRUE(p.isNull());
    EXPECT_EQ(gTerms.TermXt.str(), "cos(t)");
}

TEST_F(CurveDialogsTest, TooSmallParametricStepIsMendedAsSoonAsTheFieldIsLeft) {
    ASSERT_TRUE(OpenParametric());
    Ui::TForm7* ui = p->Controls();
    const std::tuple<const char*, double, const char*> cases[] = {{"0.00005", 0.001, "1,00 E-3"},
                                                                  {"-0,00009", 0.001, "1,00 E-3"},
                                                                  {"0", 0.001, "1,00 E-3"},
                                                                  {"0.0002", 0.0002, "2,00 E-4"},
                                                                  {"1/20", 0.05, "5,00 E-2"}};
    for (const auto& [typed, stored, shown] : cases) {
        gParams.ParamkurveTSchrittweite = 0.5;
        Type(ui->Edit5, QString::fromUtf8(typed));
        EXPECT_DOUBLE_EQ(p->WorkingCopies().tSchritt, stored) << typed;
        EXPECT_EQ(ui->Edit5->text().trimmed(), QString::fromUtf8(shown)) << typed;
        // Only the mended step goes to the shared state before OK.
        EXPECT_EQ(gParams.ParamkurveTSchrittweite, stored == 0.001 ? 0.001 : 0.5) << typed;
    }
    Type(ui->Edit5, QStringLiteral("1/"));  // a syntax error keeps what was typed
    EXPECT_EQ(ui->Edit5->text(), QStringLiteral("1/"));
    EXPECT_TRUE(ui->Edit5->hasFocus());
}

TEST_F(CurveDialogsTest, ParametricVorgabeAndCancelKeepWhatTheDialogWrote) {
    gDisplay.Schaubilder[1].zeichnen = false;
    gTerms.TermXt = "6cos(t)", gTerms.TermYt = "6sin(t)";
    gDisplay.Schaubilder[23] = Schaubild{0xFF, 1, true};
    ASSERT_TRUE(OpenParametric());
    Ui::TForm7* ui = p->Controls();
    EXPECT_EQ(p->windowTitle(), QStringLiteral("Parameterkurven"));
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("6cos(t)"));
    Type(ui->Edit9, QStringLiteral("7"));
    ui->ColorButton1->SetSelectionColor(0x00FF00);
    QTest::mouseClick(ui->BitBtn3, Qt::LeftButton);
    EXPECT_TRUE(gTerms.TermXt.empty());
    EXPECT_EQ(gParams.ParamkurveTVon, -3.141592654);
    EXPECT_EQ(gParams.ParamkurveTBis, 3.141592654);
    EXPECT_EQ(gParams.ParamkurveTSchrittweite, 0.006283185308);
    EXPECT_EQ(gTerms.KonstanteD, 7);
    EXPECT_EQ(ui->ColorButton1->SelectionColor(), 0u);
    EXPECT_EQ(TForm7::DialogFarbe, 0u);
    EXPECT_TRUE(ui->Edit1->text().isEmpty());
    for (int i = 1; i <= kParametricSlots; ++i) EXPECT_FALSE(Box(p, i)->isChecked());

    // A circle drawn after OK; "Abbrechen" afterwards keeps the ticked x(t) graph.
    Type({{ui->Edit1, "6cos(t)"}, {ui->Edit2, "6sin(t)"}});
    ui->ColorButton1->SetSelectionColor(0x0000FF);
    ClickBox(ui->CheckBox1);
    Click(ui->BitBtn2);
    for (const auto& [x, y] : {std::pair{6.0, 0.0}, {0.0, 6.0}, {-6.0, 0.0}, {4.2426, -4.2426}})
        EXPECT_TRUE(CurveAt(x, y, kRed)) << x << " " << y;
    EXPECT_FALSE(CurveAt(0, 0, kRed));
    EXPECT_FALSE(CurveAt(3, 3, kRed));

    ASSERT_TRUE(OpenParametric());
    p->Controls()->ColorButton1->SetSelectionColor(0x00FF00);
    ClickBox(p->Controls()->CheckBox1);  // the curve off
    ClickBox(p->Controls()->CheckBox3);  // x(t) over t on the vertical axis
    Click(p->Controls()->BitBtn1);
    const QColor green(0, 255, 0);
    EXPECT_TRUE(CurveAt(6, 0, green));
    EXPECT_TRUE(CurveAt(-6, M_PI, green));
    EXPECT_FALSE(CurveAt(0, 6, kRed));
}

}  // namespace
}  // namespace kalvo
