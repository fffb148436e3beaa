// The main window: its layout, buttons, overlays, settings and quitting, and
// the mouse tools of its graph area.

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

#include <functional>

#include "analysis_state.h"
#include "app_resources.h"
#include "app_test_support.h"
#include "canvas.h"
#include "coordinate_dialog.h"
#include "discussion_window.h"
#include "mouse_tools.h"
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
        EXPECT_EQ(form->PaintBox1()->geometry(), QRect(TForm1::kLeftPanelWidth + 1, 0, side, side)) << h;
        EXPECT_EQ(form->width(), h + 100 + 115 - 18 + 4);
        EXPECT_EQ(form->Controls()->panel3->geometry().right(), form->width() - 1);
        EXPECT_EQ(form->Controls()->Panel2->geometry(), QRect(0, side, form->width(), TForm1::kStatusHeight));
        EXPECT_EQ(std::pair(gOutput.PlotWidthPx, gOutput.PlotHeightPx), std::pair(side - 1, side - 1));
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

// The form's Arial 8 comes as the family that is installed for it, named so
// that Qt need not search for a stand-in while the first picture is made.
TEST_F(MainWindowTest, TheWindowsControlsUseTheInstalledFamilyOfItsFont) {
    const QStringList installed = QFontDatabase::families();
    for (const QWidget* w : {static_cast<const QWidget*>(form.get()), static_cast<const QWidget*>(form->Controls()->ButtonEnde),
                             static_cast<const QWidget*>(form->Controls()->ButtonFunktionenschar)}) {
        EXPECT_TRUE(installed.contains(w->font().family(), Qt::CaseInsensitive)) << w->font().family().toStdString();
        EXPECT_EQ(w->font().family(), InstalledFamily(QStringLiteral("Arial")));
        EXPECT_EQ(w->font().pointSize(), 8);
    }
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
    EXPECT_FALSE(form->Controls()->Button2n->isEnabled() || form->Controls()->ButtonSummen->isChecked());
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
    EXPECT_EQ(std::pair(gFunktionenspeicher.Count(), gGrafikobjektliste.Count()), std::pair(1, 1));
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
    EXPECT_TRUE(gFunktionenspeicher.Empty() && gGrafikobjektliste.Empty());
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

class MouseToolsTest : public AppTest {
protected:
    TGraphArea* Area() { return form->PaintBox1(); }
    Ui::TForm1* Ui() { return form->Controls(); }
    TMouseTools* Tools() { return form->MouseTools(); }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(Area(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Area(), (from + to) / 2);
        QTest::mouseMove(Area(), to);
        QTest::mouseRelease(Area(), Qt::LeftButton, {}, to);
        Settle();
    }

    struct Window { double x1, x2, y1, y2; };
    static void ExpectWindow(const Window& w, const std::string& what) {
        EXPECT_DOUBLE_EQ(gView.BereichX1, w.x1) << what;
        EXPECT_DOUBLE_EQ(gView.BereichX2, w.x2) << what;
        EXPECT_DOUBLE_EQ(gView.BereichY1, w.y1) << what;
        EXPECT_DOUBLE_EQ(gView.BereichY2, w.y2) << what;
    }
};

TEST_F(MouseToolsTest, ARubberBandOfElevenPixelsOrMoreZoomsToItsCornersAndNothingElseZooms) {
    const std::tuple<QPoint, QPoint, bool> cases[] = {
        {{100, 100}, {110, 150}, false},  // 10 x 50
        {{100, 100}, {150, 110}, false},
        {{100, 100}, {111, 111}, true},
        {{300, 400}, {120, 150}, true},  // bottom right to top left
        {{120, 150}, {300, 400}, true},
    };
    for (const auto& [from, to, zooms] : cases) {
        form->MouseTools()->AnfangswerteClick();
        const int left = std::min(from.x(), to.x()), right = std::max(from.x(), to.x());
        const int top = std::min(from.y(), to.y()), bottom = std::max(from.y(), to.y());
        const Window expected = zooms ? Window{PixelToWorldX(left), PixelToWorldX(right), PixelToWorldY(bottom),
                                               PixelToWorldY(top)}
                                      : Window{-8, 8, -8, 8};
        Drag(from, to);
        EXPECT_TRUE(Area()->RubberBand().isNull()) << "a rectangle stays behind";
        ExpectWindow(expected, "zoom");
        if (zooms) {
            EXPECT_EQ(gView.FgZeichenbereichVon, gView.BereichX1);
        }
    }
    // A release after a dialog or the text field, and a right click, zoom nothing.
    form->MouseTools()->AnfangswerteClick();
    gControl.IgnoreNextMouseUp = true;
    Tools()->PaintBox1MouseUp(Qt::LeftButton, QPoint(300, 300));
    EXPECT_FALSE(gControl.IgnoreNextMouseUp);
    form->Zoomrechteck = {10, 10, 300, 300, true};
    gControl.IgnoreNextMouseUp = true;
    Tools()->PaintBox1MouseUp(Qt::LeftButton, QPoint(300, 300));
    EXPECT_EQ(gView.BereichX1, -8);
    // A right click opens the coordinate system dialog and zooms nothing.
    QTest::mouseClick(Area(), Qt::RightButton, {}, QPoint(200, 200));
    Settle();
    EXPECT_NE(form->findChild<TForm5*>(), nullptr);
    EXPECT_EQ(gView.BereichX1, -8);
}

TEST_F(MouseToolsTest, OnALogarithmicAxisTheRubberBandUsesTheLogarithmicInverse) {
    gDisplay.Koordinatensystem.xSkalierung = 1;
    gView.BereichX1 = 0.01, gView.BereichX2 = 1000;
    form->Redraw(true);
    const double left = gOutput.PlotLeft, decade = (gOutput.PlotRight - gOutput.PlotLeft) / 5.0;
    // From 10^-0.8 to 10^1.8: the window snaps to the decades around them.
    Drag(QPoint(static_cast<int>(left + 1.2 * decade), 100), QPoint(static_cast<int>(left + 3.8 * decade), 300));
    EXPECT_DOUBLE_EQ(gView.BereichX1, 0.1);
    EXPECT_DOUBLE_EQ(gView.BereichX2, 100);
}

TEST_F(MouseToolsTest, ZoomAndPanButtonsMoveTheWindow) {
    const std::pair<QToolButton*, Window> cases[] = {
        {Ui()->ButtonZoomOut, {-16, 16, -16, 16}},      {Ui()->ButtonZoomIn, {-4, 4, -4, 4}},
        {Ui()->ButtonLinksOben, {-9.6, 6.4, -6.4, 9.6}}, {Ui()->ButtonOben, {-8, 8, -6.4, 9.6}},
        {Ui()->ButtonRechtsOben, {-6.4, 9.6, -6.4, 9.6}}, {Ui()->ButtonLinks, {-9.6, 6.4, -8, 8}},
        {Ui()->ButtonRechts, {-6.4, 9.6, -8, 8}},       {Ui()->ButtonLinksUnten, {-9.6, 6.4, -9.6, 6.4}},
        {Ui()->ButtonUnten, {-8, 8, -9.6, 6.4}},        {Ui()->ButtonRechtsUnten, {-6.4, 9.6, -9.6, 6.4}},
    };
    for (const auto& [button, after] : cases) {
        gView.BereichX1 = 2, gView.BereichY2 = 3;
        QTest::mouseClick(Ui()->ButtonAnfangswerte, Qt::LeftButton);
        ASSERT_EQ(gView.BereichX1, -8);
        QTest::mouseClick(button, Qt::LeftButton);
        ExpectWindow(after, button->objectName().toStdString());
    }
    EXPECT_FALSE(Area()->RedrawPending());
}

TEST_F(MouseToolsTest, TheStatusLineReadsTheWorldCoordinatesUnderTheMouse) {
    double px, py;
    WorldToPixel(2, -3, px, py);
    QTest::mouseMove(Area(), QPoint(int(std::lround(px)), int(std::lround(py))));
    // Two decimals with a comma, within a pixel of the point.
    const QString shown = Ui()->Label2->text().simplified();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^x= (1,9\\d|2,0\\d) y= (-3,0\\d|-2,9\\d)$")).match(shown).hasMatch())
        << shown.toStdString();
}

TEST_F(MouseToolsTest, ToolsEnableTheirControlsAndPreviewAtTheTickStepAndTheirTextGoesWithThePreview) {
    gTerms.TermF = "x^2";
    QToolButton* tangent = Ui()->ButtonTangente;
    Click(tangent);
    EXPECT_TRUE(form->WerkzeugAktiv);
    EXPECT_EQ(form->AktuellesWerkzeug, TDrawingTool::Tangente);
    EXPECT_TRUE(Ui()->CheckBox1->isEnabled() && Ui()->ButtonObjektEinfuegen->isEnabled());
    EXPECT_FALSE(Ui()->ButtonSchriftart->isEnabled());
    EXPECT_EQ(std::pair(gOverlay.ObjektX, gOverlay.ObjektSchrittweite),
              std::pair(gOutput.TickLabelStepX, gOutput.TickLabelStepX / 2));
    EXPECT_FALSE(Area()->Overlay().isNull());
    EXPECT_EQ(Ui()->Label3->text(), QStringLiteral("P(  1,00 |  1,00);     Tangente: y =   2,00 * x -  1,00"));

    // Another tool takes its place; pressing the same button again leaves no tool.
    Click(Ui()->ButtonSenkrechte);
    EXPECT_FALSE(tangent->isChecked());
    EXPECT_FALSE(Ui()->CheckBox1->isEnabled());
    Click(Ui()->ButtonSenkrechte);
    EXPECT_FALSE(form->WerkzeugAktiv);
    EXPECT_FALSE(Ui()->ButtonObjektEinfuegen->isEnabled());
    EXPECT_TRUE(Area()->Overlay().isNull());

    // The object's text goes with its preview.
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"tool switched off", [this] { Click(Ui()->ButtonTangente); }},
        {"zoom in", [this] { QTest::mouseClick(Ui()->ButtonZoomIn, Qt::LeftButton); }},
        {"pan", [this] { QTest::mouseClick(Ui()->ButtonRechts, Qt::LeftButton); }},
        {"axes from the dialog", [this] {
             gDisplay.Koordinatensystem.ySkalierung = 1;
             Host().RedrawMainGraph(true);
         }},
    };
    for (const auto& [what, action] : cases) {
        Tools()->AnfangswerteClick();
        gDisplay.Koordinatensystem.ySkalierung = 0;
        if (Ui()->ButtonTangente->isChecked())
            Tools()->GrafikobjektZeigen();
        else
            Click(Ui()->ButtonTangente);
        ASSERT_TRUE(Ui()->Label3->text().contains(QStringLiteral("Tangente"))) << what;
        action();
        Settle();
        EXPECT_TRUE(Ui()->Label3->text().isEmpty()) << what;
    }
    // The sums' text stays; it belongs to the picture.
    gOverlay.SummenZeichnen = true;
    ASSERT_TRUE(Ui()->ButtonTangente->isChecked());
    Tools()->GrafikobjektZeigen();
    form->Redraw(true);
    EXPECT_FALSE(Ui()->Label3->text().isEmpty());
}

