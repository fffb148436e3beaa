#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "work_budget.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

// Work counted in steps until the innermost budget is spent; the steps taken.
long long StepsUntilSpent(long long step, long long most = 1'000'000) {
    long long steps = 0;
    while (steps < most && !WorkBudgetSpent()) {
        AddWork(step);
        ++steps;
    }
    return steps;
}

TEST(WorkBudget, CountedWorkEndsItAtItsUnits) {
    WorkBudget budget(1e-3);  // a million units
    EXPECT_EQ(StepsUntilSpent(1000), 1000);
    EXPECT_TRUE(budget.Cut());
    EXPECT_TRUE(budget.Spent());
    EXPECT_FALSE(WorkBudgetAffords(1));
}

TEST(WorkBudget, WithoutOneNothingIsSpentAndEverythingAffordable) {
    EXPECT_FALSE(WorkBudgetSpent());
    EXPECT_TRUE(WorkBudgetAffords(1LL << 60));
    {
        WorkBudget budget(1e-6);
        StepsUntilSpent(100);
    }
    EXPECT_FALSE(WorkBudgetSpent());
}

// A count that is far too low cannot keep a budget from its time: the
// clock is looked at every kLookInterval units counted.
TEST(WorkBudget, TheClockEndsWorkThatIsCountedFarTooLow) {
    SteppingClock clock(1'000'000);  // a millisecond per look
    WorkBudget budget(0.1);
    const long long steps = StepsUntilSpent(kLookInterval);
    EXPECT_TRUE(budget.Cut());
    // A hundred looks, however little the steps were counted at.
    EXPECT_NEAR(static_cast<double>(steps), 100, 2);
}

// In the program the clock decides: on a machine that does several times
// the count's units per nanosecond a budget runs its full time, on a slower
// one it ends when its time is up.
TEST(WorkBudget, TheCountEndsNothingThatTheClockAllows) {
    for (const double rate : {0.5, 2.5, 8.0, 40.0}) {
        WorkRateClock clock(rate);
        WorkBudget budget(1e-3);
        const double steps = static_cast<double>(StepsUntilSpent(1000));
        // A look every kLookInterval units: the budget ends within one of them.
        EXPECT_NEAR(steps, rate * 1000, kLookInterval / 1000 + 1) << rate;
        EXPECT_TRUE(budget.Cut());
    }
}

