#pragma once
// The colour picker of every dialog: a small flat button showing the chosen
// colour; a press drops down a palette of 80 fixed colours in 8 columns and
// 10 rows, optionally with a caption field above them. Picking a colour sets
// SelectionColor and emits OnChange.

#include <QWidget>
#include <array>
#include <optional>

#include "program_state.h"

namespace kalvo {

inline constexpr int kPaletteColumns = 8;
inline constexpr int kPaletteRows = 10;
inline constexpr int kPaletteSize = kPaletteColumns * kPaletteRows;
// The palette colours row by row, as 0x00BBGGRR.
extern const std::array<Color, kPaletteSize> PopupColors;

// Hit-test results besides a palette index.
inline constexpr int kNoCell = -1;
inline constexpr int kCaptionCell = -3;

// The palette's top-left corner on the screen: below the button, above it when
// it would leave the screen at the bottom, moved left when it would leave it
// on the right, never beyond the left or top edge.
QPoint PlacePopup(const QRect& buttonOnScreen, const QSize& popupSize, const QRect& screen);

class TColorButton;

class TColorPopup : public QWidget {
    Q_OBJECT
public:
    explicit TColorPopup(TColorButton* owner);

    void SetDefaultText(const QString& text);
    void SetSpacing(int spacing);
    // Selects the first palette cell of this colour; a colour that is not in
    // the palette keeps the previous selection.
    void SetCurrentColor(Color color);
    int SelectedIndex() const { return selectedIndex_; }
    int HoverIndex() const { return hoverIndex_; }
    // A palette index, kCaptionCell or kNoCell.
    int HitTest(const QPoint& pos) const;
    QRect CellRect(int index) const;
    QRect DefaultTextRect() const { return defaultTextRect_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Layout();
    void SetHover(int index);
    void EndSelection(int index, bool cancel);

    TColorButton* owner_;
    QString defaultText_;
    int margin_ = 2;
    int spacing_ = 8;
    int boxSize_ = 18;
    int selectedIndex_ = kNoCell;
    int hoverIndex_ = kNoCell;
    int cellsTop_ = 0;
    QRect defaultTextRect_;
};

class TColorButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint SelectionColor READ SelectionColor WRITE SetSelectionColor)
    Q_PROPERTY(QString DefaultText READ DefaultText WRITE SetDefaultText)
    Q_PROPERTY(TIndicatorBorder IndicatorBorder READ IndicatorBorder WRITE SetIndicatorBorder)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(bool Transparent READ Transparent WRITE SetTransparent)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool Down READ Down WRITE SetDown)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(int Spacing READ Spacing WRITE SetSpacing)
    Q_PROPERTY(int PopupSpacing READ PopupSpacing WRITE SetPopupSpacing)
    Q_PROPERTY(bool DroppedDown READ DroppedDown WRITE SetDroppedDown)
public:
    enum TIndicatorBorder { ibNone, ibFlat, ibSunken, ibRaised };
    Q_ENUM(TIndicatorBorder)
    enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
    Q_ENUM(TButtonState)

    explicit TColorButton(QWidget* parent = nullptr);
    ~TColorButton() override;

    Color SelectionColor() const { return selectionColor_; }
    // A new colour repaints, moves the palette's selection and emits OnChange.
    void SetSelectionColor(Color color);
    QString DefaultText() const { return defaultText_; }
    void SetDefaultText(const QString& text);
    TIndicatorBorder IndicatorBorder() const { return indicatorBorder_; }
    void SetIndicatorBorder(TIndicatorBorder border);
    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int index);
    bool Down() const { return down_; }
    // Only a button of a group (GroupIndex != 0) stays down; it releases the
    // others of its group, and comes up again only when AllowAllUp.
    void SetDown(bool down);
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool allow);
    int Spacing() const { return spacing_; }
    void SetSpacing(int spacing);
    int PopupSpacing() const { return popupSpacing_; }
    void SetPopupSpacing(int spacing);
    bool DroppedDown() const { return droppedDown_; }
    // Opens or closes the palette; OnDropChanging may refuse.
    void SetDroppedDown(bool open);
    TButtonState State() const { return state_; }
    // The palette (made at the first call).
    TColorPopup* Popup();

    QSize sizeHint() const override;

signals:
    void OnChange();
    // The caption field of the palette was chosen.
    void OnDefaultSelect();
    // Before the palette opens or closes; clear `allowed` to refuse. Connect directly.
    void OnDropChanging(bool& allowed);
    void OnDropChanged();
    // Declared for form files that connect it; never emitted.
    void OnHint();

protected:
    virtual void DoDefaultSelect();
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TColorPopup;
    void PopupHidden();

    Color selectionColor_ = 0;
    QString defaultText_;
    TIndicatorBorder indicatorBorder_ = ibFlat;
    bool flat_ = true;
    bool transparent_ = true;
    int groupIndex_ = 0;
    bool down_ = false;
    bool allowAllUp_ = false;
    int spacing_ = 4;
    int popupSpacing_ = 8;
    bool droppedDown_ = false;
    TButtonState state_ = bsUp;
    TColorPopup* popup_ = nullptr;
    // The last colour set that the palette holds: the palette's selection.
    std::optional<Color> paletteColor_;
};

// How many colour buttons exist right now.
int ColorButtonCount();

}  // namespace kalvo
