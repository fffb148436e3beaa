// The output targets: the recording at twice the control's size, the files
// as emf2svg reads them, a printed page, the export sequences' way back to
// the screen, and the control that shows the picture.

#include <gtest/gtest.h>

#include <QFile>
#include <QFontDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "grafik3d_canvas.h"
#include "message_sink.h"
#include "metafile_recorder.h"
#include "number_text.h"
#include "printing.h"
#include "space3d_test_support.h"

namespace kalvo {
namespace {

struct Szene {
    TFlaeche f = Funktionsflaeche(12, [](double x, double y) { return std::sin(x) * std::cos(y); });
    Grafik3DEngine& g;
    int zeichnungen = 0;
    explicit Szene(Grafik3DEngine& engine) : g(engine) {
        g.DefiniereWeltkoordinaten(-3, -3, -1, 3, 3, 1);
        g.SetYrot(60);
    }
    void operator()() {
        ++zeichnungen;
        g.Grafik_loeschen(0xFFFFFF);
        g.KoordinatenBox2(1, 0);
        g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0xCCCCCC, 0, 1, true, 3, 3);
        g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
    }
};

TEST(Ausgabe, RecordingIsTwiceTheControl) {
    Grafik3DEngine g;
    g.Groesse(600, 400);
    Szene szene(g);
    szene();
    const QImage bild = g.Bitmap();
    g.DefGrafikAusgabe(tAusgabe::WMF);
    szene();
    ASSERT_NE(g.Metafile(), nullptr);
    const QImage wmf = g.Metafile()->toImage();
    g.DefGrafikAusgabe(tAusgabe::Bildschirm);
    EXPECT_EQ(wmf.size(), QSize(1200, 800));
    // The surface lies where the screen has it, at twice the coordinates.
    int gleich = 0, verglichen = 0;
    for (int y = 20; y < 400; y += 23)
        for (int x = 20; x < 600; x += 29) {
            const QRgb s = bild.pixel(x, y);
            if (s == bild.pixel(x + 1, y) && s == bild.pixel(x, y + 1) && s == bild.pixel(x - 1, y - 1) &&
                qRed(s) != qGreen(s)) {
                ++verglichen;
                gleich += wmf.pixel(2 * x, 2 * y) == s;
            }
        }
    EXPECT_GT(verglichen, 30);
    EXPECT_GT(gleich, verglichen * 9 / 10);
}

TEST(Ausgabe, SequencesReturnToTheScreen) {
    QTemporaryDir dir;
    Grafik3DEngine g;
    g.Groesse(300, 200);
    Szene szene(g);
    std::vector<bool> aufgenommen;
    const auto zeichnen = [&] {
        aufgenommen.push_back(g.RecordMetafile());
        szene();
    };
    const std::string wmf = dir.filePath("bild.wmf").toStdString();
    ASSERT_TRUE(Grafik3DSpeichern(g, wmf, zeichnen));
    EXPECT_EQ(aufgenommen, (std::vector<bool>{true, false}));
    EXPECT_FALSE(g.RecordMetafile());
    EXPECT_EQ(g.FaktorX(), 1);
    QFile datei(QString::fromStdString(wmf));
    ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
    EXPECT_TRUE(datei.read(4).startsWith("\xD7\xCD\xC6\x9A"));  // placeable WMF

    // A failed write says so and leaves the screen as it was.
    MessageRecorder meldungen;
    EXPECT_FALSE(Grafik3DSpeichern(g, dir.filePath("fehlt/bild.emf").toStdString(), zeichnen));
    EXPECT_EQ(meldungen.messages().size(), 1u);
    EXPECT_FALSE(g.RecordMetafile());

    // Without a recording there is nothing to save or copy.
    Grafik3DEngine leer;
    EXPECT_FALSE(leer.WMFDatei(dir.filePath("x.wmf").toStdString()));
    EXPECT_FALSE(leer.WMFclipb());
}

TEST(Ausgabe, FileNames) {
    const struct { const char* gewaehlt; int filter; const char* name; } faelle[] = {
        {"/tmp/a/bild.neu.wmf", 1, "/tmp/a/bild.emf"},
        {"/tmp/a/bild.neu.wmf", 0, "/tmp/a/bild.wmf"},
        {"bild", 0, "bild.wmf"},
        {"/x.y/z", 1, "/x.y/z.emf"},  // a dot in the folder stays
    };
    for (const auto& c : faelle) EXPECT_EQ(Grafik3DDateiname(c.gewaehlt, c.filter), c.name);
}

TEST(Ausgabe, EmfAsOutsideReadersSeeIt) {
    if (QStandardPaths::findExecutable("emf2svg-conv").isEmpty()) FAIL() << "emf2svg-conv is missing: tools/install-deps installs it";
    QTemporaryDir dir;
    Grafik3DEngine g;
    g.Groesse(400, 300);
    Szene szene(g);
    const QString emf = dir.filePath("bild.emf"), svg = dir.filePath("bild.svg");
    ASSERT_TRUE(Grafik3DSpeichern(g, emf.toStdString(), [&] { szene(); }));
    QProcess p;
    p.start("emf2svg-conv", {"-i", emf, "-o", svg});
    ASSERT_TRUE(p.waitForFinished(20000));
    ASSERT_EQ(p.exitCode(), 0);
    QFile f(svg);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    // 144 cells, the box, the axes with heads and the tick marks; the labels.
    EXPECT_GT(text.count("<path"), 144);
    EXPECT_TRUE(text.contains("[CDATA[z]]"));
    EXPECT_TRUE(text.contains("[CDATA[-2]]"));
    // The 10-point font of the screen, doubled like every distance.
    EXPECT_TRUE(text.contains("font-size=\"27")) << text.toStdString().substr(text.indexOf("<text"), 300);
}

TEST(Ausgabe, PrintedPage) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("seite.pdf");
    TGrafik3DCanvas g;
    g.resize(370, 300);
    g.show();
    Szene szene(g);
    double faktor = 0;
    const std::shared_ptr<PrintJob> printer = NewPrintJob();
    ASSERT_TRUE(printer);
    printer->SetPdfOutput(pdf);
    ASSERT_TRUE(Grafik3DDrucken(g, *printer, [&] {
        if (g.Drucken()) faktor = g.FaktorX();
        szene();
    }));
    EXPECT_EQ(szene.zeichnungen, 2);
    EXPECT_FALSE(g.Drucken());
    // 740 screen pixels at 2.5 cm per inch: twice the control's 370.
    const double dpi = printer->Resolution();
    const QPaintDevice& drucker = *printer->Device();
    EXPECT_NEAR(faktor, 2 * (double(drucker.width()) * 10 / drucker.widthMM()) * 2.5 / 96, 0.05 * faktor);
    EXPECT_NEAR(faktor, 2 * dpi / 96 * 2.5 / 2.54, 0.05 * faktor);
    if (QStandardPaths::findExecutable("pdftotext").isEmpty() || QStandardPaths::findExecutable("pdftoppm").isEmpty())
        FAIL() << "poppler-utils are missing: tools/install-deps installs it";
    QProcess p;
    p.start("pdftotext", {pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* s : {"x", "y", "z", "-2", "-1"}) EXPECT_TRUE(text.contains(s)) << s << " in " << text.toStdString();
    // The picture spans most of the 19 cm that 740 pixels make at 2.5 cm per inch.
    p.start("pdftoppm", {"-r", "20", "-png", "-singlefile", pdf, dir.filePath("seite")});
    ASSERT_TRUE(p.waitForFinished(20000));
    const QImage seite(dir.filePath("seite.png"));
    ASSERT_FALSE(seite.isNull());
    int links = seite.width(), rechts = -1;
    for (int y = 0; y < seite.height(); ++y)
        for (int x = 0; x < seite.width(); ++x)
            if (qGray(seite.pixel(x, y)) < 200) links = std::min(links, x), rechts = std::max(rechts, x);
    const double breiteCm = (rechts - links) / 20.0 * 2.54;
    EXPECT_GT(breiteCm, 12);
    EXPECT_LT(breiteCm, 19.5);
}

// The values of a scaled box as the screen, a recording (twice the control,
// twice the font) and a printer of 600 dpi lay them out, in every installed
// family with Latin letters: whole on the picture, none over another text,
// and "-0,8" and "-0,8" of two axes at the front corner not run together.
TEST(Ausgabe, ScaleValuesStandWholeAndClearOfEachOtherOnEveryTarget) {
    struct Ansicht {
        const char* name;
        double x1, y1, z1, x2, y2, z2;
        double entfernung, sehwinkel, yrot, zrot;
    };
    const Ansicht ansichten[] = {
        {"Kugel", -1, -1, -1, 1, 1, 1, 8, 3, 50, 45},
        {"Kugel, gedreht", -1, -1, -1, 1, 1, 1, 8, 3, 75, 160},
        {"Paraboloid", -3, -3, 0, 3, 3, 18, 8, 3, 20, 300},
        {"Körper von der Seite", 0, -2, -2, 4, 2, 2, 44, 0.1, 90, 270},
        {"Körper, gedreht", 0, -2, -2, 4, 2, 2, 44, 0.1, 60, 200},
    };
    struct Ziel {
        const char* name;
        double faktor, dpi;
        int schrift;  // times the point size
    };
    const Ziel ziele[] = {{"Bildschirm", 1, kScreenDpi, 1}, {"Metafile", 2, kScreenDpi, 2}, {"Drucker", 6.6, 600, 1}};
    // The picture of the 3D window at 900 x 600 and larger, with a few
    // values on its axes; a small one has room for one at least.
    const struct {
        int breite, hoehe, werte;
    } groessen[] = {{300, 515, 4}, {686, 710, 4}, {240, 160, 1}};
    std::vector<std::string> familien;
    for (const QString& f : QFontDatabase::families()) {
        const QList<QFontDatabase::WritingSystem> s = QFontDatabase::writingSystems(f);
        if (s.contains(QFontDatabase::Latin) && !s.contains(QFontDatabase::Symbol)) familien.push_back(f.toStdString());
    }
    familien.push_back("Arial");
    auto ueberlappen = [](const CanvasRect& a, const CanvasRect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (const std::string& familie : familien)
        for (const int punkte : {8, 10, 14})
            for (const Ansicht& a : ansichten)
                for (const Ziel& z : ziele)
                    for (const auto& [breite, hoehe, wenigstens] : groessen) {
                        SCOPED_TRACE(familie + " " + std::to_string(punkte) + " pt, " + a.name + ", " + z.name + ", " +
                                     std::to_string(breite) + " x " + std::to_string(hoehe));
                        Grafik3DEngine g;
                        RecordingCanvas rec(z.dpi);
                        g.Groesse(breite, hoehe);
                        g.SetEntfernung(a.entfernung);
                        g.SetSehwinkel(a.sehwinkel);
                        g.SetYrot(a.yrot);
                        g.SetZrot(a.zrot);
                        g.DefiniereWeltkoordinaten(a.x1, a.y1, a.z1, a.x2, a.y2, a.z2);
                        CanvasFont schrift;
                        schrift.name = familie;
                        schrift.size = punkte * z.schrift;
                        g.SetSchrift(schrift);
                        g.SetDrucker(&rec, z.faktor, z.faktor);
                        g.DefGrafikAusgabe(tAusgabe::Drucker);
                        g.AchsenXYZ(1, 0, "x", "y", "z", false, true);
                        std::vector<CanvasRect> zellen;
                        int werte = 0;
                        const CanvasRect bild{0, 0, ToDevice(breite, z.faktor), ToDevice(hoehe, z.faktor)};
                        for (const CanvasRecord& r : rec.Records()) {
                            if (r.kind != CanvasRecord::Kind::Text) continue;
                            const CanvasSize s = MeasureText(r.font, r.text, z.dpi);
                            const CanvasRect c{r.at.x, r.at.y, r.at.x + s.width, r.at.y + s.height};
                            EXPECT_TRUE(c.left >= 0 && c.top >= 0 && c.right <= bild.right && c.bottom <= bild.bottom)
                                << "\"" << r.text << "\" cut off";
                            const bool name = r.text == "x" || r.text == "y" || r.text == "z";
                            // The axis names may meet each other, never a value.
                            for (size_t i = name ? 3 : 0; i < zellen.size(); ++i)
                                EXPECT_FALSE(ueberlappen(c, zellen[i])) << "\"" << r.text << "\" over another text";
                            zellen.push_back(c);
                            werte += !name;
                        }
                        EXPECT_GE(werte, wenigstens);
                    }
}

// A control of any shape prints whole on the page, smaller than 740
// pixels' 19 cm where the page is too low for it.
TEST(Ausgabe, EveryShapePrintsWholeOnThePage) {
    QTemporaryDir dir;
    for (const QSize groesse : {QSize(300, 900), QSize(120, 1100), QSize(1600, 1000)}) {
        SCOPED_TRACE(groesse.width());
        TGrafik3DCanvas g;
        g.resize(groesse);
        g.show();
        Szene szene(g);
        const QString pdf = dir.filePath(QStringLiteral("seite%1.pdf").arg(groesse.width()));
        const std::shared_ptr<PrintJob> printer = NewPrintJob();
        ASSERT_TRUE(printer);
        printer->SetPdfOutput(pdf);
        ASSERT_TRUE(Grafik3DDrucken(g, *printer, [&] { szene(); }));
        QProcess p;
        p.start("pdftoppm", {"-r", "20", "-png", "-singlefile", pdf, pdf});
        ASSERT_TRUE(p.waitForFinished(20000)) << "poppler-utils are missing: tools/install-deps installs them";
        const QImage seite(pdf + ".png");
        QRect tinte;
        for (int y = 0; y < seite.height(); ++y)
            for (int x = 0; x < seite.width(); ++x)
                if (qGray(seite.pixel(x, y)) < 200) tinte |= QRect(x, y, 1, 1);
        // On the page, clear of every edge.
        EXPECT_TRUE(tinte.top() > 0 && tinte.left() > 0 && tinte.bottom() < seite.height() - 1 &&
                    tinte.right() < seite.width() - 1);
    }
}

TEST(Ausgabe, ControlShowsThePicture) {
    TGrafik3DCanvas g;
    int meldungen = 0;
    g.OnResize = [&] { ++meldungen; };
    g.resize(240, 160);
    g.show();
    EXPECT_EQ(meldungen, 1);
    EXPECT_EQ(g.Bitmap().size(), QSize(240, 160));
    g.resize(240, 160);
    EXPECT_EQ(meldungen, 1);
    g.Grafik_loeschen(MakeRGB(10, 200, 30));
    const QImage gezeigt = g.grab().toImage();
    EXPECT_EQ(QColor(gezeigt.pixel(120, 80)), QColor(10, 200, 30));
    // Without a printer canvas the printer target draws nowhere.
    g.DefGrafikAusgabe(tAusgabe::Drucker);
    g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
    g.DefGrafikAusgabe(tAusgabe::Bildschirm);
    EXPECT_EQ(QColor(g.Bitmap().pixel(120, 80)), QColor(10, 200, 30));
}

}  // namespace
}  // namespace kalvo
