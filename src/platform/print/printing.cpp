#include "printing.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QPaintDevice>
#include <QPainter>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPicture>
#include <QtDebug>
#include <cmath>

#include "message_sink.h"
#include "work_budget.h"

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

// The state of a painter, to take over on a new one.
struct PainterState {
    QTransform transform;
    bool clipping = false;
    QPainterPath clip;
    QFont font;
    QPen pen;
    QBrush brush, background;
    QPointF brushOrigin;
    Qt::BGMode backgroundMode = Qt::TransparentMode;
    QPainter::RenderHints hints;
    QPainter::CompositionMode composition = QPainter::CompositionMode_SourceOver;
    qreal opacity = 1;

    static PainterState Of(const QPainter& p) {
        PainterState s;
        s.transform = p.combinedTransform();
        s.clipping = p.hasClipping();
        if (s.clipping) s.clip = p.clipPath();
        s.font = p.font();
        s.pen = p.pen();
        s.brush = p.brush();
        s.background = p.background();
        s.brushOrigin = p.brushOrigin();
        s.backgroundMode = p.backgroundMode();
        s.hints = p.renderHints();
        s.composition = p.compositionMode();
        s.opacity = p.opacity();
        return s;
    }
    void ApplyTo(QPainter& p) const {
        p.setTransform(transform);
        // In the coordinates of that transform, as it was read.
        if (clipping) p.setClipPath(clip);
        p.setFont(font);
        p.setPen(pen);
        p.setBrush(brush);
        p.setBackground(background);
        p.setBrushOrigin(brushOrigin);
        p.setBackgroundMode(backgroundMode);
        p.setRenderHints(p.renderHints(), false);
        p.setRenderHints(hints, true);
        p.setCompositionMode(composition);
        p.setOpacity(opacity);
    }
};

class DeferredPrintout::Spool final : public QPaintDevice {
public:
    Spool(PrintJob& job, long long keptBytes);
    ~Spool() override;

    QPaintEngine* paintEngine() const override;

    // The painter everything goes to: on the picture of the page, or on the printer.
    QPainter& Target() {
        if (!target_.isActive() && !failed_) StartPicturePage(PainterState{});
        return target_;
    }
    // After every drawing call: too much kept back goes to the printer.
    void Drawn() {
        if (onPrinter_ || failed_ || keptBytes_ < 0) return;
        if (keptBefore_ + static_cast<long long>(pages_.back()->size()) > keptBytes_) ToPrinter();
    }
    void NewPage();
    bool Print();
    void Discard();
    bool OnPrinter() const { return onPrinter_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    void StartPicturePage(const PainterState& state);
    bool ToPrinter();

    PrintJob& job_;
    long long keptBytes_;
    long long keptBefore_ = 0;  // bytes of the pages before the current one
    int metrics_[QPaintDevice::PdmDevicePixelRatioScaled + 1] = {};
    std::vector<std::unique_ptr<QPicture>> pages_;
    QPainter target_;
    bool onPrinter_ = false, failed_ = false;
    std::unique_ptr<Engine> engine_;
};

// Passes every state change and drawing call of the printout's painter on
// to the spool's own painter; coordinates come untransformed, with the
// transform among the state.
class DeferredPrintout::Engine final : public QPaintEngine {
public:
    explicit Engine(Spool& spool) : QPaintEngine(AllFeatures), spool_(spool) {}

    bool begin(QPaintDevice*) override { return spool_.Target().isActive(); }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& s) override {
        QPainter& t = spool_.Target();
        const DirtyFlags f = s.state();
        if (f & DirtyPen) t.setPen(s.pen());
        if (f & DirtyBrush) t.setBrush(s.brush());
        if (f & DirtyBrushOrigin) t.setBrushOrigin(s.brushOrigin());
        if (f & DirtyBackground) t.setBackground(s.backgroundBrush());
        if (f & DirtyBackgroundMode) t.setBackgroundMode(s.backgroundMode());
        if (f & DirtyFont) t.setFont(s.font());
        if (f & DirtyTransform) t.setTransform(s.transform());
        // A clip comes with the transform it was set in.
        if (f & DirtyClipRegion) t.setClipRegion(s.clipRegion(), s.clipOperation());
        if (f & DirtyClipPath) t.setClipPath(s.clipPath(), s.clipOperation());
        if (f & DirtyClipEnabled) t.setClipping(s.isClipEnabled());
        if (f & DirtyHints) {
            t.setRenderHints(t.renderHints(), false);
            t.setRenderHints(s.renderHints(), true);
        }
        if (f & DirtyCompositionMode) t.setCompositionMode(s.compositionMode());
        if (f & DirtyOpacity) t.setOpacity(s.opacity());
    }

