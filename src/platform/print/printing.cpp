#include "printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPaintDevice>
#include <QPainter>
#include <QtDebug>
#include <cmath>

#include "message_sink.h"

namespace kalvo {

namespace {

// Beside the program, where it is installed; then where the build put it,
// for the test programs, which live in folders of their own.
QStringList ModulePaths() {
    const QString name = QStringLiteral(KALVO_PRINT_MODULE_FILE);
    QStringList paths;
    if (QCoreApplication::instance()) paths << QDir(QCoreApplication::applicationDirPath()).filePath(name);
    paths << QDir(QStringLiteral(KALVO_PRINT_MODULE_BUILD_DIR)).filePath(name);
    return paths;
}

NewPrintJobFunction LoadPrintModule() {
    for (const QString& path : ModulePaths()) {
        if (!QFileInfo::exists(path)) continue;
        // The module stays loaded (QLibrary does not unload it when it goes):
        // the jobs it made run its code for as long as they live.
        QLibrary module(path);
        if (!module.load()) {
            qWarning().noquote() << module.errorString();
            continue;
        }
        if (auto make = reinterpret_cast<NewPrintJobFunction>(module.resolve(kNewPrintJobSymbol))) return make;
        qWarning().noquote() << module.errorString();
    }
    return nullptr;
}

}  // namespace

std::shared_ptr<PrintJob> NewPrintJob(const QString& title) {
    static const NewPrintJobFunction make = LoadPrintModule();
    std::shared_ptr<PrintJob> job(make ? make() : nullptr);
    if (!job) {
        ShowMessage("Der Drucker kann nicht benutzt werden.", MessageKind::Error);
        return nullptr;
    }
    const QString name = title.simplified();
    job->SetDocName(name.isEmpty() ? QString::fromUtf8(kPrintJobName) : name);
    return job;
}

PrinterCaps QueryPrinterCaps(const PrintJob& job) {
    PrinterCaps c;
    const QPageLayout layout = job.PageLayout();
    const int dpi = job.Resolution();
    const QRect paint = layout.paintRectPixels(dpi);
    const QRectF paintMm = layout.paintRect(QPageLayout::Millimeter);
    const QRect full = layout.fullRectPixels(dpi);
    c.HorzRes = paint.width();
    c.VertRes = paint.height();
    c.HorzSize = static_cast<int>(std::lround(paintMm.width()));
    c.VertSize = static_cast<int>(std::lround(paintMm.height()));
    c.LogPixelsX = job.Device()->logicalDpiX();
    c.LogPixelsY = job.Device()->logicalDpiY();
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

}  // namespace kalvo
