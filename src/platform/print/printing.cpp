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
#include <QThread>
#include <QtDebug>

#include <atomic>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <mutex>

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

// Named, not anonymous: the spool keeps them.
namespace spool_detail {

// One piece of a printout: a picture of part of a page, in the printer's
// pixels, beginning with the painter's state at its start.
struct Piece {
    std::unique_ptr<QPicture> picture;
    bool newPage = false;  // the page before it ends first
};

// A piece holds about this much of the drawing: small enough that the
// printer's thread follows the drawing closely, large enough that the
// painter's state set at the start of each costs nothing.
constexpr qsizetype kPieceBytes = 1 << 20;

// How often the window looks at the progress dialog while it waits for the
// printer's thread, and what a wait counts as work (as much as it lasts, at
// the work's nominal rate).
constexpr int kPrinterWaitMs = 10;

// The printer's side of a printout: a thread that plays the pieces onto
// the printer as they come and then ends the job, which makes the
// printer's engine write (and, for PDF, compress) everything. Qt's painters
// may print from a thread of their own; the thread uses only its own
// painter, the job's device and the pieces handed to it.
class Feeder {
public:
    Feeder(PrintJob& job, double scaleX, double scaleY) : job_(job), scaleX_(scaleX), scaleY_(scaleY) {
        thread_.reset(QThread::create([this] { Run(); }));
        thread_->start();
    }
    ~Feeder() {
        Finish();
        thread_->wait();
    }
    Feeder(const Feeder&) = delete;
    Feeder& operator=(const Feeder&) = delete;

    void Send(Piece piece) {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            queue_.push_back(std::move(piece));
        }
        wake_.notify_one();
    }
    // No more pieces: the thread ends the job once it has played them.
    void Finish() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            finishing_ = true;
        }
        wake_.notify_one();
    }
    // Whether the job is ended, after waiting up to `ms` (-1: until it is).
    bool Wait(int ms) { return thread_->wait(ms < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(ms)); }
    bool Done() const { return done_.load(std::memory_order_acquire); }
    // Once done: whether the printer took all of it.
    bool Printed() const { return printed_; }

private:
    void Run() {
        QPainter printer;
        bool ok = printer.begin(job_.Device());
        // A picture plays its drawing scaled from a resolution of its own
        // to the painter's device; it was drawn in the printer's pixels.
        if (ok) printer.scale(scaleX_, scaleY_);
        bool first = true;
        for (;;) {
            Piece piece;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                wake_.wait(lock, [this] { return finishing_ || !queue_.empty(); });
                if (queue_.empty()) break;
                piece = std::move(queue_.front());
                queue_.pop_front();
            }
            if (!ok) continue;
            if (piece.newPage && !first && !job_.NewPage()) ok = false;
            if (ok) printer.drawPicture(0, 0, *piece.picture);
            first = false;
        }
        if (printer.isActive()) ok = printer.end() && ok;
        printed_ = ok;
        done_.store(true, std::memory_order_release);
    }

    PrintJob& job_;
    const double scaleX_, scaleY_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Piece> queue_;
    bool finishing_ = false;
    bool printed_ = false;
    std::atomic<bool> done_{false};
    std::unique_ptr<QThread> thread_;
};

}  // namespace spool_detail

using spool_detail::Feeder;
using spool_detail::kPieceBytes;
using spool_detail::kPrinterWaitMs;
using spool_detail::Piece;

namespace {

// Printouts whose printer's thread goes on after the window stopped
// waiting for it, with their jobs kept alive. Only the window's thread
// touches this.
struct Finishing {
    std::shared_ptr<Feeder> feeder;
    std::shared_ptr<PrintJob> job;
};
std::vector<Finishing>& Background() {
    static std::vector<Finishing> background;
    return background;
}

// Lets the printer's thread finish on its own; without a job that can be
// kept alive that long, waits for it.
void FinishInBackground(std::shared_ptr<Feeder> feeder, PrintJob& job) {
    auto& background = Background();
    std::erase_if(background, [](const Finishing& f) { return f.feeder->Done(); });
    std::shared_ptr<PrintJob> keep = job.weak_from_this().lock();
    if (!keep) {
        feeder->Wait(-1);
        return;
    }
    if (background.empty()) {
        // The program waits for them as it quits, while fonts and printers still work.
        static bool hooked = false;
        if (auto* app = QCoreApplication::instance(); app && !hooked) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { WaitForPrintouts(); });
            hooked = true;
        }
    }
    background.push_back({std::move(feeder), std::move(keep)});
}

}  // namespace

void WaitForPrintouts() {
    auto& background = Background();
    for (Finishing& f : background) f.feeder->Wait(-1);
    background.clear();
}

class DeferredPrintout::Spool final : public QPaintDevice {
public:
    Spool(PrintJob& job, long long keptBytes);
    ~Spool() override;

    QPaintEngine* paintEngine() const override;

