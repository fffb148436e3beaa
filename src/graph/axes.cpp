#include "axes.h"

#include <QGuiApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <climits>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "graph_state.h"
#include "number_text.h"
#include "primitives.h"
#include "program_state.h"

namespace kalvo {

namespace {

struct Special {
    double spacing;
    int interval, decimals, width, phase;
};

// Rows whose labels are not written at every tick with plain integers.
constexpr Special kSpecial[] = {
    {500, 2, 0, 0, 1},    {200, 2, 0, 2, 0},   {100, 1, 0, 2, 0},   {50, 2, 0, 1, 1},    {20, 2, 0, 1, 0},
    {10, 1, 0, 1, 0},     {0.5, 2, 0, 0, 1},   {0.2, 2, 1, 0, 0},   {0.1, 2, 1, 0, 1},   {0.05, 2, 1, 0, 1},
    {0.02, 2, 2, 0, 0},   {0.01, 2, 2, 0, 1},  {0.005, 2, 2, 0, 1}, {0.002, 2, 3, 0, 0}, {0.001, 2, 3, 0, 1},
    {0.0005, 2, 3, 0, 1}, {0.0002, 2, 0, 0, 0}, {0.0001, 2, 0, 0, 0},
};

std::array<TickRow, kTickRows> BuildTable() {
    std::array<TickRow, kTickRows> rows{};
    int i = 0;
    for (int p = 9; p >= -4; --p) {
        for (int m : {5, 2, 1}) {
            TickRow& r = rows[static_cast<size_t>(i++)];
            // Spacings from their decimal text, so 0.2 is the double nearest to 0.2.
            r.spacing = StrToRealComma(std::to_string(m) + "e" + std::to_string(p));
            r.exponent = p >= 3 ? p : (r.spacing >= 0.0005 ? 0 : -4);
            r.labelStep = r.exponent == 0 ? r.spacing : m * std::pow(10.0, p - r.exponent);
            r.interval = 1;
            r.decimals = r.width = r.phase = 0;
            for (const Special& s : kSpecial) {
                if (s.spacing == r.spacing) {
                    r.interval = s.interval;
                    r.decimals = s.decimals;
                    r.width = s.width;
                    r.phase = s.phase;
                }
            }
        }
    }
    return rows;
}

// How many ticks a walk may visit; a plot has never more than a few dozen.
constexpr long long kMaxTicks = 4000;

struct AxisPens {
    CanvasPen axis, grid;
};

void SetAxisPen(const AxisPens& p) { Ausgabe().SetPen(p.axis); }
void SetGridPen(const AxisPens& p) { Ausgabe().SetPen(p.grid); }

// A text cell in device pixels; right and bottom outside.
struct Cell {
    int left = 0, top = 0, right = 0, bottom = 0;
};

bool Overlap(const Cell& a, const Cell& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool Inside(const Cell& a, const Cell& s) {
    return a.left >= s.left && a.top >= s.top && a.right <= s.right && a.bottom <= s.bottom;
}

// A text in the label font, for a power of ten or an axis title followed by
// an exponent in the smaller font, raised: "10" with "-1", "x/10" with "3".
// Positions in device pixels, the text's cell from (x, y).
struct Label {
    std::string text, exponent;
    int x = 0, y = 0;
    int width = 0, height = 0;                 // the text's cell
    int expWidth = 0, expHeight = 0, gap = 0;  // the exponent's cell starts gap after the text
    int raise = 0;                             // and raise above it

    Cell TextCell() const { return {x, y, x + width, y + height}; }
    Cell ExponentCell() const {
        const int ex = x + width + gap, ey = y - raise;
        return {ex, ey, ex + expWidth, ey + expHeight};
    }
    // Both cells together.
    Cell Box() const {
        Cell b = TextCell();
        if (exponent.empty()) return b;
        const Cell e = ExponentCell();
        return {std::min(b.left, e.left), std::min(b.top, e.top), std::max(b.right, e.right),
                std::max(b.bottom, e.bottom)};
    }
    int FullWidth() const { return exponent.empty() ? width : width + gap + expWidth; }
};

// How far the exponent after a text stands above the text's cell: a
// quarter of the cell's height.
int ExponentRaise(int height) { return RoundToInt(height / 4.0); }

// Where the texts of the coordinate system go. Each text is measured on the
// output canvas in the font it is drawn in, so the layout holds for every
// font, size and output factor, proportional fonts and the larger fonts of
// printers and metafiles alike. The surface is the graph's, on paper only
// as far as the page's printable part reaches. A value is drawn only where
// its whole cell lies on the surface, clear of every cell laid out before
// it: one that would cover another text is left out, never drawn over or
// cut off. The decades of logarithmic axes come first, moved into the
// surface where they stand out of it, then the titles, which are moved into
// the surface and off the texts and lines rather than left out, then the
// tick values and digits.
class TextLayout {
public:
    explicit TextLayout(int labelSize)
        : labelSize_(std::max(labelSize, 1)), smallSize_(std::max(RoundToInt(labelSize_ * 0.75), 1)) {
        Canvas& c = Ausgabe();
        c.SetFontSize(smallSize_);
        smallHeight_ = c.TextExtent({}).height;
        c.SetFontSize(labelSize_);
        height_ = c.TextExtent({}).height;
        const OutputContext& o = gOutput;
        surface_ = Cell{0, 0, DeviceX(o.PlotWidthPx + 1.0), DeviceY(o.PlotHeightPx + 1.0)};
        // On paper only what lies on the page's printable part, but all of
        // it above and below the graph: a printout whose height is scaled
        // down more than its width (1 cm per unit on a window wider in
        // units than high) has margins lower than its labels, which are
        // sized by the width, and there the values and titles go on into
        // the paper's margin rather than being left out.
        if (o.PageRight > o.PageLeft && o.PageBottom > o.PageTop) {
            surface_.left = std::max(surface_.left, o.PageLeft);
            surface_.top = o.PageTop;
            surface_.right = std::max(surface_.left, std::min(surface_.right, o.PageRight));
            surface_.bottom = std::max(surface_.top, o.PageBottom);
        }
    }

    // Height of a cell in the label font, in device pixels.
    int Height() const { return height_; }
    // How far an exponent's cell stands above the cell of its text.
    int Raise() const { return ExponentRaise(height_); }
    int Width(std::string_view text) const { return Ausgabe().TextExtent(text).width; }
    const Cell& Surface() const { return surface_; }

    // A text (and exponent) measured, its cell at (0, 0).
    Label Make(std::string text, std::string exponent = {}, int gap = 0) const {
        Label l;
        l.text = std::move(text);
        l.exponent = std::move(exponent);
        l.width = Width(l.text);
        l.height = height_;
        if (!l.exponent.empty()) {
            Canvas& c = Ausgabe();
            c.SetFontSize(smallSize_);
            l.expWidth = c.TextExtent(l.exponent).width;
            c.SetFontSize(labelSize_);
            l.expHeight = smallHeight_;
            l.gap = gap;
            l.raise = Raise();
        }
        return l;
    }

    // A tick value: drawn when it fits, else left out.
    bool Put(const Label& l) {
        if (!Fits(l)) return false;
        Take(l);
        Draw(l);
        return true;
    }

    // A power of ten at a decade: moved into the surface where it stands
    // out of it (at the first and the last decade), then as a tick value.
    bool PutInside(const Label& l) { return Put(Into(l, surface_)); }

    // An axis line with its ticks and arrowhead, or a side of the frame,
    // which titles keep off.
    void AddLine(const Cell& c) { lines_.push_back(c); }

    // A title: moved into the surface, and into the rows bandTop..bandBottom
    // (the margin it belongs to) where they leave room; from there to the
    // nearest place clear of the texts laid out before it and of the lines,
    // up or down, left or right. Where the margin is too low for it, its
    // exponent stands less high; where it has no room even so (the larger
    // fonts of a printer), the title goes to the nearest clear place on the
    // surface. Drawn later by Draw.
    Label Reserve(Label l, int bandTop = INT_MIN, int bandBottom = INT_MAX) {
        const Cell band{surface_.left, std::max(surface_.top, bandTop), surface_.right,
                        std::min(surface_.bottom, bandBottom)};
        std::optional<Label> placed = ShiftedInto(l, band);
        for (int raise = l.raise - 1; !placed && raise >= 0; --raise) {
            Label lower = l;
            lower.raise = raise;
            placed = ShiftedInto(lower, band);
        }
        if (!placed) placed = NearestClear(l, band);
        if (!placed) placed = NearestClear(l, surface_);
        // Nowhere clear: on the surface, though over another text.
        const Label chosen = placed ? *placed : Into(l, surface_);
        Take(chosen);
        return chosen;
    }

    void Draw(const Label& l) const {
        Canvas& c = Ausgabe();
        c.TextOut(l.x, l.y, l.text);
        if (l.exponent.empty()) return;
        const Cell e = l.ExponentCell();
        c.SetFontSize(smallSize_);
        c.TextOut(e.left, e.top, l.exponent);
        c.SetFontSize(labelSize_);
    }

private:
    bool Clear(const Label& l) const {
        const Cell cells[2] = {l.TextCell(), l.ExponentCell()};
        const int n = l.exponent.empty() ? 1 : 2;
        for (int i = 0; i < n; ++i)
            for (const Cell& t : taken_)
                if (Overlap(cells[i], t)) return false;
        return true;
    }
    bool OnLine(const Label& l) const {
        const Cell box = l.Box();
        return std::any_of(lines_.begin(), lines_.end(), [&](const Cell& c) { return Overlap(c, box); });
    }
    bool Free(const Label& l, const Cell& area) const { return Inside(l.Box(), area) && Clear(l) && !OnLine(l); }
    bool Fits(const Label& l) const {
        return Inside(l.TextCell(), surface_) && (l.exponent.empty() || Inside(l.ExponentCell(), surface_)) &&
               Clear(l);
    }
    void Take(const Label& l) {
        taken_.push_back(l.TextCell());
        if (!l.exponent.empty()) taken_.push_back(l.ExponentCell());
    }
    // Shifted into the area; where it is too small, its top and left edge win.
    static Label Into(Label l, const Cell& area) {
        const Cell b = l.Box();
        if (b.right > area.right) l.x -= b.right - area.right;
        if (b.bottom > area.bottom) l.y -= b.bottom - area.bottom;
        const Cell m = l.Box();
        if (m.left < area.left) l.x += area.left - m.left;
        if (m.top < area.top) l.y += area.top - m.top;
        return l;
    }
    // Into the area, then, where it covers a text or a line there, moved
    // along one direction until it touches the nearest edge of one.
    std::optional<Label> ShiftedInto(Label l, const Cell& area) const {
        l = Into(l, area);
        if (!Inside(l.Box(), area)) return std::nullopt;
        if (Clear(l) && !OnLine(l)) return l;
        const Cell box = l.Box();
        struct Shift {
            int dx, dy;
        };
        std::vector<Shift> shifts;
        for (const std::vector<Cell>* cells : {&taken_, &lines_}) {
            for (const Cell& c : *cells) {
                shifts.push_back({0, c.bottom - box.top});
                shifts.push_back({0, c.top - box.bottom});
                shifts.push_back({c.right - box.left, 0});
                shifts.push_back({c.left - box.right, 0});
            }
        }
        std::stable_sort(shifts.begin(), shifts.end(), [](const Shift& a, const Shift& b) {
            return std::abs(a.dx) + std::abs(a.dy) < std::abs(b.dx) + std::abs(b.dy);
        });
        for (const Shift& s : shifts) {
            Label m = l;
            m.x += s.dx;
            m.y += s.dy;
            if (Free(m, area)) return m;
        }
        return std::nullopt;
    }
    // The nearest place in the area, moved both across and up or down, where
    // the label touches edges of texts, lines or the area and covers none.
    std::optional<Label> NearestClear(Label l, const Cell& area) const {
        l = Into(l, area);
        if (!Inside(l.Box(), area)) return std::nullopt;
        const Cell box = l.Box();
        std::vector<int> dxs{0, area.left - box.left, area.right - box.right};
        std::vector<int> dys{0, area.top - box.top, area.bottom - box.bottom};
        for (const std::vector<Cell>* cells : {&taken_, &lines_}) {
            for (const Cell& c : *cells) {
                dxs.push_back(c.right - box.left);
                dxs.push_back(c.left - box.right);
                dys.push_back(c.bottom - box.top);
                dys.push_back(c.top - box.bottom);
            }
        }
        std::optional<Label> best;
        long long bestDistance = LLONG_MAX;
        for (const int dx : dxs) {
            for (const int dy : dys) {
                const long long distance = std::llabs(dx) + std::llabs(dy);
                if (distance >= bestDistance) continue;
                Label m = l;
                m.x += dx;
                m.y += dy;
                if (!Free(m, area)) continue;
                best = m;
                bestDistance = distance;
            }
        }
        return best;
    }

    int labelSize_, smallSize_;
    int height_ = 0, smallHeight_ = 0;
    Cell surface_;
    std::vector<Cell> taken_, lines_;
};

// A device column or row that may lie far off the surface (an axis of a
// window far from the origin): held to the guard band around it, so that no
// text position computed from it overflows.
int GuardedColumn(double x) { return DeviceX(ClampPixel(x, -GuardBand(), gOutput.PlotWidthPx + GuardBand())); }
int GuardedRow(double y) { return DeviceY(ClampPixel(y, -GuardBand(), gOutput.PlotHeightPx + GuardBand())); }

// Label positions by an anchor in device pixels.
Label TopLeft(Label l, int x, int y) {
    l.x = x;
    l.y = y;
    return l;
}
// Centred on a column, the exponent counted in.
Label CentredOn(Label l, int column, int y) {
    l.x = column - l.FullWidth() / 2;
    l.y = y;
    return l;
}
// Ending (the exponent counted in) at a column.
Label EndingAt(Label l, int column, int y) {
    l.x = column - l.FullWidth();
    l.y = y;
    return l;
}
// The text (not its exponent) ending at a column.
Label TextEndingAt(Label l, int column, int y) {
    l.x = column - l.width;
    l.y = y;
    return l;
}

// Which ticks carry a value in the axis layout.
struct LabelRule {
    int beschriftung;
    bool positiveWritten = false;
    bool Allows(long long k) {
        if (beschriftung == 2) return false;
        if (k < 0) return beschriftung == 1;
        if (beschriftung == 0 && positiveWritten) return false;
        return true;
    }
};

bool PhaseHolds(long long k, int interval, int phase) {
    return interval <= 1 ? phase == 0 : (std::llabs(k + 1) % interval) == phase;
}

// First and last k of a walk: ticks at origin + k * step strictly inside
// (lo, hi), the positive walk from the origin on, the negative one below it.
struct Walk {
    long long first = 1, last = 0;
};

Walk PositiveWalk(double origin, double step, double lo, double hi) {
    Walk w;
    double k0 = origin > lo ? 0.0 : std::floor((lo - origin) / step);
    while (origin + k0 * step <= lo) k0 += 1;
    double k1 = std::ceil((hi - origin) / step);
    while (k1 >= k0 && origin + k1 * step >= hi) k1 -= 1;
    if (k1 - k0 >= kMaxTicks) k1 = k0 + kMaxTicks - 1;
    w.first = static_cast<long long>(k0);
    w.last = static_cast<long long>(k1);
    return w;
}

Walk NegativeWalk(double origin, double step, double lo, double hi) {
    Walk w;
    double k1 = origin - step < hi ? -1.0 : std::ceil((hi - origin) / step);
    while (origin + k1 * step >= hi) k1 -= 1;
    double k0 = std::floor((lo - origin) / step);
    while (k0 <= k1 && origin + k0 * step <= lo) k0 += 1;
    if (k1 - k0 >= kMaxTicks) k0 = k1 - kMaxTicks + 1;
    w.first = static_cast<long long>(k0);
    w.last = static_cast<long long>(k1);
    return w;
}

bool WalkableAxis(double origin, double step) {
    return std::isfinite(origin) && std::isfinite(step) && step >= 1.0 && std::fabs(origin) < 1e15;
}

void ChooseTicks(bool logScale, bool piScale, double width, double ppu, double& unitsPerCm, double& maxTicks,
                 double& tickPixels, double& basePixels, double& labelStep, double& tickStep, int& exponent,
                 int& interval, int& decimals, int& fieldWidth, int& phase) {
    if (logScale) return;
    if (const TickRow* r = ChooseTickRow(width, maxTicks)) unitsPerCm = r->spacing;
    if (piScale) maxTicks *= 3.141592654;
    if (const TickRow* r = ChooseTickRow(width, maxTicks)) {
        tickPixels = r->spacing * ppu * (piScale ? 3.141592654 : 1.0);
        basePixels = piScale ? tickPixels / 3.141592654 : tickPixels;
        labelStep = r->labelStep;
        tickStep = r->spacing;
        exponent = r->exponent;
        interval = r->interval;
        decimals = r->decimals;
        fieldWidth = r->width;
        phase = r->phase;
    }
}

std::string ValueText(double value, int width, int decimals) { return RealToStrComma(value, width, decimals); }

// Rows of the texts below a framed plot, device pixels: the tick values
// of a linear x axis half a text height below the plot, the title below
// them; on a logarithmic x axis the digits, below them the decades with
// their raised exponents clear of the digits, and the title.
int BelowTicks() { return DeviceY(gOutput.PlotBottom + 4.0); }
int ValueRowX(const TextLayout& layout) {
    // Where the margin is too low for the title below them, the values go
    // up towards the ticks.
    const int h = layout.Height();
    const int title = h + (gGraph.TickExponentX != 0 ? layout.Raise() : 0);
    return std::max(BelowTicks(), std::min(DeviceY(gOutput.PlotBottom) + h / 2, layout.Surface().bottom - h - title));
}
int DigitRowX() { return DeviceY(gOutput.PlotBottom + 6.0); }
int DecadeRowX(const TextLayout& layout) {
    const int wanted = std::max(DeviceY(gOutput.PlotBottom + 20.0), DigitRowX() + layout.Height() + layout.Raise());
    // Where the margin is too low for both rows, the decades go up into
    // the digits' row (a digit gives way to them), but not onto the ticks.
    const int lowest = layout.Surface().bottom - layout.Height();
    return std::max(std::min(wanted, lowest), BelowTicks() + layout.Raise());
}

// The columns where the digits and the decades of a logarithmic y axis end.
int DigitEndY() { return DeviceX(gOutput.PlotLeft - 10.0); }
int DecadeEndY(const TextLayout& layout) {
    int digits = 0;
    for (int m = 2; m <= 9; ++m) digits = std::max(digits, layout.Width(IntToText(m)));
    return DigitEndY() - digits - ToDevice(4.0, gOutput.AusgabefaktorX);
}

void DrawLinearX(const AxisPens& pens, double originX, double originY, TextLayout& layout) {
    GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const double tp = g.TickPixelsX;
    const double tpy = g.TickPixelsY;
    const bool frame = g.FrameLayout;
    const double step = gOutput.TickLabelStepX;
    const std::string stepText = ValueText(step, g.TickWidthX, g.TickDecimalsX);
    // The width of the step's value in screen pixels.
    const double stepWidth = layout.Width(stepText) / std::max(o.AusgabefaktorX, 1e-9);
    const Walk pos = PositiveWalk(originX, tp, o.PlotLeft, o.PlotRight - 5);
    const Walk neg = NegativeWalk(originX, tp, o.PlotLeft + 5, o.PlotRight);

    if (g.GridLines) {
        // Twice as fine as the ticks: every half step inside the walk limits.
        SetGridPen(pens);
        const Walk half = PositiveWalk(originX, tp / 2, o.PlotLeft + 5, o.PlotRight - 5);
        const Walk halfNeg = NegativeWalk(originX, tp / 2, o.PlotLeft + 5, o.PlotRight - 5);
        for (const Walk& w : {pos, neg}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double col = originX + k * tp;
                ScaledLine(col, o.PlotBottom, col, o.PlotTop);
            }
        }
        for (const Walk& w : {half, halfNeg}) {
            for (long long j = w.first; j <= w.last; ++j) {
                if (j % 2 == 0) continue;
                const double col = originX + j * (tp / 2);
                ScaledLine(col, o.PlotBottom, col, o.PlotTop);
            }
        }
    }
    if (g.GridPoints && !o.LogScaleY && WalkableAxis(originY, tpy)) {
        SetGridPen(pens);
        const Walk up = PositiveWalk(-originY, tpy, -o.PlotBottom - 0.5, -o.PlotTop + 0.5);
        const Walk down = NegativeWalk(-originY, tpy, -o.PlotBottom - 0.5, -o.PlotTop + 0.5);
        for (const Walk& w : {pos, neg}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double col = originX + k * tp;
                for (const Walk& r : {up, down})
                    for (long long j = r.first; j <= r.last; ++j) ScaledCross(col, originY - j * tpy);
            }
        }
    }

