#include "slot_marks.h"

#include <QCheckBox>
#include <QPainter>
#include <algorithm>

#include "color_button.h"
#include "color.h"
#include "draw_combo_box.h"

namespace kalvo {

QPen SlotMarkPen(const Schaubild& s) {
    QPen pen(ToQColor(s.Linienfarbe));
    pen.setCapStyle(Qt::FlatCap);
    switch (s.Linienart) {
        case 0: pen.setWidth(1); break;
        case 1:
            pen.setWidth(1);
            pen.setStyle(Qt::DotLine);
            break;
        case 2: pen.setWidth(2); break;
        default: pen.setWidth(3); break;
    }
    return pen;
}

TSlotMarks::TSlotMarks(QWidget* parent) : QWidget(parent) {}

void TSlotMarks::SetSlots(int firstSlot, std::vector<QCheckBox*> boxes) {
    firstSlot_ = firstSlot;
    boxes_ = std::move(boxes);
    update();
}

int TSlotMarks::LineY(int box) const {
    if (box < 1 || box > static_cast<int>(boxes_.size())) return -1;
    const QCheckBox* b = boxes_[static_cast<size_t>(box - 1)];
    const QPoint top = b->parentWidget() ? b->parentWidget()->mapTo(window(), b->pos()) : b->pos();
    return mapFrom(window(), top).y() + b->height() / 2;
}

void TSlotMarks::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int count = static_cast<int>(boxes_.size());
    for (int i = 1; i <= count; ++i) {
        const int slot = firstSlot_ + i - 1;
        if (slot < 1 || slot > kGraphSlots) continue;
        const Schaubild& s = gDisplay.Schaubilder[static_cast<size_t>(slot)];
        if (s.zeichnen) DrawMark(p, s, LineY(i));
    }
}

void TSlotMarks::DrawMark(QPainter& p, const Schaubild& s, int y) {
    p.setPen(SlotMarkPen(s));
    for (int row : {y, y - 1}) p.drawLine(4, row, 4 + (width() - 8), row);
}

SlotBoxes::SlotBoxes(QObject* parent, int firstSlot, std::vector<QCheckBox*> boxes, TSlotMarks* marks,
                     TColorButton* colorButton, TLineWidthComboBox* widthBox, Color& dialogColor)
    : QObject(parent),
      firstSlot_(firstSlot),
      boxes_(std::move(boxes)),
      marks_(marks),
      colorButton_(colorButton),
      widthBox_(widthBox),
      dialogColor_(dialogColor) {
    marks_->SetSlots(firstSlot_, boxes_);
    for (int i = 1; i <= Count(); ++i) {
        connect(Box(i), &QCheckBox::clicked, this, [this, i](bool ticked) {
            if (initialising_) return;
            if (ticked)
                Markieren(i);
            else
                Loeschen(i);
        });
    }
    connect(colorButton_, &TColorButton::OnChange, this, &SlotBoxes::ColorChanged);
}

void SlotBoxes::ColorChanged() {
    dialogColor_ = colorButton_->SelectionColor();
    widthBox_->SetLineColor(dialogColor_);
}

void SlotBoxes::InitMarkierungen() {
    initialising_ = true;
    for (int i = 1; i <= Count(); ++i) Box(i)->setChecked(gDisplay.Schaubilder[static_cast<size_t>(Slot(i))].zeichnen);
    colorButton_->SetSelectionColor(dialogColor_);
    widthBox_->SetLineColor(dialogColor_);
    initialising_ = false;
    marks_->update();
}

void SlotBoxes::Markieren(int box) {
    const int width = std::clamp(widthBox_->LineWidth(), 1, 4);
    gDisplay.Schaubilder[static_cast<size_t>(Slot(box))] =
        Schaubild{dialogColor_, static_cast<uint8_t>(width - 1), true};
    marks_->update();
}

void SlotBoxes::Loeschen(int box) {
    gDisplay.Schaubilder[static_cast<size_t>(Slot(box))].zeichnen = false;
    marks_->update();
}

void SlotBoxes::LoeschenAll() {
    for (int i = 1; i <= Count(); ++i) Loeschen(i);
    InitMarkierungen();
}

}  // namespace kalvo
