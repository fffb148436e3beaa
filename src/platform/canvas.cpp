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

namespace {

// How far a point of a thinned polyline may lie beyond the box of the line
// that stands for it: rounding noise, not a turn of the curve.
constexpr double kTurnSlack = 1e-6;

double Cross(double ax, double ay, double bx, double by) { return ax * by - ay * bx; }

}  // namespace

void Canvas::KeepPending() {
    Thinning& t = thin_;
    if (path_.empty() || !(path_.back() == t.b)) path_.push_back(t.b);
    t.ax = t.bx;
    t.ay = t.by;
    t.pending = false;
}

// The run after the anchor is stood for by one line to its last point as
// long as every point of it lies within the tolerance of that line: within
// it of the ray from the anchor (the directions left..right hold every ray
// that passes close enough to each point farther out), and inside the box
// of the line, so that none lies beyond either end. A point where the
// curve turns back lies outside that box and stays.
void Canvas::ThinnedLineTo(double x, double y, CanvasPoint p) {
    if (path_.empty()) path_.push_back(pos_);
    if (!(p == pos_)) CountLine(pos_, p);
    Thinning& t = thin_;
    // The box may lie kTurnSlack beyond the line's ends; the cone is the
    // narrower for it, so that no point lies farther than the tolerance.
    const double cone = std::max(0.0, tolerance_ - 2 * kTurnSlack);
    bool covered = false;
    if (!t.pending) {
        t.ax = exactX_;
        t.ay = exactY_;
    } else {
        const double dx = x - t.ax, dy = y - t.ay;
        covered = t.minX >= std::min(t.ax, x) - kTurnSlack && t.maxX <= std::max(t.ax, x) + kTurnSlack &&
                  t.minY >= std::min(t.ay, y) - kTurnSlack && t.maxY <= std::max(t.ay, y) + kTurnSlack;
        if (covered && t.cone)
            covered = dx * dx + dy * dy > cone * cone && Cross(t.rx, t.ry, dx, dy) >= 0 &&
                      Cross(dx, dy, t.lx, t.ly) >= 0;
        if (!covered) {
            KeepPending();
            if (path_.size() >= kMaxPathPoints) FlushPath();
        }
    }
    if (covered) {
        t.minX = std::min(t.minX, x);
        t.maxX = std::max(t.maxX, x);
        t.minY = std::min(t.minY, y);
        t.maxY = std::max(t.maxY, y);
    } else {
        t.cone = false;
        t.minX = t.maxX = x;
        t.minY = t.maxY = y;
    }
    t.pending = true;
    t.bx = x;
    t.by = y;
    t.b = p;
    // The rays that pass within the tolerance of this point, if it lies
    // beyond it, narrow the directions the line may take.
    const double dx = x - t.ax, dy = y - t.ay;
    const double d2 = dx * dx + dy * dy;
    if (d2 > cone * cone && std::isfinite(d2)) {
        // The two tangents from the anchor to the circle of the tolerance
        // around the point, d turned either way by the angle whose sine is
        // cone / |d| (both as long as d times |d|).
        const double h = std::sqrt(d2 - cone * cone);
        const double lx = dx * h - dy * cone, ly = dy * h + dx * cone;
        const double rx = dx * h + dy * cone, ry = dy * h - dx * cone;
        if (!t.cone) {
            t.lx = lx, t.ly = ly, t.rx = rx, t.ry = ry;
            t.cone = true;
        } else {
            if (Cross(t.lx, t.ly, lx, ly) < 0) t.lx = lx, t.ly = ly;
            if (Cross(t.rx, t.ry, rx, ry) > 0) t.rx = rx, t.ry = ry;
        }
    }
    pos_ = p;
    exactX_ = x;
    exactY_ = y;
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
