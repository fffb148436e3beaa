#include "graph_area.h"

#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "canvas.h"
#include "program_state.h"

namespace kalvo {

TGraphArea::TGraphArea(QWidget* parent) : QWidget(parent) {
    // The picture covers every pixel; Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TGraphArea::FitSurface() {
    if (surface_.Size() == size()) return;
    surface_.Resize(width(), height());
    RequestRedraw();
}

void TGraphArea::Redraw(bool clearFirst) {
    redrawPending_ = false;
    if (surface_.Size() != size()) surface_.Resize(width(), height());
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

// The window's first paint shows the graph at once instead of a blank area
// that the next paint replaces.
void TGraphArea::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (redrawPending_) Redraw(true);
}

void TGraphArea::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    if (surface_.Image().isNull())
        p.fillRect(event->rect(), ToQColor(gDisplay.HintergrundBildschirm));
    else
        p.drawImage(event->rect(), surface_.Image(), event->rect());
    if (drawn_ && !firstPaintReported_) {
        firstPaintReported_ = true;
        emit FirstGraphPainted();
    }
}

}  // namespace kalvo
