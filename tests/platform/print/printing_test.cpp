#include "printing.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "canvas_qpainter.h"

namespace kalvo {
namespace {

TEST(Printing, A4CapabilitiesAndTenthMillimetres) {
    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    PreparePrinter(printer);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("page.pdf"));
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    const PrinterCaps caps = QueryPrinterCaps(printer);
    EXPECT_EQ(caps.HorzSize, 190);
    EXPECT_EQ(caps.VertSize, 277);
    EXPECT_NEAR(caps.PixelsPerCmX(), printer.resolution() / 2.54, 1.0);
    EXPECT_GT(caps.PhysicalOffsetX, 0);
    EXPECT_EQ(caps.LogPixelsX, printer.resolution());

    QPainter painter(&printer);
    SetTenthMillimetreMapping(painter, caps);
    // 10 cm in tenths of a millimetre is 1000 units: in device pixels, 10 cm.
    const QPointF p = painter.transform().map(QPointF(1000, 1000));
    EXPECT_NEAR(p.x(), caps.PixelsPerCmX() * 10, 1.0);
    EXPECT_NEAR(p.y(), caps.PixelsPerCmY() * 10, 1.0);
    QPainterCanvas canvas(painter, kTenthMmPerInch);
    CanvasFont font;
    font.name = "Arial";
    font.size = 12;
    canvas.SetFont(font);
    canvas.TextOut(200, 200, "Wertetabelle über 0,1 mm");
    canvas.Flush();
    painter.end();

    QProcess text;
    text.start("pdftotext", {dir.filePath("page.pdf"), "-"});
    if (!text.waitForFinished(20000) || text.exitCode() != 0) FAIL() << "pdftotext did not read the page (tools/install-deps installs it)";
    EXPECT_TRUE(QString::fromUtf8(text.readAllStandardOutput()).contains("Wertetabelle über 0,1 mm"));
}

TEST(Printing, AJobCarriesItsWindowsCaptionOrTheProgramsName) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "Kalvograf"},
        {"  Wertetabelle   erstellen ", "Wertetabelle erstellen"},
        {"Kalvograf   Funktionsflächen", "Kalvograf Funktionsflächen"},
    };
    for (const auto& [caption, job] : cases) {
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        PreparePrinter(printer, QString::fromUtf8(caption));
        EXPECT_EQ(printer.docName(), QString::fromUtf8(job));
        // A PDF printer writes it as the document's title.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath("job.pdf"));
        QPainter painter(&printer);
        painter.drawLine(0, 0, 100, 100);
        painter.end();
        QProcess info;
        info.start("pdfinfo", {dir.filePath("job.pdf")});
        ASSERT_TRUE(info.waitForFinished(20000));
        QString title;
        for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split(QLatin1Char('\n')))
            if (line.startsWith(QStringLiteral("Title:"))) title = line.mid(6).trimmed();
        EXPECT_EQ(title, QString::fromUtf8(job));
    }
}

}  // namespace
}  // namespace kalvo
