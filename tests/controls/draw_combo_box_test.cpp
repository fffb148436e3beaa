#include "draw_combo_box.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace kalvo;

namespace {

QImage RenderItem(const TDrawComboBox& box, int index, QSize size = {60, 17}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    box.DrawItem(p, index, image.rect(), false);
    return image;
}

int RowsWith(const QImage& image, QColor colour) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour) {
                ++rows;
                break;
            }
    return rows;
}

}  // namespace

TEST(DrawComboBoxTest, SettersAndLimitsStoreOrRefuseAndSelectTheMatchingItem) {
    // Defaults: fill 0 of 8 items, symbol 2 of 5 (one item per accepted symbol), width 1 of 5.
    const std::tuple<const char*, int, int, int, int> cases[] = {
        // box (0 fill, 1 symbol, 2 width), value set, value kept, item shown
        {"fill in range", 0, 5, 5, 5},          {"fill above the limit", 0, 8, 0, 0},
        {"fill negative", 0, -1, 0, 0},         {"symbol in range", 1, 4, 4, 4},
        {"symbol above the limit", 1, 5, 2, 2}, {"width in range", 2, 3, 3, 2},
        {"width above the limit", 2, 9, 9, -1}, {"width zero", 2, 0, 0, -1},
    };
    for (const auto& [what, kind, value, kept, item] : cases) {
        TFillStyleComboBox fill;
        TLineStyleComboBox symbol;
        TLineWidthComboBox width;
        const int counts[] = {fill.count(), symbol.count(), width.count()};
        EXPECT_EQ(counts[kind], kind == 0 ? 8 : 5) << what;
        kind == 0 ? fill.SetFillStyle(value) : kind == 1 ? symbol.SetLineStyle(value) : width.SetLineWidth(value);
        const int stored[] = {fill.FillStyle(), symbol.LineStyle(), width.LineWidth()};
        const TDrawComboBox* boxes[] = {&fill, &symbol, &width};
        EXPECT_EQ(stored[kind], kept) << what;
        EXPECT_EQ(boxes[kind]->currentIndex(), item) << what;
    }
    // Changing a limit refills and keeps a value that still fits.
    TLineWidthComboBox width;
    width.SetLineWidth(2), width.SetMaxLineWidth(3);
    EXPECT_EQ(width.count(), 3);
    EXPECT_EQ(width.currentIndex(), 1);
    width.SetLineWidth(3), width.SetMaxLineWidth(2);
    EXPECT_EQ(width.currentIndex(), -1) << "a width without an item shows nothing";
    TLineStyleComboBox style;
    style.SetMaxLineStyle(7);
    EXPECT_EQ(style.count(), 8);
    EXPECT_EQ(style.currentIndex(), 2);
    TFillStyleComboBox fill;
    fill.SetMaxFillStyle(20);
    EXPECT_EQ(fill.count(), 8) << "there are only eight hatchings";
}

TEST(DrawComboBoxTest, APickByTheUserSetsTheValueAndClicksOnce) {
    int clicks = 0;
    TLineWidthComboBox width;
    QObject::connect(&width, &TDrawComboBox::OnClick, [&] { ++clicks; });
    width.SetLineWidth(2);  // set by the program, not picked
    QTest::keyClick(&width, Qt::Key_Down);
    EXPECT_EQ(width.LineWidth(), 3);
    EXPECT_EQ(clicks, 1);

    TFillStyleComboBox fill;
    fill.show();
    QObject::connect(&fill, &TDrawComboBox::OnClick, [&] { ++clicks; });
    fill.showPopup();
    QAbstractItemView* list = fill.view();
    const QRect item = list->visualRect(fill.model()->index(6, 0));
    EXPECT_EQ(item.height(), 16);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
    EXPECT_EQ(fill.FillStyle(), 6);
    EXPECT_EQ(clicks, 2);
}

TEST(DrawComboBoxTest, FillItemsShowTheirHatchingInTheBrushColour) {
    TFillStyleComboBox box;
    box.SetBrushColor(0x0000FF);
    const QColor red(255, 0, 0);
    const QImage solid = RenderItem(box, 0);
    EXPECT_EQ(solid.pixelColor(30, 8), red);
    EXPECT_EQ(solid.pixelColor(4, 2), QColor(Qt::black)) << "black frame";
    const QImage clear = RenderItem(box, 1);
    EXPECT_EQ(clear.pixelColor(30, 8), box.palette().color(QPalette::Base));
    EXPECT_EQ(RowsWith(clear, red), 0);
    // Forward diagonal runs from top left to bottom right, backward the other way.
    auto along = [&](int index, int dx) {
        const QImage im = RenderItem(box, index, {60, 40});
        int hits = 0;
        for (int y = 6; y < 30; ++y)
            for (int x = 10; x < 40; ++x) hits += im.pixelColor(x, y) == red && im.pixelColor(x + dx, y + 1) == red;
        return hits;
    };
    EXPECT_GT(along(4, 1), 20);
    EXPECT_EQ(along(4, -1), 0);
    EXPECT_GT(along(5, -1), 20);
    EXPECT_EQ(along(5, 1), 0);
}

TEST(DrawComboBoxTest, WidthItemsAndTheClosedBoxDrawLinesAsThickAsTheWidth) {
    TLineWidthComboBox box;
    box.SetLineColor(0x00FF00);
    for (int index = 0; index < 5; ++index)
        EXPECT_EQ(RowsWith(RenderItem(box, index), QColor(0, 255, 0)), index + 1) << "item " << index;
    box.SetLineWidth(4);
    box.resize(80, 23);
    EXPECT_EQ(RowsWith(box.grab().toImage().convertToFormat(QImage::Format_RGB32), QColor(0, 255, 0)), 4);
}
