// The two 3D windows driven as the user drives them. The surfaces window:
// terms, ranges and fields, the modes, the colouring controls, turning the
// view by dragging and by the animation, the term lists and their files, and
// the output buttons. The solids-of-revolution window: what it takes from the
// shared state, the volumes it shows, its fields, the open and closed solids
// about either axis, and what it leaves behind.

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>

#include "analysis_state.h"
#include "bit_check_box.h"
#include "clipboard_picture.h"
#include "color_button.h"
#include "curves.h"
#include "edit_field.h"
#include "grafik3d_canvas.h"
#include "printing.h"
#include "graph_state.h"
#include "graph_host.h"
#include "message_sink.h"
#include "program_state.h"
#include "work_test_support.h"
#include "rotation_panel.h"
#include "solid_window.h"
#include "surface_window.h"
#include "switch.h"
#include "term.h"
#include "ui_rotation_panel.h"
#include "ui_solid_window.h"
#include "ui_surface_window.h"
#include "ui_view_panel.h"
#include "view_panel.h"

namespace kalvo {
namespace {

// A 3D window on a clean program state, shown offscreen; messages are
// recorded, files go to a folder of the test's own.
template <typename W>
class FensterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        altesVerzeichnis = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QApplication::setQuitOnLastWindowClosed(false);
        ResetProgramState();
        ResetGraphState();
        InitTermTrees();
    }

    void TearDown() override {
        delete fenster.data();
        Settle();
        QDir::setCurrent(altesVerzeichnis);
    }

    W* Oeffnen() {
        fenster = new W;
        fenster->resize(1100, 760);
        fenster->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(fenster.data()));
        fenster->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(fenster.data()));
        Settle();
        return fenster;
    }

    // Lets posted events run (layouts, repaints, deferred deletes).
    static void Settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    // Replaces a field's text as the user would and leaves it with Enter.
    static void Type(QLineEdit* e, const QString& text) {
        e->setFocus(Qt::OtherFocusReason);
        e->selectAll();
        QTest::keyClicks(e, text);
        QTest::keyClick(e, Qt::Key_Return);
    }

    // A click on the round box of a radio button.
    static void Waehlen(QAbstractButton* radio) {
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    bool Geschlossen() {
        Settle();
        return fenster.isNull();
    }

    QTemporaryDir dir;
    QString altesVerzeichnis;
    QPointer<W> fenster;
    MessageRecorder messages;
};

// Pixels of the picture in this colour.
inline int Pixel(const QImage& bild, QRgb farbe) {
    int n = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x) n += (bild.pixel(x, y) & 0xFFFFFF) == (farbe & 0xFFFFFF);
    return n;
}


class Form30Test : public FensterTest<TForm30> {
protected:
    TForm30* Oeffnen() {
        FensterTest::Oeffnen();
        ui = fenster->Controls();
        b = ui->Bedienung->Controls();
        r = ui->Rotation->Controls();
        return fenster;
    }
    const TFlaeche& Gitter() { return *fenster->FlaechenGitter(); }
    QImage Bild() { return fenster->Grafik()->Bitmap(); }

    Ui::TForm30* ui = nullptr;
    Ui::TBedienung3D* b = nullptr;
    Ui::TRotation3D* r = nullptr;
};

