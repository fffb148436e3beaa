#include "work_budget.h"

#include "canvas.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

namespace kalvo {

namespace {
WorkBudget* gTop = nullptr;
WorkClock gClock = SteadyWorkClock;

CancellableWork* gTopWork = nullptr;
WorkProgress* gProgress = nullptr;
bool gInsideProgress = false;

// Counted units per nanosecond of the clock, as the outermost open budget
// has seen them; a count at its nominal rate until one has run a while.
double gUnitsPerNanosecond = 1.0;
// Below this a measured rate says more about the clock's grain than the machine.
constexpr long long kRateSampleNanoseconds = 1'000'000;

// A quarter of the range keeps every sum below free of overflow.
constexpr double kMost = static_cast<double>(LLONG_MAX / 4);

long long Now() { return gClock ? gClock() : 0; }

long long Clamped(double units) { return static_cast<long long>(std::clamp(units, 0.0, kMost)); }

void MeasureRate(long long now, long long startWork, long long startTime) {
    const long long elapsed = now - startTime;
    if (elapsed < kRateSampleNanoseconds) return;
    const double rate = static_cast<double>(work_detail::gWork - startWork) / static_cast<double>(elapsed);
    gUnitsPerNanosecond = std::clamp(rate, 1.0 / kClockCountMargin, kClockCountMargin);
}
}  // namespace

namespace work_detail {
long long gWork = 0;
long long gNextLook = LLONG_MAX;

bool LookAtLimits() {
    // The evaluator's scalar code runs at a fraction of its speed while Qt's
    // or the C library's vector code leaves the upper register halves in
    // use; a look every few microseconds of work keeps it at full speed.
    ClearUpperVectorState();
    WorkBudget* b = gTop;
    if (!b) {
        gNextLook = LLONG_MAX;
        return false;
    }
    if (b->spent_) return true;
    long long now = Now();
    if (gClock) {
        const WorkBudget* outermost = b;
        while (outermost->outer_) outermost = outermost->outer_;
        MeasureRate(now, outermost->startWork_, outermost->startTime_);
    }
    // The progress dialog: its events run from here, and the work stops at
    // once when they cancel it. Nothing they run reports progress again.
    if (gTopWork && gProgress && !gInsideProgress) {
        CancellableWork* outermost = gTopWork;
        while (outermost->outer_) outermost = outermost->outer_;
        gInsideProgress = true;
        const bool goOn = gProgress->Progress(*outermost, gClock ? now - outermost->startTime_ : 0);
        gInsideProgress = false;
        ClearUpperVectorState();
        if (!goOn) outermost->Cancel();
        b = gTop;
        if (!b || b->spent_) {
            gNextLook = b ? LLONG_MIN : LLONG_MAX;
            return b != nullptr;
        }
        now = Now();
    }
    if (b->Exceeded(now)) {
        b->Spend();
        return true;
    }
    b->lookedAtWork_ = gWork;
    b->timeLeftAtLook_ = gClock ? b->deadline_ - now : LLONG_MAX;
    b->ScheduleLook();
    return false;
}
}  // namespace work_detail

using work_detail::gNextLook;
using work_detail::gWork;

long long SteadyWorkClock() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

WorkClock SetWorkClock(WorkClock clock) {
    const WorkClock previous = gClock;
    gClock = clock;
    return previous;
}

WorkBudget::WorkBudget(double seconds) : outer_(gTop) {
    ClearUpperVectorState();
    gTop = this;
    startWork_ = gWork;
    const double wanted = seconds > 0 ? seconds : 0.0;
    // With the clock on, the count only schedules the looks at it.
    unitLimit_ = Clamped(wanted * kUnitsPerSecond * (gClock ? kClockCountMargin : 1.0));
    const long long now = Now();
    startTime_ = now;
    deadline_ = gClock ? now + Clamped(wanted * 1e9) : LLONG_MAX;
    if (outer_) {
        unitLimit_ = std::min(unitLimit_, std::max(0LL, outer_->unitLimit_ - (gWork - outer_->startWork_)));
        deadline_ = std::min(deadline_, outer_->deadline_);
        spent_ = outer_->spent_;
    }
    lookedAtWork_ = gWork;
    timeLeftAtLook_ = gClock ? deadline_ - now : LLONG_MAX;
    ScheduleLook();
}

WorkBudget::~WorkBudget() {
    gTop = outer_;
    if (!outer_) {
        gNextLook = LLONG_MAX;
        return;
    }
    if (Cut()) outer_->innerCut_ = true;
    // The outer budget looks at its own limits before the next step.
    gNextLook = outer_->spent_ ? LLONG_MIN : gWork;
}

bool WorkBudget::Spent() const {
    if (spent_) return true;
    return gTop == this && WorkBudgetSpent();
}

bool WorkBudget::Exceeded(long long now) const {
    return gWork - startWork_ >= unitLimit_ || (gClock && now >= deadline_);
}

void WorkBudget::Spend() {
    spent_ = true;
    gNextLook = LLONG_MIN;
}

void WorkBudget::ScheduleLook() {
    if (spent_) {
        gNextLook = LLONG_MIN;
        return;
    }
    const long long left = unitLimit_ - (gWork - startWork_);
    gNextLook = gWork + std::clamp(left, 0LL, kLookInterval);
}

long long WorkBudget::UnitsLeft() const {
    long long left = unitLimit_ - (gWork - startWork_);
    // The clock is not read here: the time left is what it was at the last
    // look, in units at the rate the machine shows, less the work counted since.
    if (gClock) left = std::min(left, Clamped(timeLeftAtLook_ * gUnitsPerNanosecond) - (gWork - lookedAtWork_));
    return left;
}

double WorkBudget::SecondsLeft() const {
    if (spent_) return 0.0;
    const double counted = static_cast<double>(unitLimit_ - (gWork - startWork_)) /
                           (kUnitsPerSecond * (gClock ? kClockCountMargin : 1.0));
    double left = counted;
    if (gClock) {
        const double sinceLook = static_cast<double>(gWork - lookedAtWork_) / gUnitsPerNanosecond;
        left = std::min(left, (static_cast<double>(timeLeftAtLook_) - sinceLook) / 1e9);
    }
    return std::max(0.0, left);
}

bool WorkBudgetAffords(long long units) {
    WorkBudget* b = gTop;
    if (!b) return true;
    if (b->spent_) return false;
    if (units < b->UnitsLeft()) return true;
    b->Spend();
    return false;
}

CancellableWork::CancellableWork(std::string label)
    : outer_(std::exchange(gTopWork, this)),
      label_(std::move(label)),
      startTime_(Now()),
      cancelled_(outer_ && outer_->cancelled_),
      budget_(kMost / kUnitsPerSecond) {
    if (cancelled_) budget_.Spend();
}

CancellableWork::~CancellableWork() {
    gTopWork = outer_;
    if (!outer_ && gProgress) gProgress->Finished(*this);
}

void CancellableWork::Cancel() {
    for (CancellableWork* w = gTopWork; w; w = w->outer_) w->cancelled_ = true;
    for (WorkBudget* b = gTop; b; b = b->outer_) b->spent_ = true;
    if (gTop) gNextLook = LLONG_MIN;
}

WorkProgress* SetWorkProgress(WorkProgress* progress) { return std::exchange(gProgress, progress); }

bool CancellableWorkRunning() { return gTopWork != nullptr; }

bool InsideWorkProgress() { return gInsideProgress; }

}  // namespace kalvo