// A step is paid for from the time left at the rate the machine has shown.
TEST(WorkBudget, WhatIsLeftFollowsTheMachinesRate) {
    WorkRateClock clock(5);
    WorkBudget budget(0.1);
    for (int i = 0; i < 2000; ++i) {
        AddWork(100'000);
        ASSERT_FALSE(WorkBudgetSpent());
    }
    // 40 of 100 milliseconds gone: 60 left, 300 million units at this rate.
    EXPECT_NEAR(budget.SecondsLeft(), 0.06, 0.001);
    EXPECT_TRUE(WorkBudgetAffords(250'000'000));
    EXPECT_FALSE(WorkBudgetAffords(350'000'000));
}

// "Abbrechen" ends every open budget at once and every one opened before
// the work closes; the handler hears of the outermost work only, at the
// looks, with the time since it opened (none without a clock), and what
// its own events count is not reported to it again.
TEST(WorkBudget, ACancelledWorkStopsAtOnce) {
    struct Handler : WorkProgress {
        int calls = 0, finished = 0, cancelAt = 50;
        long long elapsed = -1;
        std::string label;
        bool Progress(const CancellableWork& work, long long e) override {
            elapsed = e;
            label = work.Label();
            if (InsideWorkProgress()) {
                AddWork(3 * kLookInterval);
                WorkBudgetSpent();
            }
            return ++calls < cancelAt;
        }
        void Finished(const CancellableWork&) override { ++finished; }
    } handler;
    WorkProgress* const before = SetWorkProgress(&handler);
    {
        SteppingClock clock(1'000'000);
        CancellableWork outer("Die Grafik wird gedruckt");
        CancellableWork inner("innen");
        WorkBudget budget(1);
        EXPECT_EQ(StepsUntilSpent(kLookInterval), 50);
        EXPECT_TRUE(budget.Cut() && outer.Cancelled() && inner.Cancelled());
        EXPECT_EQ(handler.label, "Die Grafik wird gedruckt");
        EXPECT_GT(handler.elapsed, 49'000'000);
        WorkBudget later(1);
        EXPECT_TRUE(later.Spent());
    }
    EXPECT_EQ(handler.finished, 1);
    EXPECT_FALSE(CancellableWorkRunning());
    handler.cancelAt = 1'000'000;
    CancellableWork work("ohne Uhr");
    EXPECT_EQ(StepsUntilSpent(kLookInterval, 50), 50);
    EXPECT_EQ(handler.elapsed, 0);
    EXPECT_FALSE(work.Cancelled());
    SetWorkProgress(before);
}

TEST(WorkBudget, AStepThatCannotBePaidForIsRefusedAndSpendsTheBudget) {
    WorkBudget budget(1e-3);
    AddWork(400'000);
    EXPECT_TRUE(WorkBudgetAffords(500'000));
    EXPECT_FALSE(WorkBudgetAffords(700'000));
    EXPECT_TRUE(WorkBudgetSpent());
}

TEST(WorkBudget, AnInnerBudgetEndsWithTheOuterOneAndTellsItWhenItIsCut) {
    {
        WorkBudget outer(1e-3);
        {
            // More than the outer one leaves is not granted.
            WorkBudget inner(10);
            EXPECT_EQ(StepsUntilSpent(1000), 1000);
            EXPECT_TRUE(inner.Cut());
        }
        EXPECT_TRUE(outer.Spent());
    }
    {
        WorkBudget outer(1e-3);
        {
            WorkBudget share(1e-4);
            EXPECT_EQ(StepsUntilSpent(1000), 100);
        }
        // The share ran out, the outer one did not: it goes on, and knows
        // that something inside it was cut.
        EXPECT_FALSE(outer.Spent());
        EXPECT_FALSE(WorkBudgetSpent());
        EXPECT_TRUE(outer.Cut());
        EXPECT_EQ(StepsUntilSpent(1000), 900);
    }
    {
        WorkBudget outer(1e-3);
        StepsUntilSpent(1000);
        WorkBudget inner(1);
        EXPECT_TRUE(inner.Spent());  // opened inside a spent budget
    }
}

// The canvas counts what the screen's raster engine takes: a wide line far
// more than a thin one of the same length, a patterned fill more than a
// solid one, a long line more than a short one.
TEST(WorkBudget, TheCanvasCountsDrawingByWhatItCosts) {
    NullCanvas c;
    auto cost = [&c](auto draw) {
        const long long before = WorkDone();
        draw();
        c.Flush();
        return WorkDone() - before;
    };
    auto line = [&c](int width, PenStyle style, int length) {
        return [&c, width, style, length] {
            c.SetPen(0, width, style);
            c.MoveTo(0, 0);
            c.LineTo(length, 0);
        };
    };
    EXPECT_GT(cost(line(4, PenStyle::Solid, 10)), 5 * cost(line(1, PenStyle::Solid, 10)));
    EXPECT_GT(cost(line(1, PenStyle::Solid, 1000)), 20 * cost(line(1, PenStyle::Solid, 10)));
    EXPECT_GT(cost(line(2, PenStyle::Dot, 1000)), 10 * cost(line(2, PenStyle::Solid, 1000)));
    auto fill = [&c](BrushStyle style) {
        return [&c, style] {
            c.SetBrush(0, style);
            c.FillRect(CanvasRect{0, 0, 500, 500});
        };
    };
    EXPECT_GT(cost(fill(BrushStyle::DiagCross)), 3 * cost(fill(BrushStyle::Solid)));
    EXPECT_GT(cost(fill(BrushStyle::Solid)), 50'000);
}

}  // namespace
}  // namespace kalvo
