#include "canvas_qpainter.h"

#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QString>

#include <algorithm>
#include <cmath>

namespace kalvo {

Qt::BrushStyle ToQtBrushStyle(BrushStyle s) {
    switch (s) {
        case BrushStyle::Solid: return Qt::SolidPattern;
        case BrushStyle::Clear: return Qt::NoBrush;
        case BrushStyle::Horizontal: return Qt::HorPattern;
        case BrushStyle::Vertical: return Qt::VerPattern;
        case BrushStyle::FDiagonal: return Qt::FDiagPattern;  // falling from left to right
        case BrushStyle::BDiagonal: return Qt::BDiagPattern;  // rising from left to right
        case BrushStyle::Cross: return Qt::CrossPattern;
        case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

static Qt::PenStyle ToQtPenStyle(PenStyle s) {
    switch (s) {
        case PenStyle::Solid: return Qt::SolidLine;
        case PenStyle::Dash: return Qt::DashLine;
        case PenStyle::Dot: return Qt::DotLine;
        case PenStyle::Clear: return Qt::NoPen;
    }
    return Qt::SolidLine;
}

QPainterCanvas::QPainterCanvas(QPaintDevice* device, double fontDpi) : painter_(&ownPainter_), fontDpi_(fontDpi) {
    ownPainter_.begin(device);
    Setup();
    ClearUpperVectorState();
}

QPainterCanvas::QPainterCanvas(QPainter& painter, double fontDpi) : painter_(&painter), fontDpi_(fontDpi) {
    painter_->save();
    Setup();
}

QPainterCanvas::~QPainterCanvas() { End(); }

void QPainterCanvas::Setup() {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, false);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_->setBackgroundMode(Qt::TransparentMode);
    const QPaintDevice* device = painter_->isActive() ? painter_->device() : nullptr;
    if (!device) return;
    switch (device->devType()) {
        // Pictures of pixels show every point, as the screen always has.
        case QInternal::Image:
        case QInternal::Pixmap:
        case QInternal::Widget:
        case QInternal::OpenGL:
        case QInternal::FramebufferObject:
        case QInternal::CustomRaster:
        case QInternal::Pbuffer: return;
        default: break;
    }
    // The tolerance in the canvas's units: the most device pixels one unit
    // spans in any direction under the painter's transform.
    const QTransform m = painter_->combinedTransform();
    const double p = m.m11() * m.m11() + m.m12() * m.m12(), q = m.m21() * m.m21() + m.m22() * m.m22();
    const double r = m.m11() * m.m21() + m.m12() * m.m22();
    const double stretch = std::sqrt((p + q) / 2 + std::hypot((p - q) / 2, r));
    if (stretch > 0 && std::isfinite(stretch)) SetLineTolerance(kVectorLineTolerance / stretch);
}

void QPainterCanvas::End() {
    if (ended_) return;
    Flush();
    ended_ = true;
    if (painter_ == &ownPainter_) {
        if (ownPainter_.isActive()) ownPainter_.end();
    } else {
        painter_->restore();
    }
    ClearUpperVectorState();
}

void QPainterCanvas::ApplyPen() {
    const CanvasPen& p = Pen();
    if (penValid_ && p == appliedPen_) return;
    if (p.style == PenStyle::Clear) {
        painter_->setPen(Qt::NoPen);
    } else {
        QPen pen(ToQColor(p.color));
        pen.setWidth(std::max(1, p.width));
        pen.setStyle(ToQtPenStyle(p.style));
        // Wide lines end and join round, as the program's pictures always had them.
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        painter_->setPen(pen);
    }
    appliedPen_ = p;
    penValid_ = true;
}

void QPainterCanvas::ApplyBrush() {
    const CanvasBrush& b = Brush();
    if (brushValid_ && b == appliedBrush_) return;
    if (b.style == BrushStyle::Clear)
        painter_->setBrush(Qt::NoBrush);
    else
        painter_->setBrush(QBrush(ToQColor(b.color), ToQtBrushStyle(b.style)));
    appliedBrush_ = b;
    brushValid_ = true;
}

void QPainterCanvas::ApplyNoBrush() {
    if (brushValid_ && appliedBrush_.style == BrushStyle::Clear) return;
    painter_->setBrush(Qt::NoBrush);
    appliedBrush_ = CanvasBrush{0, BrushStyle::Clear};
    brushValid_ = true;
}

const QFont& QPainterCanvas::CurrentQFont() {
    if (!fontValid_ || !(Font() == cachedFont_)) {
        cachedFont_ = Font();
        qfont_ = ToQFont(cachedFont_, fontDpi_);
        // Pictures of pixels take the installed family; a metafile records the name.
        const int device = painter_->device()->devType();
        if (device == QInternal::Image || device == QInternal::Pixmap || device == QInternal::Widget)
            qfont_.setFamily(InstalledFamily(qfont_.family()));
        metrics_.emplace(qfont_, painter_->device());
        fontValid_ = true;
    }
    return qfont_;
}

const QFontMetrics& QPainterCanvas::CurrentMetrics() {
    CurrentQFont();
    return *metrics_;
}

const QPolygon& QPainterCanvas::ToPolygon(std::span<const CanvasPoint> points) {
    polygon_.resize(static_cast<qsizetype>(points.size()));
    QPoint* out = polygon_.data();
    for (size_t i = 0; i < points.size(); ++i) out[i] = QPoint(points[i].x, points[i].y);
    return polygon_;
}

void QPainterCanvas::DoPolyline(std::span<const CanvasPoint> points) {
    if (ended_ || Pen().style == PenStyle::Clear) return;
    ApplyPen();
    // The raster engine strokes a wide polyline as one outline and fills it;
    // a curve that zigzags across the picture then costs up to a hundred
    // times what its segments cost one by one. Their round caps cover the
    // round joins: the pixels are the same. Patterned lines stay whole, so
    // that their dots run on across the corners.
    if (Pen().width > 1 && Pen().style == PenStyle::Solid && painter_->paintEngine() &&
        painter_->paintEngine()->type() == QPaintEngine::Raster) {
        for (size_t i = 1; i < points.size(); ++i)
            painter_->drawLine(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y);
    } else {
        painter_->drawPolyline(ToPolygon(points));
    }
    ClearUpperVectorState();
}

void QPainterCanvas::DoPolygon(std::span<const CanvasPoint> points) {
    if (ended_) return;
    ApplyPen();
    ApplyBrush();
    painter_->drawPolygon(ToPolygon(points), Qt::OddEvenFill);
    ClearUpperVectorState();
}

// Qt strokes a rectangle one pixel beyond its right and bottom edge; the
// canvas rectangle stops before them.
static QRect StrokeRect(const CanvasRect& r) {
    return QRect(r.left, r.top, std::max(0, r.right - r.left - 1), std::max(0, r.bottom - r.top - 1));
}

void QPainterCanvas::DoRectangle(const CanvasRect& r) {
    if (ended_ || r.right <= r.left || r.bottom <= r.top) return;
    ApplyPen();
    ApplyBrush();
    painter_->drawRect(StrokeRect(r));
    ClearUpperVectorState();
}

void QPainterCanvas::DoEllipse(const CanvasRect& r) {
    if (ended_ || r.right <= r.left || r.bottom <= r.top) return;
    ApplyPen();
    ApplyBrush();
    painter_->drawEllipse(StrokeRect(r));
    ClearUpperVectorState();
}

void QPainterCanvas::DoFillRect(const CanvasRect& r) {
    if (ended_ || Brush().style == BrushStyle::Clear) return;
    painter_->fillRect(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top),
                       QBrush(ToQColor(Brush().color), ToQtBrushStyle(Brush().style)));
    ClearUpperVectorState();
}

void QPainterCanvas::DoText(int x, int y, std::string_view utf8, const CanvasRect* clip) {
    if (ended_) return;
    const QFont& f = CurrentQFont();
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const QFontMetrics& fm = CurrentMetrics();
    const bool opaque = Brush().style == BrushStyle::Solid;
    if (clip) {
        painter_->save();
        const QRect box(clip->left, clip->top, clip->right - clip->left, clip->bottom - clip->top);
        painter_->setClipRect(box, painter_->hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        if (opaque) painter_->fillRect(box, ToQColor(Brush().color));
    } else if (opaque && !s.isEmpty()) {
        painter_->fillRect(QRect(x, y, fm.horizontalAdvance(s), fm.height()), ToQColor(Brush().color));
    }
    if (!s.isEmpty()) {
        painter_->setFont(f);
        painter_->setPen(ToQColor(Font().color));
        penValid_ = false;
        painter_->drawText(QPoint(x, y + fm.ascent()), s);
    }
    if (clip) {
        painter_->restore();
        penValid_ = false;
        brushValid_ = false;
    }
    ClearUpperVectorState();
}

CanvasSize QPainterCanvas::DoTextExtent(std::string_view utf8) {
    const QFontMetrics& fm = CurrentMetrics();
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const CanvasSize size{fm.horizontalAdvance(s), fm.height()};
    ClearUpperVectorState();
    return size;
}

void QPainterCanvas::DoClip(const CanvasRect* r) {
    if (ended_) return;
    if (r)
        painter_->setClipRect(QRect(r->left, r->top, r->right - r->left, r->bottom - r->top));
    else
        painter_->setClipping(false);
    ClearUpperVectorState();
}

}  // namespace kalvo
