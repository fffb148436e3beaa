#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPicture>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <set>

#include "canvas.h"
#include "canvas_qpainter.h"
#include "canvas_recording.h"

namespace kalvo {
namespace {

// Fonts need an application object; the other tests of this program do not.
class CanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "canvas_test";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) new QGuiApplication(argc, argv);
    }

    QImage image_{40, 40, QImage::Format_RGB32};
    void SetUp() override { image_.fill(Qt::white); }
    Color At(int x, int y) const { return FromQColor(QColor(image_.pixel(x, y))); }
    // The colours of the picture from the row fromY down.
    std::set<Color> Colours(int fromY = 0) const {
        std::set<Color> s;
        for (int y = fromY; y < image_.height(); ++y)
            for (int x = 0; x < image_.width(); ++x) s.insert(At(x, y));
        return s;
    }
};

TEST(CanvasRules, DeviceCoordinatesRoundHalvesToEvenAndClamp) {
    const struct { double p, f; int expected; } cases[] = {
        {0.5, 1, 0},     {1.5, 1, 2},          {2.5, 1, 2},       {-0.5, 1, 0},       {-1.5, 1, -2},
        {10, 3, 30},     {10.5, 3, 32},        {3.5, 1.0, 4},     {1e300, 1, INT_MAX}, {-1e300, 1, INT_MIN},
        {NAN, 1, INT_MIN}, {INFINITY, 1, INT_MAX},
        // Rounding noise around a half goes where the half goes, so a
        // constant curve does not jump between two rows.
        {187.5 + 2e-8, 1, 188}, {187.5 - 2e-8, 1, 188}, {186.5 - 2e-8, 1, 186}, {186.5 + 2e-8, 1, 186},
        {-186.5 + 2e-8, 1, -186}, {-187.5 - 2e-8, 1, -188}, {187.49, 1, 187}, {187.51, 1, 188},
        {2147483646.5 + 1e-7, 1, 2147483646},
    };
    for (const auto& c : cases) EXPECT_EQ(ToDevice(c.p, c.f), c.expected) << c.p << " x " << c.f;
}

// Colours are blue, green, red with red low; brush ordinals outside the range are clamped.
TEST(CanvasRules, ColoursAndBrushOrdinals) {
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(ToQColor(0x800000), QColor(0, 0, 128));
    EXPECT_EQ(FromQColor(QColor(1, 2, 3)), 0x030201u);
    EXPECT_EQ(BrushStyleFromOrdinal(5), BrushStyle::BDiagonal);
    EXPECT_EQ(BrushStyleFromOrdinal(-3), BrushStyle::Solid);
    EXPECT_EQ(BrushStyleFromOrdinal(200), BrushStyle::DiagCross);
}

TEST_F(CanvasTest, LinesGatherIntoOnePolylinePerPenAndMove) {
    RecordingCanvas c;
    c.SetPen(0xFF, 2, PenStyle::Solid);
    c.MoveTo(0, 0);
    c.LineTo(10, 0);
    c.LineTo(10, 0);  // nothing to draw
    c.LineTo(10, 10);
    c.SetPenColor(0xFF00);  // a new pen ends the polyline; the next goes on from here
    c.LineTo(20, 10);
    c.MoveTo(5, 5);
    c.MoveTo(6, 6);  // a move after a move draws nothing
    c.LineTo(7, 7);
    c.Rectangle(0, 0, 3, 3);
    const auto& r = c.Records();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0].points, (std::vector<CanvasPoint>{{0, 0}, {10, 0}, {10, 10}}));
    EXPECT_EQ(r[0].pen, (CanvasPen{0xFF, 2, PenStyle::Solid}));
    EXPECT_EQ(r[1].points, (std::vector<CanvasPoint>{{10, 10}, {20, 10}}));
    EXPECT_EQ(r[1].pen.color, 0xFF00u);
    EXPECT_EQ(r[2].points, (std::vector<CanvasPoint>{{6, 6}, {7, 7}}));
    EXPECT_EQ(r[3].kind, CanvasRecord::Kind::Rectangle);
    EXPECT_EQ(c.PenPos(), (CanvasPoint{7, 7}));
}