    void drawRects(const QRect* r, int n) override { Draw([&](QPainter& t) { t.drawRects(r, n); }); }
    void drawRects(const QRectF* r, int n) override { Draw([&](QPainter& t) { t.drawRects(r, n); }); }
    void drawLines(const QLine* l, int n) override { Draw([&](QPainter& t) { t.drawLines(l, n); }); }
    void drawLines(const QLineF* l, int n) override { Draw([&](QPainter& t) { t.drawLines(l, n); }); }
    void drawEllipse(const QRectF& r) override { Draw([&](QPainter& t) { t.drawEllipse(r); }); }
    void drawEllipse(const QRect& r) override { Draw([&](QPainter& t) { t.drawEllipse(r); }); }
    void drawPath(const QPainterPath& path) override { Draw([&](QPainter& t) { t.drawPath(path); }); }
    void drawPoints(const QPointF* p, int n) override { Draw([&](QPainter& t) { t.drawPoints(p, n); }); }
    void drawPoints(const QPoint* p, int n) override { Draw([&](QPainter& t) { t.drawPoints(p, n); }); }
    void drawPolygon(const QPointF* p, int n, PolygonDrawMode mode) override {
        Draw([&](QPainter& t) { Polygon(t, p, n, mode); });
    }
    void drawPolygon(const QPoint* p, int n, PolygonDrawMode mode) override {
        Draw([&](QPainter& t) { Polygon(t, p, n, mode); });
    }
    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        Draw([&](QPainter& t) { t.drawPixmap(r, pm, sr); });
    }
    void drawTiledPixmap(const QRectF& r, const QPixmap& pm, const QPointF& p) override {
        Draw([&](QPainter& t) { t.drawTiledPixmap(r, pm, p); });
    }
    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags flags) override {
        Draw([&](QPainter& t) { t.drawImage(r, image, sr, flags); });
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        Draw([&](QPainter& t) {
            // The printout's painter draws the lines of these itself.
            QFont font = item.font();
            font.setUnderline(false);
            font.setOverline(false);
            font.setStrikeOut(false);
            const QFont before = t.font();
            const Qt::BGMode mode = t.backgroundMode();
            t.setFont(font);
            // So does it the opaque background.
            t.setBackgroundMode(Qt::TransparentMode);
            t.drawText(p, item.text());
            t.setBackgroundMode(mode);
            t.setFont(before);
        });
    }

private:
    template <typename Point>
    static void Polygon(QPainter& t, const Point* p, int n, PolygonDrawMode mode) {
        switch (mode) {
            case PolylineMode: t.drawPolyline(p, n); break;
            case ConvexMode: t.drawConvexPolygon(p, n); break;
            case OddEvenMode: t.drawPolygon(p, n, Qt::OddEvenFill); break;
            case WindingMode: t.drawPolygon(p, n, Qt::WindingFill); break;
        }
    }
    template <typename F>
    void Draw(F draw) {
        QPainter& t = spool_.Target();
        if (!t.isActive()) return;
        draw(t);
        spool_.Drawn();
    }

    Spool& spool_;
};

DeferredPrintout::Spool::Spool(PrintJob& job, long long keptBytes)
    : job_(job), keptBytes_(keptBytes), engine_(std::make_unique<Engine>(*this)) {
    const QPaintDevice& d = *job_.Device();
    metrics_[PdmWidth] = d.width();
    metrics_[PdmHeight] = d.height();
    metrics_[PdmWidthMM] = d.widthMM();
    metrics_[PdmHeightMM] = d.heightMM();
    metrics_[PdmNumColors] = d.colorCount();
    metrics_[PdmDepth] = d.depth();
    metrics_[PdmDpiX] = d.logicalDpiX();
    metrics_[PdmDpiY] = d.logicalDpiY();
    metrics_[PdmPhysicalDpiX] = d.physicalDpiX();
    metrics_[PdmPhysicalDpiY] = d.physicalDpiY();
    metrics_[PdmDevicePixelRatio] = static_cast<int>(std::lround(d.devicePixelRatioF()));
    metrics_[PdmDevicePixelRatioScaled] = static_cast<int>(std::lround(d.devicePixelRatioF() * devicePixelRatioFScale()));
}