    SetAxisPen(pens);
    LabelRule rule{gDisplay.Koordinatensystem.Beschriftung};
    const double row = originY;
    const int frameRow = ValueRowX(layout);
    const int axisRow = GuardedRow(row) + layout.Height() / 3;
    for (const bool positive : {true, false}) {
        const Walk& w = positive ? pos : neg;
        for (long long i = 0; i <= w.last - w.first; ++i) {
            const long long k = positive ? w.first + i : w.last - i;
            const double col = originX + k * tp;
            if (frame) {
                ScaledLine(col, o.PlotBottom + 4, col, o.PlotBottom);
                if (!g.TickValueLabels) continue;
                if (k == 0) {
                    if (col < o.PlotRight - 8) layout.Put(CentredOn(layout.Make("0"), DeviceX(col), frameRow));
                } else if (PhaseHolds(k, g.TickLabelIntervalX, g.TickPhaseX)) {
                    std::string t = ValueText(k * step, g.TickWidthX, g.TickDecimalsX);
                    AppendPiSuffixX(t);
                    if (col < o.PlotRight - stepWidth)
                        layout.Put(CentredOn(layout.Make(std::move(t)), DeviceX(col), frameRow));
                }
            } else {
                ScaledLine(col, row + 4, col, row - 4);
                if (k != 0 && PhaseHolds(k, g.TickLabelIntervalX, g.TickPhaseX) && rule.Allows(k)) {
                    std::string t = ValueText(k * step, g.TickWidthX, g.TickDecimalsX);
                    AppendPiSuffixX(t);
                    if (col < o.PlotRight - stepWidth &&
                        layout.Put(CentredOn(layout.Make(std::move(t)), DeviceX(col), axisRow)) && k > 0)
                        rule.positiveWritten = true;
                }
            }
        }
    }
}

void DrawLinearY(const AxisPens& pens, double originX, double originY, TextLayout& layout) {
    GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const double tp = g.TickPixelsY;
    const bool frame = g.FrameLayout;
    const double step = g.TickLabelStepY;
    // Rows grow downwards; the walks run over the negated rows so that
    // "positive" is upwards, as on the axis.
    const Walk up = PositiveWalk(-originY, tp, -o.PlotBottom, -(o.PlotTop + 5));
    const Walk down = NegativeWalk(-originY, tp, -(o.PlotBottom - 5), -o.PlotTop);

    if (g.GridLines) {
        SetGridPen(pens);
        const Walk half = PositiveWalk(-originY, tp / 2, -(o.PlotBottom - 5), -(o.PlotTop + 5));
        const Walk halfNeg = NegativeWalk(-originY, tp / 2, -(o.PlotBottom - 5), -(o.PlotTop + 5));
        for (const Walk& w : {up, down}) {
            for (long long k = w.first; k <= w.last; ++k) {
                const double row = originY - k * tp;
                ScaledLine(o.PlotLeft, row, o.PlotRight, row);
            }
        }
        for (const Walk& w : {half, halfNeg}) {
            for (long long j = w.first; j <= w.last; ++j) {
                if (j % 2 == 0) continue;
                const double row = originY - j * (tp / 2);
                ScaledLine(o.PlotLeft, row, o.PlotRight, row);
            }
        }
    }

    SetAxisPen(pens);
    LabelRule rule{gDisplay.Koordinatensystem.Beschriftung};
    const double col = originX;
    // Values end left of the frame, or at the axis.
    const int end = frame ? DeviceX(o.PlotLeft - 3.0) : GuardedColumn(col);
    for (const bool positive : {true, false}) {
        const Walk& w = positive ? up : down;
        for (long long i = 0; i <= w.last - w.first; ++i) {
            const long long k = positive ? w.first + i : w.last - i;
            const double row = originY - k * tp;
            const int top = DeviceY(row) - layout.Height() / 2;
            if (frame) {
                ScaledLine(o.PlotLeft - 5, row, o.PlotLeft, row);
                if (!g.TickValueLabels) continue;
                std::string t;
                if (k == 0) {
                    if (!(row < o.PlotBottom - 4)) continue;
                    t = "0 ";
                } else if (PhaseHolds(k, g.TickLabelIntervalY, g.TickPhaseY)) {
                    if (!(row < o.PlotBottom - 6)) continue;
                    t = ValueText(k * step, g.TickWidthY, g.TickDecimalsY);
                    AppendPiSuffixY(t);
                    t += ' ';
                } else {
                    continue;
                }
                layout.Put(EndingAt(layout.Make(std::move(t)), end, top));
            } else {
                ScaledLine(col - 3, row, col + 4, row);
                if (k != 0 && PhaseHolds(k, g.TickLabelIntervalY, g.TickPhaseY) && rule.Allows(k)) {
                    std::string t = ValueText(k * step, g.TickWidthY, g.TickDecimalsY);
                    AppendPiSuffixY(t);
                    t += ' ';
                    if (layout.Put(EndingAt(layout.Make(std::move(t)), end, top)) && k > 0)
                        rule.positiveWritten = true;
                }
            }
        }
    }
}

int DecadeCount(int decades) { return std::max(1, decades); }

// The powers of ten at the decades of the logarithmic axes: before the
// titles and the digits, which give way to them.
void PutDecadesX(TextLayout& layout) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int row = DecadeRowX(layout);
    for (int d = 0; d <= DecadeCount(o.DecadesX); ++d) {
        const int column = GuardedColumn(o.PlotLeft + d * g.PixelsPerDecadeX);
        layout.PutInside(CentredOn(layout.Make("10", IntToText(g.LogExpLowX + d)), column, row));
    }
}

