#include "metafile_recorder.h"

#include "gdi_picture.h"

#include <QFontMetricsF>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPixmap>
#include <QTextItem>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace kalvo {

namespace {

using namespace gdi;

constexpr int kDpi = 96;
// Beyond this many dashes in one line a styled pen is written as GDI's own
// style instead of its dashes (no picture of the program comes near it).
constexpr std::size_t kMaxDashes = 200000;
// A record of dashes that several lines share stays within what 16-bit
// readers count (WMF has 16-bit counts), and the lines it holds are few
// enough that checking a new one against them all is cheap.
constexpr std::uint32_t kMaxDashRecordParts = 8000;
constexpr std::uint32_t kMaxDashRecordPoints = 32000;
constexpr std::size_t kMaxDashRecordLines = 256;
// Far beyond any picture, yet safe from overflow when the writers add pen widths.
constexpr double kCoordLimit = 1 << 27;

std::int32_t ToDevice(double v) {
    if (std::isnan(v)) return static_cast<std::int32_t>(kCoordLimit);
    v = std::clamp(v, -kCoordLimit, kCoordLimit);
    return static_cast<std::int32_t>(std::nearbyint(v));
}

std::uint16_t HatchOf(Qt::BrushStyle s) {
    switch (s) {
        case Qt::HorPattern: return HS_HORIZONTAL;
        case Qt::VerPattern: return HS_VERTICAL;
        case Qt::FDiagPattern: return HS_FDIAGONAL;
        case Qt::BDiagPattern: return HS_BDIAGONAL;
        case Qt::CrossPattern: return HS_CROSS;
        default: return HS_DIAGCROSS;
    }
}

QColor BrushColor(const QBrush& b) {
    if (const QGradient* g = b.gradient(); g && !g->stops().isEmpty()) return g->stops().front().second;
    return b.color();
}

template <class T, class H>
std::int32_t Intern(std::vector<T>& table, std::unordered_map<T, std::int32_t, H>& index, const T& value) {
    auto [it, added] = index.try_emplace(value, static_cast<std::int32_t>(table.size()));
    if (added) table.push_back(value);
    return it->second;
}

}  // namespace

// Named, not anonymous: the recorder's engine keeps tables keyed by them.
namespace recorder_hash {

struct PenHash {
    size_t operator()(const LogPen& p) const { return p.style * 0x9E3779B1u ^ p.width * 31u ^ p.color * 0x85EBCA6Bu; }
};
struct BrushHash {
    size_t operator()(const LogBrush& b) const { return b.style * 0x9E3779B1u ^ b.hatch * 31u ^ b.color * 0x85EBCA6Bu; }
};
struct FontHash {
    size_t operator()(const LogFont& f) const {
        return qHash(f.face) ^ static_cast<size_t>(f.height) * 0x9E3779B1u ^ static_cast<size_t>(f.escapement) * 131u ^
               static_cast<size_t>(f.weight) * 17u ^ (f.italic ? 1u : 0u) ^ (f.underline ? 2u : 0u) ^
               (f.strikeOut ? 4u : 0u) ^ static_cast<size_t>(f.charset) << 8;
    }
};

}  // namespace recorder_hash

class MetafileRecorder::Engine : public QPaintEngine {
public:
    explicit Engine(gdi::Picture& picture) : QPaintEngine(AllFeatures), pic_(picture) {}

    std::uint8_t charset = ANSI_CHARSET;

    bool begin(QPaintDevice* device) override {
        device_ = device;
        clip_.reset();
        clipEnabled_ = false;
        skipDecorationLines_ = 0;
        penIndex_ = brushIndex_ = -1;
        dashRun_ = {};
        return true;
    }

    bool end() override {
        device_ = nullptr;
        return true;
    }

    Type type() const override { return User; }

    void updateState(const QPaintEngineState& st) override {
        const DirtyFlags f = st.state();
        // The transform first: a replayed clip arrives together with the transform it was set under.
        if (f & DirtyTransform) {
            m_ = st.transform();
            penIndex_ = -1;  // pen widths scale with it
        }
        if (f & DirtyPen) {
            pen_ = st.pen();
            penIndex_ = -1;
        }
        if (f & DirtyBrush) {
            brush_ = st.brush();
            brushIndex_ = -1;
        }
        if (f & DirtyClipPath) {
            ApplyClip(st.clipOperation(), st.clipPath().boundingRect());
        } else if (f & DirtyClipRegion) {
            ApplyClip(st.clipOperation(), QRectF(st.clipRegion().boundingRect()));
        }
        if (f & DirtyClipEnabled) clipEnabled_ = st.isClipEnabled();
    }

