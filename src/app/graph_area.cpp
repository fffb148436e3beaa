#include "graph_area.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

namespace kalvo {

TGraphArea::TGraphArea(QWidget* parent) : QWidget(parent) {
    // The picture covers every pixel; Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TGraphArea::FitSurface() {
    if (surface_.Image().size() == size()) return;
    surface_.Resize(width(), height());
    RequestRedraw();
}

void TGraphArea::Redraw(bool clearFirst) {
    redrawPending_ = false;
    if (surface_.Image().size() != size()) surface_.Resize(width(), height());
    surface_.Redraw(clearFirst);
    drawn_ = true;
    update();
}

void TGraphArea::RequestRedraw() {
    if (redrawPending_) return;
    redrawPending_ = true;
    QTimer::singleShot(0, this, [this] {
        if (redrawPending_) Redraw(true);
    });
}

void TGraphArea::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.drawImage(event->rect(), surface_.Image(), event->rect());
    if (drawn_ && !firstPaintReported_) {
        firstPaintReported_ = true;
        emit FirstGraphPainted();
    }
}

}  // namespace kalvo
