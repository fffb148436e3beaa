// What other programs get: the picture and the table on the clipboard, and
// the document for Word with its text and pictures.

#include "clipboard_picture.h"
#include "metafile_recorder.h"
#include "scenes.h"
#include "work_budget.h"
#include "word_document.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>

namespace kalvo::test {
namespace {

TEST(ClipboardPicture, OffersEmfWmfAndPngOfThePicture) {
    MetafileRecorder picture(120, 80);
    Paint(picture, [&](QPainter& p) {
        p.setBrush(Qt::blue);
        p.drawEllipse(10, 10, 100, 60);
    });
    ASSERT_TRUE(CopyPictureToClipboard(picture));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(kEmfMimeType).toStdString(), picture.toEmf());
    EXPECT_EQ(data->data(kWmfMimeType).toStdString(), picture.toWmf());
    QImage png;
    ASSERT_TRUE(png.loadFromData(data->data(kPngMimeType), "PNG"));
    EXPECT_EQ(png.size(), QSize(120, 80));
    EXPECT_EQ(png.pixelColor(60, 40), QColor(Qt::blue));
    EXPECT_TRUE(data->hasImage());
}

// Its raster copy takes seconds for a picture of millions of points: a copy
// the user cancels on the way leaves the clipboard as it was.
TEST(ClipboardPicture, ACancelledCopyLeavesTheClipboardAsItWas) {
    MetafileRecorder picture(120, 80);
    Paint(picture, [&](QPainter& p) { p.drawLine(0, 0, 100, 60); });
    QGuiApplication::clipboard()->setText(QStringLiteral("alt"));
    {
        CancellableWork work("Die Grafik wird f\u00FCr die Zwischenablage aufgezeichnet");
        work.Cancel();
        EXPECT_FALSE(CopyPictureToClipboard(picture));
    }
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("alt"));
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasFormat(kEmfMimeType));
}

TEST(ClipboardPicture, TablesAreTabSeparatedWithCrLfAfterEveryLine) {
    const QString text = TableClipboardText("Wertetabelle:  f(x) = x^2",
                                            {{"    x", "   f(x)"}, {" -1,0", "  1,0"}, {"  0,5", " nicht def."}});
    EXPECT_EQ(text, "Wertetabelle:  f(x) = x^2\r\n\r\n    x\t   f(x)\r\n -1,0\t  1,0\r\n  0,5\t nicht def.\r\n");
    EXPECT_EQ(text.count("\r\n"), 5);
    ASSERT_TRUE(CopyTextToClipboard(text));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), text);
}

std::string ReadAll(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

// The bytes of the first picture group of an RTF text, and its control words.
std::string PictureBytes(const std::string& rtf, std::string* controls) {
    const size_t start = rtf.find("{\\pict");
    if (start == std::string::npos) return {};
    const size_t data = rtf.find('\n', start);
    *controls = rtf.substr(start, data - start);
    std::string bytes;
    for (size_t i = data; i < rtf.size() && rtf[i] != '}'; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(rtf[i]))) continue;
        bytes.push_back(static_cast<char>(std::stoi(rtf.substr(i++, 2), nullptr, 16)));
    }
    return bytes;
}

class WordDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        MetafileRecorder picture(300, 200);
        Paint(picture, [&](QPainter& p) { p.drawLine(0, 0, 300, 200); });
        wmf = picture.toWmf();
        emf = picture.toEmf();
        ASSERT_TRUE(picture.save(dir.filePath("temp.wmf").toStdString(), MetafileFormat::Wmf).ok);
        ASSERT_TRUE(picture.save(dir.filePath("temp.emf").toStdString(), MetafileFormat::Emf).ok);
    }
    QTemporaryDir dir;
    std::string wmf, emf;
    std::vector<std::string> opened;
    WordDocument::Opener opener = [this](const std::string& path) {
        opened.push_back(path);
        return true;
    };
};

