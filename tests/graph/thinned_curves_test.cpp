// Curves on printers and in metafiles: drawn with only the points the
// device's pixels can show, the picture stays that of every sample.

#include <algorithm>
#include <cmath>

#include "canvas_qpainter.h"
#include "graph_test_support.h"
#include "output_redirection.h"

namespace kalvo {
namespace {

constexpr Color kCurve = 0x0000FF;

class ThinnedCurves : public GraphTest {
protected:
    // The graph as a printer draws it, 5.5 device pixels to a screen pixel
    // and 4 samples to each, on a device `fine` times finer still; the
    // curve's polylines.
    std::vector<CanvasRecord> Print(double tolerance, double fine) {
        RecordingCanvas device;
        device.SetLineTolerance(tolerance);
        OutputTarget target;
        target.canvas = &device;
        target.faktorX = target.faktorY = 5.5 * fine;
        target.samplesPerPixel = 4;
        target.plotWidthPx = target.plotHeightPx = 599;
        target.printing = true;
        {
            OutputRedirection redirect(target);
            GrafikZeichnen(true);
        }
        std::vector<CanvasRecord> lines;
        for (const CanvasRecord& r : device.Records())
            if (r.kind == CanvasRecord::Kind::Polyline && r.pen.color == kCurve) lines.push_back(r);
        return lines;
    }
};

double SegmentDistance(CanvasPoint p, CanvasPoint a, CanvasPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y);
}

size_t PointCount(const std::vector<CanvasRecord>& lines) {
    size_t n = 0;
    for (const CanvasRecord& r : lines) n += r.points.size();
    return n;
}

// Each polyline drawn with every sample against the thinned one: the same
// lines from the same ends (no gap bridged, no jump joined, no border
// point lost); the thinned one's points are the other's, and every point
// it leaves out lies within a quarter of a device pixel of the line that
// stands for it. On a device 64 times finer than the printer, so that the
// rounding to its pixels (the same for both) stays far below the quarter
// pixel.
TEST_F(ThinnedCurves, KeepThePictureOfEverySampleWithinAQuarterPixel) {
    constexpr double kFine = 64, kTolerance = 0.25 * kFine;
    // The rounding of a kept point and of the line's two ends.
    constexpr double kRounding = 1.5;
    const struct {
        const char* term;
        int xAxis, yAxis;  // 0 linear, 1 logarithmic
        double x1, x2, y1, y2;
        int sums;             // n from 1 to this
        double fewerAtLeast;  // on the printer itself
    } cases[] = {
        {"sin(x)", 0, 0, -8, 8, -8, 8, 0, 8},
        {"x^5/100", 0, 0, -8, 8, -8, 8, 0, 5},            // steep, leaves the plot at top and bottom
        {"blanc(n*x)/n^2", 0, 0, -8, 8, -1, 2, 8, 1},      // noise at every sample
        {"tan(x)", 0, 0, -8, 8, -8, 8, 0, 5},             // poles
        {"int(x)+sqrt(36-x^2)/4", 0, 0, -8, 8, -8, 8, 0, 5},  // jumps, undefined beyond +-6
        {"ln(x)", 1, 0, 0.01, 100, -5, 5, 0, 5},
        {"x^2", 0, 1, -8, 8, 0.01, 100, 0, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.term);
        ResetProgramState();
        OnlySlot(1, kCurve);
        gTerms.TermF = c.term;
        gDisplay.Koordinatensystem.xSkalierung = static_cast<uint8_t>(c.xAxis);
        gDisplay.Koordinatensystem.ySkalierung = static_cast<uint8_t>(c.yAxis);
        SetWindow(c.x1, c.x2, c.y1, c.y2);
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = std::max(1, c.sums);
        const auto all = Print(0, kFine), thinned = Print(kTolerance, kFine);
        ASSERT_EQ(all.size(), thinned.size());
        ASSERT_FALSE(all.empty());
        for (size_t i = 0; i < all.size(); ++i) {
            const auto& a = all[i].points;
            const auto& t = thinned[i].points;
            ASSERT_EQ(a.front(), t.front());
            ASSERT_EQ(a.back(), t.back());
            size_t k = 0;  // t[k] is the last kept point so far
            for (size_t j = 0; j < a.size(); ++j) {
                if (k + 1 < t.size() && a[j] == t[k + 1]) {
                    ++k;
                    continue;
                }
                if (a[j] == t[k]) continue;
                ASSERT_LT(k + 1, t.size()) << "a point that is not the previous one's";
                EXPECT_LE(SegmentDistance(a[j], t[k], t[k + 1]), kTolerance + kRounding) << a[j].x << "," << a[j].y;
                // A point beyond both its neighbours is where the curve turns.
                EXPECT_LE(SegmentDistance(a[j], t[k], t[k + 1]), kTolerance + kRounding) << a[j].x << "," << a[j].y;
            }
            EXPECT_EQ(k + 1, t.size()) << "kept points out of order";
        }
        // On the printer itself: many times fewer points where the curve is smooth.
        const size_t printed = PointCount(Print(0, 1)), kept = PointCount(Print(kVectorLineTolerance, 1));
        EXPECT_GE(static_cast<double>(printed), c.fewerAtLeast * static_cast<double>(kept)) << printed << " " << kept;
    }
}

}  // namespace
}  // namespace kalvo
