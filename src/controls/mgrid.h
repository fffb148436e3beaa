#pragma once
// A string grid whose cells are painted in three classes, each with its own
// background colour or pattern: the fixed (heading) cells, the last column
// and all other cells; so the right-hand side of a matrix stands out. A
// handler may give any cell its own text colour and style.
//
// Fixed cells are the first FixedRows rows and FixedCols columns of the grid
// itself, counted like every other cell; they are neither selected nor edited.

#include <QPixmap>
#include <QTableWidget>
#include <functional>

#include "program_state.h"

namespace kalvo {

// Per-cell text colour and style: called with a colour of -1 and the grid
// font's flags; a colour >= 0 (0x00BBGGRR) becomes the text colour, the
// flags as returned set the style.
using TSettingEvent = std::function<void(int ARow, int ACol, int& Fcolor, bool& Bold, bool& Italic, bool& underline)>;

class TMgrid : public QTableWidget {
    Q_OBJECT
    Q_PROPERTY(uint BorderColor READ BorderColor WRITE SetBorderColor)
    Q_PROPERTY(uint OddRowColor READ OddRowColor WRITE SetOddRowColor)
    Q_PROPERTY(uint EvenRowColor READ EvenRowColor WRITE SetEvenRowColor)
    Q_PROPERTY(QPixmap BorderPattern READ BorderPattern WRITE SetBorderPattern)
    Q_PROPERTY(QPixmap OddRowPattern READ OddRowPattern WRITE SetOddRowPattern)
    Q_PROPERTY(QPixmap EvenRowPattern READ EvenRowPattern WRITE SetEvenRowPattern)
    Q_PROPERTY(int FixedRows READ FixedRows WRITE SetFixedRows)
    Q_PROPERTY(int FixedCols READ FixedCols WRITE SetFixedCols)
public:
    explicit TMgrid(QWidget* parent = nullptr);

    // Background of the fixed cells.
    Color BorderColor() const { return colors_[0]; }
    void SetBorderColor(Color color);
    // Background of the last column.
    Color OddRowColor() const { return colors_[1]; }
    void SetOddRowColor(Color color);
    // Background of all other cells.
    Color EvenRowColor() const { return colors_[2]; }
    void SetEvenRowColor(Color color);
    // A pattern that is not null replaces the colour of its class.
    QPixmap BorderPattern() const { return patterns_[0]; }
    void SetBorderPattern(const QPixmap& pattern);
    QPixmap OddRowPattern() const { return patterns_[1]; }
    void SetOddRowPattern(const QPixmap& pattern);
    QPixmap EvenRowPattern() const { return patterns_[2]; }
    void SetEvenRowPattern(const QPixmap& pattern);

    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int rows);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int cols);
    bool IsFixed(int ACol, int ARow) const { return ACol < fixedCols_ || ARow < fixedRows_; }

    // The text of a cell; an empty text for a cell outside the grid.
    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString& text);

    void SetOnSetting(TSettingEvent handler) { onSetting_ = std::move(handler); }

    // Paints one cell: its class's background over `rect`, then its text at
    // (left + 2, top + 2) in the grid font, or as the OnSetting handler says.
    virtual void DrawCell(QPainter& painter, int ACol, int ARow, const QRect& rect, bool focused);

protected:
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SetColor(int cls, Color color);
    void SetPattern(int cls, const QPixmap& pattern);

    Color colors_[3] = {0xC0C0C0, 0xFFFF00, 0x00FF00};
    QPixmap patterns_[3];
    int fixedRows_ = 1;
    int fixedCols_ = 1;
    TSettingEvent onSetting_;
};

}  // namespace kalvo
