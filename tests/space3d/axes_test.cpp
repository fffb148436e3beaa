// Axes, boxes and ticks: tick steps and values, arrow heads, the box edges
// at the far corner, and labels where the axis ends are.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "space3d_test_support.h"

namespace kalvo {
namespace {

TEST(Skala, Steps) {
    const struct {
        double w, xy, z;
    } faelle[] = {
        {0.5, 0.1, 0.2}, {6, 1, 2}, {-6, 1, 2}, {1, 0.2, 0.5}, {15, 2, 5},
        {4, 0.5, 1}, {0.011, 0.002, 0.005}, {3e-5, 5e-6, 1e-5}, {0, 0, 0},
        {HUGE_VAL, 0, 0}, {std::numeric_limits<double>::quiet_NaN(), 0, 0},
    };
    for (const auto& c : faelle) {
        EXPECT_NEAR(Skalenschritt(c.w, false), c.xy, c.xy * 1e-12) << c.w;
        EXPECT_NEAR(Skalenschritt(c.w, true), c.z, c.z * 1e-12) << c.w;
    }
}

TEST(Skala, Values) {
    const struct {
        double min, w, step;
        std::vector<double> werte;
    } faelle[] = {
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

TEST(Skala, Texts) {
    const struct {
        double v;
        const char* text;
    } faelle[] = {
        {0.5, "0,5"}, {-2, "-2"}, {-0.0, "0"}, {0.30000000000000004, "0,3"}, {12.5, "12,5"},
        {1234, "1,23E3"}, {2e-5, "2E-5"}, {-150000, "-1,5E5"},
    };
    for (const auto& c : faelle) EXPECT_EQ(Skalentext(c.v), c.text) << c.v;
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

    // The z label stands above the end of the z axis, the x label ends left of the x axis end.
    const auto alle = s.Alle(CanvasRecord::Kind::Text);
    const CanvasPoint zEnde = s.g.WeltToPixel(-3, -3, 3), xEnde = s.g.WeltToPixel(3, -3, -3);
    EXPECT_EQ(alle[2].at.x, zEnde.x);
    EXPECT_LT(alle[2].at.y, zEnde.y - 6);
    EXPECT_LT(alle[0].at.x, xEnde.x);

    s.rec.ClearRecords();
    s.g.AchsenXYZ(1, 0, "", "", "", false, false);
    EXPECT_TRUE(s.Alle(CanvasRecord::Kind::Text).empty());
    EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polyline).size(), 3u);
}

}  // namespace
}  // namespace kalvo
