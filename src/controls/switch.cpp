#include "switch.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

#include "canvas.h"

namespace kalvo {

namespace {

// The caption's font: small, white on the coloured face.
QFont CaptionFont() {
    CanvasFont font;
    font.name = "Small Fonts";
    font.size = 7;
    QFont f = ToQFont(font, kScreenDpi);
    // Where no font of that name exists, a narrow one still fits the face.
    f.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans Condensed"),
                   QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial")});
    return f;
}

}  // namespace

TSwitch::TSwitch(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setFont(CaptionFont());
    resize(slope_ + 18, 83);
}

QSize TSwitch::sizeHint() const { return {slope_ + 18, 83}; }

template <typename T>
void TSwitch::Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    update();
}

void TSwitch::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    update();
    DoChanged();
}

void TSwitch::DoChanged() {
    emit OnChanged();
    if (checked_)
        emit OnChecked();
    else
        emit OnUnChecked();
}

void TSwitch::SetCheckedLeft(bool left) { Store(checkedLeft_, left); }
void TSwitch::SetCaptionOn(const QString& caption) { Store(captionOn_, caption); }
void TSwitch::SetCaptionOff(const QString& caption) { Store(captionOff_, caption); }
void TSwitch::SetSlope(int slope) { Store(slope_, std::clamp(slope, 0, 255)); }

void TSwitch::SetSideLength(int length) {
    if (length < 0 || length > 255 || length >= width() - 4) return;
    Store(sideLength_, length);
}

void TSwitch::SetOnColor(Color color) { Store(onColor_, color & 0xFFFFFF); }
void TSwitch::SetOffColor(Color color) { Store(offColor_, color & 0xFFFFFF); }
void TSwitch::SetTopColor(Color color) { Store(topColor_, color & 0xFFFFFF); }
void TSwitch::SetSideColor(Color color) { Store(sideColor_, color & 0xFFFFFF); }

// The block is sunk into the dialog between ATop and ATop + AHeight and rocks
// about its middle; it is seen a little from above. The raised half leans
// out towards the viewer: its top shows as a slanted triangle and its outer
// edge reaches Slope pixels lower. The lowered half leans in: its outer edge
// rises SideLength pixels above the bottom and shows the wall of the recess
// below it. Coordinates run from the raised half's outer edge and are
// mirrored when that is the right edge.
TSwitch::Shapes TSwitch::CalcShapes() const {
    Shapes s;
    s.ALeft = s.ATop = 2;
    s.AHeight = height() - slope_ - 4;
    s.AWidth = width() - 2 * s.ALeft;
    s.Side = s.AWidth / 2;
    s.LabelOfs = s.Side + s.ALeft;
    const bool left = checked_ == checkedLeft_;
    if (!left) s.Side = -s.Side;

    const int half = std::abs(s.Side);
    const int top = s.ATop, bottom = s.ATop + s.AHeight;
    const int wall = std::clamp(sideLength_, 0, std::max(0, s.AHeight));
    const auto x = [&](int u) { return left ? s.ALeft + u : s.ALeft + s.AWidth - u; };
    s.TopShape = {QPoint(x(0), top), QPoint(x(half), top), QPoint(x(0), top + slope_)};
    s.OnShape = {QPoint(x(0), top + slope_), QPoint(x(half), top), QPoint(x(half), bottom),
                 QPoint(x(0), bottom + slope_)};
    s.OffShape = {QPoint(x(half), top), QPoint(x(s.AWidth), top), QPoint(x(s.AWidth), bottom - wall),
                  QPoint(x(half), bottom)};
    s.SideShape = {QPoint(x(half), bottom), QPoint(x(s.AWidth), bottom - wall), QPoint(x(s.AWidth), bottom),
                   QPoint(x(half), bottom)};
    return s;
}

// The halves meet at LabelOfs, where they are drawn.
bool TSwitch::HitsLoweredHalf(int x) const {
    const Shapes s = CalcShapes();
    return s.Side > 0 ? x >= s.LabelOfs : x < s.LabelOfs;
}

void TSwitch::paintEvent(QPaintEvent*) {
    const Shapes s = CalcShapes();
    QPainter p(this);
    if (hasFocus()) {
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(0, 0, width() - 1, s.AHeight + 2 * s.ATop);
    }
    const int left = s.ALeft, top = s.ATop, right = s.ALeft + s.AWidth, bottom = s.ATop + s.AHeight;
    p.setPen(Qt::white);
    p.drawPolyline(QPolygon({QPoint(left - 1, bottom + 1), QPoint(right, bottom + 1), QPoint(right, top - 2)}));
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawPolyline(QPolygon({QPoint(right, top - 1), QPoint(left - 1, top - 1), QPoint(left - 1, bottom + 1)}));

    p.setPen(Qt::black);
    const auto face = [&](const auto& shape, Color color) {
        p.setBrush(ToQColor(color));
        p.drawPolygon(shape.data(), static_cast<int>(shape.size()));
    };
    face(s.TopShape, topColor_);
    face(s.SideShape, sideColor_);
    face(s.OnShape, checked_ ? onColor_ : offColor_);
    face(s.OffShape, offColor_);

    // The face is too narrow for a word: its letters stand one above the other.
    const QString caption = Caption();
    const QFontMetrics fm = fontMetrics();
    const int half = std::abs(s.Side);
    const int line = fm.height() - 2;
    int y = (s.AHeight - static_cast<int>(caption.size()) * line) / 2 + s.ATop;
    p.setPen(Qt::white);
    for (const QChar c : caption) {
        const int x = (half - fm.horizontalAdvance(c)) / 2 + (s.Side > 0 ? s.ALeft : s.LabelOfs);
        p.drawText(QPoint(x, y + fm.ascent()), QString(c));
        y += line;
    }
}

void TSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    if (HitsLoweredHalf(event->position().toPoint().x())) SetChecked(!checked_);
}

void TSwitch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter: SetChecked(!checked_); return;
        default: QWidget::keyPressEvent(event);
    }
}

void TSwitch::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void TSwitch::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

}  // namespace kalvo
