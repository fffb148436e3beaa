#include "canvas_recording.h"

namespace kalvo {

CanvasRecord& RecordingCanvas::Add(CanvasRecord::Kind kind) {
    CanvasRecord& r = records_.emplace_back();
    r.kind = kind;
    r.pen = Pen();
    r.brush = Brush();
    r.font = Font();
    return r;
}

void RecordingCanvas::DoPolyline(std::span<const CanvasPoint> points) {
    if (Pen().style == PenStyle::Clear) return;
    Add(CanvasRecord::Kind::Polyline).points.assign(points.begin(), points.end());
}

void RecordingCanvas::DoPolygon(std::span<const CanvasPoint> points) {
    Add(CanvasRecord::Kind::Polygon).points.assign(points.begin(), points.end());
}

void RecordingCanvas::DoRectangle(const CanvasRect& r) { Add(CanvasRecord::Kind::Rectangle).rect = r; }

void RecordingCanvas::DoEllipse(const CanvasRect& r) { Add(CanvasRecord::Kind::Ellipse).rect = r; }

void RecordingCanvas::DoFillRect(const CanvasRect& r) {
    if (Brush().style == BrushStyle::Clear) return;
    Add(CanvasRecord::Kind::FillRect).rect = r;
}

void RecordingCanvas::DoText(int x, int y, std::string_view utf8, const CanvasRect* clip) {
    CanvasRecord& r = Add(CanvasRecord::Kind::Text);
    r.at = CanvasPoint{x, y};
    r.text.assign(utf8);
    if (clip) {
        r.clipped = true;
        r.rect = *clip;
    }
}

CanvasSize RecordingCanvas::DoTextExtent(std::string_view utf8) { return MeasureText(Font(), utf8, fontDpi_); }

void RecordingCanvas::DoClip(const CanvasRect* r) {
    if (r)
        Add(CanvasRecord::Kind::Clip).rect = *r;
    else
        Add(CanvasRecord::Kind::NoClip);
}

}  // namespace kalvo
