#include <QDesktopServices>
#include <QFontDatabase>
#include <QFontDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QUrl>

#include "app_test_support.h"
#include "coordinate_dialog.h"
#include "fullscreen_window.h"
#include "info_window.h"
#include "ini_file.h"
#include "options_dialog.h"
#include "ui_coordinate_dialog.h"
#include "ui_fullscreen_window.h"
#include "ui_info_window.h"
#include "ui_main_window.h"
#include "ui_options_dialog.h"

namespace kalvo {

// Takes the addresses the info window hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QString> urls;
public slots:
    void open(const QUrl& url) { urls.push_back(url.toString()); }
};

namespace {

class SettingsWindowsTest : public AppTest {
protected:
    QPointer<TForm5> Coordinates() { return OpenBy<TForm5>(form->Controls()->ButtonKoordinatensystem); }
    QPointer<Tform8> Options() { return OpenBy<Tform8>(form->Controls()->ButtonOptionen); }
    static IniFile SettingsFile(const QTemporaryDir& dir) {
        IniFile ini;
        EXPECT_TRUE(ini.Load(dir.filePath(QStringLiteral("kalvo.INI")).toStdString()));
        return ini;
    }

    const KoordinatensystemEinstellung& K() const { return gDisplay.Koordinatensystem; }
};

// Scaling of x and y, grid, layout and labels of the coordinate system.
struct Layout {
    int xS, yS, gitter, art, beschriftung;
    friend bool operator==(const Layout&, const Layout&) = default;
};

TEST_F(SettingsWindowsTest, ScalingGridLayoutAndLabelButtonsKeepTheLayoutConsistent) {
    enum Press { XLog, YLog, XLinear, YPi, GitterKreuze, GitterLinien, Art0, Art1, Beschriftung0, Beschriftung2 };
    const std::tuple<Layout, Press, Layout> cases[] = {
        {{0, 0, 0, 0, 0}, YLog, {0, 1, 1, 1, 1}},          // crosses become lines, margins and labels follow
        {{0, 0, 3, 0, 2}, XLog, {1, 0, 3, 1, 2}},          // no labels stay no labels
        {{1, 0, 1, 1, 1}, GitterKreuze, {1, 0, 1, 1, 1}},  // no crosses on a logarithmic axis
        {{0, 2, 2, 0, 0}, GitterKreuze, {0, 2, 0, 0, 0}},
        {{0, 1, 1, 1, 1}, Art0, {0, 1, 1, 1, 1}},          // a logarithmic axis keeps its margins
        {{1, 0, 2, 1, 1}, XLinear, {0, 0, 2, 1, 1}},
        {{0, 0, 2, 1, 1}, Art0, {0, 0, 2, 0, 1}},
        {{0, 0, 2, 0, 0}, Art1, {0, 0, 2, 1, 1}},
        {{0, 0, 2, 1, 1}, Beschriftung0, {0, 0, 2, 1, 1}},  // margins need labels
        {{0, 0, 2, 0, 1}, Beschriftung0, {0, 0, 2, 0, 0}},
        {{0, 1, 1, 1, 1}, Beschriftung2, {0, 1, 1, 1, 2}},
        {{0, 0, 2, 0, 1}, YPi, {0, 2, 2, 0, 1}},
        {{0, 0, 0, 0, 1}, GitterLinien, {0, 0, 3, 0, 1}},
    };
    int n = 0;
    for (const auto& [before, press, after] : cases) {
        SCOPED_TRACE(n++);
        auto& k = gDisplay.Koordinatensystem;
        k.xSkalierung = uint8_t(before.xS), k.ySkalierung = uint8_t(before.yS), k.Gitter = uint8_t(before.gitter);
        k.Art = uint8_t(before.art), k.Beschriftung = uint8_t(before.beschriftung);
        QPointer<TForm5> d = Coordinates();
        ASSERT_TRUE(d);
        QAbstractButton* const buttons[] = {d->SkalierungButton(false, 1), d->SkalierungButton(true, 1),
                                            d->SkalierungButton(false, 0), d->SkalierungButton(true, 2),
                                            d->GitterButton(0),           d->GitterButton(3),
                                            d->ArtButton(0),              d->ArtButton(1),
                                            d->BeschriftungButton(0),     d->BeschriftungButton(2)};
        QTest::mouseClick(buttons[press], Qt::LeftButton);
        const Layout got{k.xSkalierung, k.ySkalierung, k.Gitter, k.Art, k.Beschriftung};
        EXPECT_EQ(got, after);
        // The pressed buttons are the stored values.
        for (QAbstractButton* b : {d->SkalierungButton(false, got.xS), d->SkalierungButton(true, got.yS),
                                   d->GitterButton(got.gitter), d->ArtButton(got.art),
                                   d->BeschriftungButton(got.beschriftung)})
            EXPECT_TRUE(b->isChecked()) << b->objectName().toStdString();
        d->reject();
        Settle();
    }
}

TEST_F(SettingsWindowsTest, WindowFieldsTakeConstantTermsAndOkRepairsAndDrawsTheWindow) {
    QPointer<TForm5> d = Coordinates();
    ASSERT_TRUE(d);
    Ui::TForm5* ui = d->Controls();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Koordinatensystem"));
    EXPECT_TRUE(ui->Edit1->hasFocus());
    EXPECT_EQ(ui->Edit1->selectedText(), ui->Edit1->text());
    Type(ui->Edit2, QStringLiteral("2*pi"));
    EXPECT_NEAR(gView.BereichX2, 6.2831853, 1e-6);
    EXPECT_EQ(ui->Edit2->text().trimmed(), QStringLiteral("6,28"));
    Type(ui->Edit3, QStringLiteral("ln(0)"));  // undefined: the value stays
    EXPECT_EQ(gView.BereichY1, -8);
    EXPECT_EQ(ui->Edit3->text().trimmed(), QStringLiteral("-8,00"));
    EXPECT_TRUE(messages.messages().empty());
    Type(ui->Edit4, QStringLiteral("3+"));
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(ui->Edit4->hasFocus());
    Type(ui->Edit4, QStringLiteral("-6"));
    Type(ui->Edit5, QString(90, QLatin1Char('t')), false);
    EXPECT_EQ(ui->Edit5->text().size(), 80);

    // OK takes the focused field too, puts the window in order and draws it.
    Type(ui->Edit3, QStringLiteral("2"), false);
    Click(ui->BitBtn1);
    ASSERT_TRUE(d.isNull());
    EXPECT_EQ(std::pair(gView.BereichY1, gView.BereichY2), std::pair(-6.0, 2.0));
    EXPECT_EQ(K().xAchsentext.size(), 80u);
    double px = 0, py = 0;
    WorldToPixel(6.2831853, -6, px, py);
    EXPECT_NEAR(px, gOutput.PlotRight, 0.01);
    EXPECT_NEAR(py, gOutput.PlotBottom, 0.01);
}

TEST_F(SettingsWindowsTest, GridColoursAndWidthsAreStoredAtOnceAndEscKeepsThemForTheNextRedraw) {
    gDisplay.Koordinatensystem.Gitter = 2;
    form->Redraw(true);
    const QImage before = form->PaintBox1()->Picture();
    QPointer<TForm5> d = Coordinates();
    ASSERT_TRUE(d);
    Ui::TForm5* ui = d->Controls();
    EXPECT_EQ(ui->ColorButton1->SelectionColor(), Color(K().Gitterfarbe));
    ui->ColorButton1->SetSelectionColor(0x00FF00);
    ui->ColorButton2->SetSelectionColor(0x0000FF);
    // Grid and axes: colours stored and shown by the width boxes, widths stored.
    EXPECT_EQ(std::tuple(K().Gitterfarbe, K().Achsenfarbe), std::tuple(0x00FF00, 0x0000FF));
    EXPECT_EQ(std::tuple(ui->LineWidthComboBox2->LineColor(), ui->LineWidthComboBox1->LineColor()),
              std::tuple(0x00FF00u, 0x0000FFu));
    emit ui->LineWidthComboBox2->activated(3);
    emit ui->LineWidthComboBox1->activated(2);
    EXPECT_EQ(std::pair(K().Gitterdicke, K().Achsendicke), std::pair(3, 2));
    QTest::mouseClick(d->GitterButton(3), Qt::LeftButton);
    QTest::keyClick(ui->Edit1, Qt::Key_Escape);
    Settle();
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(K().Gitter, 3);
    EXPECT_EQ(K().Achsenfarbe, 0x0000FF);
    EXPECT_EQ(form->PaintBox1()->Picture(), before);
    form->Redraw(true);
    EXPECT_NE(form->PaintBox1()->Picture(), before);
}

TEST_F(SettingsWindowsTest, FontDialogAnswerIsClampedAndShownOnTheFontButtonUntilVorgabe) {
    QPointer<TForm5> d = Coordinates();
    ASSERT_TRUE(d);
    QTest::mouseClick(d->Controls()->SpeedButtonSchrift, Qt::LeftButton);
    QPointer<QFontDialog> fd = d->FontDialog();
    ASSERT_TRUE(fd);
    EXPECT_EQ(fd->currentFont().pointSize(), gDisplay.Schriftgroesse);
    fd->reject();
    Settle();
    // Family, size, bold, size stored.
    const std::tuple<const char*, int, bool, int> cases[] = {
        {"Liberation Sans", 20, true, 14}, {"Liberation Serif", 6, false, 8}, {"Courier New", 11, false, 11}};
    for (const auto& [family, size, bold, stored] : cases) {
        QFont f(QString::fromUtf8(family), size);
        f.setBold(bold);
        d->SchriftGewaehlt(f);
        EXPECT_EQ(std::tuple(gDisplay.Schriftgroesse, gDisplay.Schriftname, gDisplay.SchriftFett),
                  std::tuple(stored, family, bold));
        const QToolButton* b = d->Controls()->SpeedButtonSchrift;
        EXPECT_EQ(b->text(), QString::fromUtf8(family));
        EXPECT_EQ(std::pair(b->font().pointSize(), b->font().bold()), std::pair(stored, bold));
    }
    // A font sized in pixels keeps the size.
    QFont pixels(QStringLiteral("Liberation Mono"));
    pixels.setPixelSize(30);
    d->SchriftGewaehlt(pixels);
    EXPECT_EQ(gDisplay.Schriftgroesse, 11);

    // "Vorgabe" sets the defaults, the font's among them, and shows them.
    auto& k = gDisplay.Koordinatensystem;
    k = KoordinatensystemEinstellung{1, 2, 0, 1, 0, "a", "b", 0xFF, 3, 0xFF00, 2};
    gView.BereichX1 = 1, gOutput.SamplesPerPixel = 3;
    gDisplay.Schriftgroesse = 9, gDisplay.SchriftFett = true, gDisplay.HintergrundBildschirm = 0x123456;
    gDisplay.Aufloesung = 2;
    QTest::mouseClick(d->Controls()->BitBtn3, Qt::LeftButton);
    EXPECT_EQ(k, (KoordinatensystemEinstellung{0, 0, 1, 0, 2, "x", "y", 0x808080, 0, 0, 0}));
    EXPECT_EQ(gView.BereichX1, -8);
    EXPECT_EQ(std::tuple(gDisplay.Schriftgroesse, gDisplay.Schriftname, gDisplay.SchriftFett),
              std::tuple(12, "Courier New", false));
    EXPECT_EQ(std::tuple(gDisplay.HintergrundBildschirm, gDisplay.Aufloesung), std::tuple(0xFFFFFFu, 3));
    EXPECT_EQ(gOutput.SamplesPerPixel, 1);
    EXPECT_EQ(d->Controls()->Edit1->text().trimmed(), QStringLiteral("-8,00"));
    EXPECT_TRUE(d->GitterButton(2)->isChecked());
    EXPECT_EQ(d->Controls()->ColorButton1->SelectionColor(), 0x808080u);
    EXPECT_EQ(d->Controls()->Edit5->text(), QStringLiteral("x"));
}

TEST_F(SettingsWindowsTest, TheFontDialogOpensOnTheInstalledFamilyAndOnlyAnotherFamilyReplacesTheStoredName) {
    enum Answer { OnlySize, OnlyBold, Family };
    // Stored family, the installed one the dialog opens on (empty: any installed
    // family), the answer, the family stored.
    const std::tuple<const char*, const char*, Answer, const char*> cases[] = {
        {"Courier New", "Liberation Mono", OnlySize, "Courier New"},
        {"Arial", "Liberation Sans", OnlyBold, "Arial"},
        {"Comic Sans MS", "", OnlySize, "Comic Sans MS"},
        {"Liberation Serif", "Liberation Serif", OnlySize, "Liberation Serif"},
        {"Courier New", "Liberation Mono", Family, "Liberation Serif"},
    };
    for (const auto& [stored, offered, answer, kept] : cases) {
        SCOPED_TRACE(std::string(stored) + " " + std::to_string(answer));
        gDisplay.Schriftname = stored, gDisplay.Schriftgroesse = 10, gDisplay.SchriftFett = false;
        QPointer<TForm5> d = Coordinates();
        ASSERT_TRUE(d);
        QTest::mouseClick(d->Controls()->SpeedButtonSchrift, Qt::LeftButton);
        QPointer<QFontDialog> fd = d->FontDialog();
        ASSERT_TRUE(fd);
        QFont f = fd->currentFont();
        EXPECT_TRUE(QFontDatabase::families().contains(f.family())) << f.family().toStdString();
        if (*offered) {
            EXPECT_EQ(f.family().toStdString(), offered);
        }
        EXPECT_EQ(f.pointSize(), 10);
        if (answer == OnlySize) f.setPointSize(13);
        if (answer == OnlyBold) f.setStyleName(QStringLiteral("Bold"));
        if (answer == Family) f.setFamily(QStringLiteral("Liberation Serif"));
        fd->setCurrentFont(f);
        fd->accept();
        Settle();
        EXPECT_EQ(std::tuple(gDisplay.Schriftname, gDisplay.Schriftgroesse, gDisplay.SchriftFett),
                  std::tuple(kept, answer == OnlySize ? 13 : 10, answer == OnlyBold));
        EXPECT_EQ(d->Controls()->SpeedButtonSchrift->text().toStdString(), kept);
        Click(d->Controls()->BitBtn2);
        EXPECT_EQ(SettingsFile(dir).ReadString("Koordinatensystem", "Schriftname", ""), kept);
        d->close();
        Settle();
    }
}

TEST_F(SettingsWindowsTest, SavingWritesTheSettingsFileAndTitlesKeepTheirFullStops) {
    QPointer<TForm5> d = Coordinates();
    ASSERT_TRUE(d);
    Ui::TForm5* ui = d->Controls();
    Type(ui->Edit5, QStringLiteral("Zeit t in s."));
    Type(ui->Edit6, QStringLiteral("v in m/s."), false);
    EXPECT_EQ(ui->Edit6->text(), QStringLiteral("v in m/s."));
    Type(ui->Edit1, QStringLiteral("5"));
    Type(ui->Edit2, QStringLiteral("-2.5"), false);  // a number field takes the comma
    EXPECT_EQ(ui->Edit2->text(), QStringLiteral("-2,5"));
    QTest::mouseClick(d->GitterButton(1), Qt::LeftButton);
    Click(ui->BitBtn2);
    ASSERT_FALSE(d.isNull());
    const IniFile ini = SettingsFile(dir);
    EXPECT_EQ(ini.ReadInteger("Koordinatensystem", "Gitter", -1), 1);
    EXPECT_EQ(ini.ReadFloat("xyBereich", "x1", 0), -2.5);  // in order, as drawn
    EXPECT_EQ(ini.ReadFloat("xyBereich", "x2", 0), 5);
    EXPECT_EQ(ui->Edit1->text().trimmed(), QStringLiteral("-2,50"));
    EXPECT_TRUE(messages.messages().empty());
    d->close();
    form.reset();
    StartClean();
    EXPECT_EQ(K().xAchsentext.str(), "Zeit t in s.");
    EXPECT_EQ(K().yAchsentext.str(), "v in m/s.");
    EXPECT_EQ(gView.BereichX1, -2.5);
}

TEST_F(SettingsWindowsTest, OptionFieldsAreClampedWholeNumbersAndVorgabeKeepsObjectsStoreAndLastSlots) {
    QPointer<Tform8> d = Options();
    ASSERT_TRUE(d);
    Ui::Tform8* ui = d->Controls();
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Optionen"));
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("2"));
    int *places = &gDisplay.Nachkommastellen, *delay = &gDisplay.AnimationDelay;
    const std::tuple<TermEdit*, const char*, int*, int> cases[] = {
        {ui->Edit1, "7", places, 3},  {ui->Edit1, "x", places, 2},       {ui->Edit1, "0", places, 0},
        {ui->Edit1, "-", places, 2},  {ui->Edit2, "5000", delay, 1000},  {ui->Edit2, "-5", delay, 0},
        {ui->Edit2, "abc", delay, 0}, {ui->Edit2, "250", delay, 250},
    };
    for (const auto& [edit, typed, value, stored] : cases) {
        Type(edit, QString::fromUtf8(typed));
        EXPECT_EQ(*value, stored) << typed;
        EXPECT_EQ(edit->text(), QString::number(stored)) << typed;
    }
    EXPECT_TRUE(messages.messages().empty());

