#include "report_output.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include "canvas_qpainter.h"
#include "atomic_file.h"
#include "printing.h"
#include "regression_fit.h"

namespace kalvo {

void PrintProtokoll(QPrinter& printer, const QStringList& lines) {
    QPainter painter;
    if (!painter.begin(&printer)) return;
    const PrinterCaps caps = QueryPrinterCaps(printer);
    SetTenthMillimetreMapping(painter, caps);
    {
        QPainterCanvas canvas(painter, kTenthMmPerInch);
        CanvasFont font;
        font.name = "Courier New";
        font.size = 10;  // 35 units of 0.1 mm
        canvas.SetFont(font);
        canvas.SetBrush(0xFFFFFF, BrushStyle::Clear);
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i] == QLatin1String(kProtokollEnde)) break;
            canvas.TextOut(200, 200 + 38 * i, lines[i].toStdString());
        }
        canvas.End();
    }
    painter.end();
}

std::string ReportPicturePath() {
    const QString current = QDir::currentPath();
    const QString folder = FolderIsWritable(current.toStdString()) ? current : QDir::tempPath();
    return QDir(folder).filePath(QStringLiteral("temp.wmf")).toStdString();
}

DocumentResult WriteProtokollDocument(const QStringList& lines, const std::string& picturePath,
                                      const WordDocument::Opener& opener) {
    WordDocument doc(opener);
    doc.newDocument();
    PageSetup page;
    page.leftMargin = page.rightMargin = page.topMargin = page.bottomMargin = 56;
    page.headerDistance = page.footerDistance = 36;
    page.pageWidth = 596;
    page.pageHeight = 842;
    page.orientation = 0;
    page.lineNumbering = false;
    doc.setPageSetup(page);
    doc.setFontName(QStringLiteral("Courier New"));
    doc.setFontSize(8);
    for (const QString& line : lines) {
        doc.typeText(line);
        doc.typeParagraph();
    }
    doc.setFontName(QStringLiteral("Times New Roman"));
    doc.typeParagraph();
    doc.setFontSize(12);
    const WriteResult picture = doc.insertPicture(picturePath, 300, 300);
    if (!picture.ok) return DocumentResult{false, {}, picture.error};
    return doc.makeVisible(QFileInfo(QString::fromStdString(picturePath)).absolutePath().toStdString());
}

}  // namespace kalvo