    void drawRects(const QRectF* rects, int count) override {
        skipDecorationLines_ = 0;
        for (int i = 0; i < count; ++i) {
            const QRectF& r = rects[i];
            if (AxisAligned()) {
                AddBox(OpKind::Rectangle, m_.mapRect(r.normalized()));
            } else {
                const QPointF corners[4] = {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()};
                AddPoly(OpKind::Polygon, corners, 4, FILL_ALTERNATE);
            }
        }
    }
    void drawRects(const QRect* rects, int count) override {
        for (int i = 0; i < count; ++i) {
            QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }

    void drawLines(const QLineF* lines, int count) override {
        if (skipDecorationLines_ > 0 && count == 1 && lines[0].y1() == lines[0].y2()) {
            // Underline and strike-out of the text just recorded: the font carries them.
            --skipDecorationLines_;
            return;
        }
        skipDecorationLines_ = 0;
        if (count <= 0 || pen_.style() == Qt::NoPen) return;
        if (count == 1 || DrawnAsDashes()) {
            for (int i = 0; i < count; ++i) {
                const QPointF pts[2] = {lines[i].p1(), lines[i].p2()};
                AddPoly(OpKind::Polyline, pts, 2, FILL_ALTERNATE);
            }
            return;
        }
        const std::uint32_t firstPoint = static_cast<std::uint32_t>(pic_.points.size());
        const std::uint32_t firstCount = static_cast<std::uint32_t>(pic_.polyCounts.size());
        for (int i = 0; i < count; ++i) {
            const QPointF pts[2] = {lines[i].p1(), lines[i].p2()};
            pic_.polyCounts.push_back(AppendPoints(pts, 2, false));
        }
        FinishPolyPoly(OpKind::PolyPolyline, firstPoint, firstCount, count);
    }
    void drawLines(const QLine* lines, int count) override {
        std::vector<QLineF> f(lines, lines + count);
        drawLines(f.data(), count);
    }

    void drawEllipse(const QRectF& r) override {
        skipDecorationLines_ = 0;
        if (AxisAligned()) {
            AddBox(OpKind::Ellipse, m_.mapRect(r.normalized()));
        } else {
            QPainterPath path;
            path.addEllipse(r);
            drawPath(path);
        }
    }
    void drawEllipse(const QRect& r) override { drawEllipse(QRectF(r)); }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        skipDecorationLines_ = 0;
        if (mode == PolylineMode) {
            if (pen_.style() != Qt::NoPen) AddPoly(OpKind::Polyline, points, count, FILL_ALTERNATE);
        } else {
            AddPoly(OpKind::Polygon, points, count, mode == WindingMode ? FILL_WINDING : FILL_ALTERNATE);
        }
    }
    void drawPolygon(const QPoint* points, int count, PolygonDrawMode mode) override {
        std::vector<QPointF> f(points, points + count);
        drawPolygon(f.data(), count, mode);
    }

    void drawPath(const QPainterPath& path) override {
        skipDecorationLines_ = 0;
        // Curves are flattened in logical units; the transform is applied per point below,
        // so a scaled painter does not get coarse curves.
        const QList<QPolygonF> parts = path.toSubpathPolygons();
        if (parts.isEmpty()) return;
        const std::uint16_t fill = path.fillRule() == Qt::WindingFill ? FILL_WINDING : FILL_ALTERNATE;
        bool allClosed = true;
        for (const QPolygonF& p : parts) allClosed = allClosed && p.size() > 2 && p.isClosed();
        if (allClosed) {
            AddPolyPolygon(parts, fill);
            return;
        }
        // Open parts: fill without outline (GDI would close the outlines), then stroke as lines.
        if (brush_.style() != Qt::NoBrush) {
            QPen saved = pen_;
            pen_ = QPen(Qt::NoPen);
            penIndex_ = -1;
            AddPolyPolygon(parts, fill);
            pen_ = saved;
            penIndex_ = -1;
        }
        if (pen_.style() == Qt::NoPen) return;
        for (const QPolygonF& p : parts) AddPoly(OpKind::Polyline, p.constData(), static_cast<int>(p.size()), fill);
    }

    void drawPoints(const QPointF* points, int count) override {
        skipDecorationLines_ = 0;
        if (pen_.style() == Qt::NoPen || count <= 0) return;
        const std::uint32_t st = StateIndex(Needs::Nothing);
        const Color color = FromQColor(pen_.color());
        for (int i = 0; i < count; ++i) {
            const QPointF d = m_.map(points[i]);
            const QPoint p(ToDevice(d.x()), ToDevice(d.y()));
            pic_.points.push_back(p);
            pic_.ops.push_back({OpKind::Pixel, st, static_cast<std::uint32_t>(pic_.points.size() - 1), color, 0});
            AddBounds({p.x(), p.y(), p.x(), p.y()});
        }
    }
    void drawPoints(const QPoint* points, int count) override {
        std::vector<QPointF> f(points, points + count);
        drawPoints(f.data(), count);
    }

    void drawPixmap(const QRectF& r, const QPixmap& pm, const QRectF& sr) override {
        drawImage(r, pm.toImage(), sr, Qt::AutoColor);
    }

    void drawImage(const QRectF& r, const QImage& image, const QRectF& sr, Qt::ImageConversionFlags) override {
        skipDecorationLines_ = 0;
        if (image.isNull()) return;
        QImage part = image.copy(sr.toAlignedRect());
        if (part.isNull()) return;
        // Metafiles have no transparency: flatten on white as a page would show it.
        QImage flat(part.size(), QImage::Format_RGB32);
        flat.fill(Qt::white);
        {
            QPainter p(&flat);
            p.drawImage(0, 0, part);
        }
        const QRectF d = m_.mapRect(r);
        const RectL dest{ToDevice(d.left()), ToDevice(d.top()), ToDevice(d.right()), ToDevice(d.bottom())};
        if (dest.right <= dest.left || dest.bottom <= dest.top) return;
        const std::uint32_t st = StateIndex(Needs::Nothing);
        pic_.images.push_back({dest, flat});
        pic_.ops.push_back({OpKind::Image, st, static_cast<std::uint32_t>(pic_.images.size() - 1), 0, 0});
        AddBounds({dest.left, dest.top, dest.right - 1, dest.bottom - 1});
    }