TEST_F(Form30Test, ShowingDrawsThePlaneAndATypedTermItsSurface) {
    ASSERT_TRUE(Oeffnen());
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Kalvograf   Funktionsflächen"));
    EXPECT_TRUE(ui->EditZ->text().isEmpty());
    ASSERT_TRUE(fenster->FlaechenGitter());
    EXPECT_EQ(Gitter().xMasche(), 30);
    for (int i = 0; i <= 30; i += 5) EXPECT_EQ(Gitter().D3Point(i, 30 - i).z, 0);
    const QImage ebene = Bild();
    EXPECT_EQ(ebene.size(), fenster->Grafik()->size());

    Type(ui->EditZ, QStringLiteral("x^2 - y^2"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->EditZ->text(), QStringLiteral("x^2-y^2"));
    const TSurfPoint p = Gitter().D3Point(5, 20);
    EXPECT_DOUBLE_EQ(p.z, p.x * p.x - p.y * p.y);
    EXPECT_EQ(std::pair(fenster->Grafik()->z1(), fenster->Grafik()->zw()), std::pair(-9.0, 18.0));
    EXPECT_NE(Bild(), ebene);
    EXPECT_TRUE(messages.messages().empty());

    // A term that does not compile is reported once; OK keeps the last surface.
    Type(ui->EditZ, QStringLiteral("x^^2"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u);
    EXPECT_TRUE(ui->EditZ->hasFocus());
}

TEST_F(Form30Test, RangeFieldsButtonsAndTheGridSize) {
    ASSERT_TRUE(Oeffnen());
    const auto bereich = [&] {
        const TForm30::Bereiche& x = fenster->Flaechenbereiche();
        return std::pair(x.x1, x.x2);
    };
    struct Schritt { QLineEdit* feld; const char* text; double x1, x2; };
    for (const Schritt& s : {Schritt{ui->EditMin1, "5", 3, 5},     // reversed: exchanged
                             Schritt{ui->EditMax1, "3", -3, 3},    // no width: the start range
                             Schritt{ui->EditMin1, "-sqrt(4)", -2, 3}}) {
        Type(s.feld, QString::fromUtf8(s.text));
        EXPECT_EQ(bereich(), std::pair(s.x1, s.x2)) << s.text;
        EXPECT_EQ(Gitter().D3Point(0, 0).x, s.x1) << s.text;
        EXPECT_EQ(Gitter().D3Point(30, 0).x, s.x2) << s.text;
    }
    EXPECT_EQ(ui->EditMin1->text().trimmed(), QStringLiteral("-2,00"));

    const struct { QAbstractButton* knopf; double x1, x2; } knoepfe[] = {
        {ui->SpeedButtonVerdoppeln1, -4.5, 5.5}, {ui->SpeedButtonHalbieren1, -2, 3}, {ui->SpeedButtonAnfang1, -3, 3}};
    for (const auto& k : knoepfe) {
        QTest::mouseClick(k.knopf, Qt::LeftButton);
        EXPECT_EQ(bereich(), std::pair(k.x1, k.x2)) << k.knopf->objectName().toStdString();
    }

    for (const auto& [text, n] : {std::pair("4", 30), std::pair("99", 99)}) {
        Type(ui->EditZerlegung, QString::fromUtf8(text));
        EXPECT_EQ(fenster->Zerlegung3D(), n) << text;
        EXPECT_EQ(Gitter().xMasche(), n) << text;
        EXPECT_EQ(ui->EditZerlegung->text(), QString::number(n));
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Form30Test, ParametricModeShowsItsFieldsAndDrawsItsSurface) {
    ASSERT_TRUE(Oeffnen());
    Waehlen(ui->RadioButtonParameter);
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Kalvograf   Parameterflächen"));
    EXPECT_TRUE(g3D.ParameterflaechenModus);
    EXPECT_FALSE(ui->EditZ->isVisible());
    EXPECT_TRUE(ui->EditPx->isVisible() && ui->EditPy->isVisible() && ui->EditPz->isVisible());
    EXPECT_EQ(ui->LabelBereich1->text(), QStringLiteral("a"));
    EXPECT_EQ(ui->EditMax2->text().trimmed(), QStringLiteral("1,00"));

    Type(ui->EditPx, QStringLiteral("cos(2pi*a)"));
    Type(ui->EditPy, QStringLiteral("sin(2pi*a)"));
    Type(ui->EditPz, QStringLiteral("b"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    for (int i = 0; i <= 30; i += 3) {
        const TSurfPoint p = Gitter().D3Point(i, 10);
        EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-12);
        EXPECT_NEAR(p.z, 1.0 / 3, 1e-12);
    }
    // The function surface's ranges stay as they were.
    Waehlen(ui->RadioButtonFunktion);
    EXPECT_EQ(ui->EditMin1->text().trimmed(), QStringLiteral("-3,00"));
    EXPECT_EQ(Gitter().D3Point(0, 0).x, -3);
}

TEST_F(Form30Test, ColouringControlsFollowTheTwoCheckBoxes) {
    ASSERT_TRUE(Oeffnen());
    const struct {
        bool farbwechsel, spektrum;
        bool flaechenfarbe, radios, spektrumwahl;
        int art;
    } faelle[] = {
        {true, true, false, true, true, 2}, {true, false, true, true, false, 2},
        {false, false, true, false, false, 1}, {false, true, true, true, false, 2},
    };
    for (const auto& f : faelle) {
        if (b->CheckBoxFarbwechsel->Checked() != f.farbwechsel) QTest::mouseClick(b->CheckBoxFarbwechsel, Qt::LeftButton);
        if (b->CheckBoxSpektrum->Checked() != f.spektrum) QTest::mouseClick(b->CheckBoxSpektrum, Qt::LeftButton);
        ASSERT_EQ(b->CheckBoxFarbwechsel->Checked(), f.farbwechsel);
        ASSERT_EQ(b->CheckBoxSpektrum->Checked(), f.spektrum);
        EXPECT_EQ(std::tuple(b->ColorButtonFlaeche->isEnabled(), b->RadioButtonZWerte->isEnabled(),
                             b->TrackBarSpektrum->isEnabled(), ui->Bedienung->Bild(1).art),
                  std::tuple(f.flaechenfarbe, f.radios, f.spektrumwahl, f.art));
        EXPECT_EQ(g3D.Farbspektrum3D, f.spektrum);
    }
    b->RadioButtonZWerte->setChecked(true);
    EXPECT_EQ(ui->Bedienung->Bild(1).art, 3);

    // A colour or a track bar redraws at once.
    const QImage vorher = Bild();
    b->ColorButtonHintergrund->SetSelectionColor(0x00FFFF);
    EXPECT_GT(Pixel(Bild(), qRgb(255, 255, 0)), Pixel(vorher, qRgb(255, 255, 0)) + 1000);
    b->TrackBarSpektrum->setValue(7);
    EXPECT_EQ(g3D.Farbspektrum3DNummer, 7);
}

TEST_F(Form30Test, AngleFieldsTurnTheViewOnlyWhenChanged) {
    ASSERT_TRUE(Oeffnen());
    TGrafik3DCanvas* g = fenster->Grafik();
    EXPECT_EQ(b->EditPhi->text() + " " + b->EditTheta->text(), QStringLiteral("45 50"));
    Type(b->EditPhi, QStringLiteral("30"));
    EXPECT_EQ(g->Zrot(), 30);
    Type(b->EditTheta, QStringLiteral("-70"));
    EXPECT_EQ(g->Yrot(), 70);
    EXPECT_EQ(b->EditTheta->text(), QStringLiteral("70"));

    // An angle the animation left negative shows without its sign; passing
    // through the field does not turn the view.
    g->SetZrot(-30.4);
    fenster->zeichnen();
    EXPECT_EQ(b->EditPhi->text(), QStringLiteral("30"));
    b->EditPhi->setFocus();
    QTest::keyClick(b->EditPhi, Qt::Key_Return);
    EXPECT_EQ(g->Zrot(), -30.4);

    QTest::mouseClick(b->SpeedButtonWinkel, Qt::LeftButton);
    EXPECT_EQ(g->Zrot(), 45);
    EXPECT_EQ(g->Yrot(), 50);
}

TEST_F(Form30Test, DraggingTurnsTheViewAndShowsTheNetUntilReleased) {
    ASSERT_TRUE(Oeffnen());
    Type(ui->EditZ, QStringLiteral("sin(x)*cos(y)"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    QTest::mouseClick(b->CheckBoxBeleuchtung, Qt::LeftButton);
    TGrafik3DCanvas* g = fenster->Grafik();
    const int netzLicht = Pixel(Bild(), qRgb(0, 0, 0));

    QTest::mousePress(g, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseMove(g, QPoint(180, 210));
    EXPECT_EQ(std::pair(g->Zrot(), g->Yrot()), std::pair(55.0, 45.0));
    EXPECT_TRUE(fenster->Bewegt());
    // While the view moves the plain surface with its net shows.
    EXPECT_GT(Pixel(Bild(), qRgb(0, 0, 0)), netzLicht + 500);
    // A slow drag turns as well: every second pixel counts.
    for (int x = 179; x >= 176; --x) QTest::mouseMove(g, QPoint(x, 210));
    EXPECT_EQ(g->Zrot(), 57);

    QTest::mouseRelease(g, Qt::LeftButton, {}, QPoint(176, 210));
    EXPECT_FALSE(fenster->Bewegt());
    EXPECT_LT(Pixel(Bild(), qRgb(0, 0, 0)), netzLicht + 100);
    EXPECT_EQ(b->EditPhi->text(), QStringLiteral("57"));
}

TEST_F(Form30Test, AnimationTurnsOnATimerAndEndsWithTheWindow) {
    gDisplay.AnimationDelay = 0;
    ASSERT_TRUE(Oeffnen());
    EXPECT_FALSE(r->TrackBarTempo->isEnabled());
    EXPECT_FALSE(r->SpeedButtonRechts->isEnabled());

    r->Switch->SetChecked(true);
    EXPECT_TRUE(fenster->AnimationLaeuft());
    EXPECT_TRUE(r->SpeedButtonRechts->isChecked());
    EXPECT_TRUE(r->TrackBarTempo->isEnabled());
    for (QPushButton* k : {ui->BitBtnDrucker, ui->BitBtnWMFClipb, ui->BitBtnWMFDatei}) EXPECT_FALSE(k->isEnabled());
    // Theta 50 turning right: phi goes down by half the speed per frame.
    EXPECT_TRUE(QTest::qWaitFor([&] { return fenster->Grafik()->Zrot() <= 42; }, 5000));
    EXPECT_EQ(std::fmod(fenster->Grafik()->Zrot(), 1.0), 0.0);
    QTest::mouseClick(r->SpeedButtonUnten, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fenster->Grafik()->Yrot() <= 47; }, 5000));

    r->Switch->SetChecked(false);
    EXPECT_FALSE(fenster->AnimationLaeuft());
    for (QPushButton* k : {ui->BitBtnDrucker, ui->BitBtnWMFClipb, ui->BitBtnWMFDatei}) EXPECT_TRUE(k->isEnabled());

    // Esc closes the window, the running animation with it.
    r->Switch->SetChecked(true);
    QTest::keyClick(ui->EditZ, Qt::Key_Escape);
    EXPECT_TRUE(Geschlossen());
    QTest::qWait(50);
}

TEST_F(Form30Test, FunctionListAddsSavesAndLoads) {
    ASSERT_TRUE(Oeffnen());
    EXPECT_FALSE(ui->SpeedButtonSpeichern->isEnabled());
    QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton);
    EXPECT_TRUE(ui->ListBoxFunktion->isVisible());
    EXPECT_TRUE(ui->SpeedButtonAufnehmen->isEnabled());
    EXPECT_FALSE(ui->SpeedButtonHolen->isEnabled());
    for (const char* term : {"sin(x)", "sin(x)", "x^^2", "cos( y )", ""}) {
        ui->EditZ->setText(QString::fromUtf8(term));
        QTest::mouseClick(ui->SpeedButtonAufnehmen, Qt::LeftButton);
    }
    ASSERT_EQ(ui->ListBoxFunktion->count(), 2);  // no twin, no bad term, nothing empty
    EXPECT_EQ(ui->ListBoxFunktion->item(1)->text(), QStringLiteral("cos(y)"));
    EXPECT_EQ(messages.messages().size(), 1u);

    // A click into the term field closes the list.
    QTest::mouseClick(ui->EditZ, Qt::LeftButton);
    EXPECT_FALSE(ui->ListBoxFunktion->isVisible());
    EXPECT_TRUE(ui->SpeedButtonSpeichern->isEnabled());

    ASSERT_TRUE(fenster->ListeSpeichern(dir.filePath(QStringLiteral("flaechen.neu.txt"))));
    QFile datei(dir.filePath(QStringLiteral("flaechen.LFF")));
    ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
    EXPECT_EQ(datei.readAll(), QByteArray("sin(x)\r\ncos(y)\r\n"));

    std::ofstream(dir.filePath(QStringLiteral("andere.LFF")).toStdString()) << "x*y\n\nexp(-x^2)\n";
    ASSERT_TRUE(fenster->ListeHolen(dir.filePath(QStringLiteral("andere.LFF"))));
    EXPECT_EQ(ui->ListBoxFunktion->count(), 3);
    EXPECT_EQ(ui->EditZ->text(), QStringLiteral("x*y"));
    EXPECT_TRUE(ui->EditZ->hasFocus());
    const TSurfPoint p = Gitter().D3Point(3, 7);
    EXPECT_DOUBLE_EQ(p.z, p.x * p.y);

    fenster->ListeDoppelklick(ui->ListBoxFunktion->item(2));
    EXPECT_EQ(ui->EditZ->text(), QStringLiteral("exp(-x^2)"));

    EXPECT_FALSE(fenster->ListeHolen(dir.filePath(QStringLiteral("fehlt.LFF"))));
    EXPECT_EQ(messages.messages().back(), "Die Datei fehlt.LFF kann nicht gelesen werden.");
    EXPECT_EQ(ui->ListBoxFunktion->count(), 3);
}

TEST_F(Form30Test, ParametricListSplitsItsEntriesAndKeepsOne) {
    ASSERT_TRUE(Oeffnen());
    Waehlen(ui->RadioButtonParameter);
    QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton);
    EXPECT_TRUE(ui->ListBoxParameter->isVisible());
    EXPECT_FALSE(ui->ListBoxFunktion->isVisible());
    ui->EditPx->setText(QStringLiteral("a"));
    ui->EditPy->setText(QStringLiteral("b"));
    ui->EditPz->setText(QStringLiteral("a*b"));
    QTest::mouseClick(ui->SpeedButtonAufnehmen, Qt::LeftButton);
    ui->EditPz->setText(QStringLiteral("a-b"));
    QTest::mouseClick(ui->SpeedButtonAufnehmen, Qt::LeftButton);
    ASSERT_EQ(ui->ListBoxParameter->count(), 2);
    EXPECT_EQ(ui->ListBoxParameter->item(0)->text(), QStringLiteral("x=a;y=b;z=a*b"));

    for (int i = 0; i < 3; ++i) QTest::mouseClick(ui->SpeedButtonEntfernen, Qt::LeftButton);
    ASSERT_EQ(ui->ListBoxParameter->count(), 1);

    QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton);
    ASSERT_TRUE(fenster->ListeSpeichern(dir.filePath(QStringLiteral("flaechen.txt"))));
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("flaechen.LPF"))));

    fenster->ListeDoppelklick(ui->ListBoxParameter->item(0));
    EXPECT_EQ(ui->EditPx->text(), QStringLiteral("a"));
    EXPECT_EQ(ui->EditPz->text(), QStringLiteral("a*b"));
    EXPECT_TRUE(ui->EditPx->hasFocus());
    EXPECT_EQ(Gitter().D3Point(30, 30), (TSurfPoint{1, 1, 1}));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Form30Test, TheOpenListLeavesTheWindowsSizeAndItsButtonsWhereTheyAre) {
    // 1100 x 760 leaves the left panel no room to spare: a list that took
    // room in the layout grew the window from the ninth entry on.
    ASSERT_TRUE(Oeffnen());
    const QSize size = fenster->size();
    const auto at = [&](const QWidget* w) { return w->mapTo(fenster, QPoint()); };
    const auto place = [&](const QWidget* w) { return std::pair(at(w).x(), at(w).y()); };
    const QWidget* const buttons[] = {ui->SpeedButtonListe, ui->SpeedButtonAufnehmen, ui->SpeedButtonEntfernen,
                                      ui->RadioButtonOhne, ui->BitBtnOk, ui->BitBtnEnde};
    std::vector<std::pair<int, int>> places;
    for (const QWidget* w : buttons) places.push_back(place(w));
    const std::function<void()> steps[] = {
        [&] { QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton); },
        [&] {
            for (int i = 0; i < 12; ++i) {
                ui->EditZ->setText(QStringLiteral("x+%1").arg(i));
                QTest::mouseClick(ui->SpeedButtonAufnehmen, Qt::LeftButton);
            }
        },
        [&] { QTest::mouseClick(ui->SpeedButtonEntfernen, Qt::LeftButton); },
        [&] { QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton); },
        [&] { Waehlen(ui->RadioButtonParameter); },
        [&] {
            QTest::mouseClick(ui->SpeedButtonListe, Qt::LeftButton);
            ui->EditPx->setText(QStringLiteral("a"));
            ui->EditPy->setText(QStringLiteral("b"));
            for (const char* z : {"a*b", "a+b", "a-b"}) {
                ui->EditPz->setText(QString::fromUtf8(z));
                QTest::mouseClick(ui->SpeedButtonAufnehmen, Qt::LeftButton);
            }
        },
    };
    int step = 0;
    for (const auto& run : steps) {
        SCOPED_TRACE(step++);
        run();
        Settle();
        EXPECT_EQ(fenster->size(), size);
        for (size_t i = 0; i < std::size(buttons); ++i) EXPECT_EQ(place(buttons[i]), places[i]) << i;
        // The open list hangs right below its buttons; up to ten entries it
        // shows them all, beyond that it is 150 pixels high and scrolls.
        const QListWidget* list = fenster->AktuelleListe();
        if (!list->isVisible()) continue;
        const QRect box(at(list), list->size());
        EXPECT_EQ(box.left(), at(ui->SpeedButtonListe).x());
        EXPECT_GT(box.top(), at(ui->SpeedButtonListe).y() + ui->SpeedButtonListe->height());
        EXPECT_LT(box.top(), at(ui->SpeedButtonListe).y() + ui->SpeedButtonListe->height() + 10);
        const int n = list->count();
        if (n < 11)
            EXPECT_EQ(list->verticalScrollBar()->maximum(), 0) << n;
        else
            EXPECT_EQ(list->height() - 2 * list->frameWidth(), 150) << n;
    }
    EXPECT_EQ(ui->ListBoxParameter->count(), 3);
}

