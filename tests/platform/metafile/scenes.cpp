#include "scenes.h"

#include <QPainterPath>

#include <cmath>

namespace kalvo::test {

ReferenceScene DrawReferenceScene(QPainter& p, double f) {
    ReferenceScene s;
    const QRectF plot(20 * f, 20 * f, 360 * f, 360 * f);
    s.xAxis = QLineF(plot.left(), 200 * f, plot.right(), 200 * f);
    s.yAxis = QLineF(200 * f, plot.top(), 200 * f, plot.bottom());

    p.setPen(QPen(QColor(160, 160, 160), 1, Qt::DotLine));
    for (int i = 1; i < 8; ++i) {
        p.drawLine(QPointF(i * 50 * f, plot.top()), QPointF(i * 50 * f, plot.bottom()));
        p.drawLine(QPointF(plot.left(), i * 50 * f), QPointF(plot.right(), i * 50 * f));
    }
    p.setPen(QPen(Qt::black, f));
    p.drawLine(s.xAxis);
    p.drawLine(s.yAxis);

    for (int i = 0; i < 2000; ++i) {
        const double x = 10 + 380.0 * i / 1999;  // starts and ends outside the plot: clipped
        s.curve.emplace_back(x * f, (200 - 120 * std::sin((x - 200) / 30)) * f);
    }
    p.setClipRect(plot);
    p.setPen(QPen(Qt::red, 2 * f));
    p.drawPolyline(s.curve.data(), static_cast<int>(s.curve.size()));
    p.setClipping(false);

    static constexpr Qt::BrushStyle kHatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                  Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    p.setPen(QPen(Qt::blue, f));
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QBrush(Qt::blue, kHatches[i]));
        const double x = 30 + i * 55;
        const QPointF tri[3] = {{x * f, 300 * f}, {(x + 45) * f, 300 * f}, {(x + 22) * f, 360 * f}};
        p.drawPolygon(tri, 3);
    }
    p.setBrush(QColor(0, 160, 0));
    p.drawEllipse(QRectF(300 * f, 40 * f, 60 * f, 40 * f));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(100 * f, 250 * f), 20 * f, 20 * f);

    p.setPen(Qt::black);
    s.labels.push_back({QStringLiteral("Schnittpunkt ä ß"), QPointF(40 * f, 60 * f)});
    s.labels.push_back({QStringLiteral("π=3,14 αβγ ΔΩ"), QPointF(40 * f, 90 * f), true});
    for (const SceneLabel& l : s.labels) {
        // Label sizes scale with the output factor and the export's 1.1, as the graph's do.
        p.setFont(QFont(l.greek ? "Courier New" : "Arial", static_cast<int>(std::lround(10 * f * 1.1))));
        p.drawText(l.baseline, l.text);
    }
    return s;
}

std::vector<QRect> DrawDottedGridScene(QPainter& p, QColor color) {
    constexpr int kPen = 3, kPeriod = 3 * kPen, kStep = 60;
    // Lines of 199 periods and one dot: every dot whole, the last at the far end.
    constexpr int kNear = kGridSceneSize - kPen, kFar = kNear - 199 * kPeriod - kPen;
    QPen pen(color, kPen, Qt::DotLine);
    pen.setCapStyle(Qt::RoundCap);  // as the canvas sets it; dots stay square all the same
    p.setPen(pen);
    std::vector<QRect> dots;
    for (int x = kStep; x < kGridSceneSize; x += kStep) {
        p.drawLine(x, kNear, x, kFar);
        for (int y = kNear; y > kFar; y -= kPeriod) dots.emplace_back(x - 1, y - kPen, kPen, kPen);
    }
    for (int y = kStep; y < kGridSceneSize; y += kStep) {
        p.drawLine(kFar, y, kNear, y);
        for (int x = kFar; x < kNear; x += kPeriod) dots.emplace_back(x, y - 1, kPen, kPen);
    }
    return dots;
}

void DrawPolygonScene(QPainter& p, int columns, int rows) {
    const double cw = 0.6 * kPolygonSceneWidth / columns, rh = 0.5 * kPolygonSceneHeight / rows;
    auto height = [](double u, double v) { return 60 * std::sin(u * 0.07) * std::cos(v * 0.11); };
    auto at = [&](int i, int j) {
        // A slanted view: rows move up and to the right, heights lift the points.
        return QPointF(100 + i * cw + j * 0.6 * cw, 650 - j * rh - height(i, j));
    };
    p.setPen(QPen(QColor(40, 40, 40), 0));
    for (int j = rows - 1; j >= 0; --j) {  // back to front
        for (int i = 0; i < columns; ++i) {
            const QPointF quad[4] = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            const double slope = height(i + 1, j) - height(i, j);
            const int light = static_cast<int>(std::clamp(128 + slope * 40, 0.0, 255.0));
            p.setBrush(QColor(light, (light + i) % 256, 255 - light));
            p.drawPolygon(quad, 4);
        }
    }
}

}  // namespace kalvo::test
