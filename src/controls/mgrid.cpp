#include "mgrid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>
#include <algorithm>

#include "canvas.h"

namespace kalvo {

namespace {

enum CellClass { kFixedCell, kLastColumn, kOtherCell };

class CellPainter : public QStyledItemDelegate {
public:
    explicit CellPainter(TMgrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        grid_->DrawCell(*painter, index.column(), index.row(), option.rect,
                        option.state.testFlag(QStyle::State_HasFocus));
        painter->restore();
    }

private:
    TMgrid* grid_;
};

}  // namespace

TMgrid::TMgrid(QWidget* parent) : QTableWidget(5, 5, parent) {
    setItemDelegate(new CellPainter(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Rows as low as 18 pixels must be possible; the style's minimum is more.
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(64);
    verticalHeader()->setDefaultSectionSize(24);
    setSelectionMode(QAbstractItemView::SingleSelection);
    CanvasFont arial;
    arial.name = "Arial";
    arial.size = 10;
    setFont(ToQFont(arial, kScreenDpi));
}

void TMgrid::SetColor(int cls, Color color) {
    colors_[cls] = color & 0xFFFFFF;
    viewport()->update();
}

void TMgrid::SetPattern(int cls, const QPixmap& pattern) {
    patterns_[cls] = pattern;
    viewport()->update();
}

void TMgrid::SetBorderColor(Color color) { SetColor(kFixedCell, color); }
void TMgrid::SetOddRowColor(Color color) { SetColor(kLastColumn, color); }
void TMgrid::SetEvenRowColor(Color color) { SetColor(kOtherCell, color); }
void TMgrid::SetBorderPattern(const QPixmap& pattern) { SetPattern(kFixedCell, pattern); }
void TMgrid::SetOddRowPattern(const QPixmap& pattern) { SetPattern(kLastColumn, pattern); }
void TMgrid::SetEvenRowPattern(const QPixmap& pattern) { SetPattern(kOtherCell, pattern); }

void TMgrid::SetFixedRows(int rows) {
    fixedRows_ = std::max(0, rows);
    viewport()->update();
}

void TMgrid::SetFixedCols(int cols) {
    fixedCols_ = std::max(0, cols);
    viewport()->update();
}

QString TMgrid::Cells(int ACol, int ARow) const {
    const QTableWidgetItem* cell = item(ARow, ACol);
    return cell ? cell->text() : QString();
}

void TMgrid::SetCells(int ACol, int ARow, const QString& text) {
    if (ARow < 0 || ARow >= rowCount() || ACol < 0 || ACol >= columnCount()) return;
    if (QTableWidgetItem* cell = item(ARow, ACol))
        cell->setText(text);
    else
        setItem(ARow, ACol, new QTableWidgetItem(text));
}

void TMgrid::DrawCell(QPainter& painter, int ACol, int ARow, const QRect& rect, bool focused) {
    const CellClass cls = IsFixed(ACol, ARow) ? kFixedCell : ACol == columnCount() - 1 ? kLastColumn : kOtherCell;
    const QPixmap& pattern = patterns_[cls];
    painter.fillRect(rect, pattern.isNull() ? QBrush(ToQColor(colors_[cls])) : QBrush(pattern));

    // Each cell starts from the grid font: a style one cell's handler chose
    // must not carry over to the cells painted after it.
    QFont f = font();
    QColor textColor = cls == kFixedCell ? QColor(Qt::black) : palette().color(QPalette::Text);
    if (onSetting_) {
        int color = -1;
        bool bold = f.bold(), italic = f.italic(), underline = f.underline();
        onSetting_(ARow, ACol, color, bold, italic, underline);
        if (color >= 0) textColor = ToQColor(static_cast<Color>(color));
        f.setBold(bold);
        f.setItalic(italic);
        f.setUnderline(underline);
    }
    painter.setClipRect(rect);
    painter.setFont(f);
    painter.setPen(textColor);
    painter.drawText(QPoint(rect.left() + 2, rect.top() + 2 + QFontMetrics(f).ascent()), Cells(ACol, ARow));
    if (focused && hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

// The current cell never moves onto a heading.
QModelIndex TMgrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || !IsFixed(next.column(), next.row())) return next;
    const int row = std::max(next.row(), fixedRows_), col = std::max(next.column(), fixedCols_);
    if (row >= rowCount() || col >= columnCount()) return currentIndex();
    return model()->index(row, col);
}

bool TMgrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (index.isValid() && IsFixed(index.column(), index.row())) return false;
    return QTableWidget::edit(index, trigger, event);
}

void TMgrid::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid() && IsFixed(index.column(), index.row())) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    QTableWidget::mousePressEvent(event);
}

}  // namespace kalvo
