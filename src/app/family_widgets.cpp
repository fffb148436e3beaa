#include "family_widgets.h"

#include <QCheckBox>
#include <QPainter>
#include <algorithm>

#include "color.h"

namespace kalvo {

TSlotLines::TSlotLines(QWidget* parent) : QWidget(parent) {}

void TSlotLines::SetCheckBoxes(std::vector<QCheckBox*> boxes) {
    boxes_ = std::move(boxes);
    update();
}

int TSlotLines::LineY(int slot) const {
    if (slot < 1 || slot > static_cast<int>(boxes_.size())) return -1;
    const QCheckBox* box = boxes_[static_cast<size_t>(slot - 1)];
    const QPoint top = box->parentWidget() ? box->parentWidget()->mapTo(window(), box->pos()) : box->pos();
    return mapFrom(window(), top).y() + boxes_.front()->height() / 2;
}

void TSlotLines::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int count = std::min(static_cast<int>(boxes_.size()), kGraphSlots);
    for (int i = 1; i <= count; ++i) {
        const Schaubild& s = gDisplay.Schaubilder[static_cast<size_t>(i)];
        if (!s.zeichnen) continue;
        QPen pen(ToQColor(s.Linienfarbe));
        pen.setWidth(std::clamp<int>(s.Linienart, 0, 3) + 1);
        pen.setCapStyle(Qt::FlatCap);
        p.setPen(pen);
        const int y = LineY(i);
        p.drawLine(4, y, 4 + (width() - 8), y);
    }
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
