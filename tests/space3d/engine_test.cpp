// The 3D engine without a window: the grid (out-of-range indices are never
// an error, sizes stay within 201 x 201 nodes), camera and projection (where
// the box's axes go for the usual and the axis-aligned views, the far corner,
// the clamps, the pixel limit at the eye plane), and axes, boxes and ticks.

#include <gtest/gtest.h>

#include "image_checks.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "flaeche.h"
#include "space3d_test_support.h"

namespace kalvo {
namespace {

TEST(Flaeche, WritesAndReadsInsideOnly) {
    TFlaeche f(2, 3);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 3; ++j) EXPECT_EQ(f.D3Point(i, j), (TSurfPoint{}));
    f.Make(2, 3, 1, 2, 3);
    f.Make(0, 1, 4, 5, 6);
    const std::pair<int, int> draussen[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 4}, {3, 4}, {-100000, 100000}};
    for (auto [i, j] : draussen) {
        f.Make(i, j, 9, 9, 9);
        EXPECT_EQ(f.D3Point(i, j), (TSurfPoint{})) << i << "," << j;
    }
    // Nothing inside changed either; transposed indices are another node,
    // and D3Point(Fxm+1, 0) is not the nearest node.
    EXPECT_EQ(f.D3Point(2, 3), (TSurfPoint{1, 2, 3}));
    EXPECT_EQ(f.D3Point(0, 1), (TSurfPoint{4, 5, 6}));
    EXPECT_EQ(f.D3Point(1, 0), (TSurfPoint{}));
    EXPECT_EQ(f.D3Point(2, 0), (TSurfPoint{}));

    const struct { int x, y, xm, ym; bool hatKnoten; } faelle[] = {
        {0, 0, 0, 0, true},  // one node, no cell
        {-1, 5, -1, 5, false}, {-7, -7, -1, -1, false}, {4, -3, 4, -1, false},  // nothing allocated
        {200, 200, 200, 200, true}, {500, 201, 200, 200, true},  // held at the largest grid
    };
    for (const auto& c : faelle) {
        TFlaeche g(c.x, c.y);
        EXPECT_EQ(std::pair(g.xMasche(), g.yMasche()), std::pair(c.xm, c.ym)) << c.x << "," << c.y;
        g.Make(0, 0, 1, 1, 1);
        EXPECT_EQ(g.D3Point(0, 0) == (TSurfPoint{1, 1, 1}), c.hatKnoten) << c.x << "," << c.y;
        g.Make(c.xm, c.ym, 2, 2, 2);
        g.Make(c.xm + 1, c.ym + 1, 3, 3, 3);
        EXPECT_EQ(g.D3Point(c.xm + 1, c.ym + 1), (TSurfPoint{}));
    }
}

using kalvo::test_support::kNaN;

