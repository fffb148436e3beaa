// The surface drawers: painter's order, the colourings, the lit triangles
// and their checkerboard diagonals, the spectra, and surfaces that are not
// finite or not well formed.

#include <gtest/gtest.h>

#include "image_checks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

#include "number_text.h"
#include "space3d_test_support.h"

namespace kalvo {
namespace {

using kalvo::test_support::kNaN;

TEST(Spektrum, Colours) {
    const struct {
        int k;
        double wert, min, max;
        Color farbe;
    } faelle[] = {
        {1, 0, 0, 1, MakeRGB(255, 255, 0)},
        {1, 1, 0, 1, MakeRGB(1, 128, 0)},
        {2, 0.5, 0, 1, MakeRGB(255, 127, 128)},  // 63.5 rounds to the even 64
        {7, 1, 0, 1, MakeRGB(1, 254, 128)},
        {11, 1, 0, 1, MakeRGB(200, 1, 0)},
        {15, 1, 0, 1, MakeRGB(254, 254, 254)},
        {16, 1, 0, 1, MakeRGB(1, 1, 1)},
        {3, 5, 5, 5, MakeRGB(0, 255, 100)},        // max = min: widened, step 0
        {3, -1, 0, 1, MakeRGB(254, 1, 100)},       // outside: the absolute step
        {3, 40, 0, 1, MakeRGB(254, 1, 100)},       // capped at 127
        {3, kNaN, 0, 1, MakeRGB(0, 255, 100)},     // not a number: step 0
        {4, 1e20, 1e20, 1e20, MakeRGB(0, 255, 255)},  // the widening is lost at 1e20
        {0, 1, 0, 1, MakeRGB(1, 128, 0)},          // outside 1..16: the nearest spectrum
        {99, 1, 0, 1, MakeRGB(1, 1, 1)},
    };
    for (const auto& c : faelle)
        EXPECT_EQ(Spektralfarbe(c.k, c.wert, c.min, c.max), c.farbe) << c.k << " " << c.wert;
}

TEST(Spektrum, Preview) {
    EXPECT_EQ(Farbverlauffarbe(6, 63), MakeRGB(192, 126, 3));
    EXPECT_EQ(Farbverlauffarbe(15, 63), MakeRGB(126, 126, 126));
    EXPECT_EQ(Farbverlauffarbe(1, 10), Spektralfarbe(1, 20, 0, 127));
}

// A flat plane z = 0 over -3..3, seen from the windows' usual angle.
struct Ebene : AufgezeichneteSzene {
    TFlaeche f = Funktionsflaeche(4, [](double, double) { return 0.0; });
    Ebene() { g.DefiniereWeltkoordinaten(-3, -3, -1e-5, 3, 3, 1e-5); }
};

TEST(FlaecheZeichnen, FarCellsFirst) {
    Ebene s;
    s.g.Zeichne3dFlaeche(&s.f, 0.5, 0.5, 0xC8C8C8, 0, 1, false, 1, 1);
    const auto polygone = s.Alle(CanvasRecord::Kind::Polygon);
    ASSERT_EQ(polygone.size(), 16u);
    // The first corner of a cell is node (i, j); the eye looks from +x, +y,
    // so a cell comes after its neighbours at smaller i and j.
    std::map<std::pair<int, int>, size_t> rang;
    for (size_t k = 0; k < polygone.size(); ++k)
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                const TSurfPoint p = s.f.D3Point(i, j);
                if (s.g.WeltToPixel(p.x, p.y, p.z) == polygone[k].points[0]) rang[{i, j}] = k;
            }
    ASSERT_EQ(rang.size(), 16u);
    const auto r = [&](int i, int j) { return rang[std::pair{i, j}]; };
    EXPECT_EQ(r(0, 0), 0u);
    EXPECT_EQ(r(3, 3), 15u);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            if (i > 0) {
                EXPECT_GT(r(i, j), r(i - 1, j));
            }
            if (j > 0) {
                EXPECT_GT(r(i, j), r(i, j - 1));
            }
        }
    // The corners in the order (i, j), (i+1, j), (i+1, j+1), (i, j+1), outlined with the net pen.
    const auto& erste = polygone[0];
    ASSERT_EQ(erste.points.size(), 4u);
    EXPECT_EQ(erste.points[2], s.g.WeltToPixel(-1.5, -1.5, 0));
    EXPECT_EQ(erste.pen, (CanvasPen{0, 1, PenStyle::Solid}));
}