TEST_F(MouseToolsTest, StatusTextsOfTheObjects) {
    // Term, tool, x, status text.
    const std::tuple<const char*, QToolButton*, double, const char*> cases[] = {
        {"x^2", Ui()->ButtonNormale, 0, "P(  0,00 |  0,00);     Normale: x =   0,00"},
        {"1e-11*x+1", Ui()->ButtonNormale, 2, "P(  2,00 |  1,00);     Normale: x =   2,00"},
        {"x^2", Ui()->ButtonNormale, 1, "P(  1,00 |  1,00);     Normale: y =  -0,50 * x +  1,50"},
        {"x^2", Ui()->ButtonWaagrechte, 2, "P(  2,00 |  4,00);     y =   4,00"},
        {"x^2", Ui()->ButtonSenkrechte, -1, "P( -1,00 |  1,00);     x =  -1,00"},
        {"x^2", Ui()->ButtonPunkt1, 3, "P(  3,00 |  9,00);     "},
        {"ln(x)", Ui()->ButtonTangente, -1, "P( -1,00 |nicht def.);     "},
        // Slopes right to the digits shown: -1/x^2 = -111111 at 0.003, the
        // intercept 2/x = 666.67 (the fixed-step quotient gives -1.00 E+5).
        {"1/x", Ui()->ButtonTangente, 0.003, "P(  3,00 E-3 |  3,33 E+2);     Tangente: y =  -1,11 E+5 * x +  6,67 E+2"},
        // No tangent and no normal at a corner.
        {"abs(x)", Ui()->ButtonTangente, 0, "P(  0,00 |  0,00);     "},
        {"abs(x-1)", Ui()->ButtonNormale, 1, "P(  1,00 |  0,00);     "},
    };
    for (const auto& [term, tool, x, text] : cases) {
        gTerms.TermF = term;
        if (!tool->isChecked()) Click(tool);
        gOverlay.ObjektX = x;
        Tools()->GrafikobjektZeigen();
        EXPECT_EQ(Ui()->Label3->text().toStdString(), text) << term << " at " << x;
    }
}

