#pragma once
// The yardstick of the drawing benchmarks: what a canvas recorded, drawn by
// plain QPainter as a hand-written renderer would (no antialiasing, round
// ends of wide lines, odd-even filling, pens and brushes set only when they
// change). What any program has to pay for the same picture.

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>

#include <algorithm>
#include <vector>

#include "canvas_qpainter.h"
#include "canvas_recording.h"

namespace kalvo::bench {

inline void ReplayRecords(QPainter& p, const std::vector<CanvasRecord>& records) {
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    QPolygon poly;
    bool penSet = false, brushSet = false;
    CanvasPen pen;
    CanvasBrush brush;
    auto setPen = [&](const CanvasPen& s) {
        if (penSet && s == pen) return;
        if (s.style == PenStyle::Clear) {
            p.setPen(Qt::NoPen);
        } else {
            QPen q(ToQColor(s.color));
            q.setWidth(std::max(1, s.width));
            q.setStyle(s.style == PenStyle::Dot ? Qt::DotLine : s.style == PenStyle::Dash ? Qt::DashLine : Qt::SolidLine);
            q.setCapStyle(Qt::RoundCap);
            q.setJoinStyle(Qt::RoundJoin);
            p.setPen(q);
        }
        pen = s;
        penSet = true;
    };
    auto setBrush = [&](const CanvasBrush& b) {
        if (brushSet && b == brush) return;
        p.setBrush(b.style == BrushStyle::Clear ? QBrush(Qt::NoBrush) : QBrush(ToQColor(b.color), ToQtBrushStyle(b.style)));
        brush = b;
        brushSet = true;
    };
    auto points = [&](const CanvasRecord& r) -> const QPolygon& {
        poly.resize(static_cast<qsizetype>(r.points.size()));
        for (size_t i = 0; i < r.points.size(); ++i) poly[qsizetype(i)] = QPoint(r.points[i].x, r.points[i].y);
        return poly;
    };
    auto rect = [](const CanvasRect& r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); };
    for (const CanvasRecord& r : records) {
        switch (r.kind) {
            case CanvasRecord::Kind::Polygon:
                setPen(r.pen);
                setBrush(r.brush);
                p.drawPolygon(points(r), Qt::OddEvenFill);
                break;
            case CanvasRecord::Kind::Polyline:
                setPen(r.pen);
                p.drawPolyline(points(r));
                break;
            case CanvasRecord::Kind::FillRect: p.fillRect(rect(r.rect), ToQColor(r.brush.color)); break;
            case CanvasRecord::Kind::Rectangle:
            case CanvasRecord::Kind::Ellipse: {
                setPen(r.pen);
                setBrush(r.brush);
                const QRect box = rect(r.rect).adjusted(0, 0, -1, -1);
                if (r.kind == CanvasRecord::Kind::Rectangle)
                    p.drawRect(box);
                else
                    p.drawEllipse(box);
                break;
            }
            case CanvasRecord::Kind::Text: {
                const QFont f = ToQFont(r.font, kScreenDpi);
                const QFontMetrics fm(f);
                const QString s = QString::fromStdString(r.text);
                p.setFont(f);
                if (r.brush.style == BrushStyle::Solid)
                    p.fillRect(QRect(r.at.x, r.at.y, fm.horizontalAdvance(s), fm.height()), ToQColor(r.brush.color));
                p.setPen(ToQColor(r.font.color));
                penSet = false;
                p.drawText(QPoint(r.at.x, r.at.y + fm.ascent()), s);
                break;
            }
            case CanvasRecord::Kind::Clip: p.setClipRect(rect(r.rect)); break;
            case CanvasRecord::Kind::NoClip: p.setClipping(false); break;
        }
    }
}

}  // namespace kalvo::bench
