#pragma once
// Clocks for the work budgets, put in for the life of one test.

#include "work_budget.h"

namespace kalvo {

// Every look at the clock finds `step` nanoseconds passed: a budget of a
// second runs out after a given number of looks, that is after a given
// amount of counted work, whatever the machine's speed. Tests of what is cut
// finish in a fraction of the time they stand for.
class SteppingClock {
public:
    explicit SteppingClock(long long step = 10'000'000) : previous_(SetWorkClock(&Tick)) {
        now_ = 0;
        step_ = step;
    }
    ~SteppingClock() { SetWorkClock(previous_); }
    SteppingClock(const SteppingClock&) = delete;
    SteppingClock& operator=(const SteppingClock&) = delete;
    static long long Looks() { return now_ / step_; }

private:
    static long long Tick() { return now_ += step_; }
    static inline long long now_ = 0, step_ = 1;
    WorkClock previous_;
};

}  // namespace kalvo
