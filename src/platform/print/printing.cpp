#include "printing.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QPicture>
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

// A page of the printout as a picture that measures like the printer.
class DeferredPrintout::Page : public QPicture {
public:
    explicit Page(const QPaintDevice& d)
        : width_(d.width()),
          height_(d.height()),
          widthMm_(d.widthMM()),
          heightMm_(d.heightMM()),
          colors_(d.colorCount()),
          depth_(d.depth()),
          dpiX_(d.logicalDpiX()),
          dpiY_(d.logicalDpiY()),
          physicalDpiX_(d.physicalDpiX()),
          physicalDpiY_(d.physicalDpiY()),
          ratio_(d.devicePixelRatioF()) {}

    // A picture plays its pages scaled from this resolution to the
    // printer's; it is QPicture's own.
    int PlayedFromDpiX() const { return QPicture::metric(PdmDpiX); }
    int PlayedFromDpiY() const { return QPicture::metric(PdmDpiY); }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return width_;
            case PdmHeight: return height_;
            case PdmWidthMM: return widthMm_;
            case PdmHeightMM: return heightMm_;
            case PdmNumColors: return colors_;
            case PdmDepth: return depth_;
            case PdmDpiX: return dpiX_;
            case PdmDpiY: return dpiY_;
            case PdmPhysicalDpiX: return physicalDpiX_;
            case PdmPhysicalDpiY: return physicalDpiY_;
            case PdmDevicePixelRatio: return static_cast<int>(std::lround(ratio_));
            case PdmDevicePixelRatioScaled: return static_cast<int>(std::lround(ratio_ * devicePixelRatioFScale()));
        }
        return QPicture::metric(m);
    }

private:
    int width_, height_, widthMm_, heightMm_, colors_, depth_, dpiX_, dpiY_, physicalDpiX_, physicalDpiY_;
    double ratio_;
};

DeferredPrintout::DeferredPrintout(PrintJob& job) : job_(job) {
    pages_.push_back(std::make_unique<Page>(*job_.Device()));
}

DeferredPrintout::~DeferredPrintout() = default;

QPaintDevice* DeferredPrintout::Device() { return pages_.back().get(); }

void DeferredPrintout::NewPage(QPainter& painter) {
    if (!painter.isActive() || painter.device() != pages_.back().get()) return;
    const QRect window = painter.window(), viewport = painter.viewport();
    const bool viewTransform = painter.viewTransformEnabled();
    const QTransform transform = painter.worldTransform();
    const bool clipping = painter.hasClipping();
    const QPainterPath clip = clipping ? painter.clipPath() : QPainterPath();
    const QFont font = painter.font();
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush(), background = painter.background();
    const QPointF brushOrigin = painter.brushOrigin();
    const Qt::BGMode mode = painter.backgroundMode();
    const QPainter::RenderHints hints = painter.renderHints();
    const QPainter::CompositionMode composition = painter.compositionMode();
    const qreal opacity = painter.opacity();
    const Qt::LayoutDirection direction = painter.layoutDirection();
    painter.end();
    pages_.push_back(std::make_unique<Page>(*job_.Device()));
    painter.begin(pages_.back().get());
    painter.setWindow(window);
    painter.setViewport(viewport);
    painter.setViewTransformEnabled(viewTransform);
    painter.setWorldTransform(transform);
    if (clipping) painter.setClipPath(clip);
    painter.setFont(font);
    painter.setPen(pen);
    painter.setBrush(brush);
    painter.setBackground(background);
    painter.setBrushOrigin(brushOrigin);
    painter.setBackgroundMode(mode);
    painter.setRenderHints(hints);
    painter.setCompositionMode(composition);
    painter.setOpacity(opacity);
    painter.setLayoutDirection(direction);
}

bool DeferredPrintout::Print() {
    QPaintDevice& printer = *job_.Device();
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    // The pages were drawn in the printer's pixels already.
    const Page& first = *pages_.front();
    painter.scale(double(first.PlayedFromDpiX()) / printer.logicalDpiX(),
                  double(first.PlayedFromDpiY()) / printer.logicalDpiY());
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (i > 0 && !job_.NewPage()) return false;
        painter.drawPicture(0, 0, *pages_[i]);
    }
    return painter.end();
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
