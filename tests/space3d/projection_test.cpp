// Camera and projection: where the axes of the box go on the screen for
// the usual and the axis-aligned views, the far corner, the clamps, and the
// pixel limit for points at the eye plane.

#include <gtest/gtest.h>

#include "image_checks.h"

#include <cmath>
#include <limits>

#include "space3d_test_support.h"

namespace kalvo {
namespace {

using kalvo::test_support::kNaN;

TEST(Projektion, ClampsDistanceAndViewAngle) {
    const struct {
        double entfernung, sehwinkel, erwartetE, erwartetS;
    } faelle[] = {
        {0, 180, 0.001, 179}, {5000, 0, 1000, 0.001}, {-3, -10, 0.001, 0.001}, {44, 0.1, 44, 0.1},
        {HUGE_VAL, HUGE_VAL, 1000, 179},
    };
    for (const auto& c : faelle) {
        Grafik3DEngine g;
        g.SetEntfernung(c.entfernung);
        g.SetSehwinkel(c.sehwinkel);
        EXPECT_DOUBLE_EQ(g.Entfernung(), c.erwartetE) << c.entfernung;
        EXPECT_DOUBLE_EQ(g.Sehwinkel(), c.erwartetS) << c.sehwinkel;
    }
    // Not a number: the old value stays, the view stays computable.
    Grafik3DEngine g;
    g.SetEntfernung(kNaN);
    g.SetSehwinkel(kNaN);
    g.SetZrot(kNaN);
    g.SetYrot(-HUGE_VAL);
    g.SetzFaktor(kNaN);
    EXPECT_EQ((std::array{g.Entfernung(), g.Sehwinkel(), g.Zrot(), g.Yrot(), g.zFaktor()}),
              (std::array<double, 5>{8, 3, 45, 45, 1}));
}

// Direction of a pixel relative to the picture centre: -1, 0, +1 per coordinate.
struct Richtung {
    int x, y;
    bool operator==(const Richtung&) const = default;
};

Richtung RichtungVon(const Grafik3DEngine& g, double x, double y, double z) {
    int xs, ys;
    g.WeltToPixel(x, y, z, xs, ys);
    const auto sgn = [](int v) { return v > 300 ? 1 : v < 300 ? -1 : 0; };
    return {sgn(xs), sgn(ys)};
}

TEST(Projektion, AxesOnTheScreen) {
    const struct {
        double phi, theta;
        Richtung x, y, z;  // where the ends of the +x, +y and +z half axes land
    } faelle[] = {
        {45, 45, {-1, 1}, {1, 1}, {0, -1}},  // the windows' usual view
        {0, 0, {0, 1}, {1, 0}, {0, 0}},      // straight down the z axis
        {0, 90, {0, 0}, {1, 0}, {0, -1}},    // from the +x side
        {90, 90, {-1, 0}, {0, 0}, {0, -1}},  // from the +y side
        {0, 180, {0, -1}, {1, 0}, {0, 0}},   // from below
        {270, 90, {1, 0}, {0, 0}, {0, -1}},  // the solids window: the graph as in the plane
        {45 + 360 * 5, 45 - 360, {-1, 1}, {1, 1}, {0, -1}},
    };
    for (const auto& c : faelle) {
        Grafik3DEngine g;
        g.Groesse(600, 600);
        g.SetZrot(c.phi);
        g.SetYrot(c.theta);
        EXPECT_EQ(RichtungVon(g, 0, 0, 0), (Richtung{0, 0}));
        EXPECT_EQ(RichtungVon(g, 2, 0, 0), c.x) << c.phi << " " << c.theta;
        EXPECT_EQ(RichtungVon(g, 0, 2, 0), c.y) << c.phi << " " << c.theta;
        EXPECT_EQ(RichtungVon(g, 0, 0, 2), c.z) << c.phi << " " << c.theta;
    }
}

TEST(Projektion, MouseDragTurnsByHalfTheDistance) {
    Grafik3DEngine g;
    KameraZiehen(g, 100, 100, 93, 104);  // 7 and -4 pixels: 3 and -2 degrees
    EXPECT_EQ(std::pair(g.Zrot(), g.Yrot()), std::pair(48.0, 43.0));
    KameraZiehen(g, 0, 0, 1, -1);  // a single pixel turns nothing
    EXPECT_EQ(std::pair(g.Zrot(), g.Yrot()), std::pair(48.0, 43.0));
}

TEST(Projektion, FarCorner) {
    const struct {
        double phi, theta;
        Vec3 basis;
    } faelle[] = {
        {45, 45, {-2, -2, -2}},
        {225, 135, {2, 2, 2}},
        {0, 60, {-2, 2, -2}},  // y = -1 and +1 are equally far: the later corner wins
        {90, 0, {2, 2, -2}},  // only z tells the corners apart; the last tie wins
    };
    for (const auto& c : faelle) {
        Grafik3DEngine g;
        g.SetZrot(c.phi);
        g.SetYrot(c.theta);
        EXPECT_EQ(Xyz(g.Basis()), Xyz(c.basis)) << c.phi << " " << c.theta;
        EXPECT_EQ(Xyz(g.Front()), Xyz({-c.basis.x, -c.basis.y, -c.basis.z})) << c.phi << " " << c.theta;
    }
}

TEST(Projektion, PointsAtOrBehindTheEyePlaneStayAtTheLimit) {
    Grafik3DEngine g;
    g.Groesse(600, 600);
    g.SetEntfernung(1);
    g.SetYrot(0);
    g.SetZrot(0);
    int xs, ys;
    // Normalised (0.5, 0, 1): exactly the eye plane.
    g.WeltToPixel(1, 0, 2, xs, ys);
    EXPECT_EQ(xs, 300);
    EXPECT_EQ(ys, 32000);
    g.WeltToPixel(-1, 0, 3, xs, ys);  // behind the eye
    EXPECT_EQ(ys, -32000);
    g.WeltToPixel(kNaN, 0, 0, xs, ys);
    EXPECT_EQ(xs, 32000);
    EXPECT_EQ(ys, 32000);
    g.WeltToPixel(1e308, -1e308, 1e308, xs, ys);
    EXPECT_LE(std::abs(xs), 32000);
    EXPECT_LE(std::abs(ys), 32000);
}

TEST(Projektion, DegenerateBoxes) {
    Grafik3DEngine g;
    g.Groesse(400, 400);
    // Zero widths are taken as 1.
    g.DefiniereWeltkoordinaten(1, 1, 1, 1, 1, 1);
    EXPECT_EQ(Box(g), (std::array<double, 6>{1, 1, 1, 1, 1, 1}));
    int xs, ys;
    g.WeltToPixel(1.5, 1.5, 1.5, xs, ys);
    EXPECT_EQ(xs, 200);
    EXPECT_EQ(ys, 200);
    // An axis that is not finite keeps the box it had.
    g.DefiniereWeltkoordinaten(kNaN, -1e308, 0, 3, 1e308, HUGE_VAL);
    EXPECT_EQ(Box(g), (std::array<double, 6>{1, 1, 1, 1, 1, 1}));
}

TEST(Projektion, OutputFactors) {
    Grafik3DEngine g;
    g.Groesse(300, 200);
    const CanvasPoint bild = g.WeltToPixel(1, -1, 0.5);
    g.DefGrafikAusgabe(tAusgabe::WMF);
    const CanvasPoint wmf = g.WeltToPixel(1, -1, 0.5);
    EXPECT_NEAR(wmf.x, 2 * bild.x, 1);
    EXPECT_NEAR(wmf.y, 2 * bild.y, 1);
    EXPECT_EQ(g.FaktorX(), 2);
    g.SetDrucker(nullptr, 3, 3);
    g.DefGrafikAusgabe(tAusgabe::Drucker);
    const CanvasPoint druck = g.WeltToPixel(1, -1, 0.5);
    EXPECT_NEAR(druck.x, 3 * bild.x, 2);
    EXPECT_NEAR(druck.y, 3 * bild.y, 2);
    g.DefGrafikAusgabe(tAusgabe::Clipb);  // no effect of its own
    EXPECT_TRUE(g.Drucken());
    g.DefGrafikAusgabe(tAusgabe::Bildschirm);
    EXPECT_EQ(g.WeltToPixel(1, -1, 0.5), bild);
    EXPECT_FALSE(g.Drucken());
    EXPECT_FALSE(g.RecordMetafile());
}

TEST(Projektion, SizeChangeFollowsTheControl) {
    Grafik3DEngine g;
    int meldungen = 0;
    g.OnResize = [&] { ++meldungen; };
    g.Groesse(30, 30);  // the size it was created with
    EXPECT_EQ(meldungen, 0);
    g.Groesse(640, 480);
    EXPECT_EQ(meldungen, 1);
    EXPECT_EQ(g.Bitmap().size(), QSize(640, 480));
    // The picture centre follows the size.
    EXPECT_EQ(g.WeltToPixel(0, 0, 0), (CanvasPoint{320, 240}));
    g.Groesse(640, 480);
    EXPECT_EQ(meldungen, 1);
    g.Groesse(0, 100);  // before the layout: nothing to draw on, but no fault
    EXPECT_EQ(meldungen, 2);
    g.Grafik_loeschen(0xFF);
    g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
    EXPECT_TRUE(g.Bitmap().isNull());
}

}  // namespace
}  // namespace kalvo
