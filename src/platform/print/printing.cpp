#include "printing.h"

#include <QPageLayout>
#include <cmath>

namespace kalvo {

PrinterCaps QueryPrinterCaps(const QPrinter& printer) {
    PrinterCaps c;
    const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    const QRectF paintMm = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    const QRect full = printer.pageLayout().fullRectPixels(printer.resolution());
    c.HorzRes = paint.width();
    c.VertRes = paint.height();
    c.HorzSize = static_cast<int>(std::lround(paintMm.width()));
    c.VertSize = static_cast<int>(std::lround(paintMm.height()));
    c.LogPixelsX = printer.logicalDpiX();
    c.LogPixelsY = printer.logicalDpiY();
    c.PhysicalOffsetX = paint.left() - full.left();
    c.PhysicalOffsetY = paint.top() - full.top();
    return c;
}

void SetTenthMillimetreMapping(QPainter& painter, const PrinterCaps& caps) {
    painter.resetTransform();
    if (caps.HorzSize <= 0 || caps.VertSize <= 0) return;
    // Device pixels per 0.1 mm along each axis.
    painter.scale(caps.HorzRes / (caps.HorzSize * 10.0), caps.VertRes / (caps.VertSize * 10.0));
}

int PageHeightTenthMm(const PrinterCaps& caps) { return caps.VertSize * 10; }
int PageWidthTenthMm(const PrinterCaps& caps) { return caps.HorzSize * 10; }

void PreparePrinter(QPrinter& printer, const QString& title) {
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    const QString name = title.simplified();
    printer.setDocName(name.isEmpty() ? QString::fromUtf8(kPrintJobName) : name);
}

}  // namespace kalvo
