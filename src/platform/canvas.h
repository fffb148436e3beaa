#pragma once
// The one drawing surface of the program. Screen, printer, metafile and the
// tests all receive the same calls; the back ends only translate them. The
// drawing rules live here so that every back end follows them alike:
// - coordinates are device pixels; a rectangle or ellipse covers its left
//   and top edge but not its right and bottom edge;
// - colours are 0x00BBGGRR integers (red in the low byte);
// - brushes are the eight styles by their ordinals 0..7;
// - text is placed by the top-left corner of its cell; while the brush is
//   solid the cell is filled with the brush colour first, otherwise the text
//   stands on what is there;
// - scaling a screen pixel to the device rounds halves to even;
// - nothing is antialiased.
// Consecutive LineTo calls are gathered into one polyline, so a curve costs
// one call of the back end however many samples it has. On printers and in
// metafiles a polyline keeps only the points the device can show (see
// SetLineTolerance); on the screen it keeps every one.

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "color.h"
#include "work_budget.h"

class QFont;
class QString;

namespace kalvo {

struct CanvasPoint {
    int x = 0, y = 0;
    friend bool operator==(const CanvasPoint&, const CanvasPoint&) = default;
};

// Left and top inside, right and bottom outside.
struct CanvasRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const CanvasRect&, const CanvasRect&) = default;
};

struct CanvasSize {
    int width = 0, height = 0;
    friend bool operator==(const CanvasSize&, const CanvasSize&) = default;
};

enum class PenStyle : uint8_t { Solid, Dash, Dot, Clear };

// In the order of the stored ordinals.
enum class BrushStyle : uint8_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };

// Ordinals outside 0..7 (an old or damaged file) are clamped into the range.
BrushStyle BrushStyleFromOrdinal(int ordinal);

struct CanvasPen {
    Color color = 0;
    int width = 1;
    PenStyle style = PenStyle::Solid;
    friend bool operator==(const CanvasPen&, const CanvasPen&) = default;
};

struct CanvasBrush {
    Color color = 0xFFFFFF;
    BrushStyle style = BrushStyle::Solid;
    friend bool operator==(const CanvasBrush&, const CanvasBrush&) = default;
};

// Size in points; the back end turns it into pixels with its own resolution.
struct CanvasFont {
    std::string name = "Courier New";
    int size = 10;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    Color color = 0;
    friend bool operator==(const CanvasFont&, const CanvasFont&) = default;
};

// The resolution the screen pictures are laid out for; fonts in points
// become pixels with it, whatever the desktop reports.
inline constexpr double kScreenDpi = 96.0;

// A screen coordinate times an output factor, rounded halves to even and
// clamped into the int range (a value that is not finite maps to the limit).
inline int ToDevice(double p, double factor) {
    const double v = p * factor;
    if (!(v > static_cast<double>(INT_MIN))) return INT_MIN;  // NaN too
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    // Adding and taking away 1.5 * 2^52 leaves v rounded to a whole number
    // in the current rounding mode, to nearest with ties to even; unlike
    // std::nearbyint it costs no library call in the drawing loops. (It
    // holds as long as nobody builds with -ffast-math.)
    constexpr double kRound = 6755399441055744.0;
    const double r = (v + kRound) - kRound;
    // A curve that is constant up to rounding noise, at a height that falls
    // on half a pixel (y = 2 in the -8..8 window at 500 px), would otherwise
    // jump between two rows with the noise: a value a hair off a half counts
    // as the half and goes to the even neighbour like it.
    const double d = v - r;
    if ((d > 0.5 - 1e-6 || d < -(0.5 - 1e-6)) && r < INT_MAX && r > INT_MIN) {
        const double other = d > 0 ? r + 1 : r - 1;
        return static_cast<int>(std::fmod(r, 2.0) == 0 ? r : other);
    }
    return static_cast<int>(r);
}

// The Qt font for a canvas font at a resolution: pixel size from the points,
// no antialiasing.
QFont ToQFont(const CanvasFont& font, double dpi);

// The installed family that draws a font the program names. Where "Arial",
// "Courier New" or "Times New Roman" are not installed, fontconfig stands the
// metric-compatible Liberation fonts in for them; Qt finds that out only
// after failing to match the name, by having fontconfig sort every installed
// font, which costs every font a few milliseconds when it is first drawn. The
// stand-in draws the same glyphs. For drawing and measuring only: what
// records face names (metafiles) keeps the program's names. Needs a
// QGuiApplication (the name comes back unchanged without one).
QString InstalledFamily(const QString& family);