    void drawTextItem(const QPointF& p, const QTextItem& ti) override {
        skipDecorationLines_ = 0;
        const QString text = ti.text();
        if (text.isEmpty() || pen_.style() == Qt::NoPen || !device_) return;
        const QFont font = ti.font();
        const bool overline = ti.renderFlags() & QTextItem::Overline;
        const bool underline = !overline && (ti.renderFlags() & QTextItem::Underline);
        const bool strikeOut = !overline && (ti.renderFlags() & QTextItem::StrikeOut);

        // Along the baseline and across it, the transform may scale differently.
        const double sx = std::hypot(m_.m11(), m_.m12());
        const double sy = std::hypot(m_.m21(), m_.m22());
        LogFont logFont;
        logFont.face = font.family();
        double px = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kDpi / 72.0;
        logFont.height = -std::max(1, ToDevice(px * sy));
        logFont.escapement = ToDevice(-std::atan2(m_.m12(), m_.m11()) * 1800.0 / std::numbers::pi);
        logFont.weight = std::clamp(static_cast<int>(font.weight()), 1, 1000);
        logFont.italic = font.italic();
        logFont.underline = underline;
        logFont.strikeOut = strikeOut;
        logFont.charset = charset;
        fontIndex_ = Intern(pic_.fonts, fontIndexOf_, logFont);

        TextRun run;
        const QPointF o = m_.map(p);
        run.origin = QPoint(ToDevice(o.x()), ToDevice(o.y()));
        run.text = text;
        run.dx.reserve(text.size());
        QFontMetricsF fm(font, device_);
        double pos = 0;
        std::int32_t placed = 0;
        for (int i = 0; i < text.size(); ++i) {
            if (text[i].isHighSurrogate() && i + 1 < text.size()) {
                pos += fm.horizontalAdvance(text.mid(i, 2)) * sx;
            } else if (!text[i].isLowSurrogate() || i == 0 || !text[i - 1].isHighSurrogate()) {
                pos += fm.horizontalAdvance(text[i]) * sx;
            }
            const std::int32_t next = ToDevice(pos);
            run.dx.push_back(next - placed);
            placed = next;
        }
        const std::uint32_t st = StateIndex(Needs::Text);
        pic_.texts.push_back(std::move(run));
        pic_.ops.push_back({OpKind::Text, st, static_cast<std::uint32_t>(pic_.texts.size() - 1), 0, 0});
        AddBoundsF(m_.mapRect(QRectF(p.x(), p.y() - ti.ascent(), std::max(ti.width(), 1.0), ti.ascent() + ti.descent())));
        if (underline || strikeOut) skipDecorationLines_ = (underline ? 1 : 0) + (strikeOut ? 1 : 0);
    }

private:
    enum class Needs { Nothing, Line, Fill, Text };

    bool AxisAligned() const { return m_.type() <= QTransform::TxScale; }

    // GDI clips to rectangles here; a clip of another shape (or a turned one) becomes
    // the rectangle around it.
    void ApplyClip(Qt::ClipOperation op, const QRectF& logical) {
        if (op == Qt::NoClip) {
            clip_.reset();
            return;
        }
        const QRectF d = m_.mapRect(logical);
        RectL r{ToDevice(d.left()), ToDevice(d.top()), ToDevice(d.right()), ToDevice(d.bottom())};
        if (op == Qt::IntersectClip && clip_) {
            r.left = std::max(r.left, clip_->left);
            r.top = std::max(r.top, clip_->top);
            r.right = std::min(r.right, clip_->right);
            r.bottom = std::min(r.bottom, clip_->bottom);
        }
        // An empty clip shows nothing, as in Qt; GDI wants the edges in order for that.
        if (r.right < r.left) r.right = r.left;
        if (r.bottom < r.top) r.bottom = r.top;
        clip_ = r;
    }

    std::int32_t PenIndex() {
        if (penIndex_ >= 0) return penIndex_;
        LogPen logPen;
        const Qt::PenStyle style = pen_.style();
        if (style == Qt::NoPen || pen_.brush().style() == Qt::NoBrush || pen_.color().alpha() == 0) {
            logPen.style = PS_NULL;
        } else {
            switch (style) {
                case Qt::DashLine: logPen.style = PS_DASH; break;
                case Qt::DotLine: logPen.style = PS_DOT; break;
                case Qt::DashDotLine: logPen.style = PS_DASHDOT; break;
                case Qt::DashDotDotLine: logPen.style = PS_DASHDOTDOT; break;
                case Qt::CustomDashLine: logPen.style = PS_DASH; break;
                default: logPen.style = PS_SOLID; break;
            }
            double w = pen_.widthF();
            if (!pen_.isCosmetic()) w *= std::sqrt(std::abs(m_.determinant()));
            logPen.width = std::max(0, ToDevice(w));
            logPen.color = FromQColor(BrushColor(pen_.brush()));
        }
        penIndex_ = Intern(pic_.pens, penIndexOf_, logPen);
        return penIndex_;
    }

    std::int32_t BrushIndex() {
        if (brushIndex_ >= 0) return brushIndex_;
        LogBrush logBrush;
        const Qt::BrushStyle style = brush_.style();
        if (style == Qt::NoBrush || BrushColor(brush_).alpha() == 0) {
            logBrush.style = BS_NULL;
        } else if (style >= Qt::HorPattern && style <= Qt::DiagCrossPattern) {
            logBrush.style = BS_HATCHED;
            logBrush.hatch = HatchOf(style);
            logBrush.color = FromQColor(brush_.color());
        } else {
            // Dense patterns, gradients and textures have no metafile brush: their colour stands in.
            logBrush.style = BS_SOLID;
            logBrush.color = FromQColor(BrushColor(brush_));
        }
        brushIndex_ = Intern(pic_.brushes, brushIndexOf_, logBrush);
        return brushIndex_;
    }

