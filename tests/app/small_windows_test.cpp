#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolButton>

#include "app_test_support.h"
#include "family_dialog.h"
#include "function_list.h"
#include "store_view.h"
#include "term_help.h"
#include "ui_family_dialog.h"
#include "ui_function_list.h"
#include "ui_main_window.h"
#include "ui_store_view.h"
#include "ui_term_help.h"

namespace kalvo {
namespace {

class SmallWindowsTest : public AppTest {
protected:
    // The family dialog opened from the main window, and one of its buttons pressed.
    template <typename Window>
    Window* OpenFromFamilyDialog(QAbstractButton* (*button)(Ui::TForm2*)) {
        family = OpenBy<TForm2>(form->Controls()->ButtonFunktionenschar);
        return family ? OpenBy<Window>(button(family->Controls()), family) : nullptr;
    }

    QPointer<TForm2> family;
};

QAbstractButton* ListButton(Ui::TForm2* ui) { return ui->SpeedButton5; }
QAbstractButton* StoreButton(Ui::TForm2* ui) { return ui->SpeedButton9; }
QAbstractButton* HelpButton(Ui::TForm2* ui) { return ui->SpeedButton6; }

TEST_F(SmallWindowsTest, FunctionListKeepsWhatIsTypedAcrossRepaintsAndTransfersOnAGoodOk) {
    gTerms.Listenterme[1] = "x+1", gTerms.Listenterme[2] = "\xC2\xB6x", gTerms.Listenterme[8] = "2x";
    QPointer<TForm4> list = OpenFromFamilyDialog<TForm4>(ListButton);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Funktionenliste "));
    Ui::TForm4* ui = list->Controls();
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("x+1"));
    EXPECT_EQ(ui->Edit8->text(), QStringLiteral("2x"));
    EXPECT_EQ(ui->Edit2->text(), QString::fromUtf8("\u03C0x"));
    EXPECT_TRUE(ui->Edit1->hasFocus());

    Type(ui->Edit3, QStringLiteral("x^3"), false);
    list->repaint();
    Settle();
    EXPECT_EQ(ui->Edit3->text(), QStringLiteral("x^3"));
    Type(ui->Edit4, QString(70, QLatin1Char('1')), false);
    EXPECT_EQ(ui->Edit4->text().size(), 60);
    Type(ui->Edit5, QStringLiteral("0.5x"), false);  // the keys as typed
    EXPECT_EQ(ui->Edit5->text(), QStringLiteral("0.5x"));
    // OK refuses while the focused term is bad.
    Type(ui->Edit6, QStringLiteral("sin("), false);
    Click(ui->BitBtn2);
    ASSERT_FALSE(list.isNull());
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(gTerms.Listenterme[3].empty());

    ui->Edit6->clear();
    Click(ui->BitBtn2);
    EXPECT_TRUE(list.isNull());
    EXPECT_EQ(gTerms.Listenterme[3].str(), "x^3");
    EXPECT_EQ(gTerms.Listenterme[4].size(), 60u);
    EXPECT_EQ(gTerms.Listenterme[1].str(), "x+1");
    EXPECT_EQ(gTerms.Listenterme[2].str(), "\xC2\xB6x");
    // The family dialog keeps what its fields hold.
    ASSERT_TRUE(family);

    // "Liste löschen" empties list and fields at once; Esc closes without transfer, but the list stays empty.
    list = OpenBy<TForm4>(ListButton(family->Controls()), family);
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
        QPointer<TForm20> view = OpenFromFamilyDialog<TForm20>(StoreButton);
        if (sets.empty()) {
            // The button waits for a stored set; the window shows the headings alone.
            EXPECT_FALSE(view);
            view = new TForm20(family);
            view->show();
        }
        ASSERT_TRUE(view);
        EXPECT_EQ(view->windowTitle(), QStringLiteral("Funktionenspeicher"));
        const QTableWidget* grid = view->Controls()->StringGrid1;
        EXPECT_EQ(grid->rowCount(), rows);
        EXPECT_EQ(grid->columnCount(), 2);
        EXPECT_EQ(grid->item(0, 0)->text(), QStringLiteral("      f(x,t) ="));
        EXPECT_EQ(grid->item(0, 1)->text(), QStringLiteral("      g(x,t) ="));
        const int n = static_cast<int>(sets.size());
        for (int i = 1; i <= n; ++i) {
            const auto& [f, g] = sets[static_cast<size_t>(n - i)];
            EXPECT_EQ(grid->item(i, 0)->text(), QStringLiteral(" ") + QString::fromUtf8(f));
            EXPECT_EQ(grid->item(i, 1)->text(), QStringLiteral(" ") + QString::fromUtf8(g));
        }
        for (int i = n + 1; i < grid->rowCount(); ++i) EXPECT_EQ(grid->item(i, 0), nullptr);
        view->close();
        if (family) family->reject();
        Settle();
    }
}

TEST_F(SmallWindowsTest, HelpShowsTheTermSyntaxAndAClickIntoItCloses) {
    QPointer<TForm18> help = OpenFromFamilyDialog<TForm18>(HelpButton);
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
    EXPECT_TRUE(family);
}

}  // namespace
}  // namespace kalvo
