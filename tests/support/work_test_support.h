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

// The clock of a machine that does `unitsPerNanosecond` counted units of
// work per nanosecond: every look finds the time that the work counted so
// far took there. A second of it is that many times the count's second.
class WorkRateClock {
public:
    explicit WorkRateClock(double unitsPerNanosecond) : previous_(SetWorkClock(&Tick)) {
        rate_ = unitsPerNanosecond;
        start_ = WorkDone();
    }
    ~WorkRateClock() { SetWorkClock(previous_); }
    WorkRateClock(const WorkRateClock&) = delete;
    WorkRateClock& operator=(const WorkRateClock&) = delete;

private:
    static long long Tick() { return static_cast<long long>(static_cast<double>(WorkDone() - start_) / rate_); }
    static inline double rate_ = 1;
    static inline long long start_ = 0;
    WorkClock previous_;
};

}  // namespace kalvo