TEST_F(Form30Test, PrintedClipboardAndFilePictures) {
    ASSERT_TRUE(Oeffnen());
    Type(ui->EditZ, QStringLiteral("x*y"));
    Waehlen(ui->RadioButtonSkalierung);
    const QImage bildschirm = Bild();

    const QString pdf = dir.filePath(QStringLiteral("bild.pdf"));
    fenster->ChoosePrinter = [&](PrintJob& p) {
        p.SetPdfOutput(pdf);
        return true;
    };
    QTest::mouseClick(ui->BitBtnDrucker, Qt::LeftButton);
    EXPECT_EQ(Bild(), bildschirm);
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(20000)) << "pdftotext is missing: tools/install-deps installs it";
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* t : {"x", "y", "z", "-2", "2"}) EXPECT_TRUE(text.contains(QString::fromUtf8(t))) << t;

    QTest::mouseClick(ui->BitBtnWMFClipb, Qt::LeftButton);
    const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(clip);
    EXPECT_TRUE(clip->hasFormat(QString::fromLatin1(kEmfMimeType)));
    EXPECT_TRUE(clip->hasFormat(QString::fromLatin1(kWmfMimeType)));
    EXPECT_FALSE(fenster->Grafik()->RecordMetafile());

    const QString unterordner = dir.filePath(QStringLiteral("bilder"));
    ASSERT_TRUE(QDir().mkpath(unterordner));
    ASSERT_TRUE(fenster->GrafikSpeichern(unterordner + QStringLiteral("/bild.neu.wmf"), 1));
    QFile emf(unterordner + QStringLiteral("/bild.emf"));
    ASSERT_TRUE(emf.open(QIODevice::ReadOnly));
    EXPECT_EQ(emf.read(4), QByteArray("\x01\x00\x00\x00", 4));
    EXPECT_EQ(QDir::currentPath(), QDir(unterordner).absolutePath());
    // An outside reader finds the surface's 900 cells in the file.
    p.start(QStringLiteral("emf2svg-conv"), {"-i", "bild.emf", "-o", "bild.svg"});
    ASSERT_TRUE(p.waitForFinished(20000)) << "emf2svg-conv is missing: tools/install-deps installs it";
    EXPECT_EQ(p.exitCode(), 0);
    QFile svg(QStringLiteral("bild.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_GE(svg.readAll().count("<path"), 900);
    EXPECT_FALSE(fenster->GrafikSpeichern(unterordner + QStringLiteral("/.wmf"), 0));
    EXPECT_EQ(Bild(), bildschirm);
}

TEST_F(Form30Test, VorgabeRestoresRangesViewAndColours) {
    ASSERT_TRUE(Oeffnen());
    TGrafik3DCanvas* g = fenster->Grafik();
    QTest::mouseClick(ui->SpeedButtonVerdoppeln2, Qt::LeftButton);
    Type(ui->EditZerlegung, QStringLiteral("12"));
    Type(b->EditPhi, QStringLiteral("10"));
    b->ColorButtonNetz->SetSelectionColor(0x0000FF);
    r->Switch->SetChecked(true);
    QTest::mouseClick(ui->BitBtnVorgabe, Qt::LeftButton);
    EXPECT_FALSE(fenster->AnimationLaeuft());
    EXPECT_EQ(fenster->Flaechenbereiche().y1, -3);
    EXPECT_EQ(fenster->Zerlegung3D(), 30);
    EXPECT_EQ(Gitter().xMasche(), 30);
    EXPECT_EQ(std::pair(g->Zrot(), g->Yrot()), std::pair(45.0, 50.0));
    EXPECT_EQ(b->ColorButtonNetz->SelectionColor(), 0u);
    EXPECT_EQ(b->ColorButtonFlaeche->SelectionColor(), MakeRGB(204, 204, 204));
}

const QString kPiVE = QStringLiteral("•pi [VE]");

class Form21Test : public FensterTest<Tform21> {
protected:
    Tform21* Oeffnen() {
        FensterTest::Oeffnen();
        ui = fenster->Controls();
        b = ui->Bedienung->Controls();
        return fenster;
    }
    const TFlaeche& Netz() { return *fenster->KoerperNetz(); }

    Ui::Tform21* ui = nullptr;
    Ui::TBedienung3D* b = nullptr;
};

TEST_F(Form21Test, ShowingTakesTheSharedInputsAndComputes) {
    gTerms.TermF = "x";
    gOverlay.GrenzeA = 0;
    gOverlay.GrenzeB = 1;
    gTerms.ParameterWerte[0] = 2;
    ASSERT_TRUE(Oeffnen());
    EXPECT_EQ(fenster->windowTitle(), QStringLiteral("Rauminhalte von Rotationskörpern"));
    EXPECT_EQ(ui->EditF->text(), QStringLiteral("x"));
    EXPECT_EQ(ui->EditT->text().trimmed(), QStringLiteral("2,00"));
    EXPECT_EQ(ui->LabelV1->text() + " " + ui->LabelV2->text(), "0,33" + kPiVE + " 0,33" + kPiVE);
    EXPECT_EQ(b->EditPhi->text() + " " + b->EditTheta->text(), QStringLiteral("0 90"));
    EXPECT_EQ(Netz().xMasche(), 30);
    EXPECT_EQ(std::pair(fenster->Grafik()->Entfernung(), fenster->Grafik()->Sehwinkel()), std::pair(44.0, 0.1));
    EXPECT_TRUE(messages.messages().empty());

    // A new term, t and interval: the volumes follow, f is taken over.
    Type(ui->EditF, QStringLiteral("t"));
    Type(ui->EditA, QStringLiteral("1"));
    Type(ui->EditB, QStringLiteral("2,5"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("6,00") + kPiVE);
    EXPECT_EQ(gTerms.TermF.str(), "t");
    EXPECT_EQ(Netz().D3Point(30, 0), (TSurfPoint{2.5, 0, 2}));
}

TEST_F(Form21Test, LongAndUndefinedVolumesLeaveTheWindowsSizeAndButtonsAsTheyWere) {
    ASSERT_TRUE(Oeffnen());
    const QSize size = fenster->size();
    const QPoint ok = ui->BitBtnOk->mapTo(fenster, QPoint()), ende = ui->BitBtnEnde->mapTo(fenster, QPoint());
    for (const char* term : {"1e12*x^10", "sqrt(-1)", "1/x", "x"}) {
        SCOPED_TRACE(term);
        Type(ui->EditF, QString::fromUtf8(term));
        Type(ui->EditA, QStringLiteral("-8"));
        Type(ui->EditB, QStringLiteral("8"));
        QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
        Settle();
        EXPECT_EQ(fenster->size(), size);
        EXPECT_TRUE(ui->BitBtnOk->mapTo(fenster, QPoint()) == ok && ui->BitBtnEnde->mapTo(fenster, QPoint()) == ende);
    }
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("3,41 E+2") + kPiVE);
}

TEST_F(Form21Test, FieldsAreReadAndMended) {
    gTerms.TermF = "x";
    ASSERT_TRUE(Oeffnen());
    Type(ui->EditIterationen, QStringLiteral("1000"));
    EXPECT_EQ(fenster->KoerperIterationen(), 500);
    EXPECT_EQ(ui->EditIterationen->text(), QStringLiteral("500"));
    Type(ui->EditZerlegung, QStringLiteral("4"));
    EXPECT_EQ(Netz().xMasche(), 30);
    Type(ui->EditZerlegung, QStringLiteral("12"));
    EXPECT_EQ(Netz().xMasche(), 12);

    // A reversed interval is put in order before the volumes are computed.
    Type(ui->EditA, QStringLiteral("1"));
    Type(ui->EditB, QStringLiteral("0"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->EditA->text().trimmed(), QStringLiteral("0,00"));
    EXPECT_EQ(ui->EditB->text().trimmed(), QStringLiteral("1,00"));
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("0,33") + kPiVE);

    Type(b->EditPhi, QStringLiteral("45"));
    EXPECT_EQ(fenster->Grafik()->Zrot(), 225);
    Type(b->EditTheta, QStringLiteral("60"));
    EXPECT_EQ(fenster->Grafik()->Yrot(), 60);
    QTest::mouseClick(b->SpeedButtonWinkel, Qt::LeftButton);
    EXPECT_EQ(std::pair(fenster->Grafik()->Zrot(), fenster->Grafik()->Yrot()), std::pair(270.0, 90.0));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Form21Test, ATermThatDoesNotCompileNeverBecomesF) {
    gTerms.TermF = "x^2";
    ASSERT_TRUE(Oeffnen());
    ui->EditF->setText(QStringLiteral("x^^2"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].rfind("Syntaxfehler: ", 0), 0u);
    EXPECT_TRUE(ui->EditF->hasFocus());
    EXPECT_EQ(gTerms.TermF.str(), "x^2");

    // An empty field is the function 0; 1/x leaves no volume about the x axis,
    // about the y axis one of -3 (x^2 f' = -1).
    ui->EditF->clear();
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text(), QStringLiteral("0,00") + kPiVE);
    Type(ui->EditA, QStringLiteral("-1"));
    Type(ui->EditB, QStringLiteral("2"));
    Type(ui->EditF, QStringLiteral("1/x"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text() + " " + ui->LabelV2->text(), "nicht def. -3,00" + kPiVE);
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(Form21Test, AVolumeCutShortShowsItsTextAndSaysSo) {
    gTerms.TermF = "x";
    gOverlay.GrenzeA = 0;
    gOverlay.GrenzeB = 1;
    ASSERT_TRUE(Oeffnen());
    SteppingClock clock;
    // 9,999 terms a value: far more than a second's work.
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    Type(ui->EditF, QStringLiteral("sin(n*x)/n^2"));
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text() + "|" + ui->LabelV2->text(),
              QStringLiteral("zu viel Rechenaufwand|zu viel Rechenaufwand"));
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0], kBerechnungAbgebrochen);
    // One term: 1/2 - sin(2)/4 and 2 cos 1 - sin 1 by hand.
    gParams.FgSummeBis = 1;
    QTest::mouseClick(ui->BitBtnOk, Qt::LeftButton);
    EXPECT_EQ(ui->LabelV1->text() + " " + ui->LabelV2->text(), "0,27" + kPiVE + " 0,24" + kPiVE);
    EXPECT_EQ(messages.messages().size(), 1u);
}