    // "Vorgabe" resets the inputs, but not the objects, the store and the last slots.
    gTerms.TermF = "x^2", gTerms.TermH2 = "x", gTerms.Listenterme[4] = "x";
    form->FunktionstermeInListe(1);
    gGrafikobjektliste.Insert(1, tElement{});
    gView.GeradeU1 = 1, gView.GeradeU2 = 2, gView.H3Bis = 3;
    gParams.ParamkurveTSchrittweite = 0.5, gParams.FgSummeBis = 4;
    gTerms.KonstanteB = 5, gTerms.ParameterListe = "2;3", gTerms.ParameterWerte[10] = 2;
    gDisplay.AnimationDelay = 70, gDisplay.Nachkommastellen = 0, gDisplay.Schaubilder[1].zeichnen = false;
    gDisplay.Schaubilder[20] = gDisplay.Schaubilder[33] = Schaubild{0xFF, 3, true};
    gDisplay.Koordinatensystem.Gitterfarbe = 0xFF;
    QTest::mouseClick(ui->BitBtn3, Qt::LeftButton);
    EXPECT_TRUE(gTerms.TermF.empty() && gTerms.TermH2.empty() && gTerms.Listenterme[4].empty());
    EXPECT_EQ(std::tuple(gView.GeradeU1, gView.GeradeU2, gView.H3Bis), std::tuple(0.0, 2.0, 8.0));
    EXPECT_EQ(std::tuple(gParams.ParamkurveTVon, gParams.ParamkurveTSchrittweite, gParams.FgSummeBis),
              std::tuple(-3.14, 0.01, 0));
    EXPECT_EQ(gTerms.KonstanteB, 1);
    EXPECT_EQ(gTerms.ParameterListe.str(), "1;");
    EXPECT_EQ(std::pair(gTerms.ParameterWerte[0], gTerms.ParameterWerte[10]), std::pair(1.0, 1.0));
    EXPECT_EQ(gDisplay.Nachkommastellen, 2);
    EXPECT_EQ(gDisplay.AnimationDelay, 70);
    EXPECT_EQ(gDisplay.Schaubilder[1], (Schaubild{0, 0, true}));
    EXPECT_EQ(gDisplay.Schaubilder[20], (Schaubild{0, 0, false}));
    EXPECT_EQ(gDisplay.Schaubilder[33], (Schaubild{0xFF, 3, true}));
    EXPECT_EQ(gDisplay.Koordinatensystem.Gitterfarbe, 0xCCCCCC);
    EXPECT_EQ(gDisplay.Schriftgroesse, 10);
    EXPECT_EQ(std::pair(gFunktionenspeicher.Count(), gGrafikobjektliste.Count()), std::pair(1, 1)) << "both stay";
    EXPECT_EQ(ui->Edit1->text(), QStringLiteral("2"));
}

