#include "report_output.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>

#include <algorithm>

#include "canvas_qpainter.h"
#include "atomic_file.h"
#include "message_sink.h"
#include "work_budget.h"
#include "printing.h"
#include "regression_fit.h"

namespace kalvo {

namespace {

constexpr int kRand = 200;    // 20 mm from the edges of the printable area
constexpr int kZeilenabstand = 38;

// Where the value table of a report runs: its column header, the dash under
// it and the dash that closes it (-1 when the lines hold no such table).
struct Tabellenlage {
    int kopf = -1, ende = -1;
};

Tabellenlage FindeTabelle(const QStringList& lines, int count) {
    Tabellenlage t;
    const QString kopf = QString::fromStdString(ProtokollTabellenkopf());
    const QString strich(60, QLatin1Char('-'));
    for (int i = 0; i + 1 < count; ++i)
        if (lines[i] == kopf && lines[i + 1] == strich) {
            t.kopf = i;
            for (int e = i + 2; e < count; ++e)
                if (lines[e] == strich) {
                    t.ende = e;
                    break;
                }
            if (t.ende < 0) t.ende = count;
            break;
        }
    return t;
}

}  // namespace

void PrintProtokoll(PrintJob& printer, const QStringList& lines) {
    // Kept back from the printer while it is drawn: a printout the user
    // cancels prints nothing (unless it had grown too large to keep back).
    DeferredPrintout ausdruck(printer);
    bool abgebrochen = false;
    {
        CancellableWork arbeit("Das Protokoll wird gedruckt \u2026");
        QPainter painter;
        if (!painter.begin(ausdruck.Device())) return;
        const PrinterCaps caps = QueryPrinterCaps(printer);
        SetTenthMillimetreMapping(painter, caps);
        int count = 0;
        while (count < lines.size() && lines[count] != QLatin1String(kProtokollEnde)) ++count;
        const Tabellenlage tabelle = FindeTabelle(lines, count);
        // Lines per page with the same margin at the bottom as at the top; the
        // repeated column header needs room for at least one line of values.
        const int proSeite = std::max(4, (PageHeightTenthMm(caps) - 2 * kRand) / kZeilenabstand);
        {
            QPainterCanvas canvas(painter, kTenthMmPerInch);
            CanvasFont font;
            font.name = "Courier New";
            font.size = 10;  // 35 units of 0.1 mm
            canvas.SetFont(font);
            canvas.SetBrush(0xFFFFFF, BrushStyle::Clear);
            int zeile = 0;  // on the current page
            auto print = [&](const QString& text) {
                canvas.TextOut(kRand, kRand + kZeilenabstand * zeile, text.toStdString());
                ++zeile;
            };
            for (int i = 0; i < count && !WorkBudgetSpent(); ++i) {
                if (zeile >= proSeite) {
                    canvas.Flush();
                    ausdruck.NewPage();
                    zeile = 0;
                    // A table that goes on carries its column header again.
                    if (tabelle.kopf >= 0 && i > tabelle.kopf + 1 && i < tabelle.ende) {
                        print(lines[tabelle.kopf]);
                        print(lines[tabelle.kopf + 1]);
                    }
                }
                print(lines[i]);
            }
            canvas.End();
        }
        painter.end();
        abgebrochen = arbeit.Cancelled();
    }
    if (abgebrochen) {
        ausdruck.Discard();
        ShowMessage(CancelledPrintoutText(ausdruck));
    } else if (!ausdruck.Print()) {
        ShowMessage("Der Drucker kann nicht benutzt werden.", MessageKind::Error);
    }
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