// Qt's drawing code may return with the upper halves of the AVX registers in
// use; the scalar code that runs next (the term evaluator between two
// drawing calls) then runs at half its speed. The back ends call this after
// every call into Qt.
void ClearUpperVectorState();

// Width and height of a text cell in a font at a resolution (needs a
// QGuiApplication).
CanvasSize MeasureText(const CanvasFont& font, std::string_view utf8, double dpi = kScreenDpi);

class Canvas {
public:
    virtual ~Canvas() = default;
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void SetPen(const CanvasPen& pen) {
        if (pen == pen_) return;
        FlushPath();
        pen_ = pen;
    }
    void SetPen(Color color, int width, PenStyle style) { SetPen(CanvasPen{color, width, style}); }
    void SetPenColor(Color color) { SetPen(CanvasPen{color, pen_.width, pen_.style}); }
    const CanvasPen& Pen() const { return pen_; }

    void SetBrush(const CanvasBrush& brush) { brush_ = brush; }
    void SetBrush(Color color, BrushStyle style) { brush_ = CanvasBrush{color, style}; }
    void SetBrushColor(Color color) { brush_.color = color; }
    void SetBrushStyle(BrushStyle style) { brush_.style = style; }
    const CanvasBrush& Brush() const { return brush_; }

    void SetFont(const CanvasFont& font) { font_ = font; }
    void SetFontSize(int points) { font_.size = points; }
    const CanvasFont& Font() const { return font_; }

    // The pen position; MoveTo draws nothing.
    void MoveTo(int x, int y) {
        if (path_.size() > 1 || thin_.pending) FlushPath();
        path_.clear();
        pos_ = CanvasPoint{x, y};
        exactX_ = x;
        exactY_ = y;
    }
    // A line from the pen position to (x, y), which becomes the pen position.
    void LineTo(int x, int y) {
        if (tolerance_ > 0) return ThinnedLineTo(x, y, CanvasPoint{x, y});
        if (path_.empty()) path_.push_back(pos_);
        if (x != pos_.x || y != pos_.y) {
            CountLine(pos_, CanvasPoint{x, y});
            path_.push_back(CanvasPoint{x, y});
            if (path_.size() >= kMaxPathPoints) FlushPath();
        }
        pos_ = CanvasPoint{x, y};
    }
    // The same from device coordinates before they are rounded (a screen
    // pixel times the output factor): the point is the one ToDevice(x, 1)
    // and ToDevice(y, 1) give, and a thinning canvas judges by the
    // coordinates which points can go without being missed.
    void MoveToExact(double x, double y) {
        MoveTo(ToDevice(x, 1.0), ToDevice(y, 1.0));
        exactX_ = x;
        exactY_ = y;
    }
    void LineToExact(double x, double y) {
        const CanvasPoint p{ToDevice(x, 1.0), ToDevice(y, 1.0)};
        if (tolerance_ > 0) return ThinnedLineTo(x, y, p);
        LineTo(p.x, p.y);
    }
    CanvasPoint PenPos() const { return pos_; }

    // Polylines on a device whose pixels are too fine to show every sample
    // of a curve (a printer, a metafile): a run of points that stays within
    // `units` (of the canvas's coordinates) of the straight line that
    // replaces it goes to the back end as that line. The points where the
    // line turns back in either direction, and its ends at every move, stay
    // where they are. 0 (the default) keeps every point, as the screen needs.
    void SetLineTolerance(double units) {
        FlushPath();
        // Lines drawn so far kept their points: the next goes on from the pen.
        if (tolerance_ == 0) exactX_ = pos_.x, exactY_ = pos_.y;
        tolerance_ = units > 0 && std::isfinite(units) ? units : 0.0;
    }
    double LineTolerance() const { return tolerance_; }

    void Polyline(std::span<const CanvasPoint> points);
    // Outline with the pen, inside with the brush (alternate filling).
    void Polygon(std::span<const CanvasPoint> points);
    // Outline with the pen, inside with the brush.
    void Rectangle(int x1, int y1, int x2, int y2);
    void Ellipse(int x1, int y1, int x2, int y2);
    // Fills with the brush, no outline.
    void FillRect(const CanvasRect& r);
    // Text (UTF-8) with the top-left corner of its cell at (x, y), in the font colour.
    void TextOut(int x, int y, std::string_view utf8);
    // Text at (x, y) cut off at the rectangle; with a solid brush the
    // rectangle is filled first.
    void TextRect(const CanvasRect& r, int x, int y, std::string_view utf8);
    CanvasSize TextExtent(std::string_view utf8);

