#include "color_button.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionButton>
#include <QtWidgets/qdrawutil.h>
#include <algorithm>

#include "color.h"

namespace kalvo {

const std::array<Color, kPaletteSize> PopupColors = {
    0x804000, 0x880000, 0xA00000, 0xBB0000, 0xFF0000, 0xFF6666, 0xFF8000, 0xFF8080,
    0xFF0080, 0xC08080, 0xFF8888, 0xFFAAAA, 0xFFBBBB, 0xFFE0E0, 0xFFE5E5, 0xFFF0F0,
    0x808000, 0x808040, 0x808000, 0x808040, 0x008000, 0x008800, 0x008080, 0x008080,
    0x00BB00, 0x00FF00, 0x66FF66, 0x00FF00, 0x88FF88, 0xAAFFAA, 0xBBFFBB, 0xE0FFE0,
    0x404080, 0x000080, 0x000088, 0x0000BB, 0x0000FF, 0x0000FF, 0x0000FF, 0x8000FF,
    0x6666FF, 0x0080FF, 0x4080FF, 0x8080FF, 0x8888FF, 0xAAAAFF, 0xBBBBFF, 0xE0E0FF,
    0x800080, 0xBB00BB, 0xFF00FF, 0xFF00FF, 0xFF88FF, 0xFFAAFF, 0xFFBBFF, 0xFFE0FF,
    0x888800, 0xBBBB00, 0xFFFF00, 0xFFFF66, 0xFFFF88, 0xFFFFAA, 0xFFFFBB, 0xFFFFE0,
    0x008888, 0x00BBBB, 0x00FFFF, 0x66FFFF, 0x88FFFF, 0xAAFFFF, 0xBBFFFF, 0xE0FFFF,
    0x000000, 0x555555, 0x888888, 0xC0C0C0, 0xCCCCCC, 0xDDDDDD, 0xF0F0F0, 0xFFFFFF,
};

namespace {

int gColorButtonCount = 0;

// The letter after a single "&", upper case; null when there is none.
QChar MnemonicOf(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

}  // namespace

int ColorButtonCount() { return gColorButtonCount; }

QPoint PlacePopup(const QRect& button, const QSize& size, const QRect& screen) {
    int x = button.left();
    int y = button.top() + button.height();
    if (y + size.height() > screen.top() + screen.height()) y = button.top() - size.height();
    if (x + size.width() > screen.left() + screen.width()) x = screen.left() + screen.width() - size.width();
    return {std::max(x, screen.left()), std::max(y, screen.top())};
}

// ------------------------------------------------------------------ TColorPopup

TColorPopup::TColorPopup(TColorButton* owner) : QWidget(owner, Qt::Popup), owner_(owner) {
    setAttribute(Qt::WA_MouseTracking);
    setFocusPolicy(Qt::StrongFocus);
    Layout();
}

void TColorPopup::SetDefaultText(const QString& text) {
    defaultText_ = text;
    Layout();
}

void TColorPopup::SetSpacing(int spacing) {
    spacing_ = std::clamp(spacing, 0, 64);
    Layout();
}

void TColorPopup::SetCurrentColor(Color color) {
    const auto hit = std::find(PopupColors.begin(), PopupColors.end(), color & 0xFFFFFF);
    if (hit != PopupColors.end()) selectedIndex_ = static_cast<int>(hit - PopupColors.begin());
    update();
}

void TColorPopup::Layout() {
    const int inner = kPaletteColumns * boxSize_;
    cellsTop_ = 2 * margin_;
    defaultTextRect_ = QRect();
    if (!defaultText_.isEmpty()) {
        const int h = std::max(boxSize_, fontMetrics().height() + 6);
        defaultTextRect_ = QRect(margin_ + spacing_, cellsTop_, inner, h);
        cellsTop_ += h + 4;
    }
    resize(sizeHint());
    update();
}

QSize TColorPopup::sizeHint() const {
    return {kPaletteColumns * boxSize_ + 2 * (margin_ + spacing_), cellsTop_ + kPaletteRows * boxSize_ + 2 * margin_};
}

QRect TColorPopup::CellRect(int index) const {
    const int row = index / kPaletteColumns, column = index % kPaletteColumns;
    return {column * boxSize_ + margin_ + spacing_, row * boxSize_ + cellsTop_, boxSize_, boxSize_};
}

int TColorPopup::HitTest(const QPoint& pos) const {
    if (!defaultText_.isEmpty() && defaultTextRect_.contains(pos)) return kCaptionCell;
    const int x = pos.x() - (margin_ + spacing_);
    const int y = pos.y() - cellsTop_;
    if (x < 0 || y < 0) return kNoCell;
    const int column = x / boxSize_, row = y / boxSize_;
    // Right of the last column is no cell, not the first one of the next row.
    if (column >= kPaletteColumns || row >= kPaletteRows) return kNoCell;
    return row * kPaletteColumns + column;
}

void TColorPopup::SetHover(int index) {
    if (index == hoverIndex_) return;
    hoverIndex_ = index;
    update();
}

void TColorPopup::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QPalette& pal = palette();
    p.fillRect(rect(), pal.button());
    const auto cell = [&](const QRect& r, bool selected, bool hovered) {
        p.fillRect(r, selected && !hovered ? pal.light() : pal.button());
        if (selected || hovered) qDrawShadePanel(&p, r, pal, selected, 1);
    };
    if (!defaultText_.isEmpty()) {
        cell(defaultTextRect_, false, hoverIndex_ == kCaptionCell);
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(defaultTextRect_, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic, defaultText_);
    }
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    for (int i = 0; i < kPaletteSize; ++i) {
        const QRect r = CellRect(i);
        cell(r, i == selectedIndex_, i == hoverIndex_);
        p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
        p.setBrush(ToQColor(PopupColors[i]));
        p.drawRect(r.adjusted(3, 3, -4, -4));
    }
    qDrawShadePanel(&p, rect(), pal, false, margin_);
}

void TColorPopup::mouseMoveEvent(QMouseEvent* event) {
    const int index = HitTest(event->position().toPoint());
    SetHover(index < kPaletteSize ? index : kNoCell);
}

void TColorPopup::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (rect().contains(pos)) return;
    // A press on the button itself only closes; it must not open the palette again.
    const QPoint onOwner = owner_->mapFromGlobal(event->globalPosition().toPoint());
    setAttribute(Qt::WA_NoMouseReplay, owner_->rect().contains(onOwner));
    EndSelection(kNoCell, true);
}

