#include "canvas.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalvo {

BrushStyle BrushStyleFromOrdinal(int ordinal) {
    return static_cast<BrushStyle>(std::clamp(ordinal, 0, 7));
}

int ToDevice(double p, double factor) {
    const double v = p * factor;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    if (std::isnan(v)) return std::numeric_limits<int>::min();
    if (v <= lo) return std::numeric_limits<int>::min();
    if (v >= hi) return std::numeric_limits<int>::max();
    return static_cast<int>(std::nearbyint(v));
}

QColor ToQColor(Color c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF), static_cast<int>((c >> 16) & 0xFF));
}

Color FromQColor(const QColor& c) {
    return static_cast<Color>(c.red()) | (static_cast<Color>(c.green()) << 8) | (static_cast<Color>(c.blue()) << 16);
}

QFont ToQFont(const CanvasFont& font, double dpi) {
    QFont f(QString::fromStdString(font.name));
    const double px = std::clamp(static_cast<double>(font.size), 1.0, 2000.0) * dpi / 72.0;
    f.setPixelSize(std::max(1, static_cast<int>(std::nearbyint(std::min(px, 1e5)))));
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setUnderline(font.underline);
    f.setStrikeOut(font.strikeOut);
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

CanvasSize MeasureText(const CanvasFont& font, std::string_view utf8, double dpi) {
    const QFontMetrics fm(ToQFont(font, dpi));
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return CanvasSize{fm.horizontalAdvance(s), fm.height()};
}

void Canvas::Polyline(std::span<const CanvasPoint> points) {
    FlushPath();
    if (points.size() > 1) DoPolyline(points);
}

void Canvas::Polygon(std::span<const CanvasPoint> points) {
    FlushPath();
    if (points.size() > 1) DoPolygon(points);
}

static CanvasRect Normalized(int x1, int y1, int x2, int y2) {
    return CanvasRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    FlushPath();
    DoRectangle(Normalized(x1, y1, x2, y2));
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    FlushPath();
    DoEllipse(Normalized(x1, y1, x2, y2));
}

void Canvas::FillRect(const CanvasRect& r) {
    FlushPath();
    DoFillRect(Normalized(r.left, r.top, r.right, r.bottom));
}

void Canvas::TextOut(int x, int y, std::string_view utf8) {
    FlushPath();
    if (!utf8.empty()) DoText(x, y, utf8, nullptr);
}

void Canvas::TextRect(const CanvasRect& r, int x, int y, std::string_view utf8) {
    FlushPath();
    const CanvasRect n = Normalized(r.left, r.top, r.right, r.bottom);
    DoText(x, y, utf8, &n);
}

CanvasSize Canvas::TextExtent(std::string_view utf8) { return DoTextExtent(utf8); }

void Canvas::SetClipRect(const CanvasRect& r) {
    FlushPath();
    const CanvasRect n = Normalized(r.left, r.top, r.right, r.bottom);
    DoClip(&n);
}

void Canvas::ClearClipRect() {
    FlushPath();
    DoClip(nullptr);
}

}  // namespace kalvo