    // The state an operation is drawn with; only what it needs is brought up to date, so
    // that a text does not force a pen into the file. fill 0 leaves the fill mode.
    std::uint32_t StateIndex(Needs needs, std::uint16_t fill = 0) {
        DcState s = pic_.states.empty() ? DcState{} : pic_.states.back();
        // Every state names a pen, so that the bounds of any operation can read its width.
        if (needs != Needs::Text || s.pen < 0) s.pen = PenIndex();
        if (needs == Needs::Fill) s.brush = BrushIndex();
        if (fill != 0) s.fillMode = fill;
        if (needs == Needs::Text) {
            s.font = fontIndex_;
            s.textColor = FromQColor(BrushColor(pen_.brush()));
        }
        // QPainter keeps the background out of the dirty flags it sends, so it is read here.
        if (state) {
            s.bkMode = state->backgroundMode() == Qt::OpaqueMode ? BKMODE_OPAQUE : BKMODE_TRANSPARENT;
            s.bkColor = FromQColor(state->backgroundBrush().color());
        }
        s.clip = -1;
        if (clip_ && clipEnabled_) {
            if (pic_.clips.empty() || !(pic_.clips.back() == *clip_)) pic_.clips.push_back(*clip_);
            s.clip = static_cast<std::int32_t>(pic_.clips.size() - 1);
            // The same rectangle set again is the same clip.
            if (!pic_.states.empty() && pic_.states.back().clip >= 0 &&
                pic_.clips[pic_.states.back().clip] == *clip_)
                s.clip = pic_.states.back().clip;
        }
        if (pic_.states.empty() || !(pic_.states.back() == s)) pic_.states.push_back(s);
        return static_cast<std::uint32_t>(pic_.states.size() - 1);
    }

    // Appends the device points, leaving out repeats of the previous point; returns how many.
    std::uint32_t AppendPoints(const QPointF* pts, int count, bool closed) {
        const size_t start = pic_.points.size();
        for (int i = 0; i < count; ++i) {
            const QPointF d = m_.map(pts[i]);
            const QPoint q(ToDevice(d.x()), ToDevice(d.y()));
            if (pic_.points.size() > start && pic_.points.back() == q) continue;
            pic_.points.push_back(q);
        }
        if (closed && pic_.points.size() - start > 2 && pic_.points.back() == pic_.points[start]) pic_.points.pop_back();
        // A line of one repeated point is still a line (a dot where Qt draws one).
        if (pic_.points.size() - start == 1) pic_.points.push_back(pic_.points.back());
        return static_cast<std::uint32_t>(pic_.points.size() - start);
    }

    void AddPoly(OpKind kind, const QPointF* pts, int count, std::uint16_t fill) {
        if (count < 2) return;
        if (DrawnAsDashes() && (kind == OpKind::Polyline || kind == OpKind::Polygon)) {
            std::vector<QPointF> line(pts, pts + count);
            if (kind == OpKind::Polygon) {
                // The area without its outline, then the outline's dashes.
                const QPen saved = pen_;
                pen_ = QPen(Qt::NoPen);
                penIndex_ = -1;
                AddPoly(OpKind::Polygon, pts, count, fill);
                pen_ = saved;
                penIndex_ = -1;
                line.push_back(pts[0]);
            }
            if (AddDashes(line)) return;
        }
        const std::uint32_t first = static_cast<std::uint32_t>(pic_.points.size());
        const std::uint32_t n = AppendPoints(pts, count, kind == OpKind::Polygon);
        if (kind == OpKind::Polygon) {
            PushFill({kind, 0, first, n, 0}, fill);
        } else if (pic_.pens[PenIndex()].style != PS_NULL) {
            const std::uint32_t st = StateIndex(Needs::Line);
            pic_.ops.push_back({kind, st, first, n, 0});
            AddPointBounds(first, n, st);
        } else {
            pic_.points.resize(first);  // an invisible line
        }
    }

    // The width of the current pen in device pixels.
    double PenWidthOnDevice() const {
        double w = pen_.widthF();
        if (w <= 0) return 1;
        if (!pen_.isCosmetic()) w *= std::sqrt(std::abs(m_.determinant()));
        return w;
    }

    // Office programs draw a dotted or dashed pen wider than one pixel solid
    // (GDI's rule), or with dashes of their own length; so such a line goes
    // in as its dashes, each a filled piece of the pen's width, laid out as
    // Qt lays them out on the screen.
    bool DrawnAsDashes() const {
        const Qt::PenStyle style = pen_.style();
        return style != Qt::NoPen && style != Qt::SolidLine && pen_.brush().style() != Qt::NoBrush &&
               pen_.color().alpha() != 0 && ToDevice(PenWidthOnDevice()) > 1;
    }