void PutDecadesY(TextLayout& layout) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int end = DecadeEndY(layout);
    for (int d = 0; d <= DecadeCount(o.DecadesY); ++d) {
        const int row = GuardedRow(o.PlotBottom - d * g.PixelsPerDecadeY);
        layout.PutInside(EndingAt(layout.Make("10", IntToText(g.LogExpLowY + d)), end, row - layout.Height() / 2));
    }
}

void DrawLogX(const AxisPens& pens, TextLayout& layout) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int decades = DecadeCount(o.DecadesX);
    const int s = decades > 6 ? 10 : decades > 4 ? 5 : decades > 2 ? 2 : 1;
    const double ppd = g.PixelsPerDecadeX;
    const int digitRow = DigitRowX();
    SetAxisPen(pens);
    for (int d = 0; d < decades; ++d) {
        for (int m = 2; m <= 10; ++m) {
            if (m % s != 0) continue;
            const double xm = o.PlotLeft + (d + std::log10(static_cast<double>(m))) * ppd;
            ScaledLine(xm, o.PlotBottom + 4, xm, o.PlotBottom);
            if (m < 10) layout.Put(CentredOn(layout.Make(IntToText(m)), GuardedColumn(xm), digitRow));
            if (g.GridLines) {
                SetGridPen(pens);
                ScaledLine(xm, o.PlotBottom, xm, o.PlotTop);
                SetAxisPen(pens);
            }
        }
    }
}

