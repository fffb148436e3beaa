#include "regression_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kalvo {

QIcon MakeToolIcon(ToolIcon icon) {
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPen outline(QColor(40, 40, 40), 1.2);
    p.setPen(outline);
    switch (icon) {
        case ToolIcon::Oeffnen:  // an open folder
            p.setBrush(QColor(240, 200, 80));
            p.drawPolygon(QPolygonF({{2, 5}, {8, 5}, {10, 7}, {17, 7}, {17, 16}, {2, 16}}));
            p.setBrush(QColor(250, 225, 130));
            p.drawPolygon(QPolygonF({{4, 10}, {19, 10}, {17, 16}, {2, 16}}));
            break;
        case ToolIcon::Speichern:  // a diskette
            p.setBrush(QColor(60, 90, 170));
            p.drawRect(QRectF(3, 3, 14, 14));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6, 3, 8, 5));
            p.setBrush(QColor(200, 200, 200));
            p.drawRect(QRectF(5.5, 11, 9, 6));
            break;
        case ToolIcon::Loeschen:  // a red cross over a table
            p.setBrush(Qt::white);
            p.drawRect(QRectF(3, 3, 14, 14));
            p.drawLine(QPointF(3, 8), QPointF(17, 8));
            p.drawLine(QPointF(10, 3), QPointF(10, 17));
            p.setPen(QPen(QColor(200, 0, 0), 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(5, 5), QPointF(15, 15));
            p.drawLine(QPointF(15, 5), QPointF(5, 15));
            break;
        case ToolIcon::Wiederherstellen: {  // a turning arrow
            p.setPen(QPen(QColor(0, 110, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 12, 12), 60 * 16, 270 * 16);
            p.setBrush(QColor(0, 110, 0));
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({{11, 1}, {16, 5}, {10, 8}}));
            break;
        }
        case ToolIcon::Kopieren: {  // an arrow into the constants
            p.setPen(QPen(QColor(0, 0, 160), 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(3, 10), QPointF(12, 10));
            p.setBrush(QColor(0, 0, 160));
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF({{11, 6}, {16, 10}, {11, 14}}));
            QFont f;
            f.setPixelSize(9);
            f.setBold(true);
            p.setFont(f);
            p.setPen(QColor(0, 0, 0));
            p.drawText(QRectF(0, 0, 20, 8), Qt::AlignCenter, QStringLiteral("abcd"));
            break;
        }
        case ToolIcon::Startwerte: {  // a sine wave
            p.setPen(QPen(QColor(0, 0, 160), 1.6));
            QPainterPath path;
            path.moveTo(1, 10);
            path.cubicTo(4, 1, 7, 1, 10, 10);
            path.cubicTo(13, 19, 16, 19, 19, 10);
            p.drawPath(path);
            break;
        }
    }
    return QIcon(pm);
}

}  // namespace kalvo
