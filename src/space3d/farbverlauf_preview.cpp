#include "farbverlauf_preview.h"

#include <QPainter>

#include "canvas_qpainter.h"
#include "grafik3d.h"

namespace kalvo {

TFarbverlauf::TFarbverlauf(QWidget* parent) : QWidget(parent) { setFixedSize(64, 18); }

void TFarbverlauf::SetSpektrum(int k) {
    if (k == spektrum_) return;
    spektrum_ = k;
    update();
}

void TFarbverlauf::paintEvent(QPaintEvent*) {
    {
        QPainter p(this);
        QPainterCanvas c(p);
        Farbverlauf(c, spektrum_, height());
    }
    ClearUpperVectorState();
}

}  // namespace kalvo
