#pragma once
// The canvas on any QPaintDevice: the screen's backing QImage, a QPrinter,
// the metafile recorder. Qt state follows the canvas state lazily, only when
// something is drawn.

#include <QFontMetrics>
#include <QPainter>

#include <optional>
#include <QPolygon>

#include "canvas.h"

class QPaintDevice;

namespace kalvo {

// The hatchings as Qt draws them; widgets that show a hatching use the same.
Qt::BrushStyle ToQtBrushStyle(BrushStyle s);


// How far (in device pixels) a polyline on a printer or in a metafile may
// pass from a point of it that it leaves out: a printed or converted curve
// has four points to every pixel of it on the screen, tens of millions in a
// full picture, which the printer's engine or the file's reader would then
// have to take one by one.
inline constexpr double kVectorLineTolerance = 0.25;

class QPainterCanvas final : public Canvas {
public:
    // Paints on the device while the canvas lives. fontDpi turns font points
    // into device pixels: the screen resolution for images and metafiles,
    // the printer's resolution for a printer. Polylines on a device that is
    // not a picture of pixels (a printer, a metafile) keep the points within
    // kVectorLineTolerance of the device's pixels; on images every point.
    explicit QPainterCanvas(QPaintDevice* device, double fontDpi = kScreenDpi);
    // Paints through a painter the caller has set up (a translated or scaled
    // printer page); the painter stays the caller's.
    explicit QPainterCanvas(QPainter& painter, double fontDpi = kScreenDpi);
    ~QPainterCanvas() override;

    // Finishes drawing; an own painter ends, so the device may be used.
    void End();
    QPainter& Painter() { return *painter_; }

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
    void Setup();
    void ApplyPen();
    void ApplyBrush();
    void ApplyNoBrush();
    const QFont& CurrentQFont();
    const QFontMetrics& CurrentMetrics();
    const QPolygon& ToPolygon(std::span<const CanvasPoint> points);

    QPainter ownPainter_;
    QPainter* painter_;
    double fontDpi_;
    bool ended_ = false;

    bool penValid_ = false;
    CanvasPen appliedPen_;
    bool brushValid_ = false;
    CanvasBrush appliedBrush_;
    bool fontValid_ = false;
    CanvasFont cachedFont_;
    QFont qfont_;
    std::optional<QFontMetrics> metrics_;
    QPolygon polygon_;
};

}  // namespace kalvo
