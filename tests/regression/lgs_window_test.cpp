// The solver window driven by keys and buttons; and the main graph recorded
// as a picture for the exports of the windows.

#include "lgs_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "canvas_recording.h"
#include "graph_export.h"
#include "mgrid.h"
#include "window_test_support.h"

namespace kalvo {
namespace {

class LgsWindow : public test::WindowTest {
protected:
    void Fill(TForm23* w, std::initializer_list<std::initializer_list<const char*>> rows) {
        int r = 1;
        for (const auto& row : rows) {
            int c = 0;
            for (const char* v : row) w->Eingabe()->SetCells(c++, r, QString::fromUtf8(v));
            ++r;
        }
    }
    QStringList ResultRow(TForm23* w, int r) {
        QStringList out;
        for (int c = 0; c < w->LgsSpalten; ++c) out << w->Ergebnis()->Cells(c, r);
        return out;
    }
};

TEST_F(LgsWindow, SolvesAndGivesTheVerdict) {
    auto w = Shown<TForm23>();
    w->SetGroesse(2, 3);
    EXPECT_EQ(w->Eingabe()->Cells(2, 0), "b");
    EXPECT_EQ(w->Ergebnis()->Cells(2, 0), "b*");
    struct Case {
        std::initializer_list<std::initializer_list<const char*>> input;
        QStringList row1, row2;
        const char* verdict;
    } cases[] = {
        {{{"2", "4", "6"}, {"1", "-1", ""}}, {"1", "0", "1"}, {"0", "1", "1"}, "L = {(1; 1)}"},
        {{{"1", "1", "1"}, {"2", "2", "2"}}, {"1", "1", "1"}, {"0", "0", "0"}, "unendlich viele Lösungen!"},
        {{{"1", "1", "1"}, {"1", "1", "2"}}, {"1", "1", "0"}, {"0", "0", "1"}, "keine Lösung!"},
        {{{"3", "0", "1"}, {"0", "1", "2,5"}}, {"1", "0", "1/3"}, {"0", "1", "5/2"}, "L = {(1/3; 5/2)}"},
    };
    for (const Case& c : cases) {
        Fill(w, c.input);
        w->SpeedButton2Click();
        EXPECT_EQ(ResultRow(w, 1), c.row1);
        EXPECT_EQ(ResultRow(w, 2), c.row2);
        EXPECT_EQ(w->Urteil(), QString::fromUtf8(c.verdict));
    }
    EXPECT_EQ(w->Eingabe()->Cells(2, 2), "5/2");  // fractions on: input cells too
    w->SetBruchdarstellung(false);
    EXPECT_EQ(ResultRow(w, 1), (QStringList{"1", "0", "0,3333"}));
    w->SetNachkommastellen(2);
    w->SpeedButton2Click();
    EXPECT_EQ(w->Urteil(), "L = {(0,33; 2,5)}");
}

// Denominators of five and six digits: the grid and the verdict show the
// whole solution as fractions, and with fractions off the exact values
// rounded; typed decimals count as what they say.
TEST_F(LgsWindow, ASolutionThatIsAFractionShowsAllAsFractions) {
    auto w = Shown<TForm23>();
    w->SetGroesse(5, 6);
    Fill(w, {{"-9", "-6", "-3", "9", "2", "-4"},
             {"2", "-6", "7", "1", "7", "-4"},
             {"-3", "-7", "6", "-6", "-9", "0"},
             {"-8", "8", "7", "9", "6", "-6"},
             {"-5", "-3", "-4", "-6", "-3", "9"}});
    w->SpeedButton2Click();
    const QStringList solution = {"-46647/104555", "16701/104555", "-22005/41822", "-217733/209110", "38462/104555"};
    EXPECT_EQ(w->Urteil(), QStringLiteral("L = {(") + solution.join(QStringLiteral("; ")) + QStringLiteral(")}"));
    QStringList column;
    for (int r = 1; r <= 5; ++r) column << w->Ergebnis()->Cells(5, r);
    EXPECT_EQ(column, solution);
    EXPECT_EQ(ResultRow(w, 4), (QStringList{"0", "0", "0", "1", "0", "-217733/209110"}));
    w->SetBruchdarstellung(false);
    EXPECT_EQ(w->Urteil(), "L = {(-0,4461; 0,1597; -0,5262; -1,041; 0,3679)}");

    w->SetBruchdarstellung(true);
    w->SetGroesse(2, 3);
    Fill(w, {{"0,1", "0,2", "0,3"}, {"0,7", "1,5", "2"}});
    w->SpeedButton2Click();
    EXPECT_EQ(w->Urteil(), "L = {(5; -1)}");
}

TEST_F(LgsWindow, SolutionGoesIntoTheConstantsWithItsFullValue) {
    auto w = Shown<TForm23>();
    Fill(w, {{"3", "0", "0", "1"}, {"0", "1", "0", "2"}, {"0", "0", "7", "1"}});
    gTerms.KonstanteD = 9;
    w->SpeedButton2Click();
    ASSERT_TRUE(w->KopierenMoeglich());
    w->findChild<QToolButton*>(QStringLiteral("SpeedButton3"))->click();
    EXPECT_DOUBLE_EQ(gTerms.KonstanteA, 1.0 / 3);
    EXPECT_DOUBLE_EQ(gTerms.KonstanteB, 2);
    EXPECT_DOUBLE_EQ(gTerms.KonstanteC, 1.0 / 7);
    EXPECT_EQ(gTerms.KonstanteD, 9);  // three equations leave d alone
    w->SetGroesse(5, 6);
    EXPECT_FALSE(w->KopierenMoeglich());
    w->close();
    EXPECT_EQ(host.redraws, 1);
}

TEST_F(LgsWindow, TypedTermsEnterAndEsc) {
    test::QtMessages qt;
    auto w = Shown<TForm23>();
    w->SetGroesse(2, 3);
    TMgrid* in = w->Eingabe();
    in->setFocus();
    in->setCurrentCell(1, 1);  // opens the cell's editor
    Type("1/3");
    Key(Qt::Key_Return);
    EXPECT_EQ(in->Cells(1, 1), "1/3");
    EXPECT_EQ(in->currentColumn(), 2);
    Type("0.5");
    Key(Qt::Key_Return);
    EXPECT_EQ(in->Cells(2, 1), "1/2");
    EXPECT_EQ(in->currentRow(), 2);
    EXPECT_EQ(in->currentColumn(), 0);
    Type("sin(");
    Key(Qt::Key_Return);
    EXPECT_EQ(in->currentColumn(), 0);
    EXPECT_FALSE(messages.messages().empty());
    in->setCurrentCell(2, 2);
    Key(Qt::Key_Return);
    EXPECT_EQ(in->currentRow(), 1);  // from the last row back to row 1
    // Every Enter ended the cell's editing the way the grid expects: nothing printed.
    EXPECT_EQ(qt.printed(), QStringList());
    Key(Qt::Key_Escape);
    EXPECT_TRUE(Deleted(w));
    EXPECT_EQ(host.redraws, 1);
}

// Each of the newest twenty inputs can be restored, from the oldest on.
TEST_F(LgsWindow, RestoreStepsThroughTheInputsAndClearEmpties) {
    auto w = Shown<TForm23>();
    w->SpeedButton5Click();  // nothing stored yet: nothing changes
    EXPECT_EQ(w->Eingabe()->Cells(0, 1), "");
    for (int k = 1; k <= 23; ++k) {
        Fill(w, {{"1", "0", "0", "0"}});
        w->Eingabe()->SetCells(3, 1, QString::number(k));
        w->SpeedButton2Click();
    }
    QStringList shown, expected;
    for (int k = 0; k < 21; ++k) {
        w->SpeedButton5Click();
        shown << w->Eingabe()->Cells(3, 1);
        expected << QString::number(k < 20 ? k + 4 : 4);
        EXPECT_EQ(w->Ergebnis()->Cells(0, 1), "");
        EXPECT_EQ(w->Urteil(), "");
    }
    EXPECT_EQ(shown, expected);
    w->SpeedButton1Click();
    EXPECT_EQ(w->Eingabe()->Cells(0, 1), "");
    EXPECT_EQ(w->Eingabe()->Cells(3, 3), "");
    EXPECT_EQ(w->Eingabe()->Cells(3, 0), "b");
}

// A solve writes the verdict; the line has its room before, so the buttons
// under it stay where the mouse is.
TEST_F(LgsWindow, TheVerdictLineDoesNotMoveTheButtons) {
    auto w = Shown<TForm23>();
    for (auto [m, n] : {std::pair{5, 6}, std::pair{2, 3}, std::pair{7, 8}}) {
        w->SetGroesse(m, n);
        for (int r = 1; r <= m; ++r)
            for (int c = 0; c < n; ++c)
                w->Eingabe()->SetCells(c, r, c == r - 1 ? QStringLiteral("3") : c == n - 1 ? QStringLiteral("sqrt(2)")
                                                                                          : QStringLiteral("1/7"));
        auto* button = w->findChild<QPushButton*>(QStringLiteral("SpeedButton2"));
        QCoreApplication::processEvents();
        const QPoint where = button->mapTo(w, QPoint(0, 0));
        const QSize size = w->size();
        button->click();
        QCoreApplication::processEvents();
        EXPECT_TRUE(w->Urteil().startsWith(QStringLiteral("L = {("))) << m;
        EXPECT_EQ(button->mapTo(w, QPoint(0, 0)), where) << m;
        EXPECT_EQ(w->size(), size) << m;
        EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("Label1"))->toolTip(), w->Urteil());
        w->SpeedButton1Click();
        QCoreApplication::processEvents();
        EXPECT_EQ(button->mapTo(w, QPoint(0, 0)), where) << m;
    }
}

