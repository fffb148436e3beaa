#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "analysis_state.h"
#include "app_resources.h"
#include "app_test_support.h"
#include "discussion_window.h"
#include "settings_file.h"
#include "ui_main_window.h"

namespace kalvo {
namespace {

using MainWindowTest = AppTest;

TEST_F(MainWindowTest, EveryHeightGivesASquareGraphAreaAndTheWidthThatFollows) {
    for (int h : {620, 777, 900, 701}) {
        form->resize(TForm1::ClientWidthFor(h) + 150, h);  // a width the layout must take back
        ASSERT_TRUE(QTest::qWaitFor([&] { return form->height() == h && form->width() == TForm1::ClientWidthFor(h); }))
            << "height " << h;
        Settle();
        const int side = h - TForm1::kStatusHeight;
        const QRect area = form->PaintBox1()->geometry();
        EXPECT_EQ(area, QRect(TForm1::kLeftPanelWidth + 1, 0, side, side)) << h;
        EXPECT_EQ(form->width(), h + 100 + 115 - 18 + 4);
        EXPECT_EQ(form->Controls()->panel3->geometry().right(), form->width() - 1);
        EXPECT_EQ(form->Controls()->Panel2->geometry(), QRect(0, side, form->width(), TForm1::kStatusHeight));
        EXPECT_EQ(gOutput.PlotWidthPx, side - 1);
        EXPECT_EQ(gOutput.PlotHeightPx, side - 1);
        // The new size is drawn by a redraw after the resize, not by the paint.
        EXPECT_EQ(form->PaintBox1()->Picture().size(), QSize(side, side));
        EXPECT_FALSE(form->PaintBox1()->RedrawPending());
    }
}

// The windows other than the main window, by class.
QStringList OtherWindows(const QWidget* main) {
    QStringList names;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != main) names << QString::fromLatin1(w->metaObject()->className());
    names.sort();
    return names;
}

TEST_F(MainWindowTest, AStartWithoutSettingsShowsTheMainWindowAloneWithItsDefaults) {
    // A fresh start, without the windows earlier tests may have left.
    form.reset();
    Settle();
    ASSERT_TRUE(OtherWindows(nullptr).isEmpty()) << OtherWindows(nullptr).join(' ').toStdString();
    StartClean();
    EXPECT_TRUE(OtherWindows(form.get()).isEmpty()) << OtherWindows(form.get()).join(' ').toStdString();
    EXPECT_TRUE(gView.FgZeichenbereichAuto);
    EXPECT_EQ(gView.BereichX1, -8);
    EXPECT_EQ(gOverlay.AnzahlRechtecke, 4);
    EXPECT_EQ(gOutput.AusgabeCanvas, form->PaintBox1()->Surface().ScreenCanvas());
    EXPECT_EQ(gControl.ProgramDir, dir.path().toStdString());
    // Once the graph is painted the status line has its own font.
    for (const QLabel* label : {form->Controls()->Label2, form->Controls()->Label3})
        EXPECT_EQ(std::pair(label->font().family(), label->font().pointSize()),
                  std::pair(QStringLiteral("Courier New"), 9));
    // Glyphs and cursors come from the resources.
    for (const QToolButton* b : {form->Controls()->ButtonEnde, form->Controls()->ButtonZoomIn})
        EXPECT_FALSE(b->icon().pixmap(20, 20).isNull()) << b->objectName().toStdString();
    RegisterCursors();
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(ProgramCursor(n).pixmap().width(), 32) << n;
}

TEST_F(MainWindowTest, TheCurveDiscussionIsMadeOnceAndIsTheSameWindowTheNextTime) {
    QPointer<TForm11> discussion = OpenBy<TForm11>(form->Controls()->ButtonDiskussion);
    ASSERT_TRUE(discussion);
    discussion->close();
    Settle();
    ASSERT_TRUE(discussion);
    EXPECT_EQ(OpenBy<TForm11>(form->Controls()->ButtonDiskussion), discussion.data());
}

TEST_F(MainWindowTest, ManyRedrawRequestsGiveOneRedrawOfTheCurrentState) {
    TGraphArea* area = form->PaintBox1();
    gDisplay.Koordinatensystem.Achsenfarbe = 0x00FF00;
    area->RequestRedraw();
    area->RequestRedraw();
    EXPECT_TRUE(area->RedrawPending());
    Settle();
    EXPECT_FALSE(area->RedrawPending());
    EXPECT_TRUE(YAxisIn(QColor(0, 255, 0)));
    EXPECT_EQ(area->Picture().pixelColor(area->Picture().width() / 4, area->Picture().height() / 4), QColor(Qt::white));
}

TEST_F(MainWindowTest, RectangleButtonsDoubleUpTo1024AndHalveDownTo1) {
    gOverlay.SummenZeichnen = true;
    form->Redraw(true);  // the sums overlay being on enables the two buttons
    ASSERT_TRUE(form->Controls()->Button2n->isEnabled());
    QToolButton *twice = form->Controls()->Button2n, *half = form->Controls()->ButtonNHalbe;
    const std::tuple<int, QToolButton*, int> cases[] = {{600, twice, 1024}, {4, twice, 8}, {1024, twice, 1024},
                                                        {1, half, 1},       {5, half, 2},  {1024, half, 512}};
    for (const auto& [before, button, after] : cases) {
        gOverlay.AnzahlRechtecke = before;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_EQ(gOverlay.AnzahlRechtecke, after) << before;
    }
    gOverlay.SummenZeichnen = false;
    form->Redraw(true);
    EXPECT_FALSE(form->Controls()->Button2n->isEnabled());
    EXPECT_FALSE(form->Controls()->ButtonSummen->isChecked());
}

TEST_F(MainWindowTest, AToggleButtonShowsWhetherItsOverlayStaysOnAfterItsWindowCloses) {
    using O = TForm1::Overlay;
    const std::tuple<O, bool*, bool> cases[] = {
        {O::Flaechen, &gOverlay.FlaecheZeichnen, false},
        {O::Flaechen, &gOverlay.FlaecheZeichnen, true},
        {O::Newton, &gOverlay.NewtonZeichnen, true},
        {O::Diskussion, &gDiscussion.SonderpunkteBeschriften, true},
        {O::Kurvenanpassung, &gRegression.WertepaareZeichnen, false},
        {O::Iteration, &gIteration.FolgeAnzeige, true},
        {O::Logistisch, &gIteration.AttraktorAnzeige, true},
    };
    for (const auto& [overlay, flag, leaveOn] : cases) {
        gOverlay = OverlayState{};
        gDiscussion = DiscussionResults{};
        gIteration = IterationState{};
        gRegression.WertepaareZeichnen = false;
        QToolButton* button = form->OverlayButton(overlay);
        // The window stands in for the overlay's own: it switches the overlay on or off and closes.
        auto window = std::make_unique<QDialog>(form.get());
        form->OpenOverlayWindow(overlay, window.get());
        // The curve fitting switches its value pairs on before its window opens.
        if (overlay == O::Kurvenanpassung) {
            EXPECT_TRUE(button->isChecked());
        }
        *flag = leaveOn;
        window->accept();
        EXPECT_EQ(button->isChecked(), leaveOn) << button->objectName().toStdString() << " " << leaveOn;
    }
    // The logistic equation's overlay is on: its button is down, the other iteration button up.
    EXPECT_TRUE(gIteration.IterLogistisch);
    EXPECT_TRUE(form->OverlayButton(O::Logistisch)->isChecked());
    form->SyncOverlayButton(O::Iteration);
    EXPECT_FALSE(form->OverlayButton(O::Iteration)->isChecked());
}

TEST_F(MainWindowTest, CancelAtTheQuestionKeepsEverything) {
    gTerms.TermF = "x^2";
    form->FunktionstermeInListe(1);
    gGrafikobjektliste.Insert(1, tElement{});
    const SchaubildTabelle slotTable = gDisplay.Schaubilder;

    // The info window comes first; the question follows when it closes.
    auto passInfo = [this] {
        ASSERT_NE(form->QuitInfo(), nullptr);
        EXPECT_EQ(form->QuitInfo()->windowTitle(), QStringLiteral("Info"));
        EXPECT_EQ(form->QuitQuestion(), nullptr);
        form->QuitInfo()->accept();
        Settle();
    };
    // Esc anywhere in the window asks, as "Ende" and the close box do.
    QTest::keyClick(form->Controls()->Edit2, Qt::Key_Escape);
    Settle();
    passInfo();
    QMessageBox* box = form->QuitQuestion();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Programm beenden?"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Kalvograf Funktionsgraphen - Parameterkurven 2D 3D"));
    // Asking twice shows one question.
    form->close();
    Settle();
    EXPECT_EQ(form->QuitQuestion(), box);
    box->button(QMessageBox::Cancel)->click();
    Settle();

    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->QuitQuestion(), nullptr);
    EXPECT_EQ(gFunktionenspeicher.Count(), 1);
    EXPECT_EQ(gGrafikobjektliste.Count(), 1);
    EXPECT_EQ(gTerms.TermF.str(), "x^2");
    EXPECT_EQ(gDisplay.Schaubilder, slotTable);
    // The store and the list still work.
    form->FunktionstermeInListe(1);
    EXPECT_EQ(gFunktionenspeicher.Count(), 2);
    form->Redraw(true);

    Click(form->Controls()->ButtonEnde);
    passInfo();
    ASSERT_NE(form->QuitQuestion(), nullptr);
    form->QuitQuestion()->button(QMessageBox::Ok)->click();
    Settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(gFunktionenspeicher.Empty());
    EXPECT_TRUE(gGrafikobjektliste.Empty());
}

