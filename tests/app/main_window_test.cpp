#include <QDialog>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "analysis_state.h"
#include "app_resources.h"
#include "app_test_support.h"
#include "canvas.h"
#include "settings_file.h"
#include "term.h"
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

TEST_F(MainWindowTest, StartingBuildsNoWindowButTheMainWindow) {
    // A fresh start, without the windows earlier tests may have left.
    form.reset();
    Settle();
    ASSERT_TRUE(OtherWindows(nullptr).isEmpty()) << OtherWindows(nullptr).join(' ').toStdString();
    StartClean();
    EXPECT_TRUE(OtherWindows(form.get()).isEmpty()) << OtherWindows(form.get()).join(' ').toStdString();
}

TEST_F(MainWindowTest, TheStatusLineHasItsOwnFontOnceTheGraphIsPainted) {
    // StartClean has shown the window and let its first paint happen.
    for (const QLabel* label : {form->Controls()->Label2, form->Controls()->Label3}) {
        EXPECT_EQ(label->font().family(), QStringLiteral("Courier New")) << label->objectName().toStdString();
        EXPECT_EQ(label->font().pointSize(), 9) << label->objectName().toStdString();
    }
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

TEST_F(MainWindowTest, EachButtonBuildsItsWindowWhenPressed) {
    struct Case {
        QToolButton* Ui::TForm1::*button;
        const char* window;
    };
    const Case cases[] = {
        {&Ui::TForm1::ButtonFunktionenschar, "kalvo::TForm2"},
        {&Ui::TForm1::ButtonStueckweise, "kalvo::TForm6"},
        {&Ui::TForm1::ButtonParameterkurven, "kalvo::TForm7"},
        {&Ui::TForm1::ButtonKoordinatensystem, "kalvo::TForm5"},
        {&Ui::TForm1::ButtonOptionen, "kalvo::Tform8"},
        {&Ui::TForm1::ButtonVollbild, "kalvo::TForm14"},
        {&Ui::TForm1::ButtonLGS, "kalvo::TForm23"},
        {&Ui::TForm1::Button3D, "kalvo::TForm30"},
        {&Ui::TForm1::ButtonIteration, "kalvo::TForm16"},
        {&Ui::TForm1::ButtonLogistisch, "kalvo::TForm16"},
        {&Ui::TForm1::ButtonKurvenanpassung, "kalvo::TForm22"},
        {&Ui::TForm1::ButtonWertetabelle, "kalvo::TForm12"},
        {&Ui::TForm1::ButtonDiskussion, "kalvo::TForm11"},
        {&Ui::TForm1::ButtonNewton, "kalvo::TForm17"},
        {&Ui::TForm1::ButtonRotationskoerper, "kalvo::Tform21"},
        {&Ui::TForm1::ButtonFlaechen, "kalvo::TForm13"},
        {&Ui::TForm1::ButtonSummen, "kalvo::TForm15"},
        // Made once, the curve discussion is the same window the next time.
        {&Ui::TForm1::ButtonDiskussion, "kalvo::TForm11"},
    };
    QPointer<QWidget> discussion;
    for (const Case& c : cases) {
        QToolButton* button = form->Controls()->*c.button;
        QTest::mouseClick(button, Qt::LeftButton);
        Settle();
        QWidget* opened = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != form.get() && w->isVisible()) opened = w;
        ASSERT_NE(opened, nullptr) << button->objectName().toStdString();
        EXPECT_EQ(QString::fromLatin1(opened->metaObject()->className()), QLatin1String(c.window))
            << button->objectName().toStdString();
        if (QLatin1String(c.window) == QLatin1String("kalvo::TForm11")) {
            if (discussion) {
                EXPECT_EQ(opened, discussion.data());
            }
            discussion = opened;
        }
        opened->close();
        Settle();
        EXPECT_TRUE(OtherWindows(form.get()).isEmpty() || OtherWindows(form.get()) == QStringList{"kalvo::TForm11"})
            << button->objectName().toStdString() << ": " << OtherWindows(form.get()).join(' ').toStdString();
    }
}

