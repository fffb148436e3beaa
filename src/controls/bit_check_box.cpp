#include "bit_check_box.h"

#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QShortcutEvent>
#include <QStyleOption>
#include <algorithm>
#include <array>

// Resources of a static library are registered by hand.
static void InitControlResources() { Q_INIT_RESOURCE(controls); }

namespace kalvo {

namespace {

// A picture of this library's resources, decoded as PNG and as nothing else:
// an image reader left to find the format itself would try, and load, every
// image plugin there is first.
QPixmap DecodePng(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

// The three pictures are decoded once for all boxes.
const QPixmap& DefaultGlyph(TBitCheckBox::TCheckBoxState state) {
    // Never destroyed: pixmaps must not outlive the application object.
    static const auto* const glyphs = [] {
        InitControlResources();
        auto* g = new std::array<QPixmap, 3>;
        (*g)[TBitCheckBox::cbUnchecked] = DecodePng(QStringLiteral(":/controls/UNCHECKED"));
        (*g)[TBitCheckBox::cbChecked] = DecodePng(QStringLiteral(":/controls/CHECKED"));
        (*g)[TBitCheckBox::cbGrayed] = DecodePng(QStringLiteral(":/controls/GRAYED"));
        return g;
    }();
    switch (state) {
        case TBitCheckBox::cbChecked: return (*glyphs)[TBitCheckBox::cbChecked];
        case TBitCheckBox::cbGrayed: return (*glyphs)[TBitCheckBox::cbGrayed];
        default: return (*glyphs)[TBitCheckBox::cbUnchecked];
    }
}

}  // namespace

TBitCheckBox::TBitCheckBox(QWidget* parent) : QAbstractButton(parent) {
    for (auto s : {cbUnchecked, cbChecked, cbGrayed}) SetGlyph(s, QPixmap());
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &TBitCheckBox::OnClick);
}

TBitCheckBox::TBitCheckBox(const QString& caption, QWidget* parent) : TBitCheckBox(parent) { setText(caption); }

void TBitCheckBox::SetState(TCheckBoxState state) {
    if (state == state_) return;
    state_ = state;
    update();
}

void TBitCheckBox::SetChecked(bool checked) { SetState(checked ? cbChecked : cbUnchecked); }

void TBitCheckBox::SetAlignment(TLeftRight alignment) {
    alignment_ = alignment;
    update();
}

void TBitCheckBox::SetGlyph(TCheckBoxState state, const QPixmap& glyph) {
    Glyph& g = glyphs_[state];
    g.bitmap = glyph.isNull() ? DefaultGlyph(state) : glyph;
    const int w = g.bitmap.width(), h = g.bitmap.height();
    if (h > 0 && w % h == 0) g.count = std::max(1, w / h);
    updateGeometry();
    update();
}

// At least one image, and never one narrower than a pixel.
void TBitCheckBox::SetNumGlyphs(TCheckBoxState state, int n) {
    Glyph& g = glyphs_[state];
    g.count = std::clamp(n, 1, std::max(1, g.bitmap.width()));
    updateGeometry();
    update();
}

void TBitCheckBox::Toggle() {
    switch (state_) {
        case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
        case cbChecked: SetState(cbUnchecked); break;
        case cbGrayed: SetState(cbChecked); break;
    }
}

void TBitCheckBox::nextCheckState() { Toggle(); }

// The caption's accelerator focuses and toggles at once, without the delay of
// an animated click.
bool TBitCheckBox::event(QEvent* e) {
    if (e->type() == QEvent::Shortcut) {
        if (focusPolicy() != Qt::NoFocus) setFocus(Qt::ShortcutFocusReason);
        if (!static_cast<QShortcutEvent*>(e)->isAmbiguous()) click();
        return true;
    }
    return QAbstractButton::event(e);
}

QSize TBitCheckBox::ImageSize() const {
    const Glyph& g = glyphs_[state_];
    return {g.bitmap.width() / g.count, g.bitmap.height()};
}

QRect TBitCheckBox::GlyphRect() const {
    const QSize image = ImageSize();
    const int x = alignment_ == taRightJustify ? 0 : width() - image.width();
    return {QPoint(x, (height() - image.height()) / 2), image};
}

QRect TBitCheckBox::CaptionRect() const {
    const QFontMetrics fm = fontMetrics();
    const QRect measured = style()->itemTextRect(fm, QRect(0, 0, 10000, 1000), Qt::TextShowMnemonic, true, text());
    const int x = alignment_ == taRightJustify ? ImageSize().width() + 4 : 1;
    const int h = fm.height();
    return {x, (height() - h) / 2, measured.width(), h};
}

QSize TBitCheckBox::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    const QRect measured = style()->itemTextRect(fm, QRect(0, 0, 10000, 1000), Qt::TextShowMnemonic, true, text());
    const QSize image = ImageSize();
    return {image.width() + 4 + measured.width() + 3, std::max({17, image.height() + 1, fm.height() + 2})};
}

void TBitCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    const Glyph& g = glyphs_[state_];
    const QRect target = GlyphRect();
    QPixmap image = g.bitmap.copy(QRect(QPoint(0, 0), target.size()));
    if (!isEnabled()) {
        QStyleOption opt;
        opt.initFrom(this);
        image = style()->generatedIconPixmap(QIcon::Disabled, image, &opt);
    }
    p.drawPixmap(target.topLeft(), image);
    const QRect caption = CaptionRect();
    style()->drawItemText(&p, caption, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::WindowText);
    if (hasFocus() && !text().isEmpty()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = caption.adjusted(-1, 0, 1, 0);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

}  // namespace kalvo