TEST_F(MouseToolsTest, StepsWrapAroundTheWindowAndInsertingPutsTheObjectFirst) {
    gTerms.TermF = "x";
    Click(Ui()->ButtonPunkt1);
    Ui()->ColorButton1->SetSelectionColor(0x0000FF);
    gOverlay.ObjektSchrittweite = 0.5;
    QToolButton *right = Ui()->ButtonSchrittRechts, *left = Ui()->ButtonSchrittLinks;
    const std::tuple<double, QToolButton*, double> steps[] = {{1, right, 1.5}, {1, left, 0.5}, {9, right, -7.5},
                                                              {-9, left, 7.5}};
    for (const auto& [before, button, after] : steps) {
        gOverlay.ObjektX = before;
        QTest::mouseClick(button, Qt::LeftButton);
        EXPECT_DOUBLE_EQ(gOverlay.ObjektX, after) << before;
    }
    // The x field, when left, moves the object.
    Type(Ui()->Edit2, QStringLiteral("sqrt(4)"));
    Settle();
    EXPECT_DOUBLE_EQ(gOverlay.ObjektX, 2);

    QTest::mouseClick(Ui()->ButtonObjektEinfuegen, Qt::LeftButton);
    Click(Ui()->ButtonTangente);
    QTest::mouseClick(Ui()->CheckBox1, Qt::LeftButton);
    QTest::mouseClick(Ui()->ButtonObjektEinfuegen, Qt::LeftButton);
    ASSERT_EQ(gGrafikobjektliste.Count(), 2);
    tElement e;
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(std::pair(e.Art, e.mflag), std::pair(TDrawingTool::Tangente, true));
    gGrafikobjektliste.Get(2, e);
    EXPECT_EQ(std::tuple(e.Art, e.x1, e.LinienFarbe), std::tuple(TDrawingTool::Punkt1, 2.0, Color(0x0000FF)));
    EXPECT_TRUE(Ui()->ButtonObjektEntfernen->isEnabled());

    QTest::mouseClick(Ui()->ButtonObjektEntfernen, Qt::LeftButton);
    EXPECT_EQ(gGrafikobjektliste.Count(), 1);
    QTest::mouseClick(Ui()->ButtonObjektlisteLoeschen, Qt::LeftButton);
    EXPECT_TRUE(gGrafikobjektliste.Empty());
    EXPECT_FALSE(Ui()->ButtonObjektEntfernen->isEnabled());
}

