#include "object_lists.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

namespace kalvo {
namespace {

tElement Box(double x1, double y1, double x2, double y2, const char* text = "") {
    tElement e;
    e.Art = TDrawingTool::Textfeld;
    e.x1 = x1;
    e.y1 = y1;
    e.x2 = x2;
    e.y2 = y2;
    e.Text = text;
    return e;
}

std::string TextAt(const ElementListe& l, int i) {
    tElement e;
    e.Text = "untouched";
    l.Get(i, e);
    return e.Text;
}

TEST(ObjectLists, PositionsAtTheBorders) {
    ElementListe l;
    l.Init();
    EXPECT_TRUE(l.Empty());
    l.Insert(1, Box(0, 0, 1, 1, "b"));
    l.Insert(0, Box(0, 0, 1, 1, "a"));  // 0 also puts first
    l.Insert(3, Box(0, 0, 1, 1, "c"));  // Count + 1 appends
    l.Insert(5, Box(0, 0, 1, 1, "x"));  // Count + 2 inserts nothing
    l.InsertAfter(0, Box(0, 0, 1, 1, "x"));
    l.InsertAfter(4, Box(0, 0, 1, 1, "x"));
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ((std::vector{TextAt(l, -1), TextAt(l, 0), TextAt(l, 1), TextAt(l, 2), TextAt(l, 3), TextAt(l, 4)}),
              (std::vector<std::string>{"untouched", "untouched", "a", "b", "c", "untouched"}));

    l.InsertAfter(1, Box(0, 0, 1, 1, "a2"));
    EXPECT_EQ(TextAt(l, 2), "a2");
    l.Delete(0);
    l.Delete(5);
    EXPECT_EQ(l.Count(), 4);
    l.Delete(1);
    EXPECT_EQ(TextAt(l, 1), "a2");
    l.Delete(l.Count());
    EXPECT_EQ(l.Count(), 2);
    EXPECT_EQ(TextAt(l, 2), "b");

    l.Seek(2);
    EXPECT_EQ(l.Cursor(), 2);
    l.Delete(1);
    EXPECT_EQ(l.Cursor(), 1);  // still the same cell
    l.Seek(9);
    EXPECT_EQ(l.Cursor(), 0);

    l.Done();
    EXPECT_TRUE(l.Empty());
    l.Done();

    // The list keeps copies, whole function sets included.
    SpeicherListe s;
    ArchivEintrag a;
    a.f = "x^2";
    a.Schaubilder[34].zeichnen = true;
    s.Insert(1, a);
    a.f = "sin(x)";
    s.Insert(s.Count() + 1, a);
    a.Schaubilder[34].zeichnen = false;
    ArchivEintrag out;
    s.Get(1, out);
    EXPECT_EQ(out.f.str(), "x^2");
    EXPECT_TRUE(out.Schaubilder[34].zeichnen);
    s.Get(2, out);
    EXPECT_EQ(out.f.str(), "sin(x)");
}

TEST(ObjectLists, FindAtTakesTheTopmostBoxAndIgnoresBorders) {
    ElementListe l;
    EXPECT_EQ(l.FindAt(5, 5), 0);
    l.Insert(1, Box(0, 0, 10, 10));
    l.Insert(2, Box(5, 5, 20, 20));
    l.Insert(3, Box(100, 100, 110, 110));
    // (7, 7) lies in both: the later one; (0, 5) and (10, 3) lie on borders of
    // box 1 only, (5, 5) on the border of box 2 inside box 1.
    const std::tuple<int, int, int> at[] = {{1, 1, 1}, {7, 7, 2}, {0, 5, 0}, {10, 3, 0}, {5, 5, 1}, {50, 50, 0}};
    for (auto [x, y, box] : at) EXPECT_EQ(l.FindAt(x, y), box) << x << "," << y;
}

// A record that counts how often records are copied or moved.
struct Counted {
    static inline long long moves = 0;
    int value = 0;
    Counted(int v = 0) : value(v) {}
    Counted(const Counted& o) : value(o.value) { ++moves; }
    Counted& operator=(const Counted& o) {
        value = o.value;
        ++moves;
        return *this;
    }
};

TEST(ObjectLists, ManyRecordsGoAheadAtOnce) {
    // Loading an archive puts all its sets ahead of the store: that moves
    // each record a bounded number of times, however many there are.
    ObjectList<Counted, 30000> list;
    list.Insert(1, Counted(-1));
    list.Insert(2, Counted(-2));
    list.Seek(2);
    std::vector<Counted> records;
    for (int i = 0; i < 20000; ++i) records.emplace_back(i);
    Counted::moves = 0;
    EXPECT_EQ(list.InsertFirst(records), 20000);
    EXPECT_LE(Counted::moves, 4 * 20002);
    ASSERT_EQ(list.Count(), 20002);
    Counted c;
    for (int i : {1, 2, 20000}) {
        list.Get(i, c);
        EXPECT_EQ(c.value, i - 1);
    }
    list.Get(20002, c);
    EXPECT_EQ(c.value, -2);
    EXPECT_EQ(list.Cursor(), 20002);  // still the same cell
    // No more than there is room for.
    EXPECT_EQ(list.InsertFirst(records), 30000 - 20002);
    EXPECT_EQ(list.Count(), 30000);
    list.Get(1, c);
    EXPECT_EQ(c.value, 0);
}

TEST(ObjectLists, FamilyMembersAndTheirLimit) {
    const struct {
        Parameterbereich range;
        double members;     // what the range draws
        double limitedStep;  // the step after the load-time correction
    } cases[] = {
        {{-2, 2, 1}, 5, 1},
        {{-5, 5, 0.1}, 101, 0.1},          // rounding keeps the end
        {{-2, 2, -0.5}, 9, -0.5},          // a negative step counts by its size
        {{3, -3, 0.001}, 1, 0.001},        // a range that runs backwards
        {{0, 0, 0}, 1, 0},
        {{0, 10, 0}, 11, 0},               // a zero step counts as 1
        {{-2, 2, 4.0 / 249}, 250, 4.0 / 249},
        {{-2, 2, 0.016}, 251, 4.0 / 249},
        {{-2, 2, 0.000001}, 4000001, 4.0 / 249},
        {{-1e300, 1e300, 1e-300}, INFINITY, 2e300 / 249},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FamilyMemberCount(c.range), c.members) << c.range.von << " " << c.range.Schrittweite;
        Parameterbereich limited = c.range;
        LimitFamilyMembers(limited);
        EXPECT_EQ(std::pair(limited.von, limited.bis), std::pair(c.range.von, c.range.bis));
        EXPECT_NEAR(limited.Schrittweite, c.limitedStep, std::fabs(c.limitedStep) * 1e-12);
        EXPECT_LE(FamilyMemberCount(limited), kMaxFamilyMembers);
    }
}

}  // namespace
}  // namespace kalvo
