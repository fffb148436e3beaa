#include <QClipboard>
#include <QLabel>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QToolButton>

#include "app_test_support.h"
#include "clipboard_picture.h"
#include "curves.h"
#include "graph_export.h"
#include "graphics_export.h"
#include "ui_main_window.h"
#include "user_choices.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

class ExportTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        oldFolder = QDir::currentPath();
        Choices().chooseFile = [this](QWidget*, const FileRequest& r, std::function<void(const FileChoice&)> done) {
            request = r;
            done(answer);
        };
        gDisplay.Koordinatensystem.xAchsentext = "Zeit";
        gTerms.TermF = "x^2";
        form->Redraw(true);
    }
    void TearDown() override {
        LastPictureFilter() = 0;
        QDir::setCurrent(oldFolder);
        AppTest::TearDown();
    }

    // Runs an outside converter; false when it is not installed.
    static bool Convert(const QString& tool, const QStringList& args, int& exitCode) {
        if (QStandardPaths::findExecutable(tool).isEmpty()) return false;
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(60000);
        exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        return true;
    }

    // libwmf finds fonts through a ghostscript font map, which a machine
    // without ghostscript lacks: the Liberation fonts stand in.
    QString FontMap() {
        const QString path = dir.filePath(QStringLiteral("fontmap"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return path;
        const QString liberation = QStringLiteral("/usr/share/fonts/truetype/liberation2/Liberation");
        for (const char* face : {"Times-Roman:Serif-Regular", "Helvetica:Sans-Regular", "Courier:Mono-Regular",
                                 "Courier-Bold:Mono-Bold", "Symbol:Sans-Regular"}) {
            const QStringList parts = QString::fromLatin1(face).split(QLatin1Char(':'));
            file.write(QStringLiteral("/%1 (%2%3.ttf) ;\n").arg(parts[0], liberation, parts[1]).toUtf8());
        }
        return path;
    }

    QString oldFolder;
    FileRequest request;
    FileChoice answer;
};

TEST_F(ExportTest, PictureFilesAreNamedByTheFilterAndOpenInOutsideReaders) {
    QDir(dir.path()).mkdir(QStringLiteral("bilder"));
    const QString folder = dir.filePath(QStringLiteral("bilder"));
    // Chosen name, filter, file written, its reader.
    const std::tuple<const char*, int, const char*, QString> cases[] = {{"bild.neu", 1, "bild.emf", "emf2svg-conv"},
                                                                        {"bild", 0, "bild.wmf", "wmf2svg"}};
    for (const auto& [chosen, filter, written, tool] : cases) {
        answer = {true, folder + QLatin1Char('/') + QLatin1String(chosen), filter};
        QTest::mouseClick(form->Controls()->ButtonWmfSpeichern, Qt::LeftButton);
        EXPECT_EQ(request.title, QStringLiteral("Erstellte Grafik speichern"));
        EXPECT_EQ(request.filters, PictureFilters());
        const QString file = QDir(folder).filePath(QLatin1String(written));
        ASSERT_TRUE(QFile::exists(file)) << written;
        EXPECT_EQ(QDir::currentPath(), folder);
        ExpectScreenOutput();

        const QString svg = file + QStringLiteral(".svg");
        int exitCode = 0;
        const QStringList args = filter == 0 ? QStringList{"--wmf-gs-fontmap=" + FontMap(), "-o", svg, file}
                                             : QStringList{"-i", file, "-o", svg};
        ASSERT_TRUE(Convert(tool, args, exitCode)) << tool.toStdString() << " is missing";
        EXPECT_EQ(exitCode, 0) << tool.toStdString();
        // The axis title, whole or (libwmf) letter by letter.
        const QString text = QString::fromUtf8(FileBytes(svg));
        EXPECT_TRUE(text.contains(QStringLiteral("Zeit")) || text.contains(QStringLiteral(">Z</text>"))) << written;
        // Labels of 10 points, three times as large and a tenth more: 33 points, 44 pixels.
        EXPECT_TRUE(filter == 0 || text.contains(QStringLiteral("font-size=\"44.0000\"")));
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ExportTest, TheDottedGridComesOutAsDotsInOutsideReaders) {
    // Office programs draw a dotted pen three pixels wide solid or dashed;
    // the grid goes in as its dots, three pixels square, nine apart.
    gDisplay.Koordinatensystem.Gitter = 1;
    gDisplay.Koordinatensystem.Gitterfarbe = 0x808080;
    gDisplay.Aufloesung = 3;
    const QString file = dir.filePath(QStringLiteral("gitter.emf"));
    answer = {true, file, 1};
    QTest::mouseClick(form->Controls()->ButtonWmfSpeichern, Qt::LeftButton);
    ASSERT_TRUE(QFile::exists(file));
    const QString svg = file + QStringLiteral(".svg");
    int exitCode = 0;
    ASSERT_TRUE(Convert(QStringLiteral("emf2svg-conv"), {QStringLiteral("-i"), file, QStringLiteral("-o"), svg}, exitCode));
    EXPECT_EQ(exitCode, 0);
    const QString text = QString::fromUtf8(FileBytes(svg));
    EXPECT_FALSE(text.contains(QStringLiteral("dasharray")));
    const QRegularExpression dot(QStringLiteral("M (\\d+)\\.0000,(\\d+)\\.0000 L \\1\\.0000,(\\d+)\\.0000 L (\\d+)\\.0000,\\3\\.0000 L \\4\\.0000,\\2\\.0000 Z"));
    int dots = 0;
    for (auto it = dot.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        EXPECT_EQ(m.captured(1).toInt() - m.captured(4).toInt(), 3);
        EXPECT_EQ(m.captured(2).toInt() - m.captured(3).toInt(), 3);
        ++dots;
    }
    EXPECT_GT(dots, 1000);
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(ExportTest, ThePictureIsTheResolutionTimesTheScreenGraph) {
    for (int aufloesung : {2, 3, 4}) {
        gDisplay.Aufloesung = aufloesung;
        const auto picture = RecordGraphPicture();
        ASSERT_TRUE(picture);
        EXPECT_EQ(QSize(picture->width(), picture->height()),
                  QSize((gOutput.PlotWidthPx + 1) * aufloesung, (gOutput.PlotHeightPx + 1) * aufloesung));
    }
    ExpectScreenOutput();
}

TEST_F(ExportTest, TheClipboardGetsTheMetafilesAndAPicture) {
    QTest::mouseClick(form->Controls()->ButtonWmfZwischenablage, Qt::LeftButton);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    for (const char* type : {kEmfMimeType, kWmfMimeType, kPngMimeType})
        EXPECT_FALSE(data->data(QString::fromLatin1(type)).isEmpty()) << type;
    // Its labels are written in the opaque background mode: EMR_SETBKMODE
    // (18) and META_SETBKMODE (0x0102) with OPAQUE (2).
    const QByteArray emfOpaque("\x12\0\0\0\x0c\0\0\0\x02\0\0\0", 12);
    const QByteArray wmfOpaque("\x04\0\0\0\x02\x01\x02\0", 8);
    EXPECT_TRUE(data->data(QString::fromLatin1(kEmfMimeType)).contains(emfOpaque));
    EXPECT_TRUE(data->data(QString::fromLatin1(kWmfMimeType)).contains(wmfOpaque));
    // A picture file keeps the transparent text background.
    const QString file = dir.filePath(QStringLiteral("bild.emf"));
    ASSERT_TRUE(SaveGraphPicture(file.toStdString()).ok);
    EXPECT_FALSE(FileBytes(file).contains(emfOpaque));
    ExpectScreenOutput();
}

TEST_F(ExportTest, TheWordProcessorDocumentHoldsThePictureOrSaysItCannotStart) {
    QDir::setCurrent(dir.path());
    // The word processor opens, the last picture filter, the picture in the document.
    for (const auto& [opens, lastFilter, pictureKind] :
         {std::tuple{false, 0, "\\wmetafile8"}, std::tuple{true, 1, "\\emfblip"}}) {
        messages.clear();
        LastPictureFilter() = lastFilter;
        std::string opened;
        Choices().openDocument = [&, opens = opens](const std::string& path) {
            opened = path;
            return opens;
        };
        QTest::mouseClick(form->Controls()->ButtonWorddokument, Qt::LeftButton);
        EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("temp.wmf"))));
        if (!opens) {
            ASSERT_EQ(messages.messages().size(), 1u);
            // Where the document is, so that the user can open it himself.
            EXPECT_EQ(messages.messages()[0], "Microsoft Word kann nicht gestartet werden!\n\n"
                                              "Das Dokument wurde gespeichert:\n" +
                                                  QDir(dir.path()).filePath(QStringLiteral("Dokument1.rtf")).toStdString());
            EXPECT_TRUE(QFile::exists(QString::fromStdString(opened)));
            continue;
        }
        EXPECT_TRUE(messages.messages().empty());
        EXPECT_TRUE(FileBytes(QString::fromStdString(opened)).contains(pictureKind));
    }
    ExpectScreenOutput();
}