TEST_F(MouseToolsTest, TextLabelsArePlacedLiftedAndPutBackInTheFontChosen) {
    QLineEdit* field = Ui()->Edit1;
    Click(Ui()->ButtonTextfeld);
    EXPECT_TRUE(Ui()->ButtonSchriftart->isEnabled());
    EXPECT_FALSE(Ui()->ButtonSchrittLinks->isEnabled());
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_TRUE(field->isVisible());
    EXPECT_EQ(field->pos() + TMouseTools::TextInset(), Area()->pos() + QPoint(200, 150));
    QTest::keyClicks(field, QStringLiteral("Hallo"));
    QTest::keyClick(field, Qt::Key_Return);
    Settle();
    EXPECT_FALSE(field->isVisible());
    EXPECT_FALSE(Ui()->ButtonTextfeld->isChecked());
    ASSERT_EQ(gGrafikobjektliste.Count(), 1);
    tElement e;
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(std::tuple(e.Art, e.Text.str()), std::tuple(TDrawingTool::Textfeld, "Hallo"));
    EXPECT_EQ(QPointF(e.x1, e.y1), QPointF(200, 150));
    const CanvasSize s = MeasureText(Tools()->TextFont(), "Hallo");
    EXPECT_EQ(QPointF(e.x2, e.y2), QPointF(e.x1 + s.width, e.y1 + s.height));
    gGrafikobjektliste.Insert(2, tElement{});

    // A click on the label takes it into the field; Enter puts it back first.
    Click(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(205, 155));
    EXPECT_EQ(field->text(), QStringLiteral("Hallo"));
    EXPECT_EQ(gGrafikobjektliste.Count(), 1);
    QTest::keyClick(field, Qt::Key_End);
    QTest::keyClicks(field, QStringLiteral(" Welt"));
    QTest::keyClick(field, Qt::Key_Return);
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Text.str(), "Hallo Welt");
    EXPECT_EQ(QPointF(e.x1, e.y1), QPointF(200, 150));

    // Taken up and left with another tool, the label stays where it was.
    Click(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(205, 155));
    ASSERT_EQ(gGrafikobjektliste.Count(), 1);
    Click(Ui()->ButtonTangente);
    EXPECT_FALSE(field->isVisible());
    ASSERT_EQ(gGrafikobjektliste.Count(), 2);
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Text.str(), "Hallo Welt");

    // An empty field places nothing but ends the tool.
    Click(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(400, 400));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(gGrafikobjektliste.Count(), 2);
    EXPECT_FALSE(form->WerkzeugAktiv);

    // The font dialog's choice becomes the label's font.
    Choices().chooseFont = [](QWidget*, const QFont&, std::function<void(const QFont&)> done) {
        QFont f(QStringLiteral("Liberation Serif"));
        f.setPointSize(18);
        f.setItalic(true);
        done(f);
    };
    Click(Ui()->ButtonTextfeld);
    QTest::mouseClick(Area(), Qt::LeftButton, {}, QPoint(100, 100));
    const int before = field->height();
    QTest::mouseClick(Ui()->ButtonSchriftart, Qt::LeftButton);
    EXPECT_GT(field->height(), before);
    QTest::keyClicks(field, QStringLiteral("gross"));
    QTest::keyClick(field, Qt::Key_Return);
    gGrafikobjektliste.Get(1, e);
    EXPECT_EQ(e.Text.str(), "gross");
    EXPECT_EQ(std::tuple(e.SchriftName, e.SchriftHoehe, e.Schriftart),
              std::tuple("Liberation Serif", 18, kFontItalic));
}