TEST_F(MainWindowTest, ManyRedrawRequestsGiveOneRedraw) {
    TGraphArea* area = form->PaintBox1();
    gOverlay.AnzahlRechtecke = 4;
    area->RequestRedraw();
    area->RequestRedraw();
    EXPECT_TRUE(area->RedrawPending());
    Settle();
    EXPECT_FALSE(area->RedrawPending());
}

TEST_F(MainWindowTest, ThePictureIsTheRedrawOfTheCurrentState) {
    // The y axis of the default window -8..8 runs through the middle column.
    gDisplay.Koordinatensystem.Achsenfarbe = 0x00FF00;
    form->Redraw(true);
    const QImage& img = form->PaintBox1()->Picture();
    const int mid = img.width() / 2;
    int green = 0;
    for (int dx = -1; dx <= 1; ++dx)
        if (img.pixelColor(mid + dx, img.height() / 3) == QColor(0, 255, 0)) ++green;
    EXPECT_GE(green, 1);
    EXPECT_EQ(img.pixelColor(img.width() / 4, img.height() / 4), QColor(Qt::white));
}

TEST_F(MainWindowTest, RectangleButtonsDoubleUpTo1024AndHalveDownTo1) {
    gOverlay.SummenZeichnen = true;
    form->Redraw(true);  // the sums overlay being on enables the two buttons
    ASSERT_TRUE(form->Controls()->Button2n->isEnabled());
    struct Case {
        int before;
        QToolButton* button;
        int after;
    };
    const Case cases[] = {
        {600, form->Controls()->Button2n, 1024}, {4, form->Controls()->Button2n, 8},
        {1024, form->Controls()->Button2n, 1024}, {1, form->Controls()->ButtonNHalbe, 1},
        {5, form->Controls()->ButtonNHalbe, 2},   {1024, form->Controls()->ButtonNHalbe, 512},
    };
    for (const Case& c : cases) {
        gOverlay.AnzahlRechtecke = c.before;
        QTest::mouseClick(c.button, Qt::LeftButton);
        EXPECT_EQ(gOverlay.AnzahlRechtecke, c.after) << c.before;
    }
    gOverlay.SummenZeichnen = false;
    form->Redraw(true);
    EXPECT_FALSE(form->Controls()->Button2n->isEnabled());
    EXPECT_FALSE(form->Controls()->ButtonSummen->isChecked());
}

// Stands in for the window of an overlay: it switches its overlay on or off
// and closes.
class OverlayStandIn : public QDialog {
public:
    OverlayStandIn(QWidget* parent, bool* flag, bool leaveOn) : QDialog(parent), flag_(flag), leaveOn_(leaveOn) {}
    void Finish() {
        *flag_ = leaveOn_;
        accept();
    }

private:
    bool* flag_;
    bool leaveOn_;
};

TEST_F(MainWindowTest, AToggleButtonShowsWhetherItsOverlayStaysOnAfterItsWindowCloses) {
    struct Case {
        TForm1::Overlay overlay;
        bool* flag;
        bool leaveOn;
    };
    const Case cases[] = {
        {TForm1::Overlay::Flaechen, &gOverlay.FlaecheZeichnen, false},
        {TForm1::Overlay::Flaechen, &gOverlay.FlaecheZeichnen, true},
        {TForm1::Overlay::Newton, &gOverlay.NewtonZeichnen, true},
        {TForm1::Overlay::Diskussion, &gDiscussion.SonderpunkteBeschriften, true},
        {TForm1::Overlay::Kurvenanpassung, &gRegression.WertepaareZeichnen, false},
        {TForm1::Overlay::Iteration, &gIteration.FolgeAnzeige, true},
        {TForm1::Overlay::Logistisch, &gIteration.AttraktorAnzeige, true},
    };
    for (const Case& c : cases) {
        gOverlay = OverlayState{};
        gDiscussion = DiscussionResults{};
        gIteration = IterationState{};
        gRegression.WertepaareZeichnen = false;
        QToolButton* button = form->OverlayButton(c.overlay);
        auto* window = new OverlayStandIn(form.get(), c.flag, c.leaveOn);
        form->OpenOverlayWindow(c.overlay, window);
        // The curve fitting switches its value pairs on before its window opens.
        if (c.overlay == TForm1::Overlay::Kurvenanpassung) {
            EXPECT_TRUE(button->isChecked());
        }
        window->Finish();
        EXPECT_EQ(button->isChecked(), c.leaveOn) << button->objectName().toStdString() << " " << c.leaveOn;
        delete window;
    }
    // The logistic equation's overlay is on: its button is down, the other iteration button up.
    EXPECT_TRUE(gIteration.IterLogistisch);
    EXPECT_TRUE(form->OverlayButton(TForm1::Overlay::Logistisch)->isChecked());
    form->SyncOverlayButton(TForm1::Overlay::Iteration);
    EXPECT_FALSE(form->OverlayButton(TForm1::Overlay::Iteration)->isChecked());
}