// A picture the work budget cut says so wherever it goes: in the status
// line until a whole one follows, and in a message for a file and the
// clipboard; a whole picture says nothing.
TEST_F(ExportTest, ACutPictureSaysSoOnScreenInFilesAndOnTheClipboard) {
    QLabel* status = form->Controls()->LabelUnvollstaendig;
    const QString file = dir.filePath(QStringLiteral("bild.wmf"));
    QDir::setCurrent(dir.path());
    Choices().openDocument = [](const std::string&) { return true; };
    auto exported = [&] {
        messages.clear();
        EXPECT_TRUE(SaveGraphPicture(file.toStdString()).ok);
        QTest::mouseClick(form->Controls()->ButtonWmfZwischenablage, Qt::LeftButton);
        QTest::mouseClick(form->Controls()->ButtonWorddokument, Qt::LeftButton);
        std::string said;
        for (const std::string& m : messages.messages()) said += m + "|";
        return said;
    };
    EXPECT_FALSE(status->isVisible());
    EXPECT_EQ(exported(), "");
    {
        SteppingClock clock(1'000'000'000);  // a second passes at every look
        gTerms.TermF = "sin(n*x)/n^2";
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = 9999;
        form->Redraw(true);
        EXPECT_TRUE(status->isVisible());
        EXPECT_EQ(status->text().toStdString(), CutPictureText("gezeichnet"));
        EXPECT_EQ(exported(), CutPictureText("gespeichert") + "|" + CutPictureText("in die Zwischenablage gelegt") + "|" +
                                  CutPictureText("in das Dokument gelegt") + "|");
    }
    gTerms.TermF = "x^2";
    form->Redraw(true);
    EXPECT_FALSE(status->isVisible());
    ExpectScreenOutput();
}

// A picture that lasts shows its progress with "Abbrechen": that writes no
// file and keeps an old one byte for byte, leaves the clipboard as it was
// and writes no document; each says so.
TEST_F(ExportTest, ACancelledPictureWritesNothingAndSaysSo) {
    QDir::setCurrent(dir.path());
    const QString old = dir.filePath(QStringLiteral("bild.wmf"));
    {
        QFile f(old);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("altes Bild");
    }
    QGuiApplication::clipboard()->setText(QStringLiteral("alter Inhalt"));
    bool opened = false;
    Choices().openDocument = [&](const std::string&) { return opened = true; };
    SteppingClock clock;  // 10 milliseconds at every look
    gTerms.TermF = "sin(n*x)/n^2";
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    form->Redraw(true);
    const struct {
        QAbstractButton* button;
        int filter;
        const char* file;
        const char* label;
        const char* said;
    } cases[] = {
        {form->Controls()->ButtonWmfSpeichern, 0, "bild.wmf", "Die Grafik wird gespeichert \u2026", kSpeichernAbgebrochen},
        {form->Controls()->ButtonWmfSpeichern, 1, "bild.emf", "Die Grafik wird gespeichert \u2026", kSpeichernAbgebrochen},
        {form->Controls()->ButtonWmfZwischenablage, 0, "", "Die Grafik wird f\u00FCr die Zwischenablage aufgezeichnet \u2026",
         kZwischenablageAbgebrochen},
        {form->Controls()->ButtonWorddokument, 0, "", "Das Dokument wird erstellt \u2026", kDokumentAbgebrochen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        messages.clear();
        answer = {true, dir.filePath(QString::fromUtf8(c.file)), c.filter};
        PressAbbrechen press;
        QTest::mouseClick(c.button, Qt::LeftButton);
        Settle();
        ASSERT_TRUE(press.pressed);
        EXPECT_EQ(press.label, QString::fromUtf8(c.label));
        EXPECT_EQ(messages.messages(), std::vector<std::string>{c.said});
    }
    EXPECT_EQ(FileBytes(old), QByteArray("altes Bild"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("bild.wmf")});
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("alter Inhalt"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(QString::fromLatin1(kEmfMimeType)));
    EXPECT_FALSE(opened);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    ExpectScreenOutput();
}

}  // namespace
}  // namespace kalvo
