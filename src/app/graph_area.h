#pragma once
// The square graph area of the main window. The engine draws into the
// surface's image; a paint event only copies that image onto the screen.

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

signals:
    // The first paint that showed a drawn graph.
    void FirstGraphPainted();

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    ScreenSurface surface_;
    bool redrawPending_ = false;
    bool drawn_ = false;
    bool firstPaintReported_ = false;
};

}  // namespace kalvo