TEST_F(SettingsWindowsTest, OptionsTakeTheFrameOnlyFromTheirButtonsColoursAndResolutionAtOnce) {
    enum Close { Zurueck, Esc, Speichern };
    for (Close how : {Zurueck, Esc, Speichern}) {
        gDisplay.Rahmen = false, gDisplay.Aufloesung = 3, gDisplay.Nachkommastellen = 2;
        QPointer<Tform8> d = Options();
        ASSERT_TRUE(d);
        Ui::Tform8* ui = d->Controls();
        EXPECT_TRUE(ui->RadioButtonMittel->isChecked());
        QTest::mouseClick(ui->BitCheckBox1, Qt::LeftButton);
        QTest::mouseClick(ui->RadioButtonHoch, Qt::LeftButton);
        EXPECT_EQ(std::pair(gDisplay.Aufloesung, gDisplay.Rahmen), std::pair(4, false)) << "the resolution at once";
        ui->ColorButton1->SetSelectionColor(0x00FFFF);  // yellow
        EXPECT_EQ(gDisplay.HintergrundBildschirm, 0x00FFFFu);
        EXPECT_EQ(form->PaintBox1()->Picture().pixelColor(5, 5), QColor(255, 255, 0));
        ui->ColorButton2->SetSelectionColor(0x808080);
        EXPECT_EQ(gDisplay.HintergrundDrucker, 0x808080u);
        Type(ui->Edit1, QStringLiteral("1"), false);
        if (how == Esc)
            QTest::keyClick(ui->Edit1, Qt::Key_Escape);
        else
            QTest::mouseClick(how == Zurueck ? ui->BitBtn2 : ui->BitBtn1, Qt::LeftButton);
        Settle();
        EXPECT_TRUE(d.isNull()) << how;
        EXPECT_EQ(gDisplay.Rahmen, how != Esc) << how;
        EXPECT_EQ(gDisplay.Nachkommastellen, how == Esc ? 2 : 1) << how;
    }
    const IniFile ini = SettingsFile(dir);
    EXPECT_TRUE(ini.ReadBool("Grafik", "Rahmen", false));
    EXPECT_EQ(ini.ReadInteger("Eingabe", "Nachkommastellen", -1), 1);
}

