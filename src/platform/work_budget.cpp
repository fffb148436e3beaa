#include "work_budget.h"

#include "canvas.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace kalvo {

namespace {
WorkBudget* gTop = nullptr;
WorkClock gClock = SteadyWorkClock;

long long Now() { return gClock ? gClock() : 0; }
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
    const long long now = Now();
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
    // A quarter of the range keeps every sum below free of overflow.
    constexpr double kMost = static_cast<double>(LLONG_MAX / 4);
    const double units = seconds > 0 ? std::min(seconds * kUnitsPerSecond, kMost) : 0.0;
    unitLimit_ = static_cast<long long>(units);
    const long long now = Now();
    deadline_ = gClock ? now + unitLimit_ : LLONG_MAX;
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
    // look, less the work counted since.
    if (gClock) left = std::min(left, timeLeftAtLook_ - (gWork - lookedAtWork_));
    return left;
}

double WorkBudget::SecondsLeft() const {
    return spent_ ? 0.0 : std::max(0.0, static_cast<double>(UnitsLeft()) / kUnitsPerSecond);
}

bool WorkBudgetAffords(long long units) {
    WorkBudget* b = gTop;
    if (!b) return true;
    if (b->spent_) return false;
    if (units < b->UnitsLeft()) return true;
    b->Spend();
    return false;
}

}  // namespace kalvo
