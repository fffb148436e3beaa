#include "draw_combo_box.h"

#include <QAbstractItemDelegate>
#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>

#include "canvas_qpainter.h"

namespace kalvo {

namespace {

// Hands the painting of the list items to the box.
class DrawItemDelegate : public QAbstractItemDelegate {
public:
    explicit DrawItemDelegate(TDrawComboBox* box) : QAbstractItemDelegate(box), box_(box) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setClipRect(option.rect);
        box_->DrawItem(*painter, index.row(), option.rect, option.state & QStyle::State_Selected);
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), box_->ItemHeight()};
    }

private:
    TDrawComboBox* box_;
};

// The ends of a rectangle as left, top and exclusive right, bottom.
struct Ends {
    int l, t, r, b;
    explicit Ends(const QRect& q) : l(q.left()), t(q.top()), r(q.left() + q.width()), b(q.top() + q.height()) {}
};

// A 1-pixel outlined rectangle covering the pixels l..r-1, t..b-1.
QRect Outline(int l, int t, int r, int b) { return {l, t, r - l - 1, b - t - 1}; }

constexpr int kLastPictureIndex = 7;  // 8 hatchings, 8 marker symbols
constexpr int kMostPenWidths = 20;

}  // namespace

// ---------------------------------------------------------------- TDrawComboBox

TDrawComboBox::TDrawComboBox(int itemHeight, QWidget* parent) : QComboBox(parent), itemHeight_(itemHeight) {
    setItemDelegate(new DrawItemDelegate(this));
    connect(this, &QComboBox::activated, this, [this](int index) {
        ItemPicked(index);
        emit OnClick();
    });
}

QSize TDrawComboBox::sizeHint() const { return {std::max(QComboBox::sizeHint().width(), 80), 23}; }

QSize TDrawComboBox::minimumSizeHint() const { return {QComboBox::minimumSizeHint().width(), 23}; }

void TDrawComboBox::FillNumberedItems(const QString& stem, int count) {
    const QSignalBlocker block(this);
    clear();
    for (int i = 1; i <= count; ++i) addItem(stem + QString::number(i));
    setCurrentIndex(-1);
}

QColor TDrawComboBox::ItemBackground(bool selected) const {
    return palette().color(selected ? QPalette::Highlight : QPalette::Base);
}

void TDrawComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    if (currentIndex() < 0) return;
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
    painter.setClipRect(field);
    DrawItem(painter, currentIndex(), field, hasFocus());
}

// ----------------------------------------------------------- TFillStyleComboBox

TFillStyleComboBox::TFillStyleComboBox(QWidget* parent) : TDrawComboBox(16, parent) {
    FillItems();
    SetFillStyle(fillStyle_);
}

void TFillStyleComboBox::SetFillStyle(int style) {
    if (style < 0 || style > maxFillStyle_) return;
    fillStyle_ = style;
    setCurrentIndex(style);
}

void TFillStyleComboBox::SetBrushColor(Color color) {
    brushColor_ = color;
    update();
    if (view()) view()->viewport()->update();
}

void TFillStyleComboBox::SetMaxFillStyle(int limit) {
    const int keep = fillStyle_;
    maxFillStyle_ = std::clamp(limit, 0, kLastPictureIndex);
    FillItems();
    SetFillStyle(keep);
}

// One item per style the box accepts, so the user cannot pick one it would refuse.
void TFillStyleComboBox::FillItems() { FillNumberedItems(QStringLiteral("Ashurado "), maxFillStyle_ + 1); }

void TFillStyleComboBox::ItemPicked(int index) { fillStyle_ = index; }

void TFillStyleComboBox::DrawItem(QPainter& p, int index, const QRect& rect, bool selected) const {
    const Ends e(rect);
    p.fillRect(rect, ItemBackground(selected));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QBrush(ToQColor(brushColor_), ToQtBrushStyle(BrushStyleFromOrdinal(index))));
    p.drawRect(Outline(e.l + 4, e.t + 2, e.r - 4, e.b - 2));
}

// ----------------------------------------------------------- TLineStyleComboBox