DeferredPrintout::Spool::~Spool() { Discard(); }

void DeferredPrintout::Spool::Discard() {
    if (!target_.isActive()) return;
    // Whatever went to the printer goes out; what was kept back does not.
    const bool busy = onPrinter_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (busy) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    target_.end();
    if (busy) QGuiApplication::restoreOverrideCursor();
    pages_.clear();
}

QPaintEngine* DeferredPrintout::Spool::paintEngine() const { return engine_.get(); }

int DeferredPrintout::Spool::metric(PaintDeviceMetric m) const {
    return m >= PdmWidth && m < static_cast<int>(std::size(metrics_)) ? metrics_[m] : QPaintDevice::metric(m);
}

void DeferredPrintout::Spool::StartPicturePage(const PainterState& state) {
    if (target_.isActive()) target_.end();
    if (!pages_.empty()) keptBefore_ += pages_.back()->size();
    pages_.push_back(std::make_unique<QPicture>());
    if (!target_.begin(pages_.back().get())) {
        failed_ = true;
        return;
    }
    state.ApplyTo(target_);
}

void DeferredPrintout::Spool::NewPage() {
    if (failed_) return;
    if (onPrinter_) {
        if (!job_.NewPage()) failed_ = true;
        return;
    }
    StartPicturePage(target_.isActive() ? PainterState::Of(target_) : PainterState{});
}

bool DeferredPrintout::Spool::ToPrinter() {
    const PainterState state = target_.isActive() ? PainterState::Of(target_) : PainterState{};
    if (target_.isActive()) target_.end();
    QPaintDevice& printer = *job_.Device();
    if (!target_.begin(&printer)) {
        failed_ = true;
        return false;
    }
    // A picture plays its drawing scaled from a resolution of its own to the
    // painter's device; it was drawn in the printer's pixels already.
    struct Probe : QPicture {
        int Dpi(PaintDeviceMetric m) const { return metric(m); }
    } const probe;
    target_.scale(double(probe.Dpi(PdmDpiX)) / printer.logicalDpiX(), double(probe.Dpi(PdmDpiY)) / printer.logicalDpiY());
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (i > 0 && !job_.NewPage()) {
            failed_ = true;
            return false;
        }
        target_.drawPicture(0, 0, *pages_[i]);
    }
    target_.resetTransform();
    pages_.clear();
    keptBefore_ = 0;
    onPrinter_ = true;
    state.ApplyTo(target_);
    return true;
}

bool DeferredPrintout::Spool::Print() {
    // The printer's engine finishes the page when the painter ends: for a
    // page of millions of points that takes seconds, and cannot be stopped.
    const bool busy = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (busy) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    const bool printed = !failed_ && (onPrinter_ || ToPrinter()) && target_.end() && !failed_;
    if (busy) QGuiApplication::restoreOverrideCursor();
    return printed;
}

DeferredPrintout::DeferredPrintout(PrintJob& job, long long keptBytes)
    : spool_(std::make_unique<Spool>(job, keptBytes)) {}

DeferredPrintout::~DeferredPrintout() = default;

QPaintDevice* DeferredPrintout::Device() { return spool_.get(); }

void DeferredPrintout::NewPage() { spool_->NewPage(); }

bool DeferredPrintout::Print() { return spool_->Print(); }

void DeferredPrintout::Discard() { spool_->Discard(); }

bool DeferredPrintout::Begun() const { return spool_->OnPrinter(); }

std::string CancelledPrintoutText(const DeferredPrintout& printout) {
    std::string text = kDruckenAbgebrochen;
    if (printout.Begun()) text += " Was bis dahin gezeichnet war, wird gedruckt.";
    return text;
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
