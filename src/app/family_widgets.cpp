#include "family_widgets.h"

#include <QPainter>
#include <algorithm>

#include "color.h"
#include "primitives.h"

namespace kalvo {

void TSlotLines::DrawMark(QPainter& p, const Schaubild& s, int y) {
    QPen pen(ToQColor(s.Linienfarbe));
    pen.setWidth(std::clamp<int>(s.Linienart, 0, 3) + 1);
    pen.setCapStyle(Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(4, y, 4 + (width() - 8), y);
}

Color SpectrumBandColor(int k, int band) {
    const int i = std::clamp(band, 0, kSpectrumBands - 1);
    return SpectrumColor(k, 4 * i, 3 * i);
}

TSpectrumBox::TSpectrumBox(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void TSpectrumBox::SetSpectrum(int k) {
    spectrum_ = std::clamp(k, 1, kSpectrumCount);
    update();
}

void TSpectrumBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    for (int i = 0; i < kSpectrumBands; ++i) p.fillRect(0, i, width(), 1, ToQColor(SpectrumBandColor(spectrum_, i)));
}

}  // namespace kalvo
