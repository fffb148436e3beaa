// The dialogs of graph slots: the family with the windows it opens, the parametric curves and the
// piecewise function.

#include <QCheckBox>
#include <QFile>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QToolButton>

#include "app_test_support.h"
#include "archive_file.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_dialog.h"
#include "function_list.h"
#include "parametric_dialog.h"
#include "piecewise_dialog.h"
#include "slot_marks.h"
#include "store_view.h"
#include "term.h"
#include "term_help.h"
#include "term_tree_window.h"
#include "ui_family_dialog.h"
#include "ui_function_list.h"
#include "ui_main_window.h"
#include "ui_parametric_dialog.h"
#include "ui_piecewise_dialog.h"
#include "ui_store_view.h"
#include "ui_term_help.h"

namespace kalvo {
namespace {

// The three dialogs of graph slots, each with its own run of slots.
struct Sibling { const char* name; QToolButton* Ui::TForm1::*button; int first, count; };
const Sibling kSiblings[] = {
    {"Funktionenschar", &Ui::TForm1::ButtonFunktionenschar, 1, kFamilySlots},
    {"Parameterkurven", &Ui::TForm1::ButtonParameterkurven, kParametricFirstSlot, kParametricSlots},
    {"Stueckweise", &Ui::TForm1::ButtonStueckweise, kPiecewiseFirstSlot, kPiecewiseSlots},
};

// The families in t of the family dialog (f) and of the piecewise dialog (its fourth piece): the term,
// from, to, step and list fields by name, the buttons that take the family, the term and values stored.
struct TFamily {
    const Sibling& dialog;
    const char *term, *von, *bis, *step, *list;
    std::vector<const char*> takers;
    Funktionsterm& stored;
    ParameterWerteFeld& values;
};
const TFamily kTFamilies[] = {
    {kSiblings[0], "Edit1", "Edit5", "Edit6", "Edit7", "Edit8", {"BitBtn2", "BitBtn5"}, gTerms.TermF,
     gTerms.ParameterWerte},
    {kSiblings[2], "Edit4", "Edit13", "Edit14", "Edit15", "Edit16", {"BitBtn2"}, gTerms.TermH4, gTerms.ParameterWerte2},
};

class CurveDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        TForm2::DialogFarbe = TForm6::DialogFarbe = TForm7::DialogFarbe = 0;
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
    // A window the family dialog opens by one of its buttons.
    template <typename W>
    W* OpenFromFamily(QToolButton* Ui::TForm2::*button) {
        return Open() ? OpenBy<W>(ui->*button, dialog) : nullptr;
    }
    TForm6* OpenPiecewise() { return h = OpenBy<TForm6>(form->Controls()->ButtonStueckweise); }
    TForm7* OpenParametric() { return p = OpenBy<TForm7>(form->Controls()->ButtonParameterkurven); }
    QDialog* Open(const Sibling& s) {
        Click(form->Controls()->*s.button);
        for (QDialog* d : form->findChildren<QDialog*>())
            if (d->isVisible()) return Activate(d), d;
        return nullptr;
    }

    template <typename W = TermEdit>
    static W* Field(QDialog* d, const char* name) {
        return d->findChild<W*>(QString::fromLatin1(name));
    }
    static QCheckBox* Box(QDialog* d, int i) { return d->findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i)); }
    static TColorButton* Pen(QDialog* d) { return d->findChild<TColorButton*>(QStringLiteral("ColorButton1")); }
    static void ClickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

    QPointer<TForm2> dialog;
    Ui::TForm2* ui = nullptr;
    QPointer<TForm6> h;
    QPointer<TForm7> p;
};
using FamilyDialogTest = CurveDialogsTest;
using SmallWindowsTest = CurveDialogsTest;

const QColor kRed(255, 0, 0);

