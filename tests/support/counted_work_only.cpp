// What a test sees of the work budgets follows the work counted, never how
// loaded the machine running the tests is: their wall clock is off unless a
// test puts in a clock of its own.
#include "work_budget.h"

namespace {
const bool kCountedWorkOnly = (kalvo::SetWorkClock(nullptr), true);
}  // namespace
