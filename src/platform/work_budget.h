#pragma once
// How long one computation that the user waits for may run: a redraw, the
// sums of a dialog, a value table, a curve discussion. Nothing here opens a
// window; what was cut says so through its caller.
//
// Work is counted in units of about a nanosecond on a desktop machine: the
// evaluator adds the cost of every evaluation, the canvas what each drawing
// call costs the raster engine. In the program the wall clock decides: a
// budget looks at it whenever about kLookInterval units have passed since it
// last looked, and ends at its deadline. The count only says when to look:
// while the clock is on, its limit lies kClockCountMargin times beyond the
// time, so that no machine, however much faster than the count assumes, has
// work ended that the clock allows. Tests take the clock away; then the
// count alone decides, at one unit per nanosecond, and what a test sees does
// not depend on the machine.
//
// Budgets nest: one opened inside another ends no later than the outer one,
// and an outer budget learns that something inside it was cut.

#include <climits>
#include <string>

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
// While the clock is on: how far beyond its time a budget's count reaches.
inline constexpr double kClockCountMargin = 64;

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
    // A budget of `seconds` on the wall clock (while it is off, of counted
    // work); inside another budget it ends no later than that one.
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
    // counted since at the rate this machine has shown.
    double SecondsLeft() const;

private:
    friend bool work_detail::LookAtLimits();
    friend bool WorkBudgetAffords(long long units);
    friend class CancellableWork;

    bool Exceeded(long long now) const;
    long long UnitsLeft() const;
    void Spend();
    void ScheduleLook();

    WorkBudget* outer_;
    long long startWork_ = 0;
    long long unitLimit_ = 0;  // work allowed from startWork_ on
    long long startTime_ = 0;  // on the work clock, in nanoseconds
    long long deadline_ = 0;
    long long lookedAtWork_ = 0, timeLeftAtLook_ = 0;
    bool spent_ = false, innerCut_ = false;
};

// Output that may take longer than the user waits for a picture: a
// printout, a picture for a file or the clipboard, a document. While one
// is open, every look at the clock also tells the progress handler that the
// window layer put in (see SetWorkProgress), which shows a dialog with
// "Abbrechen" once the work lasts over about a second. Cancelling spends
// every open budget, and every budget opened until the work closes starts
// spent, so that the work stops at once; the caller then learns from
// Cancelled() that nothing is to be printed or written. Works nest; the
// outermost one is what the dialog shows.
class CancellableWork {
public:
    // `label` says what is being done ("Die Grafik wird gedruckt ...").
    explicit CancellableWork(std::string label);
    ~CancellableWork();
    CancellableWork(const CancellableWork&) = delete;
    CancellableWork& operator=(const CancellableWork&) = delete;

    const std::string& Label() const { return label_; }
    bool Cancelled() const { return cancelled_; }
    // Whether no other work is open around this one: the outermost says
    // what became of a cancelled work.
    bool Outermost() const { return outer_ == nullptr; }
    // What "Abbrechen" does: every open work is cancelled.
    void Cancel();

private:
    friend bool work_detail::LookAtLimits();

    CancellableWork* outer_;
    std::string label_;
    long long startTime_ = 0;
    bool cancelled_ = false;
    // Counted work inside it is looked at: printouts and pictures that open
    // no budget of their own report their progress all the same.
    WorkBudget budget_;
};

// The window layer's side of a cancellable work.
class WorkProgress {
public:
    virtual ~WorkProgress() = default;
    // At every look at the clock while `work` (the outermost) is open, with
    // the nanoseconds since it opened (0 without a clock); false when the
    // user cancelled it.
    virtual bool Progress(const CancellableWork& work, long long elapsed) = 0;
    // When the outermost work closes.
    virtual void Finished(const CancellableWork& work) = 0;
};

// Installs the handler (none: works run without a dialog); returns the previous one.
WorkProgress* SetWorkProgress(WorkProgress* progress);

// Whether a cancellable work is open: a redraw of a window or a second
// output that the progress dialog's events would start must wait for it.
bool CancellableWorkRunning();
// Whether the progress handler is running (and the window layer's events
// with it): drawing started from there would land in the middle of the
// output's drawing.
bool InsideWorkProgress();

// What a cancelled output says.
inline constexpr char kDruckenAbgebrochen[] = "Das Drucken wurde abgebrochen.";
inline constexpr char kSpeichernAbgebrochen[] = "Das Speichern wurde abgebrochen. Die Datei wurde nicht geschrieben.";
inline constexpr char kZwischenablageAbgebrochen[] =
    "Das Kopieren in die Zwischenablage wurde abgebrochen. Die Zwischenablage blieb, wie sie war.";
inline constexpr char kDokumentAbgebrochen[] =
    "Das Erstellen des Dokuments wurde abgebrochen. Es wurde keine Datei geschrieben.";

// The wall clock the budgets read, in nanoseconds. Tests replace it: with
// a clock of their own, or with none, when only the counted work decides
// (so that a loaded machine cannot change what a test sees). Returns the
// previous one.
using WorkClock = long long (*)();
WorkClock SetWorkClock(WorkClock clock);
long long SteadyWorkClock();

}  // namespace kalvo
