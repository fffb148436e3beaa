// Draws the recorded picture with QPainter, as a metafile reader would show it.
// The clipboard offers this raster copy to programs that take no metafiles.

#include "gdi_picture.h"

#include <QPainter>
#include <QPainterPath>

#include "work_budget.h"

#include <algorithm>
#include <cmath>

namespace kalvo::gdi {

namespace {

QPen ToQPen(const LogPen& p) {
    if (p.style == PS_NULL) return QPen(Qt::NoPen);
    static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                               Qt::DashDotDotLine};
    QPen pen(ToQColor(p.color), std::max(1, p.width), p.style < 5 ? kStyles[p.style] : Qt::SolidLine);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QBrush ToQBrush(const LogBrush& b) {
    if (b.style == BS_NULL) return Qt::NoBrush;
    if (b.style == BS_SOLID) return QBrush(ToQColor(b.color));
    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(ToQColor(b.color), b.hatch < 6 ? kHatches[b.hatch] : Qt::DiagCrossPattern);
}

QFont ToQFont(const LogFont& f) {
    QFont font(f.face);
    font.setPixelSize(std::max(1, std::abs(f.height)));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(f.weight, 1, 1000)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

QRect ToQRect(const RectL& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }

// What drawing a record and each of its points costs, in units of the work budget.
constexpr long long kOpWork = 1000;
constexpr long long kPointWork = 100;

}  // namespace

QImage RenderPicture(const Picture& pic) {
    // A copy for programs without metafiles needs no more than about 16 million pixels.
    constexpr double kMaxPixels = 16e6;
    const double scale = std::min(1.0, std::sqrt(kMaxPixels / (static_cast<double>(pic.width) * pic.height)));
    QImage image(std::max(1, static_cast<int>(pic.width * scale)), std::max(1, static_cast<int>(pic.height * scale)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.scale(scale, scale);
    const QPoint* pts = pic.points.data();
    for (const Op& op : pic.ops) {
        // A picture of millions of points takes seconds: its output looks at
        // the clock as it goes, and stops when the user cancels it.
        const bool points = op.kind == OpKind::Polyline || op.kind == OpKind::Polygon;
        AddWork(kOpWork + (points ? kPointWork * static_cast<long long>(op.b) : 0));
        if (WorkBudgetSpent()) return QImage();
        const DcState& st = pic.states[op.state];
        if (st.clip >= 0) {
            p.setClipRect(ToQRect(pic.clips[st.clip]));
        } else {
            p.setClipping(false);
        }
        p.setBackgroundMode(st.bkMode == BKMODE_OPAQUE ? Qt::OpaqueMode : Qt::TransparentMode);
        p.setBackground(ToQColor(st.bkColor));
        p.setPen(st.pen >= 0 ? ToQPen(pic.pens[st.pen]) : QPen(Qt::NoPen));
        p.setBrush(st.brush >= 0 ? ToQBrush(pic.brushes[st.brush]) : QBrush(Qt::NoBrush));
        switch (op.kind) {
            case OpKind::Polyline: p.drawPolyline(pts + op.a, static_cast<int>(op.b)); break;
            case OpKind::Polygon:
                p.drawPolygon(pts + op.a, static_cast<int>(op.b),
                              st.fillMode == FILL_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
                break;
            case OpKind::PolyPolygon:
            case OpKind::PolyPolyline: {
                QPainterPath path;
                path.setFillRule(st.fillMode == FILL_WINDING ? Qt::WindingFill : Qt::OddEvenFill);
                const QPoint* q = pts + op.a;
                for (std::uint32_t i = 0; i < op.c; ++i) {
                    const std::uint32_t n = pic.polyCounts[op.b + i];
                    QPolygonF part;
                    for (std::uint32_t k = 0; k < n; ++k) part << QPointF(q[k]);
                    if (op.kind == OpKind::PolyPolygon) {
                        path.addPolygon(part);
                        path.closeSubpath();
                    } else {
                        path.addPolygon(part);
                    }
                    q += n;
                }
                if (op.kind == OpKind::PolyPolyline) p.setBrush(Qt::NoBrush);
                p.drawPath(path);
                break;
            }
            case OpKind::Rectangle: p.drawRect(QRectF(pts[op.a], pts[op.a + 1])); break;
            case OpKind::Ellipse: p.drawEllipse(QRectF(pts[op.a], pts[op.a + 1])); break;
            case OpKind::Text: {
                const TextRun& t = pic.texts[op.a];
                p.setPen(ToQColor(st.textColor));
                p.setFont(ToQFont(pic.fonts[st.font]));
                p.save();
                p.translate(t.origin);
                p.rotate(-pic.fonts[st.font].escapement / 10.0);
                p.drawText(QPointF(0, 0), t.text);
                p.restore();
                break;
            }
            case OpKind::Pixel:
                p.setPen(QPen(ToQColor(op.b), 0));
                p.drawPoint(pts[op.a]);
                break;
            case OpKind::Image: {
                const ImageRun& img = pic.images[op.a];
                p.drawImage(ToQRect(img.dest), img.image);
                break;
            }
        }
    }
    return image;
}

}  // namespace kalvo::gdi
