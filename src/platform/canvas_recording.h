#pragma once
// A canvas that logs what was drawn, where and with which pen, brush and
// font; the tests look at pictures through it. Text is measured with the
// real fonts at screen resolution, as on the screen.

#include <string>
#include <vector>

#include "canvas.h"

namespace kalvo {

struct CanvasRecord {
    enum class Kind { Polyline, Polygon, Rectangle, Ellipse, FillRect, Text, Clip, NoClip };
    Kind kind = Kind::Polyline;
    std::vector<CanvasPoint> points;  // polylines and polygons
    CanvasRect rect;                  // shapes, fills, clips and the cut-off box of a text
    bool clipped = false;             // a text cut off at rect
    CanvasPoint at;                   // top-left corner of a text
    std::string text;
    CanvasPen pen;
    CanvasBrush brush;
    CanvasFont font;
};

class RecordingCanvas final : public Canvas {
public:
    explicit RecordingCanvas(double fontDpi = kScreenDpi) : fontDpi_(fontDpi) {}
    ~RecordingCanvas() override { Flush(); }

    // Everything drawn so far, a gathered polyline included.
    const std::vector<CanvasRecord>& Records() {
        Flush();
        return records_;
    }
    void ClearRecords() {
        Flush();
        records_.clear();
    }

protected:
    void DoPolyline(std::span<const CanvasPoint> points) override;
    void DoPolygon(std::span<const CanvasPoint> points) override;
    void DoRectangle(const CanvasRect& r) override;
    void DoEllipse(const CanvasRect& r) override;
    void DoFillRect(const CanvasRect& r) override;
    void DoText(int x, int y, std::string_view utf8, const CanvasRect* clip) override;
    CanvasSize DoTextExtent(std::string_view utf8) override;
    void DoClip(const CanvasRect* r) override;

private:
    CanvasRecord& Add(CanvasRecord::Kind kind);

    double fontDpi_;
    std::vector<CanvasRecord> records_;
};

}  // namespace kalvo
