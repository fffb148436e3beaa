#pragma once
// The square graph area of the main window. The engine draws into the
// surface's image; a paint event only copies that image onto the screen,
// with the passing pictures over it: the preview of a drawing object and
// the rubber band of a zoom.

#include <QWidget>

#include "graph_link.h"

namespace kalvo {

class TGraphArea : public QWidget {
    Q_OBJECT
public:
    explicit TGraphArea(QWidget* parent = nullptr);

    // Redraws now and shows the picture with the next paint.
    void Redraw(bool clearFirst);
    // Asks for a redraw with clearing once the current event is done; many
    // requests in a row give one redraw.
    void RequestRedraw();
    bool RedrawPending() const { return redrawPending_; }

    // Fits the picture to the widget's size (the layout calls it).
    void FitSurface();

    const QImage& Picture() const { return surface_.Image(); }
    ScreenSurface& Surface() { return surface_; }

    // A transparent picture of the widget's size shown over the graph until
    // the next redraw (the preview of the object being placed).
    void SetOverlay(QImage overlay);
    const QImage& Overlay() const { return overlay_; }
    // The dotted rectangle of a zoom being dragged; an empty one hides it.
    void SetRubberBand(const QRect& band);
    QRect RubberBand() const { return band_; }

signals:
    // A new picture is drawn; the preview over the old one is gone.
    void Redrawn();
    // The first paint that showed a drawn graph.
    void FirstGraphPainted();
    // The mouse on the graph, in picture pixels.
    void MousePressed(Qt::MouseButton button, QPoint pos);
    void MouseMoved(Qt::MouseButtons buttons, QPoint pos);
    void MouseReleased(Qt::MouseButton button, QPoint pos);

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    ScreenSurface surface_;
    QImage overlay_;
    QRect band_;
    bool redrawPending_ = false;
    bool waitingForOutput_ = false;  // a redraw waits for a printout or an export
    bool drawn_ = false;
    bool firstPaintReported_ = false;
};

}  // namespace kalvo