TEST_F(FamilyDialogTest, FestlegenFixesTheRangeAndATermTypedAndOkDrawsItsGraphWhereTheTransformSays) {
    gDisplay.Schaubilder[1] = Schaubild{0x0000FF, 0, true};  // f in red
    ASSERT_TRUE(Open());
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Funktionenschar"));
    // "Festlegen" switches the drawing range between fixed and following the window.
    EXPECT_FALSE(ui->CheckBox23->Checked() || ui->Edit3->isEnabled());
    QTest::mouseClick(ui->CheckBox23, Qt::LeftButton);
    EXPECT_TRUE(ui->Edit3->isEnabled() && ui->Edit4->isEnabled());
    EXPECT_FALSE(gView.FgZeichenbereichAuto);
    QTest::mouseClick(ui->CheckBox23, Qt::LeftButton);
    EXPECT_FALSE(ui->Edit4->isEnabled());
    EXPECT_TRUE(gView.FgZeichenbereichAuto);

    Type(ui->Edit1, QStringLiteral("x^2 - 3"), false);
    QTest::mouseClick(ui->BitBtn2, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(gTerms.TermF.str(), "x^2-3");
    for (double x : {-3.0, -1.5, 0.0, 0.5, 2.0, 3.3}) {
        EXPECT_TRUE(CurveAt(x, x * x - 3, kRed)) << x;
        EXPECT_FALSE(CurveAt(x, x * x - 1, kRed)) << x;
    }
}

TEST_F(FamilyDialogTest, ABadTermShowsItsMessageOnceAndKeepsTheDialogOpen) {
    const std::string before = gTerms.TermF.str();
    ASSERT_TRUE(Open());
    for (const auto& [term, byAccelerator] : {std::pair{"x^^2", false}, {"sin(x", false}, {"2x+", true}}) {
        messages.clear();
        Type(ui->Edit1, QString::fromUtf8(term), false);
        if (byAccelerator) {
            // Alt+O as the window system delivers it: to the dialog's window,
            // which is no widget, past every application-wide key filter.
            // A button's accelerator clicks it a moment later.
            QTest::keyClick(dialog->windowHandle(), Qt::Key_O, Qt::AltModifier);
            EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.messages().empty(); }, 1000));
            Settle();
        } else {
            Click(ui->BitBtn2);
        }
        ASSERT_FALSE(dialog.isNull()) << term;
        ASSERT_EQ(messages.messages().size(), 1u) << term;
        EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u) << messages.messages()[0];
        EXPECT_TRUE(ui->Edit1->hasFocus());
        EXPECT_EQ(gTerms.TermF.str(), before);
    }
    // Cancel with a bad term in the focused field says nothing, and redraws as every close does.
    messages.clear();
    gDisplay.Koordinatensystem.Achsenfarbe = 0x0000FF;  // a change only the redraw shows
    QTest::mouseClick(ui->BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(Closed());
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_TRUE(YAxisIn(QColor(255, 0, 0)));
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
    EXPECT_EQ(std::pair(dialog->WorkingCopies().tBis, dialog->WorkingCopies().nSchritt), std::pair(8.0, 0));
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
    EXPECT_EQ((Parameterbereich{gParams.FgTVon, gParams.FgTBis, gParams.FgTSchrittweite}),
              (Parameterbereich{-3, 3, 0.5}));
    EXPECT_EQ(std::tuple(gParams.FgSummeVon, gParams.FgSummeBis), std::tuple(2, 9));
    EXPECT_NEAR(gView.GeradeU1, 3.14159, 1e-5);
    EXPECT_EQ(std::tuple(gTerms.KonstanteA, gTerms.TermG.str(), gDisplay.FarbspektrumNummer),
              std::tuple(2.0, "sin(x)", 7));
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
    EXPECT_TRUE(ui->BitBtn6->isEnabled() && ui->SpeedButton9->isEnabled());

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
    EXPECT_FALSE(ui->BitBtn6->isEnabled() || ui->SpeedButton11->isEnabled() || ui->SpeedButton9->isEnabled());

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
    EXPECT_EQ(std::pair(gView.BereichX1, gView.BereichY2), std::pair(-8.0, 8.0));
    EXPECT_EQ(std::tuple(gTerms.KonstanteC, gTerms.Listenterme[2].str(), gDisplay.FarbspektrumNummer),
              std::tuple(1.0, "", 5));
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
    EXPECT_EQ(std::tuple(gTerms.TermF.str(), gTerms.TermG.str()), std::tuple("cos(a*2*\xC2\xB6)", "2\xC2\xB6x"));
    const QString file = dir.filePath(QStringLiteral("pi.lib"));
    ASSERT_TRUE(SaveFunctionArchive(file.toStdString()));
    const QByteArray bytes = FileBytes(file);
    EXPECT_TRUE(bytes.contains("cos(a*2*\xC2\xB6)"));
    EXPECT_TRUE(bytes.contains("2\xC2\xB6x"));
    EXPECT_FALSE(bytes.contains("\xCF\x80"));
}

