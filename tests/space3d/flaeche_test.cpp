// The grid: out-of-range indices are never an error, writes are dropped and
// reads give the zero point; sizes stay within 201 x 201 nodes.

#include <gtest/gtest.h>

#include "flaeche.h"

namespace kalvo {
namespace {

TEST(Flaeche, WritesAndReadsInsideOnly) {
    TFlaeche f(2, 3);
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j <= 3; ++j) EXPECT_EQ(f.D3Point(i, j), (TSurfPoint{}));
    f.Make(2, 3, 1, 2, 3);
    f.Make(0, 1, 4, 5, 6);
    EXPECT_EQ(f.D3Point(2, 3), (TSurfPoint{1, 2, 3}));
    EXPECT_EQ(f.D3Point(0, 1), (TSurfPoint{4, 5, 6}));
    // Transposed indices are another node.
    EXPECT_EQ(f.D3Point(1, 0), (TSurfPoint{}));

    const struct {
        int i, j;
    } draussen[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 4}, {3, 4}, {-100000, 100000}};
    for (const auto& d : draussen) {
        f.Make(d.i, d.j, 9, 9, 9);
        EXPECT_EQ(f.D3Point(d.i, d.j), (TSurfPoint{})) << d.i << "," << d.j;
    }
    // Nothing inside changed either; D3Point(Fxm+1, 0) is not the nearest node.
    EXPECT_EQ(f.D3Point(2, 3), (TSurfPoint{1, 2, 3}));
    EXPECT_EQ(f.D3Point(2, 0), (TSurfPoint{}));
}

TEST(Flaeche, Sizes) {
    const struct {
        int x, y, xm, ym;
        bool hatKnoten;
    } faelle[] = {
        {0, 0, 0, 0, true},         // one node, no cell
        {-1, 5, -1, 5, false},      // nothing allocated
        {-7, -7, -1, -1, false},
        {4, -3, 4, -1, false},
        {200, 200, 200, 200, true},
        {500, 201, 200, 200, true},  // held at the largest grid
    };
    for (const auto& c : faelle) {
        TFlaeche f(c.x, c.y);
        EXPECT_EQ(f.xMasche(), c.xm);
        EXPECT_EQ(f.yMasche(), c.ym);
        f.Make(0, 0, 1, 1, 1);
        EXPECT_EQ(f.D3Point(0, 0) == (TSurfPoint{1, 1, 1}), c.hatKnoten) << c.x << "," << c.y;
        f.Make(c.xm, c.ym, 2, 2, 2);
        f.Make(c.xm + 1, c.ym + 1, 3, 3, 3);
        EXPECT_EQ(f.D3Point(c.xm + 1, c.ym + 1), (TSurfPoint{}));
    }
}

}  // namespace
}  // namespace kalvo
