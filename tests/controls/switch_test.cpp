#include "switch.h"

#include <QTest>
#include <gtest/gtest.h>

#include "canvas.h"

using namespace kalvo;

namespace {

// The order of the change events, "" when none fired.
struct EventLog {
    explicit EventLog(TSwitch& sw) {
        QObject::connect(&sw, &TSwitch::OnChanged, [this] { text += "C"; });
        QObject::connect(&sw, &TSwitch::OnChecked, [this] { text += "+"; });
        QObject::connect(&sw, &TSwitch::OnUnChecked, [this] { text += "-"; });
    }
    std::string text;
};

QImage Face(TSwitch& sw) { return sw.grab().toImage().convertToFormat(QImage::Format_RGB32); }

void ShowActive(QWidget& w) {
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

}  // namespace

TEST(SwitchTest, APressOnTheLoweredHalfFlipsAndAPressOnTheRaisedHalfOnlyFocuses) {
    // Checked left, checked, x pressed, events; width 24: the halves meet at x = 12.
    const std::tuple<bool, bool, int, const char*> cases[] = {
        {true, true, 17, "C-"},  {true, true, 12, "C-"},  {true, true, 11, ""},  {true, true, 5, ""},
        {true, false, 5, "C+"},  {true, false, 11, "C+"}, {true, false, 12, ""}, {true, false, 20, ""},
        {false, true, 5, "C-"},  {false, true, 17, ""},   {false, false, 17, "C+"}, {false, false, 5, ""},
    };
    for (const auto& [checkedLeft, checked, x, events] : cases) {
        QWidget host;
        auto* other = new QWidget(&host);
        other->setFocusPolicy(Qt::StrongFocus);
        auto* sw = new TSwitch(&host);
        sw->SetCheckedLeft(checkedLeft);
        sw->SetChecked(checked);
        ShowActive(host);
        other->setFocus();
        EventLog log(*sw);
        QTest::mouseClick(sw, Qt::LeftButton, {}, QPoint(x, 40));
        EXPECT_EQ(log.text, events) << checkedLeft << checked << " x " << x;
        EXPECT_EQ(sw->Checked(), checked != (*events != 0));
        EXPECT_TRUE(sw->hasFocus());
    }
}

TEST(SwitchTest, SpaceAndEnterFlipOtherInputDoesNotAndSideLengthStaysInside) {
    TSwitch sw;
    ShowActive(sw);
    EventLog log(sw);
    QTest::keyClick(&sw, Qt::Key_Space);
    QTest::keyClick(&sw, Qt::Key_Return);
    QTest::keyClick(&sw, Qt::Key_Enter);
    QTest::keyClick(&sw, Qt::Key_A);
    QTest::mouseClick(&sw, Qt::RightButton, {}, QPoint(20, 40));
    EXPECT_EQ(log.text, "C+C-C+");
    sw.SetChecked(true);
    EXPECT_EQ(log.text, "C+C-C+") << "setting the same state fires nothing";
    sw.SetChecked(false);
    EXPECT_EQ(log.text, "C+C-C+C-");

    ASSERT_EQ(sw.width(), 24);
    for (const auto& [set, kept] : {std::pair{19, 19}, {20, 19}, {-1, 19}, {0, 0}}) {
        sw.SetSideLength(set);
        EXPECT_EQ(sw.SideLength(), kept) << "side length below width - 4: " << set;
    }
}

TEST(SwitchTest, TheRaisedHalfShowsTheStateColourAndItsCaptionFitsIntoIt) {
    const Color kOn = 0x0000FF, kOff = 0x000080;
    for (bool checkedLeft : {true, false}) {
        for (bool checked : {false, true}) {
            TSwitch sw;
            sw.SetCheckedLeft(checkedLeft);
            sw.SetChecked(checked);
            EXPECT_EQ(sw.Caption(), checked ? "EIN" : "AUS");
            const TSwitch::Shapes s = sw.CalcShapes();
            const bool raisedLeft = checkedLeft == checked;
            EXPECT_EQ(s.Side > 0, raisedLeft);
            const QImage face = Face(sw);
            // Columns of the raised half's face, inside its outline.
            const int from = raisedLeft ? 3 : 13, to = raisedLeft ? 12 : 22;
            const int other = raisedLeft ? 18 : 6;
            int white = 0;
            for (int y = 12; y < 70; ++y) {
                for (int x = s.ALeft; x < s.ALeft + s.AWidth; ++x) {
                    const QColor c = face.pixelColor(x, y);
                    if (c != Qt::white) continue;
                    EXPECT_TRUE(x >= from && x < to) << "caption outside its face at " << x << "," << y;
                    ++white;
                }
            }
            EXPECT_GT(white, 20) << "the caption is written";
            EXPECT_EQ(face.pixelColor(raisedLeft ? 5 : 18, 15), ToQColor(checked ? kOn : kOff));
            EXPECT_EQ(face.pixelColor(other, 15), ToQColor(kOff));
            EXPECT_EQ(face.pixelColor(other, 15), face.pixelColor(other, 60));
        }
    }
}