TLineStyleComboBox::TLineStyleComboBox(QWidget* parent) : TDrawComboBox(17, parent) {
    FillItems();
    SetLineStyle(lineStyle_);
}

void TLineStyleComboBox::SetLineStyle(int style) {
    if (style < 0 || style > maxLineStyle_) return;
    lineStyle_ = style;
    setCurrentIndex(style);
}

void TLineStyleComboBox::SetMaxLineStyle(int limit) {
    const int keep = lineStyle_;
    maxLineStyle_ = std::clamp(limit, 0, kLastPictureIndex);
    FillItems();
    SetLineStyle(keep);
}

// One item per symbol the box accepts: a symbol above the limit is one the
// point drawing cannot draw, and the box would refuse to show it again.
void TLineStyleComboBox::FillItems() { FillNumberedItems(QStringLiteral("Ancho "), maxLineStyle_ + 1); }

void TLineStyleComboBox::ItemPicked(int index) { lineStyle_ = index; }

void TLineStyleComboBox::DrawItem(QPainter& p, int index, const QRect& rect, bool selected) const {
    const Ends e(rect);
    const QColor grey(0x80, 0x80, 0x80);
    p.fillRect(rect, ItemBackground(selected));
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(grey, 1));
    const int cx = e.l + (e.r - e.l) / 2;
    const int cy = e.t + (e.b - e.t) / 2;
    const QRect box = Outline(cx - 4, cy - 4, cx + 4, cy + 4);
    switch (index) {
        case 0: p.setBrush(grey); p.drawEllipse(box); break;
        case 1: p.setBrush(Qt::NoBrush); p.drawEllipse(box); break;
        case 2: p.setBrush(grey); p.drawRect(box); break;
        case 3: p.setBrush(Qt::NoBrush); p.drawRect(box); break;
        case 4:
        case 5:
            p.setPen(QPen(grey, index == 5 ? 2 : 1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(cx, cy - 4, cx, cy + 4);
            p.drawLine(cx - 4, cy, cx + 4, cy);
            break;
        case 6:
        case 7:
            p.setPen(QPen(grey, index == 7 ? 2 : 1, Qt::SolidLine, Qt::FlatCap));
            p.drawLine(cx - 4, cy - 4, cx + 4, cy + 4);
            p.drawLine(cx - 4, cy + 4, cx + 4, cy - 4);
            break;
        default: break;
    }
}

// ----------------------------------------------------------- TLineWidthComboBox

TLineWidthComboBox::TLineWidthComboBox(QWidget* parent) : TDrawComboBox(17, parent) {
    FillItems();
    SetLineWidth(lineWidth_);
}

void TLineWidthComboBox::SetLineWidth(int width) {
    lineWidth_ = width;
    setCurrentIndex(width >= 1 && width <= count() ? width - 1 : -1);
}

void TLineWidthComboBox::SetLineColor(Color color) {
    lineColor_ = color;
    update();
    if (view()) view()->viewport()->update();
}

void TLineWidthComboBox::SetMaxLineWidth(int limit) {
    const int keep = lineWidth_;
    maxLineWidth_ = std::clamp(limit, 1, kMostPenWidths);
    FillItems();
    SetLineWidth(keep);
}

void TLineWidthComboBox::FillItems() { FillNumberedItems(QStringLiteral("Ancho "), maxLineWidth_); }

void TLineWidthComboBox::ItemPicked(int index) { lineWidth_ = index + 1; }

void TLineWidthComboBox::DrawItem(QPainter& p, int index, const QRect& rect, bool selected) const {
    const Ends e(rect);
    p.fillRect(rect, ItemBackground(selected));
    p.fillRect(QRect(QPoint(e.l + 4, e.t + 2), QPoint(e.r - 5, e.b - 3)), palette().color(QPalette::Base));
    const int w = index + 1;
    p.setPen(QPen(ToQColor(lineColor_), w, Qt::SolidLine, Qt::FlatCap));
    const int y = e.t + (e.b - e.t) / 2;
    p.drawLine(e.l + 6 + w, y, e.r - 6 - w, y);
}

}  // namespace kalvo
