#include "graph_area.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>

#include "canvas.h"
#include "program_state.h"
#include "work_budget.h"

namespace kalvo {

namespace {
// How often a redraw that waits for an output looks again.
constexpr int kRedrawRetryMs = 100;
}  // namespace

TGraphArea::TGraphArea(QWidget* parent) : QWidget(parent) {
    // The picture covers every pixel; Qt need not clear behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // The coordinates of the mouse are shown while it moves without a button.
    setMouseTracking(true);
}

void TGraphArea::FitSurface() {
    if (surface_.Size() == size()) return;
    surface_.Resize(width(), height());
    RequestRedraw();
}

void TGraphArea::Redraw(bool clearFirst) {
    // While a printout or an export draws, the screen's redraw waits for it:
    // the progress dialog's events must not start one on its canvas.
    if (CancellableWorkRunning()) {
        redrawPending_ = true;
        if (!waitingForOutput_) {
            waitingForOutput_ = true;
            QTimer::singleShot(kRedrawRetryMs, this, [this] {
                waitingForOutput_ = false;
                if (redrawPending_) Redraw(true);
            });
        }
        return;
    }
    redrawPending_ = false;
    if (surface_.Size() != size()) surface_.Resize(width(), height());
    surface_.Redraw(clearFirst);
    // A preview belongs to the picture it was drawn over.
    overlay_ = QImage();
    drawn_ = true;
    update();
    emit Redrawn();
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
    if (!overlay_.isNull()) p.drawImage(event->rect(), overlay_, event->rect());
    if (!band_.isNull()) {
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(band_.normalized());
    }
    if (drawn_ && !firstPaintReported_) {
        firstPaintReported_ = true;
        emit FirstGraphPainted();
    }
}

void TGraphArea::SetOverlay(QImage overlay) {
    overlay_ = std::move(overlay);
    update();
}

void TGraphArea::SetRubberBand(const QRect& band) {
    // The old and the new rectangle's outlines both need a repaint.
    const QRect old = band_.normalized().adjusted(-1, -1, 1, 1);
    band_ = band;
    update(old);
    update(band_.normalized().adjusted(-1, -1, 1, 1));
}

void TGraphArea::mousePressEvent(QMouseEvent* event) { emit MousePressed(event->button(), event->position().toPoint()); }

void TGraphArea::mouseMoveEvent(QMouseEvent* event) { emit MouseMoved(event->buttons(), event->position().toPoint()); }

void TGraphArea::mouseReleaseEvent(QMouseEvent* event) {
    emit MouseReleased(event->button(), event->position().toPoint());
}

}  // namespace kalvo
