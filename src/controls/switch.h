#pragma once
// An on/off switch drawn as a small rocker block sunk into the dialog: one
// half raised and labelled ("EIN" or "AUS"), the other lowered. A press on
// the lowered half, Space or Enter flips it.

#include <QWidget>
#include <array>

#include "program_state.h"

namespace kalvo {

class TSwitch : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Checked READ Checked WRITE SetChecked)
    Q_PROPERTY(bool CheckedLeft READ CheckedLeft WRITE SetCheckedLeft)
    Q_PROPERTY(QString CaptionOn READ CaptionOn WRITE SetCaptionOn)
    Q_PROPERTY(QString CaptionOff READ CaptionOff WRITE SetCaptionOff)
    Q_PROPERTY(int Slope READ Slope WRITE SetSlope)
    Q_PROPERTY(int SideLength READ SideLength WRITE SetSideLength)
    Q_PROPERTY(uint OnColor READ OnColor WRITE SetOnColor)
    Q_PROPERTY(uint OffColor READ OffColor WRITE SetOffColor)
    Q_PROPERTY(uint TopColor READ TopColor WRITE SetTopColor)
    Q_PROPERTY(uint SideColor READ SideColor WRITE SetSideColor)
public:
    // Where the faces lie for the current size and state. Side is the width
    // of a half, negative when the raised half is the right one.
    struct Shapes {
        int ALeft = 0, ATop = 0, AHeight = 0, AWidth = 0, LabelOfs = 0, Side = 0;
        std::array<QPoint, 3> TopShape;
        std::array<QPoint, 4> OnShape, OffShape, SideShape;
    };

    explicit TSwitch(QWidget* parent = nullptr);

    bool Checked() const { return checked_; }
    // A new value repaints and emits OnChanged, then OnChecked or OnUnChecked.
    void SetChecked(bool checked);
    // Whether the on state raises the left half.
    bool CheckedLeft() const { return checkedLeft_; }
    void SetCheckedLeft(bool left);
    QString CaptionOn() const { return captionOn_; }
    void SetCaptionOn(const QString& caption);
    QString CaptionOff() const { return captionOff_; }
    void SetCaptionOff(const QString& caption);
    // The label of the raised half.
    QString Caption() const { return checked_ ? captionOn_ : captionOff_; }
    // Depth of the slanted top face in pixels, 0..255.
    int Slope() const { return slope_; }
    void SetSlope(int slope);
    // Depth of the side face in pixels; a value of width - 4 or more is refused.
    int SideLength() const { return sideLength_; }
    void SetSideLength(int length);
    Color OnColor() const { return onColor_; }
    void SetOnColor(Color color);
    Color OffColor() const { return offColor_; }
    void SetOffColor(Color color);
    Color TopColor() const { return topColor_; }
    void SetTopColor(Color color);
    Color SideColor() const { return sideColor_; }
    void SetSideColor(Color color);

    Shapes CalcShapes() const;
    // Whether a press at x lands on the lowered half.
    bool HitsLoweredHalf(int x) const;

    QSize sizeHint() const override;

signals:
    void OnChanged();
    void OnChecked();
    void OnUnChecked();

protected:
    virtual void DoChanged();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    template <typename T>
    void Store(T& field, const T& value);

    bool checked_ = false;
    bool checkedLeft_ = true;
    QString captionOn_ = QStringLiteral("EIN");
    QString captionOff_ = QStringLiteral("AUS");
    int slope_ = 6;
    int sideLength_ = 6;
    Color onColor_ = 0x0000FF;
    Color offColor_ = 0x000080;
    Color topColor_ = 0xC0C0C0;
    Color sideColor_ = 0xC0C0C0;
};

}  // namespace kalvo
