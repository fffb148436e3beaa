#include "canvas.h"

#include <QColor>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <unordered_map>

namespace kalvo {

void ClearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool avx = __builtin_cpu_supports("avx");
    if (avx) asm volatile("vzeroupper");
#endif
}

BrushStyle BrushStyleFromOrdinal(int ordinal) {
    return static_cast<BrushStyle>(std::clamp(ordinal, 0, 7));
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

QString InstalledFamily(const QString& family) {
    // The stand-ins as fontconfig's metric aliases have them.
    static constexpr std::pair<const char*, const char*> kStandIns[] = {
        {"Arial", "Liberation Sans"},
        {"Courier New", "Liberation Mono"},
        {"Times New Roman", "Liberation Serif"},
    };
    const auto named = std::find_if(std::begin(kStandIns), std::end(kStandIns), [&](const auto& s) {
        return family.compare(QLatin1String(s.first), Qt::CaseInsensitive) == 0;
    });
    if (named == std::end(kStandIns) || !qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return family;
    const QString standIn = QString::fromLatin1(named->second);
    // Whether each stand-in is taken, found out once (fonts live in the GUI
    // thread, and so does this).
    enum class Use : char { Unknown, Name, StandIn };
    static Use use[std::size(kStandIns)] = {};
    Use& u = use[named - std::begin(kStandIns)];
    if (u == Use::Unknown) {
        const QStringList installed = QFontDatabase::families();
        u = !installed.contains(family, Qt::CaseInsensitive) && installed.contains(standIn, Qt::CaseInsensitive)
                ? Use::StandIn
                : Use::Name;
    }
    return u == Use::StandIn ? standIn : family;
}

CanvasSize MeasureText(const CanvasFont& font, std::string_view utf8, double dpi) {
    // The same labels are measured in the same font at every redraw; finding
    // the font and shaping the text cost far more than looking them up.
    struct Cache {
        CanvasFont font;
        double dpi = 0;
        QFontMetrics metrics{QFont()};
        std::unordered_map<std::string, int> widths;
    };
    // Never destroyed: fonts must not outlive the application object.
    static Cache* const cache = new Cache;
    if (!(cache->font == font) || cache->dpi != dpi) {
        QFont measured = ToQFont(font, dpi);
        measured.setFamily(InstalledFamily(measured.family()));
        cache->metrics = QFontMetrics(measured);
        cache->font = font;
        cache->dpi = dpi;
        cache->widths.clear();
    }
    const int height = cache->metrics.height();
    if (utf8.empty()) return CanvasSize{0, height};
    std::string key(utf8);
    auto it = cache->widths.find(key);
    if (it != cache->widths.end()) return CanvasSize{it->second, height};
    const int width =
        cache->metrics.horizontalAdvance(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    ClearUpperVectorState();
    if (cache->widths.size() > 4096) cache->widths.clear();
    cache->widths.emplace(std::move(key), width);
    return CanvasSize{width, height};
}

void Canvas::Polyline(std::span<const CanvasPoint> points) {
    FlushPath();
    CountLines(points);
    if (points.size() > 1) DoPolyline(points);
}

void Canvas::Polygon(std::span<const CanvasPoint> points) {
    FlushPath();
    CountLines(points);
    if (!points.empty()) {
        const auto [left, right] = std::minmax_element(points.begin(), points.end(),
                                                       [](CanvasPoint a, CanvasPoint b) { return a.x < b.x; });
        const auto [top, bottom] = std::minmax_element(points.begin(), points.end(),
                                                       [](CanvasPoint a, CanvasPoint b) { return a.y < b.y; });
        CountFill(static_cast<long long>(right->x) - left->x, static_cast<long long>(bottom->y) - top->y);
    }
    if (points.size() > 1) DoPolygon(points);
}

static CanvasRect Normalized(int x1, int y1, int x2, int y2) {
    return CanvasRect{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

void Canvas::Rectangle(int x1, int y1, int x2, int y2) {
    FlushPath();
    const CanvasRect r = Normalized(x1, y1, x2, y2);
    CountFill(static_cast<long long>(r.right) - r.left, static_cast<long long>(r.bottom) - r.top);
    const CanvasPoint corners[] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}, {r.left, r.top}};
    CountLines(corners);
    DoRectangle(r);
}

void Canvas::Ellipse(int x1, int y1, int x2, int y2) {
    FlushPath();
    const CanvasRect r = Normalized(x1, y1, x2, y2);
    CountFill(static_cast<long long>(r.right) - r.left, static_cast<long long>(r.bottom) - r.top);
    DoEllipse(r);
}

void Canvas::FillRect(const CanvasRect& r) {
    FlushPath();
    const CanvasRect n = Normalized(r.left, r.top, r.right, r.bottom);
    CountFill(static_cast<long long>(n.right) - n.left, static_cast<long long>(n.bottom) - n.top);
    DoFillRect(n);
}

void Canvas::TextOut(int x, int y, std::string_view utf8) {
    FlushPath();
    CountText(utf8);
    if (!utf8.empty()) DoText(x, y, utf8, nullptr);
}

void Canvas::TextRect(const CanvasRect& r, int x, int y, std::string_view utf8) {
    FlushPath();
    const CanvasRect n = Normalized(r.left, r.top, r.right, r.bottom);
    CountText(utf8);
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