// On a printer or in a metafile a line keeps the points its device can
// show: a straight run goes as its ends, a spike keeps its tip and its
// foot, a new pen takes the line on from where it stood, and where the
// line turns back it keeps its turning point. The screen and
// every picture of pixels keep every point; elsewhere the tolerance is a
// quarter of the device's pixel, in the units the painter draws in.
TEST_F(CanvasTest, LinesOnDevicesOfNoPixelsKeepWhatTheDeviceCanShow) {
    RecordingCanvas c;
    c.SetLineTolerance(kVectorLineTolerance);
    c.MoveToExact(0, 0);
    for (int i = 1; i <= 100; ++i) c.LineToExact(i * 1.3, i * 0.7);
    c.LineToExact(130.2, 90);
    c.LineToExact(130.4, 70.2);
    c.SetPenColor(0xFF);
    c.LineToExact(165.3, 70.2);
    c.LineToExact(200, 70.2);
    const auto& r = c.Records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].points, (std::vector<CanvasPoint>{{0, 0}, {130, 70}, {130, 90}, {130, 70}}));
    EXPECT_EQ(r[1].points, (std::vector<CanvasPoint>{{130, 70}, {200, 70}}));
    // A turn within the tolerance stays as well: the line reaches as far as the curve.
    RecordingCanvas fine;
    fine.SetLineTolerance(4);
    fine.MoveToExact(0, 100);
    for (int x = 1; x <= 100; ++x) fine.LineToExact(x, 103 - 0.0012 * (x - 50) * (x - 50));
    EXPECT_EQ(fine.Records().at(0).points, (std::vector<CanvasPoint>{{0, 100}, {50, 103}, {100, 100}}));

    QPicture picture;
    const struct { QPaintDevice* device; QTransform transform; double tolerance; } devices[] = {
        {&image_, {}, 0},
        {&image_, QTransform::fromScale(0.1, 0.1), 0},
        {&picture, {}, 0.25},
        {&picture, QTransform::fromScale(2, 2), 0.125},
        {&picture, QTransform().rotate(90).scale(1, 4), 0.0625},
    };
    for (const auto& d : devices) {
        QPainter painter(d.device);
        painter.setTransform(d.transform);
        QPainterCanvas canvas(painter);
        EXPECT_NEAR(canvas.LineTolerance(), d.tolerance, 1e-12) << d.device->devType();
    }
}

TEST_F(CanvasTest, RectanglesAndEllipsesCoverLeftAndTopButNotRightAndBottom) {
    {
        QPainterCanvas c(&image_);
        c.SetPen(0, 1, PenStyle::Solid);
        c.SetBrush(0xFF, BrushStyle::Solid);
        c.Rectangle(2, 2, 8, 8);
        c.SetBrush(0xFF0000, BrushStyle::Solid);
        c.FillRect(CanvasRect{20, 2, 26, 8});
    }
    const struct { int x, y; Color c; } pixels[] = {
        {2, 2, 0},        {7, 7, 0},         {5, 5, 0xFF},      {8, 8, 0xFFFFFF},  {8, 5, 0xFFFFFF},
        {20, 2, 0xFF0000}, {25, 7, 0xFF0000}, {26, 7, 0xFFFFFF}, {25, 8, 0xFFFFFF}};
    for (const auto& p : pixels) EXPECT_EQ(At(p.x, p.y), p.c) << p.x << "," << p.y;
}

TEST_F(CanvasTest, NothingIsAntialiased) {
    {
        QPainterCanvas c(&image_);
        c.SetPen(0xFF, 3, PenStyle::Solid);
        c.MoveTo(1, 3);
        c.LineTo(37, 29);
        c.SetPen(0xFF0000, 1, PenStyle::Solid);
        c.SetBrush(0xFF00, BrushStyle::Solid);
        c.Ellipse(5, 20, 25, 38);
        c.SetFont(CanvasFont{.size = 12});
        c.SetBrushStyle(BrushStyle::Clear);
        c.TextOut(2, 2, "Ag");
    }
    EXPECT_EQ(Colours(), (std::set<Color>{0xFFFFFF, 0xFF, 0xFF0000, 0xFF00, 0}));
}

TEST_F(CanvasTest, TextStandsBelowAndRightOfItsTopLeftCorner) {
    const CanvasFont f{.size = 14};
    CanvasSize size;
    {
        QPainterCanvas c(&image_);
        c.SetFont(f);
        c.SetBrushStyle(BrushStyle::Clear);
        c.TextOut(10, 10, "H");
        size = c.TextExtent("H");
    }
    EXPECT_EQ(size, MeasureText(f, "H"));
    QRect ink;  // the black pixels
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            if (At(x, y) == 0) ink |= QRect(x, y, 1, 1);
    EXPECT_GE(std::min(ink.top(), ink.left()), 10);
    EXPECT_LT(ink.bottom(), 10 + size.height);
    EXPECT_LT(ink.top(), 10 + size.height / 2);
}