TEST_F(Form21Test, ClosedSolidsAboutEitherAxis) {
    gTerms.TermF = "x+1";
    gOverlay.GrenzeA = 1;
    gOverlay.GrenzeB = 3;
    ASSERT_TRUE(Oeffnen());
    QTest::mouseClick(ui->CheckBoxGeschlossen, Qt::LeftButton);
    ASSERT_EQ(Netz().xMasche(), 32);
    for (int j = 0; j <= 30; j += 6) {
        EXPECT_EQ(Netz().D3Point(0, j), (TSurfPoint{1, 0, 0}));
        EXPECT_EQ(Netz().D3Point(32, j), (TSurfPoint{3, 0, 0}));
    }
    Waehlen(ui->RadioButtonGrafik2);
    EXPECT_EQ(Netz().D3Point(0, 5), (TSurfPoint{0, 0, 2}));
    EXPECT_EQ(Netz().D3Point(32, 5), (TSurfPoint{0, 0, 4}));
    EXPECT_EQ(fenster->Grafik()->z1(), 2);
    QTest::mouseClick(ui->CheckBoxGeschlossen, Qt::LeftButton);
    EXPECT_EQ(Netz().xMasche(), 30);
}

class ZaehlenderHost : public GraphHost {
public:
    void RedrawMainGraph(bool) override { ++neuzeichnungen; }
    int neuzeichnungen = 0;
};

TEST_F(Form21Test, AnimationTurnsLeftAndClosingRedrawsTheGraph) {
    ZaehlenderHost host;
    GraphHost* vorher = SetGraphHost(&host);
    gTerms.TermF = "x";
    ASSERT_TRUE(Oeffnen());
    const Ui::TRotation3D* r = ui->Rotation->Controls();
    r->Switch->SetChecked(true);
    EXPECT_TRUE(r->SpeedButtonLinks->isChecked() && !r->SpeedButtonRechts->isChecked());
    EXPECT_TRUE(QTest::qWaitFor([&] { return fenster->Grafik()->Zrot() >= 272; }, 5000));
    QTest::mouseClick(ui->BitBtnBeenden, Qt::LeftButton);
    EXPECT_TRUE(Geschlossen());
    EXPECT_EQ(host.neuzeichnungen, 1);
    SetGraphHost(vorher);
}

}  // namespace
}  // namespace kalvo