    void SetClipRect(const CanvasRect& r);
    void ClearClipRect();

    // Hands a gathered polyline to the back end; every other drawing call
    // and every pen change does it first.
    void Flush() { FlushPath(); }

protected:
    virtual void DoPolyline(std::span<const CanvasPoint> points) = 0;
    virtual void DoPolygon(std::span<const CanvasPoint> points) = 0;
    virtual void DoRectangle(const CanvasRect& r) = 0;
    virtual void DoEllipse(const CanvasRect& r) = 0;
    virtual void DoFillRect(const CanvasRect& r) = 0;
    virtual void DoText(int x, int y, std::string_view utf8, const CanvasRect* clip) = 0;
    virtual CanvasSize DoTextExtent(std::string_view utf8) = 0;
    virtual void DoClip(const CanvasRect* r) = 0;

private:
    static constexpr size_t kMaxPathPoints = 1 << 16;

    void ThinnedLineTo(double x, double y, CanvasPoint p);
    // Hands the end of the open run to the path.
    void KeepPending();

    void FlushPath() {
        if (thin_.pending) KeepPending();
        if (path_.size() > 1) {
            DoPolyline(path_);
            CanvasPoint last = path_.back();
            path_.clear();
            path_.push_back(last);
        }
    }

    CanvasPen pen_;
    CanvasBrush brush_;
    CanvasFont font_;
    CanvasPoint pos_;
    std::vector<CanvasPoint> path_;

    // The thinning of polylines: the last point kept (a) and the run after
    // it, which one straight line from a to the run's last point (b, not
    // kept yet) would stand for. Every line from a in a direction between l
    // and r passes within the tolerance of each point of the run (once one
    // lies farther than that from a: cone); minX..maxY is the run's box.
    double tolerance_ = 0;
    double exactX_ = 0, exactY_ = 0;  // the pen position before rounding
    struct Thinning {
        bool pending = false;
        double ax = 0, ay = 0;
        double bx = 0, by = 0;
        CanvasPoint b;
        bool cone = false;
        double lx = 0, ly = 0, rx = 0, ry = 0;
        double minX = 0, maxX = 0, minY = 0, maxY = 0;
    } thin_;

    // What the raster engine takes for a line, counted against the open work
    // budget (work_budget.h), in nanoseconds as measured on a desktop
    // machine: a thin line by its length; a wide one as the screen's back end
    // strokes it, one segment at a time, with a start-up of its own and its
    // width; a wide dotted or dashed one by its pieces, more of them the
    // thinner it is.
    void CountLine(CanvasPoint a, CanvasPoint b) {
        const long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
        const long long dy = std::llabs(static_cast<long long>(b.y) - a.y);
        const long long length = std::max(dx, dy);
        const long long w = std::max(1, pen_.width);
        long long units = 100 + 8 * length;
        if (w > 1) units = 1200 + length * (10 + (pen_.style == PenStyle::Solid ? w / 4 : 700 / w));
        AddWork(units);
    }
    void CountLines(std::span<const CanvasPoint> points) {
        for (size_t i = 1; i < points.size(); ++i) CountLine(points[i - 1], points[i]);
    }
    // A filled shape by its area, a patterned fill about five times a solid one.
    void CountFill(long long width, long long height) {
        const long long area = std::llabs(width) * std::llabs(height);
        if (brush_.style == BrushStyle::Clear) return AddWork(300);
        AddWork(300 + (brush_.style == BrushStyle::Solid ? area / 3 : area * 3 / 2));
    }
    // Text by its characters.
    static void CountText(std::string_view utf8) { AddWork(3000 + 1500 * static_cast<long long>(utf8.size())); }
};

// Draws nothing; where the engine has no surface (a test without output).
class NullCanvas final : public Canvas {
protected:
    void DoPolyline(std::span<const CanvasPoint>) override {}
    void DoPolygon(std::span<const CanvasPoint>) override {}
    void DoRectangle(const CanvasRect&) override {}
    void DoEllipse(const CanvasRect&) override {}
    void DoFillRect(const CanvasRect&) override {}
    void DoText(int, int, std::string_view, const CanvasRect*) override {}
    CanvasSize DoTextExtent(std::string_view) override { return {}; }
    void DoClip(const CanvasRect*) override {}
};

}  // namespace kalvo