void DrawLogY(const AxisPens& pens, TextLayout& layout) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const int decades = DecadeCount(o.DecadesY);
    const int s = decades > 7 ? 10 : decades > 4 ? 5 : decades > 1 ? 2 : 1;
    const double ppd = g.PixelsPerDecadeY;
    const int end = DigitEndY();
    SetAxisPen(pens);
    for (int d = 0; d < decades; ++d) {
        for (int m = 2; m <= 10; ++m) {
            if (m % s != 0) continue;
            const double ym = o.PlotBottom - (d + std::log10(static_cast<double>(m))) * ppd;
            ScaledLine(o.PlotLeft - 5, ym, o.PlotLeft, ym);
            if (m < 10) layout.Put(EndingAt(layout.Make(IntToText(m)), end, GuardedRow(ym) - layout.Height() / 2));
            if (g.GridLines) {
                SetGridPen(pens);
                ScaledLine(o.PlotLeft, ym, o.PlotRight, ym);
                SetAxisPen(pens);
            }
        }
    }
}

// The axis titles, each with the exponent of its tick values when they
// carry one: laid out before the tick values, drawn after them.
struct Titles {
    std::optional<Label> x, y;
};

Titles ReserveTitles(double originX, double originY, TextLayout& layout) {
    const GraphState& g = gGraph;
    const OutputContext& o = gOutput;
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    const bool frame = g.FrameLayout;
    const int h = layout.Height();
    // The margin below a framed plot, and the one above it.
    const int below = BelowTicks(), above = DeviceY(o.PlotTop);
    Titles titles;

    const std::string xText = k.xAchsentext.str();
    if (o.LogScaleX) {
        const int top = std::max(DeviceY(o.PlotBottom + 4.0 * gDisplay.Schriftgroesse), DecadeRowX(layout) + h);
        titles.x = layout.Reserve(EndingAt(layout.Make(xText), DeviceX(o.PlotRight - 2.0), top), below);
    } else if (const int e = g.TickExponentX; frame) {
        Label l = e != 0 ? layout.Make(xText + "/10", IntToText(e)) : layout.Make(xText);
        // Below the row of tick values.
        const int values = g.TickValueLabels ? ValueRowX(layout) + h + l.raise : INT_MIN;
        const int top = std::max(DeviceY(o.PlotBottom + (e != 0 ? 25.0 : 20.0)), values);
        l = e != 0 ? TextEndingAt(l, DeviceX(o.PlotRight - 4.0), top) : EndingAt(l, DeviceX(o.PlotRight - 2.0), top);
        // Where the margin is too low for both rows (the larger fonts of a
        // metafile or printer), the title shares the row of the values, and
        // ends at the right edge of the surface, so that it covers as few of
        // them as it can.
        if (g.TickValueLabels && ValueRowX(layout) + 2 * h > layout.Surface().bottom)
            l = EndingAt(l, layout.Surface().right, top);
        titles.x = layout.Reserve(l, below);
    } else {
        // Above the axis at its right end; where the axis runs along the
        // top of the surface, below the axis and its values, not across it.
        Label l = e != 0 ? layout.Make(xText + "/10", IntToText(e)) : layout.Make(xText);
        int top = GuardedRow(originY - 6.0) - h;
        if (top - l.raise < layout.Surface().top) top = GuardedRow(originY) + h / 3 + h + l.raise;
        l = e != 0 ? TextEndingAt(l, DeviceX(o.PlotRight - 18.0), top) : EndingAt(l, DeviceX(o.PlotRight - 6.0), top);
        titles.x = layout.Reserve(l);
    }

    const std::string yText = k.yAchsentext.str();
    if (o.LogScaleY) {
        const Label l = TopLeft(layout.Make(yText), DeviceX(o.PlotLeft), DeviceY(o.PlotTop - 2.0) - h);
        titles.y = layout.Reserve(l, INT_MIN, above);
    } else if (const int e = g.TickExponentY; frame) {
        // Above the values, starting two blanks left of the plot.
        const int left = DeviceX(o.PlotLeft) - layout.Width("  ");
        const Label l = e != 0 ? TopLeft(layout.Make(yText + "/10", IntToText(e), ToDevice(4.0, o.AusgabefaktorX)),
                                         left, DeviceY(o.PlotTop - 1.0) - h)
                               : TopLeft(layout.Make(yText), left, DeviceY(o.PlotTop - 4.0) - h);
        titles.y = layout.Reserve(l, INT_MIN, above);
    } else {
        // Right of the axis at its top; where the axis runs along the right
        // edge of the surface, left of it, not across it.
        const double gap = e != 0 ? 10 : 8;
        Label l = e != 0 ? TopLeft(layout.Make(yText + "/10", IntToText(e)), GuardedColumn(originX + gap),
                                   DeviceY(o.PlotTop) + layout.Raise())
                         : TopLeft(layout.Make(yText), GuardedColumn(originX + gap), DeviceY(o.PlotTop + 1.0));
        if (l.x + l.FullWidth() > layout.Surface().right) l.x = GuardedColumn(originX - gap) - l.FullWidth();
        titles.y = layout.Reserve(l);
    }
    return titles;
}