    // The dashes of the pen along the line (logical points); false, with
    // nothing recorded, when the line has too many of them. The pieces go
    // straight into the picture's points; see AddDashOp for their record.
    bool AddDashes(const std::vector<QPointF>& logical) {
        const double w = PenWidthOnDevice();
        std::vector<double> pattern;
        for (double d : pen_.dashPattern()) pattern.push_back(std::max(0.0, d) * w);
        double period = 0;
        for (double d : pattern) period += d;
        if (pattern.size() < 2 || !(period > 0) || !std::isfinite(period)) return false;
        std::vector<QPointF> line;
        line.reserve(logical.size());
        double length = 0;
        for (const QPointF& q : logical) {
            line.push_back(m_.map(q));
            if (line.size() > 1) length += QLineF(line[line.size() - 2], line.back()).length();
        }
        const double dashes = length / period * static_cast<double>(pattern.size() / 2);
        if (!std::isfinite(length) || dashes > kMaxDashes) return false;

        const std::uint32_t firstPoint = static_cast<std::uint32_t>(pic_.points.size());
        const std::uint32_t firstCount = static_cast<std::uint32_t>(pic_.polyCounts.size());
        const size_t pieces = static_cast<size_t>(dashes) + line.size() + 1;
        Reserve(pic_.points, 4 * pieces);
        Reserve(pic_.polyCounts, pieces);
        const double half = w / 2;
        // Halves round up, so that every piece is as wide as the pen.
        auto pixel = [](QPointF p) {
            return QPoint(ToDevice(std::floor(p.x() + 0.5)), ToDevice(std::floor(p.y() + 0.5)));
        };
        auto piece = [&](QPointF a, QPointF b) {
            const QLineF l(a, b);
            const double len = l.length();
            if (len <= 0) return;
            const QPointF n = QPointF(-l.dy(), l.dx()) * (half / len);
            const QPoint corners[4] = {pixel(a + n), pixel(b + n), pixel(b - n), pixel(a - n)};
            // A piece that rounds to fewer corners keeps those that differ; a point stays a line.
            QPoint* out = &pic_.points.emplace_back(corners[0]);
            std::uint32_t count = 1;
            for (int i = 1; i < 4; ++i) {
                if (corners[i] == *out) continue;
                out = &pic_.points.emplace_back(corners[i]);
                ++count;
            }
            if (count > 2 && *out == corners[0]) {
                pic_.points.pop_back();
                --count;
            }
            if (count == 1) {
                pic_.points.push_back(corners[0]);
                ++count;
            }
            pic_.polyCounts.push_back(count);
        };
        // Where in the pattern the line starts, as Qt counts it.
        double at = std::fmod(pen_.dashOffset() * w, period);
        if (at < 0) at += period;
        size_t index = 0;
        while (at >= pattern[index]) {
            at -= pattern[index];
            index = (index + 1) % pattern.size();
        }
        double left = pattern[index] - at;  // of the current dash or gap
        for (size_t i = 0; i + 1 < line.size(); ++i) {
            QPointF a = line[i];
            const QPointF b = line[i + 1];
            double segment = QLineF(a, b).length();
            while (segment > 0) {
                const double step = std::min(left, segment);
                const QPointF c = a + (b - a) * (step / segment);
                if (index % 2 == 0) piece(a, c);
                a = c;
                segment -= step;
                left -= step;
                if (left <= 0) {
                    index = (index + 1) % pattern.size();
                    left = pattern[index];
                }
            }
        }
        if (pic_.polyCounts.size() > firstCount) AddDashOp(firstPoint, firstCount);
        return true;
    }