void TColorPopup::mouseReleaseEvent(QMouseEvent* event) {
    const int index = HitTest(event->position().toPoint());
    if (index >= 0 || index == kCaptionCell) EndSelection(index, false);
}

void TColorPopup::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: EndSelection(hoverIndex_, false); return;
        case Qt::Key_Escape: EndSelection(kNoCell, true); return;
        default: break;
    }
    const QChar mnemonic = MnemonicOf(defaultText_);
    if ((event->modifiers() & Qt::AltModifier) && !mnemonic.isNull() && event->key() == mnemonic.unicode()) {
        EndSelection(kCaptionCell, false);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TColorPopup::hideEvent(QHideEvent*) {
    hoverIndex_ = kNoCell;
    owner_->PopupHidden();
}

// The palette closes first, so that a handler of OnChange finds it closed.
void TColorPopup::EndSelection(int index, bool cancel) {
    owner_->SetDroppedDown(false);
    if (cancel) return;
    if (index >= 0 && index < kPaletteSize)
        owner_->SetSelectionColor(PopupColors[index]);
    else if (index == kCaptionCell)
        owner_->DoDefaultSelect();
}

// ----------------------------------------------------------------- TColorButton

TColorButton::TColorButton(QWidget* parent) : QWidget(parent) {
    ++gColorButtonCount;
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::NoFocus);
    resize(sizeHint());
}

TColorPopup* TColorButton::Popup() {
    // The palette is a window of its own, made when it is first wanted: a
    // form with colour buttons need not build one for each before it shows.
    if (!popup_) {
        popup_ = new TColorPopup(this);
        popup_->SetSpacing(popupSpacing_);
        popup_->SetDefaultText(defaultText_);
        // The selection as the colours set so far would have left it.
        if (paletteColor_) popup_->SetCurrentColor(*paletteColor_);
    }
    return popup_;
}

TColorButton::~TColorButton() { --gColorButtonCount; }

QSize TColorButton::sizeHint() const { return {45, 22}; }

void TColorButton::SetSelectionColor(Color color) {
    color &= 0xFFFFFF;
    if (color == selectionColor_) return;
    selectionColor_ = color;
    update();
    if (std::find(PopupColors.begin(), PopupColors.end(), color) != PopupColors.end()) paletteColor_ = color;
    if (popup_) popup_->SetCurrentColor(color);
    emit OnChange();
}

