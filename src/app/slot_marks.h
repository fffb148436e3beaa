#pragma once
// The graph-slot check boxes of the function-family, piecewise and
// parametric dialogs. Beside each box of a drawn slot a line shows the slot's
// colour and style; ticking a box gives its slot the dialog's pen and
// switches it on, unticking switches it off and keeps its pen.

#include <QObject>
#include <QPen>
#include <QWidget>
#include <vector>

#include "program_state.h"

class QCheckBox;
class QPainter;

namespace kalvo {

class TColorButton;
class TLineWidthComboBox;

// The pen of a slot's mark: Linienart 0 solid width 1, 1 dotted width 1,
// 2 solid width 2, 3 solid width 3.
QPen SlotMarkPen(const Schaubild& s);

// Beside each box a double line (two adjacent rows, so that a thin or dotted
// line still shows) with the slot's SlotMarkPen.
class TSlotMarks : public QWidget {
    Q_OBJECT
public:
    explicit TSlotMarks(QWidget* parent = nullptr);

    // Box 1 stands for slot firstSlot, box 2 for the next, and so on.
    void SetSlots(int firstSlot, std::vector<QCheckBox*> boxes);
    // The row of box i's line (1-based) in this widget's pixels: level with
    // the middle of the box.
    int LineY(int box) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The mark of a drawn slot at row y.
    virtual void DrawMark(QPainter& p, const Schaubild& s, int y);

private:
    int firstSlot_ = 1;
    std::vector<QCheckBox*> boxes_;
};

// The boxes, their marks and the dialog's pen working on the slot table.
class SlotBoxes : public QObject {
    Q_OBJECT
public:
    SlotBoxes(QObject* parent, int firstSlot, std::vector<QCheckBox*> boxes, TSlotMarks* marks,
              TColorButton* colorButton, TLineWidthComboBox* widthBox, Color& dialogColor);

    int Count() const { return static_cast<int>(boxes_.size()); }
    QCheckBox* Box(int i) const { return boxes_[static_cast<size_t>(i - 1)]; }
    int Slot(int box) const { return firstSlot_ + box - 1; }

    // Boxes and marks from the slot table, without touching a slot; the
    // colour button shows the dialog's colour.
    void InitMarkierungen();
    // Box i ticked: its slot takes the dialog's colour and the chosen width and is drawn.
    void Markieren(int box);
    // Box i unticked: its slot is no longer drawn.
    void Loeschen(int box);
    // Every slot of the boxes off.
    void LoeschenAll();

private:
    void ColorChanged();

    int firstSlot_;
    std::vector<QCheckBox*> boxes_;
    TSlotMarks* marks_;
    TColorButton* colorButton_;
    TLineWidthComboBox* widthBox_;
    Color& dialogColor_;
    bool initialising_ = false;
};

}  // namespace kalvo
