#include "color_button.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "color.h"

using namespace kalvo;

namespace {

// A shown button whose palette a press has opened, with counters of its events.
struct Opened {
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    TColorButton* button = new TColorButton(form.get());
    int changes = 0, defaults = 0;

    explicit Opened(const QString& caption = {}) {
        button->SetDefaultText(caption);
        button->move(20, 20);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        QObject::connect(button, &TColorButton::OnChange, [this] { ++changes; });
        QObject::connect(button, &TColorButton::OnDefaultSelect, [this] { ++defaults; });
        QTest::mousePress(button, Qt::LeftButton, {}, {10, 10});
    }
    TColorPopup* popup() const { return button->Popup(); }
    void ClickCell(int index) {
        QTest::mouseMove(popup(), popup()->CellRect(index).center());
        QTest::mouseClick(popup(), Qt::LeftButton, {}, popup()->CellRect(index).center());
    }
};

}  // namespace

TEST(ColorPopupTest, HitTestFindsCellsAndTheCaptionAndNothingElse) {
    for (const QString& caption : {QString(), QStringLiteral("Linienfarbe")}) {
        TColorButton button;
        button.SetDefaultText(caption);
        const TColorPopup& popup = *button.Popup();
        for (int index : {0, 7, 8, 40, 79}) EXPECT_EQ(popup.HitTest(popup.CellRect(index).center()), index);
        const QRect first = popup.CellRect(0), last = popup.CellRect(79);
        EXPECT_EQ(popup.HitTest(popup.CellRect(7).center() + QPoint(18, 0)), kNoCell)
            << "right of a row is not the next row's first colour";
        EXPECT_EQ(popup.HitTest({first.left() - 1, first.center().y()}), kNoCell);
        EXPECT_EQ(popup.HitTest({last.center().x(), last.bottom() + 1}), kNoCell);
        EXPECT_EQ(popup.HitTest({first.center().x(), first.top() - 1}), kNoCell);
        EXPECT_TRUE(popup.rect().contains(last));
        if (!caption.isEmpty()) {
            EXPECT_EQ(popup.HitTest(popup.DefaultTextRect().center()), kCaptionCell);
        }
    }
}

TEST(ColorPopupTest, PlacementKeepsThePaletteOnTheScreen) {
    const QRect screen(0, 0, 1000, 800);
    const QSize size(160, 200);
    const std::tuple<const char*, QRect, QPoint> cases[] = {
        {"below the button", {100, 100, 45, 22}, {100, 122}},
        {"above when it would leave at the bottom", {100, 700, 45, 22}, {100, 500}},
        {"moved left at the right edge", {950, 100, 45, 22}, {840, 122}},
        {"never beyond the left edge", {-30, 100, 45, 22}, {0, 122}},
    };
    for (const auto& [what, button, expected] : cases) EXPECT_EQ(PlacePopup(button, size, screen), expected) << what;
    EXPECT_EQ(PlacePopup({0, 50, 45, 22}, size, {0, 0, 100, 150}).y(), 0) << "nor beyond the top";
}

TEST(ColorButtonTest, PickingACellByClickOrSpaceSetsItsColourOnceAndClosesThePalette) {
    Opened o;
    EXPECT_EQ(o.button->State(), TColorButton::bsDown);
    EXPECT_EQ(o.popup()->SelectedIndex(), 72) << "black";
    // The offscreen platform adds a frame margin of its own to every window.
    const QPoint below = o.button->mapToGlobal(QPoint(0, o.button->height()));
    EXPECT_NEAR(o.popup()->pos().y(), below.y(), 2);
    o.ClickCell(79);
    EXPECT_EQ(o.button->SelectionColor(), 0xFFFFFFu);
    EXPECT_EQ(o.changes, 1);
    EXPECT_FALSE(o.button->DroppedDown());
    EXPECT_FALSE(o.popup()->isVisible());
    EXPECT_EQ(o.button->State(), TColorButton::bsUp);

    QTest::mousePress(o.button, Qt::LeftButton, {}, {10, 10});
    EXPECT_EQ(o.popup()->SelectedIndex(), 79);
    o.ClickCell(79);
    EXPECT_EQ(o.changes, 1) << "the same colour again changes nothing";

    // Space takes the highlighted cell; an unknown colour keeps the selection.
    QTest::mousePress(o.button, Qt::LeftButton, {}, {10, 10});
    QTest::mouseRelease(o.popup(), Qt::LeftButton, {}, {1, 1});
    EXPECT_TRUE(o.button->DroppedDown()) << "a release outside the cells keeps it open";
    QTest::mouseMove(o.popup(), o.popup()->CellRect(4).center());
    QTest::keyClick(o.popup(), Qt::Key_Space);
    EXPECT_EQ(o.button->SelectionColor(), 0xFF0000u);
    o.button->SetSelectionColor(0x123456);
    EXPECT_EQ(o.popup()->SelectedIndex(), 4);
    o.button->SetSelectionColor(0x808000);  // twice in the palette: the first wins
    EXPECT_EQ(o.popup()->SelectedIndex(), 16);
}