void TColorButton::SetDefaultText(const QString& text) {
    defaultText_ = text;
    if (popup_) popup_->SetDefaultText(text);
}

void TColorButton::SetIndicatorBorder(TIndicatorBorder border) {
    indicatorBorder_ = border;
    update();
}

void TColorButton::SetFlat(bool flat) {
    flat_ = flat;
    update();
}

void TColorButton::SetTransparent(bool transparent) {
    transparent_ = transparent;
    update();
}

void TColorButton::SetGroupIndex(int index) {
    groupIndex_ = index;
    if (groupIndex_ == 0) SetDown(false);
}

void TColorButton::SetDown(bool down) {
    if (groupIndex_ == 0) down = false;
    if (down == down_) return;
    if (down_ && !allowAllUp_) return;
    down_ = down;
    state_ = down ? bsExclusive : bsUp;
    update();
    if (!down || !parentWidget()) return;
    for (TColorButton* other : parentWidget()->findChildren<TColorButton*>(Qt::FindDirectChildrenOnly)) {
        if (other == this || other->groupIndex_ != groupIndex_ || !other->down_) continue;
        other->down_ = false;
        other->state_ = bsUp;
        other->update();
    }
}

void TColorButton::SetAllowAllUp(bool allow) { allowAllUp_ = allow; }

void TColorButton::SetSpacing(int spacing) {
    spacing_ = std::clamp(spacing, 0, 32);
    update();
}

void TColorButton::SetPopupSpacing(int spacing) {
    popupSpacing_ = spacing;
    if (popup_) popup_->SetSpacing(spacing);
}

void TColorButton::SetDroppedDown(bool open) {
    if (open == droppedDown_) return;
    bool allowed = true;
    emit OnDropChanging(allowed);
    if (!allowed) return;
    droppedDown_ = open;
    if (open) {
        state_ = bsDown;
        Popup()->SetCurrentColor(selectionColor_);
        const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
        const QScreen* scr = screen() ? screen() : QGuiApplication::primaryScreen();
        const QRect area = scr ? scr->availableGeometry() : QRect(onScreen.topLeft(), QSize(4096, 4096));
        popup_->move(PlacePopup(onScreen, popup_->size(), area));
        popup_->show();
        popup_->setFocus(Qt::PopupFocusReason);
    } else {
        state_ = down_ ? bsExclusive : bsUp;
        if (popup_) popup_->hide();
    }
    emit OnDropChanged();
    update();
}

// The palette went away without being asked to (a press outside it).
void TColorButton::PopupHidden() {
    if (!droppedDown_) return;
    droppedDown_ = false;
    state_ = down_ ? bsExclusive : bsUp;
    emit OnDropChanged();
    update();
}

void TColorButton::DoDefaultSelect() { emit OnDefaultSelect(); }

void TColorButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) SetDroppedDown(true);
}

void TColorButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) SetDroppedDown(false);
    QWidget::changeEvent(event);
}

void TColorButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const bool pressed = state_ == bsDown || state_ == bsExclusive;
    if (!transparent_) p.fillRect(rect(), palette().button());
    QStyleOptionButton opt;
    opt.initFrom(this);
    opt.state |= pressed ? QStyle::State_Sunken : QStyle::State_Raised;
    if (!flat_)
        style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &opt, &p, this);
    else if (pressed || (isEnabled() && underMouse()))
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);

    QRect inner = rect().adjusted(spacing_, spacing_, -spacing_, -spacing_);
    if (pressed) inner.translate(1, 1);
    if (inner.isEmpty()) return;
    QColor fill = ToQColor(selectionColor_);
    if (!isEnabled()) fill = QColor::fromHsl(fill.hslHue(), fill.hslSaturation() / 3, (fill.lightness() + 2 * 192) / 3);
    switch (indicatorBorder_) {
        case ibNone: p.fillRect(inner, fill); break;
        case ibFlat:
            p.setPen(palette().color(isEnabled() ? QPalette::Shadow : QPalette::Dark));
            p.setBrush(fill);
            p.drawRect(inner.adjusted(0, 0, -1, -1));
            break;
        case ibSunken:
        case ibRaised: {
            const QBrush brush(fill);
            qDrawShadePanel(&p, inner, palette(), indicatorBorder_ == ibSunken, 1, &brush);
            break;
        }
    }
}

}  // namespace kalvo