void DrawArrowheads(const AxisPens& pens, double originX, double originY, bool xAxis, bool yAxis) {
    const OutputContext& o = gOutput;
    const GraphState& g = gGraph;
    Canvas& c = Ausgabe();
    const CanvasBrush brush = c.Brush();
    SetAxisPen(pens);
    auto triangle = [&](double ax, double ay, double bx, double by, double cx, double cy) {
        const CanvasPoint p[3] = {{DeviceX(ax), DeviceY(ay)}, {DeviceX(bx), DeviceY(by)}, {DeviceX(cx), DeviceY(cy)}};
        c.SetBrush(pens.axis.color, BrushStyle::Solid);
        c.Polygon(p);
    };
    if (xAxis && gView.BereichX2 > 0 && o.PlotRight - std::trunc(originX) > std::trunc(g.TickPixelsX)) {
        const double r = o.PlotRight, row = originY;
        if (o.DruckVorschau) {
            ScaledLine(r - 4, row - 2, r, row);
            ScaledLine(r - 4, row + 2, r, row);
        } else {
            triangle(r - 10, row - 4, r, row, r - 10, row + 4);
        }
    }
    if (yAxis && gView.BereichY2 > 0 && std::trunc(originY) - o.PlotTop > std::trunc(g.TickPixelsY)) {
        const double col = originX, t = o.PlotTop;
        if (o.DruckVorschau) {
            ScaledLine(col - 2, t + 4, col, t);
            ScaledLine(col + 2, t + 4, col, t);
        } else {
            triangle(col - 4, t + 10, col, t, col + 4, t + 10);
        }
    }
    c.SetBrush(brush);
}

}  // namespace

