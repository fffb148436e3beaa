#pragma once
// A check box whose box is drawn from glyph bitmaps, with three states and a
// caption beside the glyph. A glyph bitmap may hold several images side by
// side; only the first is drawn.

#include <QAbstractButton>
#include <QPixmap>

namespace kalvo {

class TBitCheckBox : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(TCheckBoxState State READ State WRITE SetState)
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool AllowGrayed READ AllowGrayed WRITE SetAllowGrayed)
    Q_PROPERTY(TLeftRight Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QPixmap CheckedGlyph READ CheckedGlyph WRITE SetCheckedGlyph)
    Q_PROPERTY(QPixmap UncheckedGlyph READ UncheckedGlyph WRITE SetUncheckedGlyph)
    Q_PROPERTY(QPixmap GrayedGlyph READ GrayedGlyph WRITE SetGrayedGlyph)
    Q_PROPERTY(int CheckedNumGlyphs READ CheckedNumGlyphs WRITE SetCheckedNumGlyphs)
    Q_PROPERTY(int UncheckedNumGlyphs READ UncheckedNumGlyphs WRITE SetUncheckedNumGlyphs)
    Q_PROPERTY(int GrayedNumGlyphs READ GrayedNumGlyphs WRITE SetGrayedNumGlyphs)
public:
    enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
    Q_ENUM(TCheckBoxState)
    // Right-justified puts the caption right of the glyph.
    enum TLeftRight { taLeftJustify, taRightJustify };
    Q_ENUM(TLeftRight)

    explicit TBitCheckBox(QWidget* parent = nullptr);
    explicit TBitCheckBox(const QString& caption, QWidget* parent = nullptr);

    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool Checked() const { return state_ == cbChecked; }
    void SetChecked(bool checked);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool allow) { allowGrayed_ = allow; }
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight alignment);

    // A null pixmap brings back the state's own glyph. A glyph whose width is
    // a multiple of its height counts as that many images.
    QPixmap CheckedGlyph() const { return glyphs_[cbChecked].bitmap; }
    void SetCheckedGlyph(const QPixmap& glyph) { SetGlyph(cbChecked, glyph); }
    QPixmap UncheckedGlyph() const { return glyphs_[cbUnchecked].bitmap; }
    void SetUncheckedGlyph(const QPixmap& glyph) { SetGlyph(cbUnchecked, glyph); }
    QPixmap GrayedGlyph() const { return glyphs_[cbGrayed].bitmap; }
    void SetGrayedGlyph(const QPixmap& glyph) { SetGlyph(cbGrayed, glyph); }
    int CheckedNumGlyphs() const { return glyphs_[cbChecked].count; }
    void SetCheckedNumGlyphs(int n) { SetNumGlyphs(cbChecked, n); }
    int UncheckedNumGlyphs() const { return glyphs_[cbUnchecked].count; }
    void SetUncheckedNumGlyphs(int n) { SetNumGlyphs(cbUnchecked, n); }
    int GrayedNumGlyphs() const { return glyphs_[cbGrayed].count; }
    void SetGrayedNumGlyphs(int n) { SetNumGlyphs(cbGrayed, n); }

    // Unchecked goes to grayed when AllowGrayed, else to checked; checked to
    // unchecked; grayed to checked.
    virtual void Toggle();

    // Where the glyph image and the caption are drawn.
    QRect GlyphRect() const;
    QRect CaptionRect() const;

    QSize sizeHint() const override;

signals:
    // After a click, Space or the caption's accelerator has toggled the box.
    void OnClick();

protected:
    void nextCheckState() override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Glyph {
        QPixmap bitmap;
        int count = 1;
    };
    void SetGlyph(TCheckBoxState state, const QPixmap& glyph);
    void SetNumGlyphs(TCheckBoxState state, int n);
    QSize ImageSize() const;

    TCheckBoxState state_ = cbUnchecked;
    bool allowGrayed_ = false;
    TLeftRight alignment_ = taRightJustify;
    Glyph glyphs_[3];
};

}  // namespace kalvo