TEST_F(WordDocumentTest, ReportDocumentHoldsPageFontsLinesInOrderAndThePicture) {
    WordDocument doc(opener);
    doc.newDocument();
    doc.setPageSetup({56, 56, 56, 56, 36, 36, 596, 842});  // margins, header and footer, A4 in points
    doc.setFontName("Courier New");
    doc.setFontSize(8);
    const QStringList lines = {"Regressionsmodell: f(x)=m x + c", "------", "Größe {a} \\ b\tc", "r² = 0,99 π"};
    for (const QString& line : lines) {
        doc.typeText(line);
        doc.typeParagraph();
    }
    doc.setFontName("Times New Roman");
    doc.typeParagraph();
    doc.setFontSize(12);
    ASSERT_TRUE(doc.insertPicture(dir.filePath("temp.wmf").toStdString(), 300, 300).ok);

    const DocumentResult shown = doc.makeVisible(dir.path().toStdString());
    ASSERT_TRUE(shown.ok) << shown.error;
    EXPECT_EQ(opened, std::vector<std::string>{shown.path});
    EXPECT_EQ(QFileInfo(QString::fromStdString(shown.path)).fileName(), "Dokument1.rtf");
    const std::string rtf = ReadAll(shown.path);
    EXPECT_EQ(rtf, doc.rtf());

    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_EQ(std::count(rtf.begin(), rtf.end(), '{'), std::count(rtf.begin(), rtf.end(), '}'));
    EXPECT_NE(rtf.find("\\paperw11920\\paperh16840\\margl1120\\margr1120\\margt1120\\margb1120\\headery720\\footery720"),
              std::string::npos);
    EXPECT_NE(rtf.find("{\\f1\\fnil\\fcharset0 Courier New;}"), std::string::npos);
    const char* escaped[] = {"\\f1\\fs16 Regressionsmodell: f(x)=m x + c\\par", "------\\par",
                             "Gr\\u246?\\u223?e \\{a\\} \\\\ b\\tab c\\par", "r\\u178? = 0,99 \\u960?\\par"};
    size_t at = 0;
    for (const char* e : escaped) {
        const size_t found = rtf.find(e, at);
        ASSERT_NE(found, std::string::npos) << e;
        at = found;
    }
    std::string controls;
    EXPECT_EQ(PictureBytes(rtf, &controls), wmf.substr(22));  // without the placeable header
    EXPECT_GT(rtf.find("{\\pict"), at);
    EXPECT_EQ(controls, "{\\pict\\wmetafile8\\picw7938\\pich5292\\picwgoal6000\\pichgoal6000");
}

TEST_F(WordDocumentTest, EmfPicturesAreEmbeddedWholeAndOtherFilesRefused) {
    WordDocument doc(opener);
    ASSERT_TRUE(doc.insertPicture(dir.filePath("temp.emf").toStdString(), 0, 0).ok);
    std::string controls;
    EXPECT_EQ(PictureBytes(doc.rtf(), &controls), emf);
    // Without a size the picture keeps its own: 300 x 200 pixels at 96 per inch.
    EXPECT_EQ(controls, "{\\pict\\emfblip\\picw7938\\pich5292\\picwgoal4500\\pichgoal3000");

    // Pictures that are no metafiles are refused.
    WordDocument other(opener);
    const WriteResult missing = other.insertPicture(dir.filePath("fehlt.wmf").toStdString(), 300, 300);
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("kann nicht gelesen werden"), std::string::npos);
    const std::string text = dir.filePath("text.wmf").toStdString();
    std::ofstream(text) << "Das ist kein Bild, auch wenn es so heißt.";
    const WriteResult wrong = other.insertPicture(text, 300, 300);
    EXPECT_FALSE(wrong.ok);
    EXPECT_NE(wrong.error.find("enthält kein WMF- oder EMF-Bild"), std::string::npos);
    EXPECT_EQ(other.rtf().find("\\pict"), std::string::npos);
}

TEST_F(WordDocumentTest, FailuresReachTheCallerAndEarlierDocumentsStay) {
    WordDocument first(opener);
    first.typeText("eins");
    const DocumentResult one = first.makeVisible(dir.path().toStdString());
    ASSERT_TRUE(one.ok);

    // Nothing opens documents: the program's message, the document is written all the same.
    WordDocument second([](const std::string&) { return false; });
    second.typeText("zwei");
    const DocumentResult two = second.makeVisible(dir.path().toStdString());
    EXPECT_FALSE(two.ok);
    EXPECT_EQ(two.error, std::string(kWordStartFailedMessage) + "\n\nDas Dokument wurde gespeichert:\n" + two.path);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(two.path)).isAbsolute());
    EXPECT_EQ(QFileInfo(QString::fromStdString(two.path)).fileName(), "Dokument2.rtf");
    EXPECT_NE(ReadAll(two.path).find("zwei"), std::string::npos);
    EXPECT_NE(ReadAll(one.path).find("eins"), std::string::npos);

    // A folder that cannot take the document: the temporary folder does.
    WordDocument third(opener);
    const DocumentResult three = third.makeVisible(dir.filePath("fehlt").toStdString());
    EXPECT_TRUE(three.ok);
    EXPECT_EQ(QFileInfo(QString::fromStdString(three.path)).absolutePath(), QDir(QDir::tempPath()).absolutePath());
    QFile::remove(QString::fromStdString(three.path));
}

}  // namespace
}  // namespace kalvo::test