TEST(ColorButtonTest, WaysOfLeavingThePaletteWithoutAColour) {
    const std::tuple<const char*, void (*)(Opened&), int> cases[] = {
        {"Esc", [](Opened& o) { QTest::keyClick(o.popup(), Qt::Key_Escape); }, 0},
        {"press outside", [](Opened& o) { QTest::mousePress(o.popup(), Qt::LeftButton, {}, {-20, -20}); }, 0},
        {"Enter over no cell", [](Opened& o) { QTest::keyClick(o.popup(), Qt::Key_Return); }, 0},
        {"caption field",
         [](Opened& o) { QTest::mouseClick(o.popup(), Qt::LeftButton, {}, o.popup()->DefaultTextRect().center()); }, 1},
        {"caption accelerator", [](Opened& o) { QTest::keyClick(o.popup(), Qt::Key_N, Qt::AltModifier); }, 1},
    };
    for (const auto& [what, leave, defaults] : cases) {
        Opened o(QStringLiteral("&Netz"));
        o.button->SetSelectionColor(0x0000FF);
        o.changes = 0;
        leave(o);
        EXPECT_FALSE(o.button->DroppedDown()) << what;
        EXPECT_FALSE(o.popup()->isVisible()) << what;
        EXPECT_EQ(o.button->SelectionColor(), 0x0000FFu) << what;
        EXPECT_EQ(o.changes, 0) << what;
        EXPECT_EQ(o.defaults, defaults) << what;
    }
}

TEST(ColorButtonTest, ARefusingHandlerOrADisabledButtonKeepsThePaletteClosed) {
    TColorButton refusing, disabled;
    QObject::connect(&refusing, &TColorButton::OnDropChanging, [](bool& allowed) { allowed = false; });
    disabled.setEnabled(false);
    for (TColorButton* b : {&refusing, &disabled}) {
        b->show();
        QTest::mousePress(b, Qt::LeftButton, {}, {5, 5});
        EXPECT_FALSE(b->DroppedDown());
        EXPECT_FALSE(b->Popup()->isVisible());
    }
}

TEST(ColorButtonTest, TheFaceShowsTheColourInEveryBorderStyle) {
    for (auto border : {TColorButton::ibNone, TColorButton::ibFlat, TColorButton::ibSunken, TColorButton::ibRaised}) {
        TColorButton button;
        button.SetIndicatorBorder(border);
        button.SetSelectionColor(0x00FF00);
        const QImage face = button.grab().toImage();
        EXPECT_EQ(face.size(), QSize(45, 22));
        EXPECT_EQ(face.pixelColor(22, 11), QColor(0, 255, 0)) << border;
    }
}

TEST(ColorButtonTest, OnlyAButtonOfAGroupStaysDownAndReleasesItsNeighbours) {
    QWidget form;
    TColorButton *a = new TColorButton(&form), *b = new TColorButton(&form);
    a->SetDown(true);
    EXPECT_FALSE(a->Down()) << "no group";
    a->SetGroupIndex(1), b->SetGroupIndex(1);
    a->SetDown(true), b->SetDown(true), b->SetDown(false);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down()) << "up again only with AllowAllUp";
    b->SetAllowAllUp(true), b->SetDown(false);
    EXPECT_FALSE(b->Down());
}