TEST(FlaecheZeichnen, Colourings) {
    const Color grau = 0xC8C8C8;  // 200 in every channel
    const struct {
        int art;
        bool spektrum;
        int nummer;
        Color fern, nah;  // first and last cell drawn
    } faelle[] = {
        {0, true, 1, 0x336699, 0x336699},
        {1, false, 1, 0x336699, 0x336699},
        {2, false, 1, MakeRGB(100, 100, 100), MakeRGB(200, 200, 200)},  // near cells bright
        {3, false, 1, MakeRGB(100, 100, 100), MakeRGB(100, 100, 100)},  // flat: diffuse only
        {2, true, 15, MakeRGB(254, 254, 254), MakeRGB(0, 0, 0)},
        {3, true, 4, MakeRGB(0, 255, 255), MakeRGB(0, 255, 255)},       // flat: step 0
    };
    for (const auto& c : faelle) {
        Ebene s;
        const Color farbe = c.art < 2 ? 0x336699 : grau;
        s.g.Zeichne3dFlaeche(&s.f, 0.5, 0.5, farbe, 0x0000FF, 2, c.spektrum, c.nummer, c.art);
        const auto polygone = s.Alle(CanvasRecord::Kind::Polygon);
        ASSERT_EQ(polygone.size(), 16u);
        EXPECT_EQ(polygone.front().brush, (CanvasBrush{c.fern, BrushStyle::Solid})) << c.art << c.spektrum;
        EXPECT_EQ(polygone.back().brush, (CanvasBrush{c.nah, BrushStyle::Solid})) << c.art << c.spektrum;
        EXPECT_EQ(polygone.back().pen, (CanvasPen{0x0000FF, 2, PenStyle::Solid}));
    }
}

TEST(FlaecheZeichnen, HeightsFarFromZero) {
    // Heights beyond 1e7 still span the whole spectrum.
    for (double basis : {1e8, -1e9}) {
        AufgezeichneteSzene s;
        const TFlaeche f = Funktionsflaeche(4, [&](double x, double) { return basis + x; });
        s.g.DefiniereWeltkoordinaten(-3, -3, basis - 3, 3, 3, basis + 3);
        s.g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0, 0, 1, true, 15, 3);
        std::set<Color> farben;
        for (const auto& p : s.Alle(CanvasRecord::Kind::Polygon)) farben.insert(p.brush.color);
        EXPECT_EQ(farben.count(MakeRGB(0, 0, 0)), 1u) << basis;
        EXPECT_EQ(farben.size(), 4u) << basis;  // one colour per row of heights
    }
}

TEST(LichtZeichnen, CheckerboardTriangles) {
    AufgezeichneteSzene s;
    const TFlaeche f = Gitter(2, 1, [](int i, int j) { return TSurfPoint{double(i), double(j), 0.3 * i * j}; });
    s.g.DefiniereWeltkoordinaten(0, 0, 0, 2, 1, 0.3);
    s.g.SetZrot(30);
    s.g.SetYrot(50);
    s.g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0x808080);
    const auto px = [&](int i, int j) {
        const TSurfPoint p = f.D3Point(i, j);
        return s.g.WeltToPixel(p.x, p.y, p.z);
    };
    using Ecken = std::set<std::pair<int, int>>;
    const auto ecken = [&](std::initializer_list<std::pair<int, int>> knoten) {
        Ecken e;
        for (auto [i, j] : knoten) e.insert({px(i, j).x, px(i, j).y});
        return e;
    };
    std::set<Ecken> erwartet = {
        ecken({{0, 0}, {1, 0}, {0, 1}}), ecken({{1, 1}, {1, 0}, {0, 1}}),  // cell (0, 0): i + j even
        ecken({{1, 0}, {1, 1}, {2, 1}}), ecken({{2, 0}, {1, 0}, {2, 1}}),  // cell (1, 0): odd
    };
    std::set<Ecken> gezeichnet;
    for (const auto& p : s.Alle(CanvasRecord::Kind::Polygon)) {
        EXPECT_EQ(p.pen.style, PenStyle::Clear);
        ASSERT_EQ(p.points.size(), 3u);
        Ecken e;
        for (const CanvasPoint& q : p.points) e.insert({q.x, q.y});
        gezeichnet.insert(e);
    }
    EXPECT_EQ(gezeichnet, erwartet);
}