    // The painter everything goes to: on the picture of the current piece.
    QPainter& Target() {
        if (!target_.isActive() && !failed_ && !handedOver_) StartPiece(PainterState{});
        return target_;
    }
    // After every drawing call: a full piece is closed, and too much kept
    // back goes to the printer.
    void Drawn() {
        if (!target_.isActive()) return;
        const qsizetype size = current_->size();
        if (!feeder_ && keptBytes_ >= 0 && kept_ + size > keptBytes_) StartFeeding();
        if (size >= kPieceBytes) StartPiece(ClosePiece());
    }
    void NewPage();
    // The last piece closed and everything on its way to the printer, whose
    // thread then ends the job; null when recording failed.
    std::shared_ptr<Feeder> HandOver();
    void Discard();
    bool OnPrinter() const { return feeder_ != nullptr; }
    PrintJob& Job() const { return job_; }

protected:
    int metric(PaintDeviceMetric m) const override;

private:
    void StartPiece(const PainterState& state);
    PainterState ClosePiece();
    void StartFeeding();

    PrintJob& job_;
    long long keptBytes_;
    long long kept_ = 0;  // bytes of the closed pieces kept back
    int metrics_[QPaintDevice::PdmDevicePixelRatioScaled + 1] = {};
    std::vector<Piece> pieces_;  // kept back
    std::unique_ptr<QPicture> current_;
    bool newPage_ = false;  // the current piece starts a new page
    QPainter target_;
    bool failed_ = false, handedOver_ = false;
    std::shared_ptr<Feeder> feeder_;
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

QPaintEngine* DeferredPrintout::Spool::paintEngine() const { return engine_.get(); }

int DeferredPrintout::Spool::metric(PaintDeviceMetric m) const {
    return m >= PdmWidth && m < static_cast<int>(std::size(metrics_)) ? metrics_[m] : QPaintDevice::metric(m);
}

void DeferredPrintout::Spool::StartPiece(const PainterState& state) {
    current_ = std::make_unique<QPicture>();
    if (!target_.begin(current_.get())) {
        failed_ = true;
        current_.reset();
        return;
    }
    state.ApplyTo(target_);
}

PainterState DeferredPrintout::Spool::ClosePiece() {
    const PainterState state = PainterState::Of(target_);
    target_.end();
    Piece piece{std::move(current_), newPage_};
    newPage_ = false;
    if (feeder_) {
        feeder_->Send(std::move(piece));
    } else {
        kept_ += piece.picture->size();
        pieces_.push_back(std::move(piece));
    }
    return state;
}

void DeferredPrintout::Spool::StartFeeding() {
    // The printer's pixels from the resolution pictures play their drawing at.
    struct Probe : QPicture {
        int Dpi(PaintDeviceMetric m) const { return metric(m); }
    } const probe;
    const QPaintDevice& printer = *job_.Device();
    feeder_ = std::make_shared<Feeder>(job_, double(probe.Dpi(PdmDpiX)) / printer.logicalDpiX(),
                                       double(probe.Dpi(PdmDpiY)) / printer.logicalDpiY());
    for (Piece& piece : pieces_) feeder_->Send(std::move(piece));
    pieces_.clear();
    kept_ = 0;
}

void DeferredPrintout::Spool::NewPage() {
    if (failed_ || handedOver_) return;
    // A page with nothing on it is a page all the same.
    if (!target_.isActive()) StartPiece(PainterState{});
    if (failed_) return;
    const PainterState state = ClosePiece();
    newPage_ = true;
    StartPiece(state);
}

std::shared_ptr<Feeder> DeferredPrintout::Spool::HandOver() {
    if (handedOver_) return feeder_;
    if (failed_) return nullptr;
    if (target_.isActive()) ClosePiece();
    if (!feeder_) StartFeeding();
    handedOver_ = true;
    feeder_->Finish();
    return feeder_;
}

void DeferredPrintout::Spool::Discard() {
    if (feeder_ && !handedOver_) {
        // What went to the printer goes out, with what was drawn after it.
        const std::shared_ptr<Feeder> feeder = HandOver();
        if (!feeder->Done()) FinishInBackground(feeder, job_);
        return;
    }
    if (target_.isActive()) target_.end();
    current_.reset();
    pieces_.clear();
    kept_ = 0;
    handedOver_ = true;
}

DeferredPrintout::DeferredPrintout(PrintJob& job, long long keptBytes)
    : spool_(std::make_unique<Spool>(job, keptBytes)) {}

DeferredPrintout::~DeferredPrintout() = default;

QPaintDevice* DeferredPrintout::Device() { return spool_.get(); }

void DeferredPrintout::NewPage() { spool_->NewPage(); }

bool DeferredPrintout::Print() {
    const std::shared_ptr<Feeder> feeder = spool_->HandOver();
    if (!feeder) return false;
    if (feeder->Wait(kPrinterWaitMs)) return feeder->Printed();
    // The printer's engine finishes the pages: for millions of points that
    // takes seconds, which it cannot be stopped in.
    bool cancelled = false, outermost = false;
    {
        CancellableWork work("Der Ausdruck geht an den Drucker \u2026");
        const bool cursor = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
        if (cursor) QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        while (!feeder->Wait(kPrinterWaitMs)) {
            AddWork(kPrinterWaitMs * 1'000'000LL);
            if (!WorkBudgetSpent()) continue;
            cancelled = work.Cancelled();
            // A budget around it ran out: no more looks at the dialog.
            if (!cancelled) feeder->Wait(-1);
            break;
        }
        if (cursor) QGuiApplication::restoreOverrideCursor();
        outermost = work.Outermost();
    }
    if (!cancelled || feeder->Done()) return feeder->Printed();
    FinishInBackground(feeder, spool_->Job());
    if (outermost) ShowMessage(CancelledPrintoutText(*this));
    return true;
}

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