TEST_F(FamilyDialogTest, TheTermTreeShowsTheFieldsTermAndTakesBothTerms) {
    ASSERT_TRUE(Open());
    // Typed into f and g, and never left: both are taken as Enter reads them.
    const std::tuple<const char*, const char*, const char*, const char*> cases[] = {
        {"2x^2", "sin(x)", "2x^2", "sin(x)"},
        {"X^2 + 1", "SIN( X )", "x^2+1", "sin(x)"},
        {"2 PI x", "1.5 * X {Gerade}", "2\xC2\xB6x", "1,5*x{Gerade}"},
    };
    for (const auto& [f, g, fTaken, gTaken] : cases) {
        SCOPED_TRACE(f);
        ui->Edit1->setText(QString::fromUtf8(f));
        ui->Edit2->setText(QString::fromUtf8(g));
        Click(ui->BitBtn3);
        auto* tree = dialog->findChild<TForm19*>();
        ASSERT_TRUE(tree);
        EXPECT_EQ(tree->TermText(), fTaken);
        const std::pair<std::string, std::string> taken(fTaken, gTaken);
        EXPECT_EQ(std::pair(gTerms.TermF.str(), gTerms.TermG.str()), taken);
        EXPECT_EQ(std::pair(FieldTerm(ui->Edit1), FieldTerm(ui->Edit2)), taken);
        tree->close();
        Settle();
        EXPECT_FALSE(dialog->findChild<TForm19*>());
        EXPECT_EQ(gTerms.TermF.str(), fTaken);
    }
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("2\u03C0x"));
}

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
    EXPECT_EQ(std::tuple(gTerms.TermH1.str(), gTerms.TermH2.str()), std::tuple("2", "x-2"));
    EXPECT_EQ(std::pair(gView.H1Bis, gView.H2Von), std::pair(0.0, 1.0));
    // No order or sign correction here.
    EXPECT_EQ((Parameterbereich{gParams.HTVon, gParams.HTBis, gParams.HTSchrittweite}), (Parameterbereich{2, -2, 0.5}));
    EXPECT_EQ(std::tuple(gTerms.KonstanteA, gDisplay.FarbspektrumNummer, gTerms.ParameterAusListe),
              std::tuple(3.0, 4, true));

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

