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

    const struct {
        int x, y, xm, ym;
        bool hatKnoten;
    } faelle[] = {
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

}  // namespace
}  // namespace kalvo