TEST_F(MainWindowTest, SettingsSurviveARestart) {
    gView.BereichX1 = -3, gView.BereichX2 = 5, gView.BereichY1 = -2.5, gView.GeradeU2 = 1.5;
    gParams.FgTVon = -2, gParams.FgTBis = 2, gParams.FgTSchrittweite = 0.5, gParams.FgSummeBis = 7;
    gTerms.TermF = "t*x^2", gTerms.TermG = "sin(x)", gTerms.Listenterme[3] = "x^3";
    gTerms.KonstanteA = 2.5, gTerms.ParameterListe = "1;2;3;";
    gDisplay.Schaubilder[2] = Schaubild{0x0000FF, 2, true};
    gDisplay.Schaubilder[8] = Schaubild{0x008000, 1, true};
    gDisplay.Nachkommastellen = 3, gDisplay.Koordinatensystem.Gitter = 1;
    gDisplay.Koordinatensystem.xAchsentext = "Zeit";
    form->Redraw(true);  // the state as drawn: the family range follows the window
    ASSERT_TRUE(SaveSettings());
    ASSERT_TRUE(QFile::exists(dir.filePath(QStringLiteral("kalvo.INI"))));

    const ViewWindowState view = gView;
    const ParameterState params = gParams;
    const DisplayState display = gDisplay;
    const TermState terms = gTerms;

    form.reset();
    StartClean();

    EXPECT_EQ(gView, view);
    EXPECT_EQ(gParams, params);
    EXPECT_EQ(gDisplay, display);
    EXPECT_EQ(gTerms, terms);
    // The second instance draws what the first one saved.
    EXPECT_FALSE(form->PaintBox1()->Picture().isNull());
}

TEST_F(MainWindowTest, EachUnderlinedLetterOpensItsWindow) {
    // "f(x, t)" and "Flächen", "LGS" and "Logistische Gl." once shared their letters.
    const std::pair<Qt::Key, const char*> cases[] = {
        {Qt::Key_F, "kalvo::TForm2"},  {Qt::Key_C, "kalvo::TForm13"}, {Qt::Key_L, "kalvo::TForm23"},
        {Qt::Key_G, "kalvo::TForm16"}, {Qt::Key_I, "kalvo::TForm16"}, {Qt::Key_S, "kalvo::TForm15"},
    };
    for (const auto& [key, window] : cases) {
        Activate(form.get());
        QTest::keyClick(form.get(), key, Qt::AltModifier);
        QDialog* opened = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            for (QDialog* d : form->findChildren<QDialog*>())
                if (d->isVisible() && d->inherits(window)) opened = d;
            return opened != nullptr;
        })) << window;
        opened->close();
        Settle();
    }
}

}  // namespace
}  // namespace kalvo