TEST_F(CurveDialogsTest, ParametricComponentsAreTermsInT) {
    // x is refused, w-mode ends with the field.
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
    EXPECT_EQ((Parameterbereich{gParams.ParamkurveTVon, gParams.ParamkurveTBis, gParams.ParamkurveTSchrittweite}),
              (Parameterbereich{-3.141592654, 3.141592654, 0.006283185308}));
    EXPECT_EQ(gTerms.KonstanteD, 7);
    EXPECT_EQ(std::pair(ui->ColorButton1->SelectionColor(), TForm7::DialogFarbe), std::pair(Color(0), Color(0)));
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

TEST_F(CurveDialogsTest, TheParameterListIsReadWhenItsFieldIsLeftAndKeptByCancel) {
    for (const TFamily& t : kTFamilies) {
        QPointer<QDialog> d = Open(t.dialog);
        ASSERT_TRUE(d) << t.dialog.name;
        TermEdit* list = Field(d, t.list);
        Type(list, QStringLiteral("1.5;2;sqrt(9)"), false);
        EXPECT_EQ(list->text(), QStringLiteral("1,5;2;sqrt(9)"));  // each "." key gave a ","
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_EQ(t.values[10], 3);
        EXPECT_EQ(t.values[0], 1.5);
        EXPECT_EQ(t.values[2], 3);
        EXPECT_FALSE(list->hasFocus());
        // A refused entry keeps the field and what was typed; Cancel keeps what leaving the field stored.
        Type(list, QStringLiteral("1;ln(0);2"));
        EXPECT_TRUE(list->hasFocus());
        EXPECT_EQ(list->text(), QStringLiteral("1;ln(0);2"));
        Click(Field<QAbstractButton>(d, "BitBtn1"));
        EXPECT_TRUE(d.isNull());
        EXPECT_EQ(t.values[10], 2) << t.dialog.name;
    }
}

TEST_F(CurveDialogsTest, ABadTermOrAFamilyOfMoreThan250CurvesIsRefusedWithTheFocusInItsField) {
    for (const TFamily& t : kTFamilies) {
        const ParameterState before = gParams;
        const std::string term = t.stored.str();
        QPointer<QDialog> d = Open(t.dialog);
        ASSERT_TRUE(d) << t.dialog.name;
        auto* ok = Field<QAbstractButton>(d, "BitBtn2");
        // A bad term is refused even when it was never left.
        Field(d, t.term)->setText(QStringLiteral("sin(x"));
        Field(d, t.von)->setFocus();
        messages.clear();
        Click(ok);
        ASSERT_FALSE(d.isNull());
        EXPECT_EQ(messages.messages().size(), 1u);
        EXPECT_TRUE(Field(d, t.term)->hasFocus());
        // 4000001 curves; then 251, one more than a family may have.
        Type({{Field(d, t.term), "t*x"}, {Field(d, t.von), "2"}, {Field(d, t.bis), "-2"}});
        for (const char* step : {"0.000001", "-0.016"})
            for (const char* taker : t.takers) {
                Type({{Field(d, t.step), step}});
                messages.clear();
                Click(Field<QAbstractButton>(d, taker));
                ASSERT_FALSE(d.isNull()) << t.dialog.name << step << taker;
                ASSERT_EQ(messages.messages().size(), 1u) << t.dialog.name << step << taker;
                EXPECT_EQ(messages.messages()[0], "Mit dieser Schrittweite hätte die Schar mehr als 250 Kurven. "
                                                  "Bitte eine größere Schrittweite für t eingeben.");
                EXPECT_TRUE(Field(d, t.step)->hasFocus());
                EXPECT_TRUE(gParams == before && t.stored.str() == term && gFunktionenspeicher.Empty());
            }
        // 4 / 0.02 + 1 = 201 curves are drawn.
        Type({{Field(d, t.step), "0.02"}});
        messages.clear();
        Click(ok);
        EXPECT_TRUE(d.isNull());
        EXPECT_TRUE(messages.messages().empty());
        EXPECT_EQ(t.stored.str(), "t*x");
    }
}

TEST_F(SmallWindowsTest, FunctionListKeepsWhatIsTypedAcrossRepaintsAndTransfersOnAGoodOk) {
    gTerms.Listenterme[1] = "x+1", gTerms.Listenterme[2] = "\xC2\xB6x", gTerms.Listenterme[8] = "2x";
    QPointer<TForm4> list = OpenFromFamily<TForm4>(&Ui::TForm2::SpeedButton5);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Funktionenliste "));
    Ui::TForm4* lui = list->Controls();
    EXPECT_EQ(QStringList({lui->Edit1->text(), lui->Edit2->text(), lui->Edit8->text()}),
              QStringList({"x+1", QString::fromUtf8("\u03C0x"), "2x"}));
    EXPECT_TRUE(lui->Edit1->hasFocus());

    Type(lui->Edit3, QStringLiteral("x^3"), false);
    list->repaint();
    Settle();
    EXPECT_EQ(lui->Edit3->text(), QStringLiteral("x^3"));
    Type(lui->Edit4, QString(70, QLatin1Char('1')), false);
    EXPECT_EQ(lui->Edit4->text().size(), 60);
    Type(lui->Edit5, QStringLiteral("0.5x"), false);  // the keys as typed
    EXPECT_EQ(lui->Edit5->text(), QStringLiteral("0.5x"));
    // OK refuses while the focused term is bad.
    Type(lui->Edit6, QStringLiteral("sin("), false);
    Click(lui->BitBtn2);
    ASSERT_FALSE(list.isNull());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(gTerms.Listenterme[3].empty());

    lui->Edit6->clear();
    Click(lui->BitBtn2);
    EXPECT_TRUE(list.isNull());
    EXPECT_EQ(std::tuple(gTerms.Listenterme[1].str(), gTerms.Listenterme[2].str(), gTerms.Listenterme[3].str()),
              std::tuple("x+1", "\xC2\xB6x", "x^3"));
    EXPECT_EQ(gTerms.Listenterme[4].size(), 60u);
    // The family dialog keeps what its fields hold.
    ASSERT_TRUE(dialog);

    // "Liste löschen" empties list and fields at once; Esc closes without transfer, but the list stays empty.
    list = OpenBy<TForm4>(ui->SpeedButton5, dialog);
    ASSERT_TRUE(list);
    QTest::mouseClick(list->Controls()->BitBtn4, Qt::LeftButton);
    for (int i = 1; i <= kListTerms; ++i)
        EXPECT_TRUE(list->Field(i)->text().isEmpty() && gTerms.Listenterme[size_t(i)].empty()) << i;
    Type(list->Field(2), QStringLiteral("x^2"), false);
    QTest::keyClick(list->Field(2), Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(list.isNull());
    EXPECT_TRUE(gTerms.Listenterme[2].empty());
}

TEST_F(SmallWindowsTest, StoreViewListsTheNewestSetFirstWithAtLeastSixRows) {
    // The sets (f, g) in the order they are stored, the rows shown.
    const std::pair<std::vector<std::pair<const char*, const char*>>, int> cases[] = {
        {{}, 6},
        {{{"x^2", ""}, {"sin(x)", "cos(x)"}}, 6},
        {{{"1", "a"}, {"2", "b"}, {"3", "c"}, {"4", "d"}, {"5", "e"}, {"6", "f"}, {"7", "g"}}, 8},
    };
    for (const auto& [sets, rows] : cases) {
        gFunktionenspeicher.Init();
        for (const auto& [f, g] : sets) {
            gTerms.TermF = f, gTerms.TermG = g;
            form->FunktionstermeInListe(1);
        }
        QPointer<TForm20> view = OpenFromFamily<TForm20>(&Ui::TForm2::SpeedButton9);
        if (sets.empty()) {
            // The button waits for a stored set; the window shows the headings alone.
            EXPECT_FALSE(view);
            view = new TForm20(dialog);
            view->show();
        }
        ASSERT_TRUE(view);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Funktionenspeicher"));
        const QTableWidget* grid = view->Controls()->StringGrid1;
        EXPECT_EQ(grid->rowCount(), rows);
        EXPECT_EQ(grid->columnCount(), 2);
        EXPECT_EQ(grid->item(0, 0)->text() + grid->item(0, 1)->text(), QStringLiteral("      f(x,t) =      g(x,t) ="));
        const int n = static_cast<int>(sets.size());
        for (int i = 1; i <= n; ++i) {
            const auto& [f, g] = sets[static_cast<size_t>(n - i)];
            EXPECT_EQ(grid->item(i, 0)->text(), QStringLiteral(" ") + QString::fromUtf8(f));
            EXPECT_EQ(grid->item(i, 1)->text(), QStringLiteral(" ") + QString::fromUtf8(g));
        }
        for (int i = n + 1; i < grid->rowCount(); ++i) EXPECT_EQ(grid->item(i, 0), nullptr);
        view->close();
        if (dialog) dialog->reject();
        Settle();
    }
}

TEST_F(SmallWindowsTest, HelpShowsTheTermSyntaxAndAClickIntoItCloses) {
    QPointer<TForm18> help = OpenFromFamily<TForm18>(&Ui::TForm2::SpeedButton6);
    ASSERT_TRUE(help);
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Hilfe"));
    const QString text = help->Controls()->Memo1->toPlainText();
    for (const char* s : {" Ein Funktionsterm darf folgende Funktionen enthalten:",
                          "bei -x/(3-2x)(x+4) steht nur der erste Klammerterm im Nenner.",
                          "Gaußsche Summenfunktion (Fehlerintegral)"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(help->Controls()->Memo1->isReadOnly());
    QTest::mouseClick(help->Controls()->Memo1->viewport(), Qt::LeftButton, {}, QPoint(40, 40));
    Settle();
    EXPECT_TRUE(help.isNull());
    EXPECT_TRUE(dialog);
}

}  // namespace
}  // namespace kalvo
