#include "family_widgets.h"

#include <QPainter>
#include <algorithm>

#include "color.h"

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
    const int u = 4 * i, d = 255 - 4 * i;
    switch (k) {
        case 1: return MakeRGB(u, 0, d);
        case 2: return MakeRGB(0, d, u);
        case 3: return MakeRGB(d, u, 0);
        case 4: return MakeRGB(d, 0, 0);
        case 5: return MakeRGB(0, d, 0);
        case 6: return MakeRGB(0, 0, d);
        case 7: return MakeRGB(0, u, 255);
        case 8: return MakeRGB(u, 0, 255);
        case 9: return MakeRGB(128, 0, u);
        case 10: return MakeRGB(u, 0, 128);
        case 11: return MakeRGB(0, u, 128);
        case 12: return MakeRGB(3 * i, 3 * i, 3 * i);
        default: return 0;
    }
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
