#include "mgrid.h"

#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "image_checks.h"

#include "canvas.h"

using namespace kalvo;

namespace {

QImage Picture(TMgrid& grid) { return grid.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// The cell's area in the picture, without the grid lines.
QImage CellImage(TMgrid& grid, const QImage& picture, int col, int row) {
    QRect r = grid.visualRect(grid.model()->index(row, col));
    r.translate(grid.viewport()->pos());
    return picture.copy(r.adjusted(0, 0, -1, -1));
}

using kalvo::test_support::Contains;

// A grid of 3 x 3 cells, each holding the text.
void ThreeByThree(TMgrid& grid, int fixedCols, const QString& text = {}) {
    grid.setColumnCount(3);
    grid.setRowCount(3);
    grid.SetFixedCols(fixedCols);
    grid.resize(3 * 64 + 10, 3 * 24 + 10);
    for (int r = 0; r < grid.rowCount(); ++r)
        for (int c = 0; c < grid.columnCount(); ++c) grid.SetCells(c, r, text);
}

}  // namespace

TEST(MgridTest, EachCellClassHasItsBackgroundColourOrPattern) {
    const QColor grey(0xC0, 0xC0, 0xC0), cyan(0, 0xFF, 0xFF), green(0, 0xFF, 0);
    // A red and blue pattern for the last column instead of its colour.
    QPixmap checker(8, 8);
    checker.fill(Qt::red);
    QPainter(&checker).fillRect(0, 0, 4, 4, Qt::blue);
    const QColor pattern = Qt::magenta;
    // Fixed columns, patterned, the colours row by row.
    const std::tuple<int, bool, std::vector<std::vector<QColor>>> cases[] = {
        {0, false, {{grey, grey, grey}, {green, green, cyan}, {green, green, cyan}}},
        {1, false, {{grey, grey, grey}, {grey, green, cyan}, {grey, green, cyan}}},
        {0, true, {{grey, grey, grey}, {green, green, pattern}, {green, green, pattern}}},
    };
    for (const auto& [fixedCols, patterned, rows] : cases) {
        TMgrid grid;
        ThreeByThree(grid, fixedCols);
        if (patterned) grid.SetOddRowPattern(checker);
        const QImage picture = Picture(grid);
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col) {
                const QImage cell = CellImage(grid, picture, col, row);
                const QColor want = rows[row][col];
                if (want == pattern)
                    EXPECT_TRUE(Contains(cell, Qt::red) && Contains(cell, Qt::blue) && !Contains(cell, cyan));
                else
                    EXPECT_EQ(cell.pixelColor(3, 3), want) << "fixed cols " << fixedCols << " cell " << col << "," << row;
            }
    }
}

TEST(MgridTest, TheHandlerSetsTextColourAndStyleOfItsCellOnly) {
    TMgrid grid;
    grid.SetFixedRows(0);
    ThreeByThree(grid, 0, QStringLiteral("888"));
    int calls = 0, unexpected = 0;
    grid.SetOnSetting([&](int row, int col, int& color, bool& bold, bool& italic, bool& underline) {
        ++calls;
        // Every cell starts from the grid font, whatever the cell before it got.
        if (color != -1 || bold || italic || underline) ++unexpected;
        if (row == 1 && col == 0) bold = true;
        if (row == 1 && col == 1) color = 0x0000FF;
    });
    const QImage picture = Picture(grid);
    EXPECT_GE(calls, 9);
    EXPECT_EQ(unexpected, 0);
    const QImage plain = CellImage(grid, picture, 0, 0);
    EXPECT_TRUE(Contains(plain, Qt::black)) << "colour -1 keeps the font colour";
    EXPECT_NE(CellImage(grid, picture, 0, 1), plain) << "bold";
    EXPECT_TRUE(Contains(CellImage(grid, picture, 1, 1), Qt::red));
    EXPECT_FALSE(Contains(CellImage(grid, picture, 1, 1), Qt::black));
    EXPECT_EQ(CellImage(grid, picture, 0, 2), plain) << "the bold of the row above does not carry over";
}

TEST(MgridTest, HeadingCellsAreNeitherCurrentNorEdited) {
    TMgrid grid;
    ThreeByThree(grid, 0, QStringLiteral("1"));
    grid.SetCells(0, 0, QStringLiteral("X1"));
    grid.show();
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setCurrentCell(1, 1);
    const auto centre = [&](int col, int row) { return grid.visualRect(grid.model()->index(row, col)).center(); };

    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.currentRow(), 1) << "Up stops below the heading";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(0, 0));
    EXPECT_EQ(grid.currentRow(), 1);
    grid.editItem(grid.item(0, 0));
    EXPECT_EQ(grid.findChild<QLineEdit*>(), nullptr);

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, centre(2, 2));
    EXPECT_EQ(grid.currentRow(), 2);
    grid.editItem(grid.item(2, 2));
    EXPECT_NE(grid.findChild<QLineEdit*>(), nullptr) << "other cells are edited";
    EXPECT_EQ(grid.Cells(5, 5), "");
}