TEST(LichtZeichnen, Intensity) {
    Grafik3DEngine g;
    g.SetYrot(0);  // looking straight down
    const TSurfPoint a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0}, oben{0, 0, 1};
    EXPECT_DOUBLE_EQ(g.Lichtintensitaet(a, b, c), 1);
    EXPECT_DOUBLE_EQ(g.Lichtintensitaet(a, c, b), 1);  // both sides alike
    EXPECT_NEAR(g.Lichtintensitaet(a, b, oben), 0, 1e-15);  // edge-on
    EXPECT_EQ(g.Lichtintensitaet(a, a, c), 0);             // degenerate
    EXPECT_EQ(g.Lichtintensitaet(a, b, TSurfPoint{kNaN, 0, 0}), 0);

    // A plane facing the eye is drawn in full base brightness, a degenerate
    // triangle in diffuse times the base.
    AufgezeichneteSzene s;
    s.g.SetYrot(0);
    const TFlaeche f = Gitter(1, 1, [](int i, int j) { return TSurfPoint{double(i == 1 && j == 0 ? 0 : i), double(j), 0}; });
    s.g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, MakeRGB(200, 100, 0));
    std::set<Color> farben;
    for (const auto& p : s.Alle(CanvasRecord::Kind::Polygon)) farben.insert(p.brush.color);
    EXPECT_EQ(farben, (std::set<Color>{MakeRGB(200, 100, 0), MakeRGB(100, 50, 0)}));
}

TEST(FlaecheZeichnen, NothingWithoutCells) {
    for (auto [n, m] : {std::pair{0, 0}, {0, 5}, {5, 0}, {-1, -1}}) {
        AufgezeichneteSzene s;
        const TFlaeche f(n, m);
        s.g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0, 0, 1, true, 1, 2);
        s.g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0);
        EXPECT_TRUE(s.Alle(CanvasRecord::Kind::Polygon).empty());
    }
    AufgezeichneteSzene s;
    s.g.Zeichne3dFlaeche(nullptr, 0.5, 0.5, 0, 0, 1, true, 1, 2);
    s.g.ZeichneLicht3dFlaeche(nullptr, 0.5, 0.5, 0);
    EXPECT_TRUE(s.rec.Records().empty());
}

TEST(FlaecheZeichnen, PointsThatAreNotFiniteLeaveTheirCellsOut) {
    const double boese[] = {kNaN, HUGE_VAL, -HUGE_VAL, 1e308};
    for (double b : boese) {
        AufgezeichneteSzene s;
        const TFlaeche f = Gitter(3, 3, [&](int i, int j) {
            return TSurfPoint{double(i), double(j), i == 1 && j == 1 ? b : 0.1 * i * j};
        });
        s.g.DefiniereWeltkoordinaten(0, 0, 0, 3, 3, 1);
        s.g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0, 0, 1, true, 1, 3);
        EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polygon).size(), 5u) << b;
        s.rec.ClearRecords();
        s.g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0);
        EXPECT_EQ(s.Alle(CanvasRecord::Kind::Polygon).size(), 14u) << b;
    }
}

TEST(FlaecheZeichnen, PathologicalViews) {
    // Eye distance 0, extreme and axis-aligned angles, zero-size and huge
    // boxes, a zero z stretch: every picture stays within the pixel limit.
    const TFlaeche f = Funktionsflaeche(6, [](double x, double y) { return x * x - y * y; });
    const double winkel[] = {0, 90, 180, 270, -45, 1e-300, 1e15, 1e300};
    const double boxen[][6] = {{-3, -3, -9, 3, 3, 9}, {1, 1, 1, 1, 1, 1}, {-1e300, -1e300, -1e300, 1e300, 1e300, 1e300},
                               {0, 0, 0, 1e-300, 1e-300, 1e-300}};
    for (double phi : winkel)
        for (double theta : winkel)
            for (const auto& box : boxen) {
                AufgezeichneteSzene s(97, 61);
                s.g.SetEntfernung(0);
                s.g.SetZrot(phi);
                s.g.SetYrot(theta);
                s.g.SetzFaktor(phi == 0 ? 0 : 1);
                s.g.DefiniereWeltkoordinaten(box[0], box[1], box[2], box[3], box[4], box[5]);
                s.g.Zeichne3dFlaeche(&f, 0.5, 0.5, 0xFFFFFF, 0, 1, false, 1, 2);
                s.g.ZeichneLicht3dFlaeche(&f, 0.5, 0.5, 0xFFFFFF);
                s.g.AchsenXYZ(1, 0, "x", "y", "z", true, true);
                s.g.Achsenkreuz(1, 0, "x", "y", "z");
                s.g.KoordinatenBox1(1, 0);
                s.g.KoordinatenBox2(1, 0);
                for (const auto& r : s.rec.Records())
                    for (const CanvasPoint& p : r.points) {
                        ASSERT_LE(std::abs(p.x), 32000) << phi << " " << theta;
                        ASSERT_LE(std::abs(p.y), 32000) << phi << " " << theta;
                    }
            }
}

}  // namespace
}  // namespace kalvo
