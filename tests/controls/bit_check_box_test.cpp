#include "bit_check_box.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

#include "image_checks.h"

using namespace kalvo;

namespace {

using S = TBitCheckBox::TCheckBoxState;

QImage Face(TBitCheckBox& box) { return box.grab().toImage().convertToFormat(QImage::Format_RGB32); }

using kalvo::test_support::Contains;

}  // namespace

TEST(BitCheckBoxTest, ClicksAndSpaceCycleThroughTheStatesAndClickOnceEach) {
    const std::pair<bool, std::array<S, 4>> cases[] = {
        {false, {S::cbChecked, S::cbUnchecked, S::cbChecked, S::cbUnchecked}},
        {true, {S::cbGrayed, S::cbChecked, S::cbUnchecked, S::cbGrayed}},
    };
    for (const auto& [allowGrayed, expected] : cases) {
        TBitCheckBox box(QStringLiteral("Farbspektrum"));
        box.SetAllowGrayed(allowGrayed);
        box.show();
        box.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        int clicks = 0;
        QObject::connect(&box, &TBitCheckBox::OnClick, [&] { EXPECT_EQ(box.State(), expected[clicks++]); });
        for (int i = 0; i < 4; ++i) {
            if (i % 2 == 0)
                QTest::mouseClick(&box, Qt::LeftButton, {}, box.GlyphRect().center());
            else
                QTest::keyClick(&box, Qt::Key_Space);
            EXPECT_EQ(box.State(), expected[i]) << "allowGrayed " << allowGrayed << " step " << i;
        }
        EXPECT_EQ(clicks, 4);
        EXPECT_TRUE(box.hasFocus());
        box.SetChecked(true);
        EXPECT_EQ(clicks, 4) << "setting the state is no click";
    }
}

TEST(BitCheckBoxTest, TheAcceleratorFocusesAndToggles) {
    QWidget form;
    auto* other = new TBitCheckBox(QStringLiteral("&Spektrum"), &form);
    auto* box = new TBitCheckBox(QStringLiteral("Parameter aus der &Liste"), &form);
    box->move(0, 30);
    form.show();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    other->setFocus();
    QTest::keyClick(&form, Qt::Key_L, Qt::AltModifier);
    EXPECT_TRUE(box->hasFocus());
    EXPECT_TRUE(box->Checked());
    EXPECT_FALSE(other->Checked());
}

TEST(BitCheckBoxTest, EachStateDrawsItsOwnGlyphAndAStripShowsOnlyItsFirstImage) {
    TBitCheckBox box(QStringLiteral("Wertepaare"));
    box.resize(box.sizeHint());
    QImage faces[3];
    for (S s : {S::cbUnchecked, S::cbChecked, S::cbGrayed}) {
        box.SetState(s);
        EXPECT_EQ(box.GlyphRect().size(), QSize(16, 16));
        faces[s] = Face(box).copy(box.GlyphRect());
    }
    EXPECT_TRUE(faces[0] != faces[1] && faces[1] != faces[2] && faces[0] != faces[2]);

    QPixmap strip(48, 16);
    {
        QPainter p(&strip);
        p.fillRect(0, 0, 16, 16, Qt::red);
        p.fillRect(16, 0, 16, 16, Qt::green);
        p.fillRect(32, 0, 16, 16, Qt::blue);
    }
    box.SetCheckedGlyph(strip);
    EXPECT_EQ(box.CheckedNumGlyphs(), 3);
    box.SetChecked(true);
    box.resize(box.sizeHint());
    const QImage face = Face(box);
    EXPECT_TRUE(Contains(face, Qt::red));
    EXPECT_FALSE(Contains(face, Qt::green));
    EXPECT_FALSE(Contains(face, Qt::blue));

    QPixmap odd(20, 16);
    odd.fill(Qt::red);
    box.SetCheckedGlyph(odd);
    EXPECT_EQ(box.CheckedNumGlyphs(), 3) << "a width that is no multiple keeps the count";
    box.SetCheckedNumGlyphs(0);
    EXPECT_EQ(box.CheckedNumGlyphs(), 1) << "never zero images";
    box.SetCheckedGlyph(QPixmap());
    EXPECT_EQ(box.CheckedGlyph().size(), QSize(16, 16)) << "a null glyph brings back the default";
}