TEST(Projektion, ClampsDistanceAndViewAngle) {
    const struct { double entfernung, sehwinkel, erwartetE, erwartetS; } faelle[] = {
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
using Richtung = std::pair<int, int>;

Richtung RichtungVon(const Grafik3DEngine& g, double x, double y, double z) {
    const CanvasPoint p = g.WeltToPixel(x, y, z);
    const auto sgn = [](int v) { return v > 300 ? 1 : v < 300 ? -1 : 0; };
    return {sgn(p.x), sgn(p.y)};
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
    const struct { double phi, theta; Vec3 basis; } faelle[] = {
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
    // Normalised (0.5, 0, 1): exactly the eye plane.
    EXPECT_EQ(g.WeltToPixel(1, 0, 2), (CanvasPoint{300, 32000}));
    EXPECT_EQ(g.WeltToPixel(-1, 0, 3).y, -32000);  // behind the eye
    EXPECT_EQ(g.WeltToPixel(kNaN, 0, 0), (CanvasPoint{32000, 32000}));
    const CanvasPoint fern = g.WeltToPixel(1e308, -1e308, 1e308);
    EXPECT_LE(std::max(std::abs(fern.x), std::abs(fern.y)), 32000);
}

TEST(Projektion, DegenerateBoxes) {
    Grafik3DEngine g;
    g.Groesse(400, 400);
    // Zero widths are taken as 1.
    g.DefiniereWeltkoordinaten(1, 1, 1, 1, 1, 1);
    EXPECT_EQ(Box(g), (std::array<double, 6>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(g.WeltToPixel(1.5, 1.5, 1.5), (CanvasPoint{200, 200}));
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
    EXPECT_LE(std::max(std::abs(wmf.x - 2 * bild.x), std::abs(wmf.y - 2 * bild.y)), 1);
    EXPECT_EQ(g.FaktorX(), 2);
    g.SetDrucker(nullptr, 3, 3);
    g.DefGrafikAusgabe(tAusgabe::Drucker);
    const CanvasPoint druck = g.WeltToPixel(1, -1, 0.5);
    EXPECT_LE(std::max(std::abs(druck.x - 3 * bild.x), std::abs(druck.y - 3 * bild.y)), 2);
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

TEST(Skala, StepsAndTexts) {
    const struct { double w, xy, z; } faelle[] = {
        {0.5, 0.1, 0.2}, {6, 1, 2}, {-6, 1, 2}, {1, 0.2, 0.5}, {15, 2, 5},
        {4, 0.5, 1}, {0.011, 0.002, 0.005}, {3e-5, 5e-6, 1e-5}, {0, 0, 0},
        {HUGE_VAL, 0, 0}, {std::numeric_limits<double>::quiet_NaN(), 0, 0},
    };
    for (const auto& c : faelle) {
        EXPECT_NEAR(Skalenschritt(c.w, false), c.xy, c.xy * 1e-12) << c.w;
        EXPECT_NEAR(Skalenschritt(c.w, true), c.z, c.z * 1e-12) << c.w;
    }
    const struct { double v; const char* text; } texte[] = {
        {0.5, "0,5"}, {-2, "-2"}, {-0.0, "0"}, {0.30000000000000004, "0,3"}, {12.5, "12,5"},
        {1234, "1,23E3"}, {2e-5, "2E-5"}, {-150000, "-1,5E5"},
    };
    for (const auto& c : texte) EXPECT_EQ(Skalentext(c.v), c.text) << c.v;
}

TEST(Skala, Values) {
    const struct { double min, w, step; std::vector<double> werte; } faelle[] = {
        {-3, 6, 1, {-2, -1, 0, 1, 2}},  // strictly inside the box
        {-3, 6, 2, {-2, 0, 2}},
        {0, 1, 0.2, {0.2, 0.4, 0.6, 0.8}},
        {0.5, 0.5, 1, {1}},  // at least one tick
        {0, 1, 0, {}},
        {0, 1, -1, {}},
    };
    for (const auto& c : faelle) {
        const std::vector<double> werte = Skalenwerte(c.min, c.w, c.step);
        ASSERT_EQ(werte.size(), c.werte.size()) << c.min << " " << c.w;
        for (size_t i = 0; i < werte.size(); ++i) EXPECT_NEAR(werte[i], c.werte[i], 1e-12);
    }
    // Where k + 1 == k the loops are capped, not endless.
    EXPECT_LE(Skalenwerte(1e300, 1e290, 1).size(), 200u);
    EXPECT_LE(Skalenwerte(-1e20, 1e6, 1e-3).size(), 200u);
}

TEST(Achsen, ArrowHeads) {
    AufgezeichneteSzene s;
    s.g.Pfeil3D(true, 0, 0, 0, 0, 0, 1e-9);  // one pixel: no head
    EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polyline).size(), 1u);
    s.rec.ClearRecords();
    s.g.Pfeil3D(false, -2, 0, 0, 2, 0, 0);
    EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polyline).size(), 1u);
    s.rec.ClearRecords();

    s.g.Pfeil3D(true, 0, -2, 0, 0, 2, 0);
    const auto linien = s.Alle(CanvasRecord::Kind::Polyline);
    ASSERT_EQ(linien.size(), 3u);
    const CanvasPoint a = s.g.WeltToPixel(0, -2, 0), b = s.g.WeltToPixel(0, 2, 0);
    EXPECT_EQ(linien[0].points, (std::vector<CanvasPoint>{a, b, a}));
    const double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
    for (int k = 1; k <= 2; ++k) {
        ASSERT_EQ(linien[k].points.front(), b);
        const CanvasPoint w = linien[k].points.back();
        const double wx = w.x - b.x, wy = w.y - b.y;
        EXPECT_NEAR(std::hypot(wx, wy), 8, 1);
        // 45 degrees back from the tip.
        EXPECT_NEAR((wx * dx + wy * dy) / (8 * len), -std::sqrt(0.5), 0.1);
    }
}

TEST(Achsen, Boxes) {
    AufgezeichneteSzene s;
    s.g.DefiniereWeltkoordinaten(-1, 0, 2, 3, 5, 4);
    s.g.KoordinatenBox1(2, 0x00FF00);
    auto linien = s.Alle(CanvasRecord::Kind::Polyline);
    ASSERT_EQ(linien.size(), 6u);
    EXPECT_EQ(linien[0].points.size(), 5u);
    EXPECT_EQ(linien[0].points.front(), linien[0].points.back());
    EXPECT_EQ(linien[0].pen, (CanvasPen{0x00FF00, 2, PenStyle::Solid}));

    // The back walls: every edge meets the far corner's faces, none the near corner.
    s.rec.ClearRecords();
    s.g.KoordinatenBox2(1, 0);
    linien = s.Alle(CanvasRecord::Kind::Polyline);
    ASSERT_EQ(linien.size(), 9u);
    const Vec3 b = s.g.Basis(), f = s.g.Front();
    EXPECT_EQ(Xyz(b), Xyz({-1, 0, 2}));
    const CanvasPoint vorn = s.g.WeltToPixel(f.x, f.y, f.z), hinten = s.g.WeltToPixel(b.x, b.y, b.z);
    int amHinteren = 0;
    for (const auto& l : linien) {
        EXPECT_EQ(std::count(l.points.begin(), l.points.end(), vorn), 0);
        amHinteren += std::count(l.points.begin(), l.points.end(), hinten) > 0;
    }
    EXPECT_EQ(amHinteren, 3);
}

TEST(Achsen, LabelsAndTicks) {
    AufgezeichneteSzene s;
    s.g.DefiniereWeltkoordinaten(-3, -3, -3, 3, 3, 3);
    s.g.AchsenXYZ(1, 0x0000FF, "x", "y", "Höhe", true, true);
    std::vector<std::string> texte;
    for (const auto& t : s.Alle(CanvasRecord::Kind::Text)) {
        texte.push_back(t.text);
        EXPECT_EQ(t.font.color, 0x0000FFu);
        EXPECT_EQ(t.brush.style, BrushStyle::Clear);
    }
    const std::vector<std::string> erwartet = {"x", "y", "Höhe", "-2", "-1", "0", "1", "2",
                                               "-2", "-1", "0", "1", "2", "-2", "0", "2"};
    EXPECT_EQ(texte, erwartet);

    // The z label stands above the end of the z axis, moved down onto the
    // picture where the end is too near its top; the x label ends left of
    // the x axis end.
    const auto alle = s.Alle(CanvasRecord::Kind::Text);
    const CanvasPoint zEnde = s.g.WeltToPixel(-3, -3, 3), xEnde = s.g.WeltToPixel(3, -3, -3);
    EXPECT_EQ(alle[2].at.x, zEnde.x);
    EXPECT_EQ(alle[2].at.y, std::max(0, zEnde.y - 6 - MeasureText(alle[2].font, "Höhe").height));
    EXPECT_LT(alle[0].at.x, xEnde.x);

    s.rec.ClearRecords();
    s.g.AchsenXYZ(1, 0, "", "", "", false, false);
    EXPECT_TRUE(s.Alle(CanvasRecord::Kind::Text).empty());
    EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polyline).size(), 3u);
}

}  // namespace
}  // namespace kalvo