FrameMargins MeasuredFrameMargins(bool logScaleX) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return {};
    const int h = MeasureText(GraphAreaFont(), {}).height;
    const int raise = ExponentRaise(h);
    FrameMargins m;
    m.above = h + raise;
    // Tick marks 4 pixels long, the values below them, then the title; on a
    // logarithmic axis the digits 6 pixels down and the decades between.
    m.below = logScaleX ? 6 + h + raise + h + h : 4 + h + h + raise;
    return m;
}

const TickRow* TickTable() {
    static const std::array<TickRow, kTickRows> rows = BuildTable();
    return rows.data();
}

const TickRow* ChooseTickRow(double windowWidth, double maxTicks) {
    const TickRow* chosen = nullptr;
    const TickRow* rows = TickTable();
    for (int i = 0; i < kTickRows; ++i)
        if (std::fabs(windowWidth) / rows[i].spacing < maxTicks) chosen = &rows[i];
    return chosen;
}

void DrawKoordinatensystem(double originX, double originY, double pixelsPerUnitX, double pixelsPerUnitY) {
    GraphState& g = gGraph;
    OutputContext& o = gOutput;
    const KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    Canvas& c = Ausgabe();

    CanvasFont font = c.Font();
    font.name = gDisplay.Schriftname;
    font.bold = gDisplay.SchriftFett;
    c.SetFont(font);
    const int labelSize = font.size;

    g.StiftEinheit = o.PrintingActive || o.MetafileActive ? 3 : 1;
    double maxTicks = 23;
    if (o.PlotWidthPx < 700) maxTicks = 20;
    if (g.FrameLayout) maxTicks = 19;
    g.MaxTicksX = g.MaxTicksY = maxTicks;

    ChooseTicks(o.LogScaleX, g.PiScaleX, gView.BereichX2 - gView.BereichX1, pixelsPerUnitX, o.UnitsPerCmX, g.MaxTicksX,
                g.TickPixelsX, g.TickBasePixelsX, o.TickLabelStepX, g.TickStepX, g.TickExponentX,
                g.TickLabelIntervalX, g.TickDecimalsX, g.TickWidthX, g.TickPhaseX);
    ChooseTicks(o.LogScaleY, g.PiScaleY, gView.BereichY2 - gView.BereichY1, pixelsPerUnitY, o.UnitsPerCmY, g.MaxTicksY,
                g.TickPixelsY, g.TickBasePixelsY, g.TickLabelStepY, g.TickStepY, g.TickExponentY,
                g.TickLabelIntervalY, g.TickDecimalsY, g.TickWidthY, g.TickPhaseY);

    const int unit = g.StiftEinheit;
    AxisPens pens;
    pens.axis = CanvasPen{static_cast<Color>(k.Achsenfarbe), (std::clamp(k.Achsendicke, 0, 9) + 1) * unit,
                          PenStyle::Solid};
    pens.grid = CanvasPen{static_cast<Color>(k.Gitterfarbe), (std::clamp(k.Gitterdicke, 0, 9) + 1) * unit,
                          g.GridSolid ? PenStyle::Solid : PenStyle::Dot};

    const bool yAxis = !o.LogScaleX && originX > o.PlotLeft && originX < o.PlotRight;
    const bool xAxis = !o.LogScaleY && originY > o.PlotTop && originY < o.PlotBottom;
    TextLayout layout(labelSize);
    {
        // The axes with their ticks and arrowheads, 4 pixels either side,
        // and the half of a wide pen.
        const int across = std::max(RoundToInt(pens.axis.width / 2.0), 1);
        const int dx = ToDevice(4.0, o.AusgabefaktorX) + across, dy = ToDevice(4.0, o.AusgabefaktorY) + across;
        if (yAxis) {
            const int column = DeviceX(originX);
            layout.AddLine({column - dx, DeviceY(o.PlotTop), column + dx + 1, DeviceY(o.PlotBottom) + 1});
        }
        if (xAxis) {
            const int row = DeviceY(originY);
            layout.AddLine({DeviceX(o.PlotLeft), row - dy, DeviceX(o.PlotRight) + 1, row + dy + 1});
        }
        // The frame, drawn after everything else in the axis pen.
        if (g.FrameLayout) {
            const int left = DeviceX(o.PlotLeft), top = DeviceY(o.PlotTop);
            const int right = DeviceX(o.PlotRight), bottom = DeviceY(o.PlotBottom);
            layout.AddLine({left - across, top - across, right + across + 1, top + across + 1});
            layout.AddLine({left - across, bottom - across, right + across + 1, bottom + across + 1});
            layout.AddLine({left - across, top - across, left + across + 1, bottom + across + 1});
            layout.AddLine({right - across, top - across, right + across + 1, bottom + across + 1});
        }
    }
    if (o.LogScaleX) PutDecadesX(layout);
    if (o.LogScaleY) PutDecadesY(layout);
    const Titles titles = ReserveTitles(originX, originY, layout);
    if (o.LogScaleX)
        DrawLogX(pens, layout);
    else if (WalkableAxis(originX, g.TickPixelsX))
        DrawLinearX(pens, originX, originY, layout);
    if (o.LogScaleY)
        DrawLogY(pens, layout);
    else if (WalkableAxis(originY, g.TickPixelsY))
        DrawLinearY(pens, originX, originY, layout);
    SetAxisPen(pens);
    for (const std::optional<Label>& t : {titles.x, titles.y})
        if (t) layout.Draw(*t);

    SetAxisPen(pens);
    if (yAxis) ScaledLine(originX, o.PlotBottom, originX, o.PlotTop);
    if (xAxis) ScaledLine(o.PlotLeft, originY, o.PlotRight, originY);
    if (!g.FrameLayout) DrawArrowheads(pens, originX, originY, xAxis, yAxis);
    c.SetPen(0, unit, PenStyle::Solid);
}

}  // namespace kalvo