class GraphPicture : public test::RegressionTest {
protected:
    void SetUp() override {
        RegressionTest::SetUp();
        ResetGraphState();
        gOutput.AusgabeCanvas = &screen;
        gOutput.PlotWidthPx = gOutput.PlotHeightPx = 599;
    }
    void TearDown() override { gOutput.AusgabeCanvas = nullptr; }
    RecordingCanvas screen;
};

TEST_F(GraphPicture, ResolutionSetsTheSizeAndTheScreenGetsItsContextBack) {
    gTerms.TermF = "x^2";
    const struct { int aufloesung, w, h, pictureW, pictureH; } cases[] = {
        {3, 599, 599, 1800, 1800}, {2, 599, 599, 1200, 1200}, {2, 799, 399, 799, 800}};
    for (const auto& c : cases) {
        gDisplay.Aufloesung = c.aufloesung;
        gOutput.PlotWidthPx = c.w;
        gOutput.PlotHeightPx = c.h;
        const auto picture = RecordGraphPicture();
        ASSERT_TRUE(picture);
        EXPECT_EQ(QSize(picture->width(), picture->height()), QSize(c.pictureW, c.pictureH));
        EXPECT_FALSE(picture->isEmpty());
        // The screen's output context is back.
        EXPECT_EQ(gOutput.AusgabeCanvas, &screen);
        EXPECT_EQ(std::tuple(gOutput.AusgabefaktorX, gOutput.SamplesPerPixel, gOutput.PlotWidthPx),
                  std::tuple(1.0, 1.0, c.w));
        EXPECT_FALSE(gOutput.MetafileActive);
    }
    EXPECT_TRUE(screen.Records().empty());  // nothing went to the screen meanwhile
}

TEST_F(GraphPicture, SavedAsWmfOrEmfAndRefusedWithoutAGraphArea) {
    QTemporaryDir dir;
    for (const char* name : {"bild.wmf", "bild.emf"}) {
        const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
        EXPECT_TRUE(SaveGraphPicture(path).ok) << name;
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray head = f.read(44);
        if (std::string(name).ends_with(".wmf")) EXPECT_EQ(head.left(4), QByteArray("\xD7\xCD\xC6\x9A", 4));
        else EXPECT_EQ(head.mid(40, 4), QByteArray(" EMF"));
    }
    gOutput.PlotWidthPx = 0;
    EXPECT_FALSE(RecordGraphPicture());
    EXPECT_FALSE(SaveGraphPicture(dir.filePath("nichts.wmf").toStdString()).ok);
}

}  // namespace
}  // namespace kalvo