// The fonts the program names by their Windows names are drawn with the
// family fontconfig stands in for them, asked for by its own name; what is
// drawn stays the same to the pixel.
TEST_F(CanvasTest, NamedFontsAreDrawnByTheFamilyThatStandsInForThem) {
    const QStringList installed = QFontDatabase::families();
    for (const char* name : {"Arial", "Courier New", "Times New Roman"}) {
        SCOPED_TRACE(name);
        const QString named = QString::fromLatin1(name);
        const QString family = InstalledFamily(named);
        EXPECT_TRUE(installed.contains(family, Qt::CaseInsensitive)) << family.toStdString();
        EXPECT_EQ(QFontInfo(QFont(family)).family(), QFontInfo(QFont(named)).family());
        for (const int pixels : {11, 13, 17}) {
            for (const bool smooth : {false, true}) {
                auto draw = [&](const QString& f) {
                    QImage image(240, 30, QImage::Format_RGB32);
                    image.fill(Qt::white);
                    QFont font(f);
                    font.setPixelSize(pixels);
                    if (!smooth) font.setStyleStrategy(QFont::NoAntialias);
                    QPainter p(&image);
                    p.setFont(font);
                    p.drawText(2, 22, QString::fromUtf8("Wertetabelle -4,5 ÄÖÜß x² π"));
                    return image;
                };
                EXPECT_TRUE(draw(family) == draw(named)) << pixels << " px, smooth " << smooth;
            }
        }
    }
    for (const char* other : {"Liberation Sans", "DejaVu Sans", "Keine Schrift", ""})
        EXPECT_EQ(InstalledFamily(QString::fromLatin1(other)), QString::fromLatin1(other));
}

TEST_F(CanvasTest, TextBackgroundFollowsTheBrush) {
    {
        QPainterCanvas c(&image_);
        c.SetFont(CanvasFont{.size = 10, .color = 0xFF});
        c.SetBrush(0xFF00, BrushStyle::Solid);
        c.TextOut(0, 0, "ii");
        c.SetBrushStyle(BrushStyle::Clear);
        c.TextOut(0, 20, "ii");
    }
    EXPECT_EQ(At(0, 0), 0xFF00u);  // the cell is filled with the brush colour
    EXPECT_EQ(Colours(20), (std::set<Color>{0xFFFFFF, 0xFF}));
}

TEST_F(CanvasTest, TextRectCutsTheTextOffAtItsBox) {
    {
        QPainterCanvas c(&image_);
        c.SetFont(CanvasFont{.size = 20});
        c.SetBrushStyle(BrushStyle::Clear);
        c.TextRect(CanvasRect{0, 0, 40, 12}, 2, 2, "WWW");
        c.SetPen(0xFF, 1, PenStyle::Solid);
        c.MoveTo(0, 39);
        c.LineTo(39, 39);  // the clip of the text does not stay
    }
    image_ = image_.copy(0, 12, 40, 28);  // what lies below the box
    EXPECT_EQ(Colours(), (std::set<Color>{0xFFFFFF, 0xFF}));
    EXPECT_EQ(At(20, 27), 0xFFu);
}

TEST_F(CanvasTest, HatchingsAndDotsLeaveTheBackgroundBetween) {
    {
        QPainterCanvas c(&image_);
        c.SetPen(0, 1, PenStyle::Clear);
        c.SetBrush(0xFF, BrushStyle::FDiagonal);
        c.Rectangle(0, 0, 16, 16);
        c.SetBrush(0xFF0000, BrushStyle::BDiagonal);
        c.Rectangle(20, 0, 36, 16);
        c.SetPen(0, 1, PenStyle::Dot);
        c.MoveTo(0, 30);
        c.LineTo(39, 30);
    }
    // Forward diagonal falls from left to right, backward rises.
    int falling = 0, rising = 0;
    for (int x = 1; x < 14; ++x) {
        for (int y = 1; y < 14; ++y) {
            if (At(x, y) == 0xFF && At(x + 1, y + 1) == 0xFF) ++falling;
            if (At(20 + x, y) == 0xFF0000 && At(20 + x + 1, y - 1) == 0xFF0000) ++rising;
        }
    }
    EXPECT_GT(falling, 10);
    EXPECT_GT(rising, 10);
    int dots = 0;
    for (int x = 0; x < 39; ++x) dots += At(x, 30) == 0;
    EXPECT_GT(dots, 5);
    EXPECT_LT(dots, 30);
}

}  // namespace
}  // namespace kalvo