TEST_F(SettingsWindowsTest, OptionsOpenInfoWithItsLinksAndTheCoordinateSystemOverThemselves) {
    QPointer<Tform8> d = Options();
    ASSERT_TRUE(d);
    QPointer<TForm10> info = OpenBy<TForm10>(d->Controls()->BitBtn4, d);
    ASSERT_TRUE(info);
    Ui::TForm10* ui = info->Controls();
    EXPECT_EQ(ui->LabelProdukt->text(), QStringLiteral("Kalvograf"));
    EXPECT_EQ(ui->LabelMail->toolTip(), QStringLiteral("E-Mail senden"));
    EXPECT_EQ(ui->LabelWeb->toolTip(), QStringLiteral("Internetverbindung herstellen"));
    EXPECT_EQ(ui->LabelMail->cursor().shape(), Qt::PointingHandCursor);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QTest::mouseClick(ui->LabelMail, Qt::LeftButton);
    QTest::mouseClick(ui->LabelWeb, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(catcher.urls, (std::vector<QString>{QStringLiteral("mailto:kontakt@kalvograf.example"),
                                                  QStringLiteral("https://kalvograf.example")}));
    gDisplay.HintergrundBildschirm = 0x00FF00;  // a change only the redraw shows
    Click(ui->BitBtn1);
    EXPECT_TRUE(info.isNull());
    EXPECT_EQ(form->PaintBox1()->Picture().pixelColor(5, 5), QColor(0, 255, 0));

    Click(d->Controls()->SpeedButton1);
    QPointer<TForm5> k = d->findChild<TForm5*>();
    ASSERT_TRUE(k);
    EXPECT_FALSE(gControl.ErstesZeichnen);
    EXPECT_EQ(k->Controls()->Edit1->text().trimmed(), QStringLiteral("-8,00"));
    k->reject();
    Settle();
    EXPECT_TRUE(d);
}

TEST_F(SettingsWindowsTest, FullScreenFillsItsWindowAndGivesTheMainAreaItsTransformBack) {
    gDisplay.Koordinatensystem.Achsenfarbe = 0x0000FF;
    form->Redraw(true);
    const OutputContext before = gOutput;
    for (bool byClick : {true, false}) {
        QPointer<TForm14> full = OpenBy<TForm14>(form->Controls()->ButtonVollbild);
        ASSERT_TRUE(full);
        EXPECT_EQ(full->windowTitle(), MainWindowCaption());
        TFullScreenArea* area = full->Controls()->PaintBox1;
        full->resize(640, 360);
        Settle();
        ASSERT_EQ(area->size(), QSize(640, 360));
        const QImage& img = area->Picture();
        ASSERT_EQ(img.size(), QSize(640, 360));
        // The axes cross in the middle of the whole window: the picture is not square.
        EXPECT_EQ(img.pixelColor(320, 60), QColor(255, 0, 0));
        EXPECT_EQ(img.pixelColor(100, 180), QColor(255, 0, 0));
        EXPECT_EQ(img.pixelColor(100, 60), QColor(Qt::white));
        EXPECT_EQ(gOutput.AusgabeCanvas, before.AusgabeCanvas);
        if (byClick)
            QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(10, 10));
        else
            QTest::keyClick(full.data(), Qt::Key_Escape);
        Settle();
        EXPECT_TRUE(full.isNull());
        ExpectScreenOutput();
        EXPECT_EQ(std::tuple(gOutput.PlotHeightPx, gOutput.PixelOriginX, gOutput.PixelsPerUnitY),
                  std::tuple(before.PlotHeightPx, before.PixelOriginX, before.PixelsPerUnitY));
        EXPECT_NEAR(PixelToWorldX(gOutput.PlotWidthPx / 2.0), 0, 0.05);
    }
}

}  // namespace
}  // namespace kalvo

#include "settings_windows_test.moc"
