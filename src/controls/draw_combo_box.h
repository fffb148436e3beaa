#pragma once
// Drop-down lists that show a drawing style by its picture: a brush hatching,
// a point-marker symbol or a pen width. Each item is painted by DrawItem, in
// the list and in the closed box alike; the item texts are never shown.
//
// When a dialog sets these properties from a form file, the limit has to come
// before the value, as a value above the current limit is refused.

#include <QComboBox>

#include "program_state.h"

namespace kalvo {

class TDrawComboBox : public QComboBox {
    Q_OBJECT
public:
    TDrawComboBox(int itemHeight, QWidget* parent);

    int ItemHeight() const { return itemHeight_; }
    // Paints item `index` into `rect`; `selected` gives it the highlight background.
    virtual void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const = 0;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The user picked an item; the value property already holds it.
    void OnClick();

protected:
    // Replaces the items; nothing is selected afterwards.
    virtual void FillItems() = 0;
    // Takes over the value of an item the user picked.
    virtual void ItemPicked(int index) = 0;
    void FillNumberedItems(const QString& stem, int count);
    QColor ItemBackground(bool selected) const;

    void paintEvent(QPaintEvent* event) override;

private:
    int itemHeight_;
};

class TFillStyleComboBox : public TDrawComboBox {
    Q_OBJECT
    Q_PROPERTY(int FillStyle READ FillStyle WRITE SetFillStyle)
    Q_PROPERTY(uint BrushColor READ BrushColor WRITE SetBrushColor)
    Q_PROPERTY(int MaxFillStyle READ MaxFillStyle WRITE SetMaxFillStyle)
public:
    explicit TFillStyleComboBox(QWidget* parent = nullptr);

    // Brush ordinal 0..7 (solid, clear, horizontal, vertical, forward and
    // backward diagonal, cross, diagonal cross).
    int FillStyle() const { return fillStyle_; }
    // A value outside 0..MaxFillStyle is ignored.
    void SetFillStyle(int style);
    Color BrushColor() const { return brushColor_; }
    void SetBrushColor(Color color);
    int MaxFillStyle() const { return maxFillStyle_; }
    void SetMaxFillStyle(int limit);

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const override;

protected:
    void FillItems() override;
    void ItemPicked(int index) override;

private:
    int fillStyle_ = 0;
    Color brushColor_ = 0;
    int maxFillStyle_ = 7;
};

class TLineStyleComboBox : public TDrawComboBox {
    Q_OBJECT
    Q_PROPERTY(int LineStyle READ LineStyle WRITE SetLineStyle)
    Q_PROPERTY(int MaxLineStyle READ MaxLineStyle WRITE SetMaxLineStyle)
public:
    explicit TLineStyleComboBox(QWidget* parent = nullptr);

    // Marker symbol 0..7: filled and hollow circle, filled and hollow square,
    // plus, bold plus, cross, bold cross.
    int LineStyle() const { return lineStyle_; }
    // A value outside 0..MaxLineStyle is ignored.
    void SetLineStyle(int style);
    int MaxLineStyle() const { return maxLineStyle_; }
    void SetMaxLineStyle(int limit);

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const override;

protected:
    void FillItems() override;
    void ItemPicked(int index) override;

private:
    int lineStyle_ = 2;
    int maxLineStyle_ = 4;
};

class TLineWidthComboBox : public TDrawComboBox {
    Q_OBJECT
    Q_PROPERTY(int LineWidth READ LineWidth WRITE SetLineWidth)
    Q_PROPERTY(uint LineColor READ LineColor WRITE SetLineColor)
    Q_PROPERTY(int MaxLineWidth READ MaxLineWidth WRITE SetMaxLineWidth)
public:
    explicit TLineWidthComboBox(QWidget* parent = nullptr);

    // Pen width 1..MaxLineWidth. Stored as given; a width without an item
    // leaves the box showing nothing.
    int LineWidth() const { return lineWidth_; }
    void SetLineWidth(int width);
    Color LineColor() const { return lineColor_; }
    void SetLineColor(Color color);
    int MaxLineWidth() const { return maxLineWidth_; }
    void SetMaxLineWidth(int limit);

    void DrawItem(QPainter& painter, int index, const QRect& rect, bool selected) const override;

protected:
    void FillItems() override;
    void ItemPicked(int index) override;

private:
    int lineWidth_ = 1;
    Color lineColor_ = 0;
    int maxLineWidth_ = 5;
};

}  // namespace kalvo