    // The pieces of one styled line, filled in the pen's colour without an
    // outline. They join the record of the lines just before when nothing
    // was drawn in between with another state, the record stays within its
    // limits, and no piece of theirs can overlap a piece already there: a
    // reader that fills a record even-odd would cut a hole where two pieces
    // cover each other. So a grid of dotted lines takes two records, its
    // vertical and its horizontal lines.
    void AddDashOp(std::uint32_t firstPoint, std::uint32_t firstCount) {
        const std::uint32_t parts = static_cast<std::uint32_t>(pic_.polyCounts.size()) - firstCount;
        const std::uint32_t points = static_cast<std::uint32_t>(pic_.points.size()) - firstPoint;
        RectL box{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (std::uint32_t i = firstPoint; i < firstPoint + points; ++i) {
            const QPoint& p = pic_.points[i];
            box = {std::min(box.left, p.x()), std::min(box.top, p.y()), std::max(box.right, p.x()),
                   std::max(box.bottom, p.y())};
        }

        const QPen pen = pen_;
        const QBrush brush = brush_;
        brush_ = QBrush(pen.color());
        pen_ = QPen(Qt::NoPen);
        penIndex_ = brushIndex_ = -1;
        const std::uint32_t st = StateIndex(Needs::Fill, FILL_WINDING);
        pen_ = pen;
        brush_ = brush;
        penIndex_ = brushIndex_ = -1;

        auto overlaps = [&](const RectL& r) {
            return r.left < box.right && box.left < r.right && r.top < box.bottom && box.top < r.bottom;
        };
        DashRun& run = dashRun_;
        const bool joins = !pic_.ops.empty() && run.op == pic_.ops.size() - 1 &&
                           pic_.ops[run.op].kind == OpKind::PolyPolygon && pic_.ops[run.op].state == st &&
                           run.pointEnd == firstPoint &&
                           run.countEnd == firstCount && run.parts + parts <= kMaxDashRecordParts &&
                           run.points + points <= kMaxDashRecordPoints && run.boxes.size() < kMaxDashRecordLines &&
                           std::none_of(run.boxes.begin(), run.boxes.end(), overlaps);
        if (joins) {
            pic_.ops[run.op].c += parts;
            run.parts += parts;
            run.points += points;
        } else {
            // A line too long for one record goes into several, whole pieces each.
            std::uint32_t part = firstCount, point = firstPoint;
            const std::uint32_t endCount = firstCount + parts;
            while (part < endCount) {
                const std::uint32_t recordPart = part, recordPoint = point;
                do {
                    point += pic_.polyCounts[part++];
                } while (part < endCount && part - recordPart < kMaxDashRecordParts &&
                         point - recordPoint + pic_.polyCounts[part] <= kMaxDashRecordPoints);
                pic_.ops.push_back({OpKind::PolyPolygon, st, recordPoint, recordPart, part - recordPart});
                run = DashRun{pic_.ops.size() - 1, 0, 0, part - recordPart, point - recordPoint, {}};
            }
        }
        run.pointEnd = static_cast<std::uint32_t>(pic_.points.size());
        run.countEnd = static_cast<std::uint32_t>(pic_.polyCounts.size());
        run.boxes.push_back(box);
        AddPointBounds(firstPoint, points, st);
    }

    // Room for n more, growing as push_back would, so that many small
    // reservations stay linear.
    template <class T>
    static void Reserve(std::vector<T>& v, size_t n) {
        if (v.capacity() - v.size() < n) v.reserve(std::max(v.size() + n, 2 * v.capacity()));
    }

    void AddPolyPolygon(const QList<QPolygonF>& parts, std::uint16_t fill) {
        if (parts.size() == 1) {
            AddPoly(OpKind::Polygon, parts.front().constData(), static_cast<int>(parts.front().size()), fill);
            return;
        }
        const std::uint32_t firstPoint = static_cast<std::uint32_t>(pic_.points.size());
        const std::uint32_t firstCount = static_cast<std::uint32_t>(pic_.polyCounts.size());
        for (const QPolygonF& p : parts)
            pic_.polyCounts.push_back(AppendPoints(p.constData(), static_cast<int>(p.size()), true));
        PushFill({OpKind::PolyPolygon, 0, firstPoint, firstCount, static_cast<std::uint32_t>(parts.size())}, fill);
    }

    void FinishPolyPoly(OpKind kind, std::uint32_t firstPoint, std::uint32_t firstCount, std::uint32_t parts) {
        const std::uint32_t st = StateIndex(Needs::Line);
        pic_.ops.push_back({kind, st, firstPoint, firstCount, parts});
        AddPointBounds(firstPoint, static_cast<std::uint32_t>(pic_.points.size()) - firstPoint, st);
    }

    void AddBox(OpKind kind, const QRectF& d) {
        const std::uint32_t first = static_cast<std::uint32_t>(pic_.points.size());
        pic_.points.emplace_back(ToDevice(d.left()), ToDevice(d.top()));
        pic_.points.emplace_back(ToDevice(d.right()), ToDevice(d.bottom()));
        PushFill({kind, 0, first, 2, 0}, 0);
    }

    // A filled shape whose points are in place. Hatched brushes go in as their lines:
    // LibreOffice, emf2svg and libwmf all fill a hatched brush solid, which would bury
    // the graph under an area or a sum drawn with the default hatching.
    void PushFill(Op op, std::uint16_t fill) {
        const std::uint32_t st = StateIndex(Needs::Fill, fill);
        const DcState s = pic_.states[st];
        const std::uint32_t pointCount = PointCount(op);
        if (pic_.brushes[s.brush].style != BS_HATCHED) {
            op.state = st;
            pic_.ops.push_back(op);
            AddPointBounds(op.a, pointCount, st);
            return;
        }
        const LogBrush hatch = pic_.brushes[s.brush];
        if (s.bkMode == BKMODE_OPAQUE) {
            op.state = StateWith(s, Intern(pic_.pens, penIndexOf_, LogPen{PS_NULL, 0, 0}),
                                 Intern(pic_.brushes, brushIndexOf_, LogBrush{BS_SOLID, 0, s.bkColor}));
            pic_.ops.push_back(op);
        }
        AddHatchLines(op, hatch, s);
        if (pic_.pens[s.pen].style != PS_NULL) {
            op.state = StateWith(s, s.pen, Intern(pic_.brushes, brushIndexOf_, LogBrush{BS_NULL, 0, 0}));
            pic_.ops.push_back(op);
        }
        AddPointBounds(op.a, pointCount, st);
    }

    std::uint32_t PointCount(const Op& op) const {
        if (op.kind != OpKind::PolyPolygon) return op.b;
        std::uint32_t n = 0;
        for (std::uint32_t i = 0; i < op.c; ++i) n += pic_.polyCounts[op.b + i];
        return n;
    }

    std::uint32_t StateWith(DcState s, std::int32_t pen, std::int32_t brush) {
        s.pen = pen;
        s.brush = brush;
        if (!(pic_.states.back() == s)) pic_.states.push_back(s);
        return static_cast<std::uint32_t>(pic_.states.size() - 1);
    }

    // The outlines of a filled shape in device pixels, ellipses as polygons.
    std::vector<std::vector<QPointF>> FillOutlines(const Op& op) const {
        std::vector<std::vector<QPointF>> parts;
        const QPoint* p = pic_.points.data() + op.a;
        switch (op.kind) {
            case OpKind::Polygon: parts.emplace_back(p, p + op.b); break;
            case OpKind::PolyPolygon:
                for (std::uint32_t i = 0; i < op.c; ++i) {
                    const std::uint32_t n = pic_.polyCounts[op.b + i];
                    parts.emplace_back(p, p + n);
                    p += n;
                }
                break;
            case OpKind::Rectangle:
                parts.push_back({QPointF(p[0]), QPointF(p[1].x(), p[0].y()), QPointF(p[1]), QPointF(p[0].x(), p[1].y())});
                break;
            case OpKind::Ellipse: {
                const QPointF c = QPointF(p[0] + p[1]) / 2;
                const double rx = (p[1].x() - p[0].x()) / 2.0, ry = (p[1].y() - p[0].y()) / 2.0;
                const int n = static_cast<int>(std::clamp((std::abs(rx) + std::abs(ry)) * 2, 16.0, 720.0));
                parts.emplace_back();
                for (int i = 0; i < n; ++i) {
                    const double a = 2 * std::numbers::pi * i / n;
                    parts.back().emplace_back(c.x() + rx * std::cos(a), c.y() + ry * std::sin(a));
                }
                break;
            }
            default: break;
        }
        return parts;
    }

    // Hatch lines lie every kHatchStep pixels of the picture, as GDI lays its hatch
    // cells from the device origin; only what can be seen of them is recorded.
    void AddHatchLines(const Op& op, const LogBrush& hatch, const DcState& s) {
        constexpr double kHatchStep = 8;
        // Normals of the line families: n . p = k * step.
        std::vector<QPointF> normals;
        switch (hatch.hatch) {
            case HS_HORIZONTAL: normals = {{0, 1}}; break;
            case HS_VERTICAL: normals = {{1, 0}}; break;
            case HS_FDIAGONAL: normals = {{1, -1}}; break;
            case HS_BDIAGONAL: normals = {{1, 1}}; break;
            case HS_CROSS: normals = {{0, 1}, {1, 0}}; break;
            default: normals = {{1, -1}, {1, 1}}; break;
        }
        const auto parts = FillOutlines(op);
        RectL view{0, 0, pic_.width, pic_.height};
        if (s.clip >= 0) {
            const RectL& c = pic_.clips[s.clip];
            view = {std::max(view.left, c.left), std::max(view.top, c.top), std::min(view.right, c.right),
                    std::min(view.bottom, c.bottom)};
        }
        if (view.right <= view.left || view.bottom <= view.top) return;
        const std::vector<QPointF> viewOutline{QPointF(view.left, view.top), QPointF(view.right, view.top),
                                               QPointF(view.right, view.bottom), QPointF(view.left, view.bottom)};

        struct Crossing {
            double u;
            int dir;
        };
        const std::uint32_t firstPoint = static_cast<std::uint32_t>(pic_.points.size());
        const std::uint32_t firstCount = static_cast<std::uint32_t>(pic_.polyCounts.size());
        std::uint32_t segments = 0;
        std::vector<Crossing> crossings;
        for (const QPointF& n : normals) {
            const QPointF d(-n.y(), n.x());
            const double dd = QPointF::dotProduct(d, d), nn = QPointF::dotProduct(n, n);
            auto crossAll = [&](const std::vector<QPointF>& outline, double c, std::vector<Crossing>& out) {
                for (size_t i = 0; i < outline.size(); ++i) {
                    const QPointF& a = outline[i];
                    const QPointF& b = outline[(i + 1) % outline.size()];
                    const double sa = QPointF::dotProduct(n, a), sb = QPointF::dotProduct(n, b);
                    if ((sa <= c && c < sb) || (sb <= c && c < sa)) {
                        const QPointF x = a + (b - a) * ((c - sa) / (sb - sa));
                        out.push_back({QPointF::dotProduct(d, x), sb > sa ? 1 : -1});
                    }
                }
            };
            double lo = INFINITY, hi = -INFINITY;
            for (const QPointF& v : viewOutline) {
                lo = std::min(lo, QPointF::dotProduct(n, v));
                hi = std::max(hi, QPointF::dotProduct(n, v));
            }
            double shapeLo = INFINITY, shapeHi = -INFINITY;
            for (const auto& part : parts)
                for (const QPointF& v : part) {
                    shapeLo = std::min(shapeLo, QPointF::dotProduct(n, v));
                    shapeHi = std::max(shapeHi, QPointF::dotProduct(n, v));
                }
            lo = std::max(lo, shapeLo);
            hi = std::min(hi, shapeHi);
            if (!(lo <= hi)) continue;
            for (double k = std::ceil(lo / kHatchStep); k * kHatchStep <= hi; ++k) {
                const double c = k * kHatchStep;
                std::vector<Crossing> view2;
                crossAll(viewOutline, c, view2);
                if (view2.size() < 2) continue;
                const auto [vMin, vMax] = std::minmax(view2[0].u, view2[1].u);
                crossings.clear();
                for (const auto& part : parts) crossAll(part, c, crossings);
                std::sort(crossings.begin(), crossings.end(), [](const Crossing& x, const Crossing& y) { return x.u < y.u; });
                int winding = 0;
                for (size_t i = 0; i + 1 < crossings.size(); ++i) {
                    winding += s.fillMode == FILL_WINDING ? crossings[i].dir : (winding ? -1 : 1);
                    if (winding == 0) continue;
                    const double u0 = std::max(crossings[i].u, vMin), u1 = std::min(crossings[i + 1].u, vMax);
                    if (u0 >= u1) continue;
                    const QPointF base = n * (c / nn);
                    const QPoint p0(ToDevice((base + d * (u0 / dd)).x()), ToDevice((base + d * (u0 / dd)).y()));
                    const QPoint p1(ToDevice((base + d * (u1 / dd)).x()), ToDevice((base + d * (u1 / dd)).y()));
                    if (p0 == p1) continue;
                    pic_.points.push_back(p0);
                    pic_.points.push_back(p1);
                    pic_.polyCounts.push_back(2);
                    ++segments;
                }
            }
        }
        if (segments == 0) return;
        const std::uint32_t st =
            StateWith(s, Intern(pic_.pens, penIndexOf_, LogPen{PS_SOLID, 0, hatch.color}), s.brush);
        pic_.ops.push_back({OpKind::PolyPolyline, st, firstPoint, firstCount, segments});
    }

    void AddPointBounds(std::uint32_t first, std::uint32_t count, std::uint32_t st) {
        if (count == 0) return;
        RectL r{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
        for (std::uint32_t i = first; i < first + count; ++i) {
            const QPoint& p = pic_.points[i];
            r.left = std::min(r.left, p.x());
            r.top = std::min(r.top, p.y());
            r.right = std::max(r.right, p.x());
            r.bottom = std::max(r.bottom, p.y());
        }
        const LogPen& pen = pic_.pens[pic_.states[st].pen];
        const std::int32_t half = pen.style == PS_NULL ? 0 : (pen.width + 1) / 2;
        AddBounds({r.left - half, r.top - half, r.right + half, r.bottom + half});
    }

    void AddBoundsF(const QRectF& d) {
        AddBounds(RectL{ToDevice(std::floor(d.left())), ToDevice(std::floor(d.top())), ToDevice(std::ceil(d.right())),
                        ToDevice(std::ceil(d.bottom()))});
    }

    // r is inclusive on all sides.
    void AddBounds(RectL r) {
        if (clip_ && clipEnabled_) {
            r.left = std::max(r.left, clip_->left);
            r.top = std::max(r.top, clip_->top);
            r.right = std::min(r.right, clip_->right - 1);
            r.bottom = std::min(r.bottom, clip_->bottom - 1);
            if (r.right < r.left || r.bottom < r.top) return;
        }
        if (!pic_.hasBounds) {
            pic_.bounds = r;
            pic_.hasBounds = true;
            return;
        }
        pic_.bounds.left = std::min(pic_.bounds.left, r.left);
        pic_.bounds.top = std::min(pic_.bounds.top, r.top);
        pic_.bounds.right = std::max(pic_.bounds.right, r.right);
        pic_.bounds.bottom = std::max(pic_.bounds.bottom, r.bottom);
    }

    // The record the last styled line's dashes went into.
    struct DashRun {
        size_t op = SIZE_MAX;
        std::uint32_t pointEnd = 0, countEnd = 0;  // where its points and part sizes end
        std::uint32_t parts = 0, points = 0;
        std::vector<RectL> boxes;  // of each line in it
    };

    gdi::Picture& pic_;
    QPaintDevice* device_ = nullptr;
    DashRun dashRun_;
    QTransform m_;
    QPen pen_;
    QBrush brush_;
    std::optional<RectL> clip_;
    bool clipEnabled_ = false;
    int skipDecorationLines_ = 0;
    std::int32_t penIndex_ = -1, brushIndex_ = -1, fontIndex_ = -1;
    std::unordered_map<LogPen, std::int32_t, recorder_hash::PenHash> penIndexOf_;
    std::unordered_map<LogBrush, std::int32_t, recorder_hash::BrushHash> brushIndexOf_;
    std::unordered_map<LogFont, std::int32_t, recorder_hash::FontHash> fontIndexOf_;
};

MetafileRecorder::MetafileRecorder(int widthPx, int heightPx)
    : picture_(std::make_unique<gdi::Picture>()), engine_(std::make_unique<Engine>(*picture_)) {
    // A WMF cannot say more than 16 bits, and no picture of this program comes near that.
    picture_->width = std::clamp(widthPx, 1, 32767);
    picture_->height = std::clamp(heightPx, 1, 32767);
}

MetafileRecorder::~MetafileRecorder() = default;

QPaintEngine* MetafileRecorder::paintEngine() const { return engine_.get(); }

void MetafileRecorder::setFontCharset(FontCharset charset) { engine_->charset = static_cast<std::uint8_t>(charset); }

void MetafileRecorder::setOpaqueTextBackground(const QColor& color) {
    gdi::Picture& pic = *picture_;
    const Color background = FromQColor(color);
    std::unordered_map<std::uint32_t, std::uint32_t> opaqueOf;  // state index -> its opaque twin
    for (gdi::Op& op : pic.ops) {
        if (op.kind != gdi::OpKind::Text) continue;
        auto [it, added] = opaqueOf.try_emplace(op.state, 0);
        if (added) {
            gdi::DcState s = pic.states[op.state];
            s.bkMode = gdi::BKMODE_OPAQUE;
            s.bkColor = background;
            pic.states.push_back(s);
            it->second = static_cast<std::uint32_t>(pic.states.size() - 1);
        }
        op.state = it->second;
    }
}

std::string MetafileRecorder::toEmf() const { return gdi::WriteEmf(*picture_); }

std::string MetafileRecorder::toWmf() const { return gdi::WriteWmf(*picture_); }

WriteResult MetafileRecorder::save(const std::string& path, MetafileFormat format) const {
    const std::string bytes = toBytes(format);
    if (bytes.empty()) return WriteResult{false, {}};
    return WriteFileAtomically(path, bytes);
}

QImage MetafileRecorder::toImage() const { return gdi::RenderPicture(*picture_); }

bool MetafileRecorder::isEmpty() const { return picture_->ops.empty(); }

MetafileFormat MetafileRecorder::FormatForFileName(const std::string& fileName) {
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos) return MetafileFormat::Wmf;
    std::string ext = fileName.substr(dot + 1);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "emf" ? MetafileFormat::Emf : MetafileFormat::Wmf;
}

int MetafileRecorder::metric(PaintDeviceMetric m) const {
    switch (m) {
        case PdmWidth: return picture_->width;
        case PdmHeight: return picture_->height;
        case PdmWidthMM: return static_cast<int>(std::lround(picture_->width * 25.4 / kDpi));
        case PdmHeightMM: return static_cast<int>(std::lround(picture_->height * 25.4 / kDpi));
        case PdmNumColors: return 0x7FFFFFFF;
        case PdmDepth: return 24;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return kDpi;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

}  // namespace kalvo