TEST_F(MainWindowTest, GlyphsAndCursorsComeFromTheResources) {
    const Ui::TForm1* ui = form->Controls();
    for (const QToolButton* b : {ui->ButtonEnde, ui->ButtonZoomIn, ui->ButtonTangente})
        EXPECT_FALSE(b->icon().pixmap(20, 20).isNull()) << b->objectName().toStdString();
    RegisterCursors();
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(ProgramCursor(n).pixmap().width(), 32) << n;
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

    QTest::mouseClick(form->Controls()->ButtonEnde, Qt::LeftButton);
    Settle();
    passInfo();
    ASSERT_NE(form->QuitQuestion(), nullptr);
    form->QuitQuestion()->button(QMessageBox::Ok)->click();
    Settle();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(gFunktionenspeicher.Empty());
    EXPECT_TRUE(gGrafikobjektliste.Empty());
}

TEST_F(MainWindowTest, SettingsSurviveARestart) {
    gView.BereichX1 = -3;
    gView.BereichX2 = 5;
    gView.BereichY1 = -2.5;
    gView.GeradeU2 = 1.5;
    gParams.FgTVon = -2;
    gParams.FgTBis = 2;
    gParams.FgTSchrittweite = 0.5;
    gParams.FgSummeBis = 7;
    gTerms.TermF = "t*x^2";
    gTerms.TermG = "sin(x)";
    gTerms.Listenterme[3] = "x^3";
    gTerms.KonstanteA = 2.5;
    gTerms.ParameterListe = "1;2;3;";
    gDisplay.Schaubilder[2] = Schaubild{0x0000FF, 2, true};
    gDisplay.Schaubilder[8] = Schaubild{0x008000, 1, true};
    gDisplay.Nachkommastellen = 3;
    gDisplay.Koordinatensystem.Gitter = 1;
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
    EXPECT_EQ(gTerms.TermF.str(), terms.TermF.str());
    EXPECT_EQ(gTerms.TermG.str(), terms.TermG.str());
    EXPECT_EQ(gTerms.Listenterme, terms.Listenterme);
    EXPECT_EQ(gTerms.KonstanteA, terms.KonstanteA);
    EXPECT_EQ(gTerms.ParameterListe.str(), terms.ParameterListe.str());
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

TEST_F(MainWindowTest, WithoutASettingsFileTheProgramStartsWithItsDefaults) {
    EXPECT_TRUE(gView.FgZeichenbereichAuto);
    EXPECT_EQ(gView.BereichX1, -8);
    EXPECT_EQ(gView.BereichY2, 8);
    EXPECT_TRUE(gDisplay.Schaubilder[1].zeichnen);
    EXPECT_EQ(gDisplay.Schriftgroesse, 10);
    EXPECT_EQ(gOverlay.AnzahlRechtecke, 4);
    EXPECT_EQ(gOutput.AusgabeCanvas, form->PaintBox1()->Surface().ScreenCanvas());
    EXPECT_EQ(gControl.ProgramDir, dir.path().toStdString());
}

}  // namespace
}  // namespace kalvo