TEST_F(MouseToolsTest, TheFontDialogOpensOnTheInstalledFamilyAndALabelKeepsTheNameNotChanged) {
    QLineEdit* field = Ui()->Edit1;
    // Size only, then another family; the family the dialog opens on, the label's font.
    const std::tuple<int, const char*, const char*, const char*, int> cases[] = {
        {16, nullptr, "Liberation Sans", "Arial", 16},
        {0, "Liberation Serif", "Liberation Sans", "Liberation Serif", 16},
    };
    for (const auto& [size, family, offered, stored, height] : cases) {
        SCOPED_TRACE(stored);
        Click(Ui()->ButtonTextfeld);
        // The label placed before is taken up again.
        QTest::mouseClick(Area(), Qt::LeftButton, {}, gGrafikobjektliste.Empty() ? QPoint(200, 150) : QPoint(205, 155));
        if (field->text().isEmpty()) QTest::keyClicks(field, QStringLiteral("Hallo"));
        Click(Ui()->ButtonSchriftart);
        QPointer<QFontDialog> fd = form->findChild<QFontDialog*>();
        ASSERT_TRUE(fd);
        QFont f = fd->currentFont();
        EXPECT_EQ(f.family().toStdString(), offered);
        EXPECT_EQ(f.pointSize(), size ? 10 : 16);
        if (size) f.setPointSize(size);
        if (family) f.setFamily(QString::fromUtf8(family));
        fd->setCurrentFont(f);
        fd->accept();
        Settle();
        field->setFocus();
        QTest::keyClick(field, Qt::Key_Return);
        ASSERT_EQ(gGrafikobjektliste.Count(), 1);
        tElement e;
        gGrafikobjektliste.Get(1, e);
        EXPECT_EQ(std::tuple(e.Text.str(), e.SchriftName, e.SchriftHoehe), std::tuple("Hallo", stored, height));
    }
}

}  // namespace
}  // namespace kalvo
