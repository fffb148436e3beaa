#pragma once
// How long one computation that the user waits for may run: a redraw, the
// sums of a dialog, a value table, a curve discussion. Nothing here opens a
// window; what was cut says so through its caller.
//
// Work is counted in units of about a nanosecond on a desktop machine: the
// evaluator adds the cost of every evaluation, the canvas what each drawing
// call costs the raster engine. A count can be wrong, so every budget also
// keeps a deadline on the wall clock, which it looks at whenever about
// kLookInterval units have passed since it last looked: however far a count
// is off, a budget ends within a few milliseconds of its time.
//
// Budgets nest: one opened inside another ends no later than the outer one,
// and an outer budget learns that something inside it was cut.

#include <climits>

namespace kalvo {

namespace work_detail {
extern long long gWork;
// The work at which the innermost open budget looks at its limits next;
// LLONG_MAX while none is open, LLONG_MIN once it is spent.
extern long long gNextLook;
bool LookAtLimits();
}  // namespace work_detail

inline constexpr double kUnitsPerSecond = 1e9;
// What a user waits at most for one picture or one answer, in seconds.
inline constexpr double kWaitSeconds = 1.0;
inline constexpr long long kLookInterval = 20'000;

// Counts work that the evaluator and the canvas do not count themselves.
inline void AddWork(long long units) { work_detail::gWork += units; }
// All work counted since the program started.
inline long long WorkDone() { return work_detail::gWork; }

// True once the innermost open budget is used up (then everything inside it
// stops); false while none is open. One comparison while work is left.
inline bool WorkBudgetSpent() {
    return work_detail::gWork >= work_detail::gNextLook && work_detail::LookAtLimits();
}

// Whether the open budget has `units` left for one step of work. When not,
// the budget counts as spent from now on: the step is not started, and what
// would follow it is not either.
bool WorkBudgetAffords(long long units);

class WorkBudget {
public:
    // A budget of `seconds` of work, counted and on the wall clock; inside
    // another budget it ends no later than that one.
    explicit WorkBudget(double seconds);
    ~WorkBudget();
    WorkBudget(const WorkBudget&) = delete;
    WorkBudget& operator=(const WorkBudget&) = delete;

    // Whether this budget ran out, or one opened inside it did: what was
    // computed while it was open is not complete.
    bool Cut() const { return spent_ || innerCut_; }
    // Whether this budget itself is used up now (one inside it that ran out
    // of its own share does not count).
    bool Spent() const;
    // What is left of it, in seconds: the lesser of the counted work left
    // and the time left when the clock was last looked at, less the work
    // counted since.
    double SecondsLeft() const;

private:
    friend bool work_detail::LookAtLimits();
    friend bool WorkBudgetAffords(long long units);

    bool Exceeded(long long now) const;
    long long UnitsLeft() const;
    void Spend();
    void ScheduleLook();

    WorkBudget* outer_;
    long long startWork_ = 0;
    long long unitLimit_ = 0;  // work allowed from startWork_ on
    long long deadline_ = 0;   // on the work clock
    long long lookedAtWork_ = 0, timeLeftAtLook_ = 0;
    bool spent_ = false, innerCut_ = false;
};

// The wall clock the budgets read, in nanoseconds. Tests replace it: with
// a clock of their own, or with none, when only the counted work decides
// (so that a loaded machine cannot change what a test sees). Returns the
// previous one.
using WorkClock = long long (*)();
WorkClock SetWorkClock(WorkClock clock);
long long SteadyWorkClock();

}  // namespace kalvo
